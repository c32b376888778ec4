// Child processes fail on purpose in every way the reporter intercepts; each
// must leave a correct report in its log file.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <functional>
#include <string>
#include <thread>

#include "core/FileIO.h"
#include "crash/ExceptionLog.h"
#include "crash/LogFile.h"
#include "crash/LogItem.h"
#include "crash/ReportDialog.h"
#include "crash/Report.h"
#include "crash/Socket.h"
#include "crash/Handling.h"
#include "model/PlanSafety.h"
#include "model/UProjects.h"

namespace {
struct TRun {
    std::string Caption;   // of the child's windows
    DWORD StartError = 0;  // why the child could not be started
    DWORD ExitCode = 0;
    bool Finished = false;
    std::vector<std::string> Reports;
};

// Runs the child in `mode`; `whileRunning` gets the process while it runs.
// The console child's standard output goes to `output`.
TRun RunChild(const std::string& mode, DWORD timeoutMs = 30000,
              const std::function<void(HANDLE, const std::string&)>& whileRunning = nullptr,
              std::string* output = nullptr) {
    // A log file of its own for every run, also for tests running side by side.
    static int runs = 0;
    std::string name =
        "crash_" + mode + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++runs) + ".vlf";
    std::string log = ProgramFolder() + name;
    DeleteFileA(log.c_str());
    std::string program = output ? "crash_child_console.exe" : "crash_child.exe";
    std::string command = "\"" + ProgramFolder() + program + "\" " + mode + " \"" + log + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    TRun run;
    run.Caption = "Crash child " + name;
    HANDLE read = nullptr, write = nullptr;
    if (output) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        CreatePipe(&read, &write, &inherit, 0);
        SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        startup.hStdError = write;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                                  &startup, &process);
    if (write) CloseHandle(write);
    if (!started) {
        run.StartError = GetLastError();
        return run;
    }
    if (whileRunning) whileRunning(process.hProcess, run.Caption);
    if (output) {
        char buffer[4096];
        DWORD n;
        while (ReadFile(read, buffer, sizeof buffer, &n, nullptr) && n) output->append(buffer, n);
        CloseHandle(read);
    }
    run.Finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!run.Finished) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &run.ExitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.Reports = TLogFile(log, 20).Reports();
    DeleteFileA(log.c_str());
    return run;
}

const TLogItem::Section* FindSection(const TLogItem& log, const std::string& title) {
    for (const auto& s : log.Sections())
        if (s.Title == title) return &s;
    return nullptr;
}

std::string Item(const TLogItem& log, const std::string& section, const std::string& name) {
    const TLogItem::Section* s = FindSection(log, section);
    if (s)
        for (const auto& item : s->Items)
            if (item.Name == name) return item.Value;
    return "<none>";
}

// The call stack names the given procedure of the child (any when empty),
// with its unit and a line.
bool StackNames(const TLogItem& log, const std::string& procedure) {
    const TLogItem::Section* s = FindSection(log, "Call stack");
    if (s)
        for (const auto& item : s->Items)
            if (item.Value.find("CrashChild - ") != std::string::npos &&
                item.Value.find(procedure) != std::string::npos && item.Value.find("(line ") != std::string::npos)
                return true;
    return false;
}

// One report, of `cls`, whose message contains `message`, raised in
// `procedure` of the child.
void ExpectReport(const TRun& run, const std::string& cls, const std::string& message, const std::string& procedure) {
    ASSERT_EQ(run.StartError, 0u) << "the child could not be started";
    ASSERT_TRUE(run.Finished) << "the child hangs";
    ASSERT_EQ(run.Reports.size(), 1u);
    TLogItem log = TLogItem::Parse(run.Reports[0]);
    std::string program = Item(log, "Application", "Name");
    EXPECT_TRUE(program == "crash_child.exe" || program == "crash_child_console.exe") << program;
    EXPECT_EQ(Item(log, "Exception", "Class"), cls) << run.Reports[0];
    EXPECT_NE(Item(log, "Exception", "Message").find(message), std::string::npos) << run.Reports[0];
    EXPECT_TRUE(StackNames(log, procedure)) << run.Reports[0];
    EXPECT_NE(Item(log, "Modules", program), "<none>");
    EXPECT_NE(Item(log, "Exception", "Thread ID"), "<none>");
    const TLogItem::Section* threads = FindSection(log, "Threads");
    ASSERT_TRUE(threads);
    EXPECT_FALSE(threads->Items.empty());
}
}  // namespace

