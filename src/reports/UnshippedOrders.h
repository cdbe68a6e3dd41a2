// 未送總表 (rpt工單未出明細_橫): the work-order lines not yet fully delivered, with the quantity
// stocked in per line looked up in [工單產品入庫數], a page number in the title block and a footer
// of totals. Its definition is data like every report's; the lookup is this layout's hook.
#pragma once

#include <memory>
#include <optional>

#include "db/Connection.h"
#include "reports/DefinedReport.h"

namespace tarvel {

class UnshippedOrders : public DefinedReport {
 public:
  /// The layout of `design` (the catalogue's rpt工單未出明細_橫) for these criteria and context,
  /// copied as they are now.
  UnshippedOrders(const LayoutDesign& design, const WorkOrderCriteria& criteria,
                  const AppContext& context);
  ~UnshippedOrders() override;

  /// Opens the one connection and prepared query of the stocked-in lookup for the run.
  void ActiveReport_ReportStart() override;
  /// Reports a failed lookup once, when the run is over (the rows concerned show 0).
  void ActiveReport_ReportEnd() override;
  void Detail_Format() override;
  void GroupFooter1_Format() override;

 protected:
  /// 入庫數量 of the first [工單產品入庫數] row of the work order and product, or no value when
  /// there is none. Throws (db::DbError, tarvel::Error) when the lookup fails, also when its
  /// connection could not be opened at the start of the run.
  virtual std::optional<double> StockedQuantity(const QString& po, const QString& productCode);

 private:
  /// txt入庫數量 := the stocked-in quantity (added to the footer sum), or "0" when there is none
  /// or the lookup fails: a lookup never stops the report.
  void StockedQuantityLookup(const QString& po, const QString& productCode);

  double stockedSum_ = 0;

  // The lookup's connection and statement, alive from ReportStart to ReportEnd (or destruction);
  // the statement is declared after the connection so that it is finalised first.
  std::unique_ptr<db::Connection> stockConnection_;
  std::optional<db::Command> stockQuery_;
  QString stockOpenError_;
  /// The first failure of the lookup, and how many rows it left at 0.
  QString lookupFailure_;
  qint64 failedLookups_ = 0;
};

}  // namespace tarvel
