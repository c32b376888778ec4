#include "skin/data/vlSkinIni.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "core/TextCompare.h"

namespace {

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

// The digit-only fields of a rect or point value; N fields are needed.
template <size_t N>
std::array<int, N> ParseFields(std::string_view text) {
    std::array<int64_t, N> values{};
    std::array<int, N> digits{};
    size_t field = 0;
    for (char c : text) {
        if (c == ',') {
            if (++field == N) break;  // further fields are ignored
        } else if (c >= '0' && c <= '9') {
            // Past 10 digits the value is out of range anyway; stop growing it.
            if (++digits[field] <= 10) values[field] = values[field] * 10 + (c - '0');
        }
    }
    std::array<int, N> out{};
    for (size_t i = 0; i < N; ++i) {
        if (digits[i] == 0 || digits[i] > 10 || values[i] > INT32_MAX)
            throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
        out[i] = static_cast<int>(values[i]);
    }
    return out;
}

}  // namespace

namespace skinvalue {

int ParseInteger(std::string_view text, int def) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return def;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return def;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return def;
    }
    if (base == 16) {
        // Hexadecimal spells the 32 bits, so $FFFFFFFF is -1.
        int32_t v = static_cast<int32_t>(static_cast<uint32_t>(value));
        return negative ? static_cast<int>(0u - static_cast<uint32_t>(v)) : v;
    }
    if (negative) return value > 0x80000000ull ? def : static_cast<int>(-static_cast<int64_t>(value));
    return value > 0x7FFFFFFFull ? def : static_cast<int>(value);
}

TRect ParseRect(std::string_view text) {
    auto f = ParseFields<4>(text);
    return {f[0], f[1], f[2], f[3]};
}

TPoint ParsePoint(std::string_view text) {
    auto f = ParseFields<2>(text);
    return {f[0], f[1]};
}

TFontStyles ParseFontStyle(std::string_view text) {
    TFontStyles s = 0;
    if (text.find("fsbold") != std::string_view::npos) s |= fsBold;
    if (text.find("fsitalic") != std::string_view::npos) s |= fsItalic;
    if (text.find("fsunderline") != std::string_view::npos) s |= fsUnderline;
    if (text.find("fsstrikeout") != std::string_view::npos) s |= fsStrikeOut;
    return s;
}

std::string FontStyleText(TFontStyles styles) {
    static const char* const names[] = {"fsbold", "fsitalic", "fsunderline", "fsstrikeout"};
    std::string out;
    for (int i = 0; i < 4; ++i)
        if (styles & (1u << i)) {
            if (!out.empty()) out += ',';
            out += names[i];
        }
    return out;
}

TAlignment ParseAlignment(std::string_view text) {
    if (text == "tacenter") return taCenter;
    if (text == "taleftjustify") return taLeftJustify;
    return taRightJustify;
}

TvlMorphKind ParseMorphKind(std::string_view text) {
    static const char* const names[] = {"mkdefault",   "mkgradient",   "mkleftgradient", "mkrightgradient",
                                        "mkleftslide", "mkrightslide", "mkpush"};
    for (int i = 0; i < 7; ++i)
        if (text == names[i]) return static_cast<TvlMorphKind>(i);
    return mkDefault;
}

TvlInActiveEffect ParseInActiveEffect(std::string_view text) {
    static const char* const names[] = {"iebrightness", "iedarkness",  "iegrayscale",
                                        "ienoise",      "iesplitblur", "ieinvert"};
    for (int i = 0; i < 6; ++i)
        if (text == names[i]) return static_cast<TvlInActiveEffect>(i);
    return ieGrayScale;
}

TvlStdCommand ParseCommand(std::string_view text) {
    // "cmminimizetotray" is deliberately absent: every other text means it.
    static const char* const names[] = {"cmclose", "cmmaximize", "cmminimize", "cmsysmenu", "cmdefault", "cmrollup"};
    for (int i = 0; i < 6; ++i)
        if (text == names[i]) return static_cast<TvlStdCommand>(i);
    return cmMinimizeToTray;
}

}  // namespace skinvalue

void TvlSkinIni::SetLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line.substr(0, line.find('\0')) + "\n";
    SetText(text);
}

