// The list box's caption buttons, dragging from its inner list, the inner
// list's own settings passed through, and where the plain look puts its bars.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/CaptionedListElement.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Menus.h"

namespace {
class ListBoxParts : public SkinControlsFixture {
protected:
    TvlSkinListBox* NewBox(int x, int y, int count, bool skinned = true) {
        auto* box = new TvlSkinListBox(Form, Form);
        box->SetBounds(x, y, 150, 120);
        if (skinned) box->SetSkinData(Skin);
        box->HandleNeeded();
        for (int i = 0; i < count; ++i) box->Items.Add("Entry " + std::to_string(i));
        box->ItemsChanged();
        return box;
    }
    // Whether the control shows the picture's piece `source` at `place`.
    static bool Shows(TvlSkinListBox* box, const TRect& place, const TRect& source) {
        TvlFBitmap look;
        if (!box->ComposeLook(look)) return false;
        TvlFBitmap picture(PictureView(*box->SkinLook().Picture));
        for (int y = 0; y < place.Height(); ++y)
            for (int x = 0; x < place.Width(); ++x)
                if (look.Pixel(place.Left + x, place.Top + y) != picture.Pixel(source.Left + x, source.Top + y))
                    return false;
        return true;
    }
    static void Mouse(TWinControl* c, UINT msg, WPARAM keys, POINT p) {
        SendMessageA(c->Handle(), msg, keys, MAKELPARAM(p.x, p.y));
    }
    // A point of `to`'s client area in `from`'s client coordinates.
    static POINT Across(TWinControl* from, TWinControl* to, POINT p) {
        MapWindowPoints(to->Handle(), from->Handle(), &p, 1);
        return p;
    }
};
POINT Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
}  // namespace

TEST_F(ListBoxParts, CaptionButtonsLightUpPressAndClickOnReleaseOverThemselves) {
    const TvlDataSkinListBox* element = AddCaptionedListElement(*Skin, "captionlistbox");
    ASSERT_NE(element, nullptr);
    const TvlDataSkinListBox& e = *element;
    Form->Show();
    auto* box = NewBox(10, 10, 8);
    box->SkinDataName = "captionlistbox";
    box->SetSkinData(Skin);
    box->SetCaption("Categories");
    int clicks[3] = {0, 0, 0};
    box->OnUpButtonClick = [&](TObject* s) {
        ++clicks[0];
        EXPECT_EQ(s, box);
    };
    box->OnDownButtonClick = [&](TObject*) { ++clicks[1]; };
    box->OnCheckButtonClick = [&](TObject*) { ++clicks[2]; };
    // Outside caption mode there are no buttons, and a press there is the frame's.
    EXPECT_TRUE(box->CaptionButtonRect(TvlSkinListBox::cbUp).IsEmpty());
    box->SetCaptionMode(true);
    // The buttons keep their size and follow the right edge as the box grows.
    int grow = box->Width() - 60;
    TRect up = box->CaptionButtonRect(TvlSkinListBox::cbUp), down = box->CaptionButtonRect(TvlSkinListBox::cbDown),
          check = box->CaptionButtonRect(TvlSkinListBox::cbCheck);
    EXPECT_EQ(up, (TRect{24 + grow, 6, 34 + grow, 16}));
    EXPECT_EQ(check.Right, box->Width() - 2);
    EXPECT_EQ(box->CaptionRect().Right, 22 + grow);

    // At rest the element's own picture shows; under the pointer the active look.
    EXPECT_FALSE(Shows(box, up, e.ActiveUpButtonRect));
    Mouse(box, WM_MOUSEMOVE, 0, Centre(up));
    EXPECT_TRUE(box->CaptionButton(TvlSkinListBox::cbUp).MouseIn);
    EXPECT_TRUE(Shows(box, up, e.ActiveUpButtonRect));
    Mouse(box, WM_MOUSEMOVE, 0, Centre(down));
    EXPECT_FALSE(box->CaptionButton(TvlSkinListBox::cbUp).MouseIn);
    EXPECT_FALSE(Shows(box, up, e.ActiveUpButtonRect));
    EXPECT_TRUE(Shows(box, down, e.ActiveDownButtonRect));

    // Pressed: the down look (the active one for a button without one);
    // the click comes on release over the same button only.
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(up));
    EXPECT_EQ(GetCapture(), box->Handle());
    EXPECT_TRUE(Shows(box, up, e.DownUpButtonRect));
    EXPECT_EQ(clicks[0], 0) << "nothing on the press";
    Mouse(box, WM_MOUSEMOVE, MK_LBUTTON, Centre(down));
    EXPECT_FALSE(box->CaptionButton(TvlSkinListBox::cbUp).MouseIn) << "the pointer left the held button";
    EXPECT_FALSE(box->CaptionButton(TvlSkinListBox::cbDown).MouseIn) << "another button does not light while one is held";
    Mouse(box, WM_LBUTTONUP, 0, Centre(down));
    EXPECT_EQ(clicks[0] + clicks[1] + clicks[2], 0) << "released over another button: no click";
    EXPECT_NE(GetCapture(), box->Handle());
    EXPECT_FALSE(box->CaptionButton(TvlSkinListBox::cbUp).Down);

    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(down));
    EXPECT_TRUE(Shows(box, down, e.ActiveDownButtonRect));
    Mouse(box, WM_MOUSEMOVE, MK_LBUTTON, {5, 60});
    Mouse(box, WM_MOUSEMOVE, MK_LBUTTON, Centre(down));
    Mouse(box, WM_LBUTTONUP, 0, Centre(down));
    EXPECT_EQ(clicks[1], 1) << "back over the held button and released there";
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(check));
    Mouse(box, WM_LBUTTONUP, 0, Centre(check));
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(up));
    Mouse(box, WM_LBUTTONUP, 0, Centre(up));
    EXPECT_EQ(clicks[0], 1);
    EXPECT_EQ(clicks[1], 1);
    EXPECT_EQ(clicks[2], 1);

    // A press cut short by the system, or by disabling, clicks nothing.
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(check));
    SendMessageA(box->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(box->CaptionButton(TvlSkinListBox::cbCheck).Down);
    Mouse(box, WM_LBUTTONUP, 0, Centre(check));
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(check));
    box->SetEnabled(false);
    Mouse(box, WM_LBUTTONUP, 0, Centre(check));
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(check));
    Mouse(box, WM_LBUTTONUP, 0, Centre(check));
    EXPECT_EQ(clicks[2], 1);
    box->SetEnabled(true);

    // The caption text stops before the buttons; the plain element has none.
    box->SkinDataName = "listbox";
    box->SetSkinData(Skin);
    EXPECT_TRUE(box->CaptionButtonRect(TvlSkinListBox::cbUp).IsEmpty());
    Mouse(box, WM_LBUTTONDOWN, MK_LBUTTON, Centre(up));
    Mouse(box, WM_LBUTTONUP, 0, Centre(up));
    EXPECT_EQ(clicks[0], 1);
}

