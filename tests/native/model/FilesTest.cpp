#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <fstream>
#include <iterator>

#include "ModelDump.h"
#include "TempFolder.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "model/UProjects.h"

namespace fs = std::filesystem;

namespace {
// The folder is the program's folder while the test runs.
class DataFolder : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        SetProgramFolderOverride(FRoot);
    }
    void TearDown() override {
        SetProgramFolderOverride("");
        TempFolderTest::TearDown();
    }
};

const std::string Projects =
    "Header^Product launch^Work^12/01/2007^12/31/2007^\r\n"
    "^True^,^Purchase Domain Name^,^bought for two years^,^12/03/2007^,^12/03/2007^\r\n"
    "EndProject\r\n";
}  // namespace

TEST_F(DataFolder, MissingFilesLeaveTheModelEmpty) {
    TProjects projects;
    projects.Categories.Add("kept");
    THours hours;
    projects.LoadCategories();
    projects.LoadProjects();
    hours.LoadHours();
    EXPECT_EQ(projects.Categories.Count(), 1);
    EXPECT_EQ(projects.Count(), 0);
    EXPECT_EQ(hours.Count(), 0);
}

TEST_F(DataFolder, SavesAndLoadsTheThreeFiles) {
    Write("categories.dat", "Work\r\nHome\r\n");
    Write("projects.dat", Projects);
    Write("Hours.dat", "12/13/2007^9:00 AM^Call the printer^\r\n");
    TProjects projects;
    THours hours;
    projects.LoadCategories();
    projects.LoadProjects();
    hours.LoadHours();
    ASSERT_EQ(projects.Count(), 1);
    ASSERT_EQ(hours.Count(), 1);
    projects.Project(0)->Task(0)->Notes = "first line\r\nsecond, line";
    projects.Categories.Add("Garden");
    SaveAll(projects, hours);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Hours.dat", "categories.dat", "projects.dat"}));
    EXPECT_EQ(Read("categories.dat"), "Work\r\nHome\r\nGarden\r\n");

    TProjects again;
    again.LoadCategories();
    again.LoadProjects();
    EXPECT_EQ(Dump(again), Dump(projects));
    // The single-file savers write the same bytes.
    hours.Entry(0)->Action = "Call again";
    again.SaveProjects();
    again.SaveCategories();
    hours.SaveHours();
    EXPECT_EQ(Read("projects.dat"), ProjectsToText(projects));
    EXPECT_EQ(Read("Hours.dat"), "12/13/2007^9:00 AM^Call again^\r\n");
    EXPECT_EQ(Files().size(), 3u);
}

TEST_F(DataFolder, ProjectsFileIsOneFileWhateverItsLetterCase) {
    TProjects projects;
    auto* p = new TProject;
    p->Name = "Fresh";
    projects.AddObject("Fresh", p);
    projects.SaveProjects();
    EXPECT_EQ(Files(), std::vector<std::string>{"Projects.dat"});
    TProjects fromUpper;
    fromUpper.LoadProjects();
    EXPECT_EQ(fromUpper.Count(), 1);

    fs::remove(FRoot + "/Projects.dat");
    Write("projects.dat", Projects);
    TProjects fromLower;
    fromLower.LoadProjects();
    ASSERT_EQ(fromLower.Count(), 1);
    projects.SaveProjects();
    EXPECT_EQ(Files(), std::vector<std::string>{"projects.dat"});
    EXPECT_EQ(Read("projects.dat"), "Header^Fresh^^^^\r\nEndProject\r\n");

    // Should both spellings exist, the one written is the one read.
    Write("Projects.dat", "");
    projects.SaveProjects();
    TProjects both;
    both.LoadProjects();
    EXPECT_EQ(both.Count(), 1);
    EXPECT_EQ(Read("Projects.dat"), "Header^Fresh^^^^\r\nEndProject\r\n");

    Write("CATEGORIES.DAT", "Upper\r\n");
    projects.LoadCategories();
    EXPECT_EQ(projects.Categories.Strings(0), "Upper");
}

