#include "excel/OverviewSheet.h"

#include "common/RocDate.h"
#include "excel/workbook/ModExcel.h"
#include "platform/Conversions.h"

namespace tarvel::excel {
namespace {

constexpr double kTitleRowHeight = 23;

}  // namespace

void OverviewSheet::TitleRow(int row, double size, bool underline) const {
  const excel::Range line = Line(row);
  MergeCenter(line);
  line.Font().SetName(QStringLiteral("標楷體"));
  line.Font().SetSize(size);
  line.Font().SetBold(true);
  if (underline) {
    line.Font().SetUnderline(XlUnderlineStyle::kSingle);
    line.SetRowHeight(kTitleRowHeight);
  }
  Cell('A', row).SetValue(QStringLiteral("工單一覽表"));
}

void OverviewSheet::CompletionLine(int row, char first, bool merged) const {
  QString state = QStringLiteral("全　部");
  if (criteria_.CompletionFilter == CompletionFilter::Finished)
    state = QStringLiteral("已完工");
  else if (criteria_.CompletionFilter == CompletionFilter::Unfinished)
    state = QStringLiteral("未完工");
  if (merged) MergeLeft(Span(first, Design().lastColumn, row));
  Cell(first, row).SetValue(QStringLiteral("完工狀態：") + state);
  if (merged) AlignLeft(Cell(first, row));
}

void OverviewSheet::DeliveryLine(int row, char first, bool merged) const {
  QString state = QStringLiteral("全　部");
  if (criteria_.DeliveryFilter == DeliveryFilter::Cleared)
    state = QStringLiteral("已送清");
  else if (criteria_.DeliveryFilter == DeliveryFilter::NotCleared)
    state = QStringLiteral("未送清");
  if (merged) MergeLeft(Span(first, Design().lastColumn, row));
  Cell(first, row).SetValue(QStringLiteral("送清狀態：") + state);
  if (merged) AlignLeft(Cell(first, row));
}

void OverviewSheet::DateLine(int row, const QString& label, char dateLast, char listFirst) const {
  MergeLeft(Span('A', dateLast, row));
  const QString pattern = QStringLiteral("###/##/##");
  Cell('A', row).SetValue(label + Format(criteria_.DateFrom, pattern) + QStringLiteral(" ～ ") +
                          Format(criteria_.DateTo, pattern));
  if (listFirst != Design().lastColumn) MergeLeft(Span(listFirst, Design().lastColumn, row));
  Cell(listFirst, row).SetValue(QStringLiteral("列表日期：") + RocToday());
  AlignLeft(Cell(listFirst, row));
}

QString OverviewSheet::DateLabel() const {
  switch (criteria_.DateBasis) {
    case DateBasis::Invoice:
      return QStringLiteral("發票日期：");
    case DateBasis::Finish:
      return QStringLiteral("完工日期：");
    default:
      return QStringLiteral("工單日期：");
  }
}

}  // namespace tarvel::excel
