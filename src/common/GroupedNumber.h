// Amounts and quantities with thousands separators, keeping exactly the decimals they have.
#pragma once

#include <QString>

#include "db/Value.h"

namespace tarvel {

/// The number of decimals a numeric text keeps: the fraction digits of its value written as
/// plain decimal text with at most 15 significant digits and no trailing zeros ("1234.50" has 1,
/// "12" has 0). Values the runtime writes in scientific form count the decimals of their plain
/// form (1E-05 has 5, 1.5E+20 has 0). A non-numeric text has 0.
int DecimalPlaces(const QString& text);

/// The text with thousands separators and its own decimals: 1234.5 -> 1,234.5, "1234.50" ->
/// 1,234.5, -1234567.125 -> -1,234,567.125. Empty and non-numeric texts come back unchanged.
QString FormatGrouped(const QString& text);
/// FormatGrouped of a number's own text (NumberText), without writing it out and reading it back:
/// a report formats every amount of every line. NaN and infinities come back as their text.
QString FormatGroupedNumber(double value);
/// FormatGrouped of a field's value: a number as FormatGroupedNumber, anything else by its text.
QString FormatGrouped(const db::Value& value);

/// The workbook number format that shows the text's value as FormatGrouped does: "#,##0" for no
/// decimals, "#,##0." followed by one "0" per decimal otherwise. Empty and non-numeric texts
/// come back unchanged.
QString GroupedNumberFormat(const QString& text);
/// GroupedNumberFormat of a number's own text (NumberText), chosen from the number without
/// writing it out: an export gives every amount of every line its format. NaN and infinities
/// come back as their text.
QString GroupedNumberFormatOf(double value);

}  // namespace tarvel
