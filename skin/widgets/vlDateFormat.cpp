#include "skin/widgets/vlDateFormat.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "core/TextCompare.h"

namespace {
bool IsDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Only digits, blanks and separators.
bool AllNumeric(const std::string& s, char separator) {
    return std::all_of(s.begin(), s.end(),
                       [separator](unsigned char c) { return std::isdigit(c) || c == ' ' || c == separator; });
}

int Number(const std::string& digits) {
    // Parts are a few characters long; a longer run is beyond every limit.
    if (digits.size() > 6) return 1000000;
    return std::stoi(digits);
}

std::string ShortDate(int year, int month, int day) { return vlFormatDate(year, month, day, false); }
}  // namespace

std::string vlFormatDate(int year, int month, int day, bool longForm) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    char text[128] = {};
    int n = GetDateFormatA(LOCALE_USER_DEFAULT, longForm ? DATE_LONGDATE : DATE_SHORTDATE, &st, nullptr, text,
                           sizeof text);
    return n > 0 ? std::string(text) : std::string();
}

TvlDateLocale TvlDateLocale::Current() {
    TvlDateLocale locale;
    locale.Reference = ShortDate(9999, 12, 31);
    // The separator is whatever joins the parts of the formatted date; the
    // locale's own setting need not follow a changed format.
    auto sep = std::find_if(locale.Reference.begin(), locale.Reference.end(),
                            [](unsigned char c) { return !std::isalnum(c) && c != ' ' && c < 0x80; });
    if (sep != locale.Reference.end()) {
        locale.Separator = *sep;
    } else {
        char setting[8] = {};
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, setting, sizeof setting) > 0 && setting[0])
            locale.Separator = setting[0];
    }
    for (int m = 1; m <= 12; ++m)
        for (const std::string& part : SplitDateText(ShortDate(9999, m, 1), locale.Separator))
            if (!IsDigits(part)) {
                locale.MonthTexts[static_cast<size_t>(m - 1)] = part;
                break;
            }
    DWORD yearMax = 0;
    if (GetCalendarInfoA(LOCALE_USER_DEFAULT, CAL_GREGORIAN, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0,
                         &yearMax) &&
        yearMax >= 99 && yearMax <= 9999)
        locale.TwoDigitYearMax = static_cast<int>(yearMax);
    if (!locale.Usable()) {
        TvlDateLocale fallback = vlFallbackDateLocale();
        fallback.TwoDigitYearMax = locale.TwoDigitYearMax;
        return fallback;
    }
    return locale;
}

int TvlDateLocale::FullYear(int twoDigits) const {
    int year = TwoDigitYearMax / 100 * 100 + twoDigits % 100;
    return year > TwoDigitYearMax ? year - 100 : year;
}

TvlDateLocale vlFallbackDateLocale() { return TvlDateLocale{}; }

