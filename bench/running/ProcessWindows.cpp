#include "bench/running/ProcessWindows.h"

#include <commctrl.h>

#include <cstring>

HWND MainWindowOf(DWORD pid) {
    struct Search {
        DWORD Pid;
        HWND Found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->Pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
            s->Found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WindowOf(DWORD pid, const char* className, const char* text, HWND except) {
    struct Search {
        DWORD Pid;
        const char* Class;
        const char* Text;
        HWND Except, Found;
    } search{pid, className, text, except, nullptr};
    EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->Pid || window == s->Except || !IsWindowVisible(window)) return TRUE;
            char name[64] = {}, caption[128] = {};
            GetClassNameA(window, name, sizeof name);
            if (s->Class && lstrcmpiA(name, s->Class) != 0) return TRUE;
            GetWindowTextA(window, caption, sizeof caption);
            if (s->Text && std::strcmp(caption, s->Text) != 0) return TRUE;
            s->Found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(
        top,
        [](HWND window, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND ChildOfClass(HWND top, const char* className, const std::function<bool(HWND)>& pick) {
    for (HWND w : Descendants(top)) {
        char name[64];
        GetClassNameA(w, name, sizeof name);
        if (lstrcmpiA(name, className) == 0 && (!pick || pick(w))) return w;
    }
    return nullptr;
}

bool Answers(HWND window, double timeoutMs) {
    DWORD_PTR result;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result) != 0;
}

namespace {

bool PaintPending(HWND top) {
    if (GetUpdateRect(top, nullptr, FALSE)) return true;
    for (HWND w : Descendants(top))
        if (IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE)) return true;
    return false;
}

}  // namespace

void WaitPainted(HWND top) {
    double deadline = NowMs() + kWaitMs;
    while (true) {
        if (!Answers(top)) Fail("the window stopped answering");
        if (!PaintPending(top)) return;
        if (NowMs() > deadline) Fail("the window never finished painting");
        Sleep(1);
    }
}

TChild::TChild(const std::string& program, const std::string& arguments, const std::string& folder) {
    std::string line = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        Fail("cannot start " + program);
    CloseHandle(pi.hThread);
    FProcess = pi.hProcess;
    FPid = pi.dwProcessId;
}

TChild::~TChild() {
    if (FMain) PostMessageA(FMain, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(FProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(FProcess, 1);
    CloseHandle(FProcess);
}

HWND TChild::WaitShown() {
    double deadline = NowMs() + kWaitMs;
    while (!(FMain = MainWindowOf(FPid))) {
        if (WaitForSingleObject(FProcess, 0) == WAIT_OBJECT_0) Fail("the program ended before showing a window");
        if (NowMs() > deadline) Fail("no window");
        Sleep(1);
    }
    WaitPainted(FMain);
    return FMain;
}

PROCESS_MEMORY_COUNTERS TChild::Memory() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(FProcess, &counters, sizeof counters);
    return counters;
}

bool AtBottom(HWND list, int rows) {
    int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    int perPage = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    return top + perPage >= rows;
}

HWND WaitWindow(DWORD pid, const char* className, const char* text, HWND except) {
    double deadline = NowMs() + kPopupWaitMs;
    HWND found;
    while (!(found = WindowOf(pid, className, text, except))) {
        if (NowMs() > deadline) {
            std::string seen;
            EnumWindows(
                [](HWND w, LPARAM lp) -> BOOL {
                    auto* s = reinterpret_cast<std::pair<DWORD, std::string*>*>(lp);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(w, &owner);
                    char name[64] = {};
                    GetClassNameA(w, name, sizeof name);
                    if (owner == s->first)
                        *s->second += std::string(" ") + name + (IsWindowVisible(w) ? "(visible)" : "");
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(new std::pair<DWORD, std::string*>(pid, &seen)));
            Fail(std::string("no ") + (className ? className : text) + " window; windows:" + seen);
        }
        Sleep(0);
    }
    WaitPainted(found);
    return found;
}
void WaitGone(HWND window) {
    double deadline = NowMs() + kPopupWaitMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (NowMs() > deadline) Fail("a menu or box did not close");
        Sleep(0);
    }
}
