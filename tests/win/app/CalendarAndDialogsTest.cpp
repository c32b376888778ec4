// The calendar's hourly actions and the edit dialogs' checks and keys.
#include "tests/win/app/PlannerFixture.h"

#include "app/FHour.h"
#include "app/FNewProject.h"
#include "app/FTask.h"
#include "core/ExceptionHook.h"
#include "tests/win/support/LeakCheck.h"

namespace {
std::function<void(TForm*)> EnterAction(const std::string& text) {
    return [text](TForm* dialog) {
        auto* d = dynamic_cast<TfrmHour*>(dialog);
        ASSERT_NE(d, nullptr);
        d->edtName->SetText(text);
        ui::Click(d->vlSkinButton1);
    };
}
}  // namespace

TEST_F(PlannerTest, HourlyActionsAreCreatedReplacedAndCleared) {
    TfrmMain* w = Start();
    w->pgcMain->SetActivePageIndex(1);
    std::string day = w->CalendarDay();
    ui::OnNextModal(ui::ExpectMessage("Please select a hour to edit!"));
    ui::Click(w->btnEditHour);
    ui::OnNextModal(ui::ExpectMessage("Please select an action to delete!"));
    ui::Click(w->vlSkinButton3);

    ClickRow(w->lvwToDo, 11);  // 12:00 M
    ui::OnNextModal([day](TForm* dialog) {
        auto* d = dynamic_cast<TfrmHour*>(dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->vlSkinStdLabel2->Caption(), "Day: " + day);
        EXPECT_EQ(d->vlSkinStdLabel3->Caption(), "Hour: 12:00 M");
        EXPECT_EQ(d->edtName->Text(), "");
        d->edtName->SetText("Lunch");
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btnEditHour);
    ClickRow(w->lvwToDo, 23);  // 12:00 PM is another row
    ui::OnNextModal(EnterAction("Sleep"));
    ui::Click(w->btnEditHour);
    ASSERT_EQ(w->Hours()->Count(), 2);
    EXPECT_EQ(w->lvwToDo->ItemText(11, 1), "Lunch");
    EXPECT_EQ(w->lvwToDo->ItemText(23, 1), "Sleep");

    ClickRow(w->lvwToDo, 11);
    ui::OnNextModal([](TForm* dialog) {
        auto* d = dynamic_cast<TfrmHour*>(dialog);
        EXPECT_EQ(d->edtName->Text(), "Lunch");  // pre-filled from the row
        d->edtName->SetText("Lunch with suppliers");
        ui::Click(d->vlSkinButton1);
    });
    RECT row = w->lvwToDo->ItemRect(11);
    ui::DoubleClickAt(w->lvwToDo->Handle(), row.left + 30, (row.top + row.bottom) / 2);
    ASSERT_EQ(w->Hours()->Count(), 2);  // the same entry, replaced
    EXPECT_EQ(w->Hours()->Entry(0)->Action, "Lunch with suppliers");
    EXPECT_EQ(w->Hours()->Strings(0), day + "-12:00 M");

    ClickRow(w->lvwToDo, 0);
    ui::Click(w->vlSkinButton3);  // no action at 1:00 AM: nothing happens, nothing is shown
    EXPECT_EQ(w->Hours()->Count(), 2);
    ClickRow(w->lvwToDo, 23);
    ui::Click(w->vlSkinButton3);
    EXPECT_EQ(w->Hours()->Count(), 1);
    EXPECT_EQ(w->lvwToDo->ItemText(23, 1), "");
    ui::SaveScreenshot(w->Handle(), "main-calendar");

    ui::Click(w->btnSave);
    EXPECT_EQ(Read("Hours.dat"), day + "^12:00 M^Lunch with suppliers^\r\n");
}

TEST_F(PlannerTest, DayNumberClickAndTimerShowTheDaysActions) {
    Write("Hours.dat", "12/14/2007^3:00 PM^Send the invoices^\r\n12/13/2007^9:00 AM^Call the printer^\r\n");
    TfrmMain* w = Start();
    w->pgcMain->SetActivePageIndex(1);
    ASSERT_EQ(w->CalendarDay(), "12/13/2007") << "the test prefix uses the M/d/yyyy short date";
    EXPECT_EQ(w->lvwToDo->ItemText(8, 1), "Call the printer");
    w->vlSkinMonthCalendar1->SetDate(2007, 12, 14);  // as the month buttons do: no event
    EXPECT_EQ(w->lvwToDo->ItemText(14, 1), "");
    w->vlSkinMonthCalendar1NumberClick(w->vlSkinMonthCalendar1);
    EXPECT_EQ(w->lvwToDo->ItemText(14, 1), "Send the invoices");
    EXPECT_EQ(w->lvwToDo->ItemText(8, 1), "");

    // Once the mouse has entered the calendar, a timer follows its date.
    w->vlSkinMonthCalendar1->SetDate(2007, 12, 13);
    SendMessageA(w->vlSkinMonthCalendar1->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(w->Timer1->Enabled());
    ui::Pump(1300);
    EXPECT_EQ(w->lvwToDo->ItemText(8, 1), "Call the printer");
}

TEST_F(PlannerTest, ActionDialogEnterKeyRunsTheCheck) {
    TfrmMain* w = Start();
    w->pgcMain->SetActivePageIndex(1);
    ClickRow(w->lvwToDo, 8);
    // The pointer off the calendar (entering it starts its refresh timer), and
    // the buttons' fades ended: neither is a leak.
    SetCursorPos(0, 0);
    ui::Pump(200);
    TLeakCheck leaks;
    int seen = 0;
    ui::OnNextModal([&seen](TForm* dialog) {
        auto* d = dynamic_cast<TfrmHour*>(dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(GetFocus(), d->vlSkinButton1->Handle()) << "OK comes first in the tab order";
        ui::OnNextModal(ui::ExpectMessage("A valid action is required!", "OK", &seen));
        d->edtName->SetText("   ");
        ui::Key(d->edtName, VK_RETURN);
        EXPECT_EQ(d->ModalResult, mrNone);
        EXPECT_EQ(d->ActiveControl(), d->edtName);
        d->edtName->SetText("Call");
        ui::SaveScreenshot(d->Handle(), "dialog-hour");
        ui::Key(d->edtName, VK_RETURN);
    });
    ui::Click(w->btnEditHour);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(w->lvwToDo->ItemText(8, 1), "Call");
    ui::Pump(200);
    leaks.ExpectNone("the action dialog and its message opened and closed");
}

TEST_F(PlannerTest, DialogsRefuseBlankNamesAndCancelWithoutQuestions) {
    Write("categories.dat", "Work\r\n");
    TfrmMain* w = Start();
    int seen = 0;
    ui::OnNextModal([&seen](TForm* dialog) {
        auto* d = dynamic_cast<TfrmCreateProject*>(dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->cbxCategories->Text(), "Work");
        EXPECT_EQ(d->edtStartDate->Text(), "  /  /    ");
        ui::OnNextModal(ui::ExpectMessage("A valid project name is required!", "OK", &seen));
        ui::Type(d->edtName, "  ");
        ui::Click(d->vlSkinButton1);
        EXPECT_EQ(d->ModalResult, mrNone);
        ui::OnNextModal(ui::ExpectMessage("The project name cannot contain the character \"^\".", "OK", &seen));
        ui::Type(d->edtName, "a^b");
        ui::Click(d->vlSkinButton1);
        ui::Key(d->edtName, VK_ESCAPE);  // Cancel: no check, no message
    });
    ui::Click(w->btn1);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(w->Projects()->Count(), 0);

    // The task dialog keeps line breaks in the notes and leading spaces in the description.
    ui::OnNextModal([](TForm* dialog) {
        auto* d = dynamic_cast<TEditDialog*>(dialog);
        ui::Type(d->edtName, " Garden ");
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btn1);
    OnTaskDialog([](TfrmTask* d) {
        ui::Type(d->edtName, "  Dig ");
        d->memNotes->SetText("line one\r\nline two");
        ui::Type(d->edtStartDate, "12032007");
        ui::Click(d->chkDone);
        ui::SaveScreenshot(d->Handle(), "dialog-task");
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btnAdd);
    ASSERT_EQ(w->CurrentProject()->Tasks.Count(), 1);
    TTask* t = w->CurrentProject()->Task(0);
    EXPECT_EQ(t->Description, "  Dig ");
    EXPECT_EQ(t->Notes, "line one\r\nline two");
    EXPECT_EQ(t->StartDate, "12/03/2007");
    EXPECT_EQ(t->EndDate, "  /  /    ");
    EXPECT_TRUE(t->Done);
    EXPECT_EQ(w->MainGauge->Text(), "1/1 tasks  100%");

    ui::Click(w->btnSave);
    TProjects reread;
    ProjectsFromText(reread, Read("Projects.dat"));
    ASSERT_EQ(reread.Count(), 1);
    EXPECT_EQ(reread.Project(0)->Name, " Garden ");
    EXPECT_EQ(reread.Project(0)->Task(0)->Notes, "line one\r\nline two");
}

TEST_F(PlannerTest, ProjectDialogRefusesAProjectWithoutCategory) {
    TfrmMain* w = Start();
    int seen = 0;
    ui::OnNextModal([&seen](TForm* dialog) {
        auto* d = dynamic_cast<TfrmCreateProject*>(dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->cbxCategories->Items.Count(), 0);
        ui::OnNextModal(ui::ExpectMessage(TfrmCreateProject::NoCategoryMessage, "OK", &seen));
        ui::Type(d->edtName, "Orphan");
        ui::Click(d->vlSkinButton1);
        ui::SaveScreenshot(d->Handle(), "dialog-project");
        ui::Click(d->vlSkinButton2);
    });
    ui::Click(w->btn1);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(w->Projects()->Count(), 0);
}

TEST_F(PlannerTest, EditTaskReselectsTheRowAndTabMovesThroughTheDialog) {
    Write("categories.dat", "Work\r\nHome\r\n");
    Write("projects.dat", kSamplePlan);
    TfrmMain* w = Start();
    SelectNode("Product launch");
    ui::OnNextModal(ui::ExpectMessage("Please select a task to edit!"));
    ui::Click(w->btnEdit);
    ClickRow(w->lvwItems, 1);
    OnTaskDialog([](TfrmTask* d) {
        EXPECT_EQ(d->Caption(), "Edit task");
        EXPECT_EQ(d->edtName->Text(), "Write Web Sales Copy");
        EXPECT_EQ(GetFocus(), d->edtName->Handle());
        ui::Key(d->edtName, VK_TAB);
        EXPECT_EQ(GetFocus(), d->vlSkinButton1->Handle());
        ui::Key(d->vlSkinButton1, VK_TAB);
        EXPECT_EQ(GetFocus(), d->vlSkinButton2->Handle());
        ui::Key(d->vlSkinButton2, VK_TAB);
        EXPECT_EQ(GetFocus(), d->memNotes->Handle());
        d->edtName->SetText("Write the sales copy");
        ui::Key(d->edtName, VK_RETURN);  // Enter presses Ok
    });
    ui::Click(w->btnEdit);
    EXPECT_EQ(w->CurrentProject()->Task(1)->Description, "Write the sales copy");
    EXPECT_EQ(w->CurrentProject()->Tasks.Strings(1), "Write Web Sales Copy");  // the key stays
    EXPECT_EQ(w->lvwItems->SelectedIndex(), 1);
}

TEST_F(PlannerTest, UnreadableDataFileIsReportedAndNotOverwrittenWithoutConsent) {
    Write("categories.dat", "Work\r\n");
    CreateDirectoryA((Folder + "projects.dat").c_str(), nullptr);  // exists, cannot be read as a file
    // The start-up error goes to the application's error display.
    ErrorCount errors;
    TfrmMain* w = Start();
    EXPECT_EQ(errors.Count(), 1);
    EXPECT_EQ(w->tvwMain->Roots().size(), 1u) << "the later start-up steps still ran";
    ui::OnNextModal(ui::ExpectMessage(TfrmMain::UnreadFilesQuestion, "Cancel"));
    ui::Click(w->btnSave);
    EXPECT_FALSE(ui::FileExistsAt(Folder + "Hours.dat")) << "nothing written after Cancel";
}
