#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace tarvel {
namespace {

TEST(Clock, ScopedTodayFixesAndRestoresNesting) {
  const QDate real = Today();
  {
    ScopedToday outer(QDate(2024, 2, 29));
    EXPECT_EQ(Today(), QDate(2024, 2, 29));
    {
      ScopedToday inner(QDate(2010, 1, 5));
      EXPECT_EQ(Today(), QDate(2010, 1, 5));
    }
    EXPECT_EQ(Today(), QDate(2024, 2, 29));
  }
  EXPECT_EQ(Today(), real);
}

}  // namespace
}  // namespace tarvel
