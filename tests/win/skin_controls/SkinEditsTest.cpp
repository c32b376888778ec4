// The skinned edit and memo: a native edit window framed by the skin, the
// context menu's items and enabling, read-only protection, pasting into a
// single line, and the memo's external bar.
#include <cstring>
#include <string>
#include <vector>

#include "skin/form/Lacquer.h"
#include "skin/controls/vlSkinRelay.h"
#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"

namespace {
class SkinEdits : public SkinControlsFixture {
protected:
    static void PutOnClipboard(HWND owner, const char* text) {
        ASSERT_TRUE(OpenClipboard(owner));
        EmptyClipboard();
        if (text) {
            size_t n = strlen(text) + 1;
            HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
            memcpy(GlobalLock(mem), text, n);
            GlobalUnlock(mem);
            SetClipboardData(CF_TEXT, mem);
        }
        CloseClipboard();
    }
    struct Shown {
        std::vector<std::string> Captions;
        std::vector<bool> Enabled;
        POINT At{-99, -99};
    };
    // Opens the context menu as a right click or the menu key would, records
    // it, and clicks the item captioned `run` (if any).
    static Shown OpenMenu(TvlCustomEdit* edit, LPARAM where, const std::string& run = "") {
        Shown shown;
        edit->MenuPresenter = [&](TPopupMenu* menu, int x, int y) {
            shown.At = {x, y};
            for (TMenuItem* item : menu->Items()) {
                shown.Captions.push_back(item->Caption);
                shown.Enabled.push_back(item->Enabled);
                if (item->Caption == run) item->Click();
            }
        };
        SendMessageA(edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit->Handle()), where);
        edit->MenuPresenter = nullptr;
        return shown;
    }
    static bool EnabledOf(const Shown& s, const std::string& caption) {
        for (size_t i = 0; i < s.Captions.size(); ++i)
            if (s.Captions[i] == caption) return s.Enabled[i];
        ADD_FAILURE() << "no item " << caption;
        return false;
    }
};
}  // namespace

TEST_F(SkinEdits, ContextMenuItemsFollowSelectionClipboardAndReadOnly) {
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    Form->Show();
    EXPECT_EQ(edit->Height(), edit->SkinLook().SkinRect.Height());  // the element's height
    char cls[16] = {};
    GetClassNameA(edit->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "Edit");

    edit->SetText("hello world");
    PutOnClipboard(Form->Handle(), nullptr);
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 0);
    Shown s = OpenMenu(edit, MAKELPARAM(50, 60));
    std::vector<std::string> expected{"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"};
    EXPECT_EQ(s.Captions, expected);
    EXPECT_EQ(s.At.x, 50);
    EXPECT_FALSE(EnabledOf(s, "Cut"));
    EXPECT_FALSE(EnabledOf(s, "Copy"));
    EXPECT_FALSE(EnabledOf(s, "Paste"));  // no text on the clipboard
    EXPECT_TRUE(EnabledOf(s, "Select All"));
    EXPECT_EQ(edit->ContextMenu(), nullptr);  // freed after it ran

    s = OpenMenu(edit, MAKELPARAM(50, 60), "Select All");
    DWORD a = 0, b = 0;
    SendMessageA(edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b - a, 11u);
    s = OpenMenu(edit, MAKELPARAM(50, 60), "Copy");
    EXPECT_FALSE(EnabledOf(s, "Select All"));  // everything is selected already
    EXPECT_TRUE(EnabledOf(s, "Cut"));
    s = OpenMenu(edit, MAKELPARAM(50, 60));
    EXPECT_TRUE(EnabledOf(s, "Paste"));  // the copy is on the clipboard

    // Read-only: Copy and Select All stay, editing is refused everywhere.
    edit->ReadOnly = true;
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 5);
    s = OpenMenu(edit, MAKELPARAM(50, 60));
    EXPECT_TRUE(EnabledOf(s, "Copy"));
    EXPECT_TRUE(EnabledOf(s, "Select All"));
    EXPECT_FALSE(EnabledOf(s, "Cut"));
    EXPECT_FALSE(EnabledOf(s, "Paste"));
    EXPECT_FALSE(EnabledOf(s, "Delete"));
    SendMessageA(edit->Handle(), WM_CUT, 0, 0);
    SendMessageA(edit->Handle(), WM_CLEAR, 0, 0);
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    SendMessageA(edit->Handle(), WM_KEYDOWN, VK_DELETE, 0);
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(edit->Text(), "hello world");
    edit->ReadOnly = false;

    // The menu key opens the menu at the centre; a negative position from a
    // monitor on the left is a real position.
    RECT r;
    GetWindowRect(edit->Handle(), &r);
    s = OpenMenu(edit, MAKELPARAM(-1, -1));
    EXPECT_EQ(s.At.x, (r.left + r.right) / 2);
    EXPECT_EQ(s.At.y, (r.top + r.bottom) / 2);
    s = OpenMenu(edit, MAKELPARAM(-300, 40));
    EXPECT_EQ(s.At.x, -300);
    EXPECT_EQ(s.At.y, 40);

    // The skin's resource strings caption the items.
    auto* strings = new TvlResourceStrData(Form);
    strings->ResStrings.Insert(0, "EDIT_SELECTALL=Alles markieren");
    Skin->SetResourceStrData(strings);
    s = OpenMenu(edit, MAKELPARAM(50, 60));
    EXPECT_EQ(s.Captions.back(), "Alles markieren");
    EXPECT_EQ(s.Captions.front(), "Undo");
}