TEST(CrashChild, AccessViolationOnTheMainThread) {
    TRun run = RunChild("av");
    ExpectReport(run, "EAccessViolation", "Write of address 0000000000000000", "CrashByAccessViolation");
    EXPECT_EQ(run.ExitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}

TEST(CrashChild, AccessViolationOnAnotherThread) {
    TRun run = RunChild("av-thread");
    ExpectReport(run, "EAccessViolation", "Access violation at address", "CrashByAccessViolation");
    TLogItem log = TLogItem::Parse(run.Reports[0]);
    std::string thread = "Thread " + Item(log, "Exception", "Thread ID");
    EXPECT_NE(Item(log, "Threads", thread).find("failed"), std::string::npos) << run.Reports[0];
    EXPECT_EQ(Item(log, "Threads", thread).find("main thread"), std::string::npos);
}

TEST(CrashChild, UncaughtCppExceptions) {
    TRun run = RunChild("throw");
    ExpectReport(run, "std::out_of_range", "nobody catches this", "main");
    EXPECT_NE(Item(TLogItem::Parse(run.Reports[0]), "Registers", "RIP"), "<none>") << run.Reports[0];
    EXPECT_EQ(run.ExitCode, 3u);
    run = RunChild("throw-thread");
    ExpectReport(run, "std::logic_error", "escaped from a thread", "ThrowFromThread");
}

TEST(CrashChild, StackOverflow) {
    TRun run = RunChild("overflow");
    ExpectReport(run, "EStackOverflow", "Stack overflow", "Recurse");
}

TEST(CrashChild, AbortPureVirtualCallAndInvalidParameter) {
    TRun run = RunChild("abort");
    ExpectReport(run, "EAbortCalled", "abort()", "main");
    run = RunChild("pure");
    ExpectReport(run, "EPureVirtualCall", "Pure virtual function call.", "");
    run = RunChild("invalid-parameter");
    // Either through the runtime's handler (the program goes on) or, where
    // the runtime raises its exception instead, through the filter.
    ExpectReport(run, "EInvalidParameter", "Invalid parameter", "");
    EXPECT_TRUE(run.ExitCode == 14u || run.ExitCode == 0xC0000417u) << run.ExitCode;
}

// The system libraries the first window does not need load on first use, and
// one that cannot be loaded is reported by name, not a silent end.
TEST(CrashChild, LibrariesLoadedOnFirstUseAndAMissingOneIsReported) {
    TRun run = RunChild("delayed-libraries");
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 0u) << "1, 2, 8: loaded with the program; 4: not loaded by the first call";
    EXPECT_TRUE(run.Reports.empty());

    run = RunChild("absent-library");
    ExpectReport(run, "ELibraryNotLoaded", "PlandeskAbsent.dll", "CallAbsentLibrary");
    EXPECT_NE(run.Reports[0].find("PlandeskAbsentFunction"), std::string::npos) << run.Reports[0];
}

TEST(CrashChild, ExceptionManagerReportsAndAnswersFalse) {
    TRun run = RunChild("manager");
    ExpectReport(run, "std::runtime_error", "Cannot open file \"x.dat\". Not found", "RaiseCaught");
    EXPECT_EQ(run.ExitCode, 10u);
    // The registers of the raise are part of the report.
    TLogItem log = TLogItem::Parse(run.Reports[0]);
    EXPECT_NE(Item(log, "Registers", "RIP"), "<none>") << run.Reports[0];
    EXPECT_NE(Item(log, "Registers", "RSP"), "0000000000000000");
}

