#include "crash/ExceptionLog.h"

#include <windows.h>
#include <delayimp.h>
#include <psapi.h>

#include <cxxabi.h>
#include <csignal>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <typeinfo>

#include "core/ExceptionHook.h"
#include "core/Gdi.h"
#include "crash/Handling.h"
#include "crash/LogFile.h"
#include "crash/MailSender.h"
#include "crash/ReportDialog.h"
#include "crash/StackWalk.h"

extern "C" const IMAGE_TLS_DIRECTORY _tls_used;

namespace {
// The GCC runtime raises C++ exceptions as structured exceptions with this
// code (and the unwinding variant with bit 24 set).
constexpr DWORD GccThrow = 0x20474343;
constexpr DWORD GccMagicMask = 0x20FFFFFF;

CRITICAL_SECTION g_reportLock;
SRWLOCK g_threadsLock = SRWLOCK_INIT;
std::vector<TTrackedThread>* g_threads = nullptr;
DWORD g_mainThreadId = 0;
std::atomic<bool> g_installed{false};
std::atomic<DWORD> g_workerThreadId{0};
using THostManager = bool (*)(const std::exception*, void*);
THostManager g_hostManager = nullptr;

std::atomic<ULONGLONG> g_stuckWorkerMs{15000};
std::atomic<void (*)()> g_workHook{nullptr};

thread_local bool t_reporting = false;
thread_local bool t_worker = false;
// The stack at the latest C++ throw on this thread, and the exception it
// belongs to: a rethrow of the same exception keeps the original stack.
thread_local std::vector<uint64_t>* t_raiseStack = nullptr;
thread_local const void* t_raiseObject = nullptr;
// The registers at that throw (kept beside the stack, on the heap).
thread_local CONTEXT* t_raiseContext = nullptr;

// Work handed from the worker to the waiting main thread.
struct THandBack {
    const std::function<void()>* Work = nullptr;
    HANDLE Done = nullptr;
};
std::atomic<THandBack*> g_handBack{nullptr};
std::atomic<DWORD> g_waitingThread{0};

std::string Hex(uint64_t v) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%016llX", static_cast<unsigned long long>(v));
    return buffer;
}

std::string Demangled(const char* name) {
    int status = 0;
    char* text = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string out = status == 0 && text ? text : name;
    std::free(text);
    return out;
}

std::vector<uint64_t> CurrentStack() {
    CONTEXT context{};
    RtlCaptureContext(&context);
    std::vector<uint64_t> stack = WalkStack(context);
    // The first frame is this function itself.
    if (!stack.empty()) stack.erase(stack.begin());
    return stack;
}

void TrackThread(DWORD id, std::vector<uint64_t> stack) {
    AcquireSRWLockExclusive(&g_threadsLock);
    if (!g_threads) g_threads = new std::vector<TTrackedThread>;
    g_threads->push_back({id, std::move(stack)});
    ReleaseSRWLockExclusive(&g_threadsLock);
}

void ForgetThread(DWORD id) {
    AcquireSRWLockExclusive(&g_threadsLock);
    if (g_threads)
        for (size_t i = 0; i < g_threads->size(); ++i)
            if ((*g_threads)[i].Id == id) {
                g_threads->erase(g_threads->begin() + i);
                break;
            }
    ReleaseSRWLockExclusive(&g_threadsLock);
}

// Room on every thread's stack for the filter after a stack overflow.
void ReserveOverflowStack() {
    ULONG size = 64 * 1024;
    SetThreadStackGuarantee(&size);
}

void NTAPI ThreadCallback(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH) {
        ReserveOverflowStack();
        // Threads created through our hooks get their creator's stack when
        // they start; others (the system's) are only listed.
        TrackThread(GetCurrentThreadId(), {});
    } else if (reason == DLL_THREAD_DETACH) {
        ForgetThread(GetCurrentThreadId());
        delete t_raiseStack;
        t_raiseStack = nullptr;
        delete t_raiseContext;
        t_raiseContext = nullptr;
    }
}
}  // namespace

extern "C" __attribute__((section(".CRT$XLF"), used)) const PIMAGE_TLS_CALLBACK plandesk_crash_thread_callback =
    ThreadCallback;

