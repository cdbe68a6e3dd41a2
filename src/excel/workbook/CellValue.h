// What one worksheet cell holds: nothing, a text or a number.
#pragma once

#include <QString>

namespace tarvel::excel {

struct CellValue {
  enum class Type : unsigned char { kEmpty, kText, kNumber };

  Type type = Type::kEmpty;
  /// A text entered with a leading apostrophe: Excel keeps it as text whatever it looks like
  /// (leading zeros survive) and marks the cell's style with the quote prefix. The apostrophe
  /// itself is not part of `text`.
  bool quotePrefix = false;
  double number = 0;
  QString text;

  static CellValue Text(const QString& text, bool quotePrefix = false) {
    return {Type::kText, quotePrefix, 0, text};
  }
  static CellValue Number(double number) { return {Type::kNumber, false, number, {}}; }

  bool operator==(const CellValue&) const = default;
};

}  // namespace tarvel::excel
