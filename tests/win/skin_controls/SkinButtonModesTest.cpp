// The button and check box modes the planner's windows do not use: the
// speed button's repetition, fade and release with AllowAllUp, the default
// lighting of every button and the cancel button's conditions, and the
// check box's non-flat style, images and groups.
#include <gtest/gtest.h>

#include "skin/controls/vlSkinCtrls.h"
#include "tests/win/skin_controls/SkinTestImages.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/StdCtrls.h"

namespace {

class SkinButtonModes : public SkinnedFormTest {
protected:
    SkinButtonModes() : SkinnedFormTest("Modes", 420, 300, false) {}
    void Mouse(UINT msg, WPARAM keys, int x, int y) { SendMessageA(Form->Handle(), msg, keys, MAKELPARAM(x, y)); }
    // The loaded skin's element record of a name, of kind T.
    template <class T>
    T* Element(const char* name) {
        int i = Skin->FindControlIndex(name);
        return i < 0 ? nullptr : dynamic_cast<T*>(Skin->SkinControls[static_cast<size_t>(i)].get());
    }
};

COLORREF PixelOf(TWinControl* c, int x, int y) {
    TBitmap shot(c->Width(), c->Height());
    SendMessageA(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.DC()), PRF_CLIENT);
    return GetPixel(shot.DC(), x, y);
}

}  // namespace

TEST_F(SkinButtonModes, SpeedButtonRepeatsWhileHeldFadesAndReleasesOnTheRelease) {
    TFakeTimers timers;
    int clicks = 0;
    auto* speed = new TvlSkinSpeedButton(Form, Form);
    speed->SetBounds(10, 10, 60, 25);
    speed->RepeatMode = true;
    speed->RepeatInterval = 40;
    speed->OnClick = [&](TObject*) { ++clicks; };
    Form->Show();
    int before = timers.LiveTimers();

    Mouse(WM_MOUSEMOVE, 0, 15, 15);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
    EXPECT_TRUE(speed->Down());
    ASSERT_TRUE(speed->RepeatTimerRunning());
    EXPECT_EQ(clicks, 0) << "the first repeat waits one interval";
    EXPECT_EQ(timers.LiveTimers(), before + 1);
    timers.FireAll();
    timers.FireAll();
    EXPECT_EQ(clicks, 2);
    // Dragged off the button the repetition stops; back on, it resumes.
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 300, 200);
    EXPECT_FALSE(speed->RepeatTimerRunning());
    timers.FireAll();
    EXPECT_EQ(clicks, 2);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 15, 15);
    EXPECT_TRUE(speed->RepeatTimerRunning());
    timers.FireAll();
    EXPECT_EQ(clicks, 3);
    // The release over it makes one click more, and the timer goes.
    Mouse(WM_LBUTTONUP, 0, 15, 15);
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(speed->Down());
    EXPECT_EQ(timers.LiveTimers(), before);

    // A grouped button with AllowAllUp comes up on the release, not the press.
    int grouped = 0;
    auto* a = new TvlSkinSpeedButton(Form, Form);
    a->SetBounds(80, 10, 30, 25);
    a->GroupIndex = 1;
    a->AllowAllUp = true;
    a->OnClick = [&](TObject*) { ++grouped; };
    ui::Click(a);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(grouped, 1);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 90, 15);
    EXPECT_TRUE(a->Down()) << "still down while pressed";
    EXPECT_EQ(grouped, 1);
    Mouse(WM_LBUTTONUP, 0, 90, 15);
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(grouped, 2);
    // Released away from it, it stays down.
    ui::Click(a);
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 90, 15);
    Mouse(WM_LBUTTONUP, 0, 300, 200);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(grouped, 3);

    // With a skin element that fades, the pointer starts a fade of five
    // steps on a timer of its own; leaving fades back.
    LoadSkin();
    auto* fading = new TvlSkinSpeedButton(Form, Form);
    fading->SkinDataName = "button";
    fading->SetBounds(130, 10, 80, 25);
    fading->SetCaption("Fade");
    fading->SetSkinData(Skin);
    ASSERT_GE(fading->ElementIndex(), 0);
    before = timers.LiveTimers();
    Mouse(WM_MOUSEMOVE, 0, 300, 200);
    Mouse(WM_MOUSEMOVE, 0, 150, 15);
    EXPECT_TRUE(fading->MouseOver());
    ASSERT_TRUE(fading->MorphTimerRunning());
    EXPECT_EQ(timers.LiveTimers(), before + 1);
    timers.FireAll();
    timers.FireAll();
    EXPECT_DOUBLE_EQ(fading->MorphFactor(), 0.4);
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // a blended look
    int ticks = 2;
    while (fading->MorphTimerRunning() && ticks < 20) {
        timers.FireAll();
        ++ticks;
    }
    EXPECT_EQ(ticks, 6);
    EXPECT_DOUBLE_EQ(fading->MorphFactor(), 1.0);
    Mouse(WM_MOUSEMOVE, 0, 300, 200);
    EXPECT_TRUE(fading->MorphTimerRunning());
    for (int i = 0; i < 6; ++i) timers.FireAll();
    EXPECT_DOUBLE_EQ(fading->MorphFactor(), 0.0);
    EXPECT_EQ(timers.LiveTimers(), before);
    // A transparent button never fades.
    fading->SetFlat(true);
    Mouse(WM_MOUSEMOVE, 0, 150, 15);
    EXPECT_FALSE(fading->MorphTimerRunning());
}