DWORD MainThreadId() { return g_mainThreadId; }

std::string ProgramFile() {
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, n);
}

void SetCreationStack(DWORD threadId, std::vector<uint64_t> stack) {
    AcquireSRWLockExclusive(&g_threadsLock);
    if (g_threads)
        for (TTrackedThread& t : *g_threads)
            if (t.Id == threadId) t.CreationStack = std::move(stack);
    ReleaseSRWLockExclusive(&g_threadsLock);
}

std::vector<TTrackedThread> TrackedThreads() {
    AcquireSRWLockShared(&g_threadsLock);
    std::vector<TTrackedThread> copy = g_threads ? *g_threads : std::vector<TTrackedThread>();
    ReleaseSRWLockShared(&g_threadsLock);
    return copy;
}

std::vector<std::pair<std::string, std::string>> RegisterItems(const CONTEXT& c) {
    return {{"RAX", Hex(c.Rax)}, {"RBX", Hex(c.Rbx)},      {"RCX", Hex(c.Rcx)}, {"RDX", Hex(c.Rdx)},
            {"RSI", Hex(c.Rsi)}, {"RDI", Hex(c.Rdi)},      {"RBP", Hex(c.Rbp)}, {"RSP", Hex(c.Rsp)},
            {"R8", Hex(c.R8)},   {"R9", Hex(c.R9)},        {"R10", Hex(c.R10)}, {"R11", Hex(c.R11)},
            {"R12", Hex(c.R12)}, {"R13", Hex(c.R13)},      {"R14", Hex(c.R14)}, {"R15", Hex(c.R15)},
            {"RIP", Hex(c.Rip)}, {"EFLAGS", Hex(c.EFlags)}};
}

std::string InternalErrorText(const char* section, uint64_t address, const std::string& message) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%016llX", static_cast<unsigned long long>(address));
    return "[ERROR] - Section: " + std::string(section) + " - Address: " + buffer + " - Message: \"" + message + "\"";
}

void RunOnFailingThread(const std::function<void()>& work) {
    if (g_waitingThread.load() != g_mainThreadId || GetCurrentThreadId() == g_mainThreadId) {
        work();
        return;
    }
    TKernelHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    THandBack handBack{&work, done.Handle()};
    if (!handBack.Done) {
        work();
        return;
    }
    g_handBack.store(&handBack);
    WaitForSingleObject(handBack.Done, INFINITE);
    done.Reset();
}

