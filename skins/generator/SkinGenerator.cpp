// Draws every picture of a skin from code and writes the skin folder that
// skinpack turns into a package: the pictures named by the description's
// [PICTURES] section, painted at the rectangles its sections give, and the
// description itself. One painter serves every theme; "graphite" is the dark
// variant of the "modern" description, with its colours swapped.
//
//   skingen <description> <output folder> [modern|graphite]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>

#include "core/BmpReader.h"
#include "core/StringList.h"
#include "skin/data/vlSkinIni.h"
#include "skin/data/vlSkinScale.h"
#include "skins/generator/SkinCanvas.h"

namespace {

// Colours are written 0xRRGGBB here and converted where pixels are set.
struct Theme {
    const char* Name;
    uint32_t Key = 0xFF00FF;  // transparent colour of the control pictures
    uint32_t Caption, Window, FrameLine, Separator;
    uint32_t Text, DimText, Accent, AccentDown, OnAccent;
    uint32_t Field, FieldLine, Hover, Down, DisabledFill, DisabledLine, DisabledText;
    uint32_t Track, Thumb, ThumbHover, ThumbDown, Arrow;
    uint32_t CloseHover, CloseDown, Glyph, GlyphInactive;
    uint32_t Header, HeaderLine, Panel, PanelLine, MenuLine, Divider, HintFill;
};

const Theme Modern{"Modern", 0xFF00FF, 0xFFFFFF, 0xF7F8FA, 0xB9C0C9, 0xE3E6EA, 0x1F2328, 0x8A9099, 0x2F6FDE,
                   0x2558B4, 0xFFFFFF, 0xFFFFFF, 0xC4CAD2, 0xF0F4FB, 0xDCE6F8, 0xF3F4F6, 0xDDE0E4, 0xA0A6AE,
                   0xF0F2F5, 0xC2C8D0, 0xA6AFBA, 0x2F6FDE, 0x5F6772, 0xE0443E, 0xB9322D, 0x3A4049, 0xA9AFB8,
                   0xF3F5F8, 0xD9DDE2, 0xF7F8FA, 0xDDE1E6, 0xC9CED6, 0xE3E6EA, 0xFFFFFF};

const Theme Graphite{"Graphite", 0xFF00FF, 0x24272C, 0x2B2F35, 0x0F1113, 0x34383F, 0xE3E6EA, 0x8C939D, 0xE39B3B,
                     0xB97A26,   0x1B1D21, 0x1E2125, 0x4A5059, 0x343A42, 0x3F4650, 0x2A2D32, 0x383C43, 0x6C727B,
                     0x26292E,   0x555C66, 0x6D7580, 0xE39B3B, 0xB4BAC2, 0xD9453F, 0xA8322E, 0xD5D9DE, 0x6C727B,
                     0x2F333A,   0x454A52, 0x2B2F35, 0x41464E, 0x4A5059, 0x3A3F47, 0x383C43};

TRect Offset(TRect place, TRect look) {
    return {look.Left + place.Left, look.Top + place.Top, look.Left + place.Right, look.Top + place.Bottom};
}

enum class State { Normal, Hover, Down, Disabled, Inactive };

class Painter {
public:
    Painter(const TvlSkinIni& ini, const Theme& t, double scale = 1) : FIni(ini), T(t), Scale(scale) {}

    TRect R(const std::string& section, const char* key) const { return FIni.ReadRect(section, key); }
    int I(const std::string& section, const char* key, int def) const { return FIni.ReadInteger(section, key, def); }

    // ---- frame, mask ----
    void Frame(Canvas& c, Canvas& mask) {
        TRect client = R("FORMINFO", "clientrect");
        int w = c.Image().Width, h = c.Image().Height;
        const double radius = 8 * Scale;
        c.Fill({0, 0, w, h}, T.FrameLine);
        c.Shape({0, 0, w, h}, T.Caption,
                [&](double x, double y) { return Canvas::InRound(x, y, 1, 1, w - 1, h - 1, radius - 1, true); });
        c.Fill({client.Left, client.Top - 1, client.Right, client.Top}, T.Separator);
        c.Fill(client, T.Window);
        // The mask keeps (black) what lies inside the rounded outline.
        mask.Fill({0, 0, w, h}, 0xFFFFFF);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (Canvas::InRound(x + 0.5, y + 0.5, 0, 0, w, h, radius, true)) mask.Set(x, y, 0);
    }

