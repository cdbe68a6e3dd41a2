#include "Table1Request.h"

#include "db/Connection.h"
#include "db/sql/Translate.h"
#include "demo/DemoDatabase.h"
#include "platform/Clock.h"
#include "startup/DatabaseLocation.h"

namespace tarvel::bench {
namespace {

// Every work order: the widest ranges the criteria boxes take.
constexpr const char* kLastPo = "zzzzzzzzz";
constexpr const char* kLastCustomer = "zzzzzzzzz";
constexpr const char* kFirstDate = "0000000";
constexpr const char* kLastDate = "9999999";
constexpr const char* kAdministrator = "系統管理員";

}  // namespace

QDate BenchToday() {
  return QDate(2026, 12, 4);
}

int OrdersFrom(const char* variable, int fallback) {
  const int fromEnvironment = qEnvironmentVariableIntValue(variable);
  return fromEnvironment > 0 ? fromEnvironment : fallback;
}

QString WriteDemo(const QString& folder, int orders) {
  SetToday(BenchToday());
  demo::DemoOptions options;
  options.orders = orders;
  options.today = BenchToday();
  demo::GenerateDemoDatabase(folder, options);
  return folder + QStringLiteral("/KORV.mdb");
}

Table1Request::Table1Request(const QString& database) : database_(database) {
  context.ConnectionString = ComposeConnectionString(database);
  context.AdminName = QString::fromUtf8(kAdministrator);
  context.CompanyName = QString::fromUtf8(demo::kDefaultDemoCompany);
  form.txt單號_末 = QString::fromUtf8(kLastPo);
  form.txt客戶代號1 = {QString(), QString::fromUtf8(kLastCustomer)};
  form.txt日期_起 = QString::fromUtf8(kFirstDate);
  form.txt日期_末 = QString::fromUtf8(kLastDate);
  CaptureCriteria(form, criteria);
}

QString Table1Request::Statement(StatementUse use) const {
  return Row().Statement(Criteria(), use);
}

QString Table1Request::SqliteStatement(StatementUse use) const {
  const auto connection = db::Connection::Open(context.ConnectionString);
  return db::sql::Translate(Statement(use), db::sql::Engine::Sqlite, &connection->Catalog()).sql;
}

QStringList Table1Request::CliOptions() const {
  return {QStringLiteral("--choice"),
          QStringLiteral("0"),
          QStringLiteral("--db"),
          database_,
          QStringLiteral("--today"),
          BenchToday().toString(Qt::ISODate),
          QStringLiteral("--admin"),
          QString::fromUtf8(kAdministrator),
          QStringLiteral("--po-to"),
          QString::fromUtf8(kLastPo),
          QStringLiteral("--customer-from"),
          QString(),
          QStringLiteral("--customer-to"),
          QString::fromUtf8(kLastCustomer),
          QStringLiteral("--date-from"),
          QString::fromUtf8(kFirstDate),
          QStringLiteral("--date-to"),
          QString::fromUtf8(kLastDate)};
}

}  // namespace tarvel::bench
