// Menu items linked to actions in the skinned menus: every opening lets the
// actions bring themselves up to date first (an item an action hides is not
// shown), and the item under the mouse shows its action's hint through the
// frame's skin hint, as the caption buttons do.
#include "skin/form/vlSkinHint.h"
#include "tests/win/skin_form/MenuFixture.h"
#include "toolkit/ActnList.h"

TEST_F(MenuTest, ItemsUpdateTheirActionsOnOpeningAndShowTheirHints) {
    TFakeTimerDriver timers;
    TServiceOverride<TTimerDriver> useTimers(timers);
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    Application->MainForm = form;  // the hint in charge is the main form's
    TvlSkinPopupMenu* menu = TreeMenu(form);
    auto* list = new TActionList(form);
    auto* newProject = new TAction(form, list);
    newProject->SetCaption("New Project");
    newProject->SetHint("Adds a project to the category");
    int updates = 0;
    bool hideDelete = false;
    newProject->OnUpdate = [&](TObject*) {
        ++updates;
        newProject->SetCaption("New Project " + std::to_string(updates));
    };
    auto* remove = new TAction(form, list);
    remove->SetCaption("Delete");
    remove->OnUpdate = [&](TObject*) { remove->SetVisible(!hideDelete); };
    TMenuItem* newItem = menu->Items()[2];
    newItem->OnClick = nullptr;
    newItem->SetAction(newProject);
    menu->Items()[4]->SetAction(remove);
    EXPECT_EQ(newItem->Hint, "Adds a project to the category") << "the link copies the hint";
    newProject->SetHint("Adds a project");
    EXPECT_EQ(newItem->Hint, "Adds a project") << "and follows it";

    // Opening updates the actions of the shown items before they are built.
    hideDelete = true;
    TvlSkinMenu* engine = PopUp(frame, menu);
    ASSERT_EQ(engine->WindowCount(), 1);
    TvlSkinPopupWindow* w = engine->Window(0);
    EXPECT_EQ(Captions(w), (std::vector<std::string>{"New Category", "-", "New Project 1", "Edit"}));
    EXPECT_EQ(updates, 1);

    // Off by default: the frame shows no hints.
    auto* hint = new TvlSkinHint(form);
    hint->SetSkinData(Skin);
    frame->SetSkinHint(hint);
    HWND hintWindow = hint->HintWindow()->Handle();
    MoveToItem(w, 2);
    EXPECT_EQ(timers.Interval(hintWindow, 1), 0u);
    MoveToItem(w, 0);

    frame->ShowObjectHint = true;
    MoveToItem(w, 2);
    ASSERT_NE(timers.Interval(hintWindow, 1), 0u) << "the hint waits for its pause";
    timers.Fire(hintWindow, 1);
    EXPECT_TRUE(hint->HintWindow()->Showing());
    EXPECT_EQ(hint->HintWindow()->Text(), "Adds a project");
    // An item without a hint takes it away; back on the item it comes again.
    MoveToItem(w, 3);
    EXPECT_FALSE(hint->HintWindow()->Showing());
    EXPECT_EQ(timers.Interval(hintWindow, 1), 0u);
    MoveToItem(w, 2);
    timers.Fire(hintWindow, 1);
    ASSERT_TRUE(hint->HintWindow()->Showing());
    // Closing the menu takes it away too, and leaves no timer.
    engine->CloseAll();
    EXPECT_FALSE(hint->HintWindow()->Showing());
    EXPECT_EQ(timers.Interval(hintWindow, 1), 0u);

    // The next opening updates again: the item the action shows again is back.
    hideDelete = false;
    menu->Popup(300, 200);
    EXPECT_EQ(Captions(Engine(frame)->Window(0)),
              (std::vector<std::string>{"New Category", "-", "New Project 2", "Edit", "Delete"}));
    Engine(frame)->CloseAll();
}
