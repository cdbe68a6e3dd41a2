#include <gtest/gtest.h>

#include "common/RocDate.h"
#include "platform/Clock.h"

namespace tarvel {
namespace {

TEST(RocDate, TodayTextsOnInjectedDays) {
  struct Case {
    QDate day;
    const char* digits;
    const char* slashed;
    const char* monthEnd;
  };
  const Case cases[] = {
      {QDate(2026, 12, 4), "1151204", "115/12/04", "1151231"},
      {QDate(2024, 2, 10), "1130210", "113/02/10", "1130229"},  // leap year
      {QDate(2025, 2, 10), "1140210", "114/02/10", "1140228"},
      {QDate(2000, 2, 1), "0890201", "89/02/01", "0890229"},   // century leap year
      {QDate(2100, 2, 1), "1890201", "189/02/01", "1890228"},  // century, not leap
      {QDate(2010, 1, 5), "0990105", "99/01/05", "0990131"},
      {QDate(2011, 1, 1), "1000101", "100/01/01", "1000131"},
      {QDate(1912, 6, 30), "0010630", "1/06/30", "0010630"},  // last day gives today
      {QDate(2026, 4, 30), "1150430", "115/04/30", "1150430"},
      {QDate(2026, 12, 31), "1151231", "115/12/31", "1151231"},
  };
  for (const Case& c : cases) {
    ScopedToday today(c.day);
    EXPECT_EQ(RocTodayDigits(), QString::fromLatin1(c.digits)) << c.digits;
    EXPECT_EQ(RocToday(), QString::fromLatin1(c.slashed)) << c.digits;
    EXPECT_EQ(RocMonthEndDigits(), QString::fromLatin1(c.monthEnd)) << c.digits;
  }
}

TEST(RocDate, StoredTextsToDates) {
  EXPECT_EQ(kDateZero, QDate(1899, 12, 30));

  struct Case {
    const char* text;
    int yearDigits;
    std::optional<QDate> expected;
  };
  const std::optional<QDate> none;
  const Case cases[] = {
      {"1151204", 3, QDate(2026, 12, 4)},
      {"0900512", 3, QDate(2001, 5, 12)},
      {"1130229", 3, QDate(2024, 2, 29)},
      {"1140229", 3, none},  // no 29 February in 2025
      {"1151304", 3, none},  // month 13: no day/month swapping
      {"1150400", 3, none},
      {"1150431", 3, none},
      {"991231", 2, QDate(2010, 12, 31)},
      {" 991231", 3, QDate(2010, 12, 31)},  // blank before the year: the addition accepts it
      {"115 1 4", 3, QDate(2026, 1, 4)},    // blanks around month and day digits
      {"-10101", 2, QDate(1910, 1, 1)},     // the year is added as a signed number
      {"1.51204", 3, none},                 // 1912.5 is no year
      {"A151204", 3, none},                 // the runtime's type mismatch
      {"11512O4", 3, none},
      {"", 3, none},
      {"115", 3, none},
      // A numeric year far outside the int range is no date, whatever its sign.
      {"9e91231", 3, none},
      {"9e9", 3, none},
      {"-9e91231", 4, none},
      {"1e3001231", 5, none},
      {"2147481737", 10, none},             // + 1911 is one past the largest int
      {"1e31231", 3, QDate(2911, 12, 31)},  // an exponent year in range is a year
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RocTextToDate(QString::fromLatin1(c.text), c.yearDigits), c.expected) << c.text;
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
  struct Case {
    const char* order;
    const char* finish;
    std::optional<qint64> expected;
  };
  const qint64 sinceZero = kDateZero.daysTo(QDate(2026, 12, 4));
  const Case cases[] = {
      {"1151201", "", 3},         // unfinished: up to today
      {"1151201", "1151203", 2},  // 7-digit finish
      {"0991201", "991231", 30},  // 6-digit finish: 2010-12-31
      {"1151201", "15120", 3},    // other lengths: today
      {"1151201", "11512031", 3},
      {"1151201", "1151232", 3},      // not a date: today
      {"1151205", "1151204", -1},     // finished before the order date
      {"", "1151204", std::nullopt},  // no order date: no count
      {"   ", "", std::nullopt},
      {"ABC1201", "", sinceZero},  // not a date: counts from the date value zero
      {"9e9", "", sinceZero},      // a year beyond any date is no date either
      {"-9e9", "1151204", sinceZero},
      {"1151201", "9e91231", 3},      // nor a finish date beyond any date
      {" 1151201 ", " 1151203 ", 2},  // trimmed like every row text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WorkOrderDayCount(QString::fromLatin1(c.order), QString::fromLatin1(c.finish)),
              c.expected)
        << '"' << c.order << "\" \"" << c.finish << '"';
  }
}

TEST(RocDate, PadRocDateText) {
  struct Case {
    const char* text;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {"990105", 0, "0990105"},
      {"1151204", 0, "1151204"},
      {"9905", 0, "9905"},
      {"", 0, ""},
      {"99010A", 0, "99010A"},
      {"990105", -3, "0990105"},
      {"12345", 6, "012345"},
      {"12345", 7, "12345"},
      {"5", 2, "05"},
      {" 12345", 7, "0012345"},
      {"-12345", 7, "-0012345"},
      {"1,234", 6, "001234"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PadRocDateText(QString::fromLatin1(c.text), c.width), QString::fromLatin1(c.expected))
        << '"' << c.text << "\" width " << c.width;
  }
}

}  // namespace
}  // namespace tarvel
