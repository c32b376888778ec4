// The rescued set's own rules: why it was written, all or nothing on the
// disk, and only a complete set offered.
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

#include "core/FileIO.h"
#include "model/PlanSafety.h"
#include "tests/native/model/TempFolder.h"

namespace fs = std::filesystem;

namespace {

class RescueSet : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Write("categories.dat", "Work\r\n");
        Write("Projects.dat", "");
        Write("Hours.dat", "");
        Disk = DataFileBytes(Folder);
        Keeper.SetDisk(Disk);
    }
    void Change(const std::string& category) { Keeper.SetPlan({Disk.Categories + category + "\r\n", "", ""}); }
    bool Exists(const std::string& path) { return fs::exists(Folder + path); }
    TPlanBytes Disk;
    TRescueKeeper Keeper;
};

}  // namespace

TEST_F(RescueSet, TheSetSaysWhetherTheProgramWasClosedOrFailed) {
    Change("Closed");
    ASSERT_TRUE(Keeper.WriteRescue(Folder, TRescueReason::Closed));
    EXPECT_TRUE(RescueWasClosed(Folder));
    EXPECT_EQ(ReadRescue(Folder).Categories, "Work\r\nClosed\r\n");
    ASSERT_TRUE(PendingRescue(Folder).has_value());

    // A failure afterwards keeps the closed set with the backups; the new set
    // is a failure's.
    Change("Failed");
    ASSERT_TRUE(Keeper.WriteRescue(Folder));
    EXPECT_FALSE(RescueWasClosed(Folder));
    EXPECT_EQ(ReadRescue(Folder).Categories, "Work\r\nFailed\r\n");
    const std::vector<std::string> sets = TBackups(Folder).Sets();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_TRUE(fs::exists(Folder + "Backups/" + sets[0] + "/" + ClosedMarkerName));

    // Pruning removes a kept closed set whole, marker and all.
    TBackups(Folder).Prune(0);
    EXPECT_TRUE(TBackups(Folder).Sets().empty());
    EXPECT_FALSE(fs::exists(Folder + "Backups/" + sets[0]));

    // Moving a closed set to the backups under a name takes the marker along.
    Change("Closed again");
    ASSERT_TRUE(Keeper.WriteRescue(Folder, TRescueReason::Closed));
    ASSERT_TRUE(TBackups(Folder).AdoptRescue("2026-12-10 09-00-00 unsaved"));
    EXPECT_FALSE(Exists("Rescue"));
    EXPECT_FALSE(RescueWasClosed(Folder));
    EXPECT_TRUE(Exists(std::string("Backups/2026-12-10 09-00-00 unsaved/") + ClosedMarkerName));
}

TEST_F(RescueSet, AWriteThatFailsLeavesNoFolderButKeepsAnEarlierSet) {
    Change("Lost");
    // Each file of the set in turn cannot be written, the marker included.
    for (int failing = 0; failing < 4; ++failing) {
        TFileSetWriter::FailWriteForTesting(failing);
        EXPECT_FALSE(Keeper.WriteRescue(Folder, TRescueReason::Closed)) << failing;
        EXPECT_FALSE(Exists("Rescue")) << "file " << failing;
        EXPECT_FALSE(Exists("Backups")) << "file " << failing;
    }
    // "Backups" is in the way, so an earlier set cannot be moved away: a
    // failed write gives it its old contents back and it stays.
    ASSERT_TRUE(Keeper.WriteRescue(Folder));
    Write("Backups", "a file where the folder would go");
    Change("Later");
    TFileSetWriter::FailWriteForTesting(2);
    EXPECT_FALSE(Keeper.WriteRescue(Folder));
    EXPECT_EQ(ReadRescue(Folder).Categories, "Work\r\nLost\r\n");
    EXPECT_TRUE(PendingRescue(Folder).has_value());
    // Written after all, over the earlier set.
    ASSERT_TRUE(Keeper.WriteRescue(Folder, TRescueReason::Closed));
    EXPECT_EQ(ReadRescue(Folder).Categories, "Work\r\nLater\r\n");
    EXPECT_TRUE(RescueWasClosed(Folder));
}

TEST_F(RescueSet, OnlyACompleteSetNewerThanTheFilesIsOffered) {
    // An empty folder, then every set short of one file.
    fs::create_directory(Folder + "Rescue");
    EXPECT_FALSE(PendingRescue(Folder).has_value());
    const char* const names[] = {"categories.dat", "Projects.dat", "Hours.dat"};
    for (int missing = 0; missing < 3; ++missing) {
        for (int i = 0; i < 3; ++i) {
            fs::remove(Folder + "Rescue/" + names[i]);
            if (i != missing) Write(std::string("Rescue/") + names[i], "x");
        }
        EXPECT_FALSE(PendingRescue(Folder).has_value()) << "without " << names[missing];
    }
    Write(std::string("Rescue/") + names[2], "x");
    // Complete now; written in the same second as the files still counts.
    for (const char* name : names) {
        const std::string file = std::string("Rescue/") + name;
        utimbuf times{1765000000, 1765000000};
        ASSERT_EQ(utime((Folder + file).c_str(), &times), 0);
        ASSERT_EQ(utime((Folder + name).c_str(), &times), 0);
    }
    ASSERT_TRUE(PendingRescue(Folder).has_value());
    EXPECT_EQ(*PendingRescue(Folder), 1765000000);
    EXPECT_FALSE(RescueWasClosed(Folder));
}

TEST(BackupCountLimits, NineDigitsAreACountAndTenAreNot) {
    EXPECT_EQ(ParseBackupCount("999999999"), 999999999);
    EXPECT_EQ(ParseBackupCount("000000001"), 1);
    EXPECT_EQ(ParseBackupCount("1000000000"), DefaultBackupCount);
    EXPECT_EQ(ParseBackupCount("0000000001"), DefaultBackupCount);
}