TEST_F(DataFolder, FailedSaveLeavesTheOldFilesIntact) {
    Write("categories.dat", "Old\r\n");
    Write("projects.dat", Projects);
    Write("Hours.dat", "d^h^old^\r\n");
    TProjects projects;
    projects.Categories.Add("New");
    THours hours;
    for (int failing = 0; failing < 3; ++failing) {
        TFileSetWriter::FailWriteForTesting(failing);
        EXPECT_THROW(SaveAll(projects, hours), EFCreateError) << failing;
        EXPECT_EQ(Read("categories.dat"), "Old\r\n");
        EXPECT_EQ(Read("projects.dat"), Projects);
        EXPECT_EQ(Read("Hours.dat"), "d^h^old^\r\n");
        EXPECT_EQ(Files(), (std::vector<std::string>{"Hours.dat", "categories.dat", "projects.dat"}));
    }
    TFileSetWriter::FailWriteForTesting(0);
    EXPECT_THROW(projects.SaveProjects(), EFCreateError);
    EXPECT_EQ(Read("projects.dat"), Projects);
    EXPECT_EQ(Files().size(), 3u);
}

// A move over an old file can fail after others were replaced (another
// program holding the file open); those get their old contents back.
TEST_F(DataFolder, FailedReplaceRestoresTheFilesAlreadyReplaced) {
    TProjects projects;
    projects.Categories.Add("New");
    THours hours;
    for (bool hoursExisted : {true, false}) {
        for (int failing = 0; failing < 3; ++failing) {
            Write("categories.dat", "Old\r\n");
            Write("projects.dat", Projects);
            if (hoursExisted)
                Write("Hours.dat", "d^h^old^\r\n");
            else
                fs::remove(FRoot + "/Hours.dat");
            TFileSetWriter::FailMoveForTesting(failing);
            EXPECT_THROW(SaveAll(projects, hours), EFCreateError) << failing;
            EXPECT_EQ(Read("categories.dat"), "Old\r\n") << failing;
            EXPECT_EQ(Read("projects.dat"), Projects) << failing;
            std::vector<std::string> expected{"categories.dat", "projects.dat"};
            if (hoursExisted) {
                EXPECT_EQ(Read("Hours.dat"), "d^h^old^\r\n") << failing;
                expected.insert(expected.begin(), "Hours.dat");
            }
            EXPECT_EQ(Files(), expected) << "no file added or left behind, failing " << failing;
        }
    }
    // Without a failure the new set is in place and nothing else.
    Write("Hours.dat", "d^h^old^\r\n");
    SaveAll(projects, hours);
    EXPECT_EQ(Read("categories.dat"), "New\r\n");
    EXPECT_EQ(Files(), (std::vector<std::string>{"Hours.dat", "categories.dat", "projects.dat"}));
}

namespace {
// The system's file calls, recorded ("flush Hours.dat.saving") and with one
// of them made to fail with a text of its own.
struct TRecordedCalls : TFileCalls {
    std::vector<std::string> Log;
    std::string FailCall;  // "create", "write", "flush" or "close"
    int FailOnFile = -1;   // the n-th file created (0-based)
    std::string FailText = "The device is not ready.";
    bool FullDisk = false;                                  // the failing file is written to /dev/full instead
    std::map<intptr_t, std::pair<int, std::string>> Files;  // open ones: number and name
    int Created = 0;

