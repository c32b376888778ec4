// The window core the skinned layers stand on: creation from parameters,
// the first messages of a window, reflection, wrapped window procedures,
// application message hooks, free notification of skin data and windowless
// controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/support/ClientPixel.h"
#include "tests/win/support/UiDriver.h"
#include "tests/win/toolkit/ToolkitApplicationTest.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

using WindowCore = ToolkitApplicationTest;

bool Has(const std::vector<UINT>& list, UINT msg) { return std::find(list.begin(), list.end(), msg) != list.end(); }

// A form without a caption that records the messages of its own window.
class TBareForm : public TForm {
public:
    using TForm::TForm;
    std::vector<UINT> Seen;

protected:
    void CreateParams(TCreateParams& params) override {
        TForm::CreateParams(params);
        params.Style &= ~WS_CAPTION;
        params.Style |= WS_POPUP;
    }
    void WndProc(TMessage& m) override {
        Seen.push_back(m.Msg);
        TForm::WndProc(m);
    }
    void OnNcCalcSize(TMessage& m) override {
        ++NcCalcSizes;
        TForm::OnNcCalcSize(m);
    }

public:
    int NcCalcSizes = 0;
};

// A native list view that records its first messages and what its parent
// reflects to it.
class TRecordingListView : public TListView {
public:
    using TListView::TListView;
    std::vector<UINT> Seen, Reflected;
    std::vector<UINT> NotifyCodes;
    bool OnReflected(TMessage& m) override {
        Reflected.push_back(m.Msg);
        if (m.Msg == WM_NOTIFY) NotifyCodes.push_back(reinterpret_cast<NMHDR*>(m.LParam)->code);
        return TListView::OnReflected(m);
    }

protected:
    void WndProc(TMessage& m) override {
        Seen.push_back(m.Msg);
        TListView::WndProc(m);
    }
};

// A button that asks for owner drawing, as a skinned button would.
class TOwnerDrawButton : public TButton {
public:
    using TButton::TButton;
    int Drawn = 0;
    std::vector<UINT> Reflected;
    bool OnReflected(TMessage& m) override {
        Reflected.push_back(m.Msg);
        if (m.Msg == WM_DRAWITEM) {
            ++Drawn;
            m.Result = TRUE;
            return true;
        }
        return TButton::OnReflected(m);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TButton::CreateParams(params);
        params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
    }
};

class TRecordingEdit : public TEdit {
public:
    using TEdit::TEdit;
    std::vector<UINT> Reflected;
    HBRUSH Brush = CreateSolidBrush(RGB(1, 2, 3));
    ~TRecordingEdit() override { DeleteObject(Brush); }
    bool OnReflected(TMessage& m) override {
        Reflected.push_back(m.Msg);
        if (m.Msg == WM_CTLCOLOREDIT) {
            m.Result = reinterpret_cast<LRESULT>(Brush);
            return true;
        }
        return TEdit::OnReflected(m);
    }
};

// An owner-drawn native combo box: its item height is asked with
// WM_MEASUREITEM while the window is being created.
class TMeasuredCombo : public TWinControl {
public:
    TMeasuredCombo(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
        : TWinControl(owner, parent) {
        SetBounds(left, top, width, height);
    }
    int Measured = 0;
    bool OnReflected(TMessage& m) override {
        if (m.Msg == WM_MEASUREITEM) {
            ++Measured;
            reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = 17;
            m.Result = TRUE;
            return true;
        }
        return TWinControl::OnReflected(m);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.WinClassName = "COMBOBOX";
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL;
    }
};

class TScrollRecorder : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::pair<UINT, WORD>> Scrolls;
    bool OnReflected(TMessage& m) override {
        if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
            Scrolls.push_back({m.Msg, LOWORD(m.WParam)});
            return true;
        }
        return TCustomControl::OnReflected(m);
    }
};

class TRecordingWrapper : public TWindowProcWrapper {
public:
    using TWindowProcWrapper::TWindowProcWrapper;
    std::vector<UINT> Seen;
    UINT Swallow = 0;

protected:
    void WrappedWndProc(TMessage& m) override {
        Seen.push_back(m.Msg);
        if (m.Msg == Swallow) {
            m.Result = 77;
            return;
        }
        CallPrevious(m);
    }
};

