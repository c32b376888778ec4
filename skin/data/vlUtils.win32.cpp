#include <windows.h>

#include <algorithm>

#include "core/Gdi.h"
#include "core/WindowServices.h"
#include "skin/data/vlUtils.h"

namespace {

TRect FromRECT(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

bool PlatformVersion(int& major, int& minor) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return false;
    major = static_cast<int>(info.dwMajorVersion);
    minor = static_cast<int>(info.dwMinorVersion);
    return true;
}

}  // namespace

void DrawShapes(HDC dc, const std::vector<TvlShape>& shapes, uint32_t colour) {
    TGdiPen pen = CreatePenOwned(PS_SOLID, 1, colour);
    TGdiBrush brush = CreateSolidBrushOwned(colour);
    SelectGuard selected(dc, pen.Handle());
    for (const TvlShape& s : shapes) {
        RECT r{s.A.X, s.A.Y, s.B.X, s.B.Y};
        switch (s.Kind) {
            case TvlShape::Line:
                MoveToEx(dc, s.A.X, s.A.Y, nullptr);
                LineTo(dc, s.B.X, s.B.Y);
                break;
            case TvlShape::Frame: FrameRect(dc, &r, brush.Handle()); break;
            case TvlShape::Fill: FillRect(dc, &r, brush.Handle()); break;
        }
    }
}

void DrawDefaultGlyph(HDC dc, TvlGlyph glyph, int x, int y, uint32_t colour) {
    DrawShapes(dc, DefaultGlyphShapes(glyph, x, y), colour);
}

void DrawArrow(HDC dc, const TRect& rect, uint32_t colour, int direction) {
    DrawShapes(dc, ArrowShapes(rect, direction), colour);
}

void DrawGlyphFrame(HDC dc, int x, int y, int index, int count, TvlFBitmap& strip) {
    const TRect f = GlyphFrameRect(index, count, strip.Width(), strip.Height());
    if (f.IsEmpty() || !strip.Canvas()) return;
    const uint32_t key = strip.Pixel(f.Left, f.Bottom - 1);
    GdiTransparentBlt(dc, x, y, f.Width(), f.Height(), strip.Canvas(), f.Left, 0, f.Width(), f.Height(), key);
}

std::string FitTextWithEllipsis(HDC dc, const std::string& text, int width) {
    return FitTextWithEllipsis(text, width, [dc](const std::string& s) {
        SIZE size{};
        GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    });
}

void DrawTextVCentered(HDC dc, const std::string& text, const TRect& rect) {
    RECT r = ToRECT(rect);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void DrawTextInRect(HDC dc, const std::string& text, const TRect& rect, int indent) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT r = ToRECT(rect);
    ExtTextOutA(dc, rect.Left + indent + 2, rect.Top + (rect.Height() - size.cy) / 2, ETO_CLIPPED, &r, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
}

void DrawTiled(HDC dc, const TRect& area, const TvlPixelView& picture, const TRect& piece) {
    RECT shown;
    TRect part = area;
    if (GetClipBox(dc, &shown) != ERROR) part = Intersect(area, FromRECT(shown));
    if (part.IsEmpty()) return;
    TvlFBitmap tiles(part.Width(), part.Height());
    // The area in the piece's own coordinates keeps the tiles' phase.
    TilePiece(tiles, {area.Left - part.Left, area.Top - part.Top, area.Right - part.Left, area.Bottom - part.Top},
              picture, piece);
    tiles.DrawTo(dc, part.Left, part.Top);
}

void DrawParentBackground(HWND control, HDC dc) {
    HWND parent = control ? GetParent(control) : nullptr;
    if (!parent) return;
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    RECT client{};
    GetClientRect(parent, &client);
    SavedDCGuard saved(dc);
    OffsetViewportOrgEx(dc, -place.left, -place.top, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    // A top-level form only erases: its content is the controls themselves.
    if (GetWindowLongA(parent, GWL_STYLE) & WS_CHILD)
        SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

void SetWindowAlpha(HWND window, int alpha) {
    Service<TLayeredWindows>().SetAlpha(window, static_cast<BYTE>(std::clamp(alpha, 0, 255)));
}

bool SupportsLayeredWindows() {
    TLayeredWindows& layered = Service<TLayeredWindows>();
    // A stand-in answers for the platform, whatever its version.
    if (ServiceReplaced<TLayeredWindows>()) return layered.Supported();
    int major = 0, minor = 0;
    return PlatformVersion(major, minor) && LayeredWindowsVersion(major, minor) && layered.Supported();
}

bool IsVersion51() {
    int major = 0, minor = 0;
    return PlatformVersion(major, minor) && DropShadowVersion(major, minor);
}

TRect GetMonitorArea(HWND window, bool workArea) {
    return FromRECT(Service<TMonitorAreas>().MonitorArea(window, workArea));
}
