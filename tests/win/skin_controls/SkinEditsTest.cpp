// The skinned edit and memo: a native edit window framed by the skin, the
// context menu's items and enabling, read-only protection, pasting into a
// single line, and the memo's external bar.
#include <cstring>
#include <string>
#include <vector>

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
    auto* edit = new TvlSkinEdit(Form, Form, 10, 10, 200, 18);
    edit->SetSkinData(Skin);
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
    auto* edit = new TvlSkinEdit(Form, Form, 10, 10, 200, 18);
    auto* memo = new TvlSkinMemo(Form, Form, 10, 50, 200, 100);
    edit->SetSkinData(Skin);
    memo->SetSkinData(Skin);
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
    auto* edit = new TvlSkinEdit(Form, Form, 10, 10, 200, 18);
    edit->SetSkinData(Skin);
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
    auto* edit = new TvlSkinEdit(Form, Form, 10, 10, 200, 18);
    auto* memo = new TvlSkinMemo(Form, Form, 10, 100, 200, 80);
    edit->SetSkinData(Skin);
    memo->SetSkinData(Skin);
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
