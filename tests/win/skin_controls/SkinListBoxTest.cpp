// The skinned list box's caption, horizontal scrolling, columns and item
// pictures, and the combo box's edit style.
#include <string>

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
    auto* combo = new TvlSkinComboBox(Form, Form, 200, 20, 120, 20, 8);
    combo->SetSkinData(Skin);
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
    auto* combo = new TvlSkinComboBox(Form, Form, 20, 20, 160, 20, 8);
    combo->SetSkinData(Skin);
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
