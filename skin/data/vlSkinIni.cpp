#include "skin/data/vlSkinIni.h"

#include <algorithm>
#include <array>

#include "core/TextCompare.h"

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

// The digit-only fields of a rect or point value; `count` fields are needed.
template <size_t N>
std::array<int, N> ParseFields(std::string_view text) {
    std::array<std::string, N> fields;
    size_t field = 0;
    for (char c : text) {
        if (c == ',') {
            if (++field == N) break;  // further fields are ignored
        } else if (c >= '0' && c <= '9') {
            fields[field] += c;
        }
    }
    std::array<int, N> values{};
    for (size_t i = 0; i < N; ++i) {
        // Only digits are kept, so the field converts unless it is empty or too long.
        if (fields[i].empty() || fields[i].size() > 10 || std::stoll(fields[i]) > INT32_MAX)
            throw EConvertError("'" + fields[i] + "' is not a valid integer value");
        values[i] = std::stoi(fields[i]);
    }
    return values;
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
        if (styles & (1u << i)) out += (out.empty() ? "" : ",") + std::string(names[i]);
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
    static const char* const names[] = {"iebrightness", "iedarkness", "iegrayscale",
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
    FSections.clear();
    FSectionIndex.clear();
    Section* current = nullptr;
    for (const std::string& raw : lines) {
        std::string_view line = TrimView(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            FSections.emplace_back();
            FSectionIndex.emplace(Lower(TrimView(line.substr(1, line.size() - 2))), FSections.size() - 1);
            current = &FSections.back();
            continue;
        }
        if (!current) continue;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        std::string key = Lower(TrimView(line.substr(0, eq)));
        current->Index.emplace(key, current->Values.size());
        current->Values.emplace_back(std::move(key), std::string(TrimView(line.substr(eq + 1))));
    }
}

const TvlSkinIni::Section* TvlSkinIni::FindSection(std::string_view section) const {
    auto it = FSectionIndex.find(Lower(section));
    return it == FSectionIndex.end() ? nullptr : &FSections[it->second];
}

bool TvlSkinIni::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

const std::string* TvlSkinIni::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    auto it = s->Index.find(Lower(key));
    return it == s->Index.end() ? nullptr : &s->Values[it->second].second;
}

std::string TvlSkinIni::ReadString(std::string_view section, std::string_view key, const std::string& def) const {
    const std::string* v = Find(section, key);
    return v ? *v : def;
}

int TvlSkinIni::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseInteger(*v, def) : def;
}

bool TvlSkinIni::ReadFlag(std::string_view section, std::string_view key) const {
    return ReadInteger(section, key, 0) == 1;
}

TRect TvlSkinIni::ReadRect(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseRect(*v) : TRect{};
}

TPoint TvlSkinIni::ReadPoint(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParsePoint(*v) : TPoint{};
}

TFontStyles TvlSkinIni::ReadFontStyle(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseFontStyle(*v) : 0;
}

TAlignment TvlSkinIni::ReadAlignment(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseAlignment(*v) : taCenter;
}

TvlMorphKind TvlSkinIni::ReadMorphKind(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseMorphKind(*v) : mkDefault;
}

TvlInActiveEffect TvlSkinIni::ReadInActiveEffect(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseInActiveEffect(*v) : ieBrightness;
}

TvlStdCommand TvlSkinIni::ReadCommand(std::string_view section, std::string_view key) const {
    const std::string* v = Find(section, key);
    return v ? skinvalue::ParseCommand(*v) : cmDefault;
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
    for (const auto& [key, index] : s->Index) {
        if (key.empty() || key.size() > 10 || key.find_first_not_of("0123456789") != std::string::npos) continue;
        if (key.size() > 1 && key[0] == '0') continue;  // "01" is not the key of entry 1
        long long i = std::stoll(key);
        if (i < count) entries.emplace_back(static_cast<int>(i), s->Values[index].second);
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}