    // ---- caption buttons ----
    void CaptionButton(Canvas& c, const std::string& s) {
        std::string command = FIni.ReadString(s, "command", "");
        auto cell = [&](TRect r, State st, bool restore) {
            if (r.IsEmpty()) return;
            bool close = command == "cmclose";
            uint32_t bg = T.Caption, glyph = T.Glyph;
            if (st == State::Hover) bg = close ? T.CloseHover : T.Hover;
            if (st == State::Down) bg = close ? T.CloseDown : T.Down;
            if (close && (st == State::Hover || st == State::Down)) glyph = 0xFFFFFF;
            if (st == State::Inactive) glyph = T.GlyphInactive;
            c.Fill(r, T.Caption);
            if (bg != T.Caption) c.RoundBox(r, 4, bg, bg);
            Glyph(c, r, command, restore, glyph);
        };
        cell(R(s, "skinrect"), State::Normal, false);
        cell(R(s, "activeskinrect"), State::Hover, false);
        cell(R(s, "downrect"), State::Down, false);
        cell(R(s, "inactiveskinrect"), State::Inactive, false);
        cell(R(s, "restorerect"), State::Normal, true);
        cell(R(s, "restoreactiverect"), State::Hover, true);
        cell(R(s, "restoredownrect"), State::Down, true);
        cell(R(s, "restoreinactiverect"), State::Inactive, true);
    }

    void Glyph(Canvas& c, TRect r, const std::string& command, bool restore, uint32_t g) {
        double x = (r.Left + r.Right) / 2.0 - 5, y = (r.Top + r.Bottom) / 2.0 - 5;
        if (command == "cmclose") {
            c.Line(x, y, x + 10, y + 10, 1.4, g);
            c.Line(x + 10, y, x, y + 10, 1.4, g);
        } else if (restore && command != "cmrollup") {
            c.Polyline(
                {{x + 2.5, y + 2.5}, {x + 2.5, y + 0.5}, {x + 9.5, y + 0.5}, {x + 9.5, y + 7.5}, {x + 7.5, y + 7.5}},
                1.1, g);
            c.Polyline(
                {{x + 0.5, y + 2.5}, {x + 7.5, y + 2.5}, {x + 7.5, y + 9.5}, {x + 0.5, y + 9.5}, {x + 0.5, y + 2.5}},
                1.1, g);
        } else if (command == "cmmaximize") {
            c.Polyline(
                {{x + 0.5, y + 0.5}, {x + 9.5, y + 0.5}, {x + 9.5, y + 9.5}, {x + 0.5, y + 9.5}, {x + 0.5, y + 0.5}},
                1.1, g);
        } else if (command == "cmminimize") {
            c.Line(x, y + 5.5, x + 10, y + 5.5, 1.2, g);
        } else if (command == "cmrollup") {
            c.Arrow({int(x), int(y), int(x) + 10, int(y) + 10}, restore ? 'd' : 'u', g, 4.5);
        } else if (command == "cmminimizetotray") {
            c.Line(x, y + 9.5, x + 10, y + 9.5, 1.2, g);
            c.Arrow({int(x), int(y) - 1, int(x) + 10, int(y) + 8}, 'd', g, 3.5);
            c.Line(x + 5, y, x + 5, y + 5.5, 1.2, g);
        } else {  // system menu: a small window symbol
            c.RoundBox({int(x), int(y), int(x) + 11, int(y) + 10}, 2, T.Caption, g);
            c.Fill({int(x) + 1, int(y) + 1, int(x) + 10, int(y) + 3}, T.Accent);
        }
    }

    // ---- controls ----
    void Box(Canvas& c, TRect r, State st, double radius = 4) {
        if (r.IsEmpty()) return;
        uint32_t fill = T.Field, line = T.FieldLine;
        if (st == State::Hover) fill = T.Hover, line = T.Accent;
        if (st == State::Down) fill = T.Down, line = T.Accent;
        if (st == State::Disabled) fill = T.DisabledFill, line = T.DisabledLine;
        c.Fill(r, T.Panel);
        c.RoundBox(r, radius, fill, line);
    }
    void Field(Canvas& c, TRect r, bool focused) {
        if (r.IsEmpty()) return;
        c.Fill(r, T.Panel);
        c.RoundBox(r, 3, T.Field, focused ? T.Accent : T.FieldLine);
    }

