#include "skin/widgets/vlCalendarMath.h"

namespace {
bool ChangeYear(TvlDay& d, int by) {
    int year = d.Year + by;
    if (year < vlFirstYear || year > vlLastYear) return false;
    d.Year = year;
    return true;
}

TvlDay CutDay(TvlDay d) {
    int last = vlDaysInMonth(d.Year, d.Month);
    if (d.Day > last) d.Day = last;
    return d;
}
}  // namespace

TvlDay vlPriorMonth(TvlDay d) {
    if (d.Month == 1) {
        ChangeYear(d, -1);
        d.Month = 12;
    } else {
        --d.Month;
    }
    return CutDay(d);
}

TvlDay vlNextMonth(TvlDay d) {
    if (d.Month == 12) {
        ChangeYear(d, +1);
        d.Month = 1;
    } else {
        ++d.Month;
    }
    return CutDay(d);
}

TvlDay vlPriorYear(TvlDay d) {
    ChangeYear(d, -1);
    return CutDay(d);
}

TvlDay vlNextYear(TvlDay d) {
    ChangeYear(d, +1);
    return CutDay(d);
}

TvlDay vlAddDays(TvlDay d, int days) {
    TvlDay moved = vlDayFromSerial(vlDaySerial(d) + days);
    return moved.Year < vlFirstYear || moved.Year > vlLastYear ? d : moved;
}
