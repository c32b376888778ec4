#include "core/TextCompare.h"

#include <windows.h>

std::string AnsiTextKey(const std::string& s) {
    // The locale's sort key under the comparison's own flags.
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    int n = LCMapStringA(LOCALE_USER_DEFAULT, flags, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::string key(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) LCMapStringA(LOCALE_USER_DEFAULT, flags, s.data(), static_cast<int>(s.size()), key.data(), n);
    return key;
}

int AnsiCompareText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}
