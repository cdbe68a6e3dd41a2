// The request the 表1 benchmarks share: a demo database as of a fixed day and 表1 (rptTarvel_1)
// over every one of its work orders, as the administrator, in process and as tarvel-cli's options.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "output/ReportCatalogue.h"

namespace tarvel::bench {

/// The day the demo is as of and the benchmarks run on.
QDate BenchToday();

/// The positive value of the environment variable `variable`, or `fallback`.
int OrdersFrom(const char* variable, int fallback);

/// Writes the demo database of `orders` work orders into `folder` as of BenchToday() (and fixes
/// the clock there); returns the path of its KORV.mdb.
QString WriteDemo(const QString& folder, int orders);

/// 表1 over every work order of the database at `database`, as the administrator.
struct Table1Request {
  AppContext context;
  WorkOrderCriteria criteria;
  OverviewFormState form;

  explicit Table1Request(const QString& database);
  RequestCriteria Criteria() const { return {.context = context, .overview = &criteria}; }
  const ReportRow& Row() const { return RowFor(form); }
  /// The statement as the program composes it for `use`.
  QString Statement(StatementUse use) const;
  /// The same statement as the access layer hands it to SQLite.
  QString SqliteStatement(StatementUse use) const;
  /// tarvel-cli's options for the same request on the same database and day.
  QStringList CliOptions() const;

 private:
  QString database_;
};

}  // namespace tarvel::bench
