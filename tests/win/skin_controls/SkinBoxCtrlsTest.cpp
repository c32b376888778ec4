// The up-down and the combo box: limits, repetition, keyboard and mouse
// selection, and the drop-down list's capture.
#include <string>
#include <vector>

#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"

namespace {
class SkinBoxCtrls : public SkinControlsFixture {};
}  // namespace

TEST_F(SkinBoxCtrls, UpDownKeepsItsLimitsAndRepeatsAfterTheFirstDelay) {
    TFakeTimers timers;
    auto* updown = new TvlSkinUpDown(Form, Form);
    updown->SetBounds(10, 10, 50, 25);
    updown->SetMax(3);
    int changes = 0, ups = 0;
    updown->OnChange = [&](TObject*) { ++changes; };
    updown->OnUpButtonClick = [&](TObject*) { ++ups; };
    updown->SetPosition(7);  // outside: ignored, not clamped
    EXPECT_EQ(updown->Position(), 0);
    EXPECT_EQ(changes, 0);
    Form->Show();
    HWND h = updown->Handle();
    updown->CalcGeometry();
    TRect up = updown->Part(TvlSkinUpDown::ptUp).R;
    int x = (up.Left + up.Right) / 2, y = (up.Top + up.Bottom) / 2;
    Send(updown, WM_MOUSEMOVE, 0, x, y);
    Send(updown, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    EXPECT_EQ(updown->Position(), 0);  // the press itself does not step
    EXPECT_EQ(timers.Interval(h, TvlSkinUpDown::kRepeatTimer), 500u);
    timers.Fire(h, TvlSkinUpDown::kRepeatTimer);
    EXPECT_EQ(timers.Interval(h, TvlSkinUpDown::kRepeatTimer), 100u);
    EXPECT_EQ(updown->Position(), 0);
    timers.Fire(h, TvlSkinUpDown::kRepeatTimer);
    timers.Fire(h, TvlSkinUpDown::kRepeatTimer);
    EXPECT_EQ(updown->Position(), 2);
    Send(updown, WM_LBUTTONUP, 0, x, y);  // once more on release over the button
    EXPECT_EQ(updown->Position(), 3);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(timers.Interval(h, TvlSkinUpDown::kRepeatTimer), 0u);
    Send(updown, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(updown, WM_LBUTTONUP, 0, x, y);
    EXPECT_EQ(updown->Position(), 3);  // at Max it stays
    // Released away from the button: no step, no click.
    Send(updown, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(updown, WM_MOUSEMOVE, MK_LBUTTON, 200, 200);
    Send(updown, WM_LBUTTONUP, 0, 200, 200);
    EXPECT_EQ(ups, 2);
    updown->SetMax(1);
    EXPECT_EQ(updown->Position(), 1);
    Send(updown, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    SendMessageA(h, WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(updown->Repeating());
    EXPECT_NE(GetCapture(), h);
}

namespace {
TvlSkinComboBox* Categories(TForm* form, TvlSkinData* skin, int count) {
    auto* combo = new TvlSkinComboBox(form, form, 85, 66, 120, 20, 8);
    combo->SetSkinData(skin);
    for (int i = 0; i < count; ++i) combo->Items.Add("Category " + std::to_string(i));
    combo->ItemsChanged();
    combo->SetItemIndex(0);
    return combo;
}
int ListHeight(TvlSkinComboBox* combo) {
    RECT r;
    GetWindowRect(combo->ListWindow(), &r);
    return r.bottom - r.top;
}
}  // namespace

TEST_F(SkinBoxCtrls, ComboKeyboardSelectsAndOpensWithoutAMouse) {
    auto* combo = Categories(Form, Skin, 20);
    int clicks = 0, closeUps = 0;
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->OnCloseUp = [&](TObject*) { ++closeUps; };
    Form->Show();
    combo->SetFocus();
    HWND h = combo->Handle();
    SendMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    SendMessageA(h, WM_KEYDOWN, VK_NEXT, 0);  // DropDownCount − 1
    EXPECT_EQ(combo->ItemIndex(), 8);
    SendMessageA(h, WM_KEYDOWN, VK_PRIOR, 0);  // DropDownCount + 1, not below 0
    EXPECT_EQ(combo->ItemIndex(), 0);
    SendMessageA(h, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(combo->Text(), "Category 19");
    SendMessageA(h, WM_KEYDOWN, VK_DOWN, 0);  // not beyond the last
    EXPECT_EQ(combo->ItemIndex(), 19);
    SendMessageA(h, WM_KEYDOWN, VK_HOME, 0);

    // Automation asks it as it would ask a native combo box.
    EXPECT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 20);
    EXPECT_EQ(SendMessageA(h, CB_SETCURSEL, 3, 0), 3);
    char text[32] = {};
    EXPECT_EQ(SendMessageA(h, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), 10);
    EXPECT_STREQ(text, "Category 3");
    EXPECT_EQ(SendMessageA(h, CB_GETLBTEXT, 20, reinterpret_cast<LPARAM>(text)), CB_ERR);
    GetWindowTextA(h, text, sizeof text);
    EXPECT_STREQ(text, "Category 3");
    SendMessageA(h, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(SendMessageA(h, CB_GETCURSEL, 0, 0), 0);

    // F4 opens; Escape closes and keeps the item; Enter accepts.
    SendMessageA(h, WM_KEYDOWN, VK_F4, 0);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(combo->ListRows(), 8);
    EXPECT_TRUE(IsWindowVisible(combo->ListWindow()));
    // 20 items in 8 rows: the list is 8 rows high and has its bar.
    TvlSkinListBox* list = combo->DropDownList();
    EXPECT_EQ(list->RowCount(), 8);
    ASSERT_NE(list->ScrollBar(), nullptr);
    EXPECT_EQ(list->ScrollBar()->PageSize(), 8);
    RECT inner;
    GetClientRect(combo->InnerList(), &inner);
    EXPECT_EQ(inner.bottom, 8 * list->ItemHeight());
    EXPECT_EQ(GetFocus(), h);  // the list never takes the focus
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    SendMessageA(combo->InnerList(), LB_SETCURSEL, 4, 0);
    SendMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(combo->ListWindow()));
    EXPECT_EQ(combo->ItemIndex(), 0);
    SendMessageA(h, WM_SYSKEYDOWN, VK_DOWN, 1 << 29);  // Alt+Down
    ASSERT_TRUE(combo->DroppedDown());
    SendMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(closeUps, 1);

    // Type-ahead: one letter finds the next match, two quick ones the first
    // starting with both.
    combo->Items.Assign(TStringList());
    for (const char* s : {"Home", "Work", "Garden", "Wellness", "Wood"}) combo->Items.Add(s);
    combo->ItemsChanged();
    combo->SetItemIndex(0);
    SendMessageA(h, WM_CHAR, 'w', 0);
    EXPECT_EQ(combo->Text(), "Work");
    SendMessageA(h, WM_CHAR, 'o', 0);
    EXPECT_EQ(combo->Text(), "Work");
    Sleep(600);
    SendMessageA(h, WM_CHAR, 'w', 0);  // a new search: the next W after Work
    EXPECT_EQ(combo->Text(), "Wellness");
    SendMessageA(h, WM_CHAR, 'x', 0);
    EXPECT_EQ(combo->Text(), "Wellness");  // no match: unchanged
    SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);
    EXPECT_EQ(combo->Text(), "Wood");
}

TEST_F(SkinBoxCtrls, ComboDropDownReleasesTheMouseAndClosesOnEveryWayOut) {
    auto* combo = Categories(Form, Skin, 3);
    auto* other = new TvlSkinButton(Form, Form, "Other", 300, 66, 80, 24);
    int clicks = 0, closeUps = 0;
    Form->Show();
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->OnCloseUp = [&](TObject*) { ++closeUps; };
    HWND h = combo->Handle();
    // A click on the button opens the list and leaves it open, with nothing captured.
    Send(combo, WM_LBUTTONDOWN, MK_LBUTTON, 110, 10);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(combo->ListRows(), 3);  // 3 items: 3 rows, no more
    int itemHeight = combo->DropDownList()->ItemHeight();
    EXPECT_EQ(combo->DropDownList()->ScrollBar(), nullptr);  // 3 items in 3 rows: no bar
    RECT inner;
    GetClientRect(combo->InnerList(), &inner);
    EXPECT_EQ(inner.bottom, 3 * itemHeight);
    EXPECT_EQ(ListHeight(combo), combo->DropDownList()->Height());
    Send(combo, WM_LBUTTONUP, 0, 110, 10);
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_EQ(GetCapture(), nullptr);
    // Above its form in the z-order, below the combo on the screen.
    bool listFirst = false;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == combo->ListWindow()) listFirst = true;
        if (w == Form->Handle()) break;
    }
    EXPECT_TRUE(listFirst);
    RECT cr, lr;
    GetWindowRect(h, &cr);
    GetWindowRect(combo->ListWindow(), &lr);
    EXPECT_EQ(lr.top, cr.bottom);

    // A press in the list picks the item under the pointer; its release accepts.
    SendMessageA(combo->InnerList(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, itemHeight * 2 + 2));
    EXPECT_EQ(GetCapture(), h);
    RECT ir;
    GetWindowRect(combo->InnerList(), &ir);
    POINT over{ir.left + 10, ir.top + itemHeight * 2 + 3};
    ScreenToClient(h, &over);
    Send(combo, WM_LBUTTONUP, 0, over.x, over.y);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(closeUps, 1);
    EXPECT_EQ(GetCapture(), nullptr);

    // Dragged from the button into the list and released outside it: closed, old item kept.
    Send(combo, WM_LBUTTONDOWN, MK_LBUTTON, 110, 10);
    POINT inList{ir.left + 10, ir.top + 3};
    ScreenToClient(h, &inList);
    Send(combo, WM_MOUSEMOVE, MK_LBUTTON, inList.x, inList.y);
    Send(combo, WM_LBUTTONUP, 0, 500, 300);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(GetCapture(), nullptr);

    // Focus loss and a click elsewhere close it without accepting.
    Send(combo, WM_LBUTTONDOWN, MK_LBUTTON, 110, 10);
    Send(combo, WM_LBUTTONUP, 0, 110, 10);
    ASSERT_TRUE(combo->DroppedDown());
    other->SetFocus();
    EXPECT_FALSE(combo->DroppedDown());
    combo->SetFocus();
    SendMessageA(h, WM_KEYDOWN, VK_F4, 0);
    ASSERT_TRUE(combo->DroppedDown());
    PostMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 300));
    PostMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 300));
    Application->ProcessMessages();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(GetCapture(), nullptr);

    // An empty combo does not drop down.
    combo->Items.Assign(TStringList());
    combo->ItemsChanged();
    combo->DropDown();
    EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(SkinBoxCtrls, ComboNearTheBottomDropsAboveAndTwoHundredDropDownsLeaveNothingBehind) {
    auto* combo = Categories(Form, Skin, 20);
    Form->Show();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT fr;
    GetWindowRect(Form->Handle(), &fr);
    SetWindowPos(Form->Handle(), nullptr, fr.left, work.bottom - 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    combo->DropDown();
    RECT cr, lr;
    GetWindowRect(combo->Handle(), &cr);
    GetWindowRect(combo->ListWindow(), &lr);
    EXPECT_EQ(lr.bottom, cr.top);
    combo->CloseUp(false);
    UpdateWindow(Form->Handle());

    TLeakCheck leaks;
    int before = ThreadWindowCount();
    for (int i = 0; i < 200; ++i) {
        combo->DropDown();
        ASSERT_TRUE(combo->DroppedDown());
        combo->CloseUp(i % 2 == 0);
    }
    ui::Pump();
    leaks.ExpectNone("200 combo drop-downs");
    EXPECT_EQ(ThreadWindowCount(), before);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinBoxCtrls, ListBoxShowsItsBarOnlyWhileRowsDoNotFitAndKeepsItInStep) {
    auto* box = new TvlSkinListBox(Form, Form);
    box->SetBounds(10, 10, 150, 120);
    box->SetSkinData(Skin);
    Form->Show();
    for (int i = 0; i < 3; ++i) box->Items.Add("Entry " + std::to_string(i));
    box->ItemsChanged();
    EXPECT_EQ(box->ScrollBar(), nullptr);
    EXPECT_EQ(box->ItemHeight(), box->SkinLook().ElementAs<TvlDataSkinListBox>()->ItemRect.Height());
    for (int i = 3; i < 30; ++i) box->Items.Add("Entry " + std::to_string(i));
    box->ItemsChanged();
    ASSERT_NE(box->ScrollBar(), nullptr);
    TvlSkinScrollBar* bar = box->ScrollBar();
    EXPECT_EQ(bar->Max(), 29);
    // The native list answers from outside; keys move it and the bar follows.
    HWND list = box->ListBox()->Handle();
    char text[32] = {};
    SendMessageA(list, LB_GETTEXT, 7, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Entry 7");
    box->ListBox()->SetFocus();
    ui::Key(box->ListBox(), VK_DOWN);
    EXPECT_EQ(box->ItemIndex(), 0);
    ui::Key(box->ListBox(), VK_END);
    EXPECT_EQ(box->ItemIndex(), 29);
    EXPECT_EQ(bar->Position(), SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_GT(bar->Position(), 0);
    bar->SetPosition(2);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 2);
    // Rows fitted to the items: no bar.
    box->SetRowCount(30);
    EXPECT_EQ(box->ScrollBar(), nullptr);
    RECT inner;
    GetClientRect(list, &inner);
    EXPECT_EQ(inner.bottom, 30 * box->ItemHeight());
}

TEST_F(SkinBoxCtrls, HoldingThePointerBelowTheOpenListScrollsToTheLastItem) {
    TFakeTimers timers;
    auto* combo = Categories(Form, Skin, 12);
    Form->Show();
    HWND h = combo->Handle();
    Send(combo, WM_LBUTTONDOWN, MK_LBUTTON, 110, 10);
    ASSERT_TRUE(combo->DroppedDown());
    RECT ir;
    GetWindowRect(combo->InnerList(), &ir);
    auto moveTo = [&](int screenY) {
        POINT p{ir.left + 10, screenY};
        ScreenToClient(h, &p);
        Send(combo, WM_MOUSEMOVE, MK_LBUTTON, p.x, p.y);
    };
    moveTo(ir.bottom + 20);  // not yet in the list: nothing scrolls
    EXPECT_EQ(combo->AutoScroll(), 0);
    moveTo(ir.top + 3);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 0);
    moveTo(ir.bottom + 20);
    EXPECT_EQ(combo->AutoScroll(), 2);
    EXPECT_EQ(timers.Interval(h, TvlSkinComboBox::kAutoScrollTimer), 25u);
    for (int i = 0; i < 30 && timers.Interval(h, TvlSkinComboBox::kAutoScrollTimer); ++i)
        timers.Fire(h, TvlSkinComboBox::kAutoScrollTimer);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 11);  // stopped at the last item
    EXPECT_EQ(timers.Interval(h, TvlSkinComboBox::kAutoScrollTimer), 0u);
    moveTo(ir.top - 20);  // above: back up
    EXPECT_EQ(combo->AutoScroll(), 1);
    timers.Fire(h, TvlSkinComboBox::kAutoScrollTimer);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 10);
    Send(combo, WM_LBUTTONUP, 0, 500, 500);  // released outside: closed, item kept
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(timers.LiveTimers(), 0);
}

