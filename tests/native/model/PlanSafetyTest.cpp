#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/Errors.h"
#include "core/FileIO.h"
#include "model/PlanSafety.h"
#include "model/UProjects.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

class Safety : public TempFolderTest {
protected:
    void TearDown() override {
        SetFileCallsForTesting(nullptr);
        TempFolderTest::TearDown();
    }
    void SetTime(const std::string& path, time_t when) {
        utimbuf times{when, when};
        ASSERT_EQ(utime((Folder + path).c_str(), &times), 0) << path;
    }
};

const std::string Categories = "Work\r\nHome\r\n";
const std::string Projects = "Header^Launch^Work^12/01/2007^12/31/2007^\r\n^True^,^Domain^,^two years^,^^,^^\r\nEndProject\r\n";
const std::string Hours = "12/03/2007^9:00 AM^Call the bank^\r\n";

TPlanBytes Plan(const std::string& marker) { return {Categories + marker + "\r\n", Projects, Hours}; }

// File calls whose first creation waits until released: a write that hangs.
struct THangingCalls : TFileCalls {
    std::atomic<bool> Release{false};
    intptr_t Create(const std::string& path, std::string& error) override {
        while (!Release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return SystemFileCalls().Create(path, error);
    }
    bool Write(intptr_t f, const std::string& b, std::string& e) override { return SystemFileCalls().Write(f, b, e); }
    bool Flush(intptr_t f, std::string& e) override { return SystemFileCalls().Flush(f, e); }
    bool Close(intptr_t f, std::string& e) override { return SystemFileCalls().Close(f, e); }
    bool Move(const std::string& a, const std::string& b, std::string& e) override {
        return SystemFileCalls().Move(a, b, e);
    }
};

}  // namespace

TEST(PlanSafetySettings, BackupCountIsAWholeNumberElseTen) {
    EXPECT_EQ(ParseBackupCount("3"), 3);
    EXPECT_EQ(ParseBackupCount(" 25\t"), 25);
    EXPECT_EQ(ParseBackupCount("0"), 0);
    for (const char* bad : {"", "  ", "-1", "ten", "12x", "1 2", "3.5", "99999999999"})
        EXPECT_EQ(ParseBackupCount(bad), DefaultBackupCount) << bad;
    // Set names sort as the times they stand for.
    const std::string a = BackupSetName(1765000000), b = BackupSetName(1765000000 + 3600 * 24 * 40);
    EXPECT_EQ(a.size(), 19u);
    EXPECT_LT(a, b);
    EXPECT_EQ(a.find_first_of(":/\\"), std::string::npos);
}

