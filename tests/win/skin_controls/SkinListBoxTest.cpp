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
