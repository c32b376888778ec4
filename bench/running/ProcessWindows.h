#pragma once
// The measured program seen from outside: its windows found by process and
// class, waits until they are painted or gone, and the program itself,
// started in a folder and ended by closing its main window.
#include <windows.h>

#include <psapi.h>

#include <functional>
#include <string>
#include <vector>

#include "bench/running/BenchSupport.h"

HWND MainWindowOf(DWORD pid);
// A visible top-level window of the process, of the class (and, when given,
// with the text), other than `except`.
HWND WindowOf(DWORD pid, const char* className, const char* text = nullptr, HWND except = nullptr);
std::vector<HWND> Descendants(HWND top);
HWND ChildOfClass(HWND top, const char* className, const std::function<bool(HWND)>& pick = {});
// True once the window's thread has handled everything sent to it before.
bool Answers(HWND window, double timeoutMs = kWaitMs);
// Waits until the window answers and neither it nor a visible child has
// anything left to paint.
void WaitPainted(HWND top);
// Waits for a visible window of the process and its painting.
HWND WaitWindow(DWORD pid, const char* className, const char* text, HWND except);
void WaitGone(HWND window);
// Whether a list shows its last row.
bool AtBottom(HWND list, int rows);

class TChild {
public:
    TChild(const std::string& program, const std::string& arguments, const std::string& folder);
    ~TChild();
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    DWORD Pid() const { return FPid; }
    // Waits for the main window, visible and painted.
    HWND WaitShown();
    PROCESS_MEMORY_COUNTERS Memory() const;

private:
    HANDLE FProcess = nullptr;
    DWORD FPid = 0;
    HWND FMain = nullptr;
};
