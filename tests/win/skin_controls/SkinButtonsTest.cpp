// The skinned push button and check box, with and without the built-in skin:
// clicks, latching groups, repetition, keys, the default button, morphing,
// sizes fitted to the element and the native button messages.
#include <gtest/gtest.h>

#include <memory>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/controls/vlSkinRelay.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

// The skin is loaded where a test asks for it: the buttons are seen
// without it first.
class SkinButtons : public SkinnedFormTest {
protected:
    SkinButtons() : SkinnedFormTest("Buttons", 400, 200, false) {}
    TvlSkinButton* Button(const char* caption, int left, int* clicks) {
        auto* b = new TvlSkinButton(Form, Form, caption, left, 10, 80, 24);
        b->SetSkinData(Skin);
        b->OnClick = [clicks](TObject*) { ++*clicks; };
        return b;
    }
    void Press(TWinControl* c, int x = 5, int y = 5) {
        SendMessageA(c->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Release(TWinControl* c, int x = 5, int y = 5) { SendMessageA(c->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
};

}  // namespace

TEST_F(SkinButtons, ClicksComeOnReleaseOverTheButtonOnly) {
    int clicks = 0;
    TvlSkinButton* b = Button("Go", 10, &clicks);
    Form->Show();
    ui::Click(b);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Down());
    // Pressed, then released outside: no click and the button is up again.
    Press(b);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(GetCapture(), b->Handle());
    Release(b, 200, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(GetCapture(), nullptr);
    // The native button messages.
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(SendMessageA(b->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
    SendMessageA(b->Handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(b->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(b->Handle(), BM_SETSTATE, FALSE, 0);
    char text[16];
    GetWindowTextA(b->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Go");
    // A disabled button takes no click.
    b->SetEnabled(false);
    ui::Click(b);
    EXPECT_EQ(clicks, 2);
}

TEST_F(SkinButtons, GroupedButtonsLatchAndClickOnPress) {
    int clicksA = 0, clicksB = 0;
    TvlSkinButton* a = Button("A", 10, &clicksA);
    TvlSkinButton* b = Button("B", 100, &clicksB);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    EXPECT_FALSE(a->CanFocused());  // grouped buttons do not take the focus
    Form->Show();
    Press(a);
    EXPECT_EQ(clicksA, 1);  // on press, before the release
    Release(a);
    EXPECT_TRUE(a->Down());
    Press(b);
    Release(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());  // the group holds one down member
    // Clicking a down member again releases it only with AllowAllUp.
    Press(b);
    Release(b);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(clicksB, 1);
    b->AllowAllUp = true;
    a->AllowAllUp = true;
    Press(b);
    Release(b);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(clicksB, 2);
    // With AllowAllUp the other down members stay down.
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_TRUE(a->Down());
}

TEST_F(SkinButtons, RepeatingSpaceAndTheDefaultButton) {
    int clicks = 0, other = 0;
    TvlSkinButton* b = Button("Repeat", 10, &clicks);
    TvlSkinButton* second = Button("Other", 100, &other);
    auto* edit = new TEdit(Form, Form, 200, 10, 80, 20);
    edit->TabOrder = 2;
    b->RepeatMode = true;
    b->RepeatInterval = 30;
    Form->Show();
    Press(b);
    EXPECT_TRUE(b->RepeatTimerRunning());
    ui::Pump(200);
    int held = clicks;
    EXPECT_GE(held, 2);  // several repeats while held
    Release(b);
    EXPECT_EQ(clicks, held + 1);  // and the release's own click
    EXPECT_FALSE(b->RepeatTimerRunning());

    // Space: down on press (one click in repeat mode), click on release.
    clicks = 0;
    b->SetFocus();
    SendMessageA(b->Handle(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(clicks, 1);
    SendMessageA(b->Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(clicks, 2);

    // The default button lights while the focus is elsewhere than on a
    // skinned button, and Enter presses it from the edit.
    second->SetDefault(true);
    edit->SetFocus();
    EXPECT_TRUE(second->DefaultActive());
    EXPECT_TRUE(second->MouseOver());
    b->SetFocus();
    EXPECT_FALSE(second->DefaultActive());
    EXPECT_EQ(SendMessageA(second->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, 0);
    ui::Key(edit, VK_RETURN);
    EXPECT_EQ(other, 1);
    // Escape presses the cancel button.
    second->SetCancel(true);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_EQ(other, 2);
    second->ModalResult = mrOk;
    ui::Click(second);
    EXPECT_EQ(Form->ModalResult, mrOk);
}

TEST_F(SkinButtons, TheSkinFitsTheSizeAndMorphsInFiveSteps) {
    int clicks = 0;
    TvlSkinButton* b = Button("Skinned", 10, &clicks);
    EXPECT_EQ(b->ElementIndex(), -1);
    b->SetDefaultHeight(30);
    EXPECT_EQ(b->Height(), 30);  // without an element the default size applies
    LoadSkin();
    b->SetCanFocused(false);  // the focus would light it at once
    Form->Show();
    ASSERT_GE(b->ElementIndex(), 0);
    const TvlSkinLook& look = b->SkinLook();
    ASSERT_EQ(look.StretchMode, smBoth);
    b->SetBounds(10, 10, 120, 40);
    EXPECT_EQ(b->Width(), 120);
    EXPECT_EQ(look.ScaledClientRect.Right, look.SkinClientRect.Right + 120 - look.SkinRect.Width());

    // Morphing: the pointer comes, the look blends in over five 20 ms steps.
    ASSERT_FALSE(b->MorphTimerRunning());
    SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(b->MouseOver());
    EXPECT_TRUE(b->MorphTimerRunning());
    int steps = 0;
    while (b->MorphTimerRunning() && steps < 20) {
        b->MorphStep();
        ++steps;
    }
    EXPECT_EQ(steps, 6);  // five steps of 0.2, the sixth ends the fade
    EXPECT_DOUBLE_EQ(b->MorphFactor(), 1.0);
    SendMessageA(b->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(b->MorphTimerRunning());
    for (int i = 0; i < 6; ++i) b->MorphStep();
    EXPECT_DOUBLE_EQ(b->MorphFactor(), 0.0);
    EXPECT_FALSE(b->MorphTimerRunning());
    // Every state image paints without a gap: the hot look differs from the normal one.
    auto capture = [&] {
        TBitmap shot(b->Width(), b->Height());
        SendMessageA(b->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.DC()), PRF_CLIENT);
        return GetPixel(shot.DC(), 2, b->Height() / 2);
    };
    COLORREF normal = capture();
    b->SetDown(true);
    SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    COLORREF down = capture();
    EXPECT_NE(normal, down);

    // Between the two skin notices the button draws its plain look.
    RelaySkinChange(Form, Skin, true);
    EXPECT_EQ(b->ElementIndex(), -1);
    RelaySkinChange(Form, Skin, false);
    EXPECT_GE(b->ElementIndex(), 0);
    ui::SaveScreenshot(Form->Handle(), "skinned-buttons");
}

TEST_F(SkinButtons, CheckAndRadioBoxes) {
    LoadSkin();
    int clicks = 0;
    auto* check = new TvlSkinCheckRadioBox(Form, Form, "Check", 10, 50, 120, 25);
    check->SetSkinData(Skin);
    check->OnClick = [&](TObject*) { ++clicks; };
    auto* r1 = new TvlSkinCheckRadioBox(Form, Form, "One", 10, 80, 120, 25);
    auto* r2 = new TvlSkinCheckRadioBox(Form, Form, "Two", 10, 110, 120, 25);
    int radioClicks = 0;
    for (auto* r : {r1, r2}) {
        r->SetRadio(true);
        r->SetSkinData(Skin);
        r->OnClick = [&](TObject*) { ++radioClicks; };
    }
    Form->Show();
    EXPECT_GE(check->ElementIndex(), 0);
    EXPECT_EQ(check->Width(), 120);  // the flat style keeps its size

    ui::Click(check);
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    check->SetChecked(false);  // the program's change is reported too
    EXPECT_EQ(clicks, 2);
    SendMessageA(check->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(check->Checked());
    SendMessageA(check->Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_FALSE(check->Checked());

    ui::Click(r1);
    EXPECT_TRUE(r1->Checked());
    EXPECT_EQ(radioClicks, 1);
    ui::Click(r1);  // a checked radio box stays checked and says nothing
    EXPECT_TRUE(r1->Checked());
    EXPECT_EQ(radioClicks, 1);
    ui::Click(r2);
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());  // one of the group at a time
    ui::SaveScreenshot(Form->Handle(), "skinned-checks");
}

TEST_F(SkinButtons, SpeedButtonsClickWithoutFocusAndLatchInGroups) {
    int clicks = 0;
    auto* speed = new TvlSkinSpeedButton(Form, Form);
    speed->SetBounds(10, 60, 60, 25);
    speed->SetCaption("Tool");
    speed->OnClick = [&](TObject*) { ++clicks; };
    auto* a = new TvlSkinSpeedButton(Form, Form);
    a->SetBounds(80, 60, 30, 25);
    a->GroupIndex = 2;
    auto* b = new TvlSkinSpeedButton(Form, Form);
    b->SetBounds(120, 60, 30, 25);
    b->GroupIndex = 2;
    int groupClicks = 0;
    a->OnClick = b->OnClick = [&](TObject*) { ++groupClicks; };
    EXPECT_EQ(speed->SkinDataName, "toolbutton");
    EXPECT_TRUE(speed->ControlStyle & csOpaque);
    Form->Show();
    HWND focus = GetFocus();
    ui::Click(speed);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(speed->Down());
    EXPECT_EQ(GetFocus(), focus);  // a speed button never takes the focus
    // Released away from it: no click.
    SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 65));
    EXPECT_TRUE(speed->Down());
    SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 150));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(speed->Down());

    ui::Click(a);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(groupClicks, 1);  // one click, on the press
    ui::Click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(groupClicks, 2);
    ui::Click(b);  // down already, and not AllowAllUp: stays down, no click
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(groupClicks, 2);
    b->AllowAllUp = true;
    ui::Click(b);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(groupClicks, 3);

    // Flat means transparent: the parent paints behind it.
    speed->SetFlat(true);
    EXPECT_FALSE(speed->ControlStyle & csOpaque);
    speed->WidthWithCaption = 60;
    speed->WidthWithoutCaption = 25;
    speed->SetShowCaption(false);
    EXPECT_EQ(speed->Width(), 25);
}

TEST_F(SkinButtons, AcceleratorsFocusAndClick) {
    int yes = 0, no = 0;
    TvlSkinButton* y = Button("&Yes", 10, &yes);
    TvlSkinButton* n = Button("&No", 100, &no);
    auto* check = new TvlSkinCheckRadioBox(Form, Form, "&Done", 10, 50, 120, 25);
    auto* edit = new TEdit(Form, Form, 200, 10, 80, 20);
    Form->Show();
    EXPECT_EQ(AcceleratorOf("&Yes"), 'Y');
    EXPECT_EQ(AcceleratorOf("R&&D"), 0);
    // Alt with the letter, from anywhere in the form.
    edit->SetFocus();
    PostMessageA(edit->Handle(), WM_SYSCHAR, 'n', 1 << 29);
    ui::Pump();
    EXPECT_EQ(no, 1);
    EXPECT_EQ(GetFocus(), n->Handle());
    // The letter alone while a button (which takes no characters) has the focus.
    PostMessageA(n->Handle(), WM_CHAR, 'y', 1);
    ui::Pump();
    EXPECT_EQ(yes, 1);
    PostMessageA(y->Handle(), WM_CHAR, 'd', 1);
    ui::Pump();
    EXPECT_TRUE(check->Checked());
    // An edit keeps its characters.
    edit->SetFocus();
    PostMessageA(edit->Handle(), WM_CHAR, 'y', 1);
    ui::Pump();
    EXPECT_EQ(yes, 1);
    EXPECT_EQ(edit->Text(), "y");
}

TEST(GlyphPlacement, GlyphAndTextSitAlongTheLayoutsAxisCentredOrFromTheMargin) {
    // A 16 × 16 glyph and a 40 × 12 text, 4 apart.
    struct Case {
        TvlButtonLayout Layout;
        TRect Area;
        int Margin;
        TPoint Glyph, Text;
    };
    const Case cases[] = {
        {blGlyphLeft, {0, 0, 100, 40}, -1, {20, 12}, {40, 14}},
        {blGlyphRight, {0, 0, 100, 40}, -1, {64, 12}, {20, 14}},
        {blGlyphLeft, {0, 0, 100, 40}, 5, {5, 12}, {25, 14}},
        {blGlyphRight, {0, 0, 100, 40}, 5, {79, 12}, {35, 14}},
        {blGlyphTop, {0, 0, 60, 100}, -1, {22, 34}, {10, 54}},
        {blGlyphBottom, {0, 0, 60, 100}, -1, {22, 50}, {10, 34}},
        {blGlyphTop, {0, 0, 60, 100}, 5, {22, 5}, {10, 25}},
        {blGlyphBottom, {0, 0, 60, 100}, 5, {22, 79}, {10, 63}},
        // Away from the origin the same places, moved.
        {blGlyphRight, {30, 50, 130, 90}, 5, {109, 62}, {65, 64}},
        {blGlyphBottom, {30, 50, 90, 150}, -1, {52, 100}, {40, 84}},
    };
    for (const Case& c : cases) {
        TvlGlyphPlacement p = PlaceGlyphAndCaption(c.Area, 16, 16, 40, 12, c.Margin, 4, c.Layout);
        EXPECT_EQ(p.Glyph.X, c.Glyph.X) << c.Layout << " margin " << c.Margin;
        EXPECT_EQ(p.Glyph.Y, c.Glyph.Y) << c.Layout << " margin " << c.Margin;
        EXPECT_EQ(p.Text.X, c.Text.X) << c.Layout << " margin " << c.Margin;
        EXPECT_EQ(p.Text.Y, c.Text.Y) << c.Layout << " margin " << c.Margin;
    }
}