namespace {
thread_local TWork* t_work = nullptr;

DWORD WINAPI WorkerMain(void* parameter) {
    t_worker = true;
    g_workerThreadId.store(GetCurrentThreadId());
    TWork& work = *static_cast<TWork*>(parameter);
    t_work = &work;
    try {
        if (auto hook = g_workHook.load()) hook();
        RunReportWork(work);
    } catch (const std::exception& e) {
        work.InternalError = e.what();
    } catch (...) {
        work.InternalError = "Unknown exception";
    }
    return 0;
}

void RunHandedBackWork() {
    THandBack* handBack = g_handBack.exchange(nullptr);
    if (!handBack) return;
    (*handBack->Work)();
    SetEvent(handBack->Done);
}

void PlainMessage(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), CrashReporterOptions().DialogCaption.c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace

std::atomic<void (*)()> g_beforeDialog{nullptr};

void SetBeforeReportDialog(void (*hook)()) { g_beforeDialog.store(hook); }

void SetReportWorkHookForTesting(void (*hook)(), unsigned stuckMs) {
    g_workHook.store(hook);
    g_stuckWorkerMs.store(stuckMs);
}

// A failure of the worker itself: the worker is abandoned and the waiting
// thread reports the original fault plainly.
[[noreturn]] void AbandonWorker(const std::string& error) {
    if (t_work) t_work->InternalError = error;
    ExitThread(1);
}

bool HandleFailure(TFailure& failure) {
    // A failure while this thread is already reporting is not reported again.
    if (t_reporting) return true;
    if (t_worker) AbandonWorker(failure.Class + ": " + failure.Message);
    t_reporting = true;
    EnterCriticalSection(&g_reportLock);
    TWork work{&failure, true, {}};
    DWORD id = 0;
    TKernelHandle threadOwner(CreateThread(nullptr, 1024 * 1024, WorkerMain, &work, 0, &id));
    HANDLE thread = threadOwner.Handle();
    if (!thread) {
        work.InternalError = "Cannot start the report thread.";
    } else {
        bool main = GetCurrentThreadId() == g_mainThreadId;
        g_waitingThread.store(GetCurrentThreadId());
        // The main thread keeps its message queue serviced while it waits,
        // so that its windows stay painted and handed-back work runs.
        ULONGLONG started = GetTickCount64();
        while (WaitForSingleObject(thread, main ? 0 : 10) == WAIT_TIMEOUT) {
            if (!work.Saved.load() && GetTickCount64() - started > g_stuckWorkerMs.load()) {
                TerminateThread(thread, 1);
                work.InternalError = "The report thread does not answer.";
                break;
            }
            if (!main) continue;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            RunHandedBackWork();
            Sleep(10);
        }
        g_waitingThread.store(0);
        threadOwner.Reset();
    }
    if (!work.InternalError.empty()) {
        // The report could not be completed: say so plainly rather than hang.
        PlainMessage(failure.Class + ": " + failure.Message + "\r\n\r\n" +
                     InternalErrorText("Report", failure.Address, work.InternalError));
        work.Result = false;
    }
    LeaveCriticalSection(&g_reportLock);
    t_reporting = false;
    return work.Result;
}

namespace {
std::string ModuleOf(uint64_t address) {
    TStackEntry e = ResolveAddress(address);
    return e.Module.empty() ? "?" : e.Module;
}

// The structured exceptions described by a fixed text.
struct TKnownException {
    DWORD Code;
    const char* Class;
    const char* Message;
};
const TKnownException kKnownExceptions[] = {
    {EXCEPTION_STACK_OVERFLOW, "EStackOverflow", "Stack overflow"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "EDivByZero", "Division by zero"},
    {EXCEPTION_INT_OVERFLOW, "EIntOverflow", "Integer overflow"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "EPrivilege", "Privileged instruction"},
    {EXCEPTION_PRIV_INSTRUCTION, "EPrivilege", "Privileged instruction"},
    // STATUS_INVALID_CRUNTIME_PARAMETER, raised when no handler takes it
    {0xC0000417, "EInvalidParameter", "Invalid parameter passed to a C runtime function."},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "EZeroDivide", "Floating point division by zero"},
};

// System libraries the program loads on first use (see the build's delayed
// libraries) raise these when the library or its function is missing; the
// report names both.
bool DescribeDelayLoad(const EXCEPTION_RECORD& r, TFailure& f) {
    const DWORD kModuleNotFound = 0xC06D007E, kProcedureNotFound = 0xC06D007F;
    if ((r.ExceptionCode != kModuleNotFound && r.ExceptionCode != kProcedureNotFound) || r.NumberParameters < 1 ||
        !r.ExceptionInformation[0])
        return false;
    const auto* info = reinterpret_cast<const DelayLoadInfo*>(r.ExceptionInformation[0]);
    std::string library = info->szDll ? info->szDll : "?";
    std::string function = !info->dlp.fImportByName ? "#" + std::to_string(info->dlp.dwOrdinal)
                           : info->dlp.szProcName   ? info->dlp.szProcName
                                                    : "?";
    f.Class = "ELibraryNotLoaded";
    f.Message = r.ExceptionCode == kModuleNotFound
                    ? "Cannot load the system library " + library + " for " + function + "."
                    : "The system library " + library + " has no function " + function + ".";
    return true;
}

void DescribeStructured(const EXCEPTION_RECORD& r, TFailure& f) {
    char buffer[256];
    uint64_t address = reinterpret_cast<uint64_t>(r.ExceptionAddress);
    if (r.ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
        const char* kind = r.ExceptionInformation[0] == 1   ? "Write"
                           : r.ExceptionInformation[0] == 8 ? "Execution"
                                                            : "Read";
        f.Class = "EAccessViolation";
        std::snprintf(buffer, sizeof buffer,
                      "Access violation at address %016llX in module '%s'. %s of address %016llX",
                      static_cast<unsigned long long>(address), ModuleOf(address).c_str(), kind,
                      static_cast<unsigned long long>(r.ExceptionInformation[1]));
        f.Message = buffer;
        return;
    }
    if (DescribeDelayLoad(r, f)) return;
    for (const TKnownException& known : kKnownExceptions)
        if (r.ExceptionCode == known.Code) {
            f.Class = known.Class;
            f.Message = known.Message;
            return;
        }
    f.Class = "EExternalException";
    std::snprintf(buffer, sizeof buffer, "External exception %08lX", static_cast<unsigned long>(r.ExceptionCode));
    f.Message = buffer;
}

// The end of a process that cannot go on after its report.
[[noreturn]] void EndProcess(UINT code) {
    TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);
}

