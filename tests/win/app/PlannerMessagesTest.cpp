// Every message of the main window and the dialogs (Parts 2.1-2.3) goes
// through the skinned message box: its frame wears the planner's skin, the
// text is the box's "Static" child, the buttons are skinned and named, and
// each answer has its effect. The tree's menu is driven by the keyboard.
#include "tests/win/app/PlannerFixture.h"

#include "app/FCategory.h"
#include "app/FHour.h"
#include "app/FNewProject.h"
#include "app/FTask.h"
#include "skin/form/vlSkinMenus.h"
#include "skin/form/Lacquer.h"

namespace {

// Checks that the box is the skinned one with this text and these buttons,
// then presses `answer`.
std::function<void(TForm*)> Skinned(const std::string& text, std::vector<std::string> buttons, const char* answer,
                                    int* seen) {
    return [=](TForm* form) {
        ++*seen;
        auto* box = dynamic_cast<TvlMessageForm*>(form);
        ASSERT_NE(box, nullptr) << text;
        EXPECT_EQ(box->vlLacquer1->SkinData(), frmMain->vlSkinData1);
        EXPECT_TRUE(box->vlLacquer1->SkinActive());
        EXPECT_EQ(box->Caption(), "Information");
        EXPECT_EQ(box->Image->IconId, 32516);
        HWND label = FindWindowExA(box->Handle(), nullptr, "Static", nullptr);
        ASSERT_NE(label, nullptr);
        char shown[512] = {};
        GetWindowTextA(label, shown, sizeof shown);
        EXPECT_EQ(std::string(shown), text);
        std::vector<std::string> names;
        for (TvlSkinButton* b : box->Buttons) {
            names.push_back(b->Name);
            EXPECT_GE(b->ElementIndex(), 0) << b->Name;
        }
        EXPECT_EQ(names, buttons) << text;
        ui::Answer(box, answer);
    };
}

}  // namespace

