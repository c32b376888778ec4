#pragma once
// The skin engine's shared drawing toolbox: compositions and regions (their
// own headers), glyph frames, text fitting, the small vector glyphs drawn
// when no skin supplies a look, arrows, calendar arithmetic and the platform
// helpers for transparency, version tests and monitor areas.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlRegion.h"

#ifdef _WIN32
struct HDC__;
struct HWND__;
#endif

// ---- Glyphs and arrows -------------------------------------------------

// One stroke of a vector glyph: a line from A to B that includes A and
// excludes B, a rectangle outline, or a filled rectangle (A = left/top,
// B = right/bottom, exclusive).
struct TvlShape {
    enum TKind { Line, Frame, Fill };
    TKind Kind = Line;
    TPoint A;
    TPoint B;
    bool operator==(const TvlShape&) const = default;
};

enum class TvlGlyph {
    Close,
    Minimize,
    Maximize,
    Restore,
    SystemMenu,
    RollUp,
    RollDown,
    MinimizeToTray,
    FilledSquare,
    CheckMark,
};

// The strokes of a default glyph whose cell's top-left corner is (x, y).
std::vector<TvlShape> DefaultGlyphShapes(TvlGlyph glyph, int x, int y);
// The strokes of an arrow centred in rect; direction 1 points left, 2 right,
// 3 up, 4 down; any other direction has no strokes.
std::vector<TvlShape> ArrowShapes(const TRect& rect, int direction);

// Draws strokes into a bitmap, cut at its border.
void DrawShapes(TvlFBitmap& dest, const std::vector<TvlShape>& shapes, uint32_t colour);
void DrawDefaultGlyph(TvlFBitmap& dest, TvlGlyph glyph, int x, int y, uint32_t colour);
void DrawArrow(TvlFBitmap& dest, const TRect& rect, uint32_t colour, int direction);

// Draws frame `index` (1-based) of a strip of `count` equal frames side by
// side at (x, y); pixels of the frame's bottom-left colour are transparent.
// An empty strip, a count below 1 or an index outside 1 … count draws nothing.
void DrawGlyphFrame(TvlFBitmap& dest, int x, int y, int index, int count, const TvlPixelView& strip);
// The frame's rect within the strip (empty when nothing would be drawn).
TRect GlyphFrameRect(int index, int count, int stripWidth, int stripHeight);

// ---- Text ---------------------------------------------------------------

// When text is wider than width, removes characters from its end until the
// rest followed by "..." fits (or the rest is empty) and appends "...";
// otherwise returns it unchanged. textWidth measures a text.
std::string FitTextWithEllipsis(const std::string& text, int width,
                                const std::function<int(const std::string&)>& textWidth);

// ---- Calendar -----------------------------------------------------------

// Dates are serial day numbers: day 0 is 30 December 1899, the fraction is
// the time of day.
void vlDecodeDate(double date, int& year, int& month, int& day);
int vlYearOf(double date);
int vlMonthOf(double date);
int vlDayOf(double date);
// Divisible by 4 and not by 100, or divisible by 400.
bool vlIsLeapYear(int year);
// Days of month 1 … 12 (29 for February of a leap year); 0 for any other
// month number.
int vlDaysPerMonth(int year, int month);

// ---- Platform versions --------------------------------------------------

// Transparency of the skinned windows is applied only on platform versions
// 5.0, 5.1 and 5.2.
bool LayeredWindowsVersion(int major, int minor);
// The hint window asks for a drop shadow only on version 5.1.
bool DropShadowVersion(int major, int minor);

#ifdef _WIN32
// ---- Platform helpers (vlUtils.win32.cpp) ------------------------------

void DrawShapes(HDC__* dc, const std::vector<TvlShape>& shapes, uint32_t colour);
void DrawDefaultGlyph(HDC__* dc, TvlGlyph glyph, int x, int y, uint32_t colour);
void DrawArrow(HDC__* dc, const TRect& rect, uint32_t colour, int direction);
// The platform's transparent copy of one frame of the strip.
void DrawGlyphFrame(HDC__* dc, int x, int y, int index, int count, TvlFBitmap& strip);

// With the device context's current font.
std::string FitTextWithEllipsis(HDC__* dc, const std::string& text, int width);
// One line, vertically centred, left-aligned.
void DrawTextVCentered(HDC__* dc, const std::string& text, const TRect& rect);
// Clipped to rect, at x = rect.left + indent + 2, vertically centred.
void DrawTextInRect(HDC__* dc, const std::string& text, const TRect& rect, int indent);

// Tiles `piece` of `picture` over `area` of dc, the tiles starting at the
// area's top-left corner. Only the part inside dc's clip box is composed: a
// window mostly covered by its children tiles only what shows.
void DrawTiled(HDC__* dc, const TRect& area, const TvlPixelView& picture, const TRect& piece);

// Paints the parent window's background and content behind a child window
// into dc (the child's own client coordinates). Nothing without a parent.
void DrawParentBackground(HWND__* control, HDC__* dc);

// Sets a layered window's constant alpha (the caller gave it the layered
// extended style); nothing where the platform lacks the function.
void SetWindowAlpha(HWND__* window, int alpha);
bool SupportsLayeredWindows();
bool IsVersion51();
// The nearest monitor's work area (workArea) or full area when there is more
// than one monitor; otherwise the desktop work area or the whole screen.
TRect GetMonitorArea(HWND__* window, bool workArea);
#endif
