#pragma once
// The plan's three data files read and parsed on a thread of their own. The
// main window starts it before it builds its controls, which mostly wait on
// the window system. The projects come first without their tasks, which is
// all the window shows at first; the tasks follow on the same thread when
// the window asks for them, once it has painted, so that their reading does
// not compete with the window's first paint for the processor.
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/PlanSafety.h"
#include "model/UProjects.h"

// What reading gave: the parsed plan, the files' texts as read (a missing
// file as empty), and for each file the error that stopped its reading or
// parsing, the plan then holding what was parsed before it.
struct TLoadedPlan {
    std::unique_ptr<TProjects> Projects = std::make_unique<TProjects>();
    std::unique_ptr<THours> Hours = std::make_unique<THours>();
    TPlanBytes Texts;
    std::exception_ptr HoursError, CategoriesError, ProjectsError;
};

// What the second step gives: the texts as read and what stopped the tasks.
struct TPlanTasksRead {
    TPlanBytes Texts;
    std::exception_ptr TasksError;
};

class TPlanLoad {
public:
    // Starts reading the data files in `folder` (ending in a separator).
    explicit TPlanLoad(std::string folder);
    // Waits for the reading when nobody did.
    ~TPlanLoad();
    TPlanLoad(const TPlanLoad&) = delete;
    TPlanLoad& operator=(const TPlanLoad&) = delete;

    // Waits for the whole reading and hands its result over (once).
    TLoadedPlan Take();

    // In two steps. First the plan without tasks and the errors of reading
    // the files, Texts left empty: the projects' tasks are being added on
    // the reading thread, so until FinishTasks the taker may read the
    // projects' other fields and the list, but must neither change nor free
    // them.
    TLoadedPlan TakeOutline();
    // Lets the thread go on to the tasks.
    void StartTasks();
    // `done` is called once the tasks are in, on the reading thread (or at
    // once on this one when they already are).
    void WhenTasksRead(std::function<void()> done);
    // Waits for the tasks (starting them when nobody did); then the plan is
    // the taker's alone.
    TPlanTasksRead FinishTasks();

private:
    void Read(const std::string& folder);

    TLoadedPlan FPlan;
    std::exception_ptr FTasksError;
    std::vector<TProjectTaskLines> FOutline;
    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FOutlined = false, FTasksWanted = false, FCancelled = false, FTasksRead = false;
    std::function<void()> FDone;
    std::thread FThread;
};

// Rethrows `error` when there is one.
void RethrowIfAny(const std::exception_ptr& error);
