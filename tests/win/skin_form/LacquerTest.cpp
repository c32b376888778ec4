// The skinned window frame on real windows: attaching to the form, the
// built-in and the skinned frame's geometry, hit codes, region and pictures,
// window states, caption objects and their mouse handling, skin changes and
// the timers. What Wine cannot show (monitor areas, layered windows, the
// move loop) goes through the frame's seams or is sent directly.
#include <gtest/gtest.h>
#include <windows.h>
#include <intrin.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/data/vlSkinData.h"
#include "skin/form/Lacquer.h"
#include "tests/win/skin_form/FrameFixture.h"
#include "skin/controls/vlSkinRelay.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

namespace {

// The GDI objects of this process. The platform's own count (a stub under
// Wine) when it gives one, else the used entries of the process's GDI handle
// table, which the process environment block points at.
int GdiObjectCount() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return static_cast<int>(counted);
    auto* peb = reinterpret_cast<const uint8_t*>(__readgsqword(0x60));            // the x64 TEB's PEB
    const uint8_t* table = *reinterpret_cast<const uint8_t* const*>(peb + 0xF8);  // GdiSharedHandleTable
    if (!table) return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i * 24 + 14] != 0) ++used;  // the entry's object type
    return used;
}

class Frame : public FrameFormTest {
protected:
    // A shown form with a frame whose system menu answers at once.
    TvlLacquer* MakeFrame(bool skinned, TBorderStyle border = bsSizeable, int w = 400, int h = 300) {
        return ShowFramedForm("Frame test", skinned, border, w, h, [this](TvlLacquer* frame) {
            frame->Menus()->SystemMenuPopup = [this](const std::vector<TvlSysMenuItem>& items, POINT at) {
                MenuItems = items;
                MenuPoint = at;
                ++MenuShown;
                return MenuAnswer;
            };
        });
    }

