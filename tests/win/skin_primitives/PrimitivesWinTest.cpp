#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"
#include "tests/common/Pictures.h"

namespace {

// Messages a parent window received while a child's background was drawn.
struct TSeen {
    UINT Message;
    WPARAM DC;
    POINT Origin;
};
std::vector<TSeen> Seen;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PRINTCLIENT || message == WM_ERASEBKGND) {
        POINT origin{};
        GetViewportOrgEx(reinterpret_cast<HDC>(wParam), &origin);
        Seen.push_back({message, wParam, origin});
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* WindowClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PlandeskPrimitivesTest";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
        return "PlandeskPrimitivesTest";
    }();
    return name;
}

class TWindow {
public:
    TWindow(int width, int height, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0, HWND parent = nullptr,
            int x = 100, int y = 100)
        : FHandle(CreateWindowExA(exStyle, WindowClass(), "", style, x, y, width, height, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr)) {}
    ~TWindow() { DestroyWindow(FHandle); }
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    HWND Handle() const { return FHandle; }

private:
    HWND FHandle;
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

TEST(Win32Region, MaskRegionSetOnAWindowHoldsExactlyTheBlackPixels) {
    TvlFBitmap mask = RoundedMask(40, 30, 5);
    mask.SetPixel(20, 15, 0x000001);  // nearly black is outside
    HRGN region = MaskToRegion(mask);
    ASSERT_NE(region, nullptr);
    TWindow window(40, 30);
    ASSERT_NE(window.Handle(), nullptr);
    ASSERT_NE(SetWindowRgn(window.Handle(), region, TRUE), 0);  // the window owns it now
    Pump();
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(window.Handle(), got), COMPLEXREGION);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(PtInRegion(got, x, y) != 0, mask.Pixel(x, y) == 0) << x << "," << y;
    EXPECT_FALSE(PtInRegion(got, 0, 0));
    EXPECT_TRUE(PtInRegion(got, 10, 10));
    EXPECT_FALSE(PtInRegion(got, 20, 15));
    DeleteObject(got);
    EXPECT_EQ(MaskToRegion(TvlPixelView()), nullptr);
}

TEST(Win32Region, FrameRegionFollowsTheWindowSize) {
    TvlFBitmap mask = RoundedMask(20, 16, 3);
    const TvlFrameCuts cuts{{5, 5}, {15, 5}, {5, 11}, {15, 11}, {4, 4, 16, 12}};
    const int W = 90, H = 70;
    const TvlFrameCuts target = FitFrameCuts(cuts, 20, 16, W, H);
    HRGN region = ComposeFrameRegion(mask, cuts, W, H, target);
    ASSERT_NE(region, nullptr);
    TWindow window(W, H);
    SetWindowRgn(window.Handle(), region, TRUE);
    Pump();
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(window.Handle(), got);
    std::vector<TRect> rects = RegionDataRects(ComposeFrameRegionData(mask, cuts, W, H, target));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            bool inData = false;
            for (const TRect& r : rects) inData |= x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            ASSERT_EQ(PtInRegion(got, x, y) != 0, inData) << x << "," << y;
        }
    // The rounded corners moved to the window's corners; the middle is in.
    EXPECT_FALSE(PtInRegion(got, 0, 0));
    EXPECT_FALSE(PtInRegion(got, W - 1, H - 1));
    EXPECT_TRUE(PtInRegion(got, W - 4, H - 4));
    EXPECT_TRUE(PtInRegion(got, W / 2, H / 2));
    EXPECT_TRUE(PtInRegion(got, W / 2, 0));
    DeleteObject(got);
    // Smaller than the skin's fixed parts: no region.
    EXPECT_EQ(ComposeFrameRegion(mask, cuts, 8, H, FitFrameCuts(cuts, 20, 16, 8, H)), nullptr);
}

