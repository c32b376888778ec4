// The skinned hint and the tray icon on a test form: sizes, placement,
// delays and translucency of the hint; the icon's shell calls, clicks,
// menu, animation and clean-up, through the window-service seams.
#include <cstring>
#include <vector>

#include "core/WindowServices.h"
#include "skin/form/vlSkinHint.h"
#include "skin/form/vlTrayIcon.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"

namespace {
struct TFakeLayered : TLayeredWindows {
    std::vector<int> Alphas;
    bool SetAlpha(HWND, BYTE alpha) override {
        Alphas.push_back(alpha);
        return true;
    }
};

struct TShellCall {
    DWORD Message;
    NOTIFYICONDATAA Data;
};
struct TFakeShell : TNotifyIcons {
    std::vector<TShellCall> Calls;
    bool Notify(DWORD message, NOTIFYICONDATAA& data) override {
        Calls.push_back({message, data});
        return true;
    }
    std::vector<DWORD> Messages() const {
        std::vector<DWORD> m;
        for (const TShellCall& c : Calls) m.push_back(c.Message);
        return m;
    }
};

SIZE TextExtent(const TFont& font, const std::string& text) {
    HDC screen = GetDC(nullptr);
    RECT r{0, 0, 0, 0};
    HGDIOBJ old = SelectObject(screen, font.Handle());
    DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return {r.right - r.left, r.bottom - r.top};
}

void Notify(TvlTrayIcon* icon, UINT mouse) { SendMessageA(icon->NotifyWindow(), WM_TRAYNOTIFY, 1, mouse); }

HICON MakeIcon(COLORREF colour) {
    TBitmap picture(16, 16);
    picture.Canvas().FillRect(RECT{0, 0, 16, 16}, colour);
    ICONINFO info{TRUE, 0, 0, picture.Handle(), picture.Handle()};
    return CreateIconIndirect(&info);
}
}  // namespace

TEST(SkinHint, CursorHeightFromTheMask) {
    // A 32 x 32 cursor: AND half then XOR half, 4 bytes a row.
    std::vector<unsigned char> mask(4 * 64, 0xFF);
    std::fill(mask.begin() + 4 * 32, mask.end(), 0x00);
    for (int row = 0; row < 20; ++row) mask[static_cast<size_t>(row) * 4] = 0x0F;
    EXPECT_EQ(CursorHeightFromMask(mask.data(), 4, 32, 64, 2), 18) << "rows 0 … 19 drawn, hot spot at row 2";
    // An AND half transparent throughout: the XOR half tells (an inverting cursor).
    std::fill(mask.begin(), mask.begin() + 4 * 32, 0xFF);
    mask[static_cast<size_t>(32 + 10) * 4 + 1] = 0x80;
    EXPECT_EQ(CursorHeightFromMask(mask.data(), 4, 32, 64, 0), 11);
    EXPECT_EQ(CursorHeightFromMask(mask.data(), 4, 32, 32, 0), -1) << "no XOR half to read";
    EXPECT_EQ(CursorHeightFromMask(nullptr, 4, 32, 64, 0), -1);
    EXPECT_GT(CurrentCursorHeight(), 0);
    TLeakCheck leaks;
    for (int i = 0; i < 20; ++i) CurrentCursorHeight();
    leaks.ExpectNone("reading the cursor's mask frees the bitmaps it is given");
}

