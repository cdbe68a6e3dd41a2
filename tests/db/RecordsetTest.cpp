#include <gtest/gtest.h>

#include "db/DbError.h"
#include "db/Recordset.h"

namespace tarvel::db {
namespace {

TEST(Value, ReadingConventionsKeepNullApartFromEmptyText) {
  const struct {
    Value value;
    const char* text;
    double number;
    bool null;
  } cases[] = {
      {Value(), "", 0, true},
      {Value(QString()), "", 0, false},
      {Value("  甲 乙  "), "甲 乙", 0, false},
      {Value("\t12 \n"), "\t12 \n", 12, false},  // only spaces are trimmed, as the runtime's Trim
      {Value(" 1,234 "), "1,234", 1, false},
      {Value(qint64{9007199254740993}), "9007199254740993", 9007199254740992.0, false},
      {Value(0.1 + 0.2), "0.3", 0.3, false},
      {Value(-2.5), "-2.5", -2.5, false},
      {Value(QByteArray("ab")), "ab", 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.Text(), QString::fromUtf8(c.text)) << c.text;
    EXPECT_EQ(c.value.Number(), c.number) << c.text;
    EXPECT_EQ(c.value.IsNull(), c.null) << c.text;
  }
}

TEST(Value, CopiesShareTheTextAndOutliveTheOriginal) {
  auto original = std::make_unique<Value>(QStringLiteral("工單"));
  Value copy = *original;
  Value assigned;
  assigned = copy;
  original.reset();
  EXPECT_EQ(copy.AsText(), QStringLiteral("工單"));
  EXPECT_EQ(assigned, copy);
  Value moved = std::move(copy);
  EXPECT_TRUE(copy.IsNull());  // NOLINT(bugprone-use-after-move): moved-from is NULL by contract
  EXPECT_EQ(moved.AsText(), QStringLiteral("工單"));
  assigned = moved;  // self-family assignment keeps the block alive
  assigned = assigned;
  EXPECT_EQ(assigned.AsText(), QStringLiteral("工單"));
  EXPECT_NE(Value(1), Value(1.0));
  EXPECT_NE(Value(QString()), Value());
  EXPECT_EQ(Value(QByteArray("\0x", 2)).AsBlob(), QByteArray("\0x", 2));
}

Recordset Sample(int rows) {
  std::vector<std::vector<Value>> data;
  for (int r = 0; r < rows; ++r)
    data.push_back({Value(r), Value(QString::number(r * 10)), Value()});
  return Recordset({QStringLiteral("ID"), QStringLiteral("Name"), QStringLiteral("MEMB")}, data);
}

TEST(Recordset, EmptySetIsAtBothEndsAndHasNoCurrentRow) {
  Recordset rs = Sample(0);
  EXPECT_EQ(rs.RecordCount(), 0);
  EXPECT_TRUE(rs.BOF());
  EXPECT_TRUE(rs.EOF_());
  EXPECT_THROW(rs.Field(QStringLiteral("ID")), DbError);
  EXPECT_THROW(rs.MoveNext(), DbError);
  const auto table = rs.GetRows();
  ASSERT_EQ(table.size(), 3u);
  EXPECT_TRUE(table[0].empty());
}

TEST(Recordset, WalksFromTheFirstRowToEof) {
  Recordset rs = Sample(3);
  EXPECT_EQ(rs.RecordCount(), 3);
  EXPECT_FALSE(rs.BOF());
  EXPECT_FALSE(rs.EOF_());
  EXPECT_EQ(rs.Number(QStringLiteral("id")), 0);  // first row current without moving
  QStringList seen;
  while (!rs.EOF_()) {
    seen << rs.Text(QStringLiteral("NAME"));
    rs.MoveNext();
  }
  EXPECT_EQ(seen, QStringList({"0", "10", "20"}));
  try {
    rs.Field(QStringLiteral("ID"));
    FAIL() << "no current row at EOF";
  } catch (const DbError& e) {
    EXPECT_EQ(e.Description(), messages::kNoCurrentRecord);
  }
  EXPECT_THROW(rs.MoveNext(), DbError);
  rs.MoveFirst();
  EXPECT_EQ(rs.Field(0).AsInteger(), 0);
  rs.MovePrevious();
  EXPECT_TRUE(rs.BOF());
  EXPECT_THROW(rs.MovePrevious(), DbError);
  rs.MoveLast();
  EXPECT_EQ(rs.Field(QStringLiteral("ID")).AsInteger(), 2);
}

TEST(Recordset, GetRowsIsFieldsByRowsAndDoesNotMove) {
  Recordset rs = Sample(4);
  rs.MoveNext();
  const auto table = rs.GetRows();
  ASSERT_EQ(table.size(), 3u);
  for (const auto& column : table)
    EXPECT_EQ(column.size(), 4u);
  EXPECT_EQ(table[1][3].AsText(), QStringLiteral("30"));
  EXPECT_TRUE(table[2][0].IsNull());
  EXPECT_EQ(rs.Position(), 1);
}

TEST(Recordset, MissingFieldNamesTheItem) {
  Recordset rs = Sample(1);
  try {
    rs.Field(QStringLiteral("MEMBX"));
    FAIL() << "a missing field must raise";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.Description().startsWith(messages::kItemNotFound));
    EXPECT_TRUE(e.Description().contains(QStringLiteral("MEMBX")));
  }
  EXPECT_THROW(rs.Field(7), DbError);
  EXPECT_EQ(rs.FieldIndex(QStringLiteral("[memb]")), 2);
  EXPECT_TRUE(rs.Field(QStringLiteral("memb")).IsNull());
  EXPECT_EQ(rs.Text(QStringLiteral("MEMB")), QString());
}

}  // namespace
}  // namespace tarvel::db
