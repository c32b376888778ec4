// What the edits take (mask, password, case, selection), their margins and
// hover events; a tree of more rows than a scroll message can name; the
// combo's drop-down, wheel, size and background; the up-down sized by its
// owner.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/controls/vlEditMask.h"
#include "skin/data/vlCompose.h"
#include "skin/form/Lacquer.h"
#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/ClientShot.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/ExtCtrls.h"

namespace {
class SkinSecondPass : public SkinControlsFixture {
protected:
    TvlSkinEdit* ShownEdit(int top = 10) {
        auto* edit = new TvlSkinEdit(Form, Form, 10, top, 150, 20);
        edit->SetSkinData(Skin);
        Form->Show();
        ui::Pump();
        return edit;
    }
    static std::pair<DWORD, DWORD> Selection(TWinControl* c) {
        DWORD start = 0, end = 0;
        SendMessageA(c->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    // A tree filling a panel with a skinned bar at its right, as the planner has it.
    TvlSkinTreeView* TreeWithBar(TPanel*& panel, TvlSkinScrollBar*& bar) {
        panel = new TPanel(Form, Form);
        panel->SetBounds(10, 10, 200, 200);
        bar = new TvlSkinScrollBar(Form, panel, sbVertical);
        bar->SetAlign(alRight);
        bar->SetSkinData(Skin);
        auto* tree = new TvlSkinTreeView(Form, panel);
        tree->SetAlign(alClient);
        tree->SetVScrollBar(bar);
        tree->SetSkinData(Skin);
        return tree;
    }
    static TvlFBitmap Shot(TWinControl* c) { return ClientShot(c, c->Width(), c->Height()); }
};

HTREEITEM FirstVisible(TWinControl* tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree->Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
}
}  // namespace

TEST(EditMask, PlacesLiteralsCaseAndTheValue) {
    TvlEditMask date("!00/00/0000;1;_");
    EXPECT_EQ(date.Length(), 10);
    EXPECT_EQ(date.BlankText(), "__/__/____");
    std::string text = date.BlankText();
    int caret = 0;
    for (char c : std::string("12")) EXPECT_TRUE(date.Type(text, caret, c));
    EXPECT_EQ(caret, 3) << "the caret jumps the literal";
    EXPECT_FALSE(date.Type(text, caret, 'x')) << "a letter in a digit place";
    EXPECT_FALSE(date.Type(text, caret, '/')) << "a literal is not typed over";
    EXPECT_EQ(text, "12/__/____");
    EXPECT_TRUE(date.Backspace(text, caret));
    EXPECT_EQ(caret, 1) << "back over the literal to the last digit";
    EXPECT_EQ(text, "1_/__/____");
    EXPECT_FALSE(date.Complete(text));
    EXPECT_EQ(date.Value(text), "1 /  /    ");
    text = date.Apply("31122024");
    EXPECT_EQ(text, "31/12/2024") << "a value without its literals";
    EXPECT_EQ(date.Apply("31/12/2024"), "31/12/2024") << "and one with them";
    EXPECT_TRUE(date.Complete(text));
    date.Clear(text, 2, 6);
    EXPECT_EQ(text, "31/__/2024");

    // Case switches, optional places, escaped literals, no saved literals.
    TvlEditMask code(">LL<ll\\-99;0;*");
    EXPECT_EQ(code.BlankText(), "****-**");
    text = code.BlankText();
    caret = 0;
    for (char c : std::string("abCD7")) EXPECT_TRUE(code.Type(text, caret, c)) << c;
    EXPECT_EQ(text, "ABcd-7*");
    EXPECT_TRUE(code.Complete(text)) << "the digits are optional";
    EXPECT_EQ(code.Value(text), "ABcd7 ") << "no literals saved; a blank reads as a space";
    EXPECT_EQ(code.NextEditable(4), 5);
    EXPECT_EQ(code.PriorEditable(5), 3);
    EXPECT_TRUE(TvlEditMask("").Empty());
}

TEST_F(SkinSecondPass, MaskedPasswordAndCasedEditsTypedInto) {
    auto* edit = ShownEdit();
    edit->SetEditMask("!00/00/0000;1;_");
    EXPECT_EQ(edit->Text(), "__/__/____");
    edit->SetFocus();
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 0);
    ui::Type(edit, "3x112/2024");
    EXPECT_EQ(edit->Text(), "31/12/2024") << "the letter and the typed literal are refused";
    EXPECT_EQ(edit->MaskedValue(), "31/12/2024");
    ui::Type(edit, "\b\b");
    EXPECT_EQ(edit->Text(), "31/12/20__");
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 5);
    ui::Key(edit, VK_DELETE);
    EXPECT_EQ(edit->Text(), "__/__/20__") << "Delete blanks the places, the literals stay";
    edit->SetEditText("01022003");
    EXPECT_EQ(edit->Text(), "01/02/2003");
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    SendMessageA(edit->Handle(), EM_SETSEL, 3, 3);
    ui::Type(edit, "9");
    EXPECT_EQ(edit->Text(), "01/92/2003");
    EXPECT_GE(changes, 1) << "typing under a mask is a change";
    edit->SetEditMask("");
    ui::Type(edit, "x");
    EXPECT_NE(edit->Text().find('x'), std::string::npos) << "without a mask anything goes";

