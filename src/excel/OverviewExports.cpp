// The eight overview export routines: each routine's heading block, lines and totals line, and its
// factory.
#include <QStringList>

#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "common/RocDate.h"
#include "common/SuiteRules.h"
#include "criteria/RequestCriteria.h"
#include "excel/OverviewSheet.h"
#include "excel/workbook/ModExcel.h"
#include "platform/Conversions.h"

namespace tarvel::excel {
namespace {

const QString kPlateNo = QStringLiteral("NO");

/// The text of a 7-digit ROC date as month/day ("1151203" gives "12/03").
QString ShortDate(const QString& rocDate) {
  return QLatin1Char('\'') + Format(rocDate.trimmed().right(4), QStringLiteral("00/00"));
}

/// The text of a 7-digit ROC date as year/month/day ("1151203" gives "115/12/03").
QString FullDate(const QString& rocDate) {
  return QLatin1Char('\'') + Format(rocDate.trimmed(), QStringLiteral("###/##/##"));
}

/// The date of an overview line: the invoice date when the range applies to it, else the order
/// date.
QString OrderDate(const db::Cursor& r, const WorkOrderCriteria& criteria) {
  return r.Text(criteria.DateBasis == DateBasis::Invoice ? QStringLiteral("發票日期")
                                                         : QStringLiteral("ODATE"));
}

// The item-code overview and its combined-plate variant: thirteen columns A to M.
class ItemCodeExport : public OverviewSheet {
 public:
  ItemCodeExport(SheetDesign design, bool plates, const WorkOrderCriteria& criteria,
                 const AppContext& context)
      : OverviewSheet(design, criteria, context), plates_(plates) {}

 protected:
  std::vector<double> ColumnWidths() const override {
    return {9, 5, 9, 15, 35, 8, 9, 9, 6.5, 8, 4, 5, 8};
  }

  void WriteHeadingRows(const db::Cursor&) override {
    TitleRow(HeadingRow(0), 20, true);
    CompletionLine(HeadingRow(1), 'K');
    DeliveryLine(HeadingRow(2), 'K');
    DateLine(HeadingRow(3), DateLabel(), 'D', 'K');
    ColumnHeadings(HeadingRow(4),
                   {"工單單號", "日期", "客　戶", "印 件 代 號", "印 件 名 稱", "數 量", "單 價",
                    "金 額", "業務員", "預交日期", "完工", "天數", "單別"});
  }

  void WriteRecord(const db::Cursor& r) override {
    const QString po = r.Text(QStringLiteral("PO"));
    if (!plates_ || po != previousPo_) WriteMainLine(r);
    previousPo_ = po;
    if (plates_ && !r.Text(kPlateNo).isEmpty()) WritePlateLine(r);
  }

  void WriteTotalsRow(int row) override { QuantityAndAmountTotals(row, 'F', 'H'); }

 private:
  void WriteMainLine(const db::Cursor& r) {
    const int row = NewLine(r);
    Text('A', row, r.Text(QStringLiteral("PO")));
    Cell('B', row).SetValue(ShortDate(OrderDate(r, criteria_)));
    Text('C', row, r.Text(QStringLiteral("SNAME")));
    Text('D', row, r.Text(QStringLiteral("CODE")));
    Text('E', row, r.Text(QStringLiteral("DESC")));
    totals_.quantity += Number('F', row, r.Text(QStringLiteral("QTY")));
    Number('G', row, r.Text(QStringLiteral("PRICE")));
    totals_.amount += Number('H', row, r.Text(QStringLiteral("AMT")));
    Text('I', row, r.Text(QStringLiteral("NAME")));
    Cell('J', row).SetValue(FullDate(r.Text(QStringLiteral("PDATE"))));
    Cell('K', row).SetValue(r.Text(QStringLiteral("FDATE")).isEmpty() ? QStringLiteral("N")
                                                                      : QStringLiteral("Y"));
    const std::optional<qint64> days =
        WorkOrderDayCount(r.Text(QStringLiteral("ODATE")), r.Text(QStringLiteral("FDATE")));
    if (days)
      Cell('L', row).SetValue(static_cast<double>(*days));
    else
      Cell('L', row).SetValue(QString());
    Text('M', row, r.Text(QStringLiteral("KIND")));
    AlignCenter(Span('A', 'B', row));
    AlignRight(Span('F', 'H', row));
    AlignCenter(Span('J', 'K', row));
    ThinBottom(row);
  }

