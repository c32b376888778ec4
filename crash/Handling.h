#pragma once
// The handling sequence shared by the reporter's Win32 parts: one failure at
// a time, reported by a worker thread while the failing thread waits.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "crash/Options.h"

struct TFailure {
    std::string Class, Message;
    uint64_t Address = 0;         // where it was raised; 0: the stack's top
    std::vector<uint64_t> Stack;  // return addresses, innermost first
    std::vector<std::pair<std::string, std::string>> Registers;
    DWORD ThreadId = 0;
};

// The report work for one failure, run by the worker thread (TExceptionThread).
struct TWork {
    TFailure* Failure;
    bool Result = true;
    std::string InternalError;  // set when the work could not be completed
    // Set once the report is built and saved. A worker that never gets there
    // is stuck (typically on a lock the failing thread holds, such as the
    // heap's) and is given up.
    std::atomic<bool> Saved{false};
};
void RunReportWork(TWork& work);
// The hook RunReportWork calls between saving the report and the dialog.
extern std::atomic<void (*)()> g_beforeDialog;

// Reports `failure`; false when it was reported (or deliberately not, for a
// listed class), true when the caller's own handling should go on.
bool HandleFailure(TFailure& failure);

// Runs `work` on the failing thread while it waits for the worker, when the
// failing thread is the main thread; else on the calling thread.
void RunOnFailingThread(const std::function<void()>& work);

// "[ERROR] - Section: %s - Address: %s - Message: "%s"": a failure of the
// reporter itself.
std::string InternalErrorText(const char* section, uint64_t address, const std::string& message);

// Failures while installing (hooks that could not be set), shown in every
// report.
void AddInstallWarning(const std::string& text);
std::vector<std::string> InstallWarnings();

// The options stored in the program's own resources (the defaults without).
TVesperModuleOptions StoredProgramOptions();

// Register values of a context as report items.
std::vector<std::pair<std::string, std::string>> RegisterItems(const CONTEXT& context);

DWORD MainThreadId();
std::string ProgramFile();

// Thread tracking (ids and the stacks at which they started).
struct TTrackedThread {
    DWORD Id;
    std::vector<uint64_t> CreationStack;
};
std::vector<TTrackedThread> TrackedThreads();
void SetCreationStack(DWORD threadId, std::vector<uint64_t> stack);
// Follows thread creation through the program's imports.
void HookThreadCreation();

// The freeze watchdog; started when the options set a time-out.
void StartFreezeWatch();
