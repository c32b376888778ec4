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

struct SerialDay {
    double Serial;
    int Year, Month, Day;
};
}  // namespace

TEST(CalendarBoundaries, YearEndsFebruaryEndsAndTheFourHundredYearCycle) {
    const SerialDay days[] = {
        {0, 1899, 12, 30},  // the origin
        {2.75, 1900, 1, 1},
        // The turn of a year, and the first days of a year counted in the old
        // one by the arithmetic (January and February).
        {45291, 2023, 12, 31},
        {45292, 2024, 1, 1},
        {45292 + 31, 2024, 2, 1},
        {45350, 2024, 2, 28},
        {45351, 2024, 2, 29},
        {45352, 2024, 3, 1},
        {45000, 2023, 3, 15},
        // 1900 has no 29 February; 2000, the last day of a 400-year cycle, has.
        {60, 1900, 2, 28},
        {61, 1900, 3, 1},
        {36525, 1999, 12, 31},
        {36526, 2000, 1, 1},
        {36585, 2000, 2, 29},
        {36586, 2000, 3, 1},
        // Before the origin: the day before, the year before, a cycle earlier.
        {-1, 1899, 12, 29},
        {-363, 1899, 1, 1},
        {-364, 1898, 12, 31},
        {-109512, 1600, 2, 29},
        {-109511, 1600, 3, 1},
        // The time of day never moves the date, before the origin either.
        {45291.999, 2023, 12, 31},
        {-0.25, 1899, 12, 29},
    };
    for (const SerialDay& day : days) {
        EXPECT_EQ(Date(day.Serial), std::make_tuple(day.Year, day.Month, day.Day)) << day.Serial;
        EXPECT_EQ(vlYearOf(day.Serial), day.Year) << day.Serial;
        EXPECT_EQ(vlMonthOf(day.Serial), day.Month) << day.Serial;
        EXPECT_EQ(vlDayOf(day.Serial), day.Day) << day.Serial;
    }
}

TEST(CalendarBoundaries, MonthLengthsAtBothEndsOfTheYearAndOfTheLeapRule) {
    const std::tuple<int, int, int> lengths[] = {  // year, month, days
        {2024, 1, 31},  {2024, 12, 31}, {2024, 11, 30}, {2024, 2, 29}, {2000, 2, 29}, {2100, 2, 28},
        {1900, 2, 28},  {2023, 2, 28},  {2023, 4, 30},  {2023, 12, 31},
        {2023, 13, 0},  {2023, 0, 0},  // no such month
    };
    for (const auto& [year, month, days] : lengths)
        EXPECT_EQ(vlDaysPerMonth(year, month), days) << year << "-" << month;
    for (int leap : {1600, 2000, 2024, 4}) EXPECT_TRUE(vlIsLeapYear(leap)) << leap;
    for (int common : {1800, 1900, 2001, 2023}) EXPECT_FALSE(vlIsLeapYear(common)) << common;
}