  void WritePlateLine(const db::Cursor& r) {
    const int row = NewLine(r, false);
    Cell('B', row).SetValue(QStringLiteral("'合版") + r.Text(kPlateNo));
    Text('C', row, r.Text(QStringLiteral("合版客戶簡稱")));
    Text('D', row, r.Text(QStringLiteral("合版代號")));
    Text('E', row, r.Text(QStringLiteral("合版名稱")));
    totals_.quantity += Number('F', row, r.Text(QStringLiteral("合版數量")));
    Number('G', row, r.Text(QStringLiteral("合版單價")));
    totals_.amount += Number('H', row, r.Text(QStringLiteral("合版小計")));
    AlignCenter(Span('A', 'B', row));
    AlignRight(Span('F', 'H', row));
    ThinBottom(row);
  }

  bool plates_;
  // No work-order number equals it, so the first record always starts a main line.
  QString previousPo_ = QStringLiteral("\x01");
};

class CustomerPoExport : public OverviewSheet {
 public:
  CustomerPoExport(SheetDesign design, const WorkOrderCriteria& criteria, const AppContext& context)
      : OverviewSheet(design, criteria, context) {}

 protected:
  std::vector<double> ColumnWidths() const override {
    return {8, 7, 8, 25, 8, 8, 8, 14, 10, 10, 8, 16};
  }

  void WriteHeadingRows(const db::Cursor&) override {
    CompanyRow(HeadingRow(0));
    TitleRow(HeadingRow(1), 18, false);
    CompletionLine(HeadingRow(2), 'L', false);
    DeliveryLine(HeadingRow(3), 'L', false);
    DateLine(HeadingRow(4), DateLabel(), 'C', 'L');
    ColumnHeadings(HeadingRow(5),
                   {"工單單號", "日期", "客　戶", "印 件 名 稱", "數 量", "單 價", "金 額",
                    "客戶單號", "客戶工號", "發票號碼", "收款日", "備　　　註"});
  }

  void WriteRecord(const db::Cursor& r) override {
    const int row = NewLine(r);
    Text('A', row, r.Text(QStringLiteral("PO")));
    Text('B', row, OrderDate(r, criteria_));
    Text('C', row, r.Text(QStringLiteral("SNAME")));
    Text('D', row, r.Text(QStringLiteral("DESC")));
    totals_.quantity += Number('E', row, r.Text(QStringLiteral("QTY")));
    Number('F', row, r.Text(QStringLiteral("PRICE")));
    totals_.amount += Number('G', row, r.Text(QStringLiteral("AMT")));
    Text('H', row, r.Text(QStringLiteral("CUSTNO")));
    Text('I', row, r.Text(QStringLiteral("採購單號")));
    AlignCenter(Span('A', 'B', row));
    AlignRight(Span('E', 'G', row));
    ThinBottom(row);
  }

  void WriteTotalsRow(int row) override { QuantityAndAmountTotals(row, 'E', 'G'); }
};

class CombinedPlatesExport : public OverviewSheet {
 public:
  CombinedPlatesExport(SheetDesign design, const WorkOrderCriteria& criteria,
                       const AppContext& context)
      : OverviewSheet(design, criteria, context) {}

 protected:
  std::vector<double> ColumnWidths() const override { return {7.5, 4, 8, 35, 8, 7, 8, 12}; }

  void WriteHeadingRows(const db::Cursor&) override {
    CompanyRow(HeadingRow(0));
    TitleRow(HeadingRow(1), 18, false);
    CompletionLine(HeadingRow(2), 'G');
    DeliveryLine(HeadingRow(3), 'G');
    DateLine(HeadingRow(4), DateLabel(), 'D', 'G');
    ColumnHeadings(HeadingRow(5), {"工單單號", "日期", "客　戶", "印 件 名 稱", "數 量", "單 價",
                                   "金 額", "客戶單號"});
  }

