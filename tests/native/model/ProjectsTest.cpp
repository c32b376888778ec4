#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "ModelDump.h"
#include "SamplePlan.h"
#include "model/UProjects.h"

namespace {
const std::string ExampleCategories = kSampleCategories;
const std::string ExampleProjects = kSamplePlan;
const std::string ExampleHours = kSampleHours;

TProject* AddProject(TProjects& projects, const std::string& name, const std::string& category = "Work") {
    auto* p = new TProject;
    p->Name = name;
    p->Category = category;
    projects.AddObject(name, p);
    return p;
}

void AddTasks(TProject& p, int done, int open) {
    for (int i = 0; i < done + open; ++i) p.Tasks.AddObject("t", new TTask(i < done, "t", "", "", ""));
}

int ProgressOf(int done, int count) {
    TProject p;
    AddTasks(p, done, count - done);
    return p.Progress();
}

// The name of the one project of one task that `text` reads as; what was
// read instead when it is not so.
std::string SingleProjectName(const std::string& text) {
    TProjects projects;
    ProjectsFromText(projects, text);
    if (projects.Count() != 1) return std::to_string(projects.Count()) + " projects";
    if (projects.Project(0)->Tasks.Count() != 1) return std::to_string(projects.Project(0)->Tasks.Count()) + " tasks";
    return projects.Project(0)->Name;
}
}  // namespace

TEST(ProjectFiles, WorkedExampleReadsAsDescribed) {
    TProjects projects;
    CategoriesFromText(projects, ExampleCategories);
    ProjectsFromText(projects, ExampleProjects);
    ASSERT_EQ(projects.Categories.Count(), 2);
    EXPECT_EQ(projects.Categories.Strings(1), "Home");
    EXPECT_EQ(projects.Categories.IndexOf("work"), 0);

    ASSERT_EQ(projects.Count(), 2);
    TProject* launch = projects.Project(0);
    EXPECT_EQ(projects.Strings(0), "Product launch");
    EXPECT_EQ(launch->Category, "Work");
    EXPECT_EQ(launch->StartDate, "12/01/2007");
    EXPECT_EQ(launch->EndDate, "12/31/2007");
    ASSERT_EQ(launch->Tasks.Count(), 2);
    EXPECT_TRUE(launch->Task(0)->Done);
    EXPECT_EQ(launch->Tasks.Strings(0), "Purchase Domain Name");
    EXPECT_EQ(launch->Task(0)->Notes, "bought for two years");
    EXPECT_EQ(launch->Task(0)->EndDate, "12/03/2007");
    EXPECT_FALSE(launch->Task(1)->Done);
    EXPECT_EQ(launch->Task(1)->Notes, "");
    EXPECT_EQ(launch->Task(1)->StartDate, "  /  /    ");
    EXPECT_EQ(launch->Progress(), 50);
    TProject* garden = projects.Project(1);
    EXPECT_EQ(garden->Name, "Garden");
    EXPECT_EQ(garden->Category, "Home");
    EXPECT_EQ(garden->StartDate, "");
    EXPECT_EQ(garden->EndDate, "");
    EXPECT_EQ(garden->Tasks.Count(), 0);

    THours hours;
    HoursFromText(hours, ExampleHours);
    ASSERT_EQ(hours.Count(), 3);
    EXPECT_EQ(hours.Strings(1), "12/13/2007-12:00 M");
    EXPECT_EQ(hours.Entry(1)->Action, "Lunch with suppliers");
    EXPECT_EQ(hours.IndexOf("12/14/2007-3:00 pm"), 2);

    EXPECT_EQ(CategoriesToText(projects), ExampleCategories);
    EXPECT_EQ(ProjectsToText(projects), ExampleProjects);
    EXPECT_EQ(HoursToText(hours), ExampleHours);
}

