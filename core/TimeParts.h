#pragma once
// A moment's calendar fields, in UTC or local time, without the shared
// buffer of gmtime/localtime (the crash reporter and the planner's worker
// threads both ask).
#include <ctime>

enum class TClock { Utc, Local };

inline std::tm CalendarParts(std::time_t when, TClock clock) {
    std::tm parts{};
#ifdef _WIN32
    clock == TClock::Utc ? gmtime_s(&parts, &when) : localtime_s(&parts, &when);
#else
    clock == TClock::Utc ? gmtime_r(&when, &parts) : localtime_r(&when, &parts);
#endif
    return parts;
}
