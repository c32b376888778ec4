// Projects with many tasks and trees with many nodes: the lists fill with
// redrawing off, and every notification rule of the window still holds.
#include "tests/win/app/PlannerFixture.h"

namespace {
std::string ManyTasks(const std::string& name, int count) {
    std::string s = "Header^" + name + "^Work^^^\r\n";
    for (int i = 0; i < count; ++i)
        s += std::string("^") + (i % 3 == 0 ? "True" : "False") + "^,^Task " + std::to_string(i) + "^,^Note " +
             std::to_string(i) + "^,^" + (i % 5 ? "12/13/2007" : "  /  /    ") + "^,^12/31/2007^\r\n";
    return s + "EndProject\r\n";
}
}  // namespace

TEST_F(PlannerTest, LargeProjectShowsEveryRowAndKeepsCheckBoxHandling) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", ManyTasks("Big", 600) + ManyTasks("Small", 3));
    TfrmMain* w = Start();
    SelectNode("Big");
    ASSERT_EQ(w->lvwItems->ItemCount(), 600);
    for (int i = 0; i < 600; ++i) ASSERT_EQ(w->lvwItems->Checked(i), i % 3 == 0) << "row " << i;
    EXPECT_EQ(w->lvwItems->ItemText(599, 1), "Task 599");
    EXPECT_EQ(w->lvwItems->ItemText(599, 2), "Note 599");
    EXPECT_EQ(w->lvwItems->ItemText(595, 3), "");  // the blank mask
    EXPECT_EQ(w->lvwItems->ItemText(596, 3), "12/13/2007");
    EXPECT_EQ(w->MainGauge->Text(), "200/600 tasks  33%");
    // Filling raised notifications that changed nothing.
    for (int i = 0; i < 600; ++i) ASSERT_EQ(w->CurrentProject()->Task(i)->Done, i % 3 == 0);

    // The rebuild is over: a click on a box far down reaches the task.
    ClickCheckBox(w->lvwItems, 550);
    EXPECT_TRUE(w->CurrentProject()->Task(550)->Done);
    EXPECT_EQ(w->MainGauge->Text(), "201/600 tasks  34%");

    SelectNode("Small");
    EXPECT_EQ(w->lvwItems->ItemCount(), 3);
    SelectNode("Work");
    EXPECT_EQ(w->lvwItems->ItemCount(), 0);
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  ");
    EXPECT_EQ(w->MainGauge->Text(), "0/0 tasks  0%");
    SelectNode("Big");
    ASSERT_EQ(w->lvwItems->ItemCount(), 600);
    EXPECT_TRUE(w->lvwItems->Checked(550));
}

TEST_F(PlannerTest, NewProjectAtTheEndOfALongTreeIsSelectedInView) {
    Write("categories.dat", "Work\r\nHome\r\n");
    std::string plan;
    for (int i = 0; i < 60; ++i) plan += "Header^Project " + std::to_string(i) + "^Work^^^\r\nEndProject\r\n";
    Write("projects.dat", plan);
    TfrmMain* w = Start();
    ASSERT_EQ(w->tvwMain->Nodes().size(), 62u);
    ui::OnNextModal([](TForm* dialog) {
        auto* d = dynamic_cast<TEditDialog*>(dialog);
        ASSERT_NE(d, nullptr);
        ui::Type(d->edtName, "Latest");
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btn1);
    TTreeNode* node = w->tvwMain->Selected();
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Text, "Latest");
    EXPECT_EQ(node->Parent, w->tvwMain->Roots()[0]);
    EXPECT_EQ(node->Parent->Children.back(), node);
    ui::Pump(30);
    RECT client, r = w->tvwMain->NodeRect(node);
    GetClientRect(w->tvwMain->Handle(), &client);
    EXPECT_GT(r.bottom, r.top);
    EXPECT_GE(r.top, client.top);
    EXPECT_LE(r.bottom, client.bottom) << "the selected node is scrolled into view";
    EXPECT_TRUE(w->tvwMain->IsExpanded(w->tvwMain->Roots()[0]));
    EXPECT_EQ(w->lblProjName->Caption(), "Project Name:  Latest");
}

// The window shows the projects before their tasks are read. The tasks are
// read once the window is idle and come in by themselves; until then the
// window answers, and the plan it would save or rescue is the whole plan.
TEST_F(PlannerTest, TasksAreReadWhenTheWindowIsIdleAndComeInByThemselves) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", ManyTasks("Big", 2000) + ManyTasks("Small", 3));
    TfrmMain* w = Start();
    EXPECT_FALSE(w->PlanComplete());
    EXPECT_EQ(w->tvwMain->Nodes().size(), 3u);
    Application->Idle();
    DWORD deadline = GetTickCount() + 10000;
    while (!w->PlanComplete() && GetTickCount() < deadline) ui::Pump(5);
    ASSERT_TRUE(w->PlanComplete());
    SelectNode("Big");
    EXPECT_EQ(w->lvwItems->ItemCount(), 2000);
    EXPECT_EQ(w->lvwItems->ItemText(1999, 1), "Task 1999");

    // Closed before the tasks were asked for: nothing to rescue, nothing lost.
    CloseAndRestart();
    TfrmMain* again = Start();
    EXPECT_FALSE(again->PlanComplete());
    SendMessageA(again->Handle(), WM_CLOSE, 0, 0);
    ui::Pump(5);
    EXPECT_EQ(Read("projects.dat"), ManyTasks("Big", 2000) + ManyTasks("Small", 3));
    EXPECT_FALSE(PendingRescue(Folder).has_value());
}
