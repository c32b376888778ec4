// The skinned list box's caption, horizontal scrolling, columns and item
// pictures, and the combo box's edit style.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"

namespace {
class SkinListBox : public SkinControlsFixture {
protected:
    TvlSkinListBox* NewBox(int count, const std::string& prefix = "Entry ", bool skinned = true) {
        auto* box = new TvlSkinListBox(Form, Form);
        box->SetBounds(10, 10, 150, 120);
        if (skinned) box->SetSkinData(Skin);
        box->HandleNeeded();
        for (int i = 0; i < count; ++i) box->Items.Add(prefix + std::to_string(i));
        box->ItemsChanged();
        return box;
    }
    static int InnerHeight(TvlSkinListBox* box) {
        RECT r;
        GetClientRect(box->ListBox()->Handle(), &r);
        return r.bottom;
    }
};
}  // namespace

TEST_F(SkinListBox, CaptionBarSitsAboveTheRowsAndRowCountFitsAroundIt) {
    Form->Show();
    // With the element (whose captionrect is empty) the bar takes
    // DefaultCaptionHeight from the top of the client area.
    auto* box = NewBox(10);
    box->SetCaption("Categories");
    box->SetRowCount(5);
    int plain = box->Height();
    int itemHeight = box->ItemHeight();
    EXPECT_EQ(InnerHeight(box), 5 * itemHeight);
    EXPECT_TRUE(box->CaptionRect().IsEmpty());
    box->SetCaptionMode(true);
    EXPECT_EQ(box->Height(), plain + 20);
    EXPECT_EQ(InnerHeight(box), 5 * itemHeight);
    TRect caption = box->CaptionRect();
    EXPECT_EQ(caption.Height(), 20);
    EXPECT_GE(box->ListBox()->Top(), caption.Bottom);
    box->SetDefaultCaptionHeight(32);
    EXPECT_EQ(box->Height(), plain + 32);
    EXPECT_EQ(InnerHeight(box), 5 * itemHeight);
    EXPECT_EQ(box->ScrollBar()->PageSize(), 5);
    box->SetCaptionMode(false);
    EXPECT_EQ(box->Height(), plain);

    // Without an element: rows × item height + 4 + the caption.
    auto* bare = NewBox(10, "Entry ", false);
    bare->SetCaptionMode(true);
    bare->SetRowCount(4);
    EXPECT_EQ(bare->ItemHeight(), 20);
    EXPECT_EQ(bare->Height(), 4 * 20 + 4 + 20);
    EXPECT_EQ(bare->ListBox()->Top(), 21);
    EXPECT_GE(InnerHeight(bare), 4 * 20);

    // The combo's drop-down passes its caption on and is fitted around it.
    auto* combo = Skinned<TvlSkinComboBox>(200, 20, 120, 20, 8);
    for (const char* s : {"Home", "Work", "Garden"}) combo->Items.Add(s);
    combo->ItemsChanged();
    combo->HandleNeeded();
    combo->DropDown();
    ASSERT_TRUE(combo->DroppedDown());
    int withoutCaption = combo->DropDownList()->Height();
    combo->CloseUp(false);
    combo->ListBoxCaption = "Pick one";
    combo->ListBoxCaptionMode = true;
    combo->ListBoxCaptionAlignment = taCenter;
    combo->DropDown();
    TvlSkinListBox* list = combo->DropDownList();
    EXPECT_EQ(list->Caption(), "Pick one");
    EXPECT_EQ(list->Alignment(), taCenter);
    EXPECT_EQ(list->Height(), withoutCaption + 20);
    EXPECT_EQ(InnerHeight(list), 3 * list->ItemHeight());
    EXPECT_EQ(list->ScrollBar(), nullptr);
    combo->CloseUp(false);
    // Rows of its own height instead of the skin's.
    combo->ListBoxUseSkinItemHeight = false;
    combo->ListBoxDefaultItemHeight = 31;
    combo->DropDown();
    EXPECT_EQ(list->ItemHeight(), 31);
    EXPECT_EQ(InnerHeight(list), 3 * 31);
    EXPECT_EQ(SendMessageA(combo->InnerList(), LB_GETITEMHEIGHT, 0, 0), 31);
    combo->CloseUp(false);
}