TEST_F(ListBoxParts, ItemsDragFromOneListIntoAnotherThatTakesThem) {
    Form->Show();
    auto* from = NewBox(10, 10, 5);
    auto* to = NewBox(200, 10, 3);
    from->ListBoxDragMode = dmAutomatic;
    int starts = 0, drops = 0, ends = 0;
    std::vector<TDragState> states;
    TObject* dropSource = nullptr;
    TObject* endTarget = reinterpret_cast<TObject*>(1);
    POINT dropAt{-1, -1};
    from->OnListBoxStartDrag = [&](TObject* s) {
        ++starts;
        EXPECT_EQ(s, from);
    };
    to->OnListBoxDragOver = [&](TObject* s, TObject* source, int, int, TDragState state, bool& accept) {
        EXPECT_EQ(s, to);
        states.push_back(state);
        accept = source == from;
    };
    to->OnListBoxDragDrop = [&](TObject*, TObject* source, int x, int y) {
        ++drops;
        dropSource = source;
        dropAt = {x, y};
    };
    from->OnListBoxEndDrag = [&](TObject*, TObject* target, int, int) {
        ++ends;
        endTarget = target;
    };
    TvlListBox* list = from->ListBox();
    int h = from->ItemHeight();
    POINT item1{20, h + h / 2};
    Mouse(list, WM_LBUTTONDOWN, MK_LBUTTON, item1);
    EXPECT_EQ(from->ItemIndex(), 1);
    // Within the drag distance the press is still a click.
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, {item1.x + 1, item1.y + 1});
    EXPECT_FALSE(from->Dragging());
    POINT over = Across(list, to->ListBox(), {30, 10});
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, over);
    ASSERT_TRUE(from->Dragging());
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(GetCapture(), list->Handle());
    over = Across(list, to->ListBox(), {40, 12});
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, over);
    EXPECT_EQ(from->ItemIndex(), 1) << "the selection stays where the drag began";
    Mouse(list, WM_LBUTTONUP, 0, over);
    EXPECT_FALSE(from->Dragging());
    EXPECT_NE(GetCapture(), list->Handle());
    EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragMove, dsDragMove}));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(dropSource, from);
    EXPECT_EQ(dropAt.x, 40);
    EXPECT_EQ(dropAt.y, 12);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(endTarget, to);

    // Out of the target again and cancelled with Escape: the target hears
    // the drag leave, nothing is dropped, the drag ends without a target.
    states.clear();
    Mouse(list, WM_LBUTTONDOWN, MK_LBUTTON, item1);
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, Across(list, to->ListBox(), {30, 10}));
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, {20, 10});
    SendMessageA(list->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(from->Dragging());
    Mouse(list, WM_LBUTTONUP, 0, {20, 10});
    EXPECT_EQ(states, (std::vector<TDragState>{dsDragEnter, dsDragLeave}));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(endTarget, nullptr);

    // Released over a list that refuses: no drop, the refusing list told it left.
    to->OnListBoxDragOver = [&](TObject*, TObject*, int, int, TDragState state, bool& accept) {
        states.push_back(state);
        accept = false;
    };
    states.clear();
    Mouse(list, WM_LBUTTONDOWN, MK_LBUTTON, item1);
    over = Across(list, to->ListBox(), {30, 10});
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, over);
    Mouse(list, WM_LBUTTONUP, 0, over);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(ends, 3);
    EXPECT_EQ(endTarget, nullptr);
    EXPECT_EQ(states.back(), dsDragLeave);

    // By hand only, or docking: pressing and moving drags nothing.
    for (auto [mode, kind] : {std::pair{dmManual, dkDrag}, std::pair{dmAutomatic, dkDock}}) {
        from->ListBoxDragMode = mode;
        from->ListBoxDragKind = kind;
        Mouse(list, WM_LBUTTONDOWN, MK_LBUTTON, item1);
        Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, Across(list, to->ListBox(), {30, 10}));
        EXPECT_FALSE(from->Dragging());
        Mouse(list, WM_LBUTTONUP, 0, item1);
    }
    EXPECT_EQ(starts, 3);
    // A target freed while the drag is over it is forgotten.
    from->ListBoxDragKind = dkDrag;
    from->BeginDrag(true);
    ASSERT_TRUE(from->Dragging());
    Mouse(list, WM_MOUSEMOVE, MK_LBUTTON, Across(list, to->ListBox(), {30, 10}));
    delete to;
    from->EndDrag(true);
    EXPECT_EQ(endTarget, nullptr);
    EXPECT_FALSE(from->Dragging());
}

