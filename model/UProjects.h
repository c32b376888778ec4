#pragma once
// The planner's data in memory: categories, projects with their tasks, and
// the hourly actions of the calendar; their three data files in the
// program's folder.
//
// Ownership: a project owns its tasks, TProjects its projects and THours
// its entries. They are added and removed through the functions below,
// which take and free the objects; whatever is still held when a list is
// destroyed is freed with it.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/StringList.h"

// The data files' names in the program's folder.
inline constexpr const char* CategoriesFileName = "categories.dat";
inline constexpr const char* ProjectsFileName = "Projects.dat";
inline constexpr const char* HoursFileName = "Hours.dat";

class TTask : public TObject {
public:
    TTask(bool done, std::string description, std::string notes, std::string startDate, std::string endDate);

    bool Done;
    std::string Description;
    std::string Notes;  // may hold line breaks
    std::string StartDate;
    std::string EndDate;
};

class TProject : public TObject {
public:
    TProject() = default;
    TProject(const TProject&) = delete;
    TProject& operator=(const TProject&) = delete;

    // Frees every task, then empties Tasks.
    void ClearTasks();
    int DoneCount() const;
    // Percentage of done tasks, 0 to 100; 0 without tasks.
    int Progress() const;
    TTask* Task(int index) const { return Tasks.Item(index); }
    // Appends a task under its description; the project owns it from now on.
    TTask* AddTask(std::unique_ptr<TTask> task);
    // Removes and frees the task at `index`.
    void DeleteTask(int index);

    std::string Name;
    TOwnedList<TTask> Tasks;  // (description when added, TTask)
    std::string Category;
    std::string StartDate;
    std::string EndDate;
};

// The project collection: entries (project name, TProject).
class TProjects : public TOwnedList<TProject> {
public:
    TProject* Project(int index) const { return Item(index); }
    // Appends a project under its name; the collection owns it from now on.
    TProject* AddProject(std::unique_ptr<TProject> project);
    // Removes and frees the project at `index`.
    void DeleteProject(int index);

    // The first project whose Name equals `name` exactly (case-sensitive), and
    // its index; null when there is none, and `index` is then left alone.
    TProject* FindProjectByName(const std::string& name, int& index) const;

    // "categories.dat" and "projects.dat" in ProgramFolder(). Loading a file
    // that does not exist does nothing; one that cannot be read raises
    // EFOpenError. Loading categories replaces the list, loading projects
    // appends. Saving replaces the file through a temporary file and raises
    // EFCreateError on failure, leaving the old file as it was.
    void LoadCategories();
    void LoadProjects();
    void SaveCategories() const;
    void SaveProjects() const;

    TStringList Categories;  // category names, no objects
};

class TToDoHour : public TObject {
public:
    TToDoHour(std::string day, std::string hour, std::string action);

    std::string Day;   // the calendar date in the short date format
    std::string Hour;  // the hour row's label, e.g. 9:00 AM
    std::string Action;
};

// The hourly actions: entries (day + "-" + hour, TToDoHour).
class THours : public TOwnedList<TToDoHour> {
public:
    TToDoHour* Entry(int index) const { return Item(index); }
    // Appends an entry under day + "-" + hour; the table owns it from now on.
    TToDoHour* AddEntry(std::unique_ptr<TToDoHour> entry);
    // Removes and frees the entry at `index`.
    void DeleteEntry(int index);

    // "Hours.dat" in ProgramFolder(), as for TProjects; loading appends.
    void LoadHours();
    void SaveHours() const;
};

// Writes categories, projects and hours together: all three go to temporary
// files first and replace the old files only when every one was written, so
// a failure (EFCreateError) leaves the old set intact.
void SaveAll(const TProjects& projects, const THours& hours);

// The file contents without the files. The readers follow the rules of the
// Load functions above (projects and hours are appended).
std::string CategoriesToText(const TProjects& projects);
void CategoriesFromText(TProjects& projects, const std::string& text);
std::string ProjectsToText(const TProjects& projects);
void ProjectsFromText(TProjects& projects, const std::string& text);

// ProjectsFromText in two steps, for a reader that wants the projects before
// their tasks: the outline appends every project the text holds, without its
// tasks, and answers where each one's task lines are (views into `text`);
// TasksFromText then appends a project's tasks from those lines.
struct TProjectTaskLines {
    TProject* Project;
    std::string_view Lines;
};
std::vector<TProjectTaskLines> OutlineProjectsFromText(TProjects& projects, std::string_view text);
void TasksFromText(TProject& project, std::string_view lines);
std::string HoursToText(const THours& hours);
void HoursFromText(THours& hours, const std::string& text);

// Checks for the edit dialogs. Names, categories, dates, days, hours and
// actions are stored between "^" separators on one line, so "^", line
// breaks and NUL cannot be kept in them; each check answers an empty text
// when the texts can be stored, else the message that refuses them. Task
// texts need no check: every byte of them is stored and read back exactly.
bool IsStorableFieldText(const std::string& text);
std::string ValidateProjectTexts(const std::string& name, const std::string& category, const std::string& startDate,
                                 const std::string& endDate);
std::string ValidateCategoryName(const std::string& name);
std::string ValidateHourTexts(const std::string& day, const std::string& hour, const std::string& action);