TEST_F(SkinListBox, HorizontalBarFollowsTheWidestItemAndTheArrowsMoveIt) {
    Form->Show();
    auto* box = NewBox(3);
    box->SetHorizontalExtent(true);
    EXPECT_EQ(box->HScrollBar(), nullptr);  // short items fit
    box->Items.Add("An entry far too long to be shown in one row of this list box");
    box->ItemsChanged();
    TvlSkinScrollBar* bar = box->HScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(box->ScrollBar(), nullptr);  // four rows fit
    EXPECT_EQ(bar->Max(), box->WidestItem());
    EXPECT_EQ(bar->PageSize(), box->ListBox()->Width());
    EXPECT_GT(box->WidestItem(), box->ListBox()->Width());
    EXPECT_FALSE(bar->Both());
    EXPECT_EQ(bar->SkinDataName, "hscrollbar");
    ASSERT_TRUE(bar->HandleAllocated());  // shown at once, not when someone asks
    EXPECT_TRUE(IsWindowVisible(bar->Handle()));
    EXPECT_EQ(box->ListBox()->Top() + box->ListBox()->Height(), bar->Top());
    EXPECT_EQ(bar->Width(), box->ListBox()->Width());
    EXPECT_GT(bar->SmallChange, 0);

    // Left and Right scroll sideways and leave the selection alone.
    box->SetItemIndex(1);
    box->ListBox()->SetFocus();
    ui::Key(box->ListBox(), VK_RIGHT);
    ui::Key(box->ListBox(), VK_RIGHT);
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(bar->Position(), 2 * bar->SmallChange);
    EXPECT_EQ(box->HorzOffset(), bar->Position());
    ui::Key(box->ListBox(), VK_LEFT);
    EXPECT_EQ(box->HorzOffset(), bar->SmallChange);
    ui::Key(box->ListBox(), VK_LEFT);
    ui::Key(box->ListBox(), VK_LEFT);
    EXPECT_EQ(box->HorzOffset(), 0);
    EXPECT_EQ(box->ItemIndex(), 1);
    // Dragged to the end, the end of the widest text is in view.
    bar->SetPosition(bar->Max());
    EXPECT_EQ(box->HorzOffset() + box->ListBox()->Width(), box->WidestItem() + 1);

    // With the vertical bar too, the horizontal one runs under it and marks the corner.
    for (int i = 0; i < 20; ++i) box->Items.Add("More " + std::to_string(i));
    box->ItemsChanged();
    ASSERT_NE(box->ScrollBar(), nullptr);
    ASSERT_EQ(box->HScrollBar(), bar);
    ASSERT_TRUE(box->ScrollBar()->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(box->ScrollBar()->Handle()));
    EXPECT_TRUE(bar->Both());
    EXPECT_EQ(bar->SkinDataName, "bothhscrollbar");
    EXPECT_EQ(box->ScrollBar()->Top() + box->ScrollBar()->Height(), bar->Top());
    EXPECT_EQ(bar->Left() + bar->Width(), box->ScrollBar()->Left() + box->ScrollBar()->Width());
    EXPECT_EQ(bar->PageSize(), box->ListBox()->Width());
    int rows = box->ListBox()->Height() / box->ItemHeight();
    EXPECT_EQ(box->ScrollBar()->PageSize(), rows);

    // The wide item goes: so does the bar, and the items are back in place.
    box->Items.Delete(3);
    box->ItemsChanged();
    EXPECT_EQ(box->HScrollBar(), nullptr);
    EXPECT_EQ(box->HorzOffset(), 0);
    box->SetItemIndex(1);
    ui::Key(box->ListBox(), VK_RIGHT);  // the native list's own again
    EXPECT_EQ(box->ItemIndex(), 2);

    // Without an element: the plain bars, the corner marker 19 pixels wide.
    auto* bare = NewBox(20, "An entry far too long to be shown in one row, number ", false);
    bare->SetHorizontalExtent(true);
    ASSERT_NE(bare->HScrollBar(), nullptr);
    ASSERT_NE(bare->ScrollBar(), nullptr);
    EXPECT_TRUE(bare->HScrollBar()->Both());
    EXPECT_EQ(bare->HScrollBar()->BothMarkerWidth(), 19);
    EXPECT_EQ(bare->HScrollBar()->SkinDataName, "");
    EXPECT_EQ(bare->HScrollBar()->Height(), 19);
    EXPECT_EQ(bare->ScrollBar()->Width(), 19);

    // Bars coming and going many times leave no object or window behind.
    ui::Pump();
    TLeakCheck leaks;
    int children = 0;
    EnumChildWindows(
        box->Handle(), [](HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; },
        reinterpret_cast<LPARAM>(&children));
    for (int i = 0; i < 50; ++i) {
        box->Items.Insert(0, "An entry far too long to be shown in one row of this list box");
        box->ItemsChanged();
        ASSERT_NE(box->HScrollBar(), nullptr);
        ui::Key(box->ListBox(), VK_RIGHT);
        UpdateWindow(box->Handle());
        box->Items.Delete(0);
        box->ItemsChanged();
        ASSERT_EQ(box->HScrollBar(), nullptr);
    }
    ui::Pump();
    leaks.ExpectNone("50 horizontal bars");
    int after = 0;
    EnumChildWindows(
        box->Handle(), [](HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; },
        reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(after, children);
}

TEST_F(SkinListBox, ColumnsScrollSidewaysUnderAHorizontalMainBar) {
    Form->Show();
    auto* box = NewBox(30);
    box->SetBounds(10, 10, 200, 120);
    box->SetHorizontalExtent(true);
    box->SetItemIndex(4);
    box->SetColumns(2);
    HWND list = box->ListBox()->Handle();
    EXPECT_NE(GetWindowLongA(list, GWL_STYLE) & LBS_MULTICOLUMN, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 30);  // refilled in the new window
    EXPECT_EQ(box->ItemIndex(), 4);
    EXPECT_EQ(box->HScrollBar(), nullptr);  // columns never scroll by extent
    TvlSkinScrollBar* bar = box->ScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Kind(), sbHorizontal);
    EXPECT_EQ(bar->SkinDataName, "hscrollbar");
    EXPECT_EQ(box->ListBox()->Top() + box->ListBox()->Height(), bar->Top());
    int rows = box->ListBox()->Height() / box->ItemHeight();
    ASSERT_GT(rows, 0);
    EXPECT_EQ(bar->Max(), (30 + rows - 1) / rows - 1);
    EXPECT_EQ(bar->PageSize(), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), box->ItemHeight());
    bar->SetPosition(2);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 2 * rows);
    // The keyboard moves the native list and the bar follows.
    box->ListBox()->SetFocus();
    ui::Key(box->ListBox(), VK_HOME);
    EXPECT_EQ(bar->Position(), 0);
    ui::Key(box->ListBox(), VK_END);
    EXPECT_EQ(box->ItemIndex(), 29);
    EXPECT_EQ(bar->Position(), SendMessageA(list, LB_GETTOPINDEX, 0, 0) / rows);
    EXPECT_GT(bar->Position(), 0);
    // Everything fits in the columns shown: no bar.
    box->Items.Assign(TStringList());
    for (int i = 0; i < rows * 2; ++i) box->Items.Add("Entry " + std::to_string(i));
    box->ItemsChanged();
    EXPECT_EQ(box->ScrollBar(), nullptr);
    // Back to one column: the main bar is vertical again.
    for (int i = 0; i < 10; ++i) box->Items.Add("More " + std::to_string(i));
    box->ItemsChanged();
    box->SetColumns(0);
    EXPECT_EQ(GetWindowLongA(box->ListBox()->Handle(), GWL_STYLE) & LBS_MULTICOLUMN, 0);
    ASSERT_NE(box->ScrollBar(), nullptr);
    EXPECT_EQ(box->ScrollBar()->Kind(), sbVertical);
    EXPECT_EQ(box->ScrollBar()->SkinDataName, "vscrollbar");
}