TEST_F(ListBoxParts, InnerListSettingsPassThrough) {
    Form->Show();
    auto* box = NewBox(10, 10, 4);
    auto* other = NewBox(200, 10, 4);
    // Tab order: the inner list is a stop of its own so that the keyboard
    // reaches the rows; it can be taken out and put back.
    box->SetListBoxTabStop(false);
    other->SetListBoxTabStop(false);
    auto tabs = Form->TabList();
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), box->ListBox()), 0);
    box->SetListBoxTabStop(true);
    other->SetListBoxTabStop(true);
    tabs = Form->TabList();
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), box->ListBox()), 1);
    other->ListBox()->SetFocus();
    for (size_t i = 0; i < tabs.size() && GetFocus() != box->ListBox()->Handle(); ++i) Form->SelectNext(true);
    EXPECT_EQ(GetFocus(), box->ListBox()->Handle());
    box->SetListBoxTabStop(false);
    tabs = Form->TabList();
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), box->ListBox()), 0);

    // A right click on the rows opens the list's menu.
    TPopupMenu menu(Form);
    int shown = 0;
    menu.Presenter = [&](TPopupMenu*, int, int) { ++shown; };
    box->SetListBoxPopupMenu(&menu);
    EXPECT_EQ(box->ListBoxPopupMenu(), &menu);
    POINT pointer;
    GetCursorPos(&pointer);
    ui::RightClickAt(box->ListBox()->Handle(), 10, 10);
    ui::Pump();
    SetCursorPos(pointer.x, pointer.y);  // later tests on this display expect the pointer away
    EXPECT_EQ(shown, 1);
    box->SetListBoxPopupMenu(nullptr);

    // The items' font: a larger one makes the widest item wider, until the
    // next skin change sets the skin's again.
    int skinWidest = box->WidestItem();
    TFont big("Arial", 30);
    box->SetListBoxFont(big);
    EXPECT_EQ(box->ListBoxFont().Height(), 30);
    EXPECT_GT(box->WidestItem(), skinWidest);
    box->SkinChanged();
    EXPECT_EQ(box->WidestItem(), skinWidest);
}

