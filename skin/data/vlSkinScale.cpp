#include "skin/data/vlSkinScale.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/Rounding.h"
#include "core/TextCompare.h"
#include "skin/data/vlLittleEndian.h"
#include "skin/data/vlSkinIni.h"

namespace {

constexpr std::string_view ScaledSkinsMarker = "SCALED SKINS 1";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// What a key holds, told by its name: the records read their lengths from
// keys ending so ("skinrect", "lefttoppoint", "trackarea", "itemleftoffset",
// "thumboffset1", "borderwidth", "edgesize", "captionfontheight"). Colours,
// indexes, counts, flags and names end otherwise.
enum class TLengthKind { None, Rect, Point, Integer, FontHeight };
TLengthKind KindOfKey(std::string key) {
    std::transform(key.begin(), key.end(), key.begin(), AsciiLower);
    // "rsect" is the misspelt key the caption buttons' disabled look is read from.
    for (std::string_view tail : {"rect", "rsect", "area"})
        if (EndsWith(key, tail)) return TLengthKind::Rect;
    if (EndsWith(key, "point")) return TLengthKind::Point;
    if (EndsWith(key, "fontheight")) return TLengthKind::FontHeight;
    for (std::string_view tail : {"offset", "offset1", "offset2", "width", "size"})
        if (EndsWith(key, tail)) return TLengthKind::Integer;
    return TLengthKind::None;
}

// The value at `dpi`, or nothing when it does not parse (the reader then
// meets the original text, and fails or defaults on it as always).
std::optional<std::string> ScaleValue(TLengthKind kind, std::string_view value, int dpi) {
    auto s = [dpi](int v) { return std::to_string(ScaleSkinLength(v, dpi)); };
    try {
        if (kind == TLengthKind::Rect) {
            TRect r = skinvalue::ParseRect(value);
            return s(r.Left) + "," + s(r.Top) + "," + s(r.Right) + "," + s(r.Bottom);
        }
        if (kind == TLengthKind::Point) {
            TPoint p = skinvalue::ParsePoint(value);
            return s(p.X) + "," + s(p.Y);
        }
    } catch (const EConvertError&) {
        return std::nullopt;
    }
    int v = skinvalue::ParseInteger(value, 0);
    if (v != skinvalue::ParseInteger(value, 1)) return std::nullopt;  // not an integer: the default applies
    if (kind == TLengthKind::FontHeight) return std::to_string(ScaleFontRounded(v, SkinBaseDpi, dpi));
    return s(v);
}

// Calls `line(text)` for each line of the description (without its break)
// and `rest(text)` for each line break, up to the NUL that ends the text.
template <class Line, class Break>
void ForEachLine(std::string_view text, Line line, Break lineBreak) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        line(text.substr(at, end - at));
        size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        lineBreak(text.substr(end, next - end));
        at = next;
    }
}

// The key and value of a key line, or nothing for sections, comments and
// lines without "=".
std::optional<std::pair<std::string_view, std::string_view>> KeyLine(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return std::pair{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

// One axis of a picture: for every output column (or row), the source column
// it copies. Pieces between cuts map onto pieces between the scaled cuts.
std::vector<int> AxisMap(const std::vector<int>& cuts, int sourceLength, int fromDpi, int toDpi) {
    int targetLength = std::max(1, ScaleRounded(sourceLength, fromDpi, toDpi));
    std::vector<std::pair<int, int>> edges{{0, 0}};  // source, target
    for (int c : cuts) {
        int source = ScaleSkinLength(c, fromDpi), target = ScaleSkinLength(c, toDpi);
        if (source > 0 && source < sourceLength && target > 0 && target < targetLength)
            edges.emplace_back(source, target);
    }
    edges.emplace_back(sourceLength, targetLength);
    std::sort(edges.begin(), edges.end());
    std::vector<int> map(static_cast<size_t>(targetLength));
    size_t k = 0;
    for (size_t i = 1; i < edges.size(); ++i) {
        auto [s0, t0] = edges[k];
        auto [s1, t1] = edges[i];
        k = i;
        // Scaling down can fold a piece to nothing; it is left out whole.
        for (int t = t0; s1 > s0 && t < t1; ++t) {
            int64_t offset = ((static_cast<int64_t>(t - t0) * 2 + 1) * (s1 - s0)) / (2 * static_cast<int64_t>(t1 - t0));
            map[static_cast<size_t>(t)] = std::min(s1 - 1, s0 + static_cast<int>(offset));
        }
    }
    return map;
}

struct TScaledEntry {
    int Dpi;
    std::string_view Package;
};

// Splits a package's text into the description and its scaled entries.
std::vector<TScaledEntry> ScaledEntries(std::string_view text, std::string_view* description = nullptr) {
    size_t nul = text.find('\0');
    if (description) *description = text.substr(0, nul);
    std::vector<TScaledEntry> entries;
    if (nul == std::string_view::npos) return entries;
    std::string_view rest = text.substr(nul + 1);
    if (rest.substr(0, ScaledSkinsMarker.size()) != ScaledSkinsMarker) return entries;
    rest.remove_prefix(ScaledSkinsMarker.size());
    while (!rest.empty()) {
        if (rest.size() < 8) throw ESkinPackageError("a scaled skin ends before its length");
        int32_t dpi = GetInt32(rest, 0), length = GetInt32(rest, 4);
        if (dpi <= 0 || length < 0 || static_cast<size_t>(length) > rest.size() - 8)
            throw ESkinPackageError("a scaled skin's DPI or length does not fit the package");
        entries.push_back({dpi, rest.substr(8, static_cast<size_t>(length))});
        rest.remove_prefix(8 + static_cast<size_t>(length));
    }
    return entries;
}

}  // namespace

int ScaleSkinLength(int value, int dpi) { return ScaleRounded(value, SkinBaseDpi, dpi); }

std::string ScaleSkinDescription(std::string_view text, int dpi) {
    if (dpi == SkinBaseDpi) return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    ForEachLine(
        text,
        [&](std::string_view line) {
            auto kv = KeyLine(line);
            TLengthKind kind = kv ? KindOfKey(std::string(kv->first)) : TLengthKind::None;
            std::optional<std::string> scaled;
            if (kind != TLengthKind::None) scaled = ScaleValue(kind, kv->second, dpi);
            if (!scaled) {
                out += line;
                return;
            }
            out += line.substr(0, line.find('=') + 1);
            out += *scaled;
        },
        [&](std::string_view lineBreak) { out += lineBreak; });
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos) out += text.substr(nul);
    return out;
}