  void WriteRecord(const db::Cursor& r) override {
    const QString po = r.Text(QStringLiteral("PO"));
    if (po != previousPo_) {
      const int row = NewLine(r);
      Text('A', row, po);
      Cell('B', row).SetValue(ShortDate(OrderDate(r, criteria_)));
      Text('C', row, r.Text(QStringLiteral("SNAME")));
      Text('D', row, r.Text(QStringLiteral("DESC")));
      totals_.quantity += Number('E', row, r.Text(QStringLiteral("QTY")));
      Number('F', row, r.Text(QStringLiteral("PRICE")));
      totals_.amount += Number('G', row, r.Text(QStringLiteral("AMT")));
      Text('H', row, r.Text(QStringLiteral("CUSTNO")));
      AlignCenter(Span('A', 'B', row));
      AlignRight(Span('E', 'G', row));
      ThinBottom(row);
    }
    previousPo_ = po;
    if (r.Text(kPlateNo).isEmpty()) return;
    const int row = NewLine(r, false);
    Cell('B', row).SetValue(QStringLiteral("'合版") + r.Text(kPlateNo));
    Text('C', row, r.Text(QStringLiteral("合版客戶簡稱")));
    Text('D', row, r.Text(QStringLiteral("合版名稱")));
    totals_.quantity += Number('E', row, r.Text(QStringLiteral("合版數量")));
    Number('F', row, r.Text(QStringLiteral("合版單價")));
    totals_.amount += Number('G', row, r.Text(QStringLiteral("合版小計")));
    Text('H', row, r.Text(QStringLiteral("CUSTNO")));
    AlignCenter(Span('A', 'B', row));
    AlignRight(Span('E', 'G', row));
    ThinBottom(row);
  }

  void WriteTotalsRow(int row) override { QuantityAndAmountTotals(row, 'E', 'G'); }

 private:
  QString previousPo_ = QStringLiteral("\x01");
};

// Routines that may start a block per salesperson when EMPNO changes.
class SalespersonBlocks : public OverviewSheet {
 protected:
  SalespersonBlocks(SheetDesign design, bool blocks, const WorkOrderCriteria& criteria,
                    const AppContext& context)
      : OverviewSheet(design, criteria, context), blocks_(blocks) {}

  void BeforeRecord(const db::Cursor& r) override {
    const QString employee = r.Text(QStringLiteral("EMPNO"));
    if (blocks_ && started_ && employee != employee_)
      CloseBlock(r, [&] { salesperson_ = SalespersonOf(r); });
    started_ = true;
    employee_ = employee;
  }

  /// "[" & EMPNO & "]  " & NAME of the block's salesperson: the first record's until a block
  /// closes (a page break that closing forces still shows the old salesperson).
  QString Salesperson(const db::Cursor& r) {
    if (salesperson_.isEmpty()) salesperson_ = SalespersonOf(r);
    return salesperson_;
  }

  bool blocks_;

 private:
  static QString SalespersonOf(const db::Cursor& r) {
    return QLatin1Char('[') + r.Text(QStringLiteral("EMPNO")) + QStringLiteral("]  ") +
           r.Text(QStringLiteral("NAME"));
  }

  bool started_ = false;
  QString employee_;
  QString salesperson_;
};

class SalespersonMarginExport : public SalespersonBlocks {
 public:
  SalespersonMarginExport(SheetDesign design, const WorkOrderCriteria& criteria,
                          const AppContext& context)
      : SalespersonBlocks(design, criteria.BySalesperson == BySalesperson::PerSalesperson, criteria,
                          context) {}

 protected:
  std::vector<double> ColumnWidths() const override {
    // Per salesperson only A to L get a width, the item name in F the widest.
    if (blocks_) return {9, 8, 8, 9, 9, 27, 8, 8, 8, 8, 8, 6};
    // M, left open by the design, takes the width the salesperson's name needs.
    return {9, 8, 8, 9, 9, 20, 8, 8, 8, 8, 8, 6, 8, 4, 10};
  }

