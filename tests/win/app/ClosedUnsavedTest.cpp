// A plan closed with unsaved changes: kept in "Rescue" on closing, offered at
// the next start, loaded on OK and moved to the backups on Cancel; with the
// real main window, its close message and its message box.
#include "tests/win/app/PlannerFixture.h"

#include "core/FileIO.h"
#include "model/PlanSafety.h"

namespace {

class ClosedUnsavedTest : public PlannerTest {
protected:
    void WritePlan() {
        Write("categories.dat", "Work\r\n");
        Write("Projects.dat", kSamplePlan);
        Write("Hours.dat", "");
    }
    // Ticks the second task of the sample project with the mouse: a change.
    void TickSecondTask(TfrmMain* w) {
        SelectNode("Product launch");
        ClickCheckBox(w->lvwItems, 1);
        ASSERT_TRUE(w->CurrentProject()->Task(1)->Done);
    }
    std::vector<std::string> Sets() {
        std::vector<std::string> names = platform::ListSubfolders(Folder + "Backups");
        std::sort(names.begin(), names.end());
        return names;
    }
    bool Exists(const std::string& name) { return ui::FileExistsAt(Folder + name); }
    static constexpr const char* Ticked = "^True^,^Write Web Sales Copy^";
};

}  // namespace

TEST_F(ClosedUnsavedTest, ChangesClosedUnsavedAreOfferedAtTheNextStartAndOkLoadsThem) {
    WritePlan();
    TfrmMain* w = Start();
    TickSecondTask(w);
    CloseAndRestart();
    // Kept beside the files, which are as they were.
    EXPECT_EQ(Read("Projects.dat"), kSamplePlan);
    EXPECT_NE(Read("Rescue\\Projects.dat").find(Ticked), std::string::npos);
    EXPECT_EQ(Read("Rescue\\categories.dat"), "Work\r\n");
    EXPECT_TRUE(Exists(std::string("Rescue\\") + ClosedMarkerName));

    std::string said;
    ui::OnNextModal([&said](TForm* box) {
        said = ui::MessageText(box);
        ui::Answer(box, "OK");
    });
    w = Start();
    const std::string question = TfrmMain::ClosedRescueQuestion("");
    const std::string head = question.substr(0, question.find(" on ") + 4);
    EXPECT_EQ(said.rfind(head, 0), 0u) << said;
    EXPECT_NE(said.find(". Your unsaved changes were kept. Load them now?"), std::string::npos) << said;
    EXPECT_GT(said.size(), question.size() + 5) << "no date and time: " << said;
    EXPECT_EQ(said.find("did not close normally"), std::string::npos) << "a close is not a failure";

    // Loaded, not saved; Save Changes writes it.
    SelectNode("Product launch");
    ASSERT_NE(w->CurrentProject(), nullptr);
    EXPECT_TRUE(w->CurrentProject()->Task(1)->Done);
    EXPECT_EQ(Read("Projects.dat"), kSamplePlan);
    ui::Click(w->btnSave);
    EXPECT_NE(Read("Projects.dat").find(Ticked), std::string::npos);
    EXPECT_FALSE(Exists("Rescue"));
    EXPECT_FALSE(PendingRescue(Folder).has_value());
}

TEST_F(ClosedUnsavedTest, CancelMovesTheSetToTheBackupsAndTheQuestionIsNotAskedAgain) {
    WritePlan();
    Write("dbconfig.dat", "[Settings]\r\nBackupCount=0\r\n");  // only the unsaved set in Backups
    TickSecondTask(Start());
    CloseAndRestart();
    ASSERT_TRUE(PendingRescue(Folder).has_value());
    const std::string when = BackupSetName(static_cast<std::time_t>(*PendingRescue(Folder)));
    int asked = 0;
    ui::OnNextModal([&asked](TForm* box) {
        ++asked;
        ui::Answer(box, "Cancel");
    });
    TfrmMain* w = Start();
    EXPECT_EQ(asked, 1);
    SelectNode("Product launch");
    EXPECT_FALSE(w->CurrentProject()->Task(1)->Done) << "Cancel loaded the kept plan";
    EXPECT_FALSE(Exists("Rescue"));
    ASSERT_EQ(Sets(), std::vector<std::string>{when + " unsaved"});
    EXPECT_NE(Read("Backups\\" + when + " unsaved\\Projects.dat").find(Ticked), std::string::npos);

    // Nothing changed this time: closing writes nothing and the next start
    // has nothing to ask (an unexpected question would never be answered).
    const std::vector<std::string> files = Files();
    CloseAndRestart();
    EXPECT_FALSE(Exists("Rescue"));
    EXPECT_EQ(Files(), files);
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    Start();
    EXPECT_EQ(Sets(), std::vector<std::string>{when + " unsaved"}) << "the kept set stays";
}

TEST_F(ClosedUnsavedTest, ClosingWithoutChangesOrAfterSavingWritesNothing) {
    WritePlan();
    TfrmMain* w = Start();
    // Looking around is not a change.
    SelectNode("Product launch");
    ClickRow(w->lvwItems, 0);
    CloseAndRestart();
    EXPECT_FALSE(Exists("Rescue"));
    EXPECT_FALSE(Exists("Backups"));
    EXPECT_EQ(Read("Projects.dat"), kSamplePlan);

    w = Start();
    TickSecondTask(w);
    ui::Click(w->btnSave);
    CloseAndRestart();
    EXPECT_FALSE(Exists("Rescue")) << "saved changes are not unsaved";
    EXPECT_NE(Read("Projects.dat").find(Ticked), std::string::npos);
}

TEST_F(ClosedUnsavedTest, AnUnwritableSetLeavesNoFolderAndAnIncompleteOneIsNotOffered) {
    WritePlan();
    TickSecondTask(Start());
    // The disk fills up while the second file is written.
    TFileSetWriter::FailWriteForTesting(1);
    CloseAndRestart();
    EXPECT_FALSE(Exists("Rescue")) << "an empty or partial Rescue folder was left behind";
    EXPECT_EQ(Read("Projects.dat"), kSamplePlan);

    // A set of fewer than three files, or none, is never offered (a question
    // would stay unanswered).
    CreateDirectoryA((Folder + "Rescue").c_str(), nullptr);
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    Write("Rescue\\categories.dat", "Work\r\nHalf\r\n");
    Write("Rescue\\Projects.dat", kSamplePlan);
    Write(std::string("Rescue\\") + ClosedMarkerName, "");
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    TfrmMain* w = Start();
    EXPECT_EQ(w->Projects()->Categories.Count(), 1);
}