LONG WINAPI UnhandledFilter(EXCEPTION_POINTERS* ep) {
    const EXCEPTION_RECORD& r = *ep->ExceptionRecord;
    // An uncaught C++ exception goes on to std::terminate, which reports it
    // with its class and message.
    if ((r.ExceptionCode & GccMagicMask) == GccThrow && !(r.ExceptionFlags & EXCEPTION_NONCONTINUABLE))
        return EXCEPTION_CONTINUE_EXECUTION;
    if (t_worker) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "Exception %08lX at %p", static_cast<unsigned long>(r.ExceptionCode),
                      r.ExceptionAddress);
        AbandonWorker(buffer);
    }
    // Little stack may be left (stack overflow): the failure lives on the heap.
    auto failure = std::make_unique<TFailure>();
    DescribeStructured(r, *failure);
    failure->Address = reinterpret_cast<uint64_t>(r.ExceptionAddress);
    failure->ThreadId = GetCurrentThreadId();
    failure->Registers = RegisterItems(*ep->ContextRecord);
    auto context = std::make_unique<CONTEXT>(*ep->ContextRecord);
    failure->Stack = WalkStack(*context);
    HandleFailure(*failure);
    EndProcess(r.ExceptionCode);
}

// A stack overflow leaves too little stack for any report work on the
// failing thread: it hands its registers to a thread kept ready for this and
// waits there while that thread reports and ends the process.
struct TOverflow {
    EXCEPTION_RECORD Record;
    CONTEXT Context;
    DWORD ThreadId;
} g_overflow;
std::atomic<bool> g_overflowTaken{false};
HANDLE g_overflowEvent = nullptr;

DWORD WINAPI OverflowThread(void*) {
    WaitForSingleObject(g_overflowEvent, INFINITE);
    // An overflow of the report worker cannot be reported: end at once.
    if (g_overflow.ThreadId == g_workerThreadId.load()) EndProcess(g_overflow.Record.ExceptionCode);
    TFailure failure;
    DescribeStructured(g_overflow.Record, failure);
    failure.Address = reinterpret_cast<uint64_t>(g_overflow.Record.ExceptionAddress);
    failure.ThreadId = g_overflow.ThreadId;
    failure.Registers = RegisterItems(g_overflow.Context);
    failure.Stack = WalkStack(g_overflow.Context);
    HandleFailure(failure);
    EndProcess(g_overflow.Record.ExceptionCode);
}

LONG CALLBACK VectoredHandler(EXCEPTION_POINTERS* ep) {
    const EXCEPTION_RECORD& r = *ep->ExceptionRecord;
    if (r.ExceptionCode == EXCEPTION_STACK_OVERFLOW && g_overflowEvent && !g_overflowTaken.exchange(true)) {
        g_overflow.Record = r;
        g_overflow.Context = *ep->ContextRecord;
        g_overflow.ThreadId = GetCurrentThreadId();
        SetEvent(g_overflowEvent);
        WaitForSingleObject(GetCurrentProcess(), INFINITE);
    }
    if (r.ExceptionCode != GccThrow || t_reporting) return EXCEPTION_CONTINUE_SEARCH;
    const void* object = r.NumberParameters > 0 ? reinterpret_cast<const void*>(r.ExceptionInformation[0]) : nullptr;
    if (object && object == t_raiseObject) return EXCEPTION_CONTINUE_SEARCH;
    if (!t_raiseStack) t_raiseStack = new std::vector<uint64_t>;
    if (!t_raiseContext) t_raiseContext = new CONTEXT;
    *t_raiseStack = WalkStack(*ep->ContextRecord);
    *t_raiseContext = *ep->ContextRecord;
    t_raiseObject = object;
    return EXCEPTION_CONTINUE_SEARCH;
}