// The library's exception goes to the host program's manager, which reports
// it with the library's own options: its section names, and its log file
// (none named: the program's name beside the program) instead of the host's.
TEST(CrashChild, ALibrarysExceptionsAreReportedByTheHostWithTheLibrarysOptions) {
    std::string ownLog = ProgramFolder() + "crash_child.vlf";
    DeleteFileA(ownLog.c_str());
    TRun run = RunChild("host");
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 10u);
    EXPECT_TRUE(run.Reports.empty()) << "not in the host's log file";
    std::vector<std::string> reports = TLogFile(ownLog, 20).Reports();
    DeleteFileA(ownLog.c_str());
    ASSERT_EQ(reports.size(), 1u);
    TLogItem log = TLogItem::Parse(reports[0]);
    EXPECT_EQ(Item(log, "Plugin exception", "Message"), "raised in the plugin") << reports[0];
    EXPECT_EQ(Item(log, "Application", "Name"), "crash_child.exe");
    EXPECT_NE(reports[0].find("crash_plugin.dll+"), std::string::npos) << reports[0];
}

TEST(CrashChild, RestartStartsTheProgramAgain) {
    std::string restarted;
    TRun run = RunChild("restart", 30000, [&](HANDLE process, const std::string& caption) {
        std::string log = ProgramFolder() + caption.substr(std::string("Crash child ").size());
        restarted = log + ".restarted";
        DeleteFileA(restarted.c_str());
    });
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_EQ(run.Reports.size(), 1u);
    bool found = false;
    for (int i = 0; i < 200 && !found; ++i, Sleep(50)) found = DeleteFileA(restarted.c_str()) != 0;
    EXPECT_TRUE(found) << "the program was not started again";
}

TEST(CrashChild, FrozenMainWindowIsReportedOnce) {
    TRun run = RunChild("freeze");
    ExpectReport(run, "EFrozenApplication", "The application seems to be frozen.", "FrozenProc");
    TLogItem log = TLogItem::Parse(run.Reports[0]);
    EXPECT_EQ(Item(log, "Active control", "Class"), "CrashChildFrozen");
    EXPECT_EQ(Item(log, "Active control", "Text"), "Frozen");
    EXPECT_EQ(run.ExitCode, 13u) << "the window answers again and the program ends normally";
}

// When a freezing child's window stopped answering ("<log>.frozen" appears)
// and when its report was saved, in milliseconds from the child's start.
struct TFreezeTimes {
    ULONGLONG Frozen = 0, Reported = 0;
    std::string Note;  // the child's note after the freeze: "cpu <ms>"
};

TRun RunFreezingChild(const std::string& mode, TFreezeTimes& times) {
    ULONGLONG start = GetTickCount64();
    return RunChild(mode, 60000, [&](HANDLE process, const std::string& caption) {
        std::string log = ProgramFolder() + caption.substr(std::string("Crash child ").size());
        std::string note = log + ".frozen";
        while (WaitForSingleObject(process, 20) == WAIT_TIMEOUT) {
            if (!times.Frozen && GetFileAttributesA(note.c_str()) != INVALID_FILE_ATTRIBUTES)
                times.Frozen = GetTickCount64() - start;
            if (!times.Reported && GetFileAttributesA(log.c_str()) != INVALID_FILE_ATTRIBUTES)
                times.Reported = GetTickCount64() - start;
        }
        times.Note = ReadFileIfExists(note).value_or("");
        DeleteFileA(note.c_str());
    });
}

long long CpuMs(const std::string& note) { return note.rfind("cpu ", 0) == 0 ? std::atoll(note.c_str() + 4) : -1; }

// Past the 5 s after which the system calls a window hung, but within the
// time-out (8 s): nothing is reported, and the watchdog does not spin.
TEST(CrashChild, AFreezeShorterThanTheTimeOutIsNotReported) {
    TFreezeTimes times;
    TRun run = RunFreezingChild("freeze-short", times);
    ASSERT_EQ(run.StartError, 0u);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 13u);
    ASSERT_NE(times.Frozen, 0u) << "the child did not freeze";
    EXPECT_TRUE(run.Reports.empty()) << "reported " << times.Reported - times.Frozen << " ms into a 6.5 s freeze";
    // The process's CPU time while its main thread sleeps is the watchdog's.
    long long cpu = CpuMs(times.Note);
    ASSERT_GE(cpu, 0) << times.Note;
    EXPECT_LT(cpu, 325) << "ms of CPU time in a 6.5 s freeze";
}

