#include "criteria/WindowDefaults.h"

#include "common/RocDate.h"
#include "db/Connection.h"
#include "db/SqlText.h"

namespace tarvel {
namespace {

std::vector<CodeName> LoadCodes(db::Connection& connection, const QString& sql) {
  const db::Recordset rows = connection.OpenRecordset(sql);
  const auto table = rows.GetRows();
  std::vector<CodeName> list;
  if (table.size() < 2) return list;
  list.reserve(table[0].size());
  for (size_t row = 0; row < table[0].size(); ++row)
    list.push_back({table[0][row].Text(), table[1][row].Text()});
  return list;
}

std::array<QString, 2> FirstAndLast(const std::vector<CodeName>& list) {
  if (list.empty()) return {};
  return {list.front().code, list.back().code};
}

}  // namespace

std::vector<CodeName> LoadSalespeople(db::Connection& connection) {
  return LoadCodes(connection, QStringLiteral("select ID, NAME from [EMPLOYEE] order by ID"));
}

std::vector<CodeName> LoadCustomers(db::Connection& connection) {
  return LoadCodes(connection, QStringLiteral("select ID, SNAME from [CUST] order by ID"));
}

QStringList LoadPhraseList(db::Connection& connection, const QString& kind, const QString& item) {
  db::Recordset rows = connection.OpenRecordset(
      QStringLiteral("select * from [PHRASE] where KIND = '") + db::SqlEscape(kind) +
      QStringLiteral("' and ITEM = '") + db::SqlEscape(item) + QStringLiteral("' order by ID"));
  QStringList items{QString()};
  for (; !rows.EOF_(); rows.MoveNext())
    items.append(rows.Text(QStringLiteral("DESC")));
  return items;
}

OverviewFormState FirstActivationDefaults(const std::vector<CodeName>& salespeople,
                                          const std::vector<CodeName>& customers) {
  OverviewFormState form;
  form.txt單號_末 = QStringLiteral("zzzzzzzzz");
  const QString today = RocTodayDigits();
  form.txt日期_起 = today.left(5) + QStringLiteral("01");
  form.txt日期_末 = RocMonthEndDigits();
  form.txt日期[0] = today.left(3) + QStringLiteral("0101");
  form.txt日期[1] = today.left(3) + QStringLiteral("0630");
  form.txt業務員代號 = FirstAndLast(salespeople);
  form.txt客戶代號1 = FirstAndLast(customers);
  return form;
}

OverviewFormState FirstActivationDefaults(db::Connection& connection) {
  return FirstActivationDefaults(LoadSalespeople(connection), LoadCustomers(connection));
}

}  // namespace tarvel