    void ButtonControl(Canvas& c, const std::string& s) {
        if (s == "resizebutton") {
            auto header = [&](TRect r, uint32_t fill) {
                c.Fill(r, fill);
                c.Fill({r.Left, r.Bottom - 1, r.Right, r.Bottom}, T.HeaderLine);
                c.Fill({r.Right - 1, r.Top + 3, r.Right, r.Bottom - 3}, T.HeaderLine);
            };
            header(R(s, "skinrect"), T.Header);
            header(R(s, "activeskinrect"), T.Hover);
            header(R(s, "downskinrect"), T.Down);
            return;
        }
        Box(c, R(s, "skinrect"), State::Normal);
        Box(c, R(s, "activeskinrect"), State::Hover);
        Box(c, R(s, "downskinrect"), State::Down);
        Box(c, R(s, "disabledskinrect"), State::Disabled);
    }

    void CheckRadio(Canvas& c, const std::string& s) {
        bool radio = s.find("radio") != std::string::npos;
        auto image = [&](const char* key, bool checked, State st) {
            TRect r = R(s, key);
            if (r.IsEmpty()) return;
            // Edges are smoothed against the window colour; what lies wholly
            // outside the shape takes the transparent colour.
            c.Fill(r, T.Window);
            uint32_t line = st == State::Hover ? T.Accent : st == State::Disabled ? T.DisabledLine : T.FieldLine;
            uint32_t fill = st == State::Disabled ? T.DisabledFill : T.Field;
            double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
            if (checked && st != State::Disabled) fill = line = T.Accent;
            // The glyph's own lengths are 96-DPI pixels, drawn at the skin's scale.
            const double k = Scale;
            const int box = static_cast<int>(std::lround(16 * k));
            if (radio) {
                c.Disc(cx, cy, 7.5 * k, line);
                c.Disc(cx, cy, 6.5 * k, checked && st != State::Disabled ? T.Field : fill);
                if (checked) c.Disc(cx, cy, 3.5 * k, st == State::Disabled ? T.DisabledText : T.Accent);
            } else {
                c.RoundBox({r.Left, r.Top, r.Left + box, r.Top + box}, 3 * k, fill, line);
                if (checked)
                    c.Polyline({{r.Left + 4.0 * k, r.Top + 8.5 * k},
                                {r.Left + 7.0 * k, r.Top + 11.5 * k},
                                {r.Left + 12.5 * k, r.Top + 5.0 * k}},
                               1.8 * k, st == State::Disabled ? T.DisabledText : T.OnAccent);
            }
            c.KeyOutside(r, T.Key, [&](double x, double y) {
                if (radio) return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= 7.5 * k * 7.5 * k;
                return Canvas::InRound(x, y, r.Left, r.Top, r.Left + box, r.Top + box, 3 * k, false);
            });
        };
        image("uncheckimagerect", false, State::Normal);
        image("checkimagerect", true, State::Normal);
        image("activeuncheckimagerect", false, State::Hover);
        image("activecheckimagerect", true, State::Hover);
        image("unenableduncheckimagerect", false, State::Disabled);
        image("unenabledcheckimagerect", true, State::Disabled);
    }

    void Panel(Canvas& c, const std::string& s) {
        TRect r = R(s, "skinrect");
        if (r.IsEmpty()) return;
        c.Fill(r, T.Panel);
        if (s == "groupbox") {
            TRect box{r.Left, r.Top + R(s, "captionrect").Bottom + 1, r.Right, r.Bottom};
            c.RoundBox(box, 5, T.Panel, T.PanelLine);
        } else {
            c.RoundBox(r, 3, T.Panel, T.PanelLine);
        }
    }

    void Splitter(Canvas& c, const std::string& s) {
        TRect r = R(s, "skinrect");
        c.Fill(r, T.Window);
        double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
        bool vertical = r.Height() > r.Width();
        for (int i = -1; i <= 1; ++i) c.Disc(cx + (vertical ? 0 : i * 4), cy + (vertical ? i * 4 : 0), 1.1, T.DimText);
    }

