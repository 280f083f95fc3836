#include <gtest/gtest.h>

#include "game/value.h"

TEST(Value, EmptyTextCountsAsZeroAndNumbersCompareAsNumbers) {
  EXPECT_TRUE(Value("") == 0);
  EXPECT_FALSE(Value("Bits") == 0);
  EXPECT_TRUE(Value(9.0) == 9);
  EXPECT_TRUE(parse_value(" 5 ") == 5);
  EXPECT_TRUE(parse_value("") == 0);
  EXPECT_TRUE(parse_value("Sir Rattingham, the doomed").same_text("Sir Rattingham, the doomed"));
  EXPECT_EQ(Value(5).print_form(), " 5 ");
  EXPECT_EQ(Value(-1).print_form(), "-1 ");
  EXPECT_EQ(Value(2.5).str(), "2.5");
  EXPECT_EQ(Value(2.5).whole(), 2);  // halves go to the even neighbour
  EXPECT_EQ(Value(3.5).whole(), 4);
}