namespace {
// An image list of 16 × 16 squares, one per colour.
TImageList* Squares(TComponent* owner, std::initializer_list<COLORREF> colours) {
    auto* images = new TImageList(owner, 16, 16);
    for (COLORREF c : colours) {
        TvlFBitmap square(16, 16);
        square.Fill(c);
        images->Add(square.Handle());
    }
    return images;
}
// One item of a list box drawn into a bitmap of its own.
TvlFBitmap DrawnItem(TvlSkinListBox* box, int index, UINT state, int width = 120) {
    TvlFBitmap target(width, box->ItemHeight());
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemID = static_cast<UINT>(index);
    item.itemState = state;
    item.hDC = target.Canvas();
    item.rcItem = {0, 0, width, box->ItemHeight()};
    box->DrawItem(item);
    GdiFlush();
    return target;
}
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0),
                   kYellow = RGB(255, 255, 0), kMagenta = RGB(255, 0, 255);
}  // namespace

TEST_F(SkinListBox, ItemsShowTheirImageOrGlyphAndTheDrawHandlerReplacesBoth) {
    Form->Show();
    auto* box = NewBox(3);
    box->SetHorizontalExtent(true);
    int textLeft = box->SkinLook().ElementAs<TvlDataSkinListBox>()->ItemTextRect.Left;
    int mid = box->ItemHeight() / 2;
    int plainWidest = box->WidestItem();
    TImageList* images = Squares(Form, {kRed, kBlue});
    box->SetImages(images);
    // Each item its own image; the third has none to show.
    EXPECT_EQ(DrawnItem(box, 0, 0).Pixel(textLeft + 8, mid), kRed);
    EXPECT_EQ(DrawnItem(box, 1, 0).Pixel(textLeft + 8, mid), kBlue);
    EXPECT_NE(DrawnItem(box, 2, 0).Pixel(textLeft + 8, mid), kBlue);
    EXPECT_EQ(box->WidestItem(), plainWidest + 16 + 2);
    box->ImageIndex = 1;  // one image for every item
    EXPECT_EQ(DrawnItem(box, 0, 0).Pixel(textLeft + 8, mid), kBlue);
    // Scrolled sideways, the picture moves with the text.
    box->Items.Add("An entry far too long to be shown in one row of this list box");
    box->ItemsChanged();
    ASSERT_NE(box->HScrollBar(), nullptr);
    box->HScrollBar()->SetPosition(4);
    EXPECT_EQ(DrawnItem(box, 0, 0).Pixel(textLeft + 11, mid), kBlue);
    EXPECT_NE(DrawnItem(box, 0, 0).Pixel(textLeft + 12, mid), kBlue);
    box->HScrollBar()->SetPosition(0);
    box->ImageIndex = -1;
    box->SetImages(nullptr);
    int plainLong = box->WidestItem();
    box->SetImages(images);
    // The image list goes: the items stop showing it.
    delete images;
    EXPECT_EQ(box->Images(), nullptr);
    EXPECT_NE(DrawnItem(box, 0, 0).Pixel(textLeft + 8, mid), kBlue);

    // A two-cell glyph: the second cell for selected items; its bottom-left
    // colour is transparent.
    TvlFBitmap glyph(16, 8);
    glyph.Fill(kGreen);
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x) glyph.SetPixel(x, y, kYellow);
    glyph.SetPixel(0, 7, kMagenta);
    glyph.SetPixel(8, 7, kMagenta);
    box->SetGlyph(glyph);
    box->SetNumGlyphs(2);
    TvlFBitmap normal = DrawnItem(box, 0, 0), selected = DrawnItem(box, 0, ODS_SELECTED);
    int top = (box->ItemHeight() - 8) / 2;
    EXPECT_EQ(normal.Pixel(textLeft + 3, top + 2), kGreen);
    EXPECT_EQ(selected.Pixel(textLeft + 3, top + 2), kYellow);
    EXPECT_NE(normal.Pixel(textLeft, top + 7), kMagenta);
    EXPECT_EQ(box->WidestItem(), plainLong + 8 + 2);

    // The handler draws instead, told the item, its size, text place and state.
    int index = -1, w = 0, h = 0;
    UINT state = 0;
    TRect text;
    box->OnDrawItem = [&](TObject* sender, TCanvas& canvas, int i, int itemWidth, int itemHeight, const TRect& r,
                          UINT s) {
        EXPECT_EQ(sender, box);
        index = i, w = itemWidth, h = itemHeight, text = r, state = s;
        canvas.FillRect(RECT{0, 0, 4, 4}, kMagenta);
    };
    TvlFBitmap custom = DrawnItem(box, 1, ODS_SELECTED | ODS_FOCUS, 140);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(w, 140);
    EXPECT_EQ(h, box->ItemHeight());
    EXPECT_EQ(state, static_cast<UINT>(ODS_SELECTED | ODS_FOCUS));
    EXPECT_EQ(text.Left, textLeft);
    EXPECT_EQ(custom.Pixel(1, 1), kMagenta);
    EXPECT_NE(custom.Pixel(textLeft + 3, top + 2), kYellow);  // no glyph
}

