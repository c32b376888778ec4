// Backups on every save and the rescued plan offered at the next start, with
// the real main window, its files and its message box.
#include "tests/win/app/PlannerFixture.h"

#include "model/PlanSafety.h"

namespace {

class PlanSafetyTest : public PlannerTest {
protected:
    // The names of the folders in Backups, sorted.
    std::vector<std::string> Sets() {
        std::vector<std::string> names = platform::ListSubfolders(Folder + "Backups");
        std::sort(names.begin(), names.end());
        return names;
    }
    // Adds a category to the plan and saves, as the user would.
    void ChangeAndSave(TfrmMain* w, const std::string& category) {
        w->Projects()->Categories.Add(category);
        ui::Click(w->btnSave);
    }
    // Data files and, newer, a rescued set with one more category.
    void WriteRescueCase() {
        Write("categories.dat", "Work\r\n");
        Write("Projects.dat", kSamplePlan);
        CreateDirectoryA((Folder + "Rescue").c_str(), nullptr);
        Write("Rescue\\categories.dat", "Work\r\nRescued\r\n");
        Write("Rescue\\Projects.dat", kSamplePlan);
        Write("Rescue\\Hours.dat", "");
    }
    // Answers the next message box, keeping its text.
    void AnswerNext(std::string& text, const char* button) {
        ui::OnNextModal([&text, button](TForm* box) {
            text = ui::MessageText(box);
            ui::Answer(box, button);
        });
    }
};

}  // namespace

TEST_F(PlanSafetyTest, EachSaveKeepsTheSetItReplacesUpToTheCount) {
    Write("dbconfig.dat", "[Settings]\r\nBackupCount=2\r\n");
    Write("categories.dat", "Work\r\n");
    Write("Projects.dat", kSamplePlan);
    TfrmMain* w = Start();
    ChangeAndSave(w, "First");
    std::vector<std::string> sets = Sets();
    ASSERT_EQ(sets.size(), 1u);
    // Byte for byte what was replaced; only files that existed.
    EXPECT_EQ(Read("Backups\\" + sets[0] + "\\categories.dat"), "Work\r\n");
    EXPECT_EQ(Read("Backups\\" + sets[0] + "\\Projects.dat"), kSamplePlan);
    EXPECT_FALSE(ui::FileExistsAt(Folder + "Backups\\" + sets[0] + "\\Hours.dat"));
    EXPECT_EQ(Read("categories.dat"), "Work\r\nFirst\r\n");
    ChangeAndSave(w, "Second");
    ChangeAndSave(w, "Third");
    sets = Sets();
    ASSERT_EQ(sets.size(), 2u) << "the oldest set goes";
    EXPECT_EQ(Read("Backups\\" + sets[1] + "\\categories.dat"), "Work\r\nFirst\r\nSecond\r\n");
    EXPECT_EQ(Read("Backups\\" + sets[0] + "\\categories.dat"), "Work\r\nFirst\r\n");
    // The files themselves are what a save writes, nothing else appeared.
    EXPECT_EQ(Read("categories.dat"), "Work\r\nFirst\r\nSecond\r\nThird\r\n");
    EXPECT_EQ(Files(), (std::vector<std::string>{"Hours.dat", "Projects.dat", "categories.dat", "dbconfig.dat"}));
}

TEST_F(PlanSafetyTest, BackupCountZeroTurnsThemOffAndAMalformedOneMeansTen) {
    Write("dbconfig.dat", "[Settings]\r\nBackupCount=0\r\n");
    Write("categories.dat", "Work\r\n");
    TfrmMain* w = Start();
    ChangeAndSave(w, "Off");
    EXPECT_TRUE(Sets().empty());
    EXPECT_FALSE(ui::FileExistsAt(Folder + "Backups"));
    Write("dbconfig.dat", "[Settings]\r\nBackupCount=many\r\n");
    for (int i = 0; i < 12; ++i) ChangeAndSave(w, "Save " + std::to_string(i));
    EXPECT_EQ(Sets().size(), static_cast<size_t>(DefaultBackupCount));
}

TEST_F(PlanSafetyTest, ABackupThatCannotBeWrittenStillSavesAndSaysSoOnce) {
    Write("categories.dat", "Work\r\n");
    Write("Backups", "a file where the folder would go");
    TfrmMain* w = Start();
    std::string said;
    AnswerNext(said, "OK");
    ChangeAndSave(w, "Saved anyway");
    EXPECT_EQ(Read("categories.dat"), "Work\r\nSaved anyway\r\n");
    EXPECT_EQ(said.rfind(TfrmMain::BackupFailedMessage(""), 0), 0u) << said;
    // Said once: the next save goes through without a message.
    ChangeAndSave(w, "Again");
    EXPECT_EQ(Read("categories.dat"), "Work\r\nSaved anyway\r\nAgain\r\n");
}

