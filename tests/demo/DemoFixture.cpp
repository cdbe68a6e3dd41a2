#include "DemoFixture.h"

namespace tarvel::test {

const demo::DemoSummary& DemoDatabaseFixture::Summary() {
  static TempDir dir;
  static const demo::DemoSummary summary = [] {
    demo::DemoOptions options;
    options.orders = kOrders;
    options.seed = 7;
    options.today = Today();
    return demo::GenerateDemoDatabase(dir.Path(), options);
  }();
  return summary;
}

std::unique_ptr<db::Connection> DemoDatabaseFixture::Open() {
  return db::Connection::OpenFile(Summary().filePath);
}

double DemoDatabaseFixture::Scalar(db::Connection& connection, const QString& sql) {
  db::Recordset rows = connection.OpenRecordset(sql);
  return rows.EOF_() ? 0 : rows.Field(0).Number();
}

}  // namespace tarvel::test