    auto* secret = ShownEdit(40);
    secret->SetPasswordChar('*');
    secret->SetFocus();
    ui::Type(secret, "s3cret");
    EXPECT_EQ(secret->Text(), "s3cret") << "the text itself is kept";
    EXPECT_TRUE(GetWindowLongA(secret->Handle(), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(SendMessageA(secret->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
    secret->SetPasswordChar('#');
    EXPECT_EQ(SendMessageA(secret->Handle(), EM_GETPASSWORDCHAR, 0, 0), '#');
    secret->SetPasswordChar(0);
    EXPECT_FALSE(GetWindowLongA(secret->Handle(), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(secret->Text(), "s3cret");

    auto* upper = ShownEdit(70);
    upper->SetCharCase(ecUpperCase);
    upper->SetFocus();
    ui::Type(upper, "Mixed Case");
    EXPECT_EQ(upper->Text(), "MIXED CASE");
    upper->SetCharCase(ecLowerCase);
    EXPECT_EQ(upper->Text(), "mixed case") << "the text there follows the new case";
    SendMessageA(upper->Handle(), EM_SETSEL, 10, 10);
    ui::Type(upper, "X");
    EXPECT_EQ(upper->Text().back(), 'x');
}

TEST_F(SkinSecondPass, EditsSelectOnFocusKeepTheirMarginsAndReportHoverAfterTheLook) {
    auto* first = ShownEdit(10);
    auto* second = ShownEdit(40);
    second->SetText("everything");
    first->SetFocus();
    second->SetFocus();
    EXPECT_EQ(Selection(second), std::make_pair(DWORD{0}, DWORD{10})) << "AutoSelect";
    second->AutoSelect = false;
    SendMessageA(second->Handle(), EM_SETSEL, 2, 2);
    first->SetFocus();
    second->SetFocus();
    EXPECT_EQ(Selection(second), std::make_pair(DWORD{2}, DWORD{2}));

    // A click focuses without selecting: it places the caret.
    second->AutoSelect = true;
    first->SetFocus();
    SendMessageA(second->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 8));
    SendMessageA(second->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 8));
    EXPECT_TRUE(second->Focused());
    EXPECT_EQ(Selection(second).first, Selection(second).second);

    EXPECT_FALSE(GetWindowLongA(second->Handle(), GWL_STYLE) & ES_NOHIDESEL);
    second->SetHideSelection(false);
    EXPECT_TRUE(GetWindowLongA(second->Handle(), GWL_STYLE) & ES_NOHIDESEL);
    EXPECT_EQ(second->Text(), "everything");

    // Margins: 2 on the left, none on the right, after every font change.
    for (TvlSkinEdit* e : {first, second}) {
        EXPECT_EQ(SendMessageA(e->Handle(), EM_GETMARGINS, 0, 0), MAKELONG(2, 0));
        e->SkinChanged();
        EXPECT_EQ(SendMessageA(e->Handle(), EM_GETMARGINS, 0, 0), MAKELONG(2, 0));
    }

    // The hover events come after the look changed.
    bool hoveredOnEnter = false, hoveredOnLeave = true;
    first->OnMouseEnter = [&](TObject*) { hoveredOnEnter = first->Hovered(); };
    first->OnMouseLeave = [&](TObject*) { hoveredOnLeave = first->Hovered(); };
    SendMessageA(first->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(first->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(hoveredOnEnter);
    EXPECT_FALSE(hoveredOnLeave);

    // The context menu's captions: the form frame's skin, else the edit's;
    // the memo always its own.
    auto* memo = new TvlSkinMemo(Form, Form, 200, 10, 150, 80);
    memo->SetSkinData(Skin);
    memo->HandleNeeded();
    EXPECT_EQ(first->MenuSkin(), Skin);
    auto* frameSkin = new TvlSkinData(Form);
    frameSkin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(frameSkin);
    EXPECT_EQ(first->MenuSkin(), frameSkin);
    EXPECT_EQ(memo->MenuSkin(), Skin);
    delete frame;
    EXPECT_EQ(first->MenuSkin(), Skin) << "no frame any more";

    // A disabled memo's text is grey, the element's colour notwithstanding.
    COLORREF enabled = memo->TextColour();
    memo->SetEnabled(false);
    EXPECT_EQ(memo->TextColour(), GetSysColor(COLOR_GRAYTEXT));
    memo->SetEnabled(true);
    EXPECT_EQ(memo->TextColour(), enabled);
}

TEST_F(SkinSecondPass, ATreeOfSeventyThousandRowsScrollsToItsEndByTheBar) {
    TPanel* panel = nullptr;
    TvlSkinScrollBar* V = nullptr;
    auto* tree = TreeWithBar(panel, V);
    Form->Show();
    constexpr int kChildren = 70000;
    TTreeNode* root = tree->AddRoot("All");
    for (int i = 0; i < kChildren; ++i) tree->AddChild(root, "Row " + std::to_string(i));
    tree->Expand(root, false);
    ui::Pump();
    ASSERT_TRUE(V->Visible());
    ASSERT_GT(V->Max(), 65535) << "the bar has the whole range";
    // Row r of the expanded tree: the root, then its children in order.
    auto row = [&](int r) { return tree->Nodes()[static_cast<size_t>(r)]->Item; };
    int visible = static_cast<int>(SendMessageA(tree->Handle(), TVM_GETVISIBLECOUNT, 0, 0));
    int last = kChildren + 1 - visible;
    for (int position : {100, 40000, 65535, 65536, last, 50000, 20, last}) {
        V->SetPosition(position);
        EXPECT_EQ(FirstVisible(tree), row(position)) << position;
        SCROLLINFO info{sizeof info, SIF_POS};
        GetScrollInfo(tree->Handle(), SB_VERT, &info);
        EXPECT_EQ(info.nPos, position) << "the tree's own position agrees";
    }
    // And the other way: the tree scrolls itself to its end, the bar follows
    // with the full position.
    V->SetPosition(0);
    SendMessageA(tree->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(V->Position(), last);
    EXPECT_EQ(FirstVisible(tree), row(last));

    TLeakCheck leaks;
    for (int i = 0; i < 6; ++i) V->SetPosition(i % 2 ? 66000 + i : 30000 + i);
    ui::Pump();
    leaks.ExpectNone("scrolling the long tree");
}

TEST_F(SkinSecondPass, ComboListWheelFocusSizeAndABackgroundRequest) {
    auto* combo = new TvlSkinComboBox(Form, Form, 10, 10, 150, 20);
    combo->SetSkinData(Skin);
    for (const char* s : {"One", "Two", "Three", "Four", "Five"}) combo->Items.Add(s);
    combo->ItemsChanged();
    combo->SetItemIndex(1);
    Form->Show();
    combo->SetFocus();
    ui::Pump();
    TvlFBitmap focusedClosed = Shot(combo);

    combo->DropDown();
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(combo->DropDownList()->SkinDataName, "listbox") << "the element's listboxname";
    ULONG_PTR style = GetClassLongPtrA(combo->ListWindow(), GCL_STYLE);
    EXPECT_TRUE(style & CS_SAVEBITS) << "the drop-down saves the bits under it";
    TvlFBitmap focusedOpen = Shot(combo);
    int differ = 0;
    for (int y = 0; y < focusedOpen.Height(); ++y)
        for (int x = 0; x < focusedOpen.Width(); ++x) differ += focusedOpen.Pixel(x, y) != focusedClosed.Pixel(x, y);
    EXPECT_EQ(differ, 0) << "the item keeps its focused look while the list is open";

    int clicks = 0;
    combo->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 3) << "the wheel moves the open list";
    EXPECT_EQ(combo->ItemIndex(), 1) << "not the combo's item";
    EXPECT_EQ(clicks, 0);
    ui::Key(combo, VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 3);
    SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(combo->ItemIndex(), 2) << "closed, the wheel moves the item";

    // Someone else's background request gets the combo's look.
    TvlFBitmap own = Shot(combo);
    TvlFBitmap asked(combo->Width(), combo->Height());
    asked.Fill(0x00FF00FF);
    SendMessageA(combo->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(asked.Canvas()), 0);
    GdiFlush();
    differ = 0;
    for (int y = 0; y < own.Height(); ++y)
        for (int x = 0; x < own.Width(); ++x) differ += own.Pixel(x, y) != asked.Pixel(x, y);
    EXPECT_EQ(differ, 0);

    // Not fitted to the element: its look composed along at the element's
    // height and stretched to any height.
    int skinHeight = combo->Height();
    combo->SetBounds(10, 10, 150, skinHeight + 12);
    TvlFBitmap fitted = Shot(combo);
    combo->SetUseSkinSize(false);
    combo->SetBounds(10, 10, 150, skinHeight + 12);
    EXPECT_EQ(combo->Height(), skinHeight + 12);
    TvlFBitmap tall = Shot(combo);
    EXPECT_EQ(tall.Pixel(75, 0), own.Pixel(75, 0)) << "the top edge of the element";
    EXPECT_FALSE(combo->HasWindowRegion());
    if (fitted.Height() == tall.Height()) {
        differ = 0;
        for (int y = 0; y < tall.Height(); ++y)
            for (int x = 0; x < tall.Width(); ++x) differ += tall.Pixel(x, y) != fitted.Pixel(x, y);
        EXPECT_GT(differ, 0) << "stretched, not drawn by the element's points";
    }

    // Without an element the list has none either.
    auto* bare = new TvlSkinComboBox(Form, Form, 10, 60, 150, 20);
    bare->Items.Add("Only");
    bare->ItemsChanged();
    bare->HandleNeeded();
    bare->DropDown();
    ASSERT_TRUE(bare->DroppedDown());
    EXPECT_EQ(bare->DropDownList()->SkinDataName, "");
    bare->CloseUp(false);

    TLeakCheck leaks;
    for (int i = 0; i < 100; ++i) {
        combo->DropDown();
        SendMessageA(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(i % 2 ? WHEEL_DELTA : -WHEEL_DELTA)), 0);
        UpdateWindow(combo->ListWindow());
        combo->CloseUp(i % 2 == 0);
        SendMessageA(combo->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(asked.Canvas()), 0);
    }
    ui::Pump();
    leaks.ExpectNone("100 drop-downs with the wheel and background requests");
}

TEST_F(SkinSecondPass, AnUpDownSizedByItsOwnerWearsTheResizableButton) {
    auto* updown = new TvlSkinUpDown(Form, Form);
    updown->UseSkinSize = false;
    updown->SetSkinData(Skin);
    updown->SetBounds(10, 10, 40, 20);
    Form->Show();
    ui::Pump();
    EXPECT_EQ(updown->Width(), 40);
    TvlFBitmap look = Shot(updown);
    // The button's corners are the element's, copied unscaled.
    TvlSkinLook button;
    button.ReadElement(Skin, "resizebutton", true);
    ASSERT_TRUE(button.HasElement());
    TvlFBitmap picture(PictureView(*button.Picture));
    const TRect& s = button.SkinRect;
    const TRect& down = updown->Part(TvlSkinUpDown::ptDown).R;
    const TRect& up = updown->Part(TvlSkinUpDown::ptUp).R;
    EXPECT_EQ(down, (TRect{0, 0, 20, 20}));
    EXPECT_EQ(up, (TRect{20, 0, 40, 20}));
    for (const TRect& r : {down, up}) {
        EXPECT_EQ(look.Pixel(r.Left, r.Top), picture.Pixel(s.Left, s.Top));
        EXPECT_EQ(look.Pixel(r.Right - 1, r.Bottom - 1), picture.Pixel(s.Right - 1, s.Bottom - 1));
    }
    // Hot: the element's active look.
    SendMessageA(updown->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
    TvlFBitmap hot = Shot(updown);
    int differ = 0, same = 0;
    for (int y = 1; y < 19; ++y) {
        differ += hot.Pixel(25, y) != look.Pixel(25, y);
        same += hot.Pixel(5, y) == look.Pixel(5, y);
    }
    EXPECT_GT(differ, 0) << "the hot button changes";
    EXPECT_EQ(same, 18) << "the other one does not";

    // Without a skin: the plain look.
    updown->SetSkinData(nullptr);
    TvlFBitmap plain = Shot(updown);
    differ = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) differ += plain.Pixel(x, y) != look.Pixel(x, y);
    EXPECT_GT(differ, 100);
}

TEST_F(SkinSecondPass, ListBoxSelectsSeveralSortsSearchesAndPassesItsInputOn) {
    auto* box = new TvlSkinListBox(Form, Form);
    box->SetBounds(10, 10, 160, 200);
    box->SetSkinData(Skin);
    for (const char* s : {"wood", "Garden", "home", "Work", "books"}) box->Items.Add(s);
    box->SetSorted(true);
    Form->Show();
    ui::Pump();
    std::vector<std::string> order;
    for (int i = 0; i < box->Items.Count(); ++i) order.push_back(box->Items.Strings(i));
    EXPECT_EQ(order, (std::vector<std::string>{"books", "Garden", "home", "wood", "Work"})) << "case ignored";
    HWND list = box->ListBox()->Handle();
    char text[32] = {};
    SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Garden") << "the native list shows the same order";

    // Typing quickly searches with all letters typed; a pause starts anew.
    int clicks = 0;
    box->OnListBoxClick = [&](TObject*) { ++clicks; };
    SetFocus(list);
    SendMessageA(list, WM_CHAR, 'w', 1);
    SendMessageA(list, WM_CHAR, 'o', 1);
    SendMessageA(list, WM_CHAR, 'r', 1);
    EXPECT_EQ(box->ItemIndex(), 4) << "\"wor\" is Work, not wood";
    SendMessageA(list, WM_CHAR, 'x', 1);
    EXPECT_EQ(box->ItemIndex(), 4) << "no match keeps the selection";
    Sleep(600);
    SendMessageA(list, WM_CHAR, 'g', 1);
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(clicks, 3) << "wood, Work, Garden";

    // The inner list's mouse and keys reach the box's events; a key the
    // event drops never reaches the list.
    int downs = 0, ups = 0, moves = 0;
    unsigned short lastKey = 0;
    box->OnListBoxMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { downs += b == mbLeft; };
    box->OnListBoxMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    box->OnListBoxMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    box->OnListBoxKeyDown = [&](TObject*, unsigned short& key, TShiftState) {
        lastKey = key;
        if (key == VK_DOWN) key = 0;
    };
    int row = box->ItemHeight();
    SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(10, row / 2));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, row / 2));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(10, row / 2));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_GE(moves, 1);
    EXPECT_EQ(box->ItemIndex(), 0);
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(lastKey, VK_DOWN);
    EXPECT_EQ(box->ItemIndex(), 0) << "the event took the key";
    box->OnListBoxKeyDown = nullptr;

    // Several at once: clicks toggle; with ExtandedSelect Shift extends.
    box->SetMultiSelect(true);
    list = box->ListBox()->Handle();
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LBS_MULTIPLESEL);
    EXPECT_EQ(box->Items.Count(), static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)));
    for (int r : {0, 2, 3}) {
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, r * row + row / 2));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(10, r * row + row / 2));
    }
    EXPECT_EQ(box->SelCount(), 3);
    EXPECT_TRUE(box->Selected(2));
    EXPECT_FALSE(box->Selected(1));
    box->SetSelected(2, false);
    EXPECT_EQ(box->SelCount(), 2);
    box->SetExtandedSelect(true);
    list = box->ListBox()->Handle();
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LBS_EXTENDEDSEL);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, row / 2));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(10, row / 2));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 3 * row + row / 2));
    SendMessageA(list, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(10, 3 * row + row / 2));
    EXPECT_EQ(box->SelCount(), 4) << "Shift selects the rows between";
    // Selected items are drawn selected.
    TvlFBitmap look = Shot(box);
    RECT r0, r4;
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    SendMessageA(list, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r4));
    TvlFBitmap listLook(box->ListBox()->Width(), box->ListBox()->Height());
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(listLook.Canvas()), PRF_CLIENT);
    GdiFlush();
    EXPECT_NE(listLook.Pixel(r0.right - 3, r0.bottom - 3), listLook.Pixel(r4.right - 3, r4.bottom - 3));

    TLeakCheck leaks;
    for (int i = 0; i < 20; ++i) {
        box->SetMultiSelect(i % 2 == 0);
        box->SetItemIndex(i % 5);
        UpdateWindow(box->Handle());
    }
    ui::Pump();
    leaks.ExpectNone("switching the selection mode");
}