TEST_F(WidgetTest, HintSizePlacementAndLook) {
    Application->MainForm = Form;
    auto* hint = new TvlSkinHint(Form);
    hint->SetSkinData(Skin);
    TvlSkinHintWindow* window = hint->HintWindow();
    ASSERT_NE(window->UsableSkin(), nullptr);
    const TvlDataSkinHintWindow& record = Skin->HintWindow;
    const TPixelImage& picture = Skin->PictureList.at(static_cast<size_t>(record.WindowPictureIndex));
    TFont font(record.FontName, record.FontHeight, record.FontStyle);
    const TRect& cr = record.ClientRect;

    // A short text keeps the picture's size; a long one grows by the frame's margins.
    SIZE small = window->HintSize("x");
    EXPECT_EQ(small.cx, std::max<LONG>(picture.Width, TextExtent(font, "x").cx + cr.Left + picture.Width - cr.Right));
    EXPECT_GE(small.cy, picture.Height);
    std::string text = "A rather longer hint\nwith a second line";
    SIZE t = TextExtent(font, text), big = window->HintSize(text);
    EXPECT_EQ(big.cx, t.cx + cr.Left + picture.Width - cr.Right);
    EXPECT_EQ(big.cy, std::max<LONG>(picture.Height, t.cy + cr.Top + picture.Height - cr.Bottom));

    window->ActivateHint(RECT{100, 100, 100, 100}, text);
    ASSERT_TRUE(window->Showing());
    RECT r;
    GetWindowRect(window->Handle(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right - r.left, big.cx);
    EXPECT_FALSE(GetWindowLongA(window->Handle(), GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(GetForegroundWindow() == window->Handle(), false) << "a hint never takes activation";
    // The picture's corner pixel, the frame's own.
    TvlFBitmap look = Shot(window);
    TvlFBitmap pic(PictureView(picture));
    EXPECT_EQ(look.Pixel(0, 0), pic.Pixel(0, 0));
    EXPECT_EQ(look.Pixel(big.cx - 1, 0), pic.Pixel(picture.Width - 1, 0));

    // Past the screen's right or bottom edge the hint moves to the other side.
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    window->ActivateHint(RECT{sw - 10, sh - 5, sw - 10, sh - 5}, text);
    GetWindowRect(window->Handle(), &r);
    EXPECT_EQ(r.left, sw - 10 - big.cx - 2);
    EXPECT_EQ(r.top, sh - 5 - big.cy - 2);

    // A hint record without a picture: the plain tooltip look, sized to the text.
    int saved = Skin->HintWindow.WindowPictureIndex;
    Skin->HintWindow.WindowPictureIndex = -1;
    EXPECT_EQ(window->UsableSkin(), nullptr);
    SIZE plain = window->HintSize(text);
    SIZE pt = TextExtent(hint->DefaultFont, text);
    EXPECT_EQ(plain.cx, pt.cx + 4);
    EXPECT_EQ(plain.cy, pt.cy + 4);
    window->ActivateHint(RECT{50, 50, 50, 50}, text);
    look = Shot(window);
    EXPECT_EQ(look.Pixel(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(look.Pixel(1, 1), static_cast<uint32_t>(GetSysColor(COLOR_INFOBK)));
    Skin->HintWindow.WindowPictureIndex = saved;
    window->HideHint();
    EXPECT_FALSE(window->Showing());
}

TEST_F(WidgetTest, HintActivationDelaysAndTranslucency) {
    Application->MainForm = Form;
    TFakeTimers timers;
    auto* first = new TvlSkinHint(Form);
    auto* second = new TvlSkinHint(Form);
    EXPECT_FALSE(first->Active()) << "the newer active hint deactivated the other";
    EXPECT_TRUE(second->Active());
    first->SetActive(true);
    EXPECT_FALSE(second->Active());
    EXPECT_EQ(second->HintWindow()->InCharge(), first);
    first->SetActive(false);
    second->HintWindow()->ActivateHint(RECT{10, 10, 10, 10}, "nobody in charge");
    EXPECT_FALSE(second->HintWindow()->Showing()) << "without an active hint nothing shows";

    first->SetActive(true);
    first->SetSkinData(Skin);
    Application->HintPause = 300;
    Application->HintHidePause = 2000;
    std::vector<std::string> shown;
    first->OnShowHint = [&](std::string& text, bool&, THintInfo&) { shown.push_back(text); };
    first->ShowHintAtCursor("Close");
    HWND window = first->HintWindow()->Handle();
    EXPECT_EQ(timers.Interval(window, 1), 300u);
    EXPECT_FALSE(first->HintWindow()->Showing()) << "not before the pause";
    timers.Fire(window, 1);
    EXPECT_TRUE(first->HintWindow()->Showing());
    EXPECT_EQ(shown, std::vector<std::string>{"Close"});
    POINT cursor;
    GetCursorPos(&cursor);
    RECT r;
    GetWindowRect(window, &r);
    int below = cursor.y + CurrentCursorHeight(), height = r.bottom - r.top;
    // Below the cursor, or above where the screen ends first.
    EXPECT_EQ(r.top, below + height > GetSystemMetrics(SM_CYSCREEN) ? below - height - 2 : below);
    EXPECT_EQ(timers.Interval(window, 1), 2000u);
    timers.Fire(window, 1);
    EXPECT_FALSE(first->HintWindow()->Showing());
    EXPECT_EQ(timers.LiveTimers(), 0);
    first->ShowHintAtCursor("again");
    first->HideHint();
    EXPECT_EQ(timers.LiveTimers(), 0) << "hiding stops a pending hint";

    // Translucency through the layered-window service, applied once per value.
    TFakeLayered layered;
    TServiceOverride<TLayeredWindows> useLayered(layered);
    first->AlphaBlend = true;
    first->AlphaBlendValue = 120;
    first->HintWindow()->ActivateHint(RECT{10, 10, 10, 10}, "see-through");
    first->HintWindow()->ActivateHint(RECT{10, 10, 10, 10}, "see-through");
    EXPECT_EQ(layered.Alphas, std::vector<int>{120});
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    first->AlphaBlend = false;
    first->HintWindow()->ActivateHint(RECT{10, 10, 10, 10}, "solid");
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);

    TLeakCheck leaks;
    for (int i = 0; i < 40; ++i) {
        first->HintWindow()->ActivateHint(RECT{10, 10, 10, 10}, "hint " + std::to_string(i));
        UpdateWindow(window);
        first->HideHint();
    }
    leaks.ExpectNone("hints shown and hidden");
}

TEST_F(WidgetTest, TrayIconTalksToTheShell) {
    TFakeShell shell;
    TServiceOverride<TNotifyIcons> useShell(shell);
    auto* tray = new TvlTrayIcon(Form);
    const NOTIFYICONDATAA& d = tray->NotifyData();
    EXPECT_EQ(d.cbSize, sizeof(NOTIFYICONDATAA));
    EXPECT_GT(d.cbSize, 488u) << "the 64-bit shell refuses the 32-bit record";
    EXPECT_EQ(d.uID, 1u);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, static_cast<UINT>(WM_USER + 1024));
    EXPECT_EQ(d.hWnd, tray->NotifyWindow());
    EXPECT_NE(tray->Icon(), nullptr) << "the application's icon when none is set";
    EXPECT_TRUE(shell.Calls.empty()) << "nothing before the form is loaded";

    tray->SetHint(std::string(200, 'h'));
    shell.Calls.clear();
    tray->Loaded();
    EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD}));
    EXPECT_EQ(std::strlen(shell.Calls.back().Data.szTip), 127u) << "the tip is cut to 127 characters";
    tray->SetShowHint(false);
    EXPECT_STREQ(shell.Calls.back().Data.szTip, "");

    // The taskbar starting again brings a visible icon back, not a hidden one.
    shell.Calls.clear();
    SendMessageA(tray->NotifyWindow(), tray->TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    tray->SetIconVisible(false);
    shell.Calls.clear();
    SendMessageA(tray->NotifyWindow(), tray->TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(shell.Calls.empty());
    tray->SetIconVisible(true);

    // Icons from a list: an index past the end takes the last, an empty list none.
    TImageList empty(Form, 16, 16);
    HICON own = tray->Icon();
    tray->SetIconList(&empty);
    tray->SetIconIndex(3);
    EXPECT_EQ(tray->IconIndex(), 0);
    EXPECT_EQ(shell.Calls.back().Data.hIcon, own) << "an empty list gives no icon of its own";
    auto* list = new TImageList(Form, 16, 16);
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        HICON icon = MakeIcon(c);
        ImageList_AddIcon(list->Handle(), icon);
        DestroyIcon(icon);
    }
    tray->SetIconList(list);
    tray->SetIconIndex(10);
    EXPECT_EQ(tray->IconIndex(), 2);
    EXPECT_NE(shell.Calls.back().Data.hIcon, own);
    tray->SetIconList(nullptr);

    // Destroyed: the icon leaves the area, the window and timers go.
    HWND window = tray->NotifyWindow();
    shell.Calls.clear();
    delete tray;
    EXPECT_EQ(shell.Messages(), std::vector<DWORD>{NIM_DELETE});
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WidgetTest, TrayIconClicksMenuAnimationAndMinimizing) {
    TFakeShell shell;
    TServiceOverride<TNotifyIcons> useShell(shell);
    TFakeTimers timers;
    Application->MainForm = Form;
    Form->Show();
    ui::Pump(20);
    TLeakCheck leaks;
    auto* tray = new TvlTrayIcon(Form);
    HWND window = tray->NotifyWindow();
    int clicks = 0, doubles = 0, downs = 0, ups = 0, menus = 0;
    tray->OnClick = [&](TObject*) { ++clicks; };
    tray->OnDblClick = [&](TObject*) { ++doubles; };
    tray->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    auto* menu = new TPopupMenu(Form);
    menu->Presenter = [&](TPopupMenu*, int, int) { ++menus; };
    tray->PopupMenu = menu;

    // One click: reported one double-click time after the press.
    Notify(tray, WM_LBUTTONDOWN);
    EXPECT_EQ(timers.Interval(window, 2), GetDoubleClickTime());
    Notify(tray, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 0);
    timers.Fire(window, 2);
    EXPECT_EQ(clicks, 1);
    // A release after the double-click time clicks at once.
    Notify(tray, WM_LBUTTONDOWN);
    timers.Fire(window, 2);
    Notify(tray, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 2);
    // A double click is no click.
    Notify(tray, WM_LBUTTONDOWN);
    Notify(tray, WM_LBUTTONUP);
    Notify(tray, WM_LBUTTONDBLCLK);
    Notify(tray, WM_LBUTTONUP);
    timers.Fire(window, 2);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(downs, 3);
    EXPECT_EQ(ups, 4);
    // The right button opens the menu; the left one only when asked to.
    Notify(tray, WM_RBUTTONDOWN);
    Notify(tray, WM_RBUTTONUP);
    EXPECT_EQ(menus, 1);
    tray->PopupByLeftButton = true;
    Notify(tray, WM_LBUTTONDOWN);
    EXPECT_EQ(menus, 2);
    timers.Fire(window, 2);
    // Disabled: nothing is reported and no menu opens.
    tray->Enabled = false;
    int before = downs;
    Notify(tray, WM_RBUTTONDOWN);
    Notify(tray, WM_LBUTTONDOWN);
    EXPECT_EQ(downs, before);
    EXPECT_EQ(menus, 2);
    tray->Enabled = true;

    // Cycling through a list: each tick announces the next index and wraps.
    auto* list = new TImageList(Form, 16, 16);
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}) {
        HICON icon = MakeIcon(c);
        ImageList_AddIcon(list->Handle(), icon);
        DestroyIcon(icon);
    }
    std::vector<int> cycle;
    tray->OnCycle = [&](TObject*, int next) { cycle.push_back(next); };
    tray->SetIconList(list);
    tray->SetAnimateTimerInterval(150);
    tray->SetCycleIcons(true);
    EXPECT_EQ(timers.Interval(window, 1), 150u);
    for (int i = 0; i < 4; ++i) timers.Fire(window, 1);
    EXPECT_EQ(cycle, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(tray->IconIndex(), 1);
    tray->SetCycleIcons(false);
    EXPECT_FALSE(tray->AnimationRunning());
    tray->SetCycleIcons(true);

    // Minimizing the main form hides it into the notification area.
    shell.Calls.clear();
    ShowWindow(Form->Handle(), SW_MINIMIZE);
    ui::Pump(20);
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    EXPECT_EQ(shell.Messages(), std::vector<DWORD>{NIM_ADD});
    tray->ShowMainForm();
    ui::Pump(20);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    EXPECT_FALSE(IsIconic(Form->Handle()));

    delete tray;
    delete list;
    EXPECT_EQ(timers.LiveTimers(), 0) << "the animation and click timers go with the icon";
    leaks.ExpectNone("a tray icon's life");
}
