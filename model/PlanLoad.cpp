#include "model/PlanLoad.h"

#include <optional>
#include <utility>

#include "core/FileIO.h"

namespace {

// Reads the file `name` of `folder` into `text` and parses it with `parse`;
// whatever is raised is kept in `error` for the thread that takes the plan.
template <class Parse>
void ReadPart(const std::string& folder, const char* name, std::string& text, std::exception_ptr& error,
              Parse&& parse) {
    try {
        std::optional<std::string> file = ReadFileIfExists(ResolveFileName(folder, name));
        if (!file) return;
        text = std::move(*file);
        parse(text);
    } catch (...) {
        error = std::current_exception();
    }
}

}  // namespace

TPlanLoad::TPlanLoad(std::string folder) {
    FThread = std::thread([this, folder = std::move(folder)] { Read(folder); });
}

TPlanLoad::~TPlanLoad() {
    {
        // Tasks nobody will take are not read.
        std::lock_guard<std::mutex> lock(FMutex);
        FCancelled = true;
    }
    FChanged.notify_all();
    if (FThread.joinable()) FThread.join();
}

void TPlanLoad::Read(const std::string& folder) {
    TLoadedPlan& p = FPlan;
    ReadPart(folder, HoursFileName, p.Texts.Hours, p.HoursError,
             [&](const std::string& text) { HoursFromText(*p.Hours, text); });
    ReadPart(folder, CategoriesFileName, p.Texts.Categories, p.CategoriesError,
             [&](const std::string& text) { CategoriesFromText(*p.Projects, text); });
    ReadPart(folder, ProjectsFileName, p.Texts.Projects, p.ProjectsError,
             [&](const std::string& text) { FOutline = OutlineProjectsFromText(*p.Projects, text); });
    // The outline's projects may be handed over now: from here on this
    // thread touches only their task lists and the projects' text.
    bool cancelled;
    {
        std::unique_lock<std::mutex> lock(FMutex);
        FOutlined = true;
        FChanged.notify_all();
        FChanged.wait(lock, [this] { return FTasksWanted || FCancelled; });
        cancelled = FCancelled;
    }
    try {
        if (!cancelled)
            for (const TProjectTaskLines& project : FOutline) TasksFromText(*project.Project, project.Lines);
    } catch (...) {
        FTasksError = std::current_exception();
    }
    FOutline.clear();
    std::function<void()> done;
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FTasksRead = true;
        done = std::move(FDone);
    }
    if (done) done();
}

TLoadedPlan TPlanLoad::TakeOutline() {
    std::unique_lock<std::mutex> lock(FMutex);
    FChanged.wait(lock, [this] { return FOutlined; });
    TLoadedPlan outline;
    outline.Projects = std::move(FPlan.Projects);
    outline.Hours = std::move(FPlan.Hours);
    outline.HoursError = FPlan.HoursError;
    outline.CategoriesError = FPlan.CategoriesError;
    outline.ProjectsError = FPlan.ProjectsError;
    return outline;
}

void TPlanLoad::WhenTasksRead(std::function<void()> done) {
    {
        std::lock_guard<std::mutex> lock(FMutex);
        if (!FTasksRead) {
            FDone = std::move(done);
            return;
        }
    }
    done();
}

void TPlanLoad::StartTasks() {
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FTasksWanted = true;
    }
    FChanged.notify_all();
}

TPlanTasksRead TPlanLoad::FinishTasks() {
    StartTasks();
    if (FThread.joinable()) FThread.join();
    return {std::move(FPlan.Texts), FTasksError};
}

TLoadedPlan TPlanLoad::Take() {
    TLoadedPlan plan = TakeOutline();
    TPlanTasksRead tasks = FinishTasks();
    plan.Texts = std::move(tasks.Texts);
    if (!plan.ProjectsError) plan.ProjectsError = tasks.TasksError;
    return plan;
}

void RethrowIfAny(const std::exception_ptr& error) {
    if (error) std::rethrow_exception(error);
}
