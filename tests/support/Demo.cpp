#include "support/Demo.h"

#include <QFile>
#include <deque>
#include <mutex>

#include "criteria/WindowDefaults.h"
#include "demo/DemoDatabase.h"
#include "platform/Error.h"
#include "support/TempDir.h"

namespace tarvel::test {

namespace {

/// The demo of `orders` work orders the test run made (its path in `variable`), or one made here
/// in a folder that lasts as long as the tests.
QString DemoOf(const char* variable, int orders) {
  const QString fromRun = qEnvironmentVariable(variable);
  if (!fromRun.isEmpty() && QFile::exists(fromRun)) return fromRun;
  static std::mutex guard;
  static std::deque<TempDir> folders;  // one per demo made, kept to the end of the run
  const std::lock_guard lock(guard);
  demo::DemoOptions options;
  options.orders = orders;
  options.seed = kDemoSeed;
  options.today = DemoToday();
  return demo::GenerateDemoDatabase(folders.emplace_back().Path(), options).filePath;
}

}  // namespace

QString DemoDatabasePath() {
  static const QString path = DemoOf("TARVEL_TEST_DEMO", kDemoOrders);
  return path;
}

QString LargeDemoDatabasePath() {
  static const QString path = DemoOf("TARVEL_TEST_LARGE_DEMO", kLargeDemoOrders);
  return path;
}

QString DemoConnectionString() {
  return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + DemoDatabasePath();
}

std::unique_ptr<db::Connection> OpenDemo() {
  return db::Connection::OpenFile(DemoDatabasePath());
}

QString CopyDemoDatabase(const QString& folder) {
  const QString copy = folder + QStringLiteral("/KORV.mdb");
  if (!QFile::copy(DemoDatabasePath(), copy))
    throw Error(QStringLiteral("cannot copy the demo database to ") + copy);
  QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
  return copy;
}

OverviewFormState DemoForm(const QString& from, const QString& to) {
  static const OverviewFormState defaults = [] {
    auto connection = OpenDemo();
    return FirstActivationDefaults(LoadSalespeople(*connection), LoadCustomers(*connection));
  }();
  OverviewFormState form = defaults;
  form.txt日期_起 = form.txt日期[0] = from;
  form.txt日期_末 = form.txt日期[1] = to;
  return form;
}

double Scalar(db::Connection& connection, const QString& sql) {
  db::Recordset rows = connection.OpenRecordset(sql);
  return rows.EOF_() ? 0 : rows.Field(0).Number();
}

}  // namespace tarvel::test