    static LPARAM ScreenAt(TvlLacquer* f, int x, int y) {
        RECT r = Bounds(f);
        return MAKELPARAM(r.left + x, r.top + y);
    }
    static TvlActiveSkinObject* Object(TvlLacquer* f, const std::string& id) {
        for (auto& o : f->Objects())
            if (o->IDName == id) return o.get();
        return nullptr;
    }
    static void Activate(TvlLacquer* f, bool active) {
        SendMessageA(f->Form()->Handle(), WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    }
    // A skinned frame in the foreground, where the real mouse reaches it.
    TvlLacquer* ForegroundFrame() {
        TvlLacquer* frame = MakeFrame(true);
        SetForegroundWindow(frame->Form()->Handle());
        ui::Pump(30);
        return frame;
    }
    // Activates the frame and puts the pointer over its close button.
    static TvlActiveSkinObject* HoverClose(TvlLacquer* f) {
        Activate(f, true);
        auto* close = Object(f, "closebutton");
        f->UpdateActiveObject(close->ObjectRect.Left + 2, close->ObjectRect.Top + 2, true);
        return close;
    }

    std::vector<TvlSysMenuItem> MenuItems;
    POINT MenuPoint{};
    int MenuShown = 0;
    std::string MenuAnswer;
};

TEST_F(Frame, AttachesByWrappingAndGivesTheFormBackWhenDestroyed) {
    TvlLacquer* frame = MakeFrame(false);
    HWND w = frame->Form()->Handle();
    EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
    RECT r = Bounds(frame), client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, (r.right - r.left) - 6);
    EXPECT_EQ(client.bottom, (r.bottom - r.top) - 19 - 6);
    // A frame created after the window exists strips the caption at once.
    auto* late = new TForm(Application, "Late", 200, 100, bsSizeable, 0);
    Forms.push_back(late);
    late->Show();
    ASSERT_NE(GetWindowLongA(late->Handle(), GWL_STYLE) & WS_CAPTION, 0);
    auto* lateFrame = new TvlLacquer(late);
    EXPECT_EQ(GetWindowLongA(late->Handle(), GWL_STYLE) & WS_CAPTION, 0);
    delete lateFrame;
    EXPECT_EQ(GetWindowLongA(late->Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    RECT lr;
    GetWindowRect(late->Handle(), &lr);
    // Unhooked: the platform answers the hit test again.
    EXPECT_NE(SendMessageA(late->Handle(), WM_NCHITTEST, 0, MAKELPARAM(lr.left + 1, lr.top + 1)), HTOBJECT);
    // Only a form can carry a frame.
    TComponent plain(nullptr);
    EXPECT_THROW(TvlLacquer bad(&plain), Exception);
}

TEST_F(Frame, BuiltInFrameHitCodesButtonsAndPicture) {
    TvlLacquer* frame = MakeFrame(false);
    RECT r = Bounds(frame);
    int W = r.right - r.left, H = r.bottom - r.top;
    EXPECT_FALSE(frame->SkinActive());
    EXPECT_FALSE(frame->HasRegion());
    EXPECT_EQ(Hit(frame, 1, 100), HTLEFT);
    EXPECT_EQ(Hit(frame, 1, 1), HTTOPLEFT);
    EXPECT_EQ(Hit(frame, W - 1, 1), HTTOPRIGHT);
    EXPECT_EQ(Hit(frame, 1, H - 1), HTBOTTOMLEFT);
    EXPECT_EQ(Hit(frame, W - 2, H - 2), HTBOTTOMRIGHT);
    EXPECT_EQ(Hit(frame, 200, 1), HTTOP);
    EXPECT_EQ(Hit(frame, W - 1, 100), HTRIGHT);
    EXPECT_EQ(Hit(frame, 200, H - 1), HTBOTTOM);
    EXPECT_EQ(Hit(frame, 100, 20), HTOBJECT);  // between caption and client
    EXPECT_EQ(Hit(frame, 100, 10), HTCAPTION);
    EXPECT_EQ(Hit(frame, 100, 100), HTCLIENT);
    // Buttons from the right: close, maximize, minimize, roll-up; no tray.
    auto* close = Object(frame, "closebutton");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->ObjectRect, (TRect{W - 20, 4, W - 3, 21}));
    EXPECT_EQ(Object(frame, "maxbutton")->ObjectRect.Left, W - 37);
    EXPECT_EQ(Object(frame, "rollupbutton")->ObjectRect.Left, W - 71);
    EXPECT_FALSE(Object(frame, "traybutton")->Visible);
    EXPECT_EQ(Hit(frame, W - 10, 10), HTOBJECT);
    // The picture: three rings, the stripes, the face behind the buttons.
    Activate(frame, true);
    frame->UpdateActiveObject(-1, -1, true);
    SendMessageA(frame->Form()->Handle(), WM_NCPAINT, 1, 0);
    const TvlFBitmap& pic = frame->FrameBitmap();
    ASSERT_EQ(pic.Width(), W);
    EXPECT_EQ(pic.Pixel(0, 0), ColorToRGB(clSysBase | COLOR_3DLIGHT));
    EXPECT_EQ(pic.Pixel(W - 1, H - 1), ColorToRGB(clSysBase | COLOR_3DDKSHADOW));
    EXPECT_EQ(pic.Pixel(1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(pic.Pixel(W - 2, 50), ColorToRGB(clBtnShadow));
    EXPECT_EQ(pic.Pixel(2, 50), ColorToRGB(clBtnFace));
    // The stripes begin 2 pixels right of the system-menu button.
    EXPECT_EQ(Object(frame, "sysmenubutton")->ObjectRect, (TRect{3, 4, 20, 21}));
    EXPECT_EQ(pic.Pixel(21, 5), ColorToRGB(clBtnFace));
    EXPECT_EQ(pic.Pixel(22, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(pic.Pixel(22, 6), ColorToRGB(clBtnShadow));
    EXPECT_EQ(pic.Pixel(22, 3 + 19 - 4), ColorToRGB(clBtnShadow));  // the last, y = ch - 4
    EXPECT_EQ(pic.Pixel(22, 3 + 19 - 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(pic.Pixel(W - 20, 4), ColorToRGB(clBtnFace));  // close button, not hovered
    EXPECT_EQ(pic.Pixel(W - 19, 5), ColorToRGB(clBtnFace));
    // Hovered: a navy border around the blue-grey face.
    frame->UpdateActiveObject(W - 10, 10, true);
    SendMessageA(frame->Form()->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(frame->FrameBitmap().Pixel(W - 20, 4), 0x800000u);
    EXPECT_EQ(frame->FrameBitmap().Pixel(W - 19, 5), 13811126u);
    frame->UpdateActiveObject(-1, -1, true);
    // A maximized window has no sizing zones.
    frame->SetFrameWindowState(fwsMaximized);
    EXPECT_EQ(Hit(frame, 1, 100), HTOBJECT);
    EXPECT_EQ(Hit(frame, 1, 1), HTOBJECT);
    frame->SetFrameWindowState(fwsNormal);
    // Border icons filter the built-in buttons; close always stays.
    frame->SetBorderIcons(vlbiSystemMenu);
    EXPECT_TRUE(Object(frame, "closebutton")->Visible);
    EXPECT_TRUE(Object(frame, "sysmenubutton")->Visible);
    EXPECT_FALSE(Object(frame, "maxbutton")->Visible);
    EXPECT_FALSE(Object(frame, "minbutton")->Visible);
    EXPECT_FALSE(Object(frame, "rollupbutton")->Visible);
}

TEST_F(Frame, SkinnedGeometryHitCodesForEveryZoneAndZeroWidthClient) {
    TvlLacquer* frame = MakeFrame(true);
    ASSERT_TRUE(frame->SkinActive());
    HWND w = frame->Form()->Handle();
    RECT r = Bounds(frame), client;
    int W = r.right - r.left, H = r.bottom - r.top;
    GetClientRect(w, &client);
    const TRect& cr = Skin->ClientRect;
    int pw = Skin->MainPicture.Width, ph = Skin->MainPicture.Height;
    EXPECT_EQ(client.right, W - cr.Left - (pw - cr.Right));
    EXPECT_EQ(client.bottom, H - cr.Top - (ph - cr.Bottom));
    EXPECT_EQ(frame->FrameClientRect(), (TRect{cr.Left, cr.Top, W - (pw - cr.Right), H - (ph - cr.Bottom)}));
    EXPECT_EQ(Hit(frame, 1, 1), HTTOPLEFT);
    EXPECT_EQ(Hit(frame, W - 2, 1), HTTOPRIGHT);
    EXPECT_EQ(Hit(frame, 1, H - 2), HTBOTTOMLEFT);
    EXPECT_EQ(Hit(frame, W - 1, H - 1), HTBOTTOMRIGHT);
    EXPECT_EQ(Hit(frame, W / 2, 1), HTTOP);
    EXPECT_EQ(Hit(frame, W / 2, H - 1), HTBOTTOM);
    EXPECT_EQ(Hit(frame, 1, H / 2), HTLEFT);
    EXPECT_EQ(Hit(frame, W - 1, H / 2), HTRIGHT);
    EXPECT_EQ(Hit(frame, W / 2, H / 2), HTCLIENT);
    EXPECT_EQ(Hit(frame, 60, 15), HTCAPTION);
    auto* close = Object(frame, "closebutton");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(Hit(frame, close->ObjectRect.Left + 3, close->ObjectRect.Top + 3), HTOBJECT);
    // The close button sits at the caption's right end, the caption text
    // ends left of the buttons.
    EXPECT_EQ(close->ObjectRect.Right, Skin->CaptionRect.Right + (W - pw));
    // A window narrower than the borders gets a client area of zero width.
    RECT tiny{100, 100, 105, 300};
    SendMessageA(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&tiny));
    EXPECT_EQ(tiny.right, tiny.left);
    EXPECT_EQ(tiny.bottom - tiny.top, 200 - cr.Top - (ph - cr.Bottom));
}

TEST_F(Frame, RegionFollowsTheMaskAndSkinChanges) {
    TvlLacquer* frame = MakeFrame(false);
    HWND w = frame->Form()->Handle();
    EXPECT_FALSE(frame->HasRegion());
    EXPECT_EQ(GetWindowRgn(w, nullptr), ERROR);
    ASSERT_FALSE(Skin->MainMask.Empty() && false);
    frame->SetSkinData(Skin);
    LoadModern();
    ui::Pump();
    ASSERT_TRUE(frame->SkinActive());
    ASSERT_FALSE(Skin->MainMask.Empty());
    EXPECT_TRUE(frame->HasRegion());
    RECT r = Bounds(frame);
    int W = r.right - r.left, H = r.bottom - r.top;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);  // ours, deleted below
    ASSERT_NE(GetWindowRgn(w, copy), ERROR);
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, W);
    EXPECT_EQ(box.bottom, H);
    EXPECT_TRUE(PtInRegion(copy, W / 2, H / 2));
    EXPECT_FALSE(PtInRegion(copy, 0, 0));  // the mask rounds the top corners
    DeleteObject(copy);
    // Resizing cuts the region again at the new size.
    SetWindowPos(w, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
    copy = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, copy), ERROR);
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, 500);
    EXPECT_EQ(box.bottom, 350);
    DeleteObject(copy);
    // Without skin the region goes.
    frame->SetSkinData(nullptr);
    EXPECT_FALSE(frame->HasRegion());
    EXPECT_EQ(GetWindowRgn(w, nullptr), ERROR);
}

// Shown, a skinned form is laid out at its own width only (the frame does
// not change the width and back to recompute); a size message for the size
// the window has leaves the region, and so the picture, alone.
TEST_F(Frame, ShowingKeepsTheWidthAndTheSameSizeLeavesTheRegionAlone) {
    LoadModern();
    auto* form = new TForm(Application, "Shown", 420, 300, bsSizeable, 0);
    form->Position = poDesigned;
    Forms.push_back(form);
    auto* frame = new TvlLacquer(form);
    frame->SetSkinData(Skin);
    std::vector<int> widths;
    form->OnResize = [&](TObject*) { widths.push_back(form->Width()); };
    form->Show();
    ui::Pump(20);
    HWND w = form->Handle();
    RECT r = Bounds(frame);
    const int W = r.right - r.left;
    ASSERT_FALSE(widths.empty());
    for (int width : widths) EXPECT_EQ(width, form->Width()) << "laid out at another width while shown";
    ASSERT_TRUE(frame->HasRegion());

    RedrawWindow(w, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_ALLCHILDREN);
    ASSERT_FALSE(GetUpdateRect(w, nullptr, FALSE));
    RECT client;
    GetClientRect(w, &client);
    SendMessageA(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "the same region set again repaints the window";
    EXPECT_TRUE(frame->HasRegion());
    HRGN copy = CreateRectRgn(0, 0, 0, 0);  // ours, deleted below
    ASSERT_NE(GetWindowRgn(w, copy), ERROR);
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, W);
    DeleteObject(copy);
    // Another size still cuts a region of its own.
    SetWindowPos(w, nullptr, 0, 0, W + 40, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    copy = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, copy), ERROR);
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, W + 40);
    DeleteObject(copy);
}

TEST_F(Frame, InactiveFrameDrawsTheInactiveButtonsAndTheInactiveEffect) {
    TvlLacquer* frame = MakeFrame(true);
    Activate(frame, true);
    auto* close = Object(frame, "closebutton");
    ASSERT_NE(close, nullptr);
    ASSERT_NE(close->ObjectPicture, nullptr);
    TRect at = close->ObjectRect;
    const TPixelImage& buttons = *close->ObjectPicture;
    auto picturePixel = [&](const TRect& look, int x, int y) {
        const uint8_t* p = buttons.Pixels.data() + y * buttons.Stride() + (look.Left + x) * 3;
        (void)look;
        return static_cast<uint32_t>(p[2] | (p[1] << 8) | (p[0] << 16));
    };
    auto matches = [&](const TRect& look) {
        const TvlFBitmap& pic = frame->FrameBitmap();
        for (int y = 0; y < at.Height(); ++y)
            for (int x = 0; x < at.Width(); ++x) {
                const uint8_t* p = buttons.Pixels.data() + (look.Top + y) * buttons.Stride() + (look.Left + x) * 3;
                uint32_t want = p[2] | (p[1] << 8) | (static_cast<uint32_t>(p[0]) << 16);
                if (pic.Pixel(at.Left + x, at.Top + y) != want) return false;
            }
        return true;
    };
    (void)picturePixel;
    EXPECT_TRUE(matches(close->SkinRect));
    Activate(frame, false);
    EXPECT_FALSE(frame->IsFrameActive());
    EXPECT_TRUE(matches(close->InActiveSkinRect));
    // A skin that renders its inactive look by a grey effect greys the strips.
    Skin->AutoRenderingInActiveImage = true;
    Skin->InActiveEffect = ieGrayScale;
    SendMessageA(frame->Form()->Handle(), WM_NCPAINT, 1, 0);
    const TvlFBitmap& pic = frame->FrameBitmap();
    int coloured = 0;
    for (int x = 0; x < pic.Width(); ++x) {
        uint32_t c = pic.Pixel(x, 2);
        if ((c & 0xFF) != ((c >> 8) & 0xFF) || (c & 0xFF) != ((c >> 16) & 0xFF)) ++coloured;
    }
    EXPECT_EQ(coloured, 0);
    Activate(frame, true);
    EXPECT_TRUE(matches(close->SkinRect));
}

TEST_F(Frame, CaptionDoubleClickMaximizesRestoresAndRollsUpDialogs) {
    WorkArea = {100, 80, 900, 700};
    TvlLacquer* frame = MakeFrame(true);
    HWND w = frame->Form()->Handle();
    RECT before = Bounds(frame);
    SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(frame, 60, 15));
    EXPECT_EQ(frame->FrameWindowState(), fwsMaximized);
    RECT r = Bounds(frame);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right, 900);
    EXPECT_EQ(r.bottom, 700);
    // A maximized window is pinned while dragged.
    RECT moving{10, 10, 810, 630};
    SendMessageA(w, WM_MOVING, WMSZ_TOP, reinterpret_cast<LPARAM>(&moving));
    EXPECT_EQ(moving.left, 100);
    EXPECT_EQ(moving.top, 80);
    SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(frame, 60, 15));
    EXPECT_EQ(frame->FrameWindowState(), fwsNormal);
    r = Bounds(frame);
    EXPECT_EQ(r.left, before.left);
    EXPECT_EQ(r.bottom - r.top, before.bottom - before.top);
    EXPECT_EQ(frame->RestoreBounds(), TRect{});
    // The whole primary screen as work area keeps a 1-pixel margin.
    WorkArea = ScreenArea = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    frame->SetFrameWindowState(fwsMaximized);
    r = Bounds(frame);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, ScreenArea.Right - 1);
    EXPECT_EQ(r.bottom, ScreenArea.Bottom - 1);
    frame->SetFrameWindowState(fwsNormal);

    // A dialog rolls up to its caption bar and back.
    TvlLacquer* dialog = MakeFrame(true, bsDialog, 300, 400);
    HWND d = dialog->Form()->Handle();
    RECT dr = Bounds(dialog);
    int height = dr.bottom - dr.top;
    SendMessageA(d, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(dialog, 60, 15));
    EXPECT_TRUE(dialog->RollUpState());
    EXPECT_EQ(Bounds(dialog).bottom - Bounds(dialog).top, dialog->MinimumHeight());
    EXPECT_EQ(dialog->UnrolledHeight(), height);
    EXPECT_EQ(Hit(dialog, 60, 15), HTCAPTION);
    SendMessageA(d, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(dialog, 60, 15));
    EXPECT_FALSE(dialog->RollUpState());
    EXPECT_EQ(Bounds(dialog).bottom - Bounds(dialog).top, height);
    // Without the roll-up icon a double click does nothing.
    dialog->SetBorderIcons(vlbiSystemMenu);
    dialog->ApplySkin();
    SendMessageA(d, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenAt(dialog, 60, 15));
    EXPECT_FALSE(dialog->RollUpState());
    EXPECT_EQ(Bounds(dialog).bottom - Bounds(dialog).top, height);
}

