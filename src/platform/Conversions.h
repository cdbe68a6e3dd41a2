// The language runtime's conversions the suite relies on: numeric conversion of a text, the
// numeric-text test, the plain decimal text of a number, and Format with digit patterns.
#pragma once

#include <QString>

namespace tarvel {

/// Val: the number at the start of `text`. Blanks (spaces, tabs, line feeds) anywhere are
/// skipped; reading stops at the first character that cannot continue the number. Accepts a
/// sign, one decimal point, an exponent (E or D), and &H… / &O… prefixes. No number gives 0.
/// Val("12abc") = 12, Val(" 1 2.5") = 12.5, Val("1,234") = 1, Val("") = 0.
/// &H/&O literals of up to 16 bits are signed 16-bit values (&HFFFF = -1), up to 32 bits signed
/// 32-bit ones. As in the runtime, a number beyond the double range or a literal beyond 32 bits
/// raises tarvel::Error("溢位"); a magnitude below the double range gives 0.
/// Just past the range there is one exception: NumberText writes the largest double
/// (1.7976931348623157E+308) rounded to 15 digits, 1.79769313486232E+308, which lies past it.
/// So that every number's own text reads back, a magnitude from the largest double up to that
/// text gives the largest double (with its sign); anything larger is the overflow.
double Val(const QString& text);

/// IsNumeric: whether the whole text (blanks around it allowed) is a number: sign, digits with
/// thousands separators (","), one decimal point, an exponent. "" and "abc" are not numeric.
/// Blanks may also stand between the sign and the digits; a separator must stand between two
/// integer digits (the group size is not checked: "1,2" is numeric, ",1" and "1," are not); the
/// exponent letter is E only and needs a digit ("1e" is not numeric); &H literals and numbers
/// beyond the double range (as Val reads it: NumberText of the largest double is numeric) are
/// not numeric. IsNumeric(NumberText(x)) holds for every finite x.
bool IsNumeric(const QString& text);

/// The numeric value of a text that IsNumeric accepts (thousands separators removed); 0 otherwise.
double NumericValue(const QString& text);

/// The plain decimal text of a double, as the runtime writes it when a number is joined with a
/// text: at most 15 significant digits, no trailing zeros, no thousands separators, scientific
/// form (1E+16, 1E-05) outside 1e-4 .. 1e15. NumberText(1234.5) = "1234.5", NumberText(-0.0) = "0".
/// The range is judged after rounding to 15 digits: 1e15 and 999999999999999.9 give "1E+15".
/// NaN and infinities (which Val never returns) give "NaN", "Infinity", "-Infinity".
/// The text of a finite number reads back: Val(NumberText(x)) is x to 15 significant digits.
QString NumberText(double value);

/// Format of a number with a digit pattern ("0", "0.00", "###,###,##0.00", "#,##0", "###/##/##",
/// "00/00", "0000000"): 0 is a digit that is always written, # a digit written only when
/// significant, "." the decimal point, "," between integer placeholders groups by thousands, any
/// other character is a literal. Digits fill the integer placeholders from the right; surplus
/// digits go before the leftmost placeholder. Rounding is half away from zero. A negative value
/// gets a leading minus (none when it rounds to zero).
/// Rounding works on the number's 15-significant-digit decimal text, not on its binary value, so
/// 1.005 with "0.00" gives "1.01" and 12.345 gives "12.35" (the doubles are 1.00499999… and
/// 12.3449999…): the figure the user typed or the database stored is what gets rounded.
/// A "," not between two integer placeholders is a literal. The point is written even when no
/// fraction digit follows it ("#.##" of 5 is "5."), as the runtime does. Sections (";"), "%",
/// scientific patterns and quoted literals are not supported (no caller uses them); an empty
/// pattern gives NumberText. With no integer placeholder the integer digits stand just before
/// the point.
QString FormatNumber(double value, const QString& pattern);
/// FormatNumber(value, "#,##0") with `decimals` zeros after a point when above 0, made
/// straight from the rounded digits: the form of every amount and quantity a report prints.
QString FormatGroupedDecimals(double value, int decimals);

/// Format of a text: when it is numeric (IsNumeric), FormatNumber of its value; otherwise the text
/// unchanged (also ""). Format("0900512", "###/##/##") = "90/05/12".
QString Format(const QString& text, const QString& pattern);

}  // namespace tarvel