// The stack of the throw, without the system's and the C++ runtime's own
// raising frames.
std::vector<uint64_t> RaiseStack() {
    if (!t_raiseStack) return {};
    std::vector<uint64_t> stack = *t_raiseStack;
    size_t first = 0;
    while (first < stack.size()) {
        TStackEntry e = ResolveAddress(stack[first]);
        bool raising = e.Module.empty() || _stricmp(e.Module.c_str(), "ntdll.dll") == 0 ||
                       _stricmp(e.Module.c_str(), "kernelbase.dll") == 0 ||
                       _stricmp(e.Module.c_str(), "kernel32.dll") == 0 || e.Procedure.rfind("_Unwind_", 0) == 0 ||
                       e.Procedure.rfind("__cxa_", 0) == 0;
        if (!raising) break;
        ++first;
    }
    if (first == stack.size()) first = 0;
    stack.erase(stack.begin(), stack.begin() + first);
    return stack;
}

// The current stack without the reporter's own frames on top.
std::vector<uint64_t> CallerStack() {
    std::vector<uint64_t> stack = CurrentStack();
    size_t first = 0;
    while (first + 1 < stack.size() && ResolveAddress(stack[first]).Unit.rfind("ExceptionLog", 0) == 0) ++first;
    stack.erase(stack.begin(), stack.begin() + first);
    return stack;
}

void FatalFailure(const std::string& cls, const std::string& message, UINT code) {
    TFailure failure;
    failure.Class = cls;
    failure.Message = message;
    failure.ThreadId = GetCurrentThreadId();
    failure.Stack = CallerStack();
    HandleFailure(failure);
    EndProcess(code);
}

void FillFromCurrentException(TFailure& f) {
    try {
        std::rethrow_exception(std::current_exception());
    } catch (const std::exception& e) {
        f.Class = Demangled(typeid(e).name());
        f.Message = e.what();
    } catch (...) {
        f.Class = "Exception";
        f.Message = "Unknown C++ exception";
    }
}

void OnTerminate() {
    TFailure failure;
    failure.ThreadId = GetCurrentThreadId();
    if (std::current_exception()) {
        // The stack first: looking at the exception rethrows it.
        failure.Stack = RaiseStack();
        if (t_raiseContext && !failure.Stack.empty()) failure.Registers = RegisterItems(*t_raiseContext);
        t_reporting = true;
        FillFromCurrentException(failure);
        t_reporting = false;
    } else {
        failure.Class = "ETerminate";
        failure.Message = "The program called terminate().";
        failure.Stack = CallerStack();
    }
    HandleFailure(failure);
    EndProcess(3);
}

void OnAbort(int) { FatalFailure("EAbortCalled", "The program called abort().", 3); }

void OnInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {
    TFailure failure;
    failure.Class = "EInvalidParameter";
    failure.Message = "Invalid parameter passed to a C runtime function.";
    failure.ThreadId = GetCurrentThreadId();
    failure.Stack = CallerStack();
    HandleFailure(failure);
}

// Replaces a routine by a jump to `replacement` (same signature), so that its
// callers reach the replacement instead.
void HookProcedure(const char* name, void* procedure, void* replacement) {
    if (!procedure) {
        AddInstallWarning(WarningText("Hook", 0, std::string("Cannot hook a null procedure (\"") + name + "\")."));
        return;
    }
    // Code in a mapping shared between processes (not an image the system
    // copies on write) would be changed for every process using it.
    MEMORY_BASIC_INFORMATION memory{};
    if (VirtualQuery(procedure, &memory, sizeof memory) && memory.Type == MEM_MAPPED) {
        char module[MAX_PATH] = {};
        if (!GetMappedFileNameA(GetCurrentProcess(), procedure, module, sizeof module))
            std::snprintf(module, sizeof module, "%p", procedure);
        AddInstallWarning(
            WarningText("Hook", reinterpret_cast<uint64_t>(procedure),
                        std::string("Cannot hook the module \"") + module + "\" located into the shared-area."));
        return;
    }
    unsigned char jump[14] = {0xFF, 0x25, 0, 0, 0, 0};  // jmp [rip+0], then the address
    std::memcpy(jump + 6, &replacement, sizeof replacement);
    DWORD protection;
    if (!VirtualProtect(procedure, sizeof jump, PAGE_EXECUTE_READWRITE, &protection)) {
        AddInstallWarning(WarningText("Hook", reinterpret_cast<uint64_t>(procedure),
                                      std::string("Cannot hook the procedure \"") + name + "\"."));
        return;
    }
    std::memcpy(procedure, jump, sizeof jump);
    VirtualProtect(procedure, sizeof jump, protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), procedure, sizeof jump);
}

}  // namespace

