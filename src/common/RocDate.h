// Republic of China calendar dates: today's date texts and the reading of stored yyyMMdd texts.
#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace tarvel {

/// The date value zero of the runtime (30 December 1899): the start of a day count whose
/// order date is not a valid date.
inline constexpr QDate kDateZero = QDate::fromJulianDay(2415019);

/// Today (tarvel::Today()) as 7 ROC digits yyyMMdd: 1151204 on 2026-12-04, 0990105 on 2010-01-05.
QString RocTodayDigits();

/// Today as the slashed ROC date, the year without leading zeros: 115/12/04, 99/01/05.
QString RocToday();

/// The last day of today's month as 7 ROC digits: 1130229 in February 2024.
QString RocMonthEndDigits();

/// The date the runtime builds from a stored ROC date text:
///   (Left(text, yearDigits) + 1911) & "/" & Mid(text, yearDigits + 1, 2) & "/" & Right(text, 2)
/// applied to the text as it stands, whatever its length. The year part must be a numeric text
/// (blanks around it, a sign or a decimal point are accepted as the runtime's addition accepts
/// them; a non-numeric year, where the runtime raises a type mismatch, gives no date); the sum
/// must be a whole year from 100 to 9999; month and day must be one or two digits, blanks around
/// them allowed, forming a real calendar date. No day/month swapping: 1151304 is not a date.
/// yearDigits is 3 for yyyMMdd and 2 for yyMMdd.
std::optional<QDate> RocTextToDate(const QString& text, int yearDigits = 3);

/// A stored ROC date by its length: 7 characters are yyyMMdd, 6 characters yyMMdd (991231 is
/// 2010-12-31); any other length, or a text that does not form a date, gives no date.
std::optional<QDate> RocDigitsToDate(const QString& text);

/// The days from a work order's date to its finish date, as the overview layouts and workbooks
/// show them. No value when the (trimmed) order date is empty. The start is RocTextToDate of the
/// order date, or kDateZero when that is no date; the end is RocDigitsToDate of the finish date,
/// or today when it is empty, has another length or is no date. Negative when the finish
/// precedes the start. Both texts are trimmed first, as every text read from a row is.
std::optional<qint64> WorkOrderDayCount(const QString& orderDate, const QString& finishDate);

/// The text of a date box when the box is left: with width below 1 taken as 7, a text exactly
/// width - 1 characters long is formatted as a number with width digits and leading zeros
/// (990105 becomes 0990105); any other length, and a non-numeric text, stays as it is. A
/// numeric text that is not plain digits follows Format with that zero pattern (" 12345" gives
/// "0012345", "-12345" gives "-0012345"), as the runtime does.
QString PadRocDateText(const QString& text, int width);

}  // namespace tarvel