TEST_F(SkinSecondPass, ListViewStylesKeepTheirBarsInStepAndTheHeaderShowsColumnImages) {
    auto* panel = new TPanel(Form, Form);
    panel->SetBounds(10, 10, 220, 160);
    auto* H = new TvlSkinScrollBar(Form, panel, sbHorizontal);
    H->SetAlign(alBottom);
    auto* V = new TvlSkinScrollBar(Form, panel, sbVertical);
    V->SetAlign(alRight);
    H->SetSkinData(Skin);
    V->SetSkinData(Skin);
    auto* list = new TvlSkinListView(Form, panel, false, true);
    list->SetAlign(alClient);
    list->SetHScrollBar(H);
    list->SetVScrollBar(V);
    list->SetSkinData(Skin);
    list->AddColumn("Task", 90);
    list->AddColumn("Due", 60);
    Form->Show();
    for (int i = 0; i < 60; ++i) list->AddItem("Item " + std::to_string(i));
    ui::Pump();
    ASSERT_TRUE(V->Visible()) << "report: rows beyond the page";

    // The list style: columns of items side by side, the bar counts them.
    list->SetViewStyle(vsList);
    ui::Pump();
    EXPECT_EQ(GetWindowLongA(list->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    EXPECT_FALSE(V->Visible()) << "a list never scrolls up and down";
    ASSERT_TRUE(H->Visible());
    EXPECT_EQ(H->SmallChange, 1);
    auto topItem = [&] {
        RECT r{};
        // The first item whose column starts at or right of the left edge.
        for (int i = 0; i < list->ItemCount(); ++i) {
            ListView_GetItemRect(list->Handle(), i, &r, LVIR_BOUNDS);
            if (r.left >= 0) return i;
        }
        return -1;
    };
    EXPECT_EQ(topItem(), 0);
    H->SetPosition(2);
    EXPECT_GT(topItem(), 0) << "two columns scrolled out";
    H->SetPosition(0);
    EXPECT_EQ(topItem(), 0);

    // The icon styles step by half an item, in pixels.
    list->SetViewStyle(vsSmallIcon);
    ui::Pump();
    EXPECT_EQ(GetWindowLongA(list->Handle(), GWL_STYLE) & LVS_TYPEMASK, LVS_SMALLICON);
    if (V->Visible()) {
        RECT first{};
        ListView_GetItemRect(list->Handle(), 0, &first, LVIR_BOUNDS);
        EXPECT_EQ(V->SmallChange, std::max(1, static_cast<int>(first.bottom - first.top) / 2));
        POINT before{}, after{};
        ListView_GetItemPosition(list->Handle(), 0, &before);
        V->SetPosition(V->Position() + 10);
        ListView_GetItemPosition(list->Handle(), 0, &after);
        EXPECT_EQ(before.y - after.y, 10) << "ten pixels";
    }
    if (H->Visible()) EXPECT_GE(H->SmallChange, 1);

    // Back to the report, with pictures in the column header.
    list->SetViewStyle(vsReport);
    TImageList images(Form, 16, 16);
    TvlFBitmap square(16, 16);
    square.Fill(0x00FF00);
    TGdiBitmap copy(static_cast<HBITMAP>(CopyImage(square.Handle(), IMAGE_BITMAP, 0, 0, 0)));
    images.Add(copy.Handle());
    SendMessageA(list->Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.Handle()));
    LVCOLUMNA column{};
    column.mask = LVCF_IMAGE | LVCF_FMT;
    column.fmt = LVCFMT_LEFT | LVCFMT_IMAGE;
    column.iImage = 0;
    SendMessageA(list->Handle(), LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    HWND header = list->HeaderWindow();
    ASSERT_NE(header, nullptr);
    RECT hr;
    GetClientRect(header, &hr);
    TvlFBitmap painted(hr.right + 2, hr.bottom);
    list->PaintHeader(painted.Canvas());
    GdiFlush();
    RECT section{};
    SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&section));
    auto greens = [&](int left, int right) {
        int n = 0;
        for (int y = 0; y < painted.Height(); ++y)
            for (int x = left; x < right; ++x) n += painted.Pixel(x, y) == 0x00FF00;
        return n;
    };
    EXPECT_EQ(greens(section.left, section.left + 5 + 16), 16 * std::min(16, static_cast<int>(section.bottom)))
        << "the picture at the text area's left";
    EXPECT_EQ(greens(section.right, painted.Width()), 0) << "the other column has none";

    // The filler right of the last section: the four-point look without
    // its right end, so no right-edge pixels of the element at its end.
    TvlSkinLook look;
    look.ReadElement(Skin, "resizebutton", true);
    ASSERT_TRUE(look.HasElement());
    TvlFBitmap picture(PictureView(*look.Picture));
    RECT last{};
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
    ASSERT_LT(last.right + 4, hr.right) << "room for a filler";
    EXPECT_EQ(painted.Pixel(last.right, 0), picture.Pixel(look.SkinRect.Left, look.SkinRect.Top))
        << "the filler starts with the element's left-top corner";
    EXPECT_EQ(painted.Pixel(last.right, painted.Height() - 1),
              picture.Pixel(look.SkinRect.Left, look.SkinRect.Bottom - 1))
        << "and its bottom-left corner, unstretched";
    // The list would free a list it was given unshared.
    SendMessageA(list->Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, 0);
}

