// The running-program benchmark writes its plans itself: they must be what
// the planner reads, and what it writes back on Save Changes, byte for byte.
#include <gtest/gtest.h>

#include <set>

#include "bench/running/PlanFiles.h"
#include "model/UProjects.h"

TEST(BenchmarkPlans, ReadAsGeneratedAndSavedByteForByte) {
    for (auto [projectCount, tasksEach] : {std::pair{100, 10}, std::pair{1, 10000}}) {
        TPlanFiles files = MakePlanFiles(projectCount, tasksEach);
        TProjects projects;
        CategoriesFromText(projects, files.Categories);
        ProjectsFromText(projects, files.Projects);
        THours hours;
        HoursFromText(hours, files.Hours);

        ASSERT_EQ(projects.Count(), projectCount);
        EXPECT_EQ(projects.Categories.Count(), std::min(projectCount, 10));
        int done = 0;
        for (int i = 0; i < projects.Count(); ++i) {
            ASSERT_EQ(projects.Project(i)->Tasks.Count(), tasksEach);
            done += projects.Project(i)->DoneCount();
        }
        EXPECT_EQ(done, projectCount * ((tasksEach + 2) / 3));
        // The project the benchmark selects: first child of the first category.
        EXPECT_EQ(projects.Project(0)->Category, projects.Categories.Strings(0));
        EXPECT_EQ(projects.Project(0)->Task(tasksEach - 1)->Description,
                  "Task " + std::to_string(tasksEach) + " of Project 1: follow up");

        ASSERT_EQ(hours.Count(), projectCount * tasksEach / 10);
        std::set<std::string> keys;
        for (int i = 0; i < hours.Count(); ++i) keys.insert(hours.Strings(i));
        EXPECT_EQ(keys.size(), static_cast<size_t>(hours.Count())) << "every hourly action has its own day and hour";

        EXPECT_EQ(CategoriesToText(projects), files.Categories);
        EXPECT_EQ(ProjectsToText(projects), files.Projects);
        EXPECT_EQ(HoursToText(hours), files.Hours);
    }
}
