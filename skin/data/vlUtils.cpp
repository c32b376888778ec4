#include "skin/data/vlUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

TvlShape Line(int x0, int y0, int x1, int y1) { return {TvlShape::Line, {x0, y0}, {x1, y1}}; }
TvlShape Frame(int l, int t, int r, int b) { return {TvlShape::Frame, {l, t}, {r, b}}; }
TvlShape Fill(int l, int t, int r, int b) { return {TvlShape::Fill, {l, t}, {r, b}}; }

void PutPixel(TvlFBitmap& dest, int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < dest.Width() && y < dest.Height()) dest.SetPixel(x, y, colour);
}

void FillRect(TvlFBitmap& dest, TRect r, uint32_t colour) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, dest.Width());
    r.Bottom = std::min(r.Bottom, dest.Height());
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) dest.SetPixel(x, y, colour);
}

// Bresenham's line without its end point, as the platform draws lines; the
// glyphs use only horizontal, vertical and 45-degree lines, which every
// rasteriser draws alike.
void DrawLine(TvlFBitmap& dest, TPoint a, TPoint b, uint32_t colour) {
    const int dx = std::abs(b.X - a.X), dy = std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    const int steps = std::max(dx, dy);
    int err = dx - dy, x = a.X, y = a.Y;
    for (int i = 0; i < steps; ++i) {
        PutPixel(dest, x, y, colour);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

void Civil(int64_t days, int& year, int& month, int& day) {
    // Days since 1 March of year 0 in the proleptic Gregorian calendar.
    int64_t z = days + 693899;  // 30 December 1899 is day 693899 of that count
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

std::vector<TvlShape> DefaultGlyphShapes(TvlGlyph glyph, int x0, int y0) {
    const int x = vlClampCoord(x0), y = vlClampCoord(y0);
    std::vector<TvlShape> s;
    switch (glyph) {
        case TvlGlyph::Close:
            s = {Line(x + 1, y + 1, x + 9, y + 9), Line(x + 9, y + 1, x + 1, y + 9), Line(x + 2, y + 1, x + 10, y + 9),
                 Line(x + 8, y + 1, x, y + 9)};
            break;
        case TvlGlyph::Minimize: s = {Line(x + 1, y + 8, x + 9, y + 8), Line(x + 1, y + 9, x + 9, y + 9)}; break;
        case TvlGlyph::Maximize: s = {Frame(x, y, x + 11, y + 10), Frame(x, y, x + 11, y + 2)}; break;
        case TvlGlyph::Restore:
            s = {Frame(x + 2, y, x + 10, y + 6), Frame(x + 2, y, x + 10, y + 2), Frame(x, y + 4, x + 7, y + 10),
                 Frame(x, y + 4, x + 7, y + 6)};
            break;
        case TvlGlyph::SystemMenu: s = {Frame(x + 1, y + 3, x + 9, y + 6)}; break;
        case TvlGlyph::RollUp:
            for (int i = 0; i <= 4; ++i) s.push_back(Line(x + 1 + i, y + 6 - i, x + 9 - i, y + 6 - i));
            break;
        case TvlGlyph::RollDown:
            for (int i = 0; i <= 4; ++i) s.push_back(Line(x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i));
            break;
        case TvlGlyph::MinimizeToTray: s = {Fill(x + 2, y + 2, x + 7, y + 7)}; break;
        case TvlGlyph::FilledSquare: s = {Fill(x, y, x + 6, y + 6)}; break;
        case TvlGlyph::CheckMark:
            for (int i = 0; i <= 2; ++i) {
                s.push_back(Line(x, y + 5 - i, x + 2, y + 7 - i));
                s.push_back(Line(x + 2, y + 7 - i, x + 7, y + 2 - i));
            }
            break;
    }
    return s;
}

std::vector<TvlShape> ArrowShapes(const TRect& r, int direction) {
    const TRect rect = vlClampRect(r);
    const int cx = rect.Left + rect.Width() / 2, cy = rect.Top + rect.Height() / 2;
    std::vector<TvlShape> s;
    switch (direction) {
        case 1:
            for (int i = 0; i <= 3; ++i) s.push_back(Line(cx - 2 + i, cy - i, cx - 2 + i, cy + i + 1));
            break;
        case 2:
            for (int n = 3; n >= 0; --n) s.push_back(Line(cx + 2 - n, cy + n, cx + 2 - n, cy - n - 1));
            break;
        case 3:
            for (int i = 0; i <= 3; ++i) s.push_back(Line(cx - i, cy - 2 + i, cx + i + 1, cy - 2 + i));
            break;
        case 4:
            for (int n = 3; n >= 0; --n) s.push_back(Line(cx - n, cy + 2 - n, cx + n + 1, cy + 2 - n));
            break;
        default: break;
    }
    return s;
}

void DrawShapes(TvlFBitmap& dest, const std::vector<TvlShape>& shapes, uint32_t colour) {
    for (const TvlShape& s : shapes) {
        switch (s.Kind) {
            case TvlShape::Line: DrawLine(dest, s.A, s.B, colour); break;
            case TvlShape::Frame: {
                const TRect r{s.A.X, s.A.Y, s.B.X, s.B.Y};
                if (r.IsEmpty()) break;
                FillRect(dest, {r.Left, r.Top, r.Right, r.Top + 1}, colour);
                FillRect(dest, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, colour);
                FillRect(dest, {r.Left, r.Top, r.Left + 1, r.Bottom}, colour);
                FillRect(dest, {r.Right - 1, r.Top, r.Right, r.Bottom}, colour);
                break;
            }
            case TvlShape::Fill: FillRect(dest, {s.A.X, s.A.Y, s.B.X, s.B.Y}, colour); break;
        }
    }
}

void DrawDefaultGlyph(TvlFBitmap& dest, TvlGlyph glyph, int x, int y, uint32_t colour) {
    DrawShapes(dest, DefaultGlyphShapes(glyph, x, y), colour);
}

void DrawArrow(TvlFBitmap& dest, const TRect& rect, uint32_t colour, int direction) {
    DrawShapes(dest, ArrowShapes(rect, direction), colour);
}

TRect GlyphFrameRect(int index, int count, int stripWidth, int stripHeight) {
    if (count < 1 || index < 1 || index > count || stripWidth <= 0 || stripHeight <= 0) return {};
    const int w = stripWidth / count;
    return {(index - 1) * w, 0, index * w, stripHeight};
}

void DrawGlyphFrame(TvlFBitmap& dest, int x, int y, int index, int count, const TvlPixelView& strip) {
    if (strip.Empty()) return;
    const TRect f = GlyphFrameRect(index, count, strip.Width, strip.Height);
    if (f.IsEmpty()) return;
    const uint8_t* key = strip.Row(f.Bottom - 1) + f.Left * 3;
    const uint8_t kb = key[0], kg = key[1], kr = key[2];
    for (int r = 0; r < f.Height(); ++r) {
        const int64_t dy = int64_t{y} + r;
        if (dy < 0 || dy >= dest.Height()) continue;
        const uint8_t* src = strip.Row(r) + f.Left * 3;
        uint8_t* out = dest.Row(static_cast<int>(dy));
        for (int c = 0; c < f.Width(); ++c) {
            const int64_t dx = int64_t{x} + c;
            const uint8_t* p = src + c * 3;
            if (dx < 0 || dx >= dest.Width() || (p[0] == kb && p[1] == kg && p[2] == kr)) continue;
            std::memcpy(out + dx * 3, p, 3);
        }
    }
}

std::string FitTextWithEllipsis(const std::string& text, int width,
                                const std::function<int(const std::string&)>& textWidth) {
    if (textWidth(text) <= width) return text;
    std::string rest = text;
    while (!rest.empty() && textWidth(rest + "...") > width) rest.pop_back();
    return rest + "...";
}

void vlDecodeDate(double date, int& year, int& month, int& day) {
    // Beyond a few million years the serial number means nothing; hold it.
    const double days = std::isfinite(date) ? std::clamp(std::floor(date), -1e9, 1e9) : 0.0;
    Civil(static_cast<int64_t>(days), year, month, day);
}

int vlYearOf(double date) {
    int y, m, d;
    vlDecodeDate(date, y, m, d);
    return y;
}

int vlMonthOf(double date) {
    int y, m, d;
    vlDecodeDate(date, y, m, d);
    return m;
}

int vlDayOf(double date) {
    int y, m, d;
    vlDecodeDate(date, y, m, d);
    return d;
}

bool vlIsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int vlDaysPerMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && vlIsLeapYear(year) ? 29 : days[month - 1];
}

bool LayeredWindowsVersion(int major, int minor) { return major == 5 && minor >= 0 && minor <= 2; }

bool DropShadowVersion(int major, int minor) { return major == 5 && minor == 1; }