TEST_F(SkinEdits, APastedLineBreakNeverReachesASingleLine) {
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    auto* memo = Skinned<TvlSkinMemo>(10, 50, 200, 100);
    Form->Show();
    PutOnClipboard(Form->Handle(), "Plan\r\nsecond line");
    edit->SetText("My ");
    SendMessageA(edit->Handle(), EM_SETSEL, 3, 3);
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit->Text(), "My Plan");
    PutOnClipboard(Form->Handle(), "\nonly after");
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit->Text(), "My Plan");
    PutOnClipboard(Form->Handle(), "one\r\ntwo");
    SendMessageA(memo->Handle(), WM_PASTE, 0, 0);  // the memo keeps its lines
    EXPECT_EQ(memo->Text(), "one\r\ntwo");
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(edit->Text(), "My Planx");
}

TEST_F(SkinEdits, MemoBarIsEnabledOnlyWhenTheTextDoesNotFit) {
    auto* panel = new TPanel(Form, Form);
    panel->SetBounds(10, 10, 300, 121);
    auto* memo = new TvlSkinMemo(Form, panel, 0, 0, 300, 121);
    memo->SetAlign(alClient);
    auto* bar = new TvlSkinScrollBar(Form, panel, sbVertical);
    bar->SetWidth(19);
    bar->SetAlign(alRight);
    bar->SetSkinData(Skin);
    memo->SetSkinData(Skin);
    memo->SetVScrollBar(bar);
    Form->Show();
    memo->SetText("short");
    EXPECT_FALSE(bar->Enabled());
    EXPECT_TRUE(bar->Visible());  // it stays where it is, only disabled
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\r\n";
    memo->SetText(text);
    ASSERT_TRUE(bar->Enabled());
    int visible = memo->VisibleLines();
    EXPECT_GT(visible, 2);
    EXPECT_EQ(bar->PageSize(), visible + 1);
    EXPECT_EQ(bar->Max(), static_cast<int>(SendMessageA(memo->Handle(), EM_GETLINECOUNT, 0, 0)));
    bar->SetPosition(10);
    EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 10);
    SendMessageA(memo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);  // zero counts as down
    EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 11);
    EXPECT_EQ(bar->Position(), 11);
    ui::SaveScreenshot(Form->Handle(), "skinned-memo");
}

