#pragma once
// The skin description held in memory and the readers of its value syntaxes.
// Lines are trimmed; empty lines and ";" comments are skipped; "[name]" opens
// a section; other lines split at the first "=" into key and value. Section
// and key names match without regard to letter case; the first of duplicate
// sections or keys wins.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Errors.h"
#include "core/Geometry.h"

// A rect or point field that holds no digit.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TvlMorphKind { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };

enum TvlInActiveEffect { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };

enum TvlStdCommand { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };

// Value syntaxes, usable on their own.
namespace skinvalue {
// Decimal with optional sign, or hexadecimal after "$", "0x" or "0X";
// anything else (also out of the 32-bit range) gives `def`.
int ParseInteger(std::string_view text, int def);
// Only the digits of each comma-separated field count; fields past the
// needed ones are ignored. A needed field without a digit raises EConvertError.
TRect ParseRect(std::string_view text);
TPoint ParsePoint(std::string_view text);
TFontStyles ParseFontStyle(std::string_view text);
std::string FontStyleText(TFontStyles styles);
TAlignment ParseAlignment(std::string_view text);
TvlMorphKind ParseMorphKind(std::string_view text);
TvlInActiveEffect ParseInActiveEffect(std::string_view text);
TvlStdCommand ParseCommand(std::string_view text);
}  // namespace skinvalue

class TvlSkinIni {
public:
    TvlSkinIni() = default;
    explicit TvlSkinIni(const std::vector<std::string>& lines) { SetLines(lines); }
    void SetLines(const std::vector<std::string>& lines);

    bool SectionExists(std::string_view section) const;
    // The value of a present key (possibly empty), or nullptr.
    const std::string* Find(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadFlag(std::string_view section, std::string_view key) const;
    TRect ReadRect(std::string_view section, std::string_view key) const;
    TPoint ReadPoint(std::string_view section, std::string_view key) const;
    TFontStyles ReadFontStyle(std::string_view section, std::string_view key) const;
    TAlignment ReadAlignment(std::string_view section, std::string_view key) const;
    TvlMorphKind ReadMorphKind(std::string_view section, std::string_view key) const;
    TvlInActiveEffect ReadInActiveEffect(std::string_view section, std::string_view key) const;
    TvlStdCommand ReadCommand(std::string_view section, std::string_view key) const;
    // Name list: key <name>"count" holds n, keys "0" .. n-1 the entries.
    std::vector<std::string> ReadNameList(std::string_view section, std::string_view name) const;
    // The entries of keys "0" .. count-1 that are present, in index order.
    std::vector<std::pair<int, std::string>> ReadIndexedEntries(std::string_view section, int count) const;

private:
    struct Section {
        std::vector<std::pair<std::string, std::string>> Values;  // lower-case key, value
        std::unordered_map<std::string, size_t> Index;
    };
    const Section* FindSection(std::string_view section) const;
    std::vector<Section> FSections;
    std::unordered_map<std::string, size_t> FSectionIndex;  // lower-case name
};

// Reads the keys of one section; what every record uses.
class TvlSectionReader {
public:
    TvlSectionReader(const TvlSkinIni& ini, std::string_view section) : FIni(ini), FSection(section) {}
    std::string String(std::string_view key, const std::string& def = "") const {
        return FIni.ReadString(FSection, key, def);
    }
    int Integer(std::string_view key, int def = 0) const { return FIni.ReadInteger(FSection, key, def); }
    uint32_t Color(std::string_view key, uint32_t def = 0) const {
        return static_cast<uint32_t>(FIni.ReadInteger(FSection, key, static_cast<int>(def)));
    }
    bool Flag(std::string_view key) const { return FIni.ReadFlag(FSection, key); }
    TRect Rect(std::string_view key) const { return FIni.ReadRect(FSection, key); }
    TPoint Point(std::string_view key) const { return FIni.ReadPoint(FSection, key); }
    std::string FontName(std::string_view key) const { return String(key, "Arial"); }
    int FontHeight(std::string_view key) const { return Integer(key, 14); }
    TFontStyles FontStyle(std::string_view key) const { return FIni.ReadFontStyle(FSection, key); }
    TAlignment Alignment(std::string_view key) const { return FIni.ReadAlignment(FSection, key); }
    TvlMorphKind MorphKind(std::string_view key) const { return FIni.ReadMorphKind(FSection, key); }
    TvlInActiveEffect InActiveEffect(std::string_view key) const { return FIni.ReadInActiveEffect(FSection, key); }
    TvlStdCommand Command(std::string_view key) const { return FIni.ReadCommand(FSection, key); }

private:
    const TvlSkinIni& FIni;
    std::string_view FSection;
};
