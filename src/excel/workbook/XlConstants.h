// Excel's own constants for what the export routines set, with the values Excel's automation
// takes, so a routine reads like the calls it stands for.
#pragma once

namespace tarvel::excel {

/// Range.Borders(index): the edge of the range a border is drawn on.
enum class XlBordersIndex : int { kEdgeTop = 8, kEdgeBottom = 9 };

/// Border.LineStyle.
enum class XlLineStyle : int { kContinuous = 1, kDouble = -4119 };

/// Border.Weight. A double line reports kThick, as Excel's own double borders do.
enum class XlBorderWeight : int { kThin = 2, kMedium = -4138, kThick = 4 };

/// Range.HorizontalAlignment; kGeneral (Excel's default) puts text left and numbers right.
enum class XlHAlign : int { kGeneral = 1, kLeft = -4131, kCenter = -4108, kRight = -4152 };

/// Range.VerticalAlignment; kBottom is Excel's default.
enum class XlVAlign : int { kTop = -4160, kCenter = -4108, kBottom = -4107 };

/// Font.Underline.
enum class XlUnderlineStyle : int { kNone = -4142, kSingle = 2 };

/// Font.ColorIndex and Border.ColorIndex: automatic (black) or an entry of Excel's default
/// 56-colour palette.
enum class XlColorIndex : int { kAutomatic = -4105, kRed = 3, kBlue = 5, kMagenta = 7 };

/// PageSetup.Orientation.
enum class XlPageOrientation : int { kPortrait = 1, kLandscape = 2 };

/// The RGB value (0xRRGGBB) of a palette entry in Excel's default palette; -1 for automatic.
constexpr int PaletteRgb(XlColorIndex color) {
  switch (color) {
    case XlColorIndex::kRed:
      return 0xFF0000;
    case XlColorIndex::kBlue:
      return 0x0000FF;
    case XlColorIndex::kMagenta:
      return 0xFF00FF;
    case XlColorIndex::kAutomatic:
      break;
  }
  return -1;
}

/// Application.InchesToPoints: 72 points to the inch. Margins and row heights are in points.
constexpr double InchesToPoints(double inches) {
  return inches * 72.0;
}

}  // namespace tarvel::excel