TEST_F(SkinEdits, TwoHundredContextMenusLeaveNothingBehind) {
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    Form->Show();
    edit->SetText("some text");
    UpdateWindow(Form->Handle());
    TLeakCheck leaks;
    int alive = 0;
    for (int i = 0; i < 200; ++i) {
        edit->MenuPresenter = [&](TPopupMenu* menu, int, int) { alive += menu->Items().empty() ? 0 : 1; };
        SendMessageA(edit->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(20, 20));
        EXPECT_EQ(edit->ContextMenu(), nullptr);
    }
    EXPECT_EQ(alive, 200);
    EXPECT_EQ(edit->ComponentCount(), 0);
    leaks.ExpectNone("200 edit context menus");
}

TEST_F(SkinEdits, EnterAndEscapeReachOnlyTheKeyPressEventAndReadOnlyDropsTyping) {
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    auto* memo = Skinned<TvlSkinMemo>(10, 100, 200, 80);
    Form->Show();
    std::string pressed;
    edit->OnKeyPress = [&](TObject* sender, char& key) {
        EXPECT_EQ(sender, edit);
        pressed += key;
        if (key == 'z') key = 0;  // dropped by the handler
        if (key == 'q') key = 'Q';
    };
    edit->SetText("ab");
    SendMessageA(edit->Handle(), EM_SETSEL, 2, 2);
    // Through the message loop, as the keyboard types them: no default or
    // cancel button on this form, so the keys reach the edit.
    ui::Key(edit, VK_RETURN);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(pressed, "\r\x1b");
    EXPECT_EQ(edit->Text(), "ab");
    ui::Type(edit, "czq");
    EXPECT_EQ(pressed, "\r\x1b" "czq");
    EXPECT_EQ(edit->Text(), "abcQ");

    edit->ReadOnly = true;
    ui::Type(edit, "xy");
    SendMessageA(edit->Handle(), WM_CHAR, '\b', 0);
    EXPECT_EQ(edit->Text(), "abcQ");
    edit->ReadOnly = false;

    // The memo keeps Enter as its line break.
    std::string memoKeys;
    memo->OnKeyPress = [&](TObject*, char& key) { memoKeys += key; };
    ui::Type(memo, "a");
    ui::Key(memo, VK_RETURN);
    ui::Type(memo, "b");
    EXPECT_EQ(memo->Text(), "a\r\nb");
    EXPECT_EQ(memoKeys, "a\rb");

    // A dialog's default and cancel buttons take Enter and Escape first.
    auto* ok = new TButton(Form, Form, "OK", 250, 10, 75, 25);
    auto* cancel = new TButton(Form, Form, "Cancel", 250, 40, 75, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    int oks = 0, cancels = 0;
    ok->OnClick = [&](TObject*) { ++oks; };
    cancel->OnClick = [&](TObject*) { ++cancels; };
    Form->CreateHandles();
    pressed.clear();
    ui::Key(edit, VK_RETURN);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(pressed, "");
    EXPECT_EQ(edit->Text(), "abcQ");
}

namespace {
uint32_t PictureAt(const TvlSkinLook& look, int x, int y) {
    TvlPixelView view = PictureView(*look.Picture);
    const uint8_t* p = view.Row(y) + x * 3;
    return RGB(p[2], p[1], p[0]);
}
TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
}  // namespace

TEST_F(SkinEdits, ButtonModeAnswersItsHitCodesAndClicksOnlyOnARelease) {
    auto* other = Skinned<TvlSkinEdit>(10, 100, 100, 18);
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    Form->Show();
    edit->SetText("keep me");
    SendMessageA(edit->Handle(), EM_SETSEL, 2, 4);
    HWND before = edit->Handle();
    int clicks = 0;
    edit->OnButtonClick = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        EXPECT_EQ(GetFocus(), edit->Handle());  // focused before the event
        ++clicks;
    };
    TvlFBitmap frame;
    other->SetFocus();
    edit->ComposeFrame(frame);
    ui::Pump();
    TLeakCheck leaks;
    edit->SetButtonMode(true);
    EXPECT_FALSE(IsWindow(before));  // made again
    EXPECT_EQ(edit->Text(), "keep me");
    DWORD a = 0, b = 0;
    SendMessageA(edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 2u);
    EXPECT_EQ(b, 4u);
    EXPECT_EQ(edit->SkinDataName, "buttonedit");

    // The element's button, moved with the right end of the frame.
    const TvlSkinLook& look = edit->SkinLook();
    auto* data = look.ElementAs<TvlDataSkinEditControl>();
    ASSERT_NE(data, nullptr);
    ASSERT_FALSE(data->ButtonRect.IsEmpty());
    TRect button = edit->ButtonRect();
    EXPECT_EQ(button.Right, data->ButtonRect.Right + 200 - look.SkinRect.Width());
    EXPECT_EQ(button.Width(), data->ButtonRect.Width());
    RECT client;
    GetClientRect(edit->Handle(), &client);
    EXPECT_EQ(client.right, edit->TextArea().Width());
    EXPECT_LE(edit->TextArea().Right, button.Left);

    RECT wr;
    GetWindowRect(edit->Handle(), &wr);
    auto hit = [&](int x, int y) {
        return SendMessageA(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y));
    };
    TPoint c = Centre(button);
    EXPECT_EQ(hit(c.X, c.Y), 6);
    EXPECT_EQ(hit(1, 1), 7);                           // the frame around the text
    EXPECT_EQ(hit(button.Left - 1, c.Y), 7);          // between the text and the button
    EXPECT_EQ(hit(edit->TextArea().Left + 3, c.Y), HTCLIENT);

    // Hot and cold, painted from the element's button looks.
    edit->ComposeFrame(frame);
    uint32_t cold = frame.Pixel(c.X, c.Y);
    auto nc = [&](UINT msg, int code) {
        SendMessageA(edit->Handle(), msg, code, MAKELPARAM(wr.left + c.X, wr.top + c.Y));
    };
    SetCursorPos(0, 0);
    nc(WM_NCMOUSEMOVE, 6);
    EXPECT_TRUE(edit->ButtonHot());
    EXPECT_TRUE(edit->Hovered()) << "on the button the pointer is over the edit";
    edit->ComposeFrame(frame);
    const TRect& active = data->ActiveButtonRect;
    EXPECT_EQ(frame.Pixel(c.X, c.Y), PictureAt(look, active.Left + c.X - button.Left, active.Top + c.Y - button.Top));
    EXPECT_NE(frame.Pixel(c.X, c.Y), cold);
    Send(edit, WM_MOUSEMOVE, 0, 5, 5);  // over the text: cold again
    EXPECT_FALSE(edit->ButtonHot());
    nc(WM_NCMOUSEMOVE, 6);
    nc(WM_NCMOUSEMOVE, 7);
    EXPECT_FALSE(edit->ButtonHot());
    nc(WM_NCMOUSEMOVE, 6);
    SendMessageA(edit->Handle(), WM_NCMOUSELEAVE, 0, 0);  // the pointer is far away
    EXPECT_FALSE(edit->ButtonHot());
    EXPECT_FALSE(edit->Hovered());

    // Press and release over the button: one click, the focus taken.
    other->SetFocus();
    nc(WM_NCLBUTTONDOWN, 6);
    EXPECT_TRUE(edit->ButtonDown());
    EXPECT_EQ(GetCapture(), edit->Handle());
    edit->ComposeFrame(frame);
    const TRect& down = data->DownButtonRect.IsEmpty() ? active : data->DownButtonRect;
    EXPECT_EQ(frame.Pixel(c.X, c.Y), PictureAt(look, down.Left + c.X - button.Left, down.Top + c.Y - button.Top));
    POINT inClient{wr.left + c.X, wr.top + c.Y};
    ScreenToClient(edit->Handle(), &inClient);
    Send(edit, WM_LBUTTONUP, 0, inClient.x, inClient.y);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(edit->ButtonDown());
    EXPECT_NE(GetCapture(), edit->Handle());
    EXPECT_EQ(edit->Text(), "keep me");

    // Pressed, dragged off and released outside: no click.
    nc(WM_NCLBUTTONDOWN, 6);
    Send(edit, WM_MOUSEMOVE, MK_LBUTTON, -40, 60);
    EXPECT_FALSE(edit->ButtonHot());
    EXPECT_TRUE(edit->ButtonDown());
    Send(edit, WM_LBUTTONUP, 0, -40, 60);
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(GetCapture(), edit->Handle());
    // Pressed, the capture taken away, a late release over the button: no click.
    nc(WM_NCLBUTTONDOWN, 6);
    ReleaseCapture();
    EXPECT_FALSE(edit->ButtonDown());
    nc(WM_NCLBUTTONUP, 6);
    EXPECT_EQ(clicks, 1);
    // A press on the frame does nothing.
    nc(WM_NCLBUTTONDOWN, 7);
    EXPECT_FALSE(edit->ButtonDown());

    edit->SetButtonMode(false);
    EXPECT_EQ(edit->SkinDataName, "edit");
    EXPECT_TRUE(edit->ButtonRect().IsEmpty());
    EXPECT_EQ(edit->Text(), "keep me");
    GetWindowRect(edit->Handle(), &wr);
    EXPECT_NE(hit(edit->Width() - 3, 8), 6);
    edit->ComposeFrame(frame);
    ui::Pump();
    leaks.ExpectNone("the button edit made twice, pressed and released");
}