TEST_F(Frame, MagneticSnappingAtFourPixelsNotFiveAndSizeLimits) {
    WorkArea = {0, 0, 1000, 800};
    TvlLacquer* frame = MakeFrame(true);
    frame->Magnetic = true;
    HWND w = frame->Form()->Handle();
    RECT b = Bounds(frame);
    int width = b.right - b.left, height = b.bottom - b.top;
    RECT r{4, 300, 4 + width, 300 + height};
    SendMessageA(w, WM_MOVING, WMSZ_TOP, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, width);
    r = {5, 300, 5 + width, 300 + height};
    SendMessageA(w, WM_MOVING, WMSZ_TOP, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 5);
    r = {200, 800 - height + 3, 200 + width, 800 + 3};
    SendMessageA(w, WM_MOVING, WMSZ_TOP, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.bottom, 800);
    EXPECT_EQ(vlFrame::SnapToArea(996 - 100, 10, 100, 50, {0, 0, 1000, 800}, 5).X, 900);
    // Size limits: the skin picture's width and the frame without client.
    MINMAXINFO info{};
    SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, Skin->MainPicture.Width);
    EXPECT_EQ(info.ptMinTrackSize.y, Skin->MainPicture.Height - Skin->ClientRect.Height());
    EXPECT_EQ(info.ptMaxTrackSize.x, 1000);
    frame->MinWidth = 500;
    frame->MaxHeight = 600;
    SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 500);
    EXPECT_EQ(info.ptMaxTrackSize.y, 600);
}

