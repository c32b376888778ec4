#pragma once
// The plan's three data files read and parsed on a thread of their own. The
// main window starts it before it builds its controls, which mostly wait on
// the window system, so that a large plan is parsed by the time the window
// asks for it.
#include <exception>
#include <memory>
#include <string>
#include <thread>

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

class TPlanLoad {
public:
    // Starts reading the data files in `folder` (ending in a separator).
    explicit TPlanLoad(std::string folder);
    // Waits for the reading when nobody did.
    ~TPlanLoad();
    TPlanLoad(const TPlanLoad&) = delete;
    TPlanLoad& operator=(const TPlanLoad&) = delete;

    // Waits for the reading and hands its result over (once).
    TLoadedPlan Take();

private:
    TLoadedPlan FPlan;
    std::thread FThread;
};

// Rethrows `error` when there is one.
void RethrowIfAny(const std::exception_ptr& error);