TEST_F(SkinEdits, ButtonWithoutAnElementTakesTheSquareAtTheRightEnd) {
    auto* edit = new TvlSkinEdit(Form, Form, 10, 10, 150, 20);  // no skin
    edit->SetButtonMode(true);
    Form->Show();
    TRect button = edit->ButtonRect();
    EXPECT_EQ(button.Left, 150 - 20);
    EXPECT_EQ(button.Right, 150);
    EXPECT_EQ(edit->TextArea().Right, 150 - 20 - 2);
    RECT client;
    GetClientRect(edit->Handle(), &client);
    EXPECT_EQ(client.right, 150 - 20 - 4);
    EXPECT_EQ(client.bottom, 20 - 4);

    TvlFBitmap frame;
    edit->ComposeFrame(frame);
    EXPECT_EQ(frame.Pixel(button.Left, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(frame.Pixel(button.Left + 5, 5), ColorToRGB(clBtnFace));
    RECT wr;
    GetWindowRect(edit->Handle(), &wr);
    SendMessageA(edit->Handle(), WM_NCMOUSEMOVE, 6, MAKELPARAM(wr.left + 140, wr.top + 10));
    edit->ComposeFrame(frame);
    EXPECT_EQ(frame.Pixel(button.Left, 5), RGB(0, 0, 128));
    EXPECT_EQ(frame.Pixel(button.Left + 5, 5), RGB(182, 189, 210));
    SendMessageA(edit->Handle(), WM_NCLBUTTONDOWN, 6, MAKELPARAM(wr.left + 140, wr.top + 10));
    edit->ComposeFrame(frame);
    EXPECT_EQ(frame.Pixel(button.Left, 5), RGB(0, 0, 128));
    EXPECT_EQ(frame.Pixel(button.Left + 5, 5), RGB(133, 147, 181));
    ReleaseCapture();
}

TEST_F(SkinEdits, TransparentEditAnswersANullBrushAndRepaintsWholeOnEveryChange) {
    auto* plain = new TvlCustomEdit(Form, Form, 10, 60, 150, 20);
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    Form->Show();
    ui::Pump();
    EXPECT_TRUE(edit->Transparent());
    EXPECT_EQ(GetWindowLongA(edit->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);  // never the window style
    EXPECT_FALSE(plain->Transparent());

    TvlFBitmap scratch(4, 4);
    HDC dc = scratch.Canvas();
    auto answer = [&](TWinControl* c) {
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(1, 2, 3));
        return reinterpret_cast<HGDIOBJ>(SendMessageA(Form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(c->Handle())));
    };
    EXPECT_EQ(answer(edit), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    auto* data = edit->SkinLook().ElementAs<TvlDataSkinEditControl>();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(GetTextColor(dc), data->FontColor);

    EXPECT_NE(answer(plain), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    plain->Font.SetColor(RGB(200, 10, 20));
    plain->SetText("plain");
    plain->SetTransparent(true);
    EXPECT_EQ(plain->Text(), "plain");
    EXPECT_NE(GetWindowLongA(plain->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(answer(plain), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 10, 20));

    // Every change of the text's pixels leaves the whole edit to repaint,
    // where an opaque edit repaints only what the platform changed.
    auto dirtyAfter = [](TWinControl* c, UINT msg, WPARAM wp, LPARAM lp) {
        UpdateWindow(c->Handle());
        ValidateRect(c->Handle(), nullptr);
        SendMessageA(c->Handle(), msg, wp, lp);
        RECT r{};
        GetUpdateRect(c->Handle(), &r, FALSE);
        return r.right - r.left >= c->ClientWidth() && r.bottom - r.top >= c->ClientHeight();
    };
    edit->SetText("some text");
    EXPECT_TRUE(dirtyAfter(edit, WM_KEYDOWN, VK_RIGHT, 0));
    EXPECT_TRUE(dirtyAfter(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other")));
    EXPECT_TRUE(dirtyAfter(edit, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3)));
    SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(dirtyAfter(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 3)));
    auto* opaque = new TvlCustomEdit(Form, Form, 10, 100, 150, 20);
    opaque->SetText("opaque");
    Form->CreateHandles();
    EXPECT_FALSE(dirtyAfter(opaque, WM_KEYDOWN, VK_RIGHT, 0));

    // The erase paints the element's client part under the text.
    TRect area = edit->TextArea();
    TvlFBitmap erased(area.Width(), area.Height());
    SendMessageA(edit->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Canvas()), 0);
    GdiFlush();
    const TvlSkinLook& look = edit->SkinLook();
    const TRect& c = look.SkinClientRect;
    int x = look.LeftTopPoint.X - c.Left;  // the first column of the tiled middle
    EXPECT_EQ(erased.Pixel(x, area.Height() / 2),
              PictureAt(look, look.SkinRect.Left + look.LeftTopPoint.X, look.SkinRect.Top + c.Top + area.Height() / 2));
    EXPECT_EQ(erased.Pixel(0, 0), PictureAt(look, look.SkinRect.Left + c.Left, look.SkinRect.Top + c.Top));
}

TEST_F(SkinEdits, MemoWithBitMapBGErasesToTheSkinPicturesClientPart) {
    auto* memo = Skinned<TvlSkinMemo>(10, 10, 250, 120);
    Form->Show();
    memo->SetText("first line\r\nsecond line");
    ui::Pump();
    TLeakCheck leaks;
    HWND before = memo->Handle();
    memo->SetBitMapBG(true);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(memo->Text(), "first line\r\nsecond line");
    EXPECT_EQ(GetWindowLongA(memo->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    {
        RECT client;
        GetClientRect(memo->Handle(), &client);
        TvlFBitmap erased(client.right, client.bottom);
        SendMessageA(memo->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Canvas()), 0);
        GdiFlush();
        // The client part of skinrect, laid from the top-left corner over and over.
        const TvlSkinLook& look = memo->SkinLook();
        const TRect& c = look.SkinClientRect;
        int mismatches = 0;
        for (int y = 0; y < client.bottom; y += 3)
            for (int x = 0; x < client.right; x += 3) {
                uint32_t want = PictureAt(look, look.SkinRect.Left + c.Left + x % c.Width(),
                                          look.SkinRect.Top + c.Top + y % c.Height());
                if (erased.Pixel(x, y) != want) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0);

        TvlFBitmap scratch(4, 4);
        HDC dc = scratch.Canvas();
        SetBkMode(dc, OPAQUE);
        auto brush = SendMessageA(Form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(memo->Handle()));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    }
    memo->SetBitMapBG(false);
    EXPECT_EQ(memo->Text(), "first line\r\nsecond line");
    ui::Pump();
    leaks.ExpectNone("the memo's background switched on and off");
}

TEST_F(SkinEdits, ButtonEditAndPictureMemoInBothSkins) {
    InstallSkinMessages();  // the frame relays the skin change to the controls
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(Skin);
    auto* edit = new TvlSkinEdit(Form, Form, 20, 20, 220, 18);
    edit->SetButtonMode(true);
    edit->SetSkinData(Skin);
    edit->SetText("Button edit");
    auto* memo = Skinned<TvlSkinMemo>(20, 60, 260, 110);
    memo->SetBitMapBG(true);
    memo->SetText("A memo on the skin's picture.\r\nSecond line of the note.\r\nThird line.");
    Form->Show();
    SetWindowPos(Form->Handle(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
    for (const char* skin : {"modern", "graphite"}) {
        if (std::string(skin) == "graphite") Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
        ASSERT_FALSE(Skin->IsEmpty());
        ASSERT_NE(edit->SkinLook().ElementAs<TvlDataSkinEditControl>(), nullptr);
        SetCursorPos(0, 0);
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        ui::Pump(100);
        ui::SaveScreenshot(Form->Handle(), std::string("buttonedit-memo-") + skin + "-normal");
        RECT wr;
        GetWindowRect(edit->Handle(), &wr);
        TRect b = edit->ButtonRect();
        SendMessageA(edit->Handle(), WM_NCMOUSEMOVE, 6,
                     MAKELPARAM(wr.left + (b.Left + b.Right) / 2, wr.top + (b.Top + b.Bottom) / 2));
        ASSERT_TRUE(edit->ButtonHot());
        UpdateWindow(edit->Handle());
        ui::Pump(50);
        ui::SaveScreenshot(Form->Handle(), std::string("buttonedit-memo-") + skin + "-hot");
        SendMessageA(edit->Handle(), WM_NCMOUSELEAVE, 0, 0);
    }
}

TEST_F(SkinEdits, AlignmentDefaultSizeAndTheFontsHeight) {
    // Alignment is the window's style; changing it makes the window again
    // with the text kept.
    auto* edit = Skinned<TvlSkinEdit>(10, 10, 200, 18);
    Form->Show();
    edit->SetText("right");
    HWND before = edit->Handle();
    edit->SetAlignment(taRightJustify);
    EXPECT_NE(edit->Handle(), before);
    EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_RIGHT);
    EXPECT_EQ(edit->Text(), "right");
    edit->SetAlignment(taCenter);
    EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_CENTER);

    // The default size only counts without an element.
    const int skinned = edit->Height();
    edit->SetDefaultWidth(120);
    edit->SetDefaultHeight(40);
    EXPECT_EQ(edit->Width(), 200);
    EXPECT_EQ(edit->Height(), skinned);
    auto* plain = new TvlSkinEdit(Form, Form, 10, 60, 200, 18);  // no skin
    plain->SetDefaultWidth(120);
    plain->SetDefaultHeight(40);
    EXPECT_EQ(plain->Width(), 120);
    EXPECT_EQ(plain->Height(), 40);
    plain->SetDefaultWidth(0);  // not positive: left as it is
    EXPECT_EQ(plain->Width(), 120);

    // Without the skin's font the font decides the height: its text height
    // and the frame's, whatever size is asked for.
    auto textHeight = [](const TFont& font) {
        HDC dc = GetDC(nullptr);
        TEXTMETRICA tm{};
        {
            SelectGuard g(dc, font.Handle());
            GetTextMetricsA(dc, &tm);
        }
        ReleaseDC(nullptr, dc);
        return static_cast<int>(tm.tmHeight);
    };
    plain->UseSkinFont = false;
    plain->DefaultFont = TFont("Arial", 24);
    plain->SkinChanged();
    EXPECT_EQ(plain->Height(), textHeight(TFont("Arial", 24)) + 4);
    plain->SetBounds(10, 60, 200, 90);
    EXPECT_EQ(plain->Height(), textHeight(TFont("Arial", 24)) + 4);
    edit->UseSkinFont = false;
    edit->SkinChanged();
    const TvlSkinLook& look = edit->SkinLook();
    EXPECT_EQ(edit->Height(), textHeight(edit->Font) + look.SkinRect.Height() - look.SkinClientRect.Height());
}