TEST_F(Frame, MinimizedFormsTakeSlotsFromTheBottomLeft) {
    WorkArea = {0, 0, 400, 600};
    std::vector<TvlLacquer*> frames;
    for (int i = 0; i < 3; ++i) frames.push_back(MakeFrame(true));
    for (TvlLacquer* f : frames) f->SetFrameWindowState(fwsMinimized);
    int mw = frames[0]->MinimumWidth(), mh = frames[0]->MinimumHeight();
    RECT a = Bounds(frames[0]), b = Bounds(frames[1]), c = Bounds(frames[2]);
    EXPECT_EQ(a.left, 0);
    EXPECT_EQ(a.top, 600 - mh);
    EXPECT_EQ(a.right - a.left, mw);
    EXPECT_EQ(b.left, mw);
    EXPECT_EQ(b.top, 600 - mh);
    EXPECT_EQ(c.left, 0);  // 2 × 160 + 160 does not fit in 400
    EXPECT_EQ(c.top, 600 - 2 * mh);
    // Restoring returns to the old place.
    frames[1]->SetFrameWindowState(fwsNormal);
    RECT back = Bounds(frames[1]);
    EXPECT_EQ(back.left, 50);
    EXPECT_EQ(back.right - back.left, 400);
    // The slot search ends even for sizes below 1 and a full area.
    int calls = 0;
    TPoint p = vlFrame::FreeMinimizedSlot({0, 0, 100, 100}, 0, 0, [&](TPoint) { return ++calls, true; });
    EXPECT_GT(calls, 0);
    EXPECT_EQ(p.X, 0);
    p = vlFrame::FreeMinimizedSlot({0, 0, 100, 100}, 40, 50, [](TPoint) { return true; });
    EXPECT_EQ(p.X, 0);
    EXPECT_EQ(p.Y, 50);
}

TEST_F(Frame, CloseButtonRunsOnReleaseInsideOnlyAndMorphsInFiveSteps) {
    TvlLacquer* frame = MakeFrame(true);
    TForm* form = frame->Form();
    HWND w = form->Handle();
    Activate(frame, true);
    int closeQueries = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++closeQueries;
        canClose = false;
    };
    auto* close = dynamic_cast<TvlSkinButtonObject*>(Object(frame, "closebutton"));
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(close->Morphing);
    int cx = (close->ObjectRect.Left + close->ObjectRect.Right) / 2,
        cy = (close->ObjectRect.Top + close->ObjectRect.Bottom) / 2;
    // Hover: the morph blends to the hover image over five 20 ms steps.
    frame->UpdateActiveObject(cx, cy, true);
    EXPECT_TRUE(close->Active);
    EXPECT_TRUE(frame->BlendTimer().Enabled());
    std::vector<double> steps;
    for (int i = 0; i < 6; ++i) {
        SendMessageA(w, WM_TIMER, frame->BlendTimer().Id(), 0);
        steps.push_back(close->MorphFactor);
    }
    EXPECT_NEAR(steps[0], 0.2, 1e-9);
    EXPECT_NEAR(steps[3], 0.8, 1e-9);
    EXPECT_EQ(steps[4], 1.0);
    EXPECT_FALSE(frame->BlendTimer().Enabled());  // nothing left to step
    // Press, move off, release: nothing runs and the button comes back up.
    SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, ScreenAt(frame, cx, cy));
    EXPECT_TRUE(close->Down);
    EXPECT_EQ(GetCapture(), w);
    frame->UpdateActiveObject(5, 200, true);
    EXPECT_FALSE(close->Active);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_FALSE(close->Down);
    EXPECT_EQ(closeQueries, 0);
    EXPECT_NE(GetCapture(), w);
    EXPECT_EQ(frame->CaptureObject(), -1);
    // Press and release over it: the form is asked to close.
    frame->UpdateActiveObject(cx, cy, true);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, ScreenAt(frame, cx, cy));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(closeQueries, 1);
    // Leaving morphs back.
    frame->UpdateActiveObject(-1, -1, true);
    for (int i = 0; i < 5; ++i) SendMessageA(w, WM_TIMER, frame->BlendTimer().Id(), 0);
    EXPECT_EQ(close->MorphFactor, 0.0);
}

