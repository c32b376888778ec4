// A program that fails on purpose in the way its first argument names, with
// the reporter's log file at the path of its second argument.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "core/ExceptionHook.h"
#include "core/FileIO.h"
#include "crash/ExceptionLog.h"
#include "model/PlanSafety.h"
#include "model/UProjects.h"

// Outside the anonymous namespace: there the compiler knows every derived
// class and calls TDerived::Pure directly.
struct TBase;
void CallPure(TBase* object);
struct TBase {
    TBase() { CallPure(this); }
    virtual void Pure() = 0;
    virtual ~TBase() = default;
};
// Called while TBase is being built: the object's table still names the
// pure function.
__attribute__((noinline)) void CallPure(TBase* object) { object->Pure(); }
struct TDerived : TBase {
    void Pure() override {}
};

namespace {
volatile int* volatile g_null = nullptr;

__attribute__((noinline)) void CrashByAccessViolation() { *g_null = 42; }

__attribute__((noinline)) int Recurse(int depth) {
    volatile char buffer[4096];
    buffer[0] = static_cast<char>(depth);
    return Recurse(depth + 1) + buffer[0];
}

// Loaded on first use like the program's delayed system libraries; no
// system has it (PlandeskAbsent.def beside this file).
extern "C" int __stdcall PlandeskAbsentFunction(int);
__attribute__((noinline)) int CallAbsentLibrary() { return PlandeskAbsentFunction(7) + 1; }

// The reporter's sockets and name servers and the shell load with their
// first call, not with the program: exit code 1, 2 or 8 when one was there
// from the start, 4 when the first call did not load the sockets.
extern "C" int __stdcall WSACleanup();
int DelayedLibraries() {
    int code = (GetModuleHandleA("ws2_32.dll") ? 1 : 0) | (GetModuleHandleA("iphlpapi.dll") ? 2 : 0) |
               (GetModuleHandleA("shell32.dll") ? 8 : 0);
    WSACleanup();  // fails without a start, but loads the library
    return code | (GetModuleHandleA("ws2_32.dll") ? 0 : 4);
}

__attribute__((noinline)) void ThrowFromThread() { throw std::logic_error("escaped from a thread"); }

__attribute__((noinline)) void RaiseCaught() { throw std::runtime_error("Cannot open file \"x.dat\". Not found"); }

// What the toolkit does with an exception caught in a window procedure.
int HandleLikeTheApplication() {
    try {
        RaiseCaught();
    } catch (const std::exception& e) {
        ExceptionManagerFunc manager = GetExceptionManager();
        return manager && !manager(&e, nullptr) ? 10 : 11;
    }
    return 12;
}

// How long the window stops answering, and where it notes the start of the
// freeze and the process's CPU time during it ("<log>.frozen").
DWORD g_freezeMs = 3500;
std::string g_freezeNote;

ULONGLONG ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) { return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
    return ms(kernel) + ms(user);
}

void WriteNote(const std::string& text) {
    HANDLE f = CreateFileA(g_freezeNote.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

LRESULT CALLBACK FrozenProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) {
        // The main thread only sleeps: what the process spends meanwhile is
        // the watchdog's (and the report's) time.
        WriteNote("frozen");
        ULONGLONG cpu = ProcessCpuMs();
        Sleep(g_freezeMs);
        WriteNote("cpu " + std::to_string(ProcessCpuMs() - cpu));
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int Freeze() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrozenProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "CrashChildFrozen";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("CrashChildFrozen", "Frozen", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
    // The window answers for a while first, as a program's window does.
    SetTimer(w, 1, 300, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == w) {
            KillTimer(w, 1);
            PostMessageA(w, WM_APP, 0, 0);
        }
        DispatchMessageA(&msg);
    }
    return 13;
}

// While the first report's dialog is up, the main thread (waiting and
// servicing its queue) meets a second exception, and so does another thread.
bool g_nestedAnswer = false;

void CALLBACK NestedFailure(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::runtime_error nested("raised while the report is shown");
    g_nestedAnswer = ExceptionManager(&nested, nullptr);
}

int Reentry() {
    SetTimer(nullptr, 0, 100, NestedFailure);
    std::thread other([] {
        Sleep(200);
        std::logic_error e("raised on another thread meanwhile");
        ExceptionManager(&e, nullptr);
    });
    int result = HandleLikeTheApplication();
    other.join();
    return result + (g_nestedAnswer ? 100 : 0);
}
}  // namespace

// The planner's rescue in a child: the plan in "<log>.plan" is loaded,
// changed (unless "unchanged" is in the mode) and the child then fails.
TRescueKeeper g_keeper;
std::string g_planFolder;

