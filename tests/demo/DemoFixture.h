// One demo database generated once for all read-only demo tests, with fixed seed and date.
#pragma once

#include <QDate>
#include <QString>
#include <memory>

#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "support/TempDir.h"

namespace tarvel::test {

class DemoDatabaseFixture {
 public:
  static constexpr std::int64_t kOrders = 3000;
  static QDate Today() { return QDate(2025, 5, 14); }

  /// The shared database (generated on first use) and its summary.
  static const demo::DemoSummary& Summary();
  /// A new connection to the shared database.
  static std::unique_ptr<db::Connection> Open();
  /// The value of the first column of the first row of `sql`, as a number.
  static double Scalar(db::Connection& connection, const QString& sql);
};

}  // namespace tarvel::test
