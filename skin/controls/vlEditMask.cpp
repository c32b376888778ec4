#include "skin/controls/vlEditMask.h"

#include <cctype>

namespace {
// The mask's sections split at semicolons that no backslash escapes.
std::vector<std::string> Sections(const std::string& mask) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\' && i + 1 < mask.size()) {
            parts.back() += mask.substr(i, 2);
            ++i;
        } else if (mask[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += mask[i];
        }
    }
    return parts;
}

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0xC0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

TvlEditMask::TvlEditMask(const std::string& mask) {
    std::vector<std::string> parts = Sections(mask);
    if (parts.size() > 1 && !parts[1].empty()) FSaveLiterals = parts[1][0] != '0';
    if (parts.size() > 2 && !parts[2].empty()) FBlank = parts[2][0];
    const std::string& pattern = parts[0];
    Case letterCase = Case::Keep;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char m = pattern[i];
        Place place;
        place.letterCase = letterCase;
        switch (m) {
            case '!': continue;
            case '>': letterCase = Case::Upper; continue;
            case '<':
                if (i + 1 < pattern.size() && pattern[i + 1] == '>') {
                    letterCase = Case::Keep;
                    ++i;
                } else {
                    letterCase = Case::Lower;
                }
                continue;
            case '\\':
                if (++i >= pattern.size()) continue;
                place.literal = pattern[i];
                break;
            case '0': place = {Kind::Digit, true, letterCase}; break;
            case '9': place = {Kind::Digit, false, letterCase}; break;
            case '#': place = {Kind::DigitSign, false, letterCase}; break;
            case 'L': place = {Kind::Letter, true, letterCase}; break;
            case 'l': place = {Kind::Letter, false, letterCase}; break;
            case 'A': place = {Kind::AlphaNumeric, true, letterCase}; break;
            case 'a': place = {Kind::AlphaNumeric, false, letterCase}; break;
            case 'C': place = {Kind::Any, true, letterCase}; break;
            case 'c': place = {Kind::Any, false, letterCase}; break;
            default: place.literal = m; break;
        }
        FPlaces.push_back(place);
    }
}

bool TvlEditMask::IsLiteral(int place) const {
    return place >= 0 && place < Length() && FPlaces[static_cast<size_t>(place)].kind == Kind::Literal;
}

std::string TvlEditMask::BlankText() const {
    std::string text;
    for (const Place& p : FPlaces) text += p.kind == Kind::Literal ? p.literal : FBlank;
    return text;
}

bool TvlEditMask::Accepts(const Place& place, char& c) const {
    bool ok = false;
    switch (place.kind) {
        case Kind::Literal: return false;
        case Kind::Digit: ok = IsDigit(c); break;
        case Kind::DigitSign: ok = IsDigit(c) || c == '+' || c == '-'; break;
        case Kind::Letter: ok = IsLetter(c); break;
        case Kind::AlphaNumeric: ok = IsLetter(c) || IsDigit(c); break;
        case Kind::Any: ok = static_cast<unsigned char>(c) >= ' '; break;
    }
    if (!ok) return false;
    if (place.letterCase == Case::Upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (place.letterCase == Case::Lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return true;
}

std::string TvlEditMask::Apply(const std::string& value) const {
    std::string display = BlankText();
    size_t from = 0;
    for (int i = 0; i < Length() && from < value.size(); ++i) {
        const Place& p = FPlaces[static_cast<size_t>(i)];
        if (p.kind == Kind::Literal) {
            // A value with its literals has them here; one without does not.
            if (value[from] == p.literal) ++from;
            continue;
        }
        char c = value[from++];
        if (c != FBlank && c != ' ' && Accepts(p, c)) display[static_cast<size_t>(i)] = c;
    }
    return display;
}

std::string TvlEditMask::Value(const std::string& display) const {
    std::string value;
    for (int i = 0; i < Length() && i < static_cast<int>(display.size()); ++i) {
        char c = display[static_cast<size_t>(i)];
        if (FPlaces[static_cast<size_t>(i)].kind == Kind::Literal) {
            if (FSaveLiterals) value += c;
        } else {
            value += c == FBlank ? ' ' : c;
        }
    }
    return value;
}

bool TvlEditMask::Complete(const std::string& display) const {
    for (int i = 0; i < Length(); ++i)
        if (FPlaces[static_cast<size_t>(i)].required &&
            (i >= static_cast<int>(display.size()) || display[static_cast<size_t>(i)] == FBlank))
            return false;
    return true;
}

int TvlEditMask::NextEditable(int from) const {
    for (int i = from < 0 ? 0 : from; i < Length(); ++i)
        if (!IsLiteral(i)) return i;
    return Length();
}

int TvlEditMask::PriorEditable(int from) const {
    for (int i = (from > Length() ? Length() : from) - 1; i >= 0; --i)
        if (!IsLiteral(i)) return i;
    return -1;
}

bool TvlEditMask::Type(std::string& display, int& caret, char c) const {
    int at = NextEditable(caret);
    if (at >= Length() || at >= static_cast<int>(display.size())) return false;
    if (!Accepts(FPlaces[static_cast<size_t>(at)], c)) return false;
    display[static_cast<size_t>(at)] = c;
    caret = NextEditable(at + 1);
    return true;
}

void TvlEditMask::Clear(std::string& display, int start, int end) const {
    for (int i = start < 0 ? 0 : start; i < end && i < Length() && i < static_cast<int>(display.size()); ++i)
        if (!IsLiteral(i)) display[static_cast<size_t>(i)] = FBlank;
}

bool TvlEditMask::Backspace(std::string& display, int& caret) const {
    int at = PriorEditable(caret);
    if (at < 0 || at >= static_cast<int>(display.size())) return false;
    display[static_cast<size_t>(at)] = FBlank;
    caret = at;
    return true;
}
