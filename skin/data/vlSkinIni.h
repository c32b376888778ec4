#pragma once
// The skin description held in memory and the readers of its value syntaxes.
// Lines are trimmed; empty lines and ";" comments are skipped; "[name]" opens
// a section; other lines split at the first "=" into key and value. Section
// and key names match without regard to letter case; the first of duplicate
// sections or keys wins.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Errors.h"
#include "core/Geometry.h"
#include "core/TextStyle.h"
#include "skin/data/vlEffectKinds.h"

// A rect or point field that holds no digit.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

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

class TvlSectionReader;

// The font of a record's text. A description gives it as a key group
// "<prefix>fontname", "fontheight", "fontstyle", "fontcolor"; absent keys
// leave Arial, 14, no style, black. Records derive from it, so their members
// keep these names; Font() is the record's font as one value.
struct TvlSkinFont {
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0;
    TvlSkinFont& Font() { return *this; }
    const TvlSkinFont& Font() const { return *this; }
    bool operator==(const TvlSkinFont&) const = default;
};

// The four points that cut a look into corners, sides and middle
// ("lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint").
struct TvlCornerPoints {
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    TvlCornerPoints& Corners() { return *this; }
    const TvlCornerPoints& Corners() const { return *this; }
    bool operator==(const TvlCornerPoints&) const = default;
};

class TvlSkinIni {
public:
    TvlSkinIni() = default;
    explicit TvlSkinIni(const std::vector<std::string>& lines) { SetLines(lines); }
    // Values are views into the owned text: no copying.
    TvlSkinIni(const TvlSkinIni&) = delete;
    TvlSkinIni& operator=(const TvlSkinIni&) = delete;
    void SetLines(const std::vector<std::string>& lines);
    // The same from a whole text (line breaks CR, LF or CR LF; a NUL byte
    // ends the text).
    void SetText(std::string_view text);

    bool SectionExists(std::string_view section) const;
    // The value of a present key (possibly empty), or nothing.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // Single values; a record reads its section through TvlSectionReader.
    std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    TRect ReadRect(std::string_view section, std::string_view key) const;
    // Name list: key <name>"count" holds n, keys "0" .. n-1 the entries.
    std::vector<std::string> ReadNameList(std::string_view section, std::string_view name) const;
    // The entries of keys "0" .. count-1 that are present, in index order.
    std::vector<std::pair<int, std::string>> ReadIndexedEntries(std::string_view section, int count) const;

private:
    friend class TvlSectionReader;
    // Names are stored folded to lower case (in place in the owned text) and
    // searched through indexes sorted by name; a stable sort keeps the first
    // of equal names first.
    struct Entry {
        std::string_view Name;
        size_t Index;
    };
    struct Section {
        std::vector<std::pair<std::string_view, std::string_view>> Values;  // key, value
        std::vector<Entry> Keys;
    };
    void AddLine(std::string_view line);
    static const Entry* Lookup(const std::vector<Entry>& index, std::string_view name);
    const Section* FindSection(std::string_view section) const;
    static std::optional<std::string_view> FindIn(const Section* section, std::string_view key);
    std::string FText;
    std::vector<Section> FSections;
    std::vector<Entry> FSectionIndex;
};

// Reads the keys of one section, found once; what every record uses.
class TvlSectionReader {
public:
    TvlSectionReader(const TvlSkinIni& ini, std::string_view section) : FSection(ini.FindSection(section)) {}
    std::optional<std::string_view> Find(std::string_view key) const { return TvlSkinIni::FindIn(FSection, key); }
    std::string String(std::string_view key, const std::string& def = "") const;
    int Integer(std::string_view key, int def = 0) const;
    uint32_t Color(std::string_view key, uint32_t def = 0) const {
        return static_cast<uint32_t>(Integer(key, static_cast<int>(def)));
    }
    bool Flag(std::string_view key) const { return Integer(key, 0) == 1; }
    TRect Rect(std::string_view key) const;
    TPoint Point(std::string_view key) const;
    // The key group of a font, read in the order name, height, style, colour.
    TvlSkinFont Font(std::string_view prefix = {}) const;
    TvlCornerPoints Corners() const;
    // A look normal, under the mouse and pressed: "<name>rect",
    // "active<name>rect", "down<name>rect", read in that order.
    void StateRects(std::string_view name, TRect& normal, TRect& active, TRect& down) const;
    // The same with the state after the name: "<name>rect",
    // "<name>activerect", "<name>downrect".
    void StateRectsAfter(std::string_view name, TRect& normal, TRect& active, TRect& down) const;
    TAlignment Alignment(std::string_view key) const;
    TvlMorphKind MorphKind(std::string_view key) const;
    TvlInActiveEffect InActiveEffect(std::string_view key) const;
    TvlStdCommand Command(std::string_view key) const;

    // Reads each field from the key that is its name in lower case, with the
    // reader its type calls for; `names` is the fields' names, comma separated
    // (what VL_READ_FIELDS passes).
    template <class... Fields>
    void ReadFields(std::string_view names, Fields&... fields) const {
        size_t at = 0;
        (ReadField(NextFieldKey(names, at), fields), ...);
    }

private:
    static std::string NextFieldKey(std::string_view names, size_t& at);
    void ReadField(std::string_view key, TRect& field) const { field = Rect(key); }
    void ReadField(std::string_view key, TPoint& field) const { field = Point(key); }
    void ReadField(std::string_view key, int& field) const { field = Integer(key); }
    void ReadField(std::string_view key, uint32_t& field) const { field = Color(key); }
    void ReadField(std::string_view key, bool& field) const { field = Flag(key); }
    void ReadField(std::string_view key, std::string& field) const { field = String(key); }
    void ReadField(std::string_view key, TAlignment& field) const { field = Alignment(key); }
    void ReadField(std::string_view key, TvlMorphKind& field) const { field = MorphKind(key); }
    void ReadField(std::string_view key, TvlInActiveEffect& field) const { field = InActiveEffect(key); }
    void ReadField(std::string_view key, TvlStdCommand& field) const { field = Command(key); }

    const TvlSkinIni::Section* FSection;
};

// A record's plain fields in one list: each is read from its own name in lower
// case ("ActiveSkinRect" from "activeskinrect").
#define VL_READ_FIELDS(reader, ...) (reader).ReadFields(#__VA_ARGS__, __VA_ARGS__)