TEST(ProjectFiles, ModelBuiltInMemoryIsWrittenInTheDocumentedFormat) {
    TProjects projects;
    TProject* p = AddProject(projects, "Taxes, 2007", "Home");
    p->StartDate = "01/02/2008";
    p->EndDate = "  /  /    ";
    p->Tasks.AddObject("key differs", new TTask(true, "Forms, receipts", "  spaced, with commas  ", "", "x"));
    AddProject(projects, "", "");
    EXPECT_EQ(ProjectsToText(projects),
              "Header^Taxes, 2007^Home^01/02/2008^  /  /    ^\r\n"
              "^True^,^Forms, receipts^,^  spaced, with commas  ^,^^,^x^\r\n"
              "EndProject\r\n"
              "Header^^^^^\r\n"
              "EndProject\r\n");
    TProjects empty;
    EXPECT_EQ(ProjectsToText(empty), "");
    EXPECT_EQ(CategoriesToText(empty), "");
    THours hours;
    EXPECT_EQ(HoursToText(hours), "");
    hours.AddObject("k", new TToDoHour("", "", ""));
    EXPECT_EQ(HoursToText(hours), "^^^\r\n");
}

TEST(ProjectFiles, SeparatorsLineBreaksAndMarkersInTaskTextsRoundTrip) {
    TProjects projects;
    TProject* p = AddProject(projects, "P");
    const std::vector<std::string> texts = {"a^b",
                                            "^",
                                            "^^",
                                            "a^,b",
                                            "x^",
                                            "EndProject",
                                            "Header^x^y",
                                            "one\r\ntwo",
                                            "cr\rlf\n",
                                            "^r^n^0",
                                            std::string("nul\0", 4),
                                            "\r\n",
                                            " lead, trail ",
                                            "\xe9\xff"};
    for (const std::string& t : texts) p->Tasks.AddObject(t, new TTask(false, t, t, t, t));
    std::string text = ProjectsToText(projects);
    // Every task stays on one line.
    int lines = 0;
    for (size_t i = text.find("\r\n"); i != std::string::npos; i = text.find("\r\n", i + 2)) ++lines;
    EXPECT_EQ(lines, static_cast<int>(texts.size()) + 2);
    EXPECT_NE(text.find("^a^^^^b^,^"), std::string::npos);
    EXPECT_NE(text.find("^,^one^^r^^ntwo^,^"), std::string::npos);

    TProjects back;
    ProjectsFromText(back, text);
    EXPECT_EQ(Dump(back), Dump(projects));
}

TEST(ProjectFiles, DoubledCaretOfOlderFilesStillReadsAsOneCaret) {
    TProjects projects;
    ProjectsFromText(projects, "Header^P^^^^\r\n^True^,^a^^b^,^x^^^,^^,^^\r\nEndProject\r\n");
    ASSERT_EQ(projects.Count(), 1);
    EXPECT_EQ(projects.Project(0)->Task(0)->Description, "a^b");
    EXPECT_EQ(projects.Project(0)->Task(0)->Notes, "x^");
}

TEST(ProjectFiles, DoneOnlyForTrueInThatCase) {
    TProjects projects;
    ProjectsFromText(projects,
                     "Header^P^^^^\r\n"
                     "^False^,^^,^^,^^,^^\r\n"
                     "^true^,^a^,^^,^^,^^\r\n"
                     "True,b,,,\r\n"
                     "EndProject\r\n");
    TProject* p = projects.Project(0);
    ASSERT_EQ(p->Tasks.Count(), 3);
    EXPECT_FALSE(p->Task(0)->Done);
    EXPECT_EQ(p->Task(0)->Description + p->Task(0)->Notes + p->Task(0)->StartDate + p->Task(0)->EndDate, "");
    EXPECT_FALSE(p->Task(1)->Done);
    EXPECT_TRUE(p->Task(2)->Done);
    EXPECT_EQ(p->Task(2)->Description, "b");
    EXPECT_EQ(p->DoneCount(), 1);
}

TEST(ProjectFiles, BlankLinesAreSkippedExceptInCategories) {
    EXPECT_EQ(SingleProjectName("\r\n  \t\r\nHeader^P^C^^^\n\n^True^,^t^,^^,^^,^^\r \t \rEndProject\r\n\r\n"), "P");
    THours hours;
    HoursFromText(hours, "\r\n \r\nd^h^a^\r\n\t\r\n");
    EXPECT_EQ(hours.Count(), 1);
    TProjects projects;
    CategoriesFromText(projects, "a\r\n\r\n  \r\nb");
    ASSERT_EQ(projects.Categories.Count(), 4);
    EXPECT_EQ(projects.Categories.Strings(1), "");
    EXPECT_EQ(projects.Categories.Strings(2), "  ");
}