namespace {
struct TRecordedAlpha : TLayeredWindows {
    std::vector<int> Alphas;
    bool IsSupported = true;
    bool Supported() override { return IsSupported; }
    bool SetAlpha(HWND, BYTE alpha) override {
        Alphas.push_back(alpha);
        return true;
    }
};
}  // namespace

TEST_F(SkinBoxCtrls, ComboDropDownFadesInWhereLayeredWindowsExist) {
    TRecordedAlpha layered;
    TServiceOverride<TLayeredWindows> useLayered(layered);
    auto* combo = Categories(Form, Skin, 5);
    Form->Show();
    combo->AlphaBlend = true;
    combo->AlphaBlendValue = 9;
    // Without the animation the value at once; the layered style only while open.
    combo->DropDown();
    EXPECT_EQ(layered.Alphas, (std::vector<int>{9}));
    EXPECT_NE(GetWindowLongA(combo->ListWindow(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    combo->CloseUp(false);
    EXPECT_EQ(GetWindowLongA(combo->ListWindow(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    // With it: from 0 by steps of 2, the last step cut at the value.
    layered.Alphas.clear();
    combo->AlphaBlendAnimation = true;
    combo->DropDown();
    EXPECT_EQ(layered.Alphas, (std::vector<int>{0, 2, 4, 6, 8, 9}));
    combo->CloseUp(false);
    // Where the platform has no layered windows nothing is made translucent.
    layered.Alphas.clear();
    layered.IsSupported = false;
    combo->DropDown();
    EXPECT_TRUE(layered.Alphas.empty());
    EXPECT_EQ(GetWindowLongA(combo->ListWindow(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    combo->CloseUp(false);
}