    static std::string Name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }
    bool Fails(const char* call, intptr_t file, std::string& error) {
        if (FullDisk || FailCall != call || Files[file].first != FailOnFile) return false;
        error = FailText;
        return true;
    }
    intptr_t Create(const std::string& path, std::string& error) override {
        int number = Created++;
        Log.push_back("create " + Name(path));
        if (FailCall == "create" && number == FailOnFile) {
            error = FailText;
            return -1;
        }
        intptr_t file = SystemFileCalls().Create(FullDisk && number == FailOnFile ? "/dev/full" : path, error);
        if (file != -1) Files[file] = {number, Name(path)};
        return file;
    }
    bool Write(intptr_t file, const std::string& bytes, std::string& error) override {
        Log.push_back("write " + Files[file].second);
        return !Fails("write", file, error) && SystemFileCalls().Write(file, bytes, error);
    }
    bool Flush(intptr_t file, std::string& error) override {
        Log.push_back("flush " + Files[file].second);
        return !Fails("flush", file, error) && SystemFileCalls().Flush(file, error);
    }
    bool Close(intptr_t file, std::string& error) override {
        Log.push_back("close " + Files[file].second);
        bool failing = Fails("close", file, error);
        std::string ignored;
        bool closed = SystemFileCalls().Close(file, failing ? ignored : error);
        Files.erase(file);
        return !failing && closed;
    }
    bool Move(const std::string& from, const std::string& to, std::string& error) override {
        Log.push_back("move " + Name(from) + " " + Name(to));
        return SystemFileCalls().Move(from, to, error);
    }
};

struct TCallsInstalled {
    explicit TCallsInstalled(TFileCalls* calls) { SetFileCallsForTesting(calls); }
    ~TCallsInstalled() { SetFileCallsForTesting(nullptr); }
};

// Saves with `calls` in place of the system's; the error's text, empty when
// the save went through.
std::string SaveError(TProjects& projects, THours& hours, TRecordedCalls& calls) {
    TCallsInstalled installed(&calls);
    try {
        SaveAll(projects, hours);
    } catch (const EFCreateError& e) {
        return e.Message();
    }
    return {};
}
}  // namespace

// Every new file is forced to the disk before the first of them replaces an
// old one, so that a power cut after a move never finds an empty file.
TEST_F(DataFolder, SaveForcesEveryFileToTheDiskBeforeAnyMove) {
    Write("projects.dat", Projects);
    TProjects projects;
    projects.Categories.Add("New");
    THours hours;
    TRecordedCalls calls;
    {
        TCallsInstalled installed(&calls);
        SaveAll(projects, hours);
    }
    EXPECT_EQ(Read("categories.dat"), "New\r\n");
    size_t firstMove = calls.Log.size();
    for (size_t i = 0; i < calls.Log.size(); ++i)
        if (calls.Log[i].rfind("move ", 0) == 0) firstMove = std::min(firstMove, i);
    ASSERT_LT(firstMove, calls.Log.size()) << "nothing was moved";
    for (const char* name : {"categories.dat.saving", "projects.dat.saving", "Hours.dat.saving"}) {
        auto at = [&](const std::string& call) {
            return std::find(calls.Log.begin(), calls.Log.end(), call + " " + name) - calls.Log.begin();
        };
        EXPECT_LT(at("write"), at("flush")) << name;
        EXPECT_LT(at("flush"), at("close")) << name;
        EXPECT_LT(at("close"), static_cast<long>(firstMove)) << name;
    }
}