TEST_F(Frame, SkinChangeFreesObjectsReleasesCaptureAndLeavesControlsToTheRelay) {
    TvlLacquer* frame = MakeFrame(true);
    TForm* form = frame->Form();
    HWND w = form->Handle();
    Activate(frame, true);
    // Skinned controls hear the change depth first, by sender.
    struct TCounting : TvlSkinElement<TPanel> {
        using TvlSkinElement::TvlSkinElement;
        int Changing = 0, Changed = 0;
        void SkinChanging() override { ++Changing; }
        void SkinChanged() override { ++Changed; }
    };
    auto* outer = new TCounting(form, form);
    auto* inner = new TCounting(form, outer);
    auto* other = new TCounting(form, form);
    outer->SetSkinData(Skin);
    inner->SetSkinData(Skin);
    TvlSkinData otherSkin(nullptr);
    other->SetSkinData(&otherSkin);
    form->CreateHandles();
    // A pressed caption button holds the mouse when the skin goes.
    auto* close = Object(frame, "closebutton");
    int cx = close->ObjectRect.Left + 3, cy = close->ObjectRect.Top + 3;
    frame->UpdateActiveObject(cx, cy, true);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, ScreenAt(frame, cx, cy));
    ASSERT_EQ(GetCapture(), w);
    ASSERT_GE(frame->CaptureObject(), 0);
    SendMessageA(w, WM_SKINCHANGING, reinterpret_cast<WPARAM>(Skin), SkinMessageParam);
    EXPECT_TRUE(frame->Objects().empty());
    EXPECT_EQ(frame->HotObjectIndex(), -1);
    EXPECT_EQ(frame->CaptureObject(), -1);
    EXPECT_NE(GetCapture(), w);
    EXPECT_FALSE(frame->HoverTimer().Enabled());
    EXPECT_FALSE(frame->BlendTimer().Enabled());
    // A release arriving now finds nothing to touch.
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    SendMessageA(w, WM_SKINCHANGED, reinterpret_cast<WPARAM>(Skin), SkinMessageParam);
    EXPECT_FALSE(frame->Objects().empty());
    // The frame rebuilds only itself: the controls hear a change from the
    // skin's relay, after their form has handled it.
    EXPECT_EQ(outer->Changing + outer->Changed + inner->Changing + inner->Changed, 0);
    LoadModern();
    EXPECT_EQ(outer->Changing, 1);
    EXPECT_EQ(inner->Changing, 1);
    EXPECT_EQ(outer->Changed, 1);
    EXPECT_EQ(inner->Changed, 1);
    EXPECT_EQ(other->Changing, 0);
    EXPECT_EQ(other->Changed, 0);
    EXPECT_TRUE(frame->SkinActive());
    // A rolled-up window stays rolled up across a skin change.
    frame->SetRollUp(true);
    Skin->LoadStoredSkin(Stored.get());
    EXPECT_TRUE(frame->RollUpState());
    EXPECT_EQ(Bounds(frame).bottom - Bounds(frame).top, frame->MinimumHeight());
    // Destroying the skin data leaves the built-in frame.
    TvlSkinData* gone = Skin;
    Skin = new TvlSkinData(nullptr);
    delete gone;
    EXPECT_FALSE(frame->SkinActive());
    EXPECT_EQ(frame->SkinData(), nullptr);
}

TEST_F(Frame, TimersStopWithTheWindowAndAnimationsEnd) {
    TvlLacquer* frame = MakeFrame(true);
    HWND w = frame->Form()->Handle();
    auto* close = HoverClose(frame);
    SendMessageA(w, WM_NCHITTEST, 0, ScreenAt(frame, close->ObjectRect.Left + 2, close->ObjectRect.Top + 2));
    EXPECT_TRUE(frame->HoverTimer().Enabled());
    EXPECT_TRUE(frame->BlendTimer().Enabled());
    frame->Form()->DestroyHandle();
    EXPECT_FALSE(frame->HoverTimer().Enabled());
    EXPECT_FALSE(frame->BlendTimer().Enabled());
    EXPECT_FALSE(frame->AnimateTimer().Enabled());
    // An animation of 0 frames runs as one frame and ends.
    TvlDataSkinAnimate data("anim");
    data.CountFrames = 0;
    data.TimerInterval = 25;
    TvlSkinAnimateObject anim(frame, &data);
    EXPECT_EQ(anim.CountFrames, 1);
    anim.Active = true;
    for (int i = 0; i < 3 && anim.Active; ++i) anim.Tick();
    EXPECT_FALSE(anim.Active);
    EXPECT_EQ(anim.Frame, 1);
}