TEST_F(PlanSafetyTest, AFailedSaveLeavesNoBackupSet) {
    Write("categories.dat", "Work\r\n");
    // The save's temporary file cannot be made: the save fails.
    CreateDirectoryA((Folder + "categories.dat.saving").c_str(), nullptr);
    ErrorCount errors;
    TfrmMain* w = Start();
    ChangeAndSave(w, "Lost?");
    EXPECT_EQ(errors.Count(), 1);
    EXPECT_EQ(Read("categories.dat"), "Work\r\n");
    EXPECT_TRUE(Sets().empty()) << "the backup of the failed save was not removed";
}

TEST_F(PlanSafetyTest, ARescuedPlanIsOfferedAndCancelKeepsItForTheNextStart) {
    WriteRescueCase();
    std::string said;
    AnswerNext(said, "Cancel");
    TfrmMain* w = Start();
    EXPECT_EQ(said.rfind("Plandesk did not close normally. Your unsaved changes of ", 0), 0u) << said;
    EXPECT_NE(said.find(" were kept. Load them now?"), std::string::npos) << said;
    EXPECT_GT(said.size(), std::string(TfrmMain::RescueQuestion("")).size() + 5) << "no date and time: " << said;
    EXPECT_EQ(w->Projects()->Categories.Count(), 1);
    EXPECT_TRUE(PendingRescue(Folder).has_value());
    EXPECT_FALSE(TfrmMain::RescueUnsavedPlan()) << "nothing changed since the files";
}

TEST_F(PlanSafetyTest, OkLoadsTheRescuedPlanAndTheNextSaveKeepsItWithTheBackups) {
    WriteRescueCase();
    std::string said;
    AnswerNext(said, "OK");
    TfrmMain* w = Start();
    ASSERT_EQ(w->Projects()->Categories.Count(), 2);
    EXPECT_EQ(w->Projects()->Categories.Strings(1), "Rescued");
    EXPECT_EQ(w->tvwMain->Roots().size(), 2u);
    EXPECT_EQ(Read("categories.dat"), "Work\r\n") << "loaded, not saved";
    // The loaded rescue is an unsaved change: another failure keeps it again.
    EXPECT_TRUE(TfrmMain::RescueUnsavedPlan());

    // Saving writes it, and the rescued set moves in with the backups.
    ui::Click(w->btnSave);
    EXPECT_EQ(Read("categories.dat"), "Work\r\nRescued\r\n");
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    EXPECT_FALSE(ui::FileExistsAt(Folder + "Rescue"));
    // The replaced files; the first rescued set, kept when the failure above
    // wrote a new one; and that one, kept by the save.
    std::vector<std::string> sets = Sets();
    ASSERT_EQ(sets.size(), 3u);
    int rescued = 0;
    for (const std::string& set : sets) {
        const bool isRescue = set.find(" rescued") != std::string::npos;
        rescued += isRescue;
        EXPECT_EQ(Read("Backups\\" + set + "\\categories.dat"), isRescue ? "Work\r\nRescued\r\n" : "Work\r\n") << set;
    }
    EXPECT_EQ(rescued, 2);
}

TEST_F(PlanSafetyTest, TheRescueWritesOnlyAPlanWithUnsavedChanges) {
    Write("categories.dat", "Work\r\n");
    Write("Projects.dat", kSamplePlan);
    TfrmMain* w = Start();
    EXPECT_FALSE(TfrmMain::RescueUnsavedPlan());
    EXPECT_FALSE(ui::FileExistsAt(Folder + "Rescue"));
    // A task ticked off with the mouse is a change.
    SelectNode("Product launch");
    ClickCheckBox(w->lvwItems, 1);
    ASSERT_TRUE(w->CurrentProject()->Task(1)->Done);
    ASSERT_TRUE(TfrmMain::RescueUnsavedPlan());
    EXPECT_NE(Read("Rescue\\Projects.dat").find("^True^,^Write Web Sales Copy^"), std::string::npos);
    // Saved: nothing unsaved to rescue, and the set went to the backups.
    ui::Click(w->btnSave);
    EXPECT_FALSE(ui::FileExistsAt(Folder + "Rescue"));
    EXPECT_FALSE(TfrmMain::RescueUnsavedPlan());
}