  void WriteHeadingRows(const db::Cursor& r) override {
    TitleRow(HeadingRow(0), 18, false);
    if (!blocks_) {
      DateLine(HeadingRow(1), DateLabel(), 'D', 'M');
      ColumnHeadings(HeadingRow(2), Headings("印　件　名　稱", "業務員"));
      return;
    }
    Cell('A', HeadingRow(1)).SetValue(QStringLiteral("業  務  員："));
    Cell('B', HeadingRow(1)).SetValue(Salesperson(r));
    DateLine(HeadingRow(2), QStringLiteral("發票日期："), 'D', 'L');
    ColumnHeadings(HeadingRow(3), Headings("印　　件　　名　　稱", ""));
  }

  void WriteRecord(const db::Cursor& r) override {
    const int row = NewLine(r);
    Text('A', row, r.Text(QStringLiteral("PO")));
    Text('B', row, r.Text(QStringLiteral("KIND")));
    Cell('C', row).SetValue(FullDate(OrderDate(r, criteria_)));
    Text('D', row, r.Text(QStringLiteral("CUST")));
    Text('E', row, r.Text(QStringLiteral("SNAME")));
    Text('F', row, r.Text(QStringLiteral("DESC")));
    totals_.quantity += Number('G', row, r.Text(QStringLiteral("QTY")));
    Number('H', row, r.Text(QStringLiteral("PRICE")));
    const double amount = Number('I', row, r.Text(QStringLiteral("AMT")));
    const double cost = Number('J', row, r.Text(QStringLiteral("SUM")));
    const double margin = Number('K', row, r.Text(QStringLiteral("毛利")));
    totals_.amount += amount;
    totals_.cost += cost;
    totals_.margin += margin;
    Text('L', row, MarginPercent(margin, amount, cost));
    if (!blocks_) Text('M', row, r.Text(QStringLiteral("NAME")));
    Text('N', row, r.Text(QStringLiteral("FSEND")));
    Text('O', row, r.Text(QStringLiteral("CUSTNO")));
    AlignCenter(Cell('A', row));
    AlignCenter(Cell('C', row));
    AlignRight(Span('G', 'L', row));
    AlignCenter(Span('M', 'N', row));
    ThinBottom(row);
  }

  void WriteTotalsRow(int row) override {
    CountCell(row);
    Number('G', row, totals_.quantity);
    Number('I', row, totals_.amount);
    Number('J', row, totals_.cost);
    Number('K', row, totals_.margin);
    Text('L', row, MarginPercent(totals_.margin, totals_.amount, totals_.cost));
    AlignRight(Span('G', 'L', row));
    TotalsBorders(row, false);
  }

 private:
  static std::vector<const char*> Headings(const char* item, const char* salesperson) {
    return {"工單單號",  "單別",     "發票日期",  "客戶代號",  "客戶簡稱",
            item,        "數    量", "單    價",  "金     額", "成     本",
            "毛     利", "毛利％",   salesperson, "送清",      "客戶單號"};
  }

  /// The margin as a whole percentage of the amount (or of the cost, when the company reckons
  /// margins against cost); empty when that base is 0.
  QString MarginPercent(double margin, double amount, double cost) const {
    const auto percent = tarvel::MarginPercent(margin, amount, cost, context_.ProfitRateBase);
    return percent ? FormatNumber(*percent, QStringLiteral("0")) : QString();
  }
};

class ProductionDetailExport : public SalespersonBlocks {
 public:
  ProductionDetailExport(SheetDesign design, bool bySalesperson, const WorkOrderCriteria& criteria,
                         const AppContext& context)
      : SalespersonBlocks(design, bySalesperson, criteria, context) {}

 protected:
  std::vector<double> ColumnWidths() const override {
    return {8.38, 7, 7.63, 9, 22.63, 3.75, 7.38, 9.25, 7.5, 9.88, 33.5};
  }

