// The export of the rework or proof list (frm重工明細表轉Excel's one routine): the page-block sheet
// with the rework heading block, detail line and totals line, and its factory.
#include "common/RocDate.h"
#include "common/SuiteRules.h"
#include "criteria/RequestCriteria.h"
#include "excel/PageBlockSheet.h"
#include "excel/workbook/ModExcel.h"
#include "platform/Conversions.h"

namespace tarvel::excel {
namespace {

QString FullDate(const QString& rocDate) {
  return QLatin1Char('\'') + Format(rocDate.trimmed(), QStringLiteral("###/##/##"));
}

class ReworkExport : public PageBlockSheet {
 public:
  /// The list of criteria.ReportName ("重工明細表" or "打樣明細表").
  ReworkExport(SheetDesign design, const ReworkCriteria& criteria, const AppContext& context)
      : PageBlockSheet(design, context),
        rework_(criteria),
        isRework_(criteria.ReportName == ReworkReportName(k重工明細表)) {}

 protected:
  std::vector<double> ColumnWidths() const override {
    if (isRework_) return {12, 9, 10, 38, 13, 8, 8, 8, 9, 9};
    return {10, 10, 10, 40, 10, 8, 8, 8, 10, 10};
  }

  void WriteHeadingRows(const db::Cursor&) override {
    CompanyRow(HeadingRow(0));

    const int title = HeadingRow(1);
    const excel::Range titleLine = Line(title);
    MergeCenter(titleLine);
    titleLine.Font().SetName(QStringLiteral("標楷體"));
    titleLine.Font().SetSize(18);
    titleLine.Font().SetBold(true);
    Cell('A', title).SetValue(rework_.ReportName);

    const int dates = HeadingRow(2);
    const QString pattern = QStringLiteral("###/##/##");
    Cell('A', dates)
        .SetValue(QStringLiteral("日期起迄：") + Format(rework_.DateFrom, pattern) +
                  QStringLiteral(" ～ ") + Format(rework_.DateTo, pattern));
    Cell('I', dates).SetValue(QStringLiteral("印表日期：") + RocToday());

    const int headings = HeadingRow(3);
    const excel::Range headingLine = Line(headings);
    AlignCenter(headingLine);
    const RangeBorder thin = headingLine.Borders(XlBordersIndex::kEdgeBottom);
    thin.SetLineStyle(XlLineStyle::kContinuous);
    thin.SetWeight(XlBorderWeight::kThin);
    thin.SetColorIndex(XlColorIndex::kAutomatic);
    const char* salesHeading = isRework_ ? "業務/管理單號" : "業務員";
    const char* captions[] = {"工單單號", "工單日期", "客戶簡稱", "印件名稱", salesHeading,
                              "數量",     "單價",     "金額",     "預交日期", "成本金額"};
    for (int i = 0; i < 10; ++i)
      Cell(static_cast<char>('A' + i), headings).SetValue(QString::fromUtf8(captions[i]));

    // Under the date line, once the block's four rows are written.
    const RangeBorder medium = Line(dates).Borders(XlBordersIndex::kEdgeBottom);
    medium.SetLineStyle(XlLineStyle::kContinuous);
    medium.SetWeight(XlBorderWeight::kMedium);
    medium.SetColorIndex(XlColorIndex::kAutomatic);
  }

  void WriteRecord(const db::Cursor& r) override {
    const int row = NewLine(r);
    // Only the rework source has a kind: the proof list's rows have no such column.
    const QString kind = isRework_ ? r.Text(QStringLiteral("種類")) : QString();
    const QString po = r.Text(QStringLiteral("PO"));
    Text('A', row, isRework_ ? kind.left(1) + po : po);
    Cell('B', row).SetValue(FullDate(r.Text(QStringLiteral("ODATE"))));
    Text('C', row, r.Text(QStringLiteral("SNAME")));
    Text('D', row, r.Text(QStringLiteral("DESC")));
    Text('E', row, r.Text(QStringLiteral("NAME")));
    // Plain numbers: this sheet gives its amounts no number format.
    Cell('F', row).SetValue(Val(r.Text(QStringLiteral("QTY"))));
    Cell('G', row).SetValue(Val(r.Text(QStringLiteral("PRICE"))));
    const double amount = Val(r.Text(QStringLiteral("AMT")));
    Cell('H', row).SetValue(amount);
    Cell('I', row).SetValue(FullDate(r.Text(QStringLiteral("PDATE"))));
    const double cost = Val(r.Text(QStringLiteral("SUM")));
    // The printing department's reworks show no cost; the cost total still counts them.
    if (!ShowsReworkCost(kind))
      Cell('J', row).SetValue(QString());
    else
      Cell('J', row).SetValue(cost);
    totals_.amount += amount;
    totals_.cost += cost;
    AlignCenter(Span('A', 'B', row));
    AlignCenter(Cell('I', row));
    ThinBottom(row);
  }

  void WriteTotalsRow(int row) override {
    Cell('A', row).SetValue(QStringLiteral("合　　計：") + QString::number(totals_.dataRowCount) +
                            QStringLiteral(" 件"));
    Cell('H', row).SetValue(totals_.amount);
    Cell('J', row).SetValue(totals_.cost);
    TotalsBorders(row, false);
  }

 private:
  const ReworkCriteria& rework_;
  bool isRework_;
};

}  // namespace

std::unique_ptr<PageBlockSheet> NewReworkExport(const SheetDesign& design,
                                                const RequestCriteria& request) {
  return std::make_unique<ReworkExport>(design, request.Rework(), request.context);
}

}  // namespace tarvel::excel
