#pragma once
// Day arithmetic of the month calendar: weekdays, month lengths, the grid
// of six rows by seven columns, and the navigation steps with their year
// limits. Pure functions over year, month and day.
#include "skin/data/vlUtils.h"

struct TvlDay {
    int Year = 2000, Month = 1, Day = 1;
    bool operator==(const TvlDay&) const = default;
};

// The calendar's years: a step that would reach 1760 or pass 9999 is refused.
constexpr int vlFirstYear = 1761, vlLastYear = 9999;

// A remainder of 0 … 6 also for negative differences.
constexpr int vlWeekMod(int v) { return ((v % 7) + 7) % 7; }

inline int vlDaysInMonth(int y, int m) { return vlDaysPerMonth(y, m); }

// Days since 1 March of year 0 of the proleptic Gregorian calendar shifted
// so that consecutive days differ by one; only differences matter.
constexpr long vlDaySerial(const TvlDay& d) {
    long y = d.Year - (d.Month <= 2 ? 1 : 0);
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long mp = (d.Month + 9) % 12;
    long doy = (153 * mp + 2) / 5 + d.Day - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

constexpr TvlDay vlDayFromSerial(long z) {
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// Weekday with Sunday = 0.
constexpr int vlDayOfWeek(const TvlDay& d) { return vlWeekMod(static_cast<int>(vlDaySerial(d) % 7) + 3); }

// The column of the 1st when the first column is weekday `firstDay`.
constexpr int vlFirstColumn(int year, int month, int firstDay) {
    return vlWeekMod(vlDayOfWeek({year, month, 1}) - firstDay);
}

// The day number in grid row 1 … 6 and column 0 … 6, or 0 for a blank cell
// and for any place outside the grid.
constexpr int vlCellDay(int row, int col, int firstColumn, int daysInMonth) {
    if (row < 1 || row > 6 || col < 0 || col > 6) return 0;
    int day = 7 * (row - 1) + col - firstColumn + 1;
    return day >= 1 && day <= daysInMonth ? day : 0;
}

// The navigation steps. A refused year change leaves the year as it was;
// the day is cut to the new month's length.
TvlDay vlPriorMonth(TvlDay d);
TvlDay vlNextMonth(TvlDay d);
TvlDay vlPriorYear(TvlDay d);
TvlDay vlNextYear(TvlDay d);
// Moves by a number of days; a move out of the calendar's years is refused.
TvlDay vlAddDays(TvlDay d, int days);