TEST_F(Safety, KeptSetsHoldTheFilesByteForByteAndRotateAtTheCount) {
    TBackups backups(Folder);
    // Nothing to keep before the first save: no set, no folder.
    EXPECT_FALSE(backups.Keep("2026-12-09 10-00-00").has_value());
    EXPECT_FALSE(fs::exists(Folder + "Backups"));

    Write("categories.dat", Categories);
    Write("Projects.dat", Projects);
    Write("Hours.dat", std::string("a\0b\r\n", 5));
    auto set = backups.Keep("2026-12-09 10-00-00");
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(Read("Backups/2026-12-09 10-00-00/categories.dat"), Categories);
    EXPECT_EQ(Read("Backups/2026-12-09 10-00-00/Projects.dat"), Projects);
    EXPECT_EQ(Read("Backups/2026-12-09 10-00-00/Hours.dat"), std::string("a\0b\r\n", 5));
    // Two saves in one second get two sets.
    ASSERT_TRUE(backups.Keep("2026-12-09 10-00-00").has_value());
    EXPECT_TRUE(fs::exists(Folder + "Backups/2026-12-09 10-00-00 (2)/Projects.dat"));

    for (int i = 1; i <= 11; ++i) backups.Keep("2026-12-09 10-00-" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    fs::create_directory(Folder + "Backups/My own notes");  // not a kept set: left alone
    EXPECT_EQ(backups.Sets().size(), 13u);
    backups.Prune(10);
    std::vector<std::string> left = backups.Sets();
    ASSERT_EQ(left.size(), 10u);
    EXPECT_EQ(left.front(), "2026-12-09 10-00-02");
    EXPECT_EQ(left.back(), "2026-12-09 10-00-11");
    EXPECT_FALSE(fs::exists(Folder + "Backups/2026-12-09 10-00-00"));
    EXPECT_TRUE(fs::exists(Folder + "Backups/My own notes"));

    backups.Remove(Folder + "Backups/2026-12-09 10-00-11/");
    EXPECT_FALSE(fs::exists(Folder + "Backups/2026-12-09 10-00-11"));
}

TEST_F(Safety, ASetThatCannotBeWrittenLeavesNothingBehind) {
    Write("Projects.dat", Projects);
    Write("Hours.dat", Hours);
    TBackups backups(Folder);
    // "Backups" is a file: no folder can be made there.
    Write("Backups", "in the way");
    EXPECT_THROW(backups.Keep("2026-12-09 10-00-00"), EFCreateError);
    EXPECT_EQ(Read("Backups"), "in the way");
    fs::remove(Folder + "Backups");
    // The second file's write fails: the partial set goes again.
    TFileSetWriter::FailWriteForTesting(1);
    EXPECT_THROW(backups.Keep("2026-12-09 10-00-00"), EFCreateError);
    EXPECT_TRUE(backups.Sets().empty());
    EXPECT_FALSE(fs::exists(Folder + "Backups/2026-12-09 10-00-00"));
    // The data files themselves are untouched.
    EXPECT_EQ(Read("Projects.dat"), Projects);
}

TEST_F(Safety, RescueWritesOnlyAChangedPlanAndIsOfferedWhileNewerThanTheFiles) {
    Write("categories.dat", Plan("").Categories);
    Write("Projects.dat", Projects);
    Write("Hours.dat", Hours);
    TRescueKeeper keeper;
    keeper.SetDisk(DataFileBytes(Folder));
    EXPECT_FALSE(keeper.WriteRescue(Folder));  // nothing published yet
    keeper.SetPlan(Plan(""));
    EXPECT_FALSE(keeper.HasUnsavedChanges());
    EXPECT_FALSE(keeper.WriteRescue(Folder));
    EXPECT_FALSE(fs::exists(Folder + "Rescue"));

    keeper.SetPlan(Plan("Garden"));
    EXPECT_TRUE(keeper.HasUnsavedChanges());
    ASSERT_TRUE(keeper.WriteRescue(Folder));
    EXPECT_EQ(ReadRescue(Folder), Plan("Garden"));
    // Newer than the data files: offered.
    SetTime("categories.dat", 1765000000);
    SetTime("Projects.dat", 1765000000);
    SetTime("Hours.dat", 1765000000);
    for (const char* f : {"Rescue/categories.dat", "Rescue/Projects.dat", "Rescue/Hours.dat"}) SetTime(f, 1765000100);
    ASSERT_TRUE(PendingRescue(Folder).has_value());
    EXPECT_EQ(*PendingRescue(Folder), 1765000100);
    // Saved later than the rescue: no longer offered.
    SetTime("Projects.dat", 1765000200);
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    SetTime("Projects.dat", 1765000000);

    // Saving the same bytes makes the plan match the disk again.
    keeper.SetDisk(Plan("Garden"));
    EXPECT_FALSE(keeper.HasUnsavedChanges());
    EXPECT_FALSE(keeper.WriteRescue(Folder));

    // A second failure with a rescue still waiting keeps the first one in
    // the backups rather than overwriting it.
    keeper.SetPlan(Plan("Roof"));
    ASSERT_TRUE(keeper.WriteRescue(Folder));
    EXPECT_EQ(ReadRescue(Folder), Plan("Roof"));
    TBackups backups(Folder);
    ASSERT_EQ(backups.Sets().size(), 1u);
    EXPECT_NE(backups.Sets()[0].find(" rescued"), std::string::npos);
    EXPECT_EQ(Read("Backups/" + backups.Sets()[0] + "/categories.dat"), Plan("Garden").Categories);

    // After a save the rescued set moves into the backups: nothing deleted.
    ASSERT_TRUE(backups.AdoptRescue("2026-12-09 11-00-00 rescued"));
    EXPECT_FALSE(fs::exists(Folder + "Rescue"));
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    EXPECT_EQ(Read("Backups/2026-12-09 11-00-00 rescued/categories.dat"), Plan("Roof").Categories);
    EXPECT_FALSE(backups.AdoptRescue("2026-12-09 11-00-01 rescued"));  // none left
}

TEST_F(Safety, AHangingRescueIsGivenUpAfterItsTime) {
    TRescueKeeper keeper;
    keeper.SetDisk(Plan(""));
    keeper.SetPlan(Plan("Changed"));
    THangingCalls calls;
    SetFileCallsForTesting(&calls);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(keeper.WriteRescueWithin(Folder, 200));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    // The abandoned write finishes once whatever held it lets go.
    calls.Release.store(true);
    for (int i = 0; i < 500 && !fs::exists(Folder + "Rescue/Hours.dat"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    SetFileCallsForTesting(nullptr);
    EXPECT_EQ(ReadRescue(Folder), Plan("Changed"));
    // An unhindered one answers within its time.
    keeper.SetPlan(Plan("Again"));
    EXPECT_TRUE(keeper.WriteRescueWithin(Folder, 5000));
    EXPECT_EQ(ReadRescue(Folder), Plan("Again"));
}

TEST_F(Safety, ARescueWhileThePlanKeepsChangingWritesOneWholePlan) {
    // The failing thread is not the one changing the plan: the rescue must
    // read a whole published plan, never one being replaced or freed.
    TRescueKeeper keeper;
    keeper.SetDisk(Plan(""));
    std::atomic<bool> stop{false};
    std::thread changer([&] {
        for (int i = 0; !stop.load(); ++i) keeper.SetPlan(Plan(std::string(static_cast<size_t>(1 + i % 500), 'x')));
    });
    int written = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (written < 20 && std::chrono::steady_clock::now() < until)
        if (keeper.WriteRescue(Folder)) {
            ++written;
            TPlanBytes rescued = ReadRescue(Folder);
            EXPECT_EQ(rescued.Projects, Projects);
            EXPECT_EQ(rescued.Hours, Hours);
            ASSERT_EQ(rescued.Categories.rfind(Categories, 0), 0u);
            const std::string tail = rescued.Categories.substr(Categories.size());
            EXPECT_EQ(tail.find_first_not_of('x'), tail.size() - 2) << "a torn plan";
        }
    stop.store(true);
    changer.join();
    EXPECT_GT(written, 0);
}

// A plan only read is never written out: the keeper works out the files'
// bytes at the first change, once, and a save in between makes them moot.
TEST_F(Safety, TheReadPlansBytesWaitForItsFirstChange) {
    int worked = 0;
    TRescueKeeper keeper;
    keeper.SetDiskLater([&] {
        ++worked;
        return Plan("");
    });
    EXPECT_FALSE(keeper.HasUnsavedChanges());
    EXPECT_FALSE(keeper.WriteRescue(Folder));
    EXPECT_EQ(worked, 0);
    keeper.SetPlan(Plan(""));  // changed and changed back
    EXPECT_FALSE(keeper.HasUnsavedChanges());
    keeper.SetPlan(Plan("Garden"));
    EXPECT_TRUE(keeper.HasUnsavedChanges());
    ASSERT_TRUE(keeper.WriteRescue(Folder));
    EXPECT_EQ(ReadRescue(Folder), Plan("Garden"));
    EXPECT_EQ(worked, 1);

    // Read again over a changed plan: nothing to rescue until the next change.
    keeper.SetDiskLater([&] {
        ++worked;
        return Plan("Garden");
    });
    EXPECT_FALSE(keeper.HasUnsavedChanges());
    keeper.SetDisk(Plan("Roof"));  // saved before any change: the texts are not needed
    keeper.SetPlan(Plan("Roof"));
    EXPECT_FALSE(keeper.HasUnsavedChanges());
    EXPECT_EQ(worked, 1);

    // The bytes of texts are those the program writes for the plan they hold.
    TProjects projects;
    THours hours;
    CategoriesFromText(projects, Categories);
    ProjectsFromText(projects, Projects + "\r\n  \r\n");
    HoursFromText(hours, Hours);
    EXPECT_EQ(PlanBytesOfTexts({Categories, Projects + "\r\n  \r\n", Hours}), PlanBytes(projects, hours));
    EXPECT_NE(PlanBytesOfTexts({Categories, Projects + "\r\n  \r\n", Hours}).Projects, Projects + "\r\n  \r\n");
}