// Longer than the time-out (8 s): one report, not before the time-out.
TEST(CrashChild, AFreezeLongerThanTheTimeOutIsReportedOnceAfterIt) {
    TFreezeTimes times;
    TRun run = RunFreezingChild("freeze-long", times);
    ExpectReport(run, "EFrozenApplication", "The application seems to be frozen.", "FrozenProc");
    ASSERT_NE(times.Frozen, 0u);
    ASSERT_NE(times.Reported, 0u);
    EXPECT_GE(times.Reported - times.Frozen, 7800u);
    EXPECT_LT(times.Reported - times.Frozen, 11000u);
    EXPECT_EQ(run.ExitCode, 13u);
}

// The stored options' time-out (30 s) against a 35 s freeze.
TEST(CrashChild, AFreezeLongerThanTheShippedTimeOutIsReported) {
    EXPECT_EQ(CrashReporterOptions().FreezeTimeout, 30);
    TFreezeTimes times;
    TRun run = RunFreezingChild("freeze-shipped", times);
    ExpectReport(run, "EFrozenApplication", "The application seems to be frozen.", "FrozenProc");
    ASSERT_NE(times.Reported, 0u);
    EXPECT_GE(times.Reported - times.Frozen, 29800u);
    EXPECT_EQ(run.ExitCode, 13u);
}

TEST(CrashChild, DialogShowsTheReportAndRemembersItsPlace) {
    std::string ini = ProgramFolder() + "VesperLog.ini";
    DeleteFileA(ini.c_str());
    std::vector<std::string> texts;
    TRun run = RunChild("dialog", 30000, [&](HANDLE, const std::string& caption) {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !(dialog && IsWindowVisible(dialog)); ++i, Sleep(50))
            dialog = FindWindowA("PlandeskCrashReport", caption.c_str());
        if (!dialog) return;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[256] = {};
            GetWindowTextA(child, text, sizeof text);
            if (text[0] && IsWindowVisible(child)) texts.push_back(text);
        }
        SendMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "Copy to clipboard"), BM_CLICK, 0, 0);
        HWND ok = FindWindowExA(dialog, nullptr, "BUTTON", "OK");
        PostMessageA(ok, BM_CLICK, 0, 0);
    });
    std::string clipboard;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            clipboard = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    ExpectReport(run, "std::runtime_error", "Cannot open file", "RaiseCaught");
    EXPECT_EQ(run.ExitCode, 10u);
    for (const char* expected : {"Kill", "OK", "Details", "Copy to clipboard"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    // No mail address is configured: sending is not offered.
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "Send an email to the program author"), texts.end());
    ASSERT_EQ(run.Reports.size(), 1u);
    EXPECT_EQ(clipboard, run.Reports[0]) << "the ticked box copies the report";
    std::string stored = ReadFileIfExists(ini).value_or("");
    EXPECT_NE(stored.find("Coordinates="), std::string::npos) << stored;
    EXPECT_NE(stored.find("Height="), std::string::npos);
    EXPECT_NE(stored.find("WindowsState=0"), std::string::npos);
}

TEST(CrashChild, ConsoleProgramWritesTheReportToStandardOutput) {
    std::string output;
    TRun run = RunChild("dialog", 30000, nullptr, &output);
    ExpectReport(run, "std::runtime_error", "Cannot open file", "RaiseCaught");
    EXPECT_EQ(run.ExitCode, 10u);
    EXPECT_NE(output.find(run.Reports[0]), std::string::npos) << output;
}

TEST(CrashChild, KillEndsTheProgramAndDetailsShowTheReport) {
    LONG before = 0, after = 0;
    TRun run = RunChild("dialog", 30000, [&](HANDLE, const std::string& caption) {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !(dialog && IsWindowVisible(dialog)); ++i, Sleep(50))
            dialog = FindWindowA("PlandeskCrashReport", caption.c_str());
        if (!dialog) return;
        RECT r;
        GetWindowRect(dialog, &r);
        before = r.bottom - r.top;
        SendMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "Details"), BM_CLICK, 0, 0);
        GetWindowRect(dialog, &r);
        after = r.bottom - r.top;
        PostMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "Kill"), BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 1u) << "killed while the program would have gone on";
    // "Details" opens or closes the report pages (the dialog may open either
    // way, as "VesperLog.ini" remembers).
    EXPECT_GT(std::abs(after - before), 100) << before << " " << after;
    EXPECT_EQ(run.Reports.size(), 1u);
}