void TvlSkinIni::SetText(std::string_view text) {
    FText.assign(text.substr(0, text.find('\0')));
    FSections.clear();
    FSectionIndex.clear();
    std::string_view all(FText);
    size_t i = 0;
    while (i < all.size()) {
        size_t end = i;
        while (end < all.size() && all[end] != '\r' && all[end] != '\n') ++end;
        AddLine(all.substr(i, end - i));
        i = end;
        if (i < all.size()) i += (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ? 2 : 1;
    }
    auto byName = [](const Entry& a, const Entry& b) { return a.Name < b.Name; };
    for (Section& section : FSections) {
        section.Keys.reserve(section.Values.size());
        for (size_t k = 0; k < section.Values.size(); ++k) section.Keys.push_back({section.Values[k].first, k});
        std::stable_sort(section.Keys.begin(), section.Keys.end(), byName);
    }
    std::stable_sort(FSectionIndex.begin(), FSectionIndex.end(), byName);
}

void TvlSkinIni::AddLine(std::string_view raw) {
    std::string_view line = TrimView(raw);
    if (line.empty() || line[0] == ';') return;
    // Names are folded where they lie, so that lookups compare plain bytes.
    auto folded = [this](std::string_view name) {
        char* p = FText.data() + (name.data() - FText.data());
        for (size_t i = 0; i < name.size(); ++i) p[i] = AsciiLower(p[i]);
        return name;
    };
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        FSectionIndex.push_back({folded(TrimView(line.substr(1, line.size() - 2))), FSections.size()});
        FSections.emplace_back();
        return;
    }
    if (FSections.empty()) return;  // lines before the first section
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    FSections.back().Values.emplace_back(folded(TrimView(line.substr(0, eq))), TrimView(line.substr(eq + 1)));
}

const TvlSkinIni::Entry* TvlSkinIni::Lookup(const std::vector<Entry>& index, std::string_view name) {
    char buffer[64];
    std::string longName;
    std::string_view key;
    if (name.size() <= sizeof buffer) {
        for (size_t i = 0; i < name.size(); ++i) buffer[i] = AsciiLower(name[i]);
        key = std::string_view(buffer, name.size());
    } else {
        for (char c : name) longName += AsciiLower(c);
        key = longName;
    }
    auto it = std::lower_bound(index.begin(), index.end(), key,
                               [](const Entry& e, std::string_view n) { return e.Name < n; });
    return it != index.end() && it->Name == key ? &*it : nullptr;
}

const TvlSkinIni::Section* TvlSkinIni::FindSection(std::string_view section) const {
    const Entry* e = Lookup(FSectionIndex, section);
    return e ? &FSections[e->Index] : nullptr;
}

std::optional<std::string_view> TvlSkinIni::FindIn(const Section* section, std::string_view key) {
    if (!section) return std::nullopt;
    const Entry* e = Lookup(section->Keys, key);
    if (!e) return std::nullopt;
    return section->Values[e->Index].second;
}

bool TvlSkinIni::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string_view> TvlSkinIni::Find(std::string_view section, std::string_view key) const {
    return FindIn(FindSection(section), key);
}

std::string TvlSkinIni::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    return TvlSectionReader(*this, section).String(key, def);
}
int TvlSkinIni::ReadInteger(std::string_view section, std::string_view key, int def) const {
    return TvlSectionReader(*this, section).Integer(key, def);
}
TRect TvlSkinIni::ReadRect(std::string_view section, std::string_view key) const {
    return TvlSectionReader(*this, section).Rect(key);
}

namespace {
// A present key's value through its syntax, an absent key's default.
template <class T, class Parse>
T ValueOr(std::optional<std::string_view> value, Parse parse, T def) {
    return value ? parse(*value) : def;
}
}  // namespace

std::string TvlSectionReader::NextFieldKey(std::string_view names, size_t& at) {
    std::string key;
    for (; at < names.size() && names[at] != ','; ++at) {
        const char c = names[at];
        if (c == ' ' || c == '\n' || c == '\t') continue;
        if (c == '.' || c == '>') {  // a member of an object: its own name is the key
            key.clear();
            continue;
        }
        key += AsciiLower(c);
    }
    if (at < names.size()) ++at;  // past the comma
    return key;
}

