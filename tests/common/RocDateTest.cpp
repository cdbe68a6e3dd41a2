#include <gtest/gtest.h>

#include "common/RocDate.h"
#include "platform/Clock.h"
#include "support/CaseFile.h"

namespace tarvel {
namespace {

TEST(RocDate, TodayTextsOnInjectedDays) {
  for (const QStringList& c : test::ReadCases("roc-today.txt")) {
    ScopedToday today(QDate::fromString(c[0], Qt::ISODate));
    EXPECT_EQ((QStringList{RocTodayDigits(), RocToday(), RocMonthEndDigits()}), c.mid(1, 3));
  }
}

TEST(RocDate, StoredTextsToDates) {
  EXPECT_EQ(kDateZero, QDate(1899, 12, 30));

  for (const QStringList& c : test::ReadCases("roc-text-to-date.txt")) {
    const std::optional<QDate> expected =
        c[2] == "-" ? std::nullopt : std::optional(QDate::fromString(c[2], Qt::ISODate));
    EXPECT_EQ(RocTextToDate(c[0], c[1].toInt()), expected) << c[0].toStdString();
  }

  // Longer texts are read as the rule reads them: the last two characters are the day.
  EXPECT_EQ(RocTextToDate(QStringLiteral("11512xx04")), QDate(2026, 12, 4));
  EXPECT_EQ(RocTextToDate(QStringLiteral("11512040")), std::nullopt);  // day 40

  // By length: 7 is yyyMMdd, 6 is yyMMdd, anything else is no date.
  EXPECT_EQ(RocDigitsToDate(QStringLiteral("1151204")), QDate(2026, 12, 4));
  EXPECT_EQ(RocDigitsToDate(QStringLiteral("991231")), QDate(2010, 12, 31));
  EXPECT_EQ(RocDigitsToDate(QStringLiteral("99123")), std::nullopt);
  EXPECT_EQ(RocDigitsToDate(QStringLiteral("11512041")), std::nullopt);
  EXPECT_EQ(RocDigitsToDate(QStringLiteral("9e91231")), std::nullopt);
}

TEST(RocDate, WorkOrderDayCount) {
  ScopedToday today(QDate(2026, 12, 4));
  const qint64 sinceZero = kDateZero.daysTo(QDate(2026, 12, 4));
  for (const QStringList& c : test::ReadCases("work-order-day-count.txt")) {
    const std::optional<qint64> expected = c[2] == "-"      ? std::nullopt
                                           : c[2] == "zero" ? std::optional(sinceZero)
                                                            : std::optional(c[2].toLongLong());
    EXPECT_EQ(WorkOrderDayCount(c[0], c[1]), expected)
        << '"' << c[0].toStdString() << "\" \"" << c[1].toStdString() << '"';
  }
}

TEST(RocDate, PadRocDateText) {
  for (const QStringList& c : test::ReadCases("pad-roc-date.txt"))
    EXPECT_EQ(PadRocDateText(c[0], c[1].toInt()), c[2]) << '"' << c[0].toStdString() << '"';
}

}  // namespace
}  // namespace tarvel
