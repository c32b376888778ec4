#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "ModelDump.h"
#include "TempFolder.h"
#include "core/Errors.h"
#include "model/PlanLoad.h"

namespace {

class PlanLoadFolder : public TempFolderTest {};

const char* const TwoProjects =
    "Header^Launch^Work^12/01/2007^12/31/2007^\r\n"
    "^True^,^Buy the domain^^ name^,^two years^,^12/03/2007^,^  /  /    ^\r\n"
    "^False^,^Print^,^^,^^,^^\r\n"
    "EndProject\r\n"
    "Header^Garden^Home^^^\r\n"
    "EndProject\r\n";

}  // namespace

// The thread gives what the text readers give on the main thread: the same plan,
// and the texts exactly as the files hold them.
TEST_F(PlanLoadFolder, GivesThePlanAndTheTextsAsRead) {
    const std::string categories = "Work\r\nHome\r\n";
    const std::string hourLines = "12/13/2007^9:00 AM^Call the printer^\r\n12/14/2007^1:00 PM^Lunch^\r\n";
    Write("categories.dat", categories);
    Write("Projects.dat", TwoProjects);
    Write("Hours.dat", hourLines);
    TLoadedPlan plan = TPlanLoad(Folder).Take();

    TProjects projects;
    THours hours;
    CategoriesFromText(projects, categories);
    ProjectsFromText(projects, TwoProjects);
    HoursFromText(hours, hourLines);

    EXPECT_EQ(Dump(*plan.Projects), Dump(projects));
    EXPECT_EQ(plan.Hours->Count(), 2);
    EXPECT_EQ(Dump(*plan.Hours), Dump(hours));
    EXPECT_EQ(plan.Texts.Categories, categories);
    EXPECT_EQ(plan.Texts.Projects, TwoProjects);
    EXPECT_EQ(plan.Texts.Hours, hourLines);
    EXPECT_FALSE(plan.HoursError || plan.CategoriesError || plan.ProjectsError);
}

// Missing files read as empty; a file that cannot be read keeps its error
// for the taker and leaves the other files read.
TEST_F(PlanLoadFolder, MissingFilesAreEmptyAndAnUnreadableOneKeepsItsError) {
    TLoadedPlan empty = TPlanLoad(Folder).Take();
    EXPECT_EQ(empty.Projects->Count(), 0);
    EXPECT_EQ(empty.Projects->Categories.Count(), 0);
    EXPECT_EQ(empty.Hours->Count(), 0);
    EXPECT_EQ(empty.Texts, TPlanBytes{});
    EXPECT_FALSE(empty.HoursError || empty.CategoriesError || empty.ProjectsError);

    std::filesystem::create_directory(Folder + "Hours.dat");
    Write("categories.dat", "Work\r\n");
    Write("Projects.dat", TwoProjects);
    TLoadedPlan plan = TPlanLoad(Folder).Take();
    ASSERT_TRUE(plan.HoursError);
    EXPECT_FALSE(plan.CategoriesError || plan.ProjectsError);
    EXPECT_THROW(RethrowIfAny(plan.HoursError), EFOpenError);
    EXPECT_NO_THROW(RethrowIfAny(plan.ProjectsError));
    EXPECT_EQ(plan.Texts.Hours, "");
    EXPECT_EQ(plan.Projects->Count(), 2);
    EXPECT_EQ(plan.Projects->Categories.Count(), 1);
}

// A load nobody takes is waited for when it goes.
TEST_F(PlanLoadFolder, ALoadNotTakenEndsWithItsOwner) {
    Write("Projects.dat", TwoProjects);
    for (int i = 0; i < 20; ++i) TPlanLoad load(Folder);
}

// In two steps: the outline holds the projects with their headers and no
// task until the tasks are asked for; then the same plan as in one step,
// with the texts, and the taker told once the tasks are in.
TEST_F(PlanLoadFolder, TheOutlineComesWithoutTasksAndTheTasksWhenAskedFor) {
    const std::string projectLines = std::string(TwoProjects) +
                                     "^True^,^outside^,^^,^^,^^\n"
                                     "Header^Short^\rHeader^Third^Home^a^b^\r"
                                     "^False^,^lone^^r break^,^^,^^,^^\r \r\n"
                                     "^True^,^after a blank^,^n^,^^,^^\nEndProject";
    Write("categories.dat", "Work\r\n");
    Write("Projects.dat", projectLines);
    TPlanLoad load(Folder);
    TLoadedPlan outline = load.TakeOutline();
    ASSERT_EQ(outline.Projects->Count(), 3);
    EXPECT_EQ(outline.Projects->Project(0)->Name, "Launch");
    EXPECT_EQ(outline.Projects->Project(2)->EndDate, "b");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(outline.Projects->Project(i)->Tasks.Count(), 0);
    EXPECT_EQ(outline.Projects->Categories.Count(), 1);
    EXPECT_EQ(outline.Texts, TPlanBytes{});

    std::atomic<int> told{0};
    load.WhenTasksRead([&] { ++told; });
    TPlanTasksRead tasks = load.FinishTasks();
    EXPECT_EQ(told.load(), 1);
    EXPECT_FALSE(tasks.TasksError);
    EXPECT_EQ(tasks.Texts.Projects, projectLines);

    TProjects oneStep;
    CategoriesFromText(oneStep, "Work\r\n");
    ProjectsFromText(oneStep, projectLines);
    EXPECT_EQ(Dump(*outline.Projects), Dump(oneStep));
    ASSERT_EQ(outline.Projects->Project(2)->Tasks.Count(), 2);
    EXPECT_EQ(outline.Projects->Project(2)->Task(0)->Description, "lone\r break");

    // Told at once when the tasks are already in.
    load.WhenTasksRead([&] { ++told; });
    EXPECT_EQ(told.load(), 2);
}

// A load whose tasks nobody asks for ends with its owner, outline taken or not.
TEST_F(PlanLoadFolder, TasksNobodyAsksForDoNotHoldTheOwnerUp) {
    Write("Projects.dat", TwoProjects);
    for (int i = 0; i < 20; ++i) {
        TPlanLoad load(Folder);
        TLoadedPlan outline = load.TakeOutline();
        EXPECT_EQ(outline.Projects->Count(), 2);
    }
}
