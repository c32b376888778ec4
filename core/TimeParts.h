#pragma once
// A moment's calendar fields, in UTC or local time, without the shared
// buffer of gmtime/localtime (the crash reporter and the planner's worker
// threads both ask).
#include <ctime>

inline std::tm UtcTimeParts(std::time_t when) {
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &when);
#else
    gmtime_r(&when, &parts);
#endif
    return parts;
}

inline std::tm LocalTimeParts(std::time_t when) {
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &when);
#else
    localtime_r(&when, &parts);
#endif
    return parts;
}
