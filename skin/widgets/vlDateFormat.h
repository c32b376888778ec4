#pragma once
// The date edit's reading of the user's short date format: the reference
// text of 31 December 9999 split into its three parts, the roles of the
// parts, the input mask built from them, the checks of a partly and of a
// completely typed text, and the conversions between texts and days.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "skin/widgets/vlCalendarMath.h"

enum TvlDatePartRole { drDay, drMonth, drYear };

struct TvlDateLocale {
    // The short date text of 31 December 9999 and the separator of its parts.
    std::string Reference = "12/31/9999";
    char Separator = '/';
    // The month texts of a format that names its months (empty otherwise).
    std::array<std::string, 12> MonthTexts;
    // A two-digit year is the year ending in those digits within the hundred
    // years that end here (the platform's setting for the user's calendar).
    int TwoDigitYearMax = 2049;
    int FullYear(int twoDigits) const;

    // The user's format as the platform formats dates.
    static TvlDateLocale Current();
    // The reference text split at the separator.
    std::vector<std::string> ReferenceParts() const;
    // Exactly three parts; other formats fall back to the fixed mask.
    bool Usable() const { return ReferenceParts().size() == 3; }
    // Month in name form: some part of the reference is not numeric.
    bool NameForm() const;
    // The role of each of the three parts, and each numeric part's value.
    std::array<TvlDatePartRole, 3> Roles() const;
    std::array<int, 3> ReferenceValues() const;
    // The part that takes a role (the first part when none does).
    int PartOf(TvlDatePartRole role) const;
};

// A day in the user's short or long date format; empty when the platform
// cannot format it.
std::string vlFormatDate(int year, int month, int day, bool longForm);

// The mask when the format has other than three parts.
constexpr const char* vlFallbackDateMask = "!99/99/0000;1; ";
// The locale the fallback mask stands for: month, day, year with "/".
TvlDateLocale vlFallbackDateLocale();

std::string BuildDateMask(const TvlDateLocale& locale);
// The empty text of a mask: every position blank, separators in place.
std::string BlankDateText(const std::string& mask, char separator);
std::vector<std::string> SplitDateText(const std::string& text, char separator);
// Whether a text with some positions still blank can lead to a valid date.
bool IsPartialDateValid(const TvlDateLocale& locale, const std::string& text);
// Whether a text is a complete date by the format's rules (the day may
// still be past the end of its month).
bool IsCompleteDateValid(const TvlDateLocale& locale, const std::string& text);
// 1 … 12 for a month text (ignoring case), 1 when none matches.
int MonthNumber(const TvlDateLocale& locale, const std::string& text);
// The day a complete text names; none when no such day exists (31 April,
// 29 February of a common year) or it lies outside the calendar's years.
std::optional<TvlDay> DateFromText(const TvlDateLocale& locale, const std::string& text);
// The text of a day in the mask's shape: numeric parts padded with zeros
// to the reference's widths.
std::string DateToText(const TvlDateLocale& locale, const TvlDay& day);