TEST(CrashChild, ALogFileThatCannotBeWrittenIsReportedPlainly) {
    std::string text;
    TRun run = RunChild("bad-log", 30000, [&](HANDLE, const std::string& caption) {
        HWND box = nullptr;
        for (int i = 0; i < 200 && !box; ++i, Sleep(50)) box = FindWindowA("#32770", caption.c_str());
        if (!box) return;
        char buffer[1024] = {};
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 10u);
    EXPECT_EQ(text.rfind("[ERROR] - Section: Log file - Address: ", 0), 0u) << text;
    EXPECT_NE(text.find("Message: \"Cannot create file \"Q:\\no such folder\\crash.vlf\"."), std::string::npos) << text;
}

// Finds a visible top-level window of `cls` with `caption`, waiting up to 10 s.
HWND WaitForWindow(const char* cls, const char* caption) {
    for (int i = 0; i < 200; ++i, Sleep(50))
        if (HWND w = FindWindowA(cls, caption); w && IsWindowVisible(w)) return w;
    return nullptr;
}

std::string StaticText(HWND box) {
    char buffer[4096] = {};
    GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
    return buffer;
}

// A worker that crashes, throws or never finishes is given up: the original
// fault is shown plainly with the reporter's own error, and the program goes on.
TEST(CrashChild, AFailingReportWorkerEndsInAPlainMessage) {
    const std::pair<const char*, const char*> cases[] = {
        {"worker-crash", "Exception C0000005 at "},
        {"worker-throw", "the worker gives up"},
        {"worker-stuck", "The report thread does not answer."},
    };
    for (const auto& [mode, error] : cases) {
        std::string text;
        TRun run = RunChild(mode, 30000, [&](HANDLE, const std::string& caption) {
            HWND box = WaitForWindow("#32770", caption.c_str());
            if (!box) return;
            text = StaticText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        ASSERT_EQ(run.StartError, 0u) << mode;
        ASSERT_TRUE(run.Finished) << mode << ": the child hangs";
        EXPECT_EQ(run.ExitCode, 10u) << mode;
        EXPECT_EQ(text.rfind("std::runtime_error: Cannot open file \"x.dat\". Not found", 0), 0u)
            << mode << ": " << text;
        EXPECT_NE(text.find("[ERROR] - Section: Report - Address: "), std::string::npos) << mode << ": " << text;
        EXPECT_NE(text.find(error), std::string::npos) << mode << ": " << text;
        EXPECT_TRUE(run.Reports.empty()) << mode;
    }
}

TEST(CrashChild, SendingFromTheDialogAsksForStepsAndReportsASocketFailure) {
    bool sendOffered = false, sendTicked = false, requestShown = false, screenshotFollowsSend = false;
    std::string failure;
    TRun run = RunChild("send-fail", 30000, [&](HANDLE, const std::string& caption) {
        HWND dialog = WaitForWindow("PlandeskCrashReport", caption.c_str());
        if (!dialog) return;
        HWND send = FindWindowExA(dialog, nullptr, "BUTTON", "Send an email to the program author");
        sendOffered = send && IsWindowVisible(send);
        sendTicked = send && SendMessageA(send, BM_GETCHECK, 0, 0) == BST_CHECKED;
        HWND shot = FindWindowExA(dialog, nullptr, "BUTTON", "Attach a screenshot");
        screenshotFollowsSend = shot && IsWindowEnabled(shot) && SendMessageA(send, BM_CLICK, 0, 0) == 0 &&
                                !IsWindowEnabled(shot) && SendMessageA(send, BM_CLICK, 0, 0) == 0 &&
                                IsWindowEnabled(shot);
        PostMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "OK"), BM_CLICK, 0, 0);
        HWND request = WaitForWindow("PlandeskCrashRequest", "Request.");
        if (!request) return;
        requestShown =
            FindWindowExA(request, nullptr, "STATIC", "Please describe the steps to reproduce the error:") != nullptr;
        SetWindowTextA(FindWindowExA(request, nullptr, "EDIT", nullptr), "Clicked Add.");
        PostMessageA(FindWindowExA(request, nullptr, "BUTTON", "OK"), BM_CLICK, 0, 0);
        HWND box = WaitForWindow("#32770", caption.c_str());
        if (!box) return;
        failure = StaticText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.ExitCode, 10u);
    EXPECT_TRUE(sendOffered);
    EXPECT_TRUE(sendTicked);
    EXPECT_TRUE(requestShown);
    EXPECT_TRUE(screenshotFollowsSend) << "\"Attach a screenshot\" is enabled only with the mail";
    EXPECT_EQ(failure.rfind("Connection error: \"", 0), 0u) << failure;
    EXPECT_NE(failure.find("\r\nSocket log:"), std::string::npos) << failure;
    EXPECT_EQ(run.Reports.size(), 1u);
}

TEST(CrashChild, FailuresDuringAReportNeverHang) {
    int dialogs = 0;
    TRun run = RunChild("reentry", 30000, [&](HANDLE process, const std::string& caption) {
        while (WaitForSingleObject(process, 50) == WAIT_TIMEOUT && dialogs < 5) {
            HWND dialog = FindWindowA("PlandeskCrashReport", caption.c_str());
            if (!dialog || !IsWindowVisible(dialog)) continue;
            Sleep(400);  // time for the nested failures to happen
            PostMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "OK"), BM_CLICK, 0, 0);
            while (IsWindow(dialog)) Sleep(20);
            ++dialogs;
        }
    });
    ASSERT_TRUE(run.Finished);
    // The main thread's nested exception is left to the caller's handling
    // (answer true); the other thread's waits its turn and is reported.
    EXPECT_EQ(run.ExitCode, 110u);
    EXPECT_EQ(dialogs, 2);
    ASSERT_EQ(run.Reports.size(), 2u);
    EXPECT_NE(run.Reports[0].find("Cannot open file"), std::string::npos);
    EXPECT_NE(run.Reports[1].find("raised on another thread meanwhile"), std::string::npos);
}

