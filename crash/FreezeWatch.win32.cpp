// The freeze watchdog (TFreezeThread): a main window that stops answering
// for the configured time becomes a reported EFrozenApplication.
#include <atomic>

#include "core/Gdi.h"
#include "crash/ExceptionLog.h"
#include "crash/Handling.h"
#include "crash/StackWalk.h"

namespace {
constexpr DWORD Step = 50;

struct TFindWindow {
    HWND Found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter) {
    if (IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
        reinterpret_cast<TFindWindow*>(parameter)->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindow() {
    TFindWindow find;
    EnumThreadWindows(MainThreadId(), FindMainWindow, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

// The main thread is suspended only to read its registers, and resumed before
// any report work begins.
bool ReadMainContext(CONTEXT& context) {
    TKernelHandle thread(
        OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, MainThreadId()));
    if (!thread) return false;
    bool ok = false;
    if (SuspendThread(thread.Handle()) != static_cast<DWORD>(-1)) {
        context.ContextFlags = CONTEXT_FULL;
        ok = GetThreadContext(thread.Handle(), &context) != 0;
        ResumeThread(thread.Handle());
    }
    return ok;
}

void ReportFreeze(const TVesperModuleOptions& options) {
    TFailure failure;
    failure.Class = "EFrozenApplication";
    failure.Message = options.FreezeMessage;
    failure.ThreadId = MainThreadId();
    CONTEXT context{};
    if (ReadMainContext(context)) {
        failure.Address = context.Rip;
        failure.Registers = RegisterItems(context);
        failure.Stack = WalkStack(context);
    }
    HandleFailure(failure);
}

// Once the system counts a window as hung (about 5 s without taking
// messages), the ping gives up at once instead of waiting its 50 ms: the
// unanswered time is therefore measured on the clock, from the first ping
// left unanswered, and every round lasts at least one step.
DWORD WINAPI FreezeThread(void*) {
    ULONGLONG unansweredSince = 0;  // 0 while the window answers
    bool reported = false;
    for (;;) {
        ULONGLONG round = GetTickCount64();
        TVesperModuleOptions options = CrashReporterOptions();
        HWND window = options.FreezeTimeout > 0 ? MainWindow() : nullptr;
        DWORD_PTR result;
        if (!window) {
            unansweredSince = 0;
        } else if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, Step, &result)) {
            // Answering again: a later freeze is a new one.
            unansweredSince = 0;
            reported = false;
            Sleep(5 * Step);
            continue;
        } else if (IsWindow(window)) {
            if (!unansweredSince) unansweredSince = round;
            // Reported once per freeze, not on every step while it lasts.
            if (!reported &&
                GetTickCount64() - unansweredSince >= static_cast<ULONGLONG>(options.FreezeTimeout) * 1000) {
                reported = true;
                ReportFreeze(options);
            }
        }
        ULONGLONG spent = GetTickCount64() - round;
        if (spent < Step) Sleep(static_cast<DWORD>(Step - spent));
    }
}
}  // namespace

void StartFreezeWatch() {
    static std::atomic<bool> started{false};
    if (started.exchange(true)) return;
    // The thread runs on; its handle is not needed.
    TKernelHandle(CreateThread(nullptr, 0, FreezeThread, nullptr, 0, nullptr)).Reset();
}
