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

/// Calls `function` (any but the aggregates and IIf, Nz, Switch, Choose, which the generators
/// write as the engine's own CASE and aggregates) on `args`. Throws AccessError.
Variant Evaluate(Function function, const std::vector<Variant>& args);

/// The operators whose meaning depends on the operands' types at run time.
enum class Operator { Add, Subtract, Concat, IntDivide, Mod, Power };

/// a + b (numbers add, texts join, a date plus days), a - b (a date minus a date gives days),
/// a & b (NULL as empty text; NULL only when every operand is NULL), a \ b and a Mod b (operands
/// rounded to whole numbers first), a ^ b. Division by zero gives NULL, as "/" does on the
/// engines. Throws AccessError.
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

/// The number of decimals of a plain number pattern ("0.00", "#,##0.00", "0"), whose text reads
/// back as the number rounded to them; nullopt for any other pattern.
std::optional<int> NumberPatternPlaces(const QString& pattern);

}  // namespace tarvel::db::sql
