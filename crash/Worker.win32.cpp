// The report work (TExceptionThread): collects what is known about the
// failure, saves the report, shows it and sends it as configured.
#include <windows.h>
#include <shellapi.h>
#include <mapi.h>

#include <cctype>
#include <cstdio>
#include <ctime>

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/Gdi.h"
#include "crash/ExceptionLog.h"
#include "crash/Handling.h"
#include "crash/LogFile.h"
#include "crash/MailSender.h"
#include "crash/ReportDialog.h"
#include "crash/StackWalk.h"

namespace {
std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Format(const char* format, long long a, long long b = 0, long long c = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    DWORD_PTR copied = 0;
    // A hung window must not hang the report: its stored title is read
    // without a message then.
    if (SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 200,
                            &copied))
        return text;
    using TInternalGetWindowText = int(WINAPI*)(HWND, LPWSTR, int);
    auto internal = reinterpret_cast<TInternalGetWindowText>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "InternalGetWindowText")));
    wchar_t wide[512] = {};
    if (!internal || !internal(window, wide, 512)) return {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

void ActiveControl(TReportData& d) {
    RunOnFailingThread([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(MainThreadId(), &info) || !info.hwndFocus) return;
        char name[256] = {};
        GetClassNameA(info.hwndFocus, name, sizeof name);
        d.ActiveControlClass = name;
        d.ActiveControlText = WindowText(info.hwndFocus);
    });
}

void SystemItems(TReportData& d) {
    using RtlGetVersionFunc = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto getVersion = reinterpret_cast<RtlGetVersionFunc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (getVersion && getVersion(&version) == 0)
        d.System.push_back({"Windows", Format("%lld.%lld build %lld", version.dwMajorVersion, version.dwMinorVersion,
                                              version.dwBuildNumber)});
    char name[256] = {};
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size)) d.System.push_back({"Computer", name});
    size = sizeof name;
    if (GetUserNameA(name, &size)) d.System.push_back({"User", name});
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    d.System.push_back({"Processors", std::to_string(info.dwNumberOfProcessors)});
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    if (GlobalMemoryStatusEx(&memory))
        d.System.push_back(
            {"Memory", Format("%lld MB free of %lld MB", memory.ullAvailPhys >> 20, memory.ullTotalPhys >> 20)});
    d.System.push_back(
        {"Display", Format("%lld x %lld", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))});
}

void TimeItems(TReportData& d) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    d.Date = Format("%04lld-%02lld-%02lld", now.wYear, now.wMonth, now.wDay);
    d.Time = Format("%02lld:%02lld:%02lld", now.wHour, now.wMinute, now.wSecond);
    FILETIME created, exited, kernel, user, current;
    GetSystemTimeAsFileTime(&current);
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        auto ticks = [](FILETIME t) { return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        long long seconds = (ticks(current) - ticks(created)) / 10000000;
        d.UpTime = Format("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    }
}

TReportData Collect(const TFailure& f) {
    TReportData d;
    d.Application = FileName(ProgramFile());
    d.Version = FileVersion(ProgramFile());
    d.Warnings = InstallWarnings();
    d.ProcessId = GetCurrentProcessId();
    d.ExceptionClass = f.Class;
    d.ExceptionMessage = f.Message;
    d.ThreadId = f.ThreadId;
    d.Registers = f.Registers;
    d.Stack = ResolveStack(f.Stack);
    DropDuplicatedTop(d.Stack);
    d.Address = f.Address ? ResolveAddress(f.Address) : d.Stack.empty() ? TStackEntry() : d.Stack.front();
    for (const TTrackedThread& t : TrackedThreads()) {
        TThreadEntry entry{t.Id, t.Id == MainThreadId(), ResolveStack(t.CreationStack)};
        if (t.Id == f.ThreadId) d.CreationStack = entry.CreationStack;
        d.Threads.push_back(std::move(entry));
    }
    d.Modules = LoadedModules();
    ActiveControl(d);
    TimeItems(d);
    SystemItems(d);
    return d;
}

void PlainMessage(const TVesperModuleOptions& options, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), options.DialogCaption.c_str(), MB_OK | MB_ICONERROR | MB_TOPMOST);
}

std::string UrlEncoded(const std::string& text);