TEST_F(SkinButtonModes, EveryButtonActsAsTheDefaultWhenFocusedAndEscapeHasItsConditions) {
    int aClicks = 0, bClicks = 0;
    auto* a = new TvlSkinButton(Form, Form, "A", 10, 10, 80, 24);
    auto* b = new TvlSkinButton(Form, Form, "B", 100, 10, 80, 24);
    a->OnClick = [&](TObject*) { ++aClicks; };
    b->OnClick = [&](TObject*) { ++bClicks; };
    auto* edit = new TEdit(Form, Form, 200, 10, 80, 20);
    Form->Show();
    a->SetFocus();
    EXPECT_TRUE(a->DefaultActive());
    EXPECT_FALSE(b->DefaultActive());
    b->SetFocus();
    EXPECT_FALSE(a->DefaultActive());
    EXPECT_TRUE(b->DefaultActive());
    EXPECT_TRUE(SendMessageA(b->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
    edit->SetFocus();
    EXPECT_FALSE(a->DefaultActive()) << "no Default button: none acts as the default";
    EXPECT_FALSE(b->DefaultActive());
    ui::Key(edit, VK_RETURN);
    EXPECT_EQ(aClicks + bClicks, 0);
    // Making one the default tells the others at once.
    b->SetDefault(true);
    EXPECT_TRUE(b->DefaultActive());
    EXPECT_TRUE(b->MouseOver()) << "lit while the focus is on the edit";
    a->SetFocus();
    EXPECT_TRUE(a->DefaultActive());
    EXPECT_FALSE(b->DefaultActive());
    EXPECT_FALSE(b->MouseOver());
    edit->SetFocus();
    b->SetDefault(false);
    EXPECT_FALSE(b->DefaultActive());
    EXPECT_FALSE(b->MouseOver());

    // Escape presses the cancel button only when it could take the focus
    // and no shift key is held.
    b->SetCancel(true);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(bClicks, 1);
    {
        ui::TKeysHeld shift({VK_SHIFT});
        ui::Key(edit, VK_ESCAPE);
    }
    EXPECT_EQ(bClicks, 1) << "Shift+Escape";
    b->SetCanFocused(false);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(bClicks, 1);
    b->SetCanFocused(true);
    b->SetEnabled(false);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(bClicks, 1);
    b->SetEnabled(true);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(bClicks, 2);
}

TEST_F(SkinButtonModes, CheckBoxesFlatAndNonFlatImagesAndGroups) {
    TFakeTimers timers;
    LoadSkin();
    auto* data = Element<TvlDataSkinCheckRadioControl>("checkbox");
    ASSERT_NE(data, nullptr);
    // A flat box keeps any size, also after a skin change.
    auto* flat = new TvlSkinCheckRadioBox(Form, Form, "Flat", 10, 10, 150, 25);
    flat->SetSkinData(Skin);
    flat->SetBounds(10, 10, 180, 30);
    EXPECT_EQ(flat->Width(), 180);
    EXPECT_EQ(flat->Height(), 30);
    flat->SkinChanged();
    EXPECT_EQ(flat->Height(), 30);

    // The non-flat style fits to a horizontally stretching element: the
    // text area grows by the width gain, a check image right of the text
    // moves with it.
    data->LTPoint = {22, 0};
    data->RTPoint = {40, 0};
    auto* wide = new TvlSkinCheckRadioBox(Form, Form, "Wide", 10, 50, 200, 30);
    wide->Flat = false;
    wide->SetSkinData(Skin);
    int skinWidth = data->SkinRect.Width();
    EXPECT_EQ(wide->Height(), data->SkinRect.Height());
    EXPECT_EQ(wide->Width(), 200);
    EXPECT_EQ(wide->TextArea().Right, data->TextArea.Right + 200 - skinWidth);
    EXPECT_EQ(wide->CheckImageArea().Left, data->CheckImageArea.Left) << "left of the text: it stays";
    data->TextArea = {0, 0, 40, 22};
    data->CheckImageArea = {41, 3, 57, 19};
    wide->SkinChanged();
    wide->SetBounds(10, 50, 240, 30);
    EXPECT_EQ(wide->TextArea().Right, 40 + 240 - skinWidth);
    EXPECT_EQ(wide->CheckImageArea().Left, 41 + 240 - skinWidth);

    // With a fading element the non-flat style blends in five steps.
    data->Morphing = true;
    wide->SkinChanged();
    Form->Show();
    SendMessageA(wide->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(wide->MouseOver());
    ASSERT_TRUE(wide->MorphTimerRunning());
    timers.FireAll();
    timers.FireAll();
    EXPECT_DOUBLE_EQ(wide->MorphFactor(), 0.4);
    EXPECT_NE(PixelOf(wide, 2, 2), 0u);  // the blend paints
    for (int i = 0; i < 4; ++i) timers.FireAll();
    EXPECT_FALSE(wide->MorphTimerRunning());
    EXPECT_DOUBLE_EQ(wide->MorphFactor(), 1.0);
    flat->SkinChanged();
    SendMessageA(flat->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(flat->MorphTimerRunning()) << "the flat style never fades";

    // An image of a list beside the caption moves the caption right.
    auto* images = new TImageList(Form, 16, 16);
    AddSquareImage(images, RGB(200, 0, 0), RGB(200, 0, 0));
    int imageX = data->CheckImageRect.Width() + 7 + 8;
    COLORREF without = PixelOf(flat, imageX, 15);
    flat->SetImages(images);
    EXPECT_EQ(PixelOf(flat, imageX, 15), RGB(200, 0, 0));
    EXPECT_NE(without, RGB(200, 0, 0));
    flat->SetImageIndex(-1);
    EXPECT_NE(PixelOf(flat, imageX, 15), RGB(200, 0, 0));
    flat->SetImageIndex(0);
    delete images;  // the box forgets the list
    EXPECT_EQ(flat->Images(), nullptr);
    EXPECT_NE(PixelOf(flat, imageX, 15), RGB(200, 0, 0));

    // A masked list leaves the picture's magenta ground out: around the
    // square the box shows as under a wholly transparent picture. A picture
    // added whole to a masked list keeps its ground.
    const COLORREF magenta = RGB(255, 0, 255);
    auto* masked = new TImageList(Form, 16, 16, true);
    AddSquareImage(masked, RGB(200, 0, 0), magenta);
    AddSquareImage(masked, magenta, magenta);
    HBITMAP whole = SquareBitmap(RGB(200, 0, 0), magenta);
    masked->Add(whole);
    DeleteObject(whole);
    ASSERT_EQ(masked->Count(), 3);
    flat->SetImages(masked);
    flat->SetImageIndex(1);
    COLORREF under = PixelOf(flat, imageX - 6, 15);
    EXPECT_NE(under, magenta);
    EXPECT_NE(PixelOf(flat, imageX, 15), RGB(200, 0, 0));
    flat->SetImageIndex(0);
    EXPECT_EQ(PixelOf(flat, imageX, 15), RGB(200, 0, 0));
    EXPECT_EQ(PixelOf(flat, imageX - 6, 15), under);
    flat->SetImageIndex(2);
    EXPECT_EQ(PixelOf(flat, imageX, 15), RGB(200, 0, 0));
    EXPECT_EQ(PixelOf(flat, imageX - 6, 15), magenta);
    flat->SetImages(nullptr);

    // Check boxes of one group: checking one unchecks the other through
    // its property, so the other tells its change too.
    auto* one = new TvlSkinCheckRadioBox(Form, Form, "One", 10, 120, 150, 25);
    auto* two = new TvlSkinCheckRadioBox(Form, Form, "Two", 10, 150, 150, 25);
    int oneClicks = 0, twoClicks = 0;
    one->GroupIndex = two->GroupIndex = 4;
    one->OnClick = [&](TObject*) { ++oneClicks; };
    two->OnClick = [&](TObject*) { ++twoClicks; };
    ui::Click(one);
    ui::Click(two);
    EXPECT_TRUE(two->Checked());
    EXPECT_FALSE(one->Checked());
    EXPECT_EQ(oneClicks, 2) << "checked, then unchecked by its group";
    EXPECT_EQ(twoClicks, 1);
    // Radio boxes of a group: the one unchecked says nothing.
    one->SetRadio(true);
    two->SetRadio(true);
    one->GroupIndex = two->GroupIndex = 5;
    two->SetChecked(true);
    oneClicks = twoClicks = 0;
    ui::Click(one);
    EXPECT_FALSE(two->Checked());
    EXPECT_EQ(oneClicks, 1);
    EXPECT_EQ(twoClicks, 0);
}