TEST(Win32Bitmap, ComposedBitmapReachesTheWindowInOneCopy) {
    const int W = 64, H = 48;
    TvlFBitmap pic = Labelled(12, 10);
    const TvlFrameCuts cuts{{3, 3}, {9, 3}, {3, 7}, {9, 7}, {3, 3, 9, 7}};
    TvlFBitmap composed;
    ComposeTiledImage(cuts, {0, 0, 12, 10}, pic, W, H, FitFrameCuts(cuts, 12, 10, W, H), true, composed);
    ASSERT_NE(composed.Handle(), nullptr);  // the pixels live in a DIB section
    TWindow window(W, H);
    Pump();
    HDC dc = GetDC(window.Handle());
    composed.DrawTo(dc, 0, 0);
    TvlFBitmap back(W, H);
    BitBlt(back.Canvas(), 0, 0, W, H, dc, 0, 0, SRCCOPY);
    GdiFlush();
    ReleaseDC(window.Handle(), dc);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) ASSERT_EQ(back.Pixel(x, y), composed.Pixel(x, y)) << x << "," << y;
}

TEST(Win32Bitmap, TilesDrawnInsideAClipBoxKeepTheirPhase) {
    const int W = 50, H = 40;
    TvlFBitmap pic = Labelled(12, 10);
    const TRect piece{2, 1, 9, 8};
    TvlFBitmap whole(W, H);
    TilePiece(whole, {0, 0, W, H}, pic.View(), piece);
    // Clipped: only the clip box is drawn, each pixel as the whole tiling has it.
    const uint32_t untouched = 0x123456;
    TvlFBitmap clipped(W, H);
    clipped.Fill(untouched);
    HDC dc = clipped.Canvas();
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 13, 7, 41, 33);
    DrawTiled(dc, {0, 0, W, H}, pic.View(), piece);
    RestoreDC(dc, saved);
    GdiFlush();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            bool inside = x >= 13 && x < 41 && y >= 7 && y < 33;
            ASSERT_EQ(clipped.Pixel(x, y), inside ? whole.Pixel(x, y) : untouched) << x << "," << y;
        }
    // A buffer for part of a window, its origin moved to the part's corner.
    TvlFBitmap part(28, 26);
    SetViewportOrgEx(part.Canvas(), -13, -7, nullptr);
    DrawTiled(part.Canvas(), {0, 0, W, H}, pic.View(), piece);
    GdiFlush();
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 28; ++x) ASSERT_EQ(part.Pixel(x, y), whole.Pixel(13 + x, 7 + y)) << x << "," << y;
}