std::vector<std::string> SplitDateText(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::vector<std::string> TvlDateLocale::ReferenceParts() const { return SplitDateText(Reference, Separator); }

bool TvlDateLocale::NameForm() const {
    for (const std::string& p : ReferenceParts())
        if (!IsDigits(p)) return true;
    return false;
}

std::array<TvlDatePartRole, 3> TvlDateLocale::Roles() const {
    std::vector<std::string> parts = ReferenceParts();
    int day = -1, month = -1, year = -1;
    for (int i = 0; i < 3 && i < static_cast<int>(parts.size()); ++i) {
        const std::string& p = parts[static_cast<size_t>(i)];
        if (!IsDigits(p)) {
            if (month < 0) month = i;
        } else if (p == "31" && day < 0) {
            day = i;
        } else if (p == "12" && month < 0) {
            month = i;
        } else if ((p == "99" || p == "9999") && year < 0) {
            year = i;
        }
    }
    std::array<TvlDatePartRole, 3> roles{drDay, drDay, drDay};
    if (day >= 0) roles[static_cast<size_t>(day)] = drDay;
    if (month >= 0) roles[static_cast<size_t>(month)] = drMonth;
    if (year >= 0) roles[static_cast<size_t>(year)] = drYear;
    // A role no part takes falls to the first part.
    if (month < 0) roles[0] = drMonth;
    if (year < 0) roles[0] = drYear;
    return roles;
}

int TvlDateLocale::PartOf(TvlDatePartRole role) const {
    std::array<TvlDatePartRole, 3> roles = Roles();
    for (int i = 0; i < 3; ++i)
        if (roles[static_cast<size_t>(i)] == role) return i;
    return 0;
}

std::array<int, 3> TvlDateLocale::ReferenceValues() const {
    std::array<int, 3> values{0, 0, 0};
    std::vector<std::string> parts = ReferenceParts();
    for (size_t i = 0; i < 3 && i < parts.size(); ++i)
        if (IsDigits(parts[i])) values[i] = Number(parts[i]);
    return values;
}

std::string BuildDateMask(const TvlDateLocale& locale) {
    std::vector<std::string> parts = locale.ReferenceParts();
    if (parts.size() != 3) return vlFallbackDateMask;
    std::array<TvlDatePartRole, 3> roles = locale.Roles();
    bool nameForm = locale.NameForm();
    std::string mask = "!";
    for (size_t i = 0; i < 3; ++i) {
        if (i > 0) mask += '/';
        char c = roles[i] == drYear ? '0' : roles[i] == drMonth && nameForm ? 'L' : '9';
        mask += std::string(parts[i].size(), c);
    }
    return mask + ";1; ";
}

std::string BlankDateText(const std::string& mask, char separator) {
    std::string text;
    size_t i = mask[0] == '!' ? 1 : 0;
    for (; i < mask.size() && mask[i] != ';'; ++i) text += mask[i] == '/' ? separator : ' ';
    return text;
}

bool IsPartialDateValid(const TvlDateLocale& locale, const std::string& text) {
    if (AllNumeric(locale.Reference, locale.Separator) != AllNumeric(text, locale.Separator)) return false;
    std::vector<std::string> parts = SplitDateText(text, locale.Separator);
    if (parts.size() != 3) return false;
    std::array<TvlDatePartRole, 3> roles = locale.Roles();
    std::array<int, 3> limits = locale.ReferenceValues();
    bool nameForm = locale.NameForm();
    for (size_t i = 0; i < 3; ++i) {
        const std::string& part = parts[i];
        if (part.find("  ") != std::string::npos) continue;  // still open
        if (roles[i] == drMonth && nameForm) continue;
        std::string digits;
        for (char c : part)
            if (c != ' ') digits += c;
        if (!IsDigits(digits)) return false;
        if (digits.size() == 1 && roles[i] == drDay) {
            if (digits[0] >= '4') return false;
            continue;
        }
        if (digits.size() == 1 && roles[i] == drMonth) {
            if (digits[0] >= '2') return false;
            continue;
        }
        int n = Number(digits);
        if (n < 1 || n > limits[i]) return false;
    }
    return true;
}

bool IsCompleteDateValid(const TvlDateLocale& locale, const std::string& text) {
    if (text.find(' ') != std::string::npos) return false;
    if (AllNumeric(locale.Reference, locale.Separator) != AllNumeric(text, locale.Separator)) return false;
    std::vector<std::string> parts = SplitDateText(text, locale.Separator);
    std::vector<std::string> reference = locale.ReferenceParts();
    if (parts.size() != 3 || reference.size() != 3) return false;
    for (const std::string& p : parts)
        if (p.empty()) return false;
    std::array<TvlDatePartRole, 3> roles = locale.Roles();
    std::array<int, 3> limits = locale.ReferenceValues();
    bool nameForm = locale.NameForm();
    for (size_t i = 0; i < 3; ++i) {
        const std::string& part = parts[i];
        if (roles[i] == drMonth && nameForm) {
            if (part.size() != reference[i].size()) return false;
            bool known = std::any_of(locale.MonthTexts.begin(), locale.MonthTexts.end(),
                                     [&](const std::string& m) { return !m.empty() && AnsiSameText(m, part); });
            if (!known) return false;
            continue;
        }
        if (!IsDigits(part)) return false;
        int n = Number(part);
        switch (roles[i]) {
            case drDay:
                if (n < 1 || n > (nameForm ? 31 : limits[i])) return false;
                break;
            case drMonth:
                if (n < 1 || n > limits[i]) return false;
                break;
            case drYear:
                if (n == 0 && part.size() > 1) return false;
                if (n > limits[i]) return false;
                break;
        }
    }
    return true;
}

int MonthNumber(const TvlDateLocale& locale, const std::string& text) {
    for (int m = 0; m < 12; ++m)
        if (!locale.MonthTexts[static_cast<size_t>(m)].empty() && AnsiSameText(locale.MonthTexts[static_cast<size_t>(m)], text))
            return m + 1;
    return 1;
}

std::optional<TvlDay> DateFromText(const TvlDateLocale& locale, const std::string& text) {
    if (!IsCompleteDateValid(locale, text)) return std::nullopt;
    std::vector<std::string> parts = SplitDateText(text, locale.Separator);
    std::array<TvlDatePartRole, 3> roles = locale.Roles();
    TvlDay d{0, 0, 0};
    for (size_t i = 0; i < 3; ++i) {
        switch (roles[i]) {
            case drDay: d.Day = Number(parts[i]); break;
            case drMonth: d.Month = locale.NameForm() ? MonthNumber(locale, parts[i]) : Number(parts[i]); break;
            case drYear: {
                int y = Number(parts[i]);
                if (parts[i].size() <= 2) y = locale.FullYear(y);
                d.Year = y;
                break;
            }
        }
    }
    if (d.Year < vlFirstYear || d.Year > vlLastYear || d.Month < 1 || d.Month > 12 || d.Day < 1 ||
        d.Day > vlDaysInMonth(d.Year, d.Month))
        return std::nullopt;
    return d;
}

std::string DateToText(const TvlDateLocale& locale, const TvlDay& day) {
    std::vector<std::string> reference = locale.ReferenceParts();
    if (reference.size() != 3) return {};
    std::array<TvlDatePartRole, 3> roles = locale.Roles();
    std::string text;
    for (size_t i = 0; i < 3; ++i) {
        if (i > 0) text += locale.Separator;
        size_t width = reference[i].size();
        std::string part;
        switch (roles[i]) {
            case drDay: part = std::to_string(day.Day); break;
            case drMonth:
                part = locale.NameForm() ? locale.MonthTexts[static_cast<size_t>(day.Month - 1)] : std::to_string(day.Month);
                break;
            case drYear: part = std::to_string(width <= 2 ? day.Year % 100 : day.Year); break;
        }
        if (part.size() < width) part = std::string(width - part.size(), locale.NameForm() && roles[i] == drMonth ? ' ' : '0') + part;
        text += part.substr(0, std::max(width, size_t{1}));
    }
    return text;
}