    void Gauge(Canvas& c, const std::string& s) {
        TRect r = R(s, "skinrect");
        c.Fill(r, T.Panel);
        c.RoundBox(r, 4, T.Track, T.FieldLine);
        TRect bar = R(s, "progressrect");
        c.Fill(bar, T.Track);
        c.RoundBox(bar, 2, T.Accent, T.Accent);
    }

    void ScrollBar(Canvas& c, const std::string& s) {
        TRect look = R(s, "skinrect");
        bool vertical = look.Height() > look.Width();
        char back = vertical ? 'u' : 'l', fwd = vertical ? 'd' : 'r';
        c.Fill(look, T.Track);
        if (s == "bothhscrollbar") {  // the corner square where the bars meet
            TRect corner{look.Right - 16, look.Top, look.Right, look.Bottom};
            c.Fill(corner, T.Window);
        }
        auto button = [&](TRect r, char dir, State st) {
            if (r.IsEmpty()) return;
            c.Fill(r, T.Track);
            if (st != State::Normal)
                c.RoundBox({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, 3, st == State::Hover ? T.Hover : T.Down,
                           st == State::Hover ? T.Hover : T.Down);
            c.Arrow(r, dir, st == State::Down ? T.Accent : T.Arrow, 3.5);
        };
        button(Offset(R(s, "upbuttonrect"), look), back, State::Normal);
        button(Offset(R(s, "downbuttonrect"), look), fwd, State::Normal);
        button(R(s, "activeupbuttonrect"), back, State::Hover);
        button(R(s, "downupbuttonrect"), back, State::Down);
        button(R(s, "activedownbuttonrect"), fwd, State::Hover);
        button(R(s, "downdownbuttonrect"), fwd, State::Down);
        auto thumb = [&](TRect r, uint32_t fill) {
            if (r.IsEmpty()) return;
            c.Fill(r, T.Track);
            TRect inner = vertical ? TRect{r.Left + 3, r.Top + 1, r.Right - 3, r.Bottom - 1}
                                   : TRect{r.Left + 1, r.Top + 3, r.Right - 1, r.Bottom - 3};
            c.RoundBox(inner, 5, fill, fill);
        };
        thumb(R(s, "thumbrect"), T.Thumb);
        thumb(R(s, "activethumbrect"), T.ThumbHover);
        thumb(R(s, "downthumbrect"), T.ThumbDown);
        auto grip = [&](TRect r, uint32_t fill) {
            if (r.IsEmpty()) return;
            c.Fill(r, fill);
            for (int i = 0; i < 3; ++i) {
                if (vertical)
                    c.Fill({r.Left + 1, r.Top + i * 2, r.Right - 1, r.Top + i * 2 + 1}, T.Field);
                else
                    c.Fill({r.Left + i * 2, r.Top + 1, r.Left + i * 2 + 1, r.Bottom - 1}, T.Field);
            }
        };
        grip(R(s, "glyphrect"), T.Thumb);
        grip(R(s, "activeglyphrect"), T.ThumbHover);
        grip(R(s, "downglyphrect"), T.ThumbDown);
    }

    void SmallButton(Canvas& c, TRect r, State st, char dir) {
        if (r.IsEmpty()) return;
        uint32_t fill = st == State::Hover ? T.Hover : st == State::Down ? T.Down : T.Field;
        c.Fill(r, fill);
        c.Fill({r.Left, r.Top + 2, r.Left + 1, r.Bottom - 2}, T.FieldLine);
        c.Arrow(r, dir, st == State::Disabled ? T.DisabledText : st == State::Down ? T.Accent : T.Arrow, 3.5);
    }

    void Edit(Canvas& c, const std::string& s) {
        TRect look = R(s, "skinrect"), active = R(s, "activeskinrect");
        Field(c, look, false);
        Field(c, active, true);
        TRect place = R(s, "buttonrect");
        if (!place.IsEmpty()) {
            SmallButton(c, Offset(place, look), State::Normal, 'd');
            if (!active.IsEmpty()) SmallButton(c, Offset(place, active), State::Normal, 'd');
            SmallButton(c, R(s, "activebuttonrect"), State::Hover, 'd');
            SmallButton(c, R(s, "downbuttonrect"), State::Down, 'd');
            SmallButton(c, R(s, "unenabledbuttonrect"), State::Disabled, 'd');
        }
    }

    void Items(Canvas& c, const std::string& s) {
        auto item = [&](TRect r, uint32_t fill) {
            if (!r.IsEmpty()) c.Fill(r, fill);
        };
        item(R(s, "itemrect"), T.Field);
        item(R(s, "activeitemrect"), T.Hover);
        TRect focus = R(s, "focusitemrect");
        if (!focus.IsEmpty()) {
            c.Fill(focus, T.Field);
            c.RoundBox({focus.Left + 1, focus.Top, focus.Right - 1, focus.Bottom}, 3, T.Accent, T.Accent);
        }
    }

    void ListBox(Canvas& c, const std::string& s) {
        Field(c, R(s, "skinrect"), false);
        Items(c, s);
    }

    void ComboBox(Canvas& c, const std::string& s) {
        Edit(c, s);
        Items(c, s);
    }

    void Tab(Canvas& c, const std::string& s) {
        TRect page = R(s, "skinrect");
        c.Fill(page, T.Panel);
        c.RoundBox(page, 3, T.Panel, T.PanelLine);
        c.Fill(R(s, "tabsbgrect"), T.Window);
        auto tab = [&](TRect r, uint32_t fill, uint32_t line, bool accent) {
            if (r.IsEmpty()) return;
            c.Fill(r, T.Window);
            c.RoundBox(r, 5, fill, line, true);
            if (accent) c.Fill({r.Left + 6, r.Top + 1, r.Right - 6, r.Top + 3}, T.Accent);
        };
        tab(R(s, "tabrect"), T.Header, T.PanelLine, false);
        tab(R(s, "activetabrect"), T.Panel, T.PanelLine, true);
        tab(R(s, "mouseintabrect"), T.Hover, T.PanelLine, false);
    }

    void UpDown(Canvas& c, const std::string& s) {
        TRect look = R(s, "skinrect");
        bool vertical = look.Height() > look.Width();
        char up = vertical ? 'u' : 'r', down = vertical ? 'd' : 'l';
        auto button = [&](TRect r, State st, char dir) {
            if (r.IsEmpty()) return;
            uint32_t fill = st == State::Hover ? T.Hover : st == State::Down ? T.Down : T.Field;
            c.Fill(r, T.Panel);
            c.RoundBox(r, 2, fill, st == State::Normal ? T.FieldLine : T.Accent);
            c.Arrow(r, dir, st == State::Down ? T.Accent : T.Arrow, vertical ? 3 : 3);
        };
        button(Offset(R(s, "upbuttonrect"), look), State::Normal, up);
        button(Offset(R(s, "downbuttonrect"), look), State::Normal, down);
        button(R(s, "activeupbuttonrect"), State::Hover, up);
        button(R(s, "downupbuttonrect"), State::Down, up);
        button(R(s, "activedownbuttonrect"), State::Hover, down);
        button(R(s, "downdownbuttonrect"), State::Down, down);
    }

    // ---- popup menu, hint, menu items ----
    void Sheet(Canvas& c, uint32_t fill, uint32_t line) {
        int w = c.Image().Width, h = c.Image().Height;
        c.Fill({0, 0, w, h}, line);
        c.Fill({1, 1, w - 1, h - 1}, fill);
    }
    void MenuItem(Canvas& c, const std::string& s) {
        c.Fill(R(s, "skinrect"), T.Field);
        TRect active = R(s, "activeskinrect");
        c.Fill(active, T.Field);
        c.RoundBox({active.Left + 2, active.Top + 1, active.Right - 2, active.Bottom - 1}, 3, T.Accent, T.Accent);
        TRect divider = R(s, "dividerrect");
        c.Fill(divider, T.Field);
        int mid = (divider.Top + divider.Bottom) / 2;
        c.Fill({divider.Left, mid, divider.Right, mid + 1}, T.Divider);
    }

    const TvlSkinIni& FIni;
    const Theme& T;
    const double Scale;  // of the lengths the painter makes up itself
};

struct Element {
    std::string Name, Kind;
};

std::vector<Element> Elements(const TvlSkinIni& ini, const char* section) {
    std::vector<Element> list;
    for (const auto& [i, entry] : ini.ReadIndexedEntries(section, ini.ReadInteger(section, "count", 0))) {
        size_t colon = entry.find(':');
        if (colon != std::string::npos) list.push_back({entry.substr(0, colon), entry.substr(colon + 1)});
    }
    return list;
}

// The smallest picture that holds every rectangle an element takes from it,
// plus one spare row whose bottom-left pixel gives the transparent colour.
TRect Extent(const TvlSkinIni& ini, const std::vector<Element>& elements, int picture, const char* indexKey) {
    TRect e;
    for (const Element& el : elements) {
        if (ini.ReadInteger(el.Name, indexKey, -1) != picture) continue;
        for (const char* key : {"skinrect",
                                "activeskinrect",
                                "downskinrect",
                                "disabledskinrect",
                                "downrect",
                                "inactiveskinrect",
                                "restorerect",
                                "restoreactiverect",
                                "restoredownrect",
                                "restoreinactiverect",
                                "checkimagerect",
                                "uncheckimagerect",
                                "activecheckimagerect",
                                "activeuncheckimagerect",
                                "unenabledcheckimagerect",
                                "unenableduncheckimagerect",
                                "progressrect",
                                "activeupbuttonrect",
                                "downupbuttonrect",
                                "activedownbuttonrect",
                                "downdownbuttonrect",
                                "thumbrect",
                                "activethumbrect",
                                "downthumbrect",
                                "glyphrect",
                                "activeglyphrect",
                                "downglyphrect",
                                "activebuttonrect",
                                "downbuttonrect",
                                "unenabledbuttonrect",
                                "itemrect",
                                "activeitemrect",
                                "focusitemrect",
                                "tabrect",
                                "activetabrect",
                                "focustabrect",
                                "mouseintabrect",
                                "tabsbgrect",
                                "dividerrect"}) {
            // Places (relative rects) share some key names; only looks lie
            // inside the picture, and a place never reaches past its look.
            TRect r = ini.ReadRect(el.Name, key);
            if (r.IsEmpty()) continue;
            e.Right = std::max(e.Right, r.Right);
            e.Bottom = std::max(e.Bottom, r.Bottom);
        }
    }
    return e;
}

void WriteBmp(const std::filesystem::path& path, const TPixelImage& image) {
    std::ofstream out(path, std::ios::binary);
    std::string bytes = EncodeBmp(image);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The description with the dark theme's colours and name. The description's
// colour values (0x00BBGGRR) are replaced for text colours and background
// colours separately, since white text on the accent stays white while a
// white field turns dark.
std::string Retheme(const std::vector<std::string>& lines, const Theme& from, const Theme& to) {
    std::map<uint32_t, uint32_t> text, back;
    auto pair = [](std::map<uint32_t, uint32_t>& m, uint32_t a, uint32_t b) { m[ToSkin(a)] = ToSkin(b); };
    pair(text, from.Text, to.Text);
    pair(text, from.DimText, to.DimText);
    pair(text, from.Accent, to.Accent);
    pair(text, from.DisabledText, to.DisabledText);
    pair(text, from.OnAccent, to.OnAccent);
    pair(back, from.Field, to.Field);
    pair(back, from.FieldLine, to.FieldLine);
    std::string out;
    for (const std::string& raw : lines) {
        std::string line = raw;
        if (!line.empty() && line[0] == ';') continue;  // the comments describe Modern
        size_t eq = line.find('=');
        if (eq != std::string::npos) {
            std::string key = line.substr(0, eq);
            std::string value = line.substr(eq + 1);
            if (key == "skinname") line = key + "=" + to.Name;
            if (key == "skincomments") line = key + "=Flat dark skin with an amber accent";
            if (key.find("color") != std::string::npos && !value.empty() &&
                value.find_first_not_of("0123456789") == std::string::npos) {
                bool isBack = key.find("bgcolor") != std::string::npos || key == "lightcolor" || key == "darkcolor";
                auto& map = isBack ? back : text;
                auto it = map.find(static_cast<uint32_t>(std::stoul(value)));
                if (it != map.end()) line = key + "=" + std::to_string(it->second);
            }
        }
        out += line + "\r\n";
    }
    return out;
}

// Draws the skin of `lines` (the 96-DPI description) at `dpi` into `out`:
// the description scaled, the pictures painted at its scaled rectangles.
void Render(const std::string& text, const std::string& descriptionName, const Theme& theme, int dpi,
            const std::filesystem::path& out) {
    std::vector<std::string> lines = SplitLines(ScaleSkinDescription(text, dpi));
    TvlSkinIni ini(lines);
    std::filesystem::create_directories(out);
    Painter p(ini, theme, dpi / double(SkinBaseDpi));

    int frameW = ScaleSkinLength(160, dpi), frameH = ScaleSkinLength(100, dpi);
    Canvas frame(frameW, frameH, theme.Caption), mask(frameW, frameH, 0xFFFFFF);
    p.Frame(frame, mask);
    WriteBmp(out / ini.ReadString("PICTURES", "picture", "frame.bmp"), frame.Image());
    WriteBmp(out / ini.ReadString("PICTURES", "mask", "mask.bmp"), mask.Image());

    std::vector<Element> objects = Elements(ini, "SKINOBJECTS"), controls = Elements(ini, "SKINCONTROLS");
    std::vector<std::string> names = ini.ReadNameList("PICTURES", "activepictures");
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        TRect objectsExtent = Extent(ini, objects, index, "activepictureindex");
        TRect controlsExtent = Extent(ini, controls, index, "pictureindex");
        int w = std::max(objectsExtent.Right, controlsExtent.Right);
        int h = std::max(objectsExtent.Bottom, controlsExtent.Bottom) + ScaleSkinLength(2, dpi);
        bool popup = ini.ReadInteger("POPUPWINDOW", "windowpictureindex", -1) == index;
        bool hint = ini.ReadInteger("HINTWINDOW", "windowpictureindex", -1) == index;
        if (popup) w = h = ScaleSkinLength(60, dpi);
        if (hint) w = ScaleSkinLength(40, dpi), h = ScaleSkinLength(30, dpi);
        Canvas c(w, h, theme.Key);
        if (popup) p.Sheet(c, theme.Field, theme.MenuLine);
        if (hint) p.Sheet(c, theme.HintFill, theme.MenuLine);
        for (const Element& o : objects) {
            if (ini.ReadInteger(o.Name, "activepictureindex", -1) != index) continue;
            if (o.Kind == "stdbutton") p.CaptionButton(c, o.Name);
            if (o.Kind == "menuitem") p.MenuItem(c, o.Name);
        }
        for (const Element& e : controls) {
            if (ini.ReadInteger(e.Name, "pictureindex", -1) != index) continue;
            static const std::map<std::string, void (Painter::*)(Canvas&, const std::string&)> painters = {
                {"button", &Painter::ButtonControl},
                {"checkradio", &Painter::CheckRadio},
                {"panel", &Painter::Panel},
                {"label", &Painter::Panel},
                {"splitter", &Painter::Splitter},
                {"gauge", &Painter::Gauge},
                {"scrollbar", &Painter::ScrollBar},
                {"edit", &Painter::Edit},
                {"memo", &Painter::Edit},
                {"listbox", &Painter::ListBox},
                {"combobox", &Painter::ComboBox},
                {"tab", &Painter::Tab},
                {"updown", &Painter::UpDown}};
            auto it = painters.find(e.Kind);
            if (it != painters.end()) (p.*(it->second))(c, e.Name);
        }
        WriteBmp(out / names[index], c.Image());
    }

    std::ofstream description(out / descriptionName, std::ios::binary);
    if (&theme == &Graphite)
        description << Retheme(lines, Modern, Graphite);
    else
        for (const std::string& line : lines) description << line << "\r\n";
    if (!description) throw std::runtime_error("cannot write the description");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: skingen <description> <output folder> [modern|graphite]\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        std::stringstream text;
        text << in.rdbuf();
        const Theme& theme = argc > 3 && std::string(argv[3]) == "graphite" ? Graphite : Modern;
        std::filesystem::path out(argv[2]);
        std::string name = std::filesystem::path(argv[1]).filename().string();
        Render(text.str(), name, theme, SkinBaseDpi, out);
        // The same skin drawn for 150 % and 200 % displays, in the folders
        // skinpack appends to the package as scaled skins.
        for (int dpi : SkinGeneratedDpis) Render(text.str(), name, theme, dpi, out / ScaledSkinFolder(dpi));
    } catch (const std::exception& e) {
        std::cerr << "skingen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
