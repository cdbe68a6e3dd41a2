// A worksheet's page setup (ActiveSheet.PageSetup): orientation, paper, margins and scaling.
#pragma once

#include "excel/workbook/XlConstants.h"

namespace tarvel::excel {

/// Margins are in points, as Excel's PageSetup takes them (InchesToPoints). A new sheet has
/// Excel's defaults: portrait, left and right 0.7 inch, top and bottom 0.75 inch, header and
/// footer 0.3 inch. The values go into the file when the workbook is saved, so they may be set
/// at any time before.
class PageSetup {
 public:
  XlPageOrientation Orientation() const { return orientation_; }
  void SetOrientation(XlPageOrientation orientation) { orientation_ = orientation; }

  /// Excel's paper size number (9 A4, 1 Letter); 0 leaves the paper to the printer.
  int PaperSize() const { return paperSize_; }
  /// Throws WorkbookError outside 0 to 255.
  void SetPaperSize(int paperSize);

  double LeftMargin() const { return left_; }
  double RightMargin() const { return right_; }
  double TopMargin() const { return top_; }
  double BottomMargin() const { return bottom_; }
  double HeaderMargin() const { return header_; }
  double FooterMargin() const { return footer_; }
  /// Each throws WorkbookError for a negative margin or one beyond 49 inches (Excel's limit).
  void SetLeftMargin(double points);
  void SetRightMargin(double points);
  void SetTopMargin(double points);
  void SetBottomMargin(double points);
  void SetHeaderMargin(double points);
  void SetFooterMargin(double points);

  /// Zoom = False with FitToPagesWide = `wide` and FitToPagesTall = `tall`: the print is scaled
  /// down until it fits so many pages across and down; 0 leaves a direction free (False), so
  /// FitToPages(1, 0) is one page wide and as many pages tall as the rows need, each ending at a
  /// manual page break where there is one. Throws WorkbookError outside 0 to 32,767 or for 0 by 0.
  /// Without it the print is at 100 %.
  void FitToPages(int wide, int tall);
  bool FitsToPages() const { return fitWide_ > 0 || fitTall_ > 0; }
  int FitToPagesWide() const { return fitWide_; }
  int FitToPagesTall() const { return fitTall_; }

  bool operator==(const PageSetup&) const = default;

 private:
  XlPageOrientation orientation_ = XlPageOrientation::kPortrait;
  int paperSize_ = 0;
  double left_ = InchesToPoints(0.7);
  double right_ = InchesToPoints(0.7);
  double top_ = InchesToPoints(0.75);
  double bottom_ = InchesToPoints(0.75);
  double header_ = InchesToPoints(0.3);
  double footer_ = InchesToPoints(0.3);
  int fitWide_ = 0;
  int fitTall_ = 0;
};

}  // namespace tarvel::excel