// The program's own stored options are found among its other resources (a
// built-in skin beside them once hid them, and with them the watchdog).
TEST(CrashReporter, TheProgramFindsItsStoredOptions) {
    HMODULE program = LoadLibraryExA(PLANDESK_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(program) << PLANDESK_EXE;
    HRSRC found = FindResourceA(program, "VLDATA", MAKEINTRESOURCEA(10));
    HRSRC skin = FindResourceA(program, "VL_BUILTIN_SKIN", MAKEINTRESOURCEA(10));
    std::string stored;
    if (found)
        if (HGLOBAL loaded = LoadResource(program, found))
            stored.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(program, found));
    FreeLibrary(program);
    ASSERT_TRUE(found);
    EXPECT_TRUE(skin);
    TVesperModuleOptions o = DecodeStoredOptions(stored);
    EXPECT_EQ(o.FreezeTimeout, 30);
    EXPECT_EQ(o.DialogCaption, "Plandesk");
}

TEST(CrashReporter, InstalledWithTheStoredOptionsAndExported) {
    EXPECT_NE(GetProcAddress(GetModuleHandleA(nullptr), "ExceptionManager"), nullptr);
    TVesperModuleOptions o = CrashReporterOptions();
    EXPECT_EQ(o.MaxReports, 20);
    EXPECT_EQ(o.FreezeTimeout, 30);
    EXPECT_TRUE(o.ShowDialog);
    EXPECT_FALSE(o.AttachScreenshot);
    EXPECT_TRUE(o.MailTo.empty());
}

// Code in a mapping shared between processes is not patched, and says so.
TEST(CrashReporter, CodeInASharedMappingIsNotHooked) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_EXECUTE_READWRITE, 0, 4096, nullptr);
    ASSERT_TRUE(mapping);
    auto* code =
        static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS | FILE_MAP_EXECUTE, 0, 0, 4096));
    ASSERT_TRUE(code);
    std::memset(code, 0xC3, 16);  // ret
    size_t before = InstallWarnings().size();
    HookProcedureForTesting("SharedRoutine", code, reinterpret_cast<void*>(&CrashReporterOptions));
    std::vector<std::string> warnings = InstallWarnings();
    bool untouched = code[0] == 0xC3 && code[13] == 0xC3;
    UnmapViewOfFile(code);
    CloseHandle(mapping);
    EXPECT_TRUE(untouched);
    ASSERT_EQ(warnings.size(), before + 1);
    EXPECT_NE(warnings.back().find("Cannot hook the module \""), std::string::npos) << warnings.back();
    EXPECT_NE(warnings.back().find("\" located into the shared-area."), std::string::npos) << warnings.back();
}