// A console program shows its report on standard output instead of a dialog.
bool ConsoleProgram() {
    auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

// The mail program registered under "SOFTWARE\Clients\Mail", else the
// system's simple messaging library.
std::string MapiLibrary() {
    char client[256] = {}, path[MAX_PATH] = {};
    DWORD size = sizeof client;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail", nullptr, RRF_RT_REG_SZ, nullptr, client, &size) ==
            ERROR_SUCCESS &&
        client[0]) {
        std::string key = std::string("SOFTWARE\\Clients\\Mail\\") + client;
        size = sizeof path;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "DLLPath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, nullptr,
                         path, &size) == ERROR_SUCCESS &&
            path[0])
            return path;
    }
    return "MAPI32.DLL";
}

// Sends through the user's mail program: log on, resolve the recipient,
// send with the attachments, log off. Raises Exception with the messaging
// errors' texts.
void SendByMapi(const TVesperModuleOptions& options, const TMailMessage& mail, const std::string& logPath,
                const std::string& screenshot) {
    HMODULE library = LoadLibraryA(MapiLibrary().c_str());
    if (!library) throw Exception("Cannot open the MAPI dll.");
    struct TLibrary {
        HMODULE Handle;
        ~TLibrary() { FreeLibrary(Handle); }
    } owner{library};
    auto logon = reinterpret_cast<LPMAPILOGON>(reinterpret_cast<void*>(GetProcAddress(library, "MAPILogon")));
    auto logoff = reinterpret_cast<LPMAPILOGOFF>(reinterpret_cast<void*>(GetProcAddress(library, "MAPILogoff")));
    auto resolve =
        reinterpret_cast<LPMAPIRESOLVENAME>(reinterpret_cast<void*>(GetProcAddress(library, "MAPIResolveName")));
    auto send = reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
    auto release =
        reinterpret_cast<LPMAPIFREEBUFFER>(reinterpret_cast<void*>(GetProcAddress(library, "MAPIFreeBuffer")));
    if (!logon || !logoff || !resolve || !send || !release) throw Exception("Cannot found the MAPI functions.");
    LHANDLE session = 0;
    if (logon(0, nullptr, nullptr, MAPI_LOGON_UI, 0, &session) != SUCCESS_SUCCESS)
        throw Exception("Cannot LogOn into the MAPI service.");

    // The screenshot goes as a temporary file, deleted after sending.
    std::string shotPath;
    if (!screenshot.empty()) {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        shotPath = std::string(folder) + "Screenshot.png";
        TFileSetWriter writer;
        writer.Add(shotPath, screenshot);
        writer.Commit();
    }
    std::string logName = FileName(logPath), shotName = "Screenshot.png";
    std::vector<MapiFileDesc> files;
    files.push_back({0, 0, static_cast<ULONG>(-1), const_cast<char*>(logPath.c_str()),
                     const_cast<char*>(logName.c_str()), nullptr});
    if (!shotPath.empty())
        files.push_back({0, 0, static_cast<ULONG>(-1), const_cast<char*>(shotPath.c_str()),
                         const_cast<char*>(shotName.c_str()), nullptr});

    std::string address = "SMTP:" + options.MailTo;
    MapiRecipDesc typed{0, MAPI_TO, const_cast<char*>(options.MailTo.c_str()), const_cast<char*>(address.c_str()),
                        0, nullptr};
    lpMapiRecipDesc resolved = nullptr;
    if (resolve(session, 0, const_cast<char*>(options.MailTo.c_str()), 0, 0, &resolved) == SUCCESS_SUCCESS && resolved)
        resolved->ulRecipClass = MAPI_TO;
    MapiMessage message{};
    message.lpszSubject = const_cast<char*>(mail.Subject.c_str());
    message.lpszNoteText = const_cast<char*>(mail.Body.c_str());
    message.nRecipCount = 1;
    message.lpRecips = resolved ? resolved : &typed;
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.data();
    ULONG sent = send(session, 0, &message, 0, 0);
    if (resolved) release(resolved);
    logoff(session, 0, 0, 0);
    if (!shotPath.empty()) DeleteFileA(shotPath.c_str());
    if (sent != SUCCESS_SUCCESS) throw Exception("Cannot send the MAPI message.");
}