void HookProcedureForTesting(const char* name, void* procedure, void* replacement) {
    HookProcedure(name, procedure, replacement);
}

namespace {
bool Manager(const std::exception* exception, void* address) { return ExceptionManager(exception, address); }

struct TInstaller {
    TInstaller() { InstallCrashReporter(); }
} g_installer;
}  // namespace

extern "C" void __cxa_pure_virtual() { FatalFailure("EPureVirtualCall", "Pure virtual function call.", 3); }

extern "C" bool ExceptionManager(const std::exception* exception, void* address) {
    if (g_hostManager) return g_hostManager(exception, address);
    TFailure failure;
    failure.ThreadId = GetCurrentThreadId();
    if (exception) {
        failure.Class = Demangled(typeid(*exception).name());
        failure.Message = exception->what();
    } else {
        failure.Class = "Exception";
        failure.Message = "Unknown exception";
    }
    failure.Address = reinterpret_cast<uint64_t>(address);
    failure.Stack = RaiseStack();
    // The registers where it was raised; without a raise we saw, the caller's.
    if (!failure.Stack.empty() && t_raiseContext) {
        failure.Registers = RegisterItems(*t_raiseContext);
    } else {
        failure.Stack = CurrentStack();
        CONTEXT context{};
        RtlCaptureContext(&context);
        failure.Registers = RegisterItems(context);
    }
    t_raiseObject = nullptr;
    return HandleFailure(failure);
}

extern "C" void InstallCrashReporter() {
    if (g_installed.exchange(true)) return;
    (void)&_tls_used;  // keeps the TLS directory, and with it the thread callback
    InitializeCriticalSection(&g_reportLock);
    g_mainThreadId = GetCurrentThreadId();
    ReserveOverflowStack();
    TrackThread(g_mainThreadId, {});

    // In a library loaded by a host that reports exceptions itself, the host's
    // reporter takes every call and does all interception.
    auto host = reinterpret_cast<THostManager>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), "ExceptionManager")));
    if (host && host != &ExceptionManager) {
        g_hostManager = host;
        SetExceptionManager(Manager);
        return;
    }

    LoadProgramSymbols();
    HookThreadCreation();
    SetUnhandledExceptionFilter(UnhandledFilter);
    g_overflowEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TKernelHandle(CreateThread(nullptr, 0, OverflowThread, nullptr, 0, nullptr)).Reset();  // runs on
    AddVectoredExceptionHandler(1, VectoredHandler);
    std::set_terminate(OnTerminate);
    signal(SIGABRT, OnAbort);
    // The runtime library's own handler: the import library only keeps a
    // local copy, which msvcrt.dll never calls.
    _set_invalid_parameter_handler(OnInvalidParameter);
    HMODULE crt = GetModuleHandleA("msvcrt.dll");
    using TSetHandler = _invalid_parameter_handler(__cdecl*)(_invalid_parameter_handler);
    if (auto set = reinterpret_cast<TSetHandler>(
            reinterpret_cast<void*>(GetProcAddress(crt, "_set_invalid_parameter_handler"))))
        set(OnInvalidParameter);
    else
        // A runtime without handlers only logs: its report routine is replaced.
        HookProcedure("_invalid_parameter", reinterpret_cast<void*>(GetProcAddress(crt, "_invalid_parameter")),
                      reinterpret_cast<void*>(OnInvalidParameter));
    SetExceptionManager(Manager);
    SetCrashReporterOptions(StoredProgramOptions());
}
