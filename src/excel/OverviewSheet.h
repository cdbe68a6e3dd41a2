// The sheet of a work-order overview export: the page-block sheet with the heading pieces that
// show the main window's criteria (title, completion and delivery states, date range).
#pragma once

#include "criteria/WorkOrderCriteria.h"
#include "excel/PageBlockSheet.h"

namespace tarvel::excel {

class OverviewSheet : public PageBlockSheet {
 protected:
  /// Takes the criteria by reference: the record outlives the export it is read for.
  OverviewSheet(SheetDesign design, const WorkOrderCriteria& criteria, const AppContext& context)
      : PageBlockSheet(design, context), criteria_(criteria) {}

  /// "工單一覽表" on the whole line, merged and centred, bold 標楷體 of `size` points; underlined
  /// on a taller row when `underline`.
  void TitleRow(int row, double size, bool underline) const;
  /// "完工狀態：" and the completion filter from `first` (merged left to the last column).
  void CompletionLine(int row, char first, bool merged = true) const;
  /// "送清狀態：" and the delivery filter from `first` (merged left to the last column).
  void DeliveryLine(int row, char first, bool merged = true) const;
  /// A to `dateLast` merged left with `label` and the date range; the list date on `listFirst`
  /// to the last column (merged when they differ).
  void DateLine(int row, const QString& label, char dateLast, char listFirst) const;
  /// The caption of the date range: "發票日期：", "完工日期：" or "工單日期：" by the date basis.
  QString DateLabel() const;

  const WorkOrderCriteria& criteria_;
};

}  // namespace tarvel::excel
