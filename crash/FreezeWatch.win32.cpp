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
    TKernelHandle thread(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE,
                                    MainThreadId()));
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

DWORD WINAPI FreezeThread(void*) {
    DWORD unanswered = 0;
    bool reported = false;
    for (;;) {
        TVesperModuleOptions options = CrashReporterOptions();
        HWND window = options.FreezeTimeout > 0 ? MainWindow() : nullptr;
        if (!window) {
            Sleep(Step);
            continue;
        }
        DWORD_PTR result;
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, Step, &result)) {
            // Answering again: a later freeze is a new one.
            unanswered = 0;
            reported = false;
            Sleep(5 * Step);
            continue;
        }
        if (!IsWindow(window)) continue;
        unanswered += Step;
        // Reported once per freeze, not on every step while it lasts.
        if (!reported && unanswered >= static_cast<DWORD>(options.FreezeTimeout) * 1000) {
            reported = true;
            ReportFreeze(options);
        }
    }
}
}  // namespace

void StartFreezeWatch() {
    static std::atomic<bool> started{false};
    if (started.exchange(true)) return;
    // The thread runs on; its handle is not needed.
    TKernelHandle(CreateThread(nullptr, 0, FreezeThread, nullptr, 0, nullptr)).Reset();
}