TEST_F(Frame, SystemMenuItemsRightClickAndAltSpace) {
    TvlLacquer* frame = MakeFrame(true);
    HWND w = frame->Form()->Handle();
    Activate(frame, true);
    std::vector<TvlSysMenuItem> items = frame->SystemMenuItems();
    std::vector<std::string> captions;
    for (auto& i : items) captions.push_back(i.Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Mi&nimize", "Ma&ximize", "Ro&llUp", "-", "&Close"}));
    EXPECT_EQ(items.back().ShortCut, "Alt+F4");
    frame->SetRollUp(true);
    captions.clear();
    for (auto& i : frame->SystemMenuItems()) captions.push_back(i.Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Mi&nimize", "Ma&ximize", "&Restore", "-", "&Close"}));
    // Restore from the menu unrolls.
    frame->RunSystemMenuItem("LQR_RESTORE");
    EXPECT_FALSE(frame->RollUpState());
    // A right click on the caption opens the menu at the cursor.
    SendMessageA(w, WM_NCRBUTTONDOWN, HTCAPTION, ScreenAt(frame, 60, 15));
    EXPECT_EQ(MenuShown, 1);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(MenuPoint.x, cursor.x);
    EXPECT_EQ(MenuPoint.y, cursor.y);
    // Alt+Space opens it too; the answer runs the command.
    MenuAnswer = "LQR_MAXITEM";
    SendMessageA(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    EXPECT_EQ(MenuShown, 2);
    EXPECT_EQ(frame->FrameWindowState(), fwsMaximized);
    captions.clear();
    for (auto& i : MenuItems) captions.push_back(i.Caption);
    EXPECT_EQ(captions.front(), "Mi&nimize");
    // The system-menu button drops the menu below itself.
    MenuAnswer.clear();
    auto* sys = Object(frame, "sysmenubutton");
    ASSERT_NE(sys, nullptr);
    ASSERT_TRUE(sys->Visible);
    frame->UpdateActiveObject(sys->ObjectRect.Left + 2, sys->ObjectRect.Top + 2, true);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, ScreenAt(frame, sys->ObjectRect.Left + 2, sys->ObjectRect.Top + 2));
    EXPECT_EQ(MenuShown, 3);
    EXPECT_EQ(MenuPoint.y, Bounds(frame).top + sys->ObjectRect.Bottom);
    SendMessageA(w, WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(dynamic_cast<TvlSkinButtonObject*>(sys)->Down);
    // Alt+Space as the keyboard sends it reaches the menu through the platform.
    SendMessageA(w, WM_SYSCHAR, ' ', 1 << 29);
    EXPECT_EQ(MenuShown, 4);
    // The menu bookkeeping: open while the menu shows, closed afterwards.
    int opened = 0, closed = 0;
    bool inMenuWhileShown = false;
    frame->OnSkinMenuOpen = [&](TObject*) { ++opened; };
    frame->OnSkinMenuClose = [&](TObject*) { ++closed; };
    auto popup = frame->Menus()->SystemMenuPopup;
    frame->Menus()->SystemMenuPopup = [&](const std::vector<TvlSysMenuItem>& items, POINT at) {
        inMenuWhileShown = frame->Menus()->InMenu();
        return popup(items, at);
    };
    SendMessageA(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    EXPECT_TRUE(inMenuWhileShown);
    EXPECT_FALSE(frame->Menus()->InMenu());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed, 1);
    // Menus take the menus skin when there is one, and forget it when it goes.
    EXPECT_EQ(frame->Menus()->MenuSkin(), Skin);
    {
        TvlSkinData menus(nullptr);
        frame->SetMenusSkinData(&menus);
        EXPECT_EQ(frame->Menus()->MenuSkin(), &menus);
    }
    EXPECT_EQ(frame->MenusSkinData(), nullptr);
    EXPECT_EQ(frame->Menus()->MenuSkin(), Skin);
    // The tray menu's items.
    captions.clear();
    for (auto& i : frame->TrayMenuItems()) captions.push_back(i.Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"&Restore", "-", "&Close"}));
    // A double click on the system-menu button closes the form.
    int closeQueries = 0;
    frame->Form()->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++closeQueries;
        canClose = false;
    };
    frame->UpdateActiveObject(sys->ObjectRect.Left + 2, sys->ObjectRect.Top + 2, true);
    SendMessageA(w, WM_NCLBUTTONDBLCLK, HTOBJECT, ScreenAt(frame, sys->ObjectRect.Left + 2, sys->ObjectRect.Top + 2));
    SendMessageA(w, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(closeQueries, 1);
    // With ShowIcon the button shows the window's icon and does not morph.
    frame->ShowIcon = true;
    frame->ApplySkin();
    sys = Object(frame, "sysmenubutton");
    EXPECT_EQ(sys->ObjectRect.Width(), GetSystemMetrics(SM_CXSMICON));
    EXPECT_FALSE(sys->CanMorph());
}

TEST_F(Frame, FadeInStepsByFiveAndDropsTheLayeredStyle) {
    auto* form = new TForm(Application, "Fade", 300, 200, bsSizeable, 0);
    Forms.push_back(form);
    auto* frame = new TvlLacquer(form);
    TFakeLayeredWindows layered;
    layered.PassThrough = true;
    TServiceOverride<TLayeredWindows> useLayered(layered);
    frame->AlphaBlendAnimation = true;
    form->Show();
    EXPECT_NE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    for (int i = 0; i < 50 && layered.Calls.size() < 2; ++i) ui::Pump(10);
    std::vector<int> alphas = layered.Alphas();
    ASSERT_EQ(alphas.size(), 52u);
    EXPECT_EQ(alphas[0], 0);
    for (size_t i = 1; i < alphas.size(); ++i) EXPECT_EQ(alphas[i], static_cast<int>(i) * 5);
    EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    // With blending kept on, the window stays translucent at its value.
    layered.Calls.clear();
    form->Hide();
    frame->AlphaBlendAnimation = false;
    frame->SetAlphaBlendValue(180);
    frame->SetAlphaBlend(true);
    form->Show();
    for (int i = 0; i < 50 && layered.Calls.size() < 2; ++i) ui::Pump(10);
    EXPECT_EQ(layered.Alphas(), (std::vector<int>{0, 180}));
    EXPECT_NE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(Frame, MoveSizeLoopThroughItsMessages) {
    TvlLacquer* frame = MakeFrame(true);
    HWND w = frame->Form()->Handle();
    auto* close = HoverClose(frame);
    ASSERT_GE(frame->HotObjectIndex(), 0);
    BOOL fullDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    BOOL fullNow = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullNow, 0);
    SendMessageA(w, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_EQ(frame->HotObjectIndex(), -1);
    EXPECT_FALSE(close->Active);
    EXPECT_FALSE(frame->HoverTimer().Enabled());
    // While dragging at full size the frame follows the sizing rectangle.
    RECT sizing{50, 60, 50 + 600, 60 + 420};
    SendMessageA(w, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&sizing));
    // the region is cut for the new size before the window takes it
    // (without full-window dragging the frame waits for the loop's end).
    RECT now = Bounds(frame);
    int fw = fullNow ? 600 : now.right - now.left, fh = fullNow ? 420 : now.bottom - now.top;
    HRGN copy = CreateRectRgn(0, 0, 0, 0);  // ours, deleted below
    ASSERT_NE(GetWindowRgn(w, copy), ERROR);
    RECT box;
    GetRgnBox(copy, &box);
    DeleteObject(copy);
    EXPECT_EQ(box.right, fw) << "full drag " << fullNow;
    EXPECT_EQ(box.bottom, fh);
    SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
    // The press that started the loop returns afterwards: it presses nothing.
    SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, ScreenAt(frame, close->ObjectRect.Left + 2, close->ObjectRect.Top + 2));
    EXPECT_FALSE(dynamic_cast<TvlSkinButtonObject*>(close)->Down);
    EXPECT_NE(GetCapture(), w);
    // The next press does.
    frame->UpdateActiveObject(close->ObjectRect.Left + 2, close->ObjectRect.Top + 2, true);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, ScreenAt(frame, close->ObjectRect.Left + 2, close->ObjectRect.Top + 2));
    EXPECT_TRUE(dynamic_cast<TvlSkinButtonObject*>(close)->Down);
    frame->UpdateActiveObject(-1, -1, true);
    SendMessageA(w, WM_LBUTTONUP, 0, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, fullDrag, nullptr, 0);
    // A form's cursor over the caption, the sizing cursors on the edges.
    frame->UseFormCursorInNCArea = true;
    EXPECT_EQ(Hit(frame, 1, 100), HTLEFT);
}

