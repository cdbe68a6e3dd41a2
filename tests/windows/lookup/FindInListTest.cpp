#include <gtest/gtest.h>

#include "support/RecordingUi.h"
#include "windows/lookup/GridWheel.h"
#include "windows/lookup/LookupValues.h"

namespace tarvel {
namespace {

using Rows = std::vector<std::vector<QString>>;

TEST(FindInList, FindsByCodeOrNameAndHandsBackTheTrimmedRow) {
  test::RecordingUi ui;
  const Rows rows = {
      {"A001", "王小明", "x"}, {" A002 ", " 陳志豪 ", " 業務經理 "}, {"A003", "A002", "y"}};
  LookupValues values;
  ASSERT_TRUE(FindInList(rows, "A002", values));
  EXPECT_EQ(values.LookupResult[0], "A002") << "a code comes before a name further down";
  EXPECT_EQ(values.LookupResult[2], "業務經理");
  EXPECT_EQ(values.LookupResult[3], "");

  ASSERT_TRUE(FindInList(rows, "王小明", values));
  EXPECT_EQ(values.LookupResult[0], "A001");
  EXPECT_EQ(values.LookupResult[2], "x");

  EXPECT_FALSE(FindInList(rows, "A00", values));
  EXPECT_FALSE(values.HasSelection()) << "a miss empties the previous choice";
  EXPECT_FALSE(FindInList(Rows{{"A001"}}, "A001", values)) << "a one-field list holds no rows";
  EXPECT_FALSE(FindInList(Rows{}, "", values));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(FindInList, RefusesRowsWiderThanTheResult) {
  test::RecordingUi ui;
  LookupValues values;
  Rows rows = {std::vector<QString>(41, "f")};
  rows[0][0] = "K";
  ASSERT_TRUE(FindInList(rows, "K", values));
  EXPECT_EQ(values.LookupResult[40], "f");

  rows[0].push_back("extra");
  EXPECT_FALSE(FindInList(rows, "K", values));
  EXPECT_FALSE(values.HasSelection());
  EXPECT_EQ(values.LookupResult[40], "");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (test::ShownMessage{"陣列索引超出範圍", 16, "依條件搜尋陣列錯誤"}));
}

TEST(GridWheel, OneNotchMovesUpToThreeRowsWithinTheGrid) {
  // Rows as the grid numbers them: the heading is row 0, 10 rows in all.
  const struct {
    int top;
    bool up;
    int expected;
  } cases[] = {{5, true, 2},  {4, true, 1},  {3, true, 1},  {2, true, 1},  {1, true, 1},
               {1, false, 4}, {6, false, 9}, {7, false, 9}, {8, false, 9}, {9, false, 9}};
  for (const auto& c : cases) {
    EXPECT_EQ(TopRowAfterNotch(c.top, 10, c.up), c.expected) << c.top << (c.up ? " up" : " down");
  }
}

}  // namespace
}  // namespace tarvel