// A windowless square in one colour that records its mouse input.
class TSquare : public TGraphicControl {
public:
    TSquare(TComponent* owner, TWinControl* parent, int l, int t, int size, TColor colour)
        : TGraphicControl(owner, parent), FColour(colour) {
        SetBounds(l, t, size, size);
    }
    void Paint(TCanvas& canvas) override {
        if (FColour != clNone) canvas.FillRect(RECT{0, 0, Width(), Height()}, FColour);
    }
    bool HitTest(int x, int y) const override { return !(HoleRight && x >= Width() / 2); }
    void MouseDown(TMouseButton, TShiftState, int x, int y) override { Downs.push_back({x, y}); }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override { Ups.push_back({x, y}); }
    void MouseEnter() override {
        ++Enters;
        TGraphicControl::MouseEnter();
    }
    void MouseLeave() override {
        ++Leaves;
        TGraphicControl::MouseLeave();
    }
    static constexpr TColor clNone = 0xFFFFFFFF;
    bool HoleRight = false;
    int Clicks = 0, Enters = 0, Leaves = 0;
    std::vector<POINT> Downs, Ups;
    void Click() override {
        ++Clicks;
        TGraphicControl::Click();
    }

private:
    TColor FColour;
};

// A windowed control in its colour that counts its paints.
class TCountedPanel : public TCustomControl {
public:
    TCountedPanel(TComponent* owner, TWinControl* parent, int l, int t, int w, int h, TColor colour)
        : TCustomControl(owner, parent) {
        Color = colour;
        SetBounds(l, t, w, h);
    }
    int Paints = 0;

protected:
    void PaintWindow(TCanvas& canvas) override {
        ++Paints;
        TCustomControl::PaintWindow(canvas);
    }
};

// What the screen shows at (x, y) of a window's client area.
COLORREF ShownPixel(TWinControl* control, int x, int y) {
    HDC dc = GetDC(control->Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(control->Handle(), dc);
    return c;
}

}  // namespace