TEST_F(ListBoxParts, PlainLookPutsItsBarsOverTheFramesInnerLine) {
    Form->Show();
    auto* box = NewBox(10, 10, 20, false);
    const int W = box->Width(), H = box->Height();
    ASSERT_NE(box->ScrollBar(), nullptr);
    auto bounds = [](TControl* c) { return TRect{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()}; };
    EXPECT_EQ(bounds(box->ScrollBar()), (TRect{W - 20, 1, W - 1, H - 1}));
    EXPECT_EQ(bounds(box->ListBox()), (TRect{2, 2, W - 20, H - 2}));
    box->Items.Add("An entry far too long to be shown in one row of this list box");
    box->ItemsChanged();
    box->SetHorizontalExtent(true);
    ASSERT_NE(box->HScrollBar(), nullptr);
    EXPECT_EQ(bounds(box->HScrollBar()), (TRect{1, H - 20, W - 1, H - 1}));
    EXPECT_EQ(bounds(box->ScrollBar()), (TRect{W - 20, 1, W - 1, H - 20}));
    EXPECT_EQ(bounds(box->ListBox()), (TRect{2, 2, W - 20, H - 20}));
    // In caption mode the main bar starts at the caption's height.
    box->SetCaptionMode(true);
    EXPECT_EQ(box->ScrollBar()->Top(), 20);
    EXPECT_EQ(box->ListBox()->Top(), 21);
    box->SetHorizontalExtent(false);
    EXPECT_EQ(bounds(box->ScrollBar()), (TRect{W - 20, 20, W - 1, H - 1}));
    // Columns: the main bar lies along the bottom.
    auto* columns = NewBox(200, 10, 40, false);
    columns->SetColumns(2);
    ASSERT_NE(columns->ScrollBar(), nullptr);
    EXPECT_EQ(bounds(columns->ScrollBar()), (TRect{1, H - 20, W - 1, H - 1}));
    EXPECT_EQ(columns->ListBox()->Top() + columns->ListBox()->Height(), H - 20);
}

TEST_F(ListBoxParts, ASelectionMadeBeforeTheWindowExistsIsKept) {
    auto* box = new TvlSkinListBox(Form, Form);
    box->SetMultiSelect(true);
    for (const char* s : {"Home", "Work", "Garden"}) box->Items.Add(s);
    box->ItemsChanged();
    ASSERT_FALSE(box->ListBox()->HandleAllocated());
    box->SetSelected(0, true);
    box->SetSelected(2, true);
    Form->Show();
    ui::Pump();
    EXPECT_EQ(box->SelCount(), 2);
    EXPECT_TRUE(box->Selected(0));
    EXPECT_FALSE(box->Selected(1));
    EXPECT_TRUE(box->Selected(2));
}

TEST_F(ListBoxParts, TheAreaBelowTheLastRowShowsTheFramesInsideOnADarkSkin) {
    Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    ASSERT_FALSE(Skin->IsEmpty());
    Form->Show();
    auto* box = NewBox(10, 10, 2);
    RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ui::Pump(20);
    const TvlSkinLook& look = box->SkinLook();
    ASSERT_TRUE(look.Picture);
    TvlFBitmap picture(PictureView(*look.Picture));
    const TRect& inside = look.SkinClientRect;
    uint32_t expected = picture.Pixel(look.SkinRect.Left + (inside.Left + inside.Right) / 2,
                                      look.SkinRect.Top + (inside.Top + inside.Bottom) / 2);
    ASSERT_NE(expected, ColorToRGB(clWindow)) << "the dark skin's inside differs from the window colour";
    // A point of the inner list below its two rows, read from the screen.
    POINT p{box->ListBox()->Width() / 2, box->ListBox()->Height() - 3};
    ASSERT_GT(p.y, 2 * box->ItemHeight());
    ClientToScreen(box->ListBox()->Handle(), &p);
    HDC screen = GetDC(nullptr);
    COLORREF shown = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(shown, expected);
    LoadSkin();
}

TEST_F(ListBoxParts, ComboHandsHideSelectionToItsEdit) {
    Form->Show();
    auto* combo = Skinned<TvlSkinComboBox>(10, 10, 150, 20);
    for (const char* s : {"Daily", "Weekly"}) combo->Items.Add(s);
    combo->ItemsChanged();
    combo->HandleNeeded();
    auto keepsSelection = [&] {
        return (GetWindowLongA(combo->Edit()->Handle(), GWL_STYLE) & ES_NOHIDESEL) != 0;
    };
    // Set before the edit exists, and while it does.
    combo->SetHideSelection(false);
    combo->SetStyle(vlcbEditStyle);
    ASSERT_NE(combo->Edit(), nullptr);
    EXPECT_TRUE(keepsSelection());
    combo->SetHideSelection(true);
    EXPECT_FALSE(keepsSelection());
    combo->SetHideSelection(false);
    EXPECT_TRUE(keepsSelection());
    EXPECT_EQ(combo->Edit()->Parent(), combo) << "the edit made again stays in the combo";
}