TEST_F(Frame, ResizesStateCyclesAndSkinSwitchesLeaveRegionsObjectsAndTimersAsTheyWere) {
    WorkArea = {0, 0, 1200, 900};
    TvlLacquer* frame = MakeFrame(true);
    HWND w = frame->Form()->Handle();
    Activate(frame, true);
    ui::Pump(20);
    // The count works: ten regions more are seen, and seen going.
    int gdiBefore = GdiObjectCount();
    ASSERT_GT(gdiBefore, 0);
    std::vector<HRGN> probes;
    for (int i = 0; i < 10; ++i) probes.push_back(CreateRectRgn(0, 0, i + 1, i + 1));
    EXPECT_EQ(GdiObjectCount(), gdiBefore + 10);
    for (HRGN r : probes) DeleteObject(r);
    ASSERT_EQ(GdiObjectCount(), gdiBefore);
    size_t objects = frame->Objects().size();
    for (int i = 0; i < 1000; ++i)
        SetWindowPos(w, nullptr, 0, 0, 300 + i % 300, 250 + i % 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 100; ++i) {
        frame->SetFrameWindowState(fwsMinimized);
        frame->SetFrameWindowState(fwsNormal);
        frame->SetRollUp(true);
        frame->SetRollUp(false);
    }
    for (int i = 0; i < 100; ++i) {
        if (i % 2)
            Skin->LoadStoredSkin(Stored.get());
        else
            Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    }
    ui::Pump(150);  // a hover timer started by a restore stops itself
    EXPECT_EQ(GdiObjectCount(), gdiBefore);
    EXPECT_FALSE(frame->HoverTimer().Enabled());
    EXPECT_FALSE(frame->BlendTimer().Enabled());
    EXPECT_FALSE(frame->AnimateTimer().Enabled());
    EXPECT_EQ(frame->Objects().size(), objects);
    EXPECT_TRUE(frame->HasRegion());
    HRGN copy = CreateRectRgn(0, 0, 0, 0);  // ours, deleted below
    EXPECT_NE(GetWindowRgn(w, copy), ERROR);
    DeleteObject(copy);
    EXPECT_EQ(frame->FrameWindowState(), fwsNormal);
    EXPECT_FALSE(frame->RollUpState());
    // No timer of the frame is left on the window: killing them finds none.
    EXPECT_FALSE(KillTimer(w, frame->HoverTimer().Id()));
    EXPECT_FALSE(KillTimer(w, frame->BlendTimer().Id()));
    EXPECT_FALSE(KillTimer(w, frame->AnimateTimer().Id()));
}

TEST_F(Frame, ButtonsCloseUpFromTheRightAndCarryTheirHints) {
    TvlLacquer* frame = MakeFrame(true);
    frame->SetBorderIcons(vlbiSystemMenu | vlbiMinimize | vlbiMaximize);
    frame->ApplySkin();
    RECT r = Bounds(frame);
    int W = r.right - r.left, dx = W - Skin->MainPicture.Width;
    int offset = Skin->ButtonsOffset;
    auto* close = Object(frame, "closebutton");
    auto* max = Object(frame, "maxbutton");
    auto* min = Object(frame, "minbutton");
    EXPECT_FALSE(Object(frame, "rollupbutton")->Visible);
    EXPECT_FALSE(Object(frame, "traybutton")->Visible);
    EXPECT_EQ(close->ObjectRect.Right, Skin->CaptionRect.Right + dx);
    EXPECT_EQ(max->ObjectRect.Right, close->ObjectRect.Left - offset);
    EXPECT_EQ(min->ObjectRect.Right, max->ObjectRect.Left - offset);
    // The caption text ends where the buttons begin; the system-menu button
    // sits at the caption's left end.
    TvlActiveSkinObject* caption = nullptr;
    for (auto& o : frame->Objects())
        if (dynamic_cast<TvlSkinCaptionObject*>(o.get())) caption = o.get();
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->ObjectRect.Right, min->ObjectRect.Left);
    auto* sys = Object(frame, "sysmenubutton");
    EXPECT_EQ(sys->ObjectRect.Left, Skin->CaptionRect.Left);
    EXPECT_EQ(caption->ObjectRect.Left, sys->ObjectRect.Right);
    EXPECT_EQ(close->Hint, "Close");
    EXPECT_EQ(max->Hint, "Maximize");
    EXPECT_EQ(min->Hint, "Minimize");
    EXPECT_EQ(sys->Hint, "System menu");
    // Hidden caption buttons are disabled; placed ones vanish.
    frame->HideCaptionButtons = true;
    frame->ApplySkin();
    for (auto& o : frame->Objects())
        if (dynamic_cast<TvlSkinStdButtonObject*>(o.get())) {
            EXPECT_FALSE(o->Enabled) << o->IDName;
            EXPECT_FALSE(o->Visible) << o->IDName;
        }
}

TEST_F(Frame, ZeroWidthClientPieceAndClientAreaDrawNothingAndFailNothing) {
    TvlLacquer* frame = MakeFrame(true);
    HWND w = frame->Form()->Handle();
    // A client piece of zero width fills the background with the face colour.
    Skin->ClientRect.Right = Skin->ClientRect.Left;
    TBitmap target(50, 40);
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    GdiFlush();
    const unsigned char* p = target.Bits();
    COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(p[2] | (p[1] << 8) | (p[0] << 16), static_cast<int>(face));
    // A client area of zero width: nothing to paint, nothing divided.
    SetWindowPos(w, nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    SendMessageA(w, WM_NCPAINT, 1, 0);
}

TEST_F(Frame, ControlsHearTheirSkinWhateverSkinTheFrameWears) {
    TvlLacquer* frame = MakeFrame(false);  // the built-in frame
    struct TCounting : TvlSkinElement<TPanel> {
        using TvlSkinElement::TvlSkinElement;
        int Changing = 0, Changed = 0;
        void SkinChanging() override { ++Changing; }
        void SkinChanged() override { ++Changed; }
    };
    auto* panel = new TCounting(frame->Form(), frame->Form());
    panel->SetSkinData(Skin);
    frame->Form()->CreateHandles();
    LoadModern();
    // Its element records go with the old skin: it must drop them first.
    EXPECT_EQ(panel->Changing, 1);
    EXPECT_EQ(panel->Changed, 1);
    EXPECT_FALSE(frame->SkinActive());
}

TEST_F(Frame, RealMouseHoversAndClicksTheMaximizeButton) {
    WorkArea = {0, 0, 1000, 800};
    TvlLacquer* frame = ForegroundFrame();
    auto* max = Object(frame, "maxbutton");
    ASSERT_NE(max, nullptr);
    RECT r = Bounds(frame);
    int x = r.left + (max->ObjectRect.Left + max->ObjectRect.Right) / 2;
    int y = r.top + (max->ObjectRect.Top + max->ObjectRect.Bottom) / 2;
    SetCursorPos(x - 40, y);
    ui::Pump(30);
    SetCursorPos(x, y);
    mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    for (int i = 0; i < 40 && max->MorphFactor < 1; ++i) ui::Pump(10);
    EXPECT_TRUE(max->Active);
    EXPECT_EQ(max->MorphFactor, 1.0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ui::Pump(30);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    for (int i = 0; i < 20 && frame->FrameWindowState() != fwsMaximized; ++i) ui::Pump(10);
    EXPECT_EQ(frame->FrameWindowState(), fwsMaximized);
    // The cursor leaves the frame: the hover goes and its timer stops.
    SetCursorPos(500, 400);
    mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    for (int i = 0; i < 40 && frame->HoverTimer().Enabled(); ++i) ui::Pump(10);
    EXPECT_EQ(frame->HotObjectIndex(), -1);
    EXPECT_FALSE(frame->HoverTimer().Enabled());
}

TEST_F(Frame, RealMouseMovesTheWindowByTheCaption) {
    WorkArea = {0, 0, 1200, 1000};
    TvlLacquer* frame = ForegroundFrame();
    RECT before = Bounds(frame);
    // The whole drag is queued at once: the platform's move loop takes it
    // from the queue while the press is being handled. (Wine's size loop
    // does not end on queued input, not even for a plain window, so sizing
    // is driven through its messages in MoveSizeLoopThroughItsMessages.)
    int x0 = before.left + 60, y0 = before.top + 15, x1 = x0 + 70, y1 = y0 + 40;
    SetCursorPos(x0, y0);
    mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    ui::Pump(20);
    int sw = GetSystemMetrics(SM_CXSCREEN) - 1, sh = GetSystemMetrics(SM_CYSCREEN) - 1;
    std::vector<INPUT> inputs;
    auto add = [&](DWORD flags, int x, int y) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = x * 65535 / sw;
        in.mi.dy = y * 65535 / sh;
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        inputs.push_back(in);
    };
    add(MOUSEEVENTF_LEFTDOWN, x0, y0);
    for (int i = 1; i <= 5; ++i) add(0, x0 + (x1 - x0) * i / 5, y0 + (y1 - y0) * i / 5);
    add(MOUSEEVENTF_LEFTUP, x1, y1);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ui::Pump(150);
    RECT moved = Bounds(frame);
    EXPECT_EQ(moved.left, before.left + 70);
    EXPECT_EQ(moved.top, before.top + 40);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left);
    // After the loop a button press works again.
    auto* close = Object(frame, "closebutton");
    int closeQueries = 0;
    frame->Form()->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++closeQueries;
        canClose = false;
    };
    SetCursorPos(moved.left + (close->ObjectRect.Left + close->ObjectRect.Right) / 2,
                 moved.top + (close->ObjectRect.Top + close->ObjectRect.Bottom) / 2);
    mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    ui::Pump(80);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ui::Pump(20);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ui::Pump(30);
    EXPECT_EQ(closeQueries, 1);
}

