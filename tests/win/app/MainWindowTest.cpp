// The main window driven through real messages: tree, task list, header,
// gauge and the files written.
#include "tests/win/app/PlannerFixture.h"

#include "skin/form/vlSkinMenus.h"

namespace {
std::string EightTasksTwoDone() {
    std::string s = "Header^Eight^Work^^^\r\n";
    for (int i = 0; i < 8; ++i)
        s += std::string("^") + (i < 2 ? "True" : "False") + "^,^Task " + std::to_string(i) + "^,^^,^^,^^\r\n";
    return s + "EndProject\r\n";
}
}  // namespace

TEST_F(PlannerTest, OpensEmptyWithoutDataFiles) {
    TfrmMain* w = Start();
    EXPECT_TRUE(w->tvwMain->Nodes().empty());
    EXPECT_EQ(w->lvwItems->ItemCount(), 0);
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  ");
    EXPECT_EQ(w->lblStartDate->Caption(), "Start Date: ");
    EXPECT_EQ(w->lblEndDate->Caption(), "End Date: ");
    EXPECT_EQ(w->MainGauge->Value(), 0);
    EXPECT_EQ(w->MainGauge->Text(), "0/0 tasks  0%");
    EXPECT_EQ(w->pgcMain->ActivePageIndex(), 0);
    EXPECT_TRUE(w->tabTasks->Visible());
    EXPECT_FALSE(w->tabCalendar->Visible());
    ASSERT_EQ(w->lvwToDo->ItemCount(), 24);
    EXPECT_EQ(w->lvwToDo->ItemText(0, 0), "1:00 AM");
    EXPECT_EQ(w->lvwToDo->ItemText(11, 0), "12:00 M");
    EXPECT_EQ(w->lvwToDo->ItemText(12, 0), "1:00 PM");
    EXPECT_EQ(w->lvwToDo->ItemText(23, 0), "12:00 PM");
    EXPECT_EQ(w->CurrentProject(), nullptr);
    // Tabs 20 high, the skin's taller tab picture stretched to them; the
    // second link at left 723 with its text to the right.
    RECT tab{};
    ASSERT_TRUE(SendMessageA(w->pgcMain->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab)));
    ASSERT_NE(w->pgcMain->Element(), nullptr);
    EXPECT_EQ(w->pgcMain->Element()->TabRect.Height(), 26);
    EXPECT_EQ(tab.bottom - tab.top, 20);
    EXPECT_EQ(w->lblLink2URL->Left(), 723);
    EXPECT_EQ(w->lblLink2URL->Alignment, taRightJustify);
    // Both links show whole inside their panel's frame.
    for (TControl* link : {static_cast<TControl*>(w->lblLink1URL), static_cast<TControl*>(w->lblLink2URL)}) {
        EXPECT_GT(link->Width(), 20);
        EXPECT_LE(link->Left() + link->Width(), w->panLinks->Width() - 2);
    }
    ui::SaveScreenshot(w->Handle(), "main-empty");
}

TEST_F(PlannerTest, TreeFollowsCategoriesAndSelectionShowsTheProject) {
    Write("categories.dat", "Work\r\nHome\r\n");
    Write("projects.dat", std::string(kSamplePlan) + "Header^Stray^home^^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    std::vector<TTreeNode*> roots = w->tvwMain->Roots();
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0]->Text, "Work");
    ASSERT_EQ(roots[0]->Children.size(), 1u);
    EXPECT_EQ(roots[0]->Children[0]->Text, "Product launch");
    EXPECT_EQ(roots[0]->Children[0]->ImageIndex, 1);
    // "home" is not "Home": that project has no node.
    ASSERT_EQ(roots[1]->Children.size(), 1u);
    EXPECT_EQ(roots[1]->Children[0]->Text, "Garden");
    EXPECT_TRUE(w->tvwMain->IsExpanded(roots[0]));
    EXPECT_EQ(w->tvwMain->Selected(), nullptr);

    SelectNode("Product launch");
    ASSERT_EQ(w->lvwItems->ItemCount(), 2);
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  Product launch");
    EXPECT_EQ(w->lblStartDate->Caption(), "Start Date:  12/01/2007");
    EXPECT_EQ(w->lblEndDate->Caption(), "End Date:  12/31/2007");
    EXPECT_TRUE(w->lvwItems->Checked(0));
    EXPECT_FALSE(w->lvwItems->Checked(1));
    EXPECT_EQ(w->lvwItems->ItemText(0, 0), "");
    EXPECT_EQ(w->lvwItems->ItemText(0, 1), "Purchase Domain Name");
    EXPECT_EQ(w->lvwItems->ItemText(0, 2), "bought for two years");
    EXPECT_EQ(w->lvwItems->ItemText(0, 3), "12/03/2007");
    EXPECT_EQ(w->lvwItems->ItemText(1, 3), "");  // the blank mask shows as no date
    EXPECT_EQ(w->MainGauge->Text(), "1/2 tasks  50%");
    ui::SaveScreenshot(w->Handle(), "main-tasks");

    SelectNode("Work");
    EXPECT_EQ(w->lvwItems->ItemCount(), 0);
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  ");
}