TEST_F(SkinListBox, ComboShowsImagesAndPassesItsDrawHandlersOn) {
    auto* combo = Skinned<TvlSkinComboBox>(20, 20, 160, 20, 8);
    for (const char* s : {"Home", "Work", "Garden"}) combo->Items.Add(s);
    combo->ItemsChanged();
    Form->Show();
    combo->HandleNeeded();
    TImageList* images = Squares(Form, {kRed, kBlue, kGreen});
    combo->SetImages(images);
    combo->SetItemIndex(1);
    TRect area = combo->SkinLook().SkinClientRect;  // the item area at the skin's size ...
    int y = (area.Top + area.Bottom) / 2;
    TvlFBitmap look;
    ASSERT_TRUE(combo->ComposeLook(look));
    EXPECT_EQ(look.Pixel(area.Left + 2 + 8, y), kBlue);  // ... at the left, whatever the width
    combo->ImageIndex = 2;
    ASSERT_TRUE(combo->ComposeLook(look));
    EXPECT_EQ(look.Pixel(area.Left + 2 + 8, y), kGreen);

    int shown = -1, listed = 0;
    combo->OnComboBoxDrawItem = [&](TObject*, TCanvas&, int i, int, int, const TRect&, UINT state) {
        shown = i;
        EXPECT_NE(state & ODS_COMBOBOXEDIT, 0u);
    };
    combo->OnListBoxDrawItem = [&](TObject*, TCanvas&, int, int, int, const TRect&, UINT) { ++listed; };
    ASSERT_TRUE(combo->ComposeLook(look));
    EXPECT_EQ(shown, 1);
    EXPECT_NE(look.Pixel(area.Left + 2 + 8, y), kGreen);  // the handler drew instead
    combo->DropDown();
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(combo->DropDownList()->Images(), images);
    EXPECT_EQ(combo->DropDownList()->ImageIndex, 2);
    DrawnItem(combo->DropDownList(), 0, 0);
    EXPECT_EQ(listed, 1);
    combo->CloseUp(false);
}