std::string TvlSectionReader::String(std::string_view key, const std::string& def) const {
    auto v = Find(key);
    return v ? std::string(*v) : def;
}
int TvlSectionReader::Integer(std::string_view key, int def) const {
    auto v = Find(key);
    return v ? skinvalue::ParseInteger(*v, def) : def;
}
TRect TvlSectionReader::Rect(std::string_view key) const { return ValueOr(Find(key), skinvalue::ParseRect, TRect{}); }
TPoint TvlSectionReader::Point(std::string_view key) const {
    return ValueOr(Find(key), skinvalue::ParsePoint, TPoint{});
}
TAlignment TvlSectionReader::Alignment(std::string_view key) const {
    return ValueOr(Find(key), skinvalue::ParseAlignment, taCenter);
}
TvlMorphKind TvlSectionReader::MorphKind(std::string_view key) const {
    return ValueOr(Find(key), skinvalue::ParseMorphKind, mkDefault);
}
TvlInActiveEffect TvlSectionReader::InActiveEffect(std::string_view key) const {
    return ValueOr(Find(key), skinvalue::ParseInActiveEffect, ieBrightness);
}
TvlStdCommand TvlSectionReader::Command(std::string_view key) const {
    return ValueOr(Find(key), skinvalue::ParseCommand, cmDefault);
}

TvlSkinFont TvlSectionReader::Font(std::string_view prefix) const {
    std::string key(prefix);
    auto keyed = [&](std::string_view name) -> std::string_view {
        key.resize(prefix.size());
        return key.append(name);
    };
    TvlSkinFont font;
    font.FontName = String(keyed("fontname"), font.FontName);
    font.FontHeight = Integer(keyed("fontheight"), font.FontHeight);
    font.FontStyle = ValueOr(Find(keyed("fontstyle")), skinvalue::ParseFontStyle, font.FontStyle);
    font.FontColor = Color(keyed("fontcolor"));
    return font;
}

void TvlSectionReader::StateRects(std::string_view name, TRect& normal, TRect& active, TRect& down) const {
    const std::string key = std::string(name) + "rect";
    normal = Rect(key);
    active = Rect("active" + key);
    down = Rect("down" + key);
}

void TvlSectionReader::StateRectsAfter(std::string_view name, TRect& normal, TRect& active, TRect& down) const {
    const std::string base(name);
    normal = Rect(base + "rect");
    active = Rect(base + "activerect");
    down = Rect(base + "downrect");
}

TvlCornerPoints TvlSectionReader::Corners() const {
    return {Point("lefttoppoint"), Point("righttoppoint"), Point("leftbottompoint"), Point("rightbottompoint")};
}

std::vector<std::string> TvlSkinIni::ReadNameList(std::string_view section, std::string_view name) const {
    std::vector<std::string> names;
    int count = ReadInteger(section, std::string(name) + "count", 0);
    // A missing entry reads as empty; a forged count cannot make the list huge.
    count = std::min(count, 65536);
    for (int i = 0; i < count; ++i) names.push_back(ReadString(section, std::to_string(i), ""));
    return names;
}

std::vector<std::pair<int, std::string>> TvlSkinIni::ReadIndexedEntries(std::string_view section, int count) const {
    // Walks the keys that exist rather than every index below a count that
    // may be forged to billions.
    std::vector<std::pair<int, std::string>> entries;
    const Section* s = FindSection(section);
    if (!s) return entries;
    std::string_view previous;
    for (size_t k = 0; k < s->Keys.size(); ++k) {
        std::string_view key = s->Keys[k].Name;
        if (k > 0 && key == previous) continue;  // the first of equal keys holds the entry
        previous = key;
        if (key.empty() || key.size() > 10 || key.find_first_not_of("0123456789") != std::string_view::npos) continue;
        if (key.size() > 1 && key[0] == '0') continue;  // "01" is not the key of entry 1
        long long i = 0;
        std::from_chars(key.data(), key.data() + key.size(), i);
        if (i < count) entries.emplace_back(static_cast<int>(i), std::string(s->Values[s->Keys[k].Index].second));
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}