TEST(ProjectFiles, MalformedLinesAreSkippedAndTheRestIsKept) {
    TProjects projects;
    ProjectsFromText(projects,
                     "^True^,^orphan^,^^,^^,^^\r\n"  // task before any header
                     "EndProject\r\n"                // end before any header
                     "Header^A^C^^^\r\n"
                     "^True^,^a1^,^^,^^,^^\r\n"
                     "^True^,^short^,^^\r\n"  // fewer than five fields
                     "garbage\r\n"
                     "xEndProject\r\n"  // not an end line
                     "^False^,^Header^^ and EndProject^,^^,^^,^^\r\n"
                     " EndProject \r\n"
                     "EndProject\r\n"  // a second end adds nothing
                     "^True^,^after end^,^^,^^,^^\r\n"
                     "Header^Lost^C^^^\r\n"  // no end line
                     "^True^,^lost^,^^,^^,^^\r\n"
                     "Header^Short^\r\n"  // too few fields
                     "^True^,^of short^,^^,^^,^^\r\n"
                     "EndProject\r\n"
                     "Header^B^C^1^2^extra^\r\n"
                     "EndProject\r\n"
                     "Header^Unended^C^^^\r\n");
    ASSERT_EQ(projects.Count(), 2);
    TProject* a = projects.Project(0);
    EXPECT_EQ(a->Name, "A");
    ASSERT_EQ(a->Tasks.Count(), 2);
    EXPECT_EQ(a->Task(0)->Description, "a1");
    EXPECT_EQ(a->Task(1)->Description, "Header^ and EndProject");
    EXPECT_EQ(projects.Project(1)->Name, "B");
    EXPECT_EQ(projects.Project(1)->EndDate, "2");

    THours hours;
    HoursFromText(hours, "d^h^\r\nd^h^a^extra^\r\nonly\r\nd2^h2^^\r\n");
    ASSERT_EQ(hours.Count(), 2);
    EXPECT_EQ(hours.Entry(0)->Action, "a");
    EXPECT_EQ(hours.Strings(1), "d2-h2");
    EXPECT_EQ(hours.Entry(1)->Action, "");
}

