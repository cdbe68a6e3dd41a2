// Access's functions and operators with Access's own semantics, over Variants: what SQLite runs as
// application functions (acc_mid, acc_dateadd, …) where a query calls them. Positions count from 1
// in UTF-16 characters; NULL in gives NULL out where Access propagates it; texts compare without
// regard to case unless a binary comparison is asked for.
//
// Where Access would show #Error in a cell (a conversion of a text that is no number, an
// overflow, an invalid argument such as Mid(s, 0)) these throw AccessError, which the engine's
// function turns into NULL for that cell.
#pragma once

#include <QDate>
#include <vector>

#include "db/sql/AccessValues.h"
#include "db/sql/Functions.h"

namespace tarvel::db::sql {

/// A number as a Single: rounded to the nearest single-precision value (held as the double of that
/// value). Throws the overflow error beyond the Single range.
double SingleValue(double value);
/// A Single as it is shown and handed on to a reader: its seven significant digits, as Access shows
/// one (0.1f is 0.1, 1/3 is 0.3333333).
double SingleShown(double value);

/// Calls `function` (any but the aggregates and IIf, Nz, Switch, Choose, which the generators
/// write as the engine's own CASE and aggregates) on `args`. Throws AccessError.
Variant Evaluate(Function function, const std::vector<Variant>& args);

/// The operators whose meaning depends on the operands' types at run time.
enum class Operator {
  Add,
  Subtract,
  Multiply,
  Divide,
  Concat,
  IntDivide,
  Mod,
  Power,
  CurrencyAdd,
  CurrencySubtract,
  CurrencyMultiply,
};

/// a + b (numbers add, texts join, a date plus days), a - b (a date minus a date gives days),
/// a * b and a / b of values that may be texts (read as numbers), a & b (NULL as empty text; NULL
/// only when every operand is NULL), a \ b and a Mod b (operands rounded half to even to Longs
/// first), a ^ b. Division by zero gives NULL, as "/" does on the engines. The Currency operators
/// take their operands as Currency and compute exactly: a sum, a difference, a product rounded
/// half to even to ten-thousandths. Throws AccessError (the overflow error beyond a result's
/// range).
Variant Apply(Operator op, const std::vector<Variant>& operands);

/// The weekday of `date` counted from `firstDayOfWeek` (1 = Sunday … 7 = Saturday; 0, the
/// system's, is Sunday here): 1 … 7.
int WeekdayOf(const QDate& date, int firstDayOfWeek);
/// The week of the year of `date`: week 1 is the week holding 1 January (firstWeekOfYear 1 or 0),
/// the first with at least four days (2), or the first whole week (3). A date before week 1 is in
/// the previous year's last week.
int WeekOfYear(const QDate& date, int firstDayOfWeek, int firstWeekOfYear);

/// Format(value, pattern): number patterns (0 # , . % with up to four ";" sections and E+
/// exponents), date patterns (c d dd ddd dddd ddddd dddddd w ww m mm mmm mmmm q y yy yyyy h hh n nn
/// s ss ttttt AM/PM am/pm A/P a/p AMPM, "quoted" and \escaped literals) and the named formats
/// (General Date, Long/Medium/Short Date, Long/Medium/Short Time, General Number, Currency,
/// Fixed, Standard, Percent, Scientific, Yes/No, True/False, On/Off). A text that is neither a
/// number nor a date comes back unchanged. nullopt for NULL (unless the pattern has a section for
/// it).
std::optional<QString> FormatValue(const Variant& value, const QString& pattern,
                                   int firstDayOfWeek = 1, int firstWeekOfYear = 1);

/// Whether `pattern` formats dates rather than numbers (named date and time formats included).
bool IsDatePattern(const QString& pattern);

/// A text pattern of Format, its first section read: @ a character or a space, & a character or
/// nothing, filled from the right (from the left after "!"), < in lower case, > in upper case,
/// anything else (quoted, \escaped or plain) literal.
struct TextPattern {
  struct Piece {
    enum Kind { Literal, Character, Optional } kind = Literal;
    QString literal;
  };
  std::vector<Piece> pieces;
  bool leftToRight = false;
  int letterCase = 0;  ///< -1 lower, 1 upper
  bool text = false;   ///< it has a placeholder or a flag of text patterns
};
TextPattern ParseTextPattern(const QString& section);
/// Whether `pattern` formats texts (@ & < > !, and no digit placeholder).
bool IsTextPattern(const QString& pattern);
/// Format(text, pattern) of a text pattern; characters beyond the placeholders stand before the
/// first placeholder (after the last with "!").
QString FormatTextPattern(const QString& text, const QString& pattern);

/// The number of decimals of a plain number pattern ("0.00", "#,##0.00", "0"), whose text reads
/// back as the number rounded to them; nullopt for any other pattern.
std::optional<int> NumberPatternPlaces(const QString& pattern);

}  // namespace tarvel::db::sql
