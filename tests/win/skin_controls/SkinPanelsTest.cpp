// Skinned panels, splitter, bevel, labels and gauge against the built-in skin.
#include <gtest/gtest.h>

#include <memory>

#include "skin/controls/vlSkinCtrls.h"
#include "tests/win/support/ClientPixel.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

namespace {

class SkinPanels : public SkinnedFormTest {
protected:
    SkinPanels() : SkinnedFormTest("Panels", 500, 300) {}
};

}  // namespace

TEST_F(SkinPanels, PanelClientAreasAndRollingUp) {
    auto* framed = new TvlSkinPanel(Form, Form, bvFrame);
    framed->SetBounds(10, 10, 200, 120);
    framed->SetSkinData(Skin);
    auto* bare = new TvlSkinPanel(Form, Form, bvNone);
    bare->SetBounds(220, 10, 200, 120);
    bare->SetSkinData(Skin);
    ASSERT_EQ(framed->SkinLook().StretchMode, smBoth);
    // A framed panel lays its children out in the fitted client rect; a
    // borderless one (tiled texture only) in the whole window.
    RECT inFrame = framed->LayoutRect();
    EXPECT_EQ(inFrame.left, framed->SkinLook().ScaledClientRect.Left);
    EXPECT_EQ(inFrame.right, framed->SkinLook().ScaledClientRect.Right);
    EXPECT_EQ(inFrame.right, 200 - (framed->SkinLook().SkinRect.Width() - framed->SkinLook().SkinClientRect.Right));
    RECT whole = bare->LayoutRect();
    EXPECT_EQ(whole.left, 0);
    EXPECT_EQ(whole.right, 200);
    auto* child = new TButton(Form, framed, "c", 0, 0, 10, 10);
    child->SetAlign(alClient);
    EXPECT_EQ(child->Left(), inFrame.left);

    // Rolling up keeps only frame and caption, and rolling down restores it all.
    auto* hidden = new TButton(Form, framed, "h", 0, 0, 10, 10);
    hidden->SetVisible(false);
    framed->SetCaptionMode(true);
    framed->SetRollUpMode(true);
    int rolls = 0;
    framed->OnChangeRollUpState = [&](TObject*) { ++rolls; };
    framed->SetRollUpState(true);
    EXPECT_EQ(framed->RealHeight(), 120);
    EXPECT_LT(framed->Height(), 120);
    EXPECT_FALSE(child->Visible());
    framed->SetRollUpState(true);  // no change, no event
    EXPECT_EQ(rolls, 1);
    framed->SetRollUpState(false);
    EXPECT_EQ(framed->Height(), 120);
    EXPECT_EQ(framed->RealHeight(), -1);
    EXPECT_TRUE(child->Visible());
    EXPECT_TRUE(hidden->Visible());
    EXPECT_EQ(rolls, 2);
    framed->SetRollUpMode(false);
    framed->SetRollUpState(true);  // outside roll-up mode it stays down
    EXPECT_FALSE(framed->RollUpState());

    // Checked mode switches the children on and off.
    framed->SetCheckedMode(true);
    framed->SetChecked(false);
    EXPECT_FALSE(child->Enabled());
    framed->SetChecked(true);
    EXPECT_TRUE(child->Enabled());
    Form->Show();
    ui::SaveScreenshot(Form->Handle(), "skinned-panels");
}