void SendMail(const TVesperModuleOptions& options, const std::string& report, const std::string& logPath,
              const std::string& screenshot) {
    std::vector<TMailAttachment> attachments;
    if (auto log = ReadFileIfExists(logPath)) attachments.push_back({FileName(logPath), *log});
    if (!screenshot.empty()) attachments.push_back({"Screenshot.png", screenshot});
    TMailMessage mail = ReportMail(options, report, std::move(attachments), static_cast<long long>(std::time(nullptr)));
    if (options.SendMode == TSendMode::Smtp) {
        std::string error;
        RunWithSendingWindow([&] {
            try {
                auto socket = CreateTcpSocket(30000);
                auto dns = CreateUdpSocket();
                SendBySmtp(options, mail, *socket, *dns, LocalHostName());
            } catch (const std::exception& e) {
                error = e.what();
            }
        });
        if (!error.empty()) PlainMessage(options, error);
        return;
    }
    try {
        SendByMapi(options, mail, logPath, screenshot);
        return;
    } catch (const std::exception&) {
        // No mail program takes it: try the shell's "mailto:" handler.
    }
    // The user's mail program: a "mailto:" address through the shell, the
    // report as the body (shortened: the address has a length limit).
    std::string address = "mailto:" + options.MailTo + "?Subject=" + UrlEncoded(options.MailSubject) +
                          "&Body=" + UrlEncoded(report.substr(0, 1500));
    if (reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) <=
        32) {
        char text[1024];
        std::snprintf(text, sizeof text, options.SupportMessage.c_str(), logPath.c_str());
        PlainMessage(options, text);
    }
}

std::string UrlEncoded(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        }
    }
    return out;
}

[[noreturn]] void EndProcess(UINT code) {
    TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);
}
}  // namespace

void RunReportWork(TWork& work) {
    const TFailure& f = *work.Failure;
    // The options of the module where it arose.
    TVesperModuleOptions options = ModuleOptionsAt(f.Address ? f.Address : f.Stack.empty() ? 0 : f.Stack.front());
    if (options.HandleListedClasses)
        for (const auto& [cls, message] : options.ClassMessages)
            if (cls == f.Class) {
                if (!message.empty()) PlainMessage(options, message);
                work.Result = false;
                return;
            }

    TReportData data = Collect(f);
    TLogItem report = BuildReport(data, options.ReportNames);
    std::string text = report.Text();
    std::string logPath = LogFilePath(options.OutputPath, ProgramFile());
    std::string saveError;
    try {
        TLogFile log(logPath, options.MaxReports);
        if (options.SaveDuplicates || !log.HasDuplicate(text, options.ReportNames)) log.Add(text);
    } catch (const std::exception& e) {
        saveError = e.what();
    }
    work.Saved.store(true);
    if (void (*beforeDialog)() = g_beforeDialog.load()) beforeDialog();
    if (!saveError.empty()) PlainMessage(options, InternalErrorText("Log file", data.Address.Address, saveError));

    bool canSend = options.SendMode != TSendMode::None && !options.MailTo.empty();
    // The screen as the failure left it, before the dialog covers it.
    std::string screenshot;
    if (canSend && (options.AttachScreenshot || options.ShowDialog)) {
        try {
            screenshot = CaptureScreenPng();
        } catch (const std::exception&) {
        }
    }
    TDialogChoice choice{false, canSend, options.AttachScreenshot, options.CopyToClipboard};
    bool dialog = options.ShowDialog && !ConsoleProgram();
    if (options.ShowDialog && !dialog) {
        std::string line = text + "\r\n";
        DWORD written;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    if (dialog) {
        try {
            choice = ShowReportDialog(options, report, canSend);
        } catch (const std::exception& e) {
            PlainMessage(options, f.Class + ": " + f.Message + "\r\n\r\n" + e.what());
        }
    }
    if (choice.Clipboard) CopyTextToClipboard(text);
    if (choice.Send && canSend) {
        if (dialog) {
            data.UserMessage = AskStepsToReproduce();
            text = BuildReport(data, options.ReportNames).Text();
        }
        SendMail(options, text, logPath, choice.Screenshot ? screenshot : std::string());
    }
    work.Result = false;
    if (choice.Kill || options.AfterReport == TAfterReport::Terminate) EndProcess(1);
    if (options.AfterReport == TAfterReport::Restart) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string command = GetCommandLineA();
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            TKernelHandle(process.hThread).Reset();
            TKernelHandle(process.hProcess).Reset();
        }
        EndProcess(1);
    }
}