  void WriteHeadingRows(const db::Cursor& r) override {
    CompanyRow(HeadingRow(0));
    TitleRow(HeadingRow(1), 18, false);
    int next = 2;
    if (blocks_) {
      MergeLeft(Span('A', 'C', HeadingRow(next)));
      Cell('A', HeadingRow(next)).SetValue(QStringLiteral("業務員：") + Salesperson(r));
      ++next;
    }
    const int dateRow = HeadingRow(next);
    MergeLeft(Span('A', 'D', dateRow));
    const QString pattern = QStringLiteral("###/##/##");
    Cell('A', dateRow)
        .SetValue(QStringLiteral("工單日期：") + Format(criteria_.DateFrom, pattern) +
                  QStringLiteral(" ～ ") + Format(criteria_.DateTo, pattern));
    Cell('K', dateRow).SetValue(QStringLiteral("列表日期：") + RocToday());
    AlignRight(Cell('K', dateRow));
    const int headings = HeadingRow(next + 1);
    if (blocks_) {
      ColumnHeadings(headings, {"工單單號", "工單日期", "客　戶", "印 件 名 稱", "", "模數", "數量",
                                "開數", "印色", "用紙", "其他明細"});
      MergeCenter(Span('D', 'E', headings));
    } else {
      ColumnHeadings(headings, {"工單單號", "工單日期", "業務員", "客　戶", "印 件 名 稱", "模數",
                                "數量", "開數", "印色", "用紙", "其他明細"});
    }
  }

  void WriteRecord(const db::Cursor& r) override {
    const int row = NewLine(r);
    Text('A', row, r.Text(QStringLiteral("PO")));
    Cell('B', row).SetValue(FullDate(r.Text(QStringLiteral("ODATE"))));
    if (blocks_) {
      Text('C', row, r.Text(QStringLiteral("SNAME")));
      MergeLeft(Span('D', 'E', row));
      Text('D', row, r.Text(QStringLiteral("DESC")));
    } else {
      Text('C', row, r.Text(QStringLiteral("NAME")));
      Text('D', row, r.Text(QStringLiteral("SNAME")));
      Text('E', row, r.Text(QStringLiteral("DESC")));
    }
    const QString ups = r.Text(QStringLiteral("MEMB"));
    Text('F', row, Val(ups) == 0 ? QString() : FormatGrouped(ups));
    Text('G', row, FormatGrouped(r.Text(QStringLiteral("QTY"))) + r.Text(QStringLiteral("UNIT")));
    Text('H', row, r.Text(QStringLiteral("SPEC")));
    Text('I', row, Colours(r.Text(QStringLiteral("COLOR1")), r.Text(QStringLiteral("COLOR2"))));
    Text('J', row, r.Text(QStringLiteral("紙品")));
    Text('K', row, OtherDetails(r));
    totals_.quantity += Val(r.Text(QStringLiteral("QTY")));
    totals_.amount += Val(r.Text(QStringLiteral("AMT")));
    Cell('A', row).Font().SetColorIndex(XlColorIndex::kBlue);
    Cell('H', row).Font().SetColorIndex(XlColorIndex::kMagenta);
    Cell('I', row).Font().SetColorIndex(XlColorIndex::kBlue);
    Cell('J', row).Font().SetColorIndex(XlColorIndex::kRed);
    Line(row).SetRowHeight(28.5);
    ThinBottom(row);
    Line(row).SetWrapText(true);
  }

  void WriteTotalsRow(int row) override {
    CountCell(row);
    MergeRight(Span('F', 'G', row));
    Cell('F', row).SetValue(FormatGroupedNumber(totals_.quantity));
    TotalsBorders(row, true);
  }

 private:
  /// Front and back colours: "反" marks the back.
  static QString Colours(const QString& front, const QString& back) {
    if (front.isEmpty() && back.isEmpty()) return QString();
    if (front.isEmpty()) return QStringLiteral("反") + back;
    if (back.isEmpty()) return front;
    return front + QStringLiteral("反") + back;
  }

  static QString OtherDetails(const db::Cursor& r) {
    QStringList details;
    for (const char* field : {"裱紙", "軋工", "糊工", "裁工", "裝訂", "燙金", "其他"}) {
      const QString value = r.Text(QString::fromUtf8(field));
      if (!value.isEmpty()) details << value;
    }
    return details.join(QStringLiteral("  "));
  }
};

class ProductionReportExport : public OverviewSheet {
 public:
  ProductionReportExport(SheetDesign design, const WorkOrderCriteria& criteria,
                         const AppContext& context)
      : OverviewSheet(design, criteria, context) {}

 protected:
  std::vector<double> ColumnWidths() const override {
    return {8, 26, 12, 10, 10, 3, 3, 10, 8, 8, 8, 8, 8, 8};
  }

