// Actions: a push button, a speed button, a check box and a menu item
// linked to one action show its caption, state and image, follow its
// changes, and run it when clicked; many updates leave nothing behind.
#include <gtest/gtest.h>

#include "skin/controls/vlSkinCtrls.h"
#include "tests/win/skin_controls/SkinTestImages.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/ActnList.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Menus.h"

namespace {

class SkinActions : public SkinnedFormTest {
protected:
    SkinActions() : SkinnedFormTest("Actions", 400, 300) {}
    void SetUp() override {
        SkinnedFormTest::SetUp();
        Images = new TImageList(Form, 16, 16);
        AddSquareImage(Images, RGB(200, 0, 0), RGB(255, 0, 255));
        AddSquareImage(Images, RGB(0, 160, 0), RGB(255, 0, 255));
        List = new TActionList(Form);
        List->SetImages(Images);
        Save = new TAction(Form, List);
        Save->SetCaption("Save");
        Save->SetImageIndex(0);
        Save->OnExecute = [this](TObject*) { ++Runs; };
    }
    // One client of each kind, skinned, not yet linked.
    struct TClients {
        TvlSkinButton* Button;
        TvlSkinSpeedButton* Speed;
        TvlSkinCheckRadioBox* Check;
        TMenuItem* Item;
    };
    TClients MakeClients() {
        auto* button = new TvlSkinButton(Form, Form, "", 10, 10, 90, 26);
        auto* speed = new TvlSkinSpeedButton(Form, Form);
        speed->SetBounds(110, 10, 60, 26);
        auto* check = new TvlSkinCheckRadioBox(Form, Form, "", 10, 50, 150, 24);
        button->SetSkinData(Skin);
        speed->SetSkinData(Skin);
        check->SetSkinData(Skin);
        return {button, speed, check, new TMenuItem(Form, "")};
    }
    TImageList* Images = nullptr;
    TActionList* List = nullptr;
    TAction* Save = nullptr;
    int Runs = 0;
};

}  // namespace

TEST_F(SkinActions, ClientsShowTheActionAndClickingRunsIt) {
    auto [button, speed, check, item] = MakeClients();
    button->SetAction(Save);
    speed->SetAction(Save);
    check->SetAction(Save);
    item->SetAction(Save);
    Form->Show();

    // Linking copies the action's caption and image.
    EXPECT_EQ(button->Caption(), "Save");
    EXPECT_EQ(speed->Caption(), "Save");
    EXPECT_EQ(check->Caption(), "Save");
    EXPECT_EQ(item->Caption, "Save");
    EXPECT_EQ(item->ImageIndex, 0);
    ASSERT_FALSE(button->Glyph.Empty());
    EXPECT_EQ(button->Glyph.Width(), 16);
    EXPECT_EQ(button->Glyph.Pixel(8, 8), RGB(200, 0, 0));
    EXPECT_EQ(button->Glyph.Pixel(0, 15), RGB(255, 0, 255)) << "the see-through ground";
    EXPECT_EQ(speed->Glyph.Pixel(8, 8), RGB(200, 0, 0));

    // Every change reaches every client.
    Save->SetCaption("&Save all");
    Save->SetShortCut(ShortCut('S', ssCtrl));
    EXPECT_EQ(button->Caption(), "&Save all");
    EXPECT_EQ(GetWindowTextLengthA(button->Handle()), 9) << "the window text follows the caption";
    EXPECT_EQ(item->Caption, "&Save all");
    EXPECT_EQ(item->ShortCut, ShortCut('S', ssCtrl));
    Save->SetEnabled(false);
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(speed->Enabled());
    EXPECT_FALSE(check->Enabled());
    EXPECT_FALSE(item->Enabled);
    Save->SetEnabled(true);
    Save->SetChecked(true);
    EXPECT_TRUE(check->Checked());
    EXPECT_TRUE(item->Checked);
    Save->SetVisible(false);
    EXPECT_FALSE(speed->Visible());
    EXPECT_FALSE(item->Visible);
    Save->SetVisible(true);
    // A glyph of the button's own stays; an empty one takes the new image.
    Save->SetImageIndex(1);
    EXPECT_EQ(button->Glyph.Pixel(8, 8), RGB(200, 0, 0));
    EXPECT_EQ(item->ImageIndex, 1);
    auto* late = new TvlSkinButton(Form, Form, "", 10, 100, 90, 26);
    late->SetAction(Save);
    EXPECT_EQ(late->Glyph.Pixel(8, 8), RGB(0, 160, 0));

    // Clicks run the action: mouse on the button and the speed button, the
    // menu item's click, the check box's click after its own toggle.
    ui::Click(button);
    EXPECT_EQ(Runs, 1);
    ui::Click(speed);
    EXPECT_EQ(Runs, 2);
    item->Click();
    EXPECT_EQ(Runs, 3);
    ui::Click(check);
    EXPECT_EQ(Runs, 4);
    EXPECT_FALSE(check->Checked());
    // The update event runs before the action does, and may stop it.
    Save->OnUpdate = [](TObject* a) { static_cast<TAction*>(a)->SetEnabled(false); };
    ui::Click(late);
    EXPECT_EQ(Runs, 4);
    EXPECT_FALSE(late->Enabled()) << "the update's state reached the client";
    Save->OnUpdate = nullptr;
    Save->SetEnabled(true);
    List->UpdateActions();
    // A client's own OnClick comes instead of the action.
    int own = 0;
    button->OnClick = [&](TObject*) { ++own; };
    ui::Click(button);
    EXPECT_EQ(own, 1);
    EXPECT_EQ(Runs, 4);

    // A destroyed action leaves the clients as they were, unlinked.
    delete Save;
    Save = nullptr;
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(item->Action(), nullptr);
    EXPECT_EQ(item->Caption, "&Save all");
    item->Click();
    ui::Click(speed);
    EXPECT_EQ(Runs, 4);
    // So does a destroyed image list: the actions have no image then.
    auto* other = new TAction(Form, List);
    other->SetImageIndex(0);
    EXPECT_TRUE(other->HasImage());
    delete Images;
    Images = nullptr;
    EXPECT_FALSE(other->HasImage());
}

