// The format properties a cell has been given, and the complete format it is written with.
#pragma once

#include <QString>
#include <optional>

#include "excel/workbook/XlConstants.h"

namespace tarvel::excel {

/// One edge's border as Excel reports it: a double line always has the weight kThick.
struct Border {
  XlLineStyle lineStyle = XlLineStyle::kContinuous;
  XlBorderWeight weight = XlBorderWeight::kThin;
  XlColorIndex color = XlColorIndex::kAutomatic;

  bool operator==(const Border&) const = default;
};

/// The properties set on a cell, each left unset until a range operation sets it; an unset
/// property comes from the whole-sheet settings (Cells) or else from Excel's Normal style.
/// Equal formats are one entry of the workbook's format table, so cells carry only its number.
struct CellFormat {
  /// NumberFormatLocal, as given ("#,##0.0"); "G/通用格式" and "General" both mean General.
  std::optional<QString> numberFormat;
  std::optional<QString> fontName;
  /// Points.
  std::optional<double> fontSize;
  std::optional<bool> bold;
  std::optional<XlUnderlineStyle> underline;
  std::optional<XlColorIndex> fontColor;
  std::optional<XlHAlign> horizontal;
  std::optional<XlVAlign> vertical;
  std::optional<bool> wrapText;
  std::optional<Border> topBorder;
  std::optional<Border> bottomBorder;

  bool operator==(const CellFormat&) const = default;
  bool IsEmpty() const { return *this == CellFormat{}; }

  /// The properties of `over` where it sets them, this format's elsewhere.
  CellFormat OverlaidWith(const CellFormat& over) const;

  /// A text that is equal for equal formats and different otherwise (the format table's key).
  QString Key() const;

  /// The set properties in words, for the recorded sheet: "標楷體 20 bold underline;
  /// center/center; top medium; bottom thin; #,##0". Empty when nothing is set.
  QString Description() const;
};

/// Whether a number format text means General.
bool IsGeneralNumberFormat(const QString& format);

}  // namespace tarvel::excel