void PreparePlan(const std::string& mode, const std::string& log) {
    g_planFolder = log + ".plan\\";
    SetProgramFolderOverride(g_planFolder);
    CreateDirectoryA(g_planFolder.c_str(), nullptr);
    {  // the plan as saved before this run
        TProjects saved;
        THours savedHours;
        saved.Categories.Add("Work");
        auto existing = std::make_unique<TProject>();
        existing->Name = "Existing";
        existing->Category = "Work";
        saved.AddProject(std::move(existing));
        SaveAll(saved, savedHours);
    }
    static TProjects projects;
    static THours hours;
    projects.LoadCategories();
    projects.LoadProjects();
    hours.LoadHours();
    g_keeper.SetDisk(PlanBytes(projects, hours));
    g_keeper.SetPlan(PlanBytes(projects, hours));
    if (mode.find("unchanged") == std::string::npos) {
        auto project = std::make_unique<TProject>();
        project->Name = "Rescued project";
        project->Category = "Work";
        project->AddTask(std::make_unique<TTask>(false, "Not lost", "line one\r\nline two", "", ""));
        projects.AddProject(std::move(project));
        g_keeper.SetPlan(PlanBytes(projects, hours));
    }
    SetBeforeReportDialog([] { g_keeper.WriteRescueWithin(g_planFolder, 5000); });
}

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::string mode = argv[1];
    // Further arguments are option lines ("SmtpPort=2525").
    TVesperModuleOptions options = CrashReporterOptions();
    if (argc > 3) {
        std::string text;
        for (int i = 3; i < argc; ++i) text += std::string(argv[i]) + "\n";
        options = ParseOptionsText(text);
    }
    options.OutputPath = mode == "bad-log" ? "Q:\\no such folder\\crash.vlf" : argv[2];
    options.ShowDialog = mode == "dialog" || mode == "reentry" || mode == "send-fail";
    if (mode == "send-fail") {
        // Nothing listens on port 1: the conversation fails at once.
        options.SendMode = TSendMode::Smtp;
        options.MailTo = "support@example.test";
        options.SmtpHost = "127.0.0.1";
        options.SmtpPort = 1;
    }
    // Freezes: "freeze" 3.5 s against a 1 s time-out; "freeze-short" longer
    // than the system takes to call a window hung (5 s) but shorter than the
    // time-out; "freeze-long" longer than the time-out; "freeze-shipped" 35 s
    // with the time-out of the stored options.
    struct TFreezeCase {
        const char* Mode;
        int Timeout;
        DWORD Ms;
    };
    const TFreezeCase freezes[] = {
        {"freeze", 1, 3500}, {"rescue-freeze", 1, 3500}, {"freeze-short", 8, 6500}, {"freeze-long", 8, 12000}, {"freeze-shipped", -1, 35000}};
    bool freeze = false;
    if (mode != "freeze-shipped") options.FreezeTimeout = 0;
    for (const TFreezeCase& c : freezes)
        if (mode == c.Mode) {
            freeze = true;
            if (c.Timeout >= 0) options.FreezeTimeout = c.Timeout;
            g_freezeMs = c.Ms;
            g_freezeNote = std::string(argv[2]) + ".frozen";
        }
    // Every report is kept, so that a repeated one would show.
    options.SaveDuplicates = true;
    // Named after the log file, so that tests running side by side find
    // their own child's windows.
    std::string log = argv[2];
    options.DialogCaption = "Crash child " + log.substr(log.find_last_of("\\/") + 1);
    SetCrashReporterOptions(options);

    if (mode.rfind("rescue-", 0) == 0) {
        PreparePlan(mode, argv[2]);
        if (mode == "rescue-freeze") return Freeze();
        std::thread([] { CrashByAccessViolation(); }).join();
        return 3;
    }
    if (mode == "delayed-libraries") return DelayedLibraries();
    if (mode == "absent-library") return CallAbsentLibrary();
    if (mode == "av" || mode == "mail") CrashByAccessViolation();
    if (mode == "av-thread") std::thread([] { CrashByAccessViolation(); }).join();
    if (mode == "throw") throw std::out_of_range("nobody catches this");
    if (mode == "throw-thread") std::thread(ThrowFromThread).join();
    if (mode == "overflow") return Recurse(0);
    if (mode == "abort") std::abort();
    if (mode == "pure") TDerived();
    if (mode == "invalid-parameter") {
        // What the runtime library's checked functions call on a bad argument.
        using TInvalidParameter = void(__cdecl*)(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t);
        auto report = reinterpret_cast<TInvalidParameter>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_invalid_parameter")));
        if (!report) return 15;
        report(nullptr, nullptr, nullptr, 0, 0);
        return 14;
    }
    if (mode == "manager" || mode == "dialog" || mode == "bad-log" || mode == "send-fail")
        return HandleLikeTheApplication();
    // The report worker itself fails, before it has saved anything.
    if (mode == "worker-crash" || mode == "worker-throw" || mode == "worker-stuck") {
        void (*hook)() = mode == "worker-crash"   ? [] { CrashByAccessViolation(); }
                         : mode == "worker-throw" ? [] { throw std::length_error("the worker gives up"); }
                                                  : [] { Sleep(INFINITE); };
        SetReportWorkHookForTesting(hook, 1500);
        return HandleLikeTheApplication();
    }
    if (freeze) return Freeze();
    if (mode == "reentry") return Reentry();
    if (mode == "restart") {
        // The restarted program finds the first one's mark and says so.
        std::string mark = std::string(argv[2]) + ".mark";
        if (GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES) {
            MoveFileA(mark.c_str(), (std::string(argv[2]) + ".restarted").c_str());
            return 20;
        }
        CloseHandle(CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        options.AfterReport = TAfterReport::Restart;
        SetCrashReporterOptions(options);
        return HandleLikeTheApplication();
    }
    if (mode == "host") {
        HMODULE plugin = LoadLibraryA("crash_plugin.dll");
        auto raise = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(plugin, "RaiseInPlugin")));
        return raise ? raise() : 16;
    }
    return 2;
}
