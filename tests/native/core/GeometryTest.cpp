#include <gtest/gtest.h>

#include "core/Geometry.h"

// Hit tests take the left and top edges and leave the right and bottom ones to the neighbour, so two
// rectangles side by side never both claim a point; empty and inverted rectangles claim none.
TEST(Geometry, ContainsTakesLeftTopEdgesOnly) {
    TRect r{10, 20, 30, 50};
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(29, 49));
    EXPECT_TRUE(r.Contains(15, 35));
    EXPECT_FALSE(r.Contains(30, 35));
    EXPECT_FALSE(r.Contains(15, 50));
    EXPECT_FALSE(r.Contains(9, 35));
    EXPECT_FALSE(r.Contains(15, 19));
    EXPECT_FALSE(r.Contains(30, 50));

    TRect right{30, 20, 40, 50};
    for (int x = 25; x < 35; ++x) EXPECT_NE(r.Contains(x, 30), right.Contains(x, 30)) << x;

    EXPECT_FALSE((TRect{5, 5, 5, 9}).Contains(5, 6));
    EXPECT_FALSE((TRect{8, 8, 4, 12}).Contains(6, 9));
    EXPECT_TRUE((TRect{-4, -4, -1, -1}).Contains(-4, -2));
}