TEST_F(Frame, ScreenshotsInBothSkins) {
    TvlLacquer* frame = MakeFrame(true, bsSizeable, 420, 260);
    TForm* form = frame->Form();
    form->SetCaption("A caption long enough to be cut short by the buttons of a narrow window frame");
    Activate(frame, true);
    ui::SaveScreenshot(form->Handle(), "frame_modern_active");
    Activate(frame, false);
    ui::SaveScreenshot(form->Handle(), "frame_modern_inactive");
    Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    ASSERT_FALSE(Skin->IsEmpty());
    Activate(frame, true);
    ui::SaveScreenshot(form->Handle(), "frame_graphite_active");
    frame->SetSkinData(nullptr);
    ui::SaveScreenshot(form->Handle(), "frame_builtin");
}

}  // namespace

TEST_F(Frame, ToolWindowsHaveTheSmallCaptionAndButtons) {
    TvlLacquer* normal = MakeFrame(false);
    TvlLacquer* tool = MakeFrame(false, bsSizeToolWin);
    RECT r = Bounds(tool);
    const int W = r.right - r.left;
    EXPECT_EQ(normal->BuiltInCaptionHeight(), 19);
    EXPECT_EQ(tool->BuiltInCaptionHeight(), 15);
    EXPECT_EQ(Object(tool, "closebutton")->ObjectRect, (TRect{W - 16, 4, W - 3, 17}));
    // The client begins below the smaller caption; the window stays sizeable.
    POINT origin{0, 0};
    ClientToScreen(tool->Form()->Handle(), &origin);
    EXPECT_EQ(origin.y - r.top, 15 + 3);
    EXPECT_EQ(Hit(tool, 1, 100), HTLEFT);
    EXPECT_NE(GetWindowLongPtrA(tool->Form()->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    // A fixed tool window has the small caption but no sizing zones.
    TvlLacquer* fixed = MakeFrame(false, bsToolWindow);
    EXPECT_EQ(fixed->BuiltInCaptionHeight(), 15);
    EXPECT_NE(Hit(fixed, 1, 100), HTLEFT);
}

TEST_F(Frame, LogoSitsCentredOnTheClientBackgroundWithItsTransparentColour) {
    TvlLacquer* frame = MakeFrame(false);
    HWND w = frame->Form()->Handle();
    RECT cr;
    GetClientRect(w, &cr);
    // A red 10 x 6 logo whose bottom-left colour (magenta) is transparent.
    const uint32_t red = 0x0000FF, magenta = 0xFF00FF;
    frame->LogoBitMap.SetSize(10, 6);
    frame->LogoBitMap.Fill(red);
    frame->LogoBitMap.SetPixel(0, 5, magenta);
    frame->LogoBitMap.SetPixel(4, 2, magenta);
    TBitmap target(cr.right + 20, cr.bottom + 20);
    auto pixel = [&](int x, int y) {
        const unsigned char* p = target.Bits() + (static_cast<size_t>(y) * target.Width() + x) * 4;
        return static_cast<uint32_t>(p[2] | (p[1] << 8) | (p[0] << 16));
    };
    const int x0 = cr.right / 2 - 5, y0 = cr.bottom / 2 - 3;
    const uint32_t face = ColorToRGB(clBtnFace);
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    GdiFlush();
    EXPECT_EQ(pixel(x0, y0), red);
    EXPECT_EQ(pixel(x0 + 4, y0 + 2), magenta);  // opaque logo: every pixel
    EXPECT_EQ(pixel(x0 - 1, y0), face);
    EXPECT_EQ(pixel(x0 + 10, y0 + 5), face);
    frame->LogoBitMapTransparent = true;
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    GdiFlush();
    EXPECT_EQ(pixel(x0 + 1, y0), red);
    EXPECT_EQ(pixel(x0 + 4, y0 + 2), face);
    EXPECT_EQ(pixel(x0, y0 + 5), face);
    // A logo larger than the client starts at the client's top-left.
    frame->LogoBitMap.SetSize(cr.right + 40, 4);
    frame->LogoBitMap.Fill(red);
    frame->LogoBitMapTransparent = false;
    SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0);
    GdiFlush();
    EXPECT_EQ(pixel(0, cr.bottom / 2 - 2), red);
    EXPECT_EQ(pixel(0, cr.bottom / 2 + 2), face);
}