TEST_F(SkinPanels, SplitterBevelAndLinkLabel) {
    auto* left = new TvlSkinPanel(Form, Form, bvNone);
    left->SetWidth(100);
    left->SetAlign(alLeft);
    auto* splitter = new TvlSkinSplitter(Form, Form, 10);
    EXPECT_EQ(splitter->Width(), 10);
    splitter->SetSkinData(Skin);
    int element = Skin->FindControlIndex("vsplitter");
    ASSERT_GE(element, 0);
    EXPECT_EQ(splitter->Width(), Skin->SkinControls[static_cast<size_t>(element)]->SkinRect.Width());
    EXPECT_EQ(splitter->MinSize, splitter->Width());
    delete Skin;  // without the skin it keeps working in its plain look
    EXPECT_EQ(splitter->SkinData(), nullptr);
    splitter->SkinChanged();
    EXPECT_EQ(splitter->Width(), 10);
    Skin = new TvlSkinData(Form);
    Skin->SetCompressedStoredSkin(Stored.get());

    auto* bevel = new TvlSkinBevel(Form, Form, 150, 150, 100, 40);
    EXPECT_EQ(bevel->LightColor(), clBtnHighlight);
    bevel->SetSkinData(Skin);
    bevel->ReadElement();
    auto* data =
        dynamic_cast<TvlDataSkinBevel*>(Skin->SkinControls[static_cast<size_t>(Skin->FindControlIndex("bevel"))].get());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(bevel->LightColor(), data->LightColor);
    EXPECT_EQ(bevel->DarkColor(), data->DarkColor);

    auto* link = new TvlSkinLinkLabel(Form, Form, "Link", 150, 220);
    link->SetSkinData(Skin);
    link->URL = "not a web address";  // never handed to the shell
    int clicks = 0;
    link->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_TRUE(link->TextFont().Style() & fsUnderline);
    Form->Show();
    int x = link->Left() + 2, y = link->Top() + 2;
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    EXPECT_TRUE(link->MouseOver());
    ui::ClickAt(Form->Handle(), x, y);
    EXPECT_EQ(clicks, 1);
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(400, 5));
    EXPECT_FALSE(link->MouseOver());
}

TEST_F(SkinPanels, GaugeTextBarAndValues) {
    auto* gauge = new TvlSkinGauge(Form, Form, 10, 10, 300, 19);
    gauge->SkinDataName = "statusgauge";
    gauge->SetSkinData(Skin);
    gauge->SetShowProgressText(true);
    gauge->SetShowPercent(true);
    gauge->SetProgressText("0/0 tasks  ");
    gauge->SetValue(0);
    EXPECT_EQ(gauge->Text(), "0/0 tasks  0%");
    gauge->SetValue(37);
    EXPECT_EQ(gauge->Text(), "0/0 tasks  37%");
    gauge->SetMaxValue(200);
    gauge->SetValue(5);  // 2.5 % rounds to the even 2
    EXPECT_EQ(gauge->Percent(), 2);
    gauge->SetMaxValue(3);  // pulls the value inside
    EXPECT_EQ(gauge->Value(), 3);
    gauge->SetValue(-4);
    EXPECT_EQ(gauge->Value(), 0);
    gauge->SetMinValue(0);
    gauge->SetMaxValue(0);
    EXPECT_EQ(gauge->Percent(), 0);  // equal bounds: an empty bar
    EXPECT_EQ(gauge->ProgressRect({0, 0, 50, 10}).Width(), 0);
    gauge->SetMaxValue(8);
    gauge->SetValue(3);
    EXPECT_EQ(gauge->ProgressRect({0, 0, 80, 10}).Right, 30);

    // The bar is drawn from the element: where it ends, the look changes.
    Form->Show();
    gauge->SetValue(0);
    COLORREF empty = ClientPixel(gauge, 6, 9);
    gauge->SetValue(8);
    COLORREF full = ClientPixel(gauge, 6, 9);
    EXPECT_NE(empty, full);
    ui::SaveScreenshot(Form->Handle(), "skinned-gauge");
}

TEST_F(SkinPanels, SkinnedWindowsGiveBackEveryGdiObjectAndTimer) {
    TLeakCheck leaks;
    auto* form = new TForm(Application, "Leaks", 300, 200);
    auto* skin = new TvlSkinData(form);
    skin->SetCompressedStoredSkin(Stored.get());
    auto* panel = new TvlSkinPanel(form, form, bvFrame);
    panel->SetBounds(0, 0, 300, 120);
    panel->SetSkinData(skin);
    auto* button = new TvlSkinButton(form, panel, "Morph", 10, 10, 90, 24);
    button->SetSkinData(skin);
    auto* check = new TvlSkinCheckRadioBox(form, panel, "Check", 10, 50, 120, 25);
    check->SetSkinData(skin);
    auto* gauge = new TvlSkinGauge(form, form, 10, 140, 200, 19);
    gauge->SetSkinData(skin);
    auto* label = new TvlSkinStdLabel(form, panel, "Label", 150, 10);
    label->SetSkinData(skin);
    form->Show();
    ui::Pump(20);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // starts a morph timer
    EXPECT_TRUE(button->MorphTimerRunning());
    ui::Click(check);
    ui::SaveScreenshot(form->Handle(), "skinned-leaks");
    form->Release();  // with the morph still running
    ui::Pump();
    leaks.ExpectNone("a skinned form shown, hovered, clicked and closed");
}