// A failure in any call, on any of the three files, is reported with that
// call's own text, and leaves the old files as they were.
TEST_F(DataFolder, FailedSaveReportsTheFailingCallsText) {
    TProjects projects;
    projects.Categories.Add("New");
    THours hours;
    const char* names[] = {"categories.dat", "projects.dat", "Hours.dat"};
    for (const char* call : {"create", "write", "flush", "close"}) {
        for (int failing = 0; failing < 3; ++failing) {
            Write("categories.dat", "Old\r\n");
            Write("projects.dat", Projects);
            Write("Hours.dat", "d^h^old^\r\n");
            TRecordedCalls calls;
            calls.FailCall = call;
            calls.FailOnFile = failing;
            std::string message = SaveError(projects, hours, calls);
            EXPECT_EQ(message, "Cannot create file \"" + FRoot + "/" + names[failing] + "\". The device is not ready.")
                << call << " " << failing;
            EXPECT_TRUE(std::none_of(calls.Log.begin(), calls.Log.end(),
                                     [](const std::string& c) { return c.rfind("move ", 0) == 0; }))
                << call << " " << failing;
            EXPECT_TRUE(calls.Files.empty()) << "a file left open, " << call << " " << failing;
            EXPECT_EQ(Read("categories.dat"), "Old\r\n");
            EXPECT_EQ(Read("projects.dat"), Projects);
            EXPECT_EQ(Read("Hours.dat"), "d^h^old^\r\n");
            EXPECT_EQ(Files(), (std::vector<std::string>{"Hours.dat", "categories.dat", "projects.dat"}))
                << call << " " << failing;
        }
    }
}

// A disk that is really full: the text is the system's for that, whichever
// call meets it, not a stale one left over from an earlier call.
TEST_F(DataFolder, FullDiskIsReportedAsSuch) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Write("categories.dat", "Old\r\n");
    TProjects projects;
    projects.Categories.Add("New");
    THours hours;
    TRecordedCalls calls;
    calls.FullDisk = true;
    calls.FailOnFile = 0;
    std::string message = SaveError(projects, hours, calls);
    EXPECT_EQ(message, "Cannot create file \"" + FRoot + "/categories.dat\". " + SystemErrorText(ENOSPC));
    EXPECT_EQ(Read("categories.dat"), "Old\r\n");
}

TEST_F(DataFolder, UnreadableFileRaisesOpenError) {
    fs::create_directory(FRoot + "/Hours.dat");
    THours hours;
    try {
        hours.LoadHours();
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("Cannot open file \"" + FRoot + "/Hours.dat\". "), std::string::npos) << e.Message();
    }
}

TEST(ExamplePlan, LoadsAndIsInTheWriterFormat) {
    SetProgramFolderOverride(PLANDESK_EXAMPLES);
    TProjects projects;
    THours hours;
    projects.LoadCategories();
    projects.LoadProjects();
    hours.LoadHours();
    SetProgramFolderOverride("");
    EXPECT_EQ(projects.Categories.Count(), 2);
    EXPECT_GE(projects.Count(), 3);
    int done = 0, tasks = 0;
    for (int i = 0; i < projects.Count(); ++i) {
        EXPECT_GE(projects.Categories.IndexOf(projects.Project(i)->Category), 0);
        done += projects.Project(i)->DoneCount();
        tasks += projects.Project(i)->Tasks.Count();
    }
    EXPECT_GT(done, 0);
    EXPECT_GT(tasks, done);
    int opening = 0;
    for (int i = 0; i < hours.Count(); ++i)
        if (hours.Entry(i)->Day == "12/13/2007") ++opening;
    EXPECT_GE(opening, 3);
    auto file = [](const char* name) {
        return ReadFileIfExists(std::string(PLANDESK_EXAMPLES) + "/" + name).value_or("missing");
    };
    EXPECT_EQ(CategoriesToText(projects), file("categories.dat"));
    EXPECT_EQ(ProjectsToText(projects), file("Projects.dat"));
    EXPECT_EQ(HoursToText(hours), file("Hours.dat"));
}

// Read in one piece where the size is known, in pieces where it is not:
// every byte comes back, whatever the size.
TEST_F(DataFolder, FilesAreReadWholeAtAnySize) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{65536}, size_t{65537}, size_t{300001}}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
        const std::string path = FRoot + "/bytes.bin";
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::optional<std::string> read = ReadFileIfExists(path);
        ASSERT_TRUE(read.has_value()) << size;
        EXPECT_EQ(read->size(), size);
        EXPECT_TRUE(*read == bytes) << size;
    }
    EXPECT_FALSE(ReadFileIfExists(FRoot + "/none.bin").has_value());
}
