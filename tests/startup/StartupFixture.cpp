#include "StartupFixture.h"

#include <QDir>

#include "db/Connection.h"
#include "db/SqlText.h"

namespace tarvel::test {

FakeSystem::FakeSystem(const TempDir& dir)
    : programFolder(dir.File(QStringLiteral("prog"))),
      documents(dir.File(QStringLiteral("docs")) + QLatin1Char('/')),
      lockPath(dir.File(QStringLiteral("tarvel.lock"))),
      installed_(*this) {
  QDir().mkpath(programFolder);
}

FakeSystem::~FakeSystem() = default;

QString FakeSystem::EnvironmentVariable(const QString& name) const {
  for (const auto& [key, value] : environment)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

std::unique_ptr<InstanceLock> FakeSystem::LockSingleInstance(const QString&) const {
  return InstanceLock::TryAcquire(lockPath);
}

namespace {

QStringList Numbered(const QString& prefix, int first, int last) {
  QStringList names;
  for (int i = first; i <= last; ++i)
    names << prefix + QString::number(i);
  return names;
}

QStringList Words(const char* text) {
  return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

}  // namespace

std::vector<SuiteTable> SuiteTables(const QString& excelFolder) {
  std::vector<SuiteTable> tables;

  SuiteTable employee{
      QStringLiteral("EMPLOYEE"), {QStringLiteral("ID"), QStringLiteral("GROUP")}, {}};
  employee.columns << Numbered(QStringLiteral("GROUP"), 1, 19) << QStringLiteral("分機代號");
  std::map<QString, QString> a001{{"ID", "A001"}, {"GROUP", " G00 "}, {"分機代號", "321"}};
  for (int i = 1; i < 20; ++i)
    if (i != 3)
      a001[QStringLiteral("GROUP") + QString::number(i)] =
          QStringLiteral("G%1").arg(i, 2, 10, QLatin1Char('0'));
  employee.rows = {a001,
                   {{"ID", "B002"}, {"GROUP", "BX"}, {"分機代號", "999"}},
                   {{"ID", "A'01"}, {"GROUP", "QUOTED"}, {"分機代號", "777"}}};
  tables.push_back(employee);

  tables.push_back({QStringLiteral("COMPANY"),
                    Words("COMPANY ADD ADD1 TNO TEL FAX VER"),
                    {{{"COMPANY", " 翠峰印刷 "}, {"TEL", "02-1234"}}}});
  tables.push_back(
      {QStringLiteral("COMPANY1"), Words("COMPANY ADD TNO TEL FAX"), {{{"COMPANY", "一"}}}});
  tables.push_back(
      {QStringLiteral("COMPANY2"), Words("COMPANY ADD TNO TEL FAX"), {{{"COMPANY", "二"}}}});

  SuiteTable system{
      QStringLiteral("SYSTEM"), {QStringLiteral("MFUN")}, {{{"ITEM18", "1"}, {"MFUN", "x"}}}};
  system.columns << Numbered(QStringLiteral("ITEM"), 0, 87);
  tables.push_back(system);
  tables.push_back(
      {QStringLiteral("SYSTEM1"),
       Words("發票開立方式 發票平台路徑 ITEM87 ITEM88 ITEM89 ITEM102 ITEM110 ITEM119 ITEM120"),
       {{{"ITEM87", "s1"}}}});

  tables.push_back(
      {QStringLiteral("使用者資料"),
       Words(
           "使用者 估價審單金額 採購審單金額 工單作業權限 生產管理權限 成本分析權限 基本資料權限 "
           "應收帳款權限 應付帳款權限 物料管理權限 產品管理權限 印刷作業權限 製版作業權限 發票權限 "
           "其它權限 報價權限 維護權限 會計權限 績效權限 稽核權限 速算權限 運送權限 授信額度權限 "
           "產能權限 CRM權限 網印權限 代收權限 雜支權限 刀模權限 標籤權限 公告權限 寄庫權限 "
           "捲筒權限 接稿權限"),
       {{{"使用者", "王小明"}}, {{"使用者", "O'Brien"}}}});

  const QString rights = QString(39, QLatin1Char('0')) + QStringLiteral("11");
  tables.push_back(
      {QStringLiteral("使用者資料明細"),
       Words("使用者 工單作業細部 生產管理細部 成本分析細部 基本資料細部 應收帳款細部 應付帳款細部 "
             "物料管理細部 產品管理細部 印刷作業細部 製版作業細部 發票細部 其它細部 報價細部 "
             "維護細部 "
             "會計細部 績效細部 稽核細部 速算細部 運送細部 產能細部 CRM細部 網印細部 代收細部 "
             "雜支細部 刀模細部 標籤細部 公告細部 寄庫細部 捲筒細部 接稿細部"),
       {{{"使用者", "王小明"}, {"工單作業細部", rights}},
        {{"使用者", "O'Brien"}, {"工單作業細部", "OBRIEN"}},
        {{"使用者", "管理員"}, {"工單作業細部", "ADMIN"}}}});

  tables.push_back({QStringLiteral("SYSOS"),
                    Words("VM XP WIN7 WIN7C WIN8 WIN8C WIN10 WIN10C WIN11 WIN11C"),
                    {{{"VM", "0"}}}});
  tables.push_back({QStringLiteral("啟用發送EAMIL"),
                    {QStringLiteral("啟用發送EAMIL")},
                    {{{"啟用發送EAMIL", "N"}}}});
  tables.push_back({QStringLiteral("SYSLOAD"),
                    Words("ID COMPUTER EXCEL"),
                    {{{"ID", "HOST1\\tester"}, {"COMPUTER", "HOST1"}, {"EXCEL", excelFolder}},
                     {{"ID", "HOST'1\\o'b"}, {"COMPUTER", "HOST'1"}, {"EXCEL", "/quoted/"}}}});
  tables.push_back({QStringLiteral("SYSUSER1"), Words("ID FUNC LPID"), {}});
  return tables;
}

void BuildDatabase(const QString& path, const std::vector<SuiteTable>& tables,
                   const QString& omitTable, const QString& omitColumn) {
  std::unique_ptr<db::Connection> connection = db::Connection::OpenFile(path, true);
  connection->BeginTransaction();
  for (const SuiteTable& table : tables) {
    if (table.name == omitTable && omitColumn.isEmpty()) continue;
    QStringList columns;
    for (const QString& column : table.columns)
      if (!(table.name == omitTable && column == omitColumn)) columns << column;
    // A table cannot be without columns: one the loader never reads stands in.
    if (columns.isEmpty()) columns << QStringLiteral("備註");
    QStringList definitions;
    for (const QString& column : columns)
      definitions << QLatin1Char('[') + column + QLatin1Char(']') +
                         (column == QLatin1String("LPID") ? QStringLiteral(" real")
                                                          : QStringLiteral(" text"));
    connection->Execute(
        QStringLiteral("create table [%1] (%2)").arg(table.name, definitions.join(", ")));
    for (const auto& row : table.rows) {
      QStringList names, values;
      for (const auto& [column, value] : row) {
        if (!columns.contains(column)) continue;
        names << QLatin1Char('[') + column + QLatin1Char(']');
        values << QLatin1Char('\'') + db::SqlEscape(value) + QLatin1Char('\'');
      }
      if (names.isEmpty())
        connection->Execute(QStringLiteral("insert into [%1] default values").arg(table.name));
      else
        connection->Execute(QStringLiteral("insert into [%1] (%2) values (%3)")
                                .arg(table.name, names.join(", "), values.join(", ")));
    }
  }
  connection->Commit();
}

QString ConnectionStringFor(const QString& path) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
         QStringLiteral(";Jet OLEDB:Database Password=tqlv5218tqlv5218");
}

}  // namespace tarvel::test