TEST_F(PlannerTest, EveryMessageOfTheMainWindowIsTheSkinnedBox) {
    Write("categories.dat", "Work\r\nHome\r\n");
    Write("projects.dat",
          "Header^Plan^Work^^^\r\n^False^,^First task^,^^,^  /  /    ^,^  /  /    ^\r\nEndProject\r\n"
          "Header^Empty^Work^^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    int seen = 0;
    const std::vector<std::string> ok{"OK"}, okCancel{"OK", "Cancel"};

    ui::OnNextModal(Skinned("You have to create a new project or open an existing before add tasks!", ok, "OK", &seen));
    ui::Click(w->btnAdd);

    SelectNode("Empty");
    ui::OnNextModal(Skinned("There is not tasks to edit!", ok, "OK", &seen));
    ui::Click(w->btnEdit);
    ui::OnNextModal(Skinned("There is not tasks to remove!", ok, "OK", &seen));
    ui::Click(w->btnRemove);

    SelectNode("Plan");
    ui::OnNextModal(Skinned("Please select a task to edit!", ok, "OK", &seen));
    ui::Click(w->btnEdit);
    ui::OnNextModal(Skinned("Please select a task to remove!", ok, "OK", &seen));
    ui::Click(w->btnRemove);
    ClickRow(w->lvwItems, 0);
    ui::OnNextModal(Skinned("Are you sure do you want remove this taks?", okCancel, "Cancel", &seen));
    ui::Click(w->btnRemove);
    EXPECT_EQ(w->CurrentProject()->Tasks.Count(), 1);
    ui::OnNextModal(Skinned("Are you sure do you want remove this taks?", okCancel, "OK", &seen));
    ui::Click(w->btnRemove);
    EXPECT_EQ(w->CurrentProject()->Tasks.Count(), 0);

    // The tree's menu by the keyboard: Shift+F10 opens it at the node, End
    // goes to "Delete", Enter chooses it.
    auto deleteByKeyboard = [&] {
        PostMessageA(w->tvwMain->Handle(), WM_KEYDOWN, VK_APPS, 1);
        ui::Pump();
        TvlSkinMenu* engine = w->vlLacquer1->Menus()->SkinMenu();
        ASSERT_TRUE(engine->Visible);
        TTreeNode* node = w->tvwMain->Selected();
        RECT r = w->tvwMain->NodeRect(node);
        POINT at{r.left, r.bottom};
        ClientToScreen(w->tvwMain->Handle(), &at);
        RECT mr;
        GetWindowRect(engine->Window(0)->Handle(), &mr);
        EXPECT_EQ(mr.left, at.x);
        EXPECT_EQ(mr.top, at.y);
        ui::Key(w->tvwMain, VK_END);
        EXPECT_EQ(engine->Window(0)->HotItem, 4);
        ui::Key(w->tvwMain, VK_RETURN);
    };
    SelectNode("Empty");
    ui::OnNextModal(Skinned("Are you sure to delete current project?", okCancel, "Cancel", &seen));
    deleteByKeyboard();
    EXPECT_EQ(w->Projects()->Count(), 2);
    SelectNode("Empty");
    ui::OnNextModal(Skinned("Are you sure to delete current project?", okCancel, "OK", &seen));
    deleteByKeyboard();
    EXPECT_EQ(w->Projects()->Count(), 1);

    SelectNode("Work");
    ui::OnNextModal(Skinned("Are you sure to delete current category?", okCancel, "OK", &seen));
    ui::OnNextModal(Skinned(
        "You can't delete a category with asociated projects! Please remove first the projects and try again.",
        okCancel, "OK", &seen));
    deleteByKeyboard();
    EXPECT_EQ(w->Projects()->Categories.Count(), 2);
    SelectNode("Home");
    ui::OnNextModal(Skinned("Are you sure to delete current category?", okCancel, "OK", &seen));
    // Shift+F10 this time.
    {
        ui::TKeysHeld shift({VK_SHIFT});
        PostMessageA(w->tvwMain->Handle(), WM_SYSKEYDOWN, VK_F10, 1);
        ui::Pump();
    }
    ASSERT_TRUE(w->vlLacquer1->Menus()->SkinMenu()->Visible);
    ui::Key(w->tvwMain, 'D');  // the accelerator-less "Delete" is not chosen by its letter
    EXPECT_TRUE(w->vlLacquer1->Menus()->SkinMenu()->Visible);
    ui::Key(w->tvwMain, VK_UP);
    ui::Key(w->tvwMain, VK_RETURN);
    EXPECT_EQ(w->Projects()->Categories.Count(), 1);

    ui::OnNextModal(Skinned("Please select a hour to edit!", ok, "OK", &seen));
    ui::Click(w->btnEditHour);
    ui::OnNextModal(Skinned("Please select an action to delete!", ok, "OK", &seen));
    ui::Click(w->vlSkinButton3);
    EXPECT_EQ(seen, 14);
}

TEST_F(PlannerTest, EveryMessageOfTheDialogsIsTheSkinnedBox) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    int seen = 0;
    const std::vector<std::string> ok{"OK"};
    auto blank = [&](const std::string& message) {
        return [&, message](TForm* dialog) {
            auto* d = dynamic_cast<TEditDialog*>(dialog);
            ASSERT_NE(d, nullptr);
            ui::OnNextModal(Skinned(message, ok, "OK", &seen));
            ui::Click(d->vlSkinButton1);
            EXPECT_TRUE(IsWindowVisible(d->Handle()));  // the dialog stays open
            ui::Click(d->vlSkinButton2);
        };
    };
    ui::OnNextModal(blank("A valid project name is required!"));
    ui::Click(w->btn1);
    ui::OnNextModal(blank("A valid category name is required!"));
    w->NewCategory1->Click();
    SelectNode("Plan");
    ui::OnNextModal(blank("A valid task description is required!"));
    ui::Click(w->btnAdd);
    ClickRow(w->lvwToDo, 0);
    ui::OnNextModal(blank("A valid action is required!"));
    ui::Click(w->btnEditHour);
    EXPECT_EQ(seen, 4);
}
