#include "excel/workbook/PageSetup.h"

#include <cmath>

#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

double CheckedMargin(double points, const char* which) {
  if (!std::isfinite(points) || points < 0 || points > InchesToPoints(49))
    throw WorkbookError(QStringLiteral("%1邊界不在 0 到 49 英吋之間：%2 點")
                            .arg(QString::fromUtf8(which))
                            .arg(points));
  return points;
}

}  // namespace

void PageSetup::SetPaperSize(int paperSize) {
  if (paperSize < 0 || paperSize > 255)
    throw WorkbookError(QStringLiteral("紙張大小代碼無效：%1").arg(paperSize));
  paperSize_ = paperSize;
}

void PageSetup::FitToPages(int wide, int tall) {
  // The file keeps both counts in 16 bits.
  if (wide < 0 || tall < 0 || wide > 32767 || tall > 32767 || (wide == 0 && tall == 0))
    throw WorkbookError(QStringLiteral("縮放頁數無效：寬 %1 頁、高 %2 頁").arg(wide).arg(tall));
  fitWide_ = wide;
  fitTall_ = tall;
}

void PageSetup::SetLeftMargin(double points) {
  left_ = CheckedMargin(points, "左");
}
void PageSetup::SetRightMargin(double points) {
  right_ = CheckedMargin(points, "右");
}
void PageSetup::SetTopMargin(double points) {
  top_ = CheckedMargin(points, "上");
}
void PageSetup::SetBottomMargin(double points) {
  bottom_ = CheckedMargin(points, "下");
}
void PageSetup::SetHeaderMargin(double points) {
  header_ = CheckedMargin(points, "頁首");
}
void PageSetup::SetFooterMargin(double points) {
  footer_ = CheckedMargin(points, "頁尾");
}

}  // namespace tarvel::excel
