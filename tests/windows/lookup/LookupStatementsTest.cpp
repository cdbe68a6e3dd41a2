#include <gtest/gtest.h>

#include "support/Golden.h"
#include "windows/lookup/LookupDatabase.h"
#include "windows/lookup/LookupStatements.h"

namespace tarvel {
namespace {

using test::LookupDatabase;

// The suite's texts to the character, for each picker, with and without a seed, and every vendor
// kind (the aliases 裁摺 and 其它 included, and kinds the suite does not know).
TEST(LookupStatements, GoldenStatementsOfEveryPicker) {
  QString text;
  const auto add = [&](LookupKind kind, const QString& vendorKind) {
    const LookupStatements s = LookupStatementsFor(kind, "A'1", vendorKind);
    text += s.search + u'\n' + s.fallback + u'\n';
  };
  add(LookupKind::Customer, {});
  add(LookupKind::Employee, "印刷");
  for (const char* kind :
       {"所有廠商", "印前", "製版", "紙品", "印刷", "上光", "裱紙", "軋工", "糊工",  "裁工", "裁摺",
        "裝訂",     "刀模", "燙金", "運送", "其他", "其它", "雜項", "",     "印刷 ", "ITEM1"})
    add(LookupKind::Vendor, QString::fromUtf8(kind));
  test::ExpectGolden(QStringLiteral("lookups.sql"), text);
}

TEST(LookupStatements, SelectTheActiveRowsOnTheDatabase) {
  const LookupDatabase db;
  const auto search = [&db](LookupKind kind, const QString& seed, const QString& vendorKind = {}) {
    return db.Codes(LookupStatementsFor(kind, seed, vendorKind).search);
  };
  // 停用 NULL, '0' and '' are active, '1' is not; a leaving date takes an employee off the list,
  // and so does an unknown one (NULL), as the suite has always treated it.
  EXPECT_EQ(search(LookupKind::Customer, "ZZT"), QStringList({"ZZT1", "ZZT2", "ZZT3"}));
  EXPECT_EQ(search(LookupKind::Customer, "測試"), QStringList({"ZZT1", "ZZT2", "ZZT3"}));
  EXPECT_EQ(search(LookupKind::Employee, "ZZE"), QStringList({"ZZE1"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "裁摺"), QStringList({"ZZV1"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "裁工"), QStringList({"ZZV1"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "其它"), QStringList({"ZZV2"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "所有廠商"), QStringList({"ZZV1", "ZZV2"}));
  EXPECT_EQ(search(LookupKind::Vendor, "ZZV", "雜項"), QStringList({"ZZV1", "ZZV2"}));

  // An apostrophe is a character to look for, not the end of the literal.
  EXPECT_EQ(search(LookupKind::Customer, "O'Neil"), QStringList({"ZZQ1"}));
  EXPECT_EQ(search(LookupKind::Customer, "x' or CUST.ID like '"), QStringList());
  EXPECT_EQ(search(LookupKind::Vendor, "x' or VENDER.ID like '", "印刷"), QStringList());

  const QStringList all = db.Codes(LookupStatementsFor(LookupKind::Customer, "").fallback);
  EXPECT_EQ(all,
            db.Codes("select ID from CUST where 停用 is null or 停用 in ('0', '') order by ID"));
  EXPECT_TRUE(all.contains("ZZT3") && !all.contains("ZZT4"));
}

}  // namespace
}  // namespace tarvel