TEST_F(PlannerTest, CheckBoxUpdatesDoneFlagAndGaugeRoundingHalfToEven) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", EightTasksTwoDone());
    TfrmMain* w = Start();
    SelectNode("Eight");
    EXPECT_EQ(w->MainGauge->Value(), 25);
    ClickCheckBox(w->lvwItems, 2);
    EXPECT_TRUE(w->CurrentProject()->Task(2)->Done);
    EXPECT_EQ(w->MainGauge->Value(), 38);
    EXPECT_EQ(w->MainGauge->Text(), "3/8 tasks  38%");
    ClickCheckBox(w->lvwItems, 2);
    ClickCheckBox(w->lvwItems, 1);
    EXPECT_EQ(w->MainGauge->Value(), 12);
    EXPECT_EQ(w->MainGauge->ProgressText(), "1/8 tasks  ");
    // Nothing reaches the files before Save Changes.
    EXPECT_EQ(Read("projects.dat"), EightTasksTwoDone());
}

TEST_F(PlannerTest, SaveChangesRewritesUnchangedDataByteForByte) {
    Write("categories.dat", "Work\r\nHome\r\n");
    Write("projects.dat", kSamplePlan);
    Write("Hours.dat", "12/13/2007^9:00 AM^Call the printer^\r\n");
    TfrmMain* w = Start();
    SelectNode("Garden");
    ui::Click(w->btnSave);
    EXPECT_EQ(Read("categories.dat"), "Work\r\nHome\r\n");
    EXPECT_EQ(Read("Projects.dat"), kSamplePlan);
    EXPECT_EQ(Read("Hours.dat"), "12/13/2007^9:00 AM^Call the printer^\r\n");
    // Nothing of the save's own is left beside the data files.
    EXPECT_EQ(Files(), (std::vector<std::string>{"Hours.dat", "categories.dat", "projects.dat"}));
}