  void WriteHeadingRows(const db::Cursor&) override {
    CompanyRow(HeadingRow(0));
    DateLine(HeadingRow(1), QStringLiteral("工單日期："), 'B', 'M');
    ColumnHeadings(HeadingRow(2),
                   {"工單單號", "印  件  名  稱", "紙別", "規格", "總數", "正", "反", "印刷尺寸",
                    "總耗時", "生產量", "工單實數", "工單放數", "估價成本", "估價報價"});
  }

  void WriteRecord(const db::Cursor& r) override {
    const int row = NewLine(r);
    Text('A', row, r.Text(QStringLiteral("PO")));
    Text('B', row, r.Text(QStringLiteral("DESC")));
    Text('C', row, r.Text(QStringLiteral("ITEM")));
    Text('D', row, r.Text(QStringLiteral("SPEC")));
    Text('E', row,
         FormatReamSheet(Val(r.Text(QStringLiteral("QTY"))) + Val(r.Text(QStringLiteral("FREE"))),
                         QStringLiteral("Y")));
    Text('F', row, r.Text(QStringLiteral("色數正")));
    Text('G', row, r.Text(QStringLiteral("色數反")));
    Text('H', row, r.Text(QStringLiteral("開數1")));
    // Written as typed: a number becomes a number, anything else stays text.
    Cell('I', row).SetValue(r.Text(QStringLiteral("耗時")));
    Cell('J', row).SetValue(r.Text(QStringLiteral("生產量")));
    Cell('K', row).SetValue(r.Text(QStringLiteral("QTY1")));
    Cell('L', row).SetValue(r.Text(QStringLiteral("QTY2")));
    Text('M', row, FormatGrouped(r.Text(QStringLiteral("OAMT"))));
    Text('N', row, FormatGrouped(r.Text(QStringLiteral("AMT"))));
    AlignRight(Cell('E', row));
    AlignCenter(Span('F', 'G', row));
    AlignRight(Span('I', 'J', row));
    ThinBottom(row);
  }

  void WriteTotalsRow(int row) override {
    CountCell(row);
    TotalsBorders(row, true);
  }
};

}  // namespace

// The routines' factories, named in the report catalogue's export rows.

std::unique_ptr<PageBlockSheet> NewItemCodeExport(const SheetDesign& design,
                                                  const RequestCriteria& request) {
  return std::make_unique<ItemCodeExport>(design, false, request.Overview(), request.context);
}

std::unique_ptr<PageBlockSheet> NewCombinedPlateCodeExport(const SheetDesign& design,
                                                           const RequestCriteria& request) {
  return std::make_unique<ItemCodeExport>(design, true, request.Overview(), request.context);
}

std::unique_ptr<PageBlockSheet> NewCustomerPoExport(const SheetDesign& design,
                                                    const RequestCriteria& request) {
  return std::make_unique<CustomerPoExport>(design, request.Overview(), request.context);
}

std::unique_ptr<PageBlockSheet> NewSalespersonMarginExport(const SheetDesign& design,
                                                           const RequestCriteria& request) {
  return std::make_unique<SalespersonMarginExport>(design, request.Overview(), request.context);
}

std::unique_ptr<PageBlockSheet> NewProductionDetailExport(const SheetDesign& design,
                                                          const RequestCriteria& request) {
  return std::make_unique<ProductionDetailExport>(design, false, request.Overview(),
                                                  request.context);
}

std::unique_ptr<PageBlockSheet> NewProductionDetailBySalespersonExport(
    const SheetDesign& design, const RequestCriteria& request) {
  return std::make_unique<ProductionDetailExport>(design, true, request.Overview(),
                                                  request.context);
}

std::unique_ptr<PageBlockSheet> NewCombinedPlatesExport(const SheetDesign& design,
                                                        const RequestCriteria& request) {
  return std::make_unique<CombinedPlatesExport>(design, request.Overview(), request.context);
}

std::unique_ptr<PageBlockSheet> NewProductionReportExport(const SheetDesign& design,
                                                          const RequestCriteria& request) {
  return std::make_unique<ProductionReportExport>(design, request.Overview(), request.context);
}

}  // namespace tarvel::excel