TEST_F(SkinSecondPass, ViewDefaultsApplyAtOnceAndBarsRealignAfterASkinChange) {
    auto* bare = new TvlSkinTreeView(Form, Form);
    bare->SetBounds(250, 10, 150, 150);
    Form->Show();
    bare->AddRoot("Root");
    bare->SetDefaultColor(static_cast<TColor>(RGB(255, 255, 0)));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(bare->Handle(), TVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));
    bare->SetDefaultFont(TFont("Arial", 23));
    EXPECT_EQ(bare->Font.Height(), 23);

    TPanel* panel = nullptr;
    TvlSkinScrollBar* V = nullptr;
    auto* tree = TreeWithBar(panel, V);
    TTreeNode* root = tree->AddRoot("All");
    for (int i = 0; i < 40; ++i) tree->AddChild(root, "Row " + std::to_string(i));
    tree->Expand(root, false);
    ui::Pump();
    ASSERT_TRUE(V->Visible());
    COLORREF skinned = static_cast<COLORREF>(SendMessageA(tree->Handle(), TVM_GETBKCOLOR, 0, 0));
    tree->SetDefaultColor(static_cast<TColor>(RGB(255, 255, 0)));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree->Handle(), TVM_GETBKCOLOR, 0, 0)), skinned)
        << "the element's colour wins";

    // Another skin: the bar takes its width and the tree gives way to it.
    V->SetWidth(40);
    Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    V->SkinChanged();
    tree->SkinChanged();
    ui::Pump();
    EXPECT_EQ(V->Left() + V->Width(), panel->ClientWidth());
    EXPECT_EQ(tree->Width(), panel->ClientWidth() - V->Width()) << "laid out again after the skin";
}