extern "C" int __stdcall WSACleanup();

// A failing WSACleanup (Winsock no longer started: the test ended it behind
// the socket's back) is reported in the reporter's own words.
TEST(CrashReporter, AFailingWinsockCleanupIsReported) {
    std::unique_ptr<ISocket> socket = CreateTcpSocket(1000);
    ASSERT_EQ(WSACleanup(), 0);
    try {
        socket->Close();
        FAIL() << "no error";
    } catch (const ESocketError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error into WSACleanup: \"", 0), 0u) << e.what();
    }
}

// Both pages of the report are captioned "Informations": the list and the text.
TEST(CrashReporter, BothReportPagesAreInformations) {
    TVesperModuleOptions options;
    options.DialogCaption = "Report pages " + std::to_string(GetCurrentProcessId());
    TReportData data;
    data.ExceptionClass = "Exception";
    data.ExceptionMessage = "shown";
    TLogItem report = BuildReport(data);
    std::vector<std::string> captions;
    std::thread user([&] {
        HWND dialog = WaitForWindow("PlandeskCrashReport", options.DialogCaption.c_str());
        if (!dialog) return;
        HWND tabs = FindWindowExA(dialog, nullptr, WC_TABCONTROLA, nullptr);
        int count = tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            captions.push_back(text);
        }
        PostMessageA(FindWindowExA(dialog, nullptr, "BUTTON", "OK"), BM_CLICK, 0, 0);
    });
    ShowReportDialog(options, report, false);
    user.join();
    EXPECT_EQ(captions, (std::vector<std::string>{"Informations", "Informations"}));
}

// The planner's rescue: a child loads its plan, changes it and fails; the
// changed plan is in "Rescue" beside its data files before the report ends.
namespace {
std::string PlanFolder(const TRun& run) {
    return ProgramFolder() + run.Caption.substr(std::string("Crash child ").size()) + ".plan\\";
}
void ReadRescued(const std::string& planFolder, TProjects& projects) {
    TPlanBytes bytes = ReadRescue(planFolder);
    CategoriesFromText(projects, bytes.Categories);
    ProjectsFromText(projects, bytes.Projects);
}
}  // namespace

TEST(CrashChild, ACrashInASecondThreadAndAFreezeLeaveTheChangedPlanInRescue) {
    for (const char* mode : {"rescue-av-thread", "rescue-freeze"}) {
        TRun run = RunChild(mode);
        ASSERT_TRUE(run.Finished) << mode;
        ASSERT_EQ(run.Reports.size(), 1u) << mode;
        const std::string folder = PlanFolder(run);
        ASSERT_TRUE(PendingRescue(folder).has_value()) << mode;
        TProjects projects;
        ReadRescued(folder, projects);
        int index = -1;
        TProject* rescued = projects.FindProjectByName("Rescued project", index);
        ASSERT_NE(rescued, nullptr) << mode;
        EXPECT_NE(projects.FindProjectByName("Existing", index), nullptr);
        ASSERT_EQ(rescued->Tasks.Count(), 1);
        EXPECT_EQ(rescued->Task(0)->Notes, "line one\r\nline two");
        // The data files themselves are as they were saved.
        TPlanBytes disk = DataFileBytes(folder);
        EXPECT_EQ(disk.Projects.find("Rescued project"), std::string::npos) << mode;
    }
}

TEST(CrashChild, ACrashWithoutUnsavedChangesWritesNoRescue) {
    TRun run = RunChild("rescue-unchanged-av-thread");
    ASSERT_TRUE(run.Finished);
    ASSERT_EQ(run.Reports.size(), 1u);
    const std::string folder = PlanFolder(run);
    EXPECT_FALSE(DataFileBytes(folder).Projects.empty()) << "the child's plan was not there";
    EXPECT_FALSE(PendingRescue(folder).has_value());
    EXPECT_EQ(GetFileAttributesA((folder + "Rescue").c_str()), INVALID_FILE_ATTRIBUTES);
}