namespace {
TvlSkinComboBox* EditCombo(TForm* form, TvlSkinData* skin, std::initializer_list<const char*> items) {
    auto* combo = new TvlSkinComboBox(form, form, 20, 20, 160, 20, 8);
    combo->SetSkinData(skin);
    for (const char* s : items) combo->Items.Add(s);
    combo->ItemsChanged();
    combo->HandleNeeded();
    return combo;
}
std::string WindowText(HWND h) {
    char text[256] = {};
    GetWindowTextA(h, text, sizeof text);
    return text;
}
}  // namespace

TEST_F(SkinListBox, EditStyleTakesTheKeysThroughTheComboAndTypingFindsItems) {
    auto* combo = EditCombo(Form, Skin, {"Home", "Work", "Garden", "Wellness", "Wood"});
    combo->SetItemIndex(2);
    int clicks = 0, changes = 0, closeUps = 0;
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->OnCloseUp = [&](TObject*) { ++closeUps; };
    Form->Show();
    combo->SetFocus();
    combo->SetStyle(vlcbEditStyle);
    TvlComboEdit* edit = combo->Edit();
    ASSERT_NE(edit, nullptr);
    HWND e = edit->Handle();
    // A native edit holding the text, with the tab stop and the focus.
    char cls[16] = {};
    GetClassNameA(e, cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, "Edit");
    EXPECT_EQ(WindowText(e), "Garden");
    EXPECT_EQ(combo->Text(), "Garden");
    EXPECT_FALSE(combo->TabStop);
    EXPECT_TRUE(edit->TabStop);
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(GetParent(e), combo->Handle());
    // Across the item area, as high as its text, centred in it.
    TRect area = combo->SkinLook().SkinClientRect;
    area.Right += combo->Width() - combo->SkinLook().SkinRect.Width();
    EXPECT_EQ(edit->Left(), area.Left);
    EXPECT_EQ(edit->Width(), area.Width());
    EXPECT_LE(std::abs((edit->Top() - area.Top) - (area.Bottom - edit->Top() - edit->Height())), 1);
    EXPECT_GT(edit->Height(), 8);

    // Up and Down pick the neighbours, put them into the edit, all selected.
    ui::Key(edit, VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(WindowText(e), "Wellness");
    EXPECT_TRUE(edit->EverythingSelected());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 1);
    ui::Key(edit, VK_UP);
    ui::Key(edit, VK_UP);
    EXPECT_EQ(WindowText(e), "Work");
    ui::Key(edit, VK_NEXT);  // DropDownCount − 1, not beyond the last
    EXPECT_EQ(combo->ItemIndex(), 4);
    ui::Key(edit, VK_PRIOR);  // DropDownCount + 1, not below 0
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(WindowText(e), "Home");

    // Typing: the first item starting with the text is chosen in the list;
    // the text stays what was typed and is the combo's text too.
    SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ui::Type(edit, "wo");
    EXPECT_EQ(WindowText(e), "wo");
    EXPECT_EQ(combo->Text(), "wo");
    EXPECT_EQ(WindowText(combo->Handle()), "wo");
    EXPECT_EQ(combo->ItemIndex(), 1);
    ui::Type(edit, "o");
    EXPECT_EQ(combo->ItemIndex(), 4);
    ui::Type(edit, "x");  // no match: the choice stays
    EXPECT_EQ(combo->ItemIndex(), 4);
    int clicksBefore = clicks;
    // F4 opens with the choice selected; Enter accepts it into the edit.
    ui::Key(edit, VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 4);
    EXPECT_EQ(SendMessageA(e, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    ui::Key(edit, VK_UP);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 3);
    ui::Key(edit, VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(WindowText(e), "Wellness");
    EXPECT_TRUE(edit->EverythingSelected());
    EXPECT_EQ(closeUps, 1);
    EXPECT_EQ(clicks, clicksBefore + 2);
    // Escape closes without accepting: the choice from before the drop-down
    // comes back; the edit keeps what was put into it.
    ui::Key(edit, VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    ui::Key(edit, VK_DOWN);
    EXPECT_EQ(WindowText(e), "Wood");
    SendMessageA(combo->InnerList(), LB_SETCURSEL, 0, 0);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(closeUps, 1);
    // The edit losing the focus closes the list without accepting.
    auto* other = new TvlSkinButton(Form, Form, "Other", 300, 66, 80, 24);
    ui::Key(edit, VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    SendMessageA(combo->InnerList(), LB_SETCURSEL, 1, 0);
    other->SetFocus();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(WindowText(e), "Wood");
    EXPECT_EQ(closeUps, 1);
    // Tab reaches the edit, not the combo around it.
    std::vector<TWinControl*> tabs = Form->TabList();
    EXPECT_NE(std::find(tabs.begin(), tabs.end(), edit), tabs.end());
    EXPECT_EQ(std::find(tabs.begin(), tabs.end(), combo), tabs.end());
    ui::Key(other, VK_TAB);
    EXPECT_EQ(GetFocus(), e);

    // Without AutoComplete typing only brings the match to the top of the open list.
    combo->AutoComplete = false;
    combo->Items.Assign(TStringList());
    for (int i = 0; i < 10; ++i) combo->Items.Add("Alpha " + std::to_string(i));
    for (int i = 0; i < 10; ++i) combo->Items.Add("Beta " + std::to_string(i));
    combo->ItemsChanged();
    combo->SetItemIndex(0);
    edit->SetFocus();
    ui::Key(edit, VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ui::Type(edit, "be");
    EXPECT_EQ(SendMessageA(combo->InnerList(), LB_GETTOPINDEX, 0, 0), 10);
    EXPECT_EQ(combo->DropDownList()->ScrollBar()->Position(), 10);
    EXPECT_EQ(combo->DropDownList()->ItemIndex(), 0);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Text(), "be");
    ui::Key(edit, VK_ESCAPE);
}

TEST_F(SkinListBox, EditStyleDropsDownByMouseAndAcceptsIntoTheEdit) {
    auto* combo = EditCombo(Form, Skin, {"Home", "Work", "Garden"});
    combo->SetStyle(vlcbEditStyle);
    Form->Show();
    TvlComboEdit* edit = combo->Edit();
    ASSERT_NE(edit, nullptr);
    // A click on the button opens the list and gives the edit the focus.
    Send(combo, WM_LBUTTONDOWN, MK_LBUTTON, 150, 10);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(GetFocus(), edit->Handle());
    Send(combo, WM_LBUTTONUP, 0, 150, 10);
    EXPECT_TRUE(combo->DroppedDown());
    int itemHeight = combo->DropDownList()->ItemHeight();
    SendMessageA(combo->InnerList(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, itemHeight + 2));
    RECT ir;
    GetWindowRect(combo->InnerList(), &ir);
    POINT over{ir.left + 10, ir.top + itemHeight + 3};
    ScreenToClient(combo->Handle(), &over);
    Send(combo, WM_LBUTTONUP, 0, over.x, over.y);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(WindowText(edit->Handle()), "Work");
    EXPECT_TRUE(edit->EverythingSelected());
    EXPECT_EQ(GetCapture(), nullptr);
    // A press in the item area of an edit-style combo (beside the edit) does not open it.
    Send(combo, WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    Send(combo, WM_LBUTTONUP, 0, 2, 2);
    EXPECT_FALSE(combo->DroppedDown());

    // Its colours: the element's text colour over the skin's picture, drawn
    // through; without an element the window colour, opaque.
    HDC dc = GetDC(edit->Handle());
    LRESULT brush = SendMessageA(combo->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit->Handle()));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetTextColor(dc), combo->SkinLook().ElementAs<TvlDataSkinComboBox>()->FontColor);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    // The same brush while nothing changed: no object made per paint.
    EXPECT_EQ(SendMessageA(combo->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(edit->Handle())),
              brush);
    SetBkMode(dc, OPAQUE);
    combo->SkinDataName = "no such element";
    combo->SkinChanged();
    brush = SendMessageA(combo->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(edit->Handle()));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), ColorToRGB(clWindow));
    ReleaseDC(edit->Handle(), dc);
}

TEST_F(SkinListBox, StyleSwitchesBackAndForthLeaveNothingBehind) {
    auto* combo = EditCombo(Form, Skin, {"Home", "Work", "Garden"});
    combo->SetItemIndex(1);
    Form->Show();
    combo->SetFocus();
    // The first round makes the drop-down, which stays.
    combo->SetStyle(vlcbEditStyle);
    combo->DropDown();
    combo->CloseUp(true);
    combo->SetStyle(vlcbFixedStyle);
    ui::Pump();
    TLeakCheck leaks;
    int before = ThreadWindowCount();
    for (int i = 0; i < 50; ++i) {
        combo->SetStyle(vlcbEditStyle);
        ASSERT_NE(combo->Edit(), nullptr);
        EXPECT_EQ(GetFocus(), combo->Edit()->Handle());
        UpdateWindow(combo->Handle());  // the edit's colours are asked for
        combo->DropDown();
        combo->CloseUp(i % 2 == 0);
        combo->SetStyle(vlcbFixedStyle);
        ASSERT_EQ(combo->Edit(), nullptr);
        EXPECT_EQ(GetFocus(), combo->Handle());
    }
    ui::Pump();
    leaks.ExpectNone("50 style switches");
    EXPECT_EQ(ThreadWindowCount(), before);
    EXPECT_TRUE(combo->TabStop);
    EXPECT_EQ(combo->Text(), "Work");
    EXPECT_EQ(WindowText(combo->Handle()), "Work");
    // The fixed style's keys are the combo's again.
    SendMessageA(combo->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->Text(), "Garden");

    // Switched before its window exists, as a form's constructor would: the
    // edit comes with the window, in place, in the element's font.
    auto* early = Skinned<TvlSkinComboBox>(20, 200, 160, 20, 8);
    early->Items.Add("Home");
    early->ItemsChanged();
    early->SetStyle(vlcbEditStyle);
    early->SetItemIndex(0);
    early->HandleNeeded();
    ASSERT_TRUE(early->Edit()->HandleAllocated());
    EXPECT_EQ(GetParent(early->Edit()->Handle()), early->Handle());
    EXPECT_EQ(WindowText(early->Edit()->Handle()), "Home");
    EXPECT_EQ(early->Edit()->Left(), early->SkinLook().SkinClientRect.Left);
    EXPECT_GT(early->Edit()->Height(), 8);
    RECT r;
    GetWindowRect(early->Edit()->Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, early->Edit()->Height());
    EXPECT_EQ(early->Edit()->Font.Name(), combo->SkinLook().ElementAs<TvlDataSkinComboBox>()->FontName);
    // The platform cancelling a mode in the edit closes the list unaccepted.
    early->Edit()->SetFocus();
    early->DropDown();
    ASSERT_TRUE(early->DroppedDown());
    SendMessageA(early->Edit()->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(early->DroppedDown());
}

TEST_F(SkinListBox, ScreenshotsOfTheCaptionedListAndTheOpenEditComboInModernAndGraphite) {
    Form->Show();
    for (const char* skin : {"modern", "graphite"}) {
        if (std::string(skin) == "graphite") Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
        ASSERT_FALSE(Skin->IsEmpty());
        auto* box = new TvlSkinListBox(Form, Form);
        box->SetBounds(10, 10, 190, 160);
        box->SetSkinData(Skin);
        box->HandleNeeded();
        box->SetCaption("Categories");
        box->SetCaptionMode(true);
        box->SetHorizontalExtent(true);
        for (const char* s : {"Home", "Work", "A category with a name far too long for the list", "Garden",
                              "Wellness", "Wood", "Travel", "Books", "Music", "Sport"})
            box->Items.Add(s);
        box->ItemsChanged();
        box->SetItemIndex(1);
        ASSERT_NE(box->HScrollBar(), nullptr);
        ASSERT_NE(box->ScrollBar(), nullptr);
        box->HScrollBar()->SetPosition(box->HScrollBar()->SmallChange * 2);

        auto* combo = EditCombo(Form, Skin, {"Home", "Work", "Garden", "Wellness", "Wood", "Travel"});
        combo->SetBounds(230, 10, 170, 20);
        combo->SetStyle(vlcbEditStyle);
        combo->SetItemIndex(2);
        combo->ListBoxCaption = "Pick a category";
        combo->ListBoxCaptionMode = true;
        UpdateWindow(Form->Handle());
        ui::Key(combo->Edit(), VK_F4);
        ASSERT_TRUE(combo->DroppedDown());
        ui::Key(combo->Edit(), VK_DOWN);
        // The caret at the end: the text shows in the skin's colour on the skin.
        SendMessageA(combo->Edit()->Handle(), EM_SETSEL, 3, 3);
        HWND list = combo->ListWindow();
        SetWindowPos(list, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(list, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT form, drop, both;
        GetWindowRect(Form->Handle(), &form);
        GetWindowRect(list, &drop);
        UnionRect(&both, &form, &drop);
        ui::SaveScreenArea(both, std::string("listbox-caption-and-edit-combo-") + skin);
        combo->CloseUp(false);
        delete combo;
        delete box;
    }
}