TvlSkinCuts SkinDescriptionCuts(std::string_view text) {
    TvlSkinCuts cuts;
    ForEachLine(
        text,
        [&](std::string_view line) {
            auto kv = KeyLine(line);
            if (!kv) return;
            try {
                switch (KindOfKey(std::string(kv->first))) {
                    case TLengthKind::Rect: {
                        TRect r = skinvalue::ParseRect(kv->second);
                        cuts.X.insert(cuts.X.end(), {r.Left, r.Right});
                        cuts.Y.insert(cuts.Y.end(), {r.Top, r.Bottom});
                        break;
                    }
                    case TLengthKind::Point: {
                        TPoint p = skinvalue::ParsePoint(kv->second);
                        cuts.X.push_back(p.X);
                        cuts.Y.push_back(p.Y);
                        break;
                    }
                    default: break;
                }
            } catch (const EConvertError&) {
            }
        },
        [](std::string_view) {});
    for (std::vector<int>* axis : {&cuts.X, &cuts.Y}) {
        std::sort(axis->begin(), axis->end());
        axis->erase(std::unique(axis->begin(), axis->end()), axis->end());
    }
    return cuts;
}

TPixelImage ScaleSkinPicture(const TPixelImage& picture, const TvlSkinCuts& cuts, int fromDpi, int toDpi) {
    if (picture.Empty() || fromDpi == toDpi) return picture;
    std::vector<int> columns = AxisMap(cuts.X, picture.Width, fromDpi, toDpi);
    std::vector<int> rows = AxisMap(cuts.Y, picture.Height, fromDpi, toDpi);
    TPixelImage out;
    out.Resize(static_cast<int>(columns.size()), static_cast<int>(rows.size()));
    for (int y = 0; y < out.Height; ++y) {
        const uint8_t* from = picture.Row(rows[static_cast<size_t>(y)]);
        uint8_t* to = out.Row(y);
        for (int x = 0; x < out.Width; ++x) std::memcpy(to + 3 * x, from + 3 * columns[static_cast<size_t>(x)], 3);
    }
    return out;
}

std::string AppendScaledSkins(std::string raw, const std::vector<std::pair<int, std::string>>& scaled) {
    if (scaled.empty()) return raw;
    raw += '\0';
    raw += ScaledSkinsMarker;
    for (const auto& [dpi, package] : scaled) {
        PutInt32(raw, dpi);
        PutInt32(raw, static_cast<int32_t>(package.size()));
        raw += package;
    }
    return raw;
}

std::vector<int> ScaledSkinDpis(std::string_view raw) {
    std::optional<TvlSkinPackage> base = ReadSkinPackage(raw);
    std::vector<int> dpis;
    if (base)
        for (const TScaledEntry& e : ScaledEntries(base->Text)) dpis.push_back(e.Dpi);
    return dpis;
}

std::optional<TvlSkinPackage> ReadSkinPackageForDpi(std::string_view raw, int dpi) {
    std::optional<TvlSkinPackage> base = ReadSkinPackage(raw);
    if (!base) return base;
    std::string_view descriptionView;
    std::vector<TScaledEntry> entries = ScaledEntries(base->Text, &descriptionView);
    std::string description(descriptionView);
    if (dpi == SkinBaseDpi || dpi <= 0) {
        if (!entries.empty()) base->Text = std::string(description);
        return base;
    }
    const TScaledEntry* pick = nullptr;
    for (const TScaledEntry& e : entries)
        if (e.Dpi >= dpi && (!pick || e.Dpi < pick->Dpi)) pick = &e;
    int fromDpi = SkinBaseDpi;
    TvlSkinPackage source;
    if (pick) {
        std::optional<TvlSkinPackage> scaled = ReadSkinPackage(pick->Package);
        if (!scaled) throw ESkinPackageError("a scaled skin has a version above 3");
        if (pick->Dpi == dpi) {
            // Drawn for this scale: its own description, which may place
            // things more finely than the scaled 96-DPI one.
            scaled->Text = std::string(scaled->Text.substr(0, scaled->Text.find('\0')));
            return scaled;
        }
        source = std::move(*scaled);
        fromDpi = pick->Dpi;
    } else {
        source = std::move(*base);
    }
    TvlSkinCuts cuts = SkinDescriptionCuts(description);
    TvlSkinPackage out;
    out.Version = source.Version;
    out.MainPicture = ScaleSkinPicture(source.MainPicture, cuts, fromDpi, dpi);
    out.MainInactivePicture = ScaleSkinPicture(source.MainInactivePicture, cuts, fromDpi, dpi);
    out.MainMask = ScaleSkinPicture(source.MainMask, cuts, fromDpi, dpi);
    for (const TPixelImage& p : source.Pictures) out.Pictures.push_back(ScaleSkinPicture(p, cuts, fromDpi, dpi));
    out.Text = ScaleSkinDescription(description, dpi);
    return out;
}