TEST_F(WindowCore, CreationParametersAndTheFirstMessagesReachTheOverrides) {
    auto* form = new TBareForm(Application, "Bare", 300, 200);
    EXPECT_FALSE(form->HandleAllocated());  // constructed only
    auto* list = new TRecordingListView(form, form, true, false);
    list->SetBounds(10, 10, 200, 100);
    auto* button = new TOwnerDrawButton(form, form, "Owner", 220, 10, 70, 24);
    form->Show();

    ASSERT_TRUE(form->HandleAllocated());
    ASSERT_FALSE(form->Seen.empty());
    // The object is bound before the window's first message.
    EXPECT_TRUE(form->Seen.front() == WM_GETMINMAXINFO || form->Seen.front() == WM_NCCREATE) << form->Seen.front();
    EXPECT_TRUE(Has(form->Seen, WM_NCCREATE));
    EXPECT_GE(form->NcCalcSizes, 1);
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(form->Handle(), GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, 0u);
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);

    // A native control keeps its class and is subclassed from its first message.
    char cls[64];
    GetClassNameA(list->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "SysListView32");
    EXPECT_TRUE(Has(list->Seen, WM_NCCREATE));
    EXPECT_TRUE(Has(list->Seen, WM_NCCALCSIZE));
    EXPECT_TRUE(Has(list->Seen, WM_CREATE));
    EXPECT_EQ(TWinControl::FromHandle(list->Handle()), list);

    GetClassNameA(button->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "Button");
    EXPECT_EQ(GetWindowLongPtrA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    char text[32];
    GetWindowTextA(button->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Owner");  // the caption is the window text
}

TEST_F(WindowCore, ParentsReflectNotificationsToTheChildThatSentThem) {
    auto* form = new TForm(Application, "Reflection", 400, 300);
    auto* list = new TRecordingListView(form, form, true, false);
    list->SetBounds(10, 10, 200, 120);
    list->AddColumn("Text", 100);
    auto* button = new TOwnerDrawButton(form, form, "Draw", 220, 10, 70, 24);
    auto* edit = new TRecordingEdit(form, form, 220, 50, 120, 20);
    auto* combo = new TMeasuredCombo(form, form, 220, 80, 120, 150);
    auto* panel = new TScrollRecorder(form, form);
    panel->SetBounds(10, 140, 200, 100);
    auto* scroll = new TScrollRecorder(form, panel);
    scroll->SetBounds(0, 0, 20, 100);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form->Show();

    // WM_COMMAND: a click reaches the button's own handler.
    ui::Click(button);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(Has(button->Reflected, WM_COMMAND));
    // WM_DRAWITEM: the owner-drawn button draws itself.
    InvalidateRect(button->Handle(), nullptr, TRUE);
    UpdateWindow(button->Handle());
    EXPECT_GE(button->Drawn, 1);
    // WM_NOTIFY, custom draw included.
    int row = list->AddItem("one");
    list->SetChecked(row, true);
    InvalidateRect(list->Handle(), nullptr, TRUE);
    UpdateWindow(list->Handle());
    EXPECT_TRUE(Has(list->NotifyCodes, LVN_ITEMCHANGED));
    EXPECT_TRUE(Has(list->NotifyCodes, static_cast<UINT>(NM_CUSTOMDRAW)));
    // WM_CTLCOLOREDIT: the edit answers with its own brush.
    InvalidateRect(edit->Handle(), nullptr, TRUE);
    UpdateWindow(edit->Handle());
    EXPECT_TRUE(Has(edit->Reflected, WM_CTLCOLOREDIT));
    // WM_MEASUREITEM, asked while the combo box was being created.
    EXPECT_GE(combo->Measured, 1);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 17);
    // Scroll messages from a child go to that child, not to the parent.
    SendMessageA(panel->Handle(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(scroll->Handle()));
    SendMessageA(panel->Handle(), WM_HSCROLL, SB_PAGELEFT, reinterpret_cast<LPARAM>(scroll->Handle()));
    ASSERT_EQ(scroll->Scrolls.size(), 2u);
    EXPECT_EQ(scroll->Scrolls[0], (std::pair<UINT, WORD>{WM_VSCROLL, SB_LINEDOWN}));
    EXPECT_EQ(scroll->Scrolls[1], (std::pair<UINT, WORD>{WM_HSCROLL, SB_PAGELEFT}));
    // The window's own scroll bars (no child) are not reflected anywhere.
    SendMessageA(panel->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(scroll->Scrolls.size(), 2u);
    EXPECT_TRUE(panel->Scrolls.empty());
}

TEST_F(WindowCore, AWrappedWindowProcedureIsRestoredWhicheverGoesFirst) {
    auto* form = new TForm(Application, "Wrapped", 200, 100);
    form->Show();
    const UINT probe = WM_APP + 7;
    // The wrapper goes first: the form answers as before.
    auto* outer = new TRecordingWrapper(nullptr);
    auto* inner = new TRecordingWrapper(nullptr);
    inner->Attach(form);
    outer->Attach(form);
    outer->Swallow = probe;
    EXPECT_EQ(SendMessageA(form->Handle(), probe, 0, 0), 77);
    EXPECT_TRUE(Has(outer->Seen, probe));
    EXPECT_FALSE(Has(inner->Seen, probe));  // the newest wrapper sees messages first
    SendMessageA(form->Handle(), WM_NULL, 0, 0);
    EXPECT_TRUE(Has(inner->Seen, WM_NULL));  // passed on through the older one
    delete outer;
    EXPECT_EQ(SendMessageA(form->Handle(), probe, 0, 0), 0);
    delete inner;
    EXPECT_EQ(SendMessageA(form->Handle(), WM_GETTEXTLENGTH, 0, 0), 7);  // "Wrapped", unwrapped

    // The window goes first: the wrapper forgets it and can still be freed.
    auto* wrapper = new TRecordingWrapper(nullptr);
    auto* other = new TForm(Application, "Other", 100, 50);
    wrapper->Attach(other);
    other->Show();
    EXPECT_TRUE(Has(wrapper->Seen, WM_NCCREATE));  // wrapped before the window existed
    other->Release();
    EXPECT_EQ(wrapper->Target(), nullptr);
    delete wrapper;

    // A wrapper owned by the form goes with it.
    auto* owned = new TRecordingWrapper(form);
    owned->Attach(form);
    SendMessageA(form->Handle(), WM_NULL, 0, 0);
    EXPECT_TRUE(Has(owned->Seen, WM_NULL));
}

TEST_F(WindowCore, MessageHooksRunInEveryLoopAndGoWithTheirOwner) {
    int baseline = Application->MessageHookCount();
    auto* owner = new TComponent(nullptr);
    std::vector<UINT> seen;
    const UINT probe = WM_APP + 11;
    new TMessageHook(owner, [&](MSG& msg) {
        if (msg.message != probe) return false;
        seen.push_back(static_cast<UINT>(msg.wParam));
        return true;  // used: never dispatched
    });
    EXPECT_EQ(Application->MessageHookCount(), baseline + 1);

    auto* form = new TForm(Application, "Hooks", 200, 100);
    int dispatched = 0;
    auto* counter = new TRecordingWrapper(form);
    counter->Attach(form);
    form->Show();
    PostMessageA(form->Handle(), probe, 1, 0);
    Application->ProcessMessages();
    // A modal loop runs the hooks too.
    auto* dialog = new TForm(Application, "Modal", 100, 50);
    ui::OnNextModal([&](TForm* box) {
        PostMessageA(box->Handle(), probe, 2, 0);
        Application->ProcessMessages();
        box->ModalResult = mrOk;
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    dialog->Release();
    ASSERT_EQ(seen, (std::vector<UINT>{1, 2}));
    for (UINT m : counter->Seen)
        if (m == probe) ++dispatched;
    EXPECT_EQ(dispatched, 0);

    delete owner;
    EXPECT_EQ(Application->MessageHookCount(), baseline);
    PostMessageA(form->Handle(), probe, 3, 0);
    Application->ProcessMessages();
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(Has(counter->Seen, probe));  // dispatched normally once the hook is gone
}

TEST_F(WindowCore, DestroyedSkinDataClearsEveryControlsReference) {
    auto* form = new TForm(Application, "Skins", 300, 200);
    auto* skin = new TvlSkinData(form);
    auto* button = new TvlSkinButton(form, form, "b", 0, 0, 50, 20);
    auto* label = new TvlSkinStdLabel(form, form, "l", 0, 30);
    auto* list = new TvlSkinListView(form, form, false, false);
    auto* pages = new TvlSkinPageControl(form, form, true);
    TvlSkinTabSheet* sheet = pages->AddSheet("One");
    std::vector<std::function<TvlSkinData*()>> refs = {
        [&] { return button->SkinData(); }, [&] { return label->SkinData(); }, [&] { return list->SkinData(); },
        [&] { return pages->SkinData(); }, [&] { return sheet->SkinData(); }};
    button->SetSkinData(skin);
    label->SetSkinData(skin);
    list->SetSkinData(skin);
    pages->SetSkinData(skin);
    sheet->SetSkinData(skin);
    for (auto& ref : refs) EXPECT_EQ(ref(), skin);
    form->Show();
    delete skin;
    for (auto& ref : refs) EXPECT_EQ(ref(), nullptr);

    // A control that goes first leaves the skin data unharmed.
    auto* second = new TvlSkinData(nullptr);
    auto* brief = new TvlSkinButton(form, form, "x", 0, 0, 10, 10);
    brief->SetSkinData(second);
    delete brief;
    delete second;
}

TEST_F(WindowCore, WindowlessControlsPaintInZOrderAndTakeTheirMouseInput) {
    auto* form = new TForm(Application, "Graphic", 200, 120);
    form->Color = RGB(200, 200, 200);
    auto* lower = new TSquare(form, form, 10, 10, 60, RGB(255, 0, 0));
    auto* upper = new TSquare(form, form, 40, 40, 60, RGB(0, 0, 255));
    auto* hole = new TSquare(form, form, 120, 10, 60, TSquare::clNone);
    hole->ControlStyle |= csOpaque;  // paints nothing and asks for no background
    form->Show();

    EXPECT_EQ(ClientPixel(form, 20, 20), RGB(255, 0, 0));
    EXPECT_EQ(ClientPixel(form, 50, 50), RGB(0, 0, 255));  // the later control is on top
    EXPECT_EQ(ClientPixel(form, 5, 5), RGB(200, 200, 200));
    EXPECT_NE(ClientPixel(form, 130, 20), RGB(200, 200, 200));  // no background behind an opaque control

    // A click on the overlap goes to the upper control, in its coordinates.
    ui::ClickAt(form->Handle(), 50, 50);
    EXPECT_EQ(upper->Clicks, 1);
    EXPECT_EQ(lower->Clicks, 0);
    ASSERT_EQ(upper->Downs.size(), 1u);
    EXPECT_EQ(upper->Downs[0].x, 10);
    EXPECT_EQ(upper->Downs[0].y, 10);
    EXPECT_EQ(upper->Ups.size(), 1u);
    // Where the upper control says it is not hit, the lower one gets it.
    upper->HoleRight = true;
    ui::ClickAt(form->Handle(), 45, 45);  // left half of the upper control
    EXPECT_EQ(upper->Clicks, 2);
    upper->SetBounds(20, 20, 60, 60);
    ui::ClickAt(form->Handle(), 60, 30);  // right half of upper (a hole), inside lower
    EXPECT_EQ(lower->Clicks, 1);
    EXPECT_EQ(upper->Clicks, 2);

    // Pressing one control and releasing over another clicks neither.
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 25));
    SendMessageA(form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 100));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
    EXPECT_EQ(upper->Clicks + lower->Clicks, 3);
    EXPECT_EQ(GetCapture(), nullptr);

    // Enter and leave follow the mouse from control to control.
    int enters = upper->Enters, leaves = upper->Leaves;
    SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));    // upper (left half)
    SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 110));  // nothing
    EXPECT_EQ(upper->Enters, enters + 1);
    EXPECT_EQ(upper->Leaves, leaves + 1);
    SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    SendMessageA(form->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(upper->Leaves, leaves + 2);

    // The cursor of the control under the mouse.
    upper->Cursor = crHandPoint;
    POINT p{30, 30};
    ClientToScreen(form->Handle(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
}

TEST_F(WindowCore, APaintDrawsOnlyWhatChildWindowsLeaveShowing) {
    auto* form = new TForm(Application, "Covered", 240, 160);
    // Left part covered by a child window, a windowless square in the part
    // that shows: painted through a buffer of that part only, the square
    // still lands at its own place.
    auto* panel = new TCountedPanel(form, form, 0, 0, 200, 100, RGB(255, 0, 0));
    auto* cover = new TCountedPanel(form, panel, 0, 0, 120, 100, RGB(0, 160, 0));
    new TSquare(form, panel, 150, 60, 30, RGB(0, 0, 255));
    // Another covered all over by its child.
    auto* hidden = new TCountedPanel(form, form, 0, 100, 200, 40, RGB(255, 255, 0));
    auto* whole = new TCountedPanel(form, hidden, 0, 0, 200, 40, RGB(0, 0, 160));
    form->Show();
    ui::Pump(20);
    EXPECT_GT(panel->Paints, 0);
    EXPECT_EQ(ShownPixel(panel, 130, 10), RGB(255, 0, 0));
    EXPECT_EQ(ShownPixel(panel, 199, 99), RGB(255, 0, 0));
    EXPECT_EQ(ShownPixel(panel, 160, 70), RGB(0, 0, 255));
    EXPECT_EQ(ShownPixel(panel, 179, 89), RGB(0, 0, 255));
    EXPECT_EQ(ShownPixel(panel, 149, 70), RGB(255, 0, 0));
    EXPECT_EQ(ShownPixel(cover, 10, 10), RGB(0, 160, 0));
    EXPECT_EQ(ShownPixel(whole, 10, 10), RGB(0, 0, 160));
    EXPECT_EQ(hidden->Paints, 0) << "a window its child covers painted";
    EXPECT_GT(whole->Paints, 0);
    // Uncovered again, it paints.
    whole->SetVisible(false);
    ui::Pump(20);
    EXPECT_GT(hidden->Paints, 0);
    EXPECT_EQ(ShownPixel(hidden, 10, 10), RGB(255, 255, 0));
    // A picture of the window asked for from outside is whole.
    EXPECT_EQ(ClientPixel(panel, 10, 10), RGB(255, 0, 0));
}

TEST_F(WindowCore, AHiddenControlsWindowIsMadeWhenItFirstShowsWithWhatItWasGiven) {
    auto* form = new TForm(Application, "Sheets", 400, 300);
    auto* pages = new TPageControl(form, form, false);
    pages->SetAlign(alClient);
    TTabSheet* first = pages->AddSheet("First");
    TTabSheet* second = pages->AddSheet("Second");
    auto* list = new TListView(form, second, true, false);
    list->SetAlign(alClient);
    list->AddColumn("Done", 40);
    list->AddColumn("Text", 0, true);
    int changes = 0;
    list->OnChange = [&](TObject*, int, TItemChange) { ++changes; };
    pages->SetActivePageIndex(1);  // shown and hidden again before the form shows
    pages->SetActivePageIndex(0);

    // Rows given to a list without a window are kept, and read back as given.
    {
        TUpdateGuard<TListView> update(list);
        list->SetItemCount(4);
        for (int i = 0; i < 4; ++i) {
            int row = list->AddItem("Row " + std::to_string(i));
            ASSERT_EQ(row, i);
            if (i != 1) list->SetItemText(row, 1, "Text " + std::to_string(i));
        }
        list->SetChecked(2, true);
        list->SetSelectedIndex(3);
        list->DeleteItem(0);  // the selection stays on its row
    }
    form->Show();
    ui::Pump(30);
    EXPECT_TRUE(first->HandleAllocated());
    EXPECT_FALSE(second->HandleAllocated()) << "a sheet not shown yet has no window";
    EXPECT_FALSE(list->HandleAllocated());
    auto readBack = [&](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_EQ(list->ItemCount(), 3);
        EXPECT_EQ(list->ItemText(0, 0), "Row 1");
        EXPECT_EQ(list->ItemText(0, 1), "");
        EXPECT_EQ(list->ItemText(1, 1), "Text 2");
        EXPECT_EQ(list->ItemText(2, 0), "Row 3");
        EXPECT_FALSE(list->Checked(0));
        EXPECT_TRUE(list->Checked(1));
        EXPECT_EQ(list->SelectedIndex(), 2);
    };
    readBack("kept");

    // Showing the sheet makes its windows, the rows go in unreported, and
    // the sheet stacks above the sibling made before it.
    pages->SetActivePageIndex(1);
    ui::Pump(30);
    ASSERT_TRUE(list->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(GetParent(list->Handle()), second->Handle());
    readBack("in the window");
    EXPECT_EQ(static_cast<int>(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0)), 3);
    EXPECT_EQ(changes, 0);
    list->SetChecked(0, true);
    EXPECT_GT(changes, 0) << "changes in the window are reported again";
    RECT r;
    GetClientRect(second->Handle(), &r);
    EXPECT_EQ(list->Width(), r.right);

    // A window made after a sibling that comes later takes its own place.
    auto* panel = new TPanel(form, first);
    panel->SetBounds(0, 0, 100, 100);
    auto* above = new TPanel(form, panel);
    above->SetBounds(0, 0, 50, 50);
    above->SetVisible(false);
    auto* below = new TPanel(form, panel);
    below->SetBounds(20, 20, 50, 50);
    pages->SetActivePageIndex(0);
    panel->Handle();
    ui::Pump(10);
    ASSERT_TRUE(below->HandleAllocated());
    ASSERT_FALSE(above->HandleAllocated());
    above->SetVisible(true);
    ASSERT_TRUE(above->HandleAllocated());
    EXPECT_EQ(GetWindow(panel->Handle(), GW_CHILD), above->Handle());
    EXPECT_EQ(GetWindow(above->Handle(), GW_HWNDNEXT), below->Handle());

    // Asked for, the window of a hidden control is made at once.
    auto* hidden = new TListView(form, second, false, false);
    hidden->SetVisible(false);
    hidden->AddItem("Kept");
    EXPECT_FALSE(hidden->HandleAllocated());
    ASSERT_NE(hidden->Handle(), nullptr);
    EXPECT_FALSE(IsWindowVisible(hidden->Handle()));
    EXPECT_EQ(hidden->ItemText(0, 0), "Kept");
    EXPECT_EQ(static_cast<int>(SendMessageA(hidden->Handle(), LVM_GETITEMCOUNT, 0, 0)), 1);
    form->Release();
}
