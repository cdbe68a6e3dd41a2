// A small sheet written the way the export routines write theirs: the column layout and
// whole-sheet settings, a heading block, detail lines (values first, their formats after) and a
// totals line, then the page setup. Shared by the tests of the recorded sheet and of the file.
#pragma once

#include <QString>

#include "excel/workbook/ModExcel.h"
#include "excel/workbook/Worksheet.h"

namespace tarvel::excel::test {

inline void WriteModelSheet(Worksheet& sheet, int lines) {
  const double widths[] = {9, 5, 9, 15, 35, 8, 9, 9, 6.5, 8, 4, 5, 8};
  for (int c = 0; c < 13; ++c) {
    const QString column = ColumnLetters(c + 1);
    sheet.Columns(column + u':' + column).SetColumnWidth(widths[c]);
  }
  sheet.Cells().SetRowHeight(20);
  sheet.Cells().SetVerticalAlignment(XlVAlign::kCenter);
  sheet.Cells().Font().SetSize(11);

  // Heading block.
  MergeCenter(sheet.Range(QStringLiteral("A1:M1")));
  sheet.Rows(QStringLiteral("1:1")).SetRowHeight(23);
  const Range title = sheet.Range(QStringLiteral("A1"));
  title.SetValue(QStringLiteral("工單一覽表"));
  sheet.Range(QStringLiteral("A1:M1")).Font().SetName(QStringLiteral("標楷體"));
  sheet.Range(QStringLiteral("A1:M1")).Font().SetSize(20);
  sheet.Range(QStringLiteral("A1:M1")).Font().SetBold(true);
  sheet.Range(QStringLiteral("A1:M1")).Font().SetUnderline(XlUnderlineStyle::kSingle);
  MergeLeft(sheet.Range(QStringLiteral("K2:M2")));
  sheet.Range(QStringLiteral("K2")).SetValue(QStringLiteral("完工狀態：全　部"));
  AlignLeft(sheet.Range(QStringLiteral("K2")));
  const Range headings = sheet.Range(QStringLiteral("A3:M3"));
  AlignCenter(headings);
  headings.Borders(XlBordersIndex::kEdgeTop).SetLineStyle(XlLineStyle::kContinuous);
  headings.Borders(XlBordersIndex::kEdgeTop).SetWeight(XlBorderWeight::kMedium);
  headings.Borders(XlBordersIndex::kEdgeTop).SetColorIndex(XlColorIndex::kAutomatic);
  headings.Borders(XlBordersIndex::kEdgeBottom).SetLineStyle(XlLineStyle::kContinuous);
  headings.Borders(XlBordersIndex::kEdgeBottom).SetWeight(XlBorderWeight::kThin);
  const char* titles[] = {"工單單號", "日期",  "客　戶", "印 件 代 號", "印 件 名 稱",
                          "數 量",    "單 價", "金 額",  "業務員",      "預交日期",
                          "完工",     "天數",  "單別"};
  for (int c = 0; c < 13; ++c)
    sheet.Cells(3, c + 1).SetValue(QString::fromUtf8(titles[c]));

  // Detail lines.
  double quantity = 0;
  for (int i = 0; i < lines; ++i) {
    const int r = 4 + i;
    const QString n = QString::number(r);
    sheet.Range(u'A' + n).SetValue(QStringLiteral("'%1").arg(1140001 + i, 9, 10, QChar(u'0')));
    sheet.Range(u'B' + n).SetValue(QStringLiteral("'12/04"));
    sheet.Range(u'C' + n).SetValue(QStringLiteral("'台和印刷"));
    sheet.Range(u'E' + n).SetValue(QStringLiteral("'=DM 型錄 <A4>"));
    const double qty = i % 2 ? 1234.5 : 1234;
    sheet.Range(u'F' + n).SetValue(qty);
    sheet.Range(u'F' + n).SetNumberFormatLocal(i % 2 ? QStringLiteral("#,##0.0")
                                                     : QStringLiteral("#,##0"));
    quantity += qty;
    sheet.Range(u'K' + n).SetValue(i % 2 ? QStringLiteral("N") : QStringLiteral("Y"));
    sheet.Range(u'L' + n).SetValue(double(i + 3));
    sheet.Range(u'M' + n).SetValue(QStringLiteral("00123"));  // typed: becomes the number 123
    AlignCenter(sheet.Range(QStringLiteral("A%1:B%1").arg(r)));
    AlignRight(sheet.Range(QStringLiteral("F%1:H%1").arg(r)));
    AlignCenter(sheet.Range(QStringLiteral("J%1:K%1").arg(r)));
    const Range line = sheet.Range(QStringLiteral("A%1:M%1").arg(r));
    line.Borders(XlBordersIndex::kEdgeBottom).SetLineStyle(XlLineStyle::kContinuous);
    line.Borders(XlBordersIndex::kEdgeBottom).SetWeight(XlBorderWeight::kThin);
    line.Borders(XlBordersIndex::kEdgeBottom).SetColorIndex(XlColorIndex::kAutomatic);
  }

  // Totals line.
  const int totals = 4 + lines;
  MergeLeft(sheet.Range(QStringLiteral("A%1:C%1").arg(totals)));
  sheet.Cells(totals, 1).SetValue(QStringLiteral("合　　計：%1 件").arg(lines));
  sheet.Cells(totals, 6).SetValue(QStringLiteral("2,468.5"));  // typed grouped number
  sheet.Cells(totals, 8).SetValue(quantity);
  sheet.Cells(totals, 8).SetNumberFormatLocal(QStringLiteral("#,##0.0"));
  sheet.Cells(totals, 10).Font().SetColorIndex(XlColorIndex::kRed);
  sheet.Cells(totals, 10).SetValue(QStringLiteral("12%"));
  const Range sum = sheet.Range(QStringLiteral("A%1:M%1").arg(totals));
  sum.Borders(XlBordersIndex::kEdgeTop).SetLineStyle(XlLineStyle::kDouble);
  sum.Borders(XlBordersIndex::kEdgeTop).SetWeight(XlBorderWeight::kThick);
  sum.Borders(XlBordersIndex::kEdgeBottom).SetLineStyle(XlLineStyle::kContinuous);
  sum.Borders(XlBordersIndex::kEdgeBottom).SetWeight(XlBorderWeight::kMedium);
  sum.SetWrapText(true);

  PageSetup& page = sheet.PageSetup();
  page.SetOrientation(XlPageOrientation::kLandscape);
  const double oneCentimetre = InchesToPoints(0.393700787401575);
  page.SetLeftMargin(oneCentimetre);
  page.SetRightMargin(oneCentimetre);
  page.SetTopMargin(oneCentimetre);
  page.SetBottomMargin(oneCentimetre);
  page.SetHeaderMargin(InchesToPoints(0));
  page.SetFooterMargin(InchesToPoints(0));
  page.FitToPages(1, 0);
}

}  // namespace tarvel::excel::test