TEST(ProjectModel, ProgressRoundsHalvesToEven) {
    const int cases[][3] = {  // done, count, percent
        {0, 0, 0}, {0, 5, 0}, {7, 7, 100}, {1, 8, 12}, {3, 8, 38}, {5, 8, 62},
        {7, 8, 88}, {1, 3, 33}, {2, 3, 67}, {1, 40, 2}, {59, 200, 29},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressOf(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

TEST(ProjectModel, ProgressMatchesExtendedPrecisionEvaluation) {
    if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "no 64-bit mantissa here";
    for (int count = 1; count <= 400; ++count) {
        TProject p;
        AddTasks(p, 0, count);
        for (int done = 0; done <= count; ++done) {
            if (done > 0) p.Task(done - 1)->Done = true;
            volatile long double ratio = static_cast<long double>(done) / count;
            long double expected = std::nearbyint(ratio * 100.0L);
            ASSERT_EQ(p.Progress(), static_cast<int>(expected)) << done << "/" << count;
        }
    }
}

TEST(ProjectModel, FindProjectByNameIsExactAndReturnsTheFirst) {
    TProjects projects;
    AddProject(projects, "Alpha");
    TProject* first = AddProject(projects, "Same");
    TProject* second = AddProject(projects, "Same");
    projects.SetString(2, "renamed key only");
    second->Name = "Other";
    AddProject(projects, "Same");
    int index = -7;
    EXPECT_EQ(projects.FindProjectByName("Same", index), first);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(projects.FindProjectByName("Other", index), second);
    EXPECT_EQ(index, 2);
    index = -7;
    EXPECT_EQ(projects.FindProjectByName("same", index), nullptr);
    EXPECT_EQ(projects.FindProjectByName("renamed key only", index), nullptr);
    EXPECT_EQ(index, -7);
}

TEST(ProjectModel, ClearTasksEmptiesTheList) {
    TProject p;
    AddTasks(p, 2, 1);
    EXPECT_EQ(p.DoneCount(), 2);
    p.ClearTasks();
    EXPECT_EQ(p.Tasks.Count(), 0);
    EXPECT_EQ(p.Progress(), 0);
}

TEST(Validation, RefusesSeparatorsLineBreaksAndNulInLineFields) {
    EXPECT_EQ(ValidateProjectTexts("Launch, phase 2", "Work", "12/01/2007", "  /  /    "), "");
    EXPECT_EQ(ValidateProjectTexts("a^b", "Work", "", ""), "The project name cannot contain the character \"^\".");
    EXPECT_EQ(ValidateProjectTexts("ok", "W^", "", ""), "The category cannot contain the character \"^\".");
    EXPECT_EQ(ValidateProjectTexts("ok", "W", "1\n", ""), "The start date cannot contain line breaks.");
    EXPECT_EQ(ValidateProjectTexts("ok", "W", "", std::string(1, '\0')), "The end date cannot contain NUL characters.");
    EXPECT_EQ(ValidateCategoryName("EndProject"), "");
    EXPECT_EQ(ValidateCategoryName("two\rlines"), "The category name cannot contain line breaks.");
    EXPECT_EQ(ValidateHourTexts("12/13/2007", "9:00 AM", "Call, then write"), "");
    EXPECT_EQ(ValidateHourTexts("12/13/2007", "9:00 AM", "5^2"), "The action cannot contain the character \"^\".");
    EXPECT_EQ(ValidateHourTexts("1^", "9:00 AM", "x"), "The day cannot contain the character \"^\".");
    EXPECT_FALSE(IsStorableFieldText("Header^"));
    EXPECT_TRUE(IsStorableFieldText("EndProject \xff"));
}

TEST(Projects, AddedObjectsAreOwnedAndFreedOnRemoval) {
    static int freed = 0;
    freed = 0;
    struct CountedTask : TTask {
        using TTask::TTask;
        ~CountedTask() override { ++freed; }
    };
    struct CountedProject : TProject {
        ~CountedProject() override { ++freed; }
    };
    struct CountedHour : TToDoHour {
        using TToDoHour::TToDoHour;
        ~CountedHour() override { ++freed; }
    };
    {
        TProjects projects;
        auto made = std::make_unique<CountedProject>();
        made->Name = "Plan";
        TProject* p = projects.AddProject(std::move(made));
        EXPECT_EQ(projects.Strings(0), "Plan");
        p->AddTask(std::make_unique<CountedTask>(false, "one", "", "", ""));
        p->AddTask(std::make_unique<CountedTask>(true, "two", "", "", ""));
        EXPECT_EQ(p->Tasks.Strings(1), "two");
        p->DeleteTask(0);
        EXPECT_EQ(freed, 1);
        ASSERT_EQ(p->Tasks.Count(), 1);
        EXPECT_EQ(p->Task(0)->Description, "two");
        projects.DeleteProject(0);
        EXPECT_EQ(freed, 3);  // the project and its remaining task
        EXPECT_EQ(projects.Count(), 0);

        THours hours;
        hours.AddEntry(std::make_unique<CountedHour>("1/2/2007", "9:00 AM", "call"));
        EXPECT_EQ(hours.Strings(0), "1/2/2007-9:00 AM");
        hours.AddEntry(std::make_unique<CountedHour>("1/2/2007", "10:00 AM", "mail"));
        hours.DeleteEntry(0);
        EXPECT_EQ(freed, 4);
    }
    EXPECT_EQ(freed, 5);  // what the table still held went with it
}

// A header of four fields is not a full header: it starts no project, and
// the task and end lines after it belong to none.
TEST(ProjectFiles, AHeaderOfFourFieldsStartsNoProject) {
    TProjects projects;
    ProjectsFromText(projects, "Header^A^B^C^\r\n^True^,^t^,^^,^^,^^\r\nEndProject\r\n");
    EXPECT_EQ(projects.Count(), 0);
    // Five fields do.
    ProjectsFromText(projects, "Header^A^B^C^D^\r\n^True^,^t^,^^,^^,^^\r\nEndProject\r\n");
    ASSERT_EQ(projects.Count(), 1);
    EXPECT_EQ(projects.Project(0)->EndDate, "D");
}

// Marker lines with spaces around them, each on its own: the spaced end
// line alone must end the project, the spaced header alone must start one.
TEST(ProjectFiles, SpacedMarkerLinesCountOnTheirOwn) {
    EXPECT_EQ(SingleProjectName("Header^P^C^^^\r\n^True^,^t^,^^,^^,^^\r\n  EndProject \r\n"), "P");
    EXPECT_EQ(SingleProjectName("\t Header^Q^C^^^\r\n^False^,^u^,^^,^^,^^\r\nEndProject\r\n"), "Q");
}