TEST_F(SkinActions, FiveHundredUpdatesLeaveNoGdiObjectOrTimer) {
    auto [button, speed, check, item] = MakeClients();
    button->SetAction(Save);
    speed->SetAction(Save);
    Form->Show();
    ui::Pump(300);  // the focus's fade is over
    // The glyphs copied from the action are the buttons' own from here on.
    TLeakCheck leaks;
    for (int i = 0; i < 500; ++i) {
        // Linked anew now and then, so that the glyph is copied again.
        if (i % 50 == 0) {
            button->Glyph = TvlFBitmap();
            button->SetAction(nullptr);
            button->SetAction(Save);
            speed->SetAction(Save);
            check->SetAction(Save);
            item->SetAction(Save);
        }
        Save->SetCaption("Save " + std::to_string(i));
        Save->SetEnabled(i % 3 != 0);
        Save->SetChecked(i % 2 == 0);
        Save->SetImageIndex(i % 2);
        List->UpdateActions();
        if (i % 25 == 0) RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    EXPECT_EQ(item->Caption, "Save 499");
    EXPECT_EQ(button->Caption(), "Save 499");
    ui::Pump(300);
    leaks.ExpectNone("500 action updates over linked buttons, a check box and a menu item");
}

TEST_F(SkinActions, ActionsUpdateWhenTheQueueRunsEmpty) {
    auto* button = new TvlSkinButton(Form, Form, "", 10, 10, 90, 26);
    button->SetSkinData(Skin);
    button->SetAction(Save);
    Form->Show();
    ui::Pump();
    bool canSave = false;
    int updates = 0;
    Save->OnUpdate = [&](TObject*) {
        ++updates;
        Save->SetEnabled(canSave);
    };
    // A message waiting is handled without an update first.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    Application->HandleMessage();
    EXPECT_EQ(updates, 0);
    // The idle work updates the action, and the linked button follows.
    Application->Idle();
    EXPECT_EQ(updates, 1);
    EXPECT_FALSE(button->Enabled());
    // The main loop runs it itself once nothing is waiting.
    canSave = true;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, nullptr);
    for (int i = 0; i < 100 && updates == 1; ++i) Application->HandleMessage();
    KillTimer(nullptr, timer);
    ui::Pump();
    EXPECT_GE(updates, 2);
    EXPECT_TRUE(button->Enabled());
    // A list that is gone does no more idle work.
    delete List;
    List = nullptr;
    Save = nullptr;
    const int before = updates;
    Application->Idle();
    EXPECT_EQ(updates, before);
}
