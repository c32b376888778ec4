// Serial day numbers across the boundaries where calendar arithmetic slips:
// the turn of a year, the last days of February, the 400-year cycle and days
// before the serial origin.
#include <gtest/gtest.h>

#include <tuple>

#include "skin/data/vlUtils.h"

namespace {
std::tuple<int, int, int> Date(double serial) {
    int y, m, d;
    vlDecodeDate(serial, y, m, d);
    return {y, m, d};
}
}  // namespace

TEST(CalendarBoundaries, YearEndsFebruaryEndsAndTheFourHundredYearCycle) {
    // The turn of a year, and the first days of a year counted in the old one
    // by the arithmetic (January and February).
    EXPECT_EQ(Date(45291), std::make_tuple(2023, 12, 31));
    EXPECT_EQ(Date(45292), std::make_tuple(2024, 1, 1));
    EXPECT_EQ(Date(45292 + 31), std::make_tuple(2024, 2, 1));
    EXPECT_EQ(Date(45350), std::make_tuple(2024, 2, 28));
    EXPECT_EQ(Date(45351), std::make_tuple(2024, 2, 29));
    EXPECT_EQ(Date(45352), std::make_tuple(2024, 3, 1));
    // 1900 has no 29 February; 2000, the last day of a 400-year cycle, has.
    EXPECT_EQ(Date(60), std::make_tuple(1900, 2, 28));
    EXPECT_EQ(Date(61), std::make_tuple(1900, 3, 1));
    EXPECT_EQ(Date(36525), std::make_tuple(1999, 12, 31));
    EXPECT_EQ(Date(36526), std::make_tuple(2000, 1, 1));
    EXPECT_EQ(Date(36585), std::make_tuple(2000, 2, 29));
    EXPECT_EQ(Date(36586), std::make_tuple(2000, 3, 1));
    // Before the origin: the day before, the year before, a cycle earlier.
    EXPECT_EQ(Date(-1), std::make_tuple(1899, 12, 29));
    EXPECT_EQ(Date(-363), std::make_tuple(1899, 1, 1));
    EXPECT_EQ(Date(-364), std::make_tuple(1898, 12, 31));
    EXPECT_EQ(Date(-109512), std::make_tuple(1600, 2, 29));
    EXPECT_EQ(Date(-109511), std::make_tuple(1600, 3, 1));
    // The time of day never moves the date, before the origin either.
    EXPECT_EQ(Date(45291.999), std::make_tuple(2023, 12, 31));
    EXPECT_EQ(Date(-0.25), std::make_tuple(1899, 12, 29));
    EXPECT_EQ(vlYearOf(45292), 2024);
    EXPECT_EQ(vlYearOf(45291), 2023);

    // Month lengths at both ends of the year and of the leap rule.
    EXPECT_EQ(vlDaysPerMonth(2024, 1), 31);
    EXPECT_EQ(vlDaysPerMonth(2024, 12), 31);
    EXPECT_EQ(vlDaysPerMonth(2024, 11), 30);
    EXPECT_EQ(vlDaysPerMonth(2000, 2), 29);
    EXPECT_EQ(vlDaysPerMonth(2100, 2), 28);
    EXPECT_EQ(vlDaysPerMonth(2023, 2), 28);
    EXPECT_TRUE(vlIsLeapYear(1600));
    EXPECT_FALSE(vlIsLeapYear(1800));
    EXPECT_TRUE(vlIsLeapYear(4));
    EXPECT_FALSE(vlIsLeapYear(2001));
}