TEST(Win32Bitmap, CreateFromBitmapCopiesAPlatformBitmap) {
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 7, 5);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, ddb);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) SetPixel(mem, x, y, Label(x, y));
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    TvlEffectBmp copy;
    copy.CreateFromBitmap(ddb);
    DeleteObject(ddb);
    ASSERT_EQ(copy.Width(), 7);
    ASSERT_EQ(copy.Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(copy.Pixel(x, y), Label(x, y)) << x << "," << y;
    copy.CreateFromBitmap(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(Win32Glyphs, PortableStrokesMatchThePlatformsLines) {
    const TvlGlyph glyphs[] = {TvlGlyph::Close,        TvlGlyph::Minimize, TvlGlyph::Maximize, TvlGlyph::Restore,
                               TvlGlyph::SystemMenu,   TvlGlyph::RollUp,   TvlGlyph::RollDown, TvlGlyph::MinimizeToTray,
                               TvlGlyph::FilledSquare, TvlGlyph::CheckMark};
    for (TvlGlyph glyph : glyphs) {
        TvlFBitmap platform(16, 16), portable(16, 16);
        DrawDefaultGlyph(platform.Canvas(), glyph, 2, 3, 0x3050F0);
        GdiFlush();
        DrawDefaultGlyph(portable, glyph, 2, 3, 0x3050F0);
        EXPECT_EQ(platform, portable) << static_cast<int>(glyph);
    }
    for (int direction = 1; direction <= 4; ++direction) {
        TvlFBitmap platform(16, 16), portable(16, 16);
        DrawArrow(platform.Canvas(), {1, 2, 14, 13}, 0xFFFFFF, direction);
        GdiFlush();
        DrawArrow(portable, {1, 2, 14, 13}, 0xFFFFFF, direction);
        EXPECT_EQ(platform, portable) << direction;
    }
}

TEST(Win32Glyphs, GlyphFrameLeavesItsKeyColourTransparent) {
    TvlFBitmap strip = KeyedGlyphStrip();
    TvlFBitmap dest(4, 4);
    dest.Fill(0x111111);
    DrawGlyphFrame(dest.Canvas(), 1, 1, 2, 3, strip);
    GdiFlush();
    TvlFBitmap portable(4, 4);
    portable.Fill(0x111111);
    DrawGlyphFrame(portable, 1, 1, 2, 3, strip);
    EXPECT_EQ(dest, portable);
    EXPECT_EQ(dest.Pixel(2, 1), 0x111111u);
    EXPECT_EQ(dest.Pixel(1, 1), Label(2, 0));
}

TEST(Win32Text, FittedTextFitsAndDrawingStaysInsideItsRect) {
    TvlFBitmap canvas(200, 40);
    HDC dc = canvas.Canvas();
    HFONT font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    const std::string text = "A rather long caption for a small button";
    SIZE full{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &full);
    EXPECT_EQ(FitTextWithEllipsis(dc, text, full.cx), text);
    std::string fitted = FitTextWithEllipsis(dc, text, 80);
    ASSERT_GE(fitted.size(), 3u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    SIZE size{};
    GetTextExtentPoint32A(dc, fitted.c_str(), static_cast<int>(fitted.size()), &size);
    EXPECT_LE(size.cx, 80);
    EXPECT_EQ(text.compare(0, fitted.size() - 3, fitted, 0, fitted.size() - 3), 0);

    canvas.Fill(0xFFFFFF);
    SetTextColor(dc, 0);
    SetBkMode(dc, TRANSPARENT);
    DrawTextInRect(dc, text, {20, 5, 70, 35}, 4);
    DrawTextVCentered(dc, text, {100, 10, 150, 30});
    GdiFlush();
    int inside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            bool inA = x >= 26 && x < 70 && y >= 5 && y < 35, inB = x >= 100 && x < 150 && y >= 10 && y < 30;
            if (canvas.Pixel(x, y) != 0xFFFFFF) {
                ASSERT_TRUE(inA || inB) << x << "," << y;
                ++inside;
            }
        }
    EXPECT_GT(inside, 0);
    SelectObject(dc, old);
    DeleteObject(font);
}

TEST(Win32Parent, ParentBackgroundIsDrawnAtTheChildsPlace) {
    TWindow top(200, 150);
    TWindow panel(150, 100, WS_CHILD | WS_VISIBLE, 0, top.Handle(), 5, 6);
    TWindow child(40, 30, WS_CHILD | WS_VISIBLE, 0, panel.Handle(), 10, 20);
    Pump();
    TvlFBitmap canvas(40, 30);
    HDC dc = canvas.Canvas();
    Seen.clear();
    DrawParentBackground(child.Handle(), dc);
    // A parent that is a child window paints, then erases; both at the
    // child's offset.
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0].Message, static_cast<UINT>(WM_PRINTCLIENT));
    EXPECT_EQ(Seen[1].Message, static_cast<UINT>(WM_ERASEBKGND));
    for (const TSeen& s : Seen) {
        EXPECT_EQ(s.DC, reinterpret_cast<WPARAM>(dc));
        EXPECT_EQ(s.Origin.x, -10);
        EXPECT_EQ(s.Origin.y, -20);
    }
    POINT origin{1, 1};
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);  // the canvas is restored
    EXPECT_EQ(origin.y, 0);
    // A top-level parent only erases.
    Seen.clear();
    DrawParentBackground(panel.Handle(), dc);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Message, static_cast<UINT>(WM_ERASEBKGND));
    EXPECT_EQ(Seen[0].Origin.x, -5);
    Seen.clear();
    DrawParentBackground(top.Handle(), dc);
    EXPECT_TRUE(Seen.empty());
}

TEST(Win32Platform, VersionTestsMonitorAreaAndAlpha) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(SupportsLayeredWindows(), LayeredWindowsVersion(info.dwMajorVersion, info.dwMinorVersion));
    EXPECT_EQ(IsVersion51(), info.dwMajorVersion == 5 && info.dwMinorVersion == 1);
    EXPECT_GE(info.dwMajorVersion, 6u);  // the test prefix reports a modern version
    EXPECT_FALSE(SupportsLayeredWindows());

    TWindow window(50, 40, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
    if (GetSystemMetrics(SM_CMONITORS) == 1) {
        EXPECT_EQ(GetMonitorArea(window.Handle(), false),
                  (TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_EQ(GetMonitorArea(window.Handle(), true), (TRect{work.left, work.top, work.right, work.bottom}));
    }
    SetWindowAlpha(window.Handle(), 128);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window.Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);
}