TEST_F(PlannerTest, NewProjectIsShownAtOnceAndTakesTasks) {
    Write("categories.dat", "Work\r\n");
    TfrmMain* w = Start();
    int seen = 0;
    ui::OnNextModal(
        ui::ExpectMessage("You have to create a new project or open an existing before add tasks!", "OK", &seen));
    ui::Click(w->btnAdd);
    EXPECT_EQ(seen, 1);

    ui::OnNextModal([](TForm* dialog) {
        auto* d = dynamic_cast<TEditDialog*>(dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Caption(), "Create new project");
        ui::Type(d->edtName, "Launch");
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btn1);
    ASSERT_NE(w->CurrentProject(), nullptr);
    EXPECT_EQ(w->CurrentProject()->Name, "Launch");
    EXPECT_EQ(w->CurrentProject()->Category, "Work");
    EXPECT_EQ(w->CurrentProject()->StartDate, "");  // the blank mask, cleared when shown
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  Launch");
    ASSERT_NE(w->tvwMain->Selected(), nullptr);
    EXPECT_EQ(w->tvwMain->Selected()->Text, "Launch");

    ui::OnNextModal([](TForm* dialog) {
        auto* d = dynamic_cast<TEditDialog*>(dialog);
        EXPECT_EQ(d->Caption(), "Add task");
        ui::Type(d->edtName, "Write copy");
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btnAdd);
    ASSERT_EQ(w->lvwItems->ItemCount(), 1);
    EXPECT_EQ(w->lvwItems->ItemText(0, 1), "Write copy");
    EXPECT_EQ(w->MainGauge->Text(), "0/1 tasks  0%");
    ui::Click(w->btnSave);
    EXPECT_EQ(Read("Projects.dat"),
              "Header^Launch^Work^^^\r\n^False^,^Write copy^,^^,^  /  /    ^,^  /  /    ^\r\nEndProject\r\n");
}

TEST_F(PlannerTest, DeleteKeyRemovesTheProjectBehindTheSelectedNode) {
    Write("categories.dat", "Home\r\n");
    Write("projects.dat",
          "Header^Twin^Home^^^\r\n^False^,^first^,^^,^^,^^\r\nEndProject\r\n"
          "Header^Twin^Home^^^\r\n^False^,^second^,^^,^^,^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    TTreeNode* secondNode = w->tvwMain->Roots()[0]->Children[1];
    SelectNode(secondNode);
    EXPECT_EQ(w->lvwItems->ItemText(0, 1), "second");

    ui::OnNextModal(ui::ExpectMessage("Are you sure to delete current project?", "Cancel"));
    ui::Key(w->tvwMain, VK_DELETE);
    EXPECT_EQ(w->Projects()->Count(), 2);

    ui::OnNextModal(ui::ExpectMessage("Are you sure to delete current project?", "OK"));
    SelectNode(w->tvwMain->Roots()[0]->Children[1]);
    ui::Key(w->tvwMain, VK_DELETE);
    ASSERT_EQ(w->Projects()->Count(), 1);
    EXPECT_EQ(w->Projects()->Project(0)->Task(0)->Description, "first");
    EXPECT_EQ(w->CurrentProject(), nullptr);  // never left pointing at the freed project
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  ");

    // With nothing selected, Delete does nothing and asks nothing.
    ui::Key(w->tvwMain, VK_DELETE);
    EXPECT_EQ(w->Projects()->Count(), 1);
}

TEST_F(PlannerTest, RemovingATaskConfirmsAndKeepsTheGaugeCurrent) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", EightTasksTwoDone());
    TfrmMain* w = Start();
    SelectNode("Eight");
    ui::OnNextModal(ui::ExpectMessage("Please select a task to remove!"));
    ui::Click(w->btnRemove);
    ClickRow(w->lvwItems, 0);
    ui::OnNextModal(ui::ExpectMessage("Are you sure do you want remove this taks?", "Cancel"));
    ui::Key(w->lvwItems, VK_DELETE);
    EXPECT_EQ(w->lvwItems->ItemCount(), 8);
    ui::OnNextModal(ui::ExpectMessage("Are you sure do you want remove this taks?", "OK"));
    ui::Click(w->btnRemove);
    EXPECT_EQ(w->lvwItems->ItemCount(), 7);
    EXPECT_EQ(w->CurrentProject()->Tasks.Count(), 7);
    EXPECT_EQ(w->MainGauge->Text(), "1/7 tasks  14%");
}

TEST_F(PlannerTest, CategoriesAddRenameAndRefuseDeletionWithProjects) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    auto addCategory = [](const std::string& name) {
        ui::OnNextModal([name](TForm* dialog) {
            auto* d = dynamic_cast<TEditDialog*>(dialog);
            EXPECT_EQ(d->Caption(), "Add new category");
            ui::Type(d->edtName, name);
            ui::SaveScreenshot(d->Handle(), "dialog-category");
            ui::Click(d->vlSkinButton1);
        });
        frmMain->NewCategory1->Click();
    };
    addCategory("work");  // differs only in letter case: nothing happens
    EXPECT_EQ(w->Projects()->Categories.Count(), 1);
    addCategory("Home");
    EXPECT_EQ(w->tvwMain->Roots().size(), 2u);

    SelectNode("Work");
    ui::OnNextModal(ui::ExpectMessage("Are you sure to delete current category?", "OK"));
    ui::OnNextModal(ui::ExpectMessage(
        "You can't delete a category with asociated projects! Please remove first the projects and try again."));
    w->Delete1->Click();
    EXPECT_EQ(w->Projects()->Categories.Count(), 2);

    SelectNode("Work");
    ui::OnNextModal([](TForm* dialog) {
        auto* d = dynamic_cast<TEditDialog*>(dialog);
        EXPECT_EQ(d->Caption(), "Edit category");
        EXPECT_EQ(d->edtName->Text(), "Work");
        d->edtName->SetText("Job");
        ui::Click(d->vlSkinButton1);
    });
    w->Rename1->Click();
    EXPECT_EQ(w->Projects()->Categories.Strings(0), "Job");
    EXPECT_EQ(w->Projects()->Project(0)->Category, "Job");
    EXPECT_EQ(w->tvwMain->Roots()[0]->Children.size(), 1u);

    SelectNode("Home");
    ui::OnNextModal(ui::ExpectMessage("Are you sure to delete current category?", "OK"));
    w->Delete1->Click();
    EXPECT_EQ(w->Projects()->Categories.Count(), 1);
}

TEST_F(PlannerTest, RightClickSelectsTheNodeAndOpensTheTreeMenu) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    TTreeNode* node = w->tvwMain->Roots()[0]->Children[0];
    RECT r = w->tvwMain->NodeRect(node);
    ui::RightClickAt(w->tvwMain->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(w->tvwMain->Selected(), node);
    TvlSkinMenu* engine = w->vlLacquer1->Menus()->SkinMenu();
    ASSERT_TRUE(engine->Visible);
    ASSERT_EQ(engine->WindowCount(), 1);
    TvlSkinPopupWindow* menu = engine->Window(0);
    EXPECT_EQ(menu->SourceItem, w->vlSkinPopupMenu1->RootItem());
    ASSERT_EQ(menu->ItemCount(), 5);
    EXPECT_EQ(menu->Item(0)->MenuItem->Caption, "New Category");
    EXPECT_TRUE(menu->Item(1)->IsSeparator());
    EXPECT_EQ(menu->Item(2)->MenuItem->Caption, "New Project");
    EXPECT_EQ(menu->Item(3)->MenuItem->Caption, "Edit");
    EXPECT_EQ(menu->Item(4)->MenuItem->Caption, "Delete");
    // The window opens at the cursor, without taking the activation.
    POINT cursor;
    GetCursorPos(&cursor);
    RECT mr;
    GetWindowRect(menu->Handle(), &mr);
    EXPECT_EQ(mr.left, cursor.x);
    EXPECT_EQ(mr.top, cursor.y);
    EXPECT_EQ(GetActiveWindow(), w->Handle());
    ui::Key(w->tvwMain, VK_ESCAPE);
    EXPECT_FALSE(engine->Visible);
    EXPECT_FALSE(w->vlLacquer1->Menus()->InMenu());
}

// Anchored controls keep their gaps to the sheet's and the form's edges when
// the window grows and shrinks back, on the shown sheet and the hidden one.
TEST_F(PlannerTest, AnchoredControlsFollowTheWindowsSize) {
    TfrmMain* w = Start();
    struct TAnchored {
        TControl* Control;
        int Moves;  // 0: stays, 1: left and top follow the growth, 2: width and height do
        bool Across, Down;
    };
    const std::vector<TAnchored> anchored = {
        {w->btnAdd, 1, false, true},       {w->btnRemove, 1, false, true}, {w->btnEditHour, 1, false, true},
        {w->vlSkinButton3, 1, false, true}, {w->lblLink2URL, 1, true, false}, {w->vlSkinPanel4, 2, true, true},
        {w->lvwItems, 2, true, true},
    };
    std::vector<RECT> before;
    for (const TAnchored& a : anchored) before.push_back(a.Control->BoundsRect());
    RECT frame{};
    GetWindowRect(w->Handle(), &frame);
    const int dw = 120, dh = 90;
    auto resize = [&](int grow) {
        MoveWindow(w->Handle(), frame.left, frame.top, frame.right - frame.left + grow * dw,
                   frame.bottom - frame.top + grow * dh, TRUE);
        ui::Pump(30);
    };
    resize(1);
    for (size_t i = 0; i < anchored.size(); ++i) {
        const TAnchored& a = anchored[i];
        const RECT now = a.Control->BoundsRect(), was = before[i];
        const int x = a.Across ? dw : 0, y = a.Down ? dh : 0;
        SCOPED_TRACE(a.Control->Name);
        if (a.Moves == 1) {
            EXPECT_EQ(now.left - was.left, x);
            EXPECT_EQ(now.top - was.top, y);
            EXPECT_EQ(now.right - now.left, was.right - was.left);
        } else {
            EXPECT_EQ(now.left, was.left);
            EXPECT_EQ((now.right - now.left) - (was.right - was.left), x);
            EXPECT_EQ((now.bottom - now.top) - (was.bottom - was.top), y);
        }
    }
    resize(0);
    for (size_t i = 0; i < anchored.size(); ++i) {
        const RECT now = anchored[i].Control->BoundsRect();
        EXPECT_TRUE(EqualRect(&now, &before[i])) << anchored[i].Control->Name;
    }
}

// A label tied to the right that fits a longer text keeps its place and then
// follows the window like any right-anchored control: the project's dates
// move right with a wider window and back with it.
TEST_F(PlannerTest, RightAnchoredLabelsFollowTheWindowAfterFittingTheirText) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Launch^Work^12/01/2007^12/31/2007^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    const int startLeft = w->lblStartDate->Left(), endLeft = w->lblEndDate->Left();
    const int startWidth = w->lblStartDate->Width();
    SelectNode("Launch");
    ui::Pump(20);
    ASSERT_EQ(w->lblStartDate->Caption(), "Start Date:  12/01/2007");
    EXPECT_GT(w->lblStartDate->Width(), startWidth);
    EXPECT_EQ(w->lblStartDate->Left(), startLeft);
    EXPECT_EQ(w->lblEndDate->Left(), endLeft);
    RECT frame{};
    GetWindowRect(w->Handle(), &frame);
    const int dw = 40;
    MoveWindow(w->Handle(), frame.left, frame.top, frame.right - frame.left + dw, frame.bottom - frame.top, TRUE);
    ui::Pump(30);
    EXPECT_EQ(w->lblStartDate->Left(), startLeft + dw);
    EXPECT_EQ(w->lblEndDate->Left(), endLeft + dw);
    MoveWindow(w->Handle(), frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
    ui::Pump(30);
    EXPECT_EQ(w->lblStartDate->Left(), startLeft);
    EXPECT_EQ(w->lblEndDate->Left(), endLeft);
}
