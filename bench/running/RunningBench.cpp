// The running program measured from outside, as a user waits for it:
// start-up until the main window is visible and painted, selecting the
// largest project until its rows are shown and the window answers again,
// selecting a category afterwards, Save Changes, and the working set. Every
// figure is the median of several runs and is printed with its baseline,
// measured in the same run: a trivial one-window program, a bare list view
// with the same columns filled with redraw off, writing the same bytes.
// The skinned menus and message box are held against the platform's: from
// a right click on the tree to the painted menu, and from Enter on the
// menu's "Delete" to the painted question, against the trivial program's
// TrackPopupMenu on a right click and MessageBox on Enter.
//
//   plandesk_bench <plandesk.exe> <trivial_window.exe> <work folder> [runs [plan]]
// A plan name (empty, 1k, 10k, 100k, 10k-one) measures that plan only;
// "popups" measures the menus and message boxes only.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/running/PlanFiles.h"

namespace {

const double kWaitMs = 600000;
const double kPopupWaitMs = 20000;  // what the slowest program before this benchmark needed, with room

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot create " + path);
    DWORD written = 0;
    bool ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) Fail("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The DLL names in a program's import directory.
std::vector<std::string> ImportedLibraries(const std::string& program) {
    std::string image = ReadBytes(program);
    auto at = [&](size_t offset, size_t size) {
        if (offset > image.size() || size > image.size() - offset) Fail("unexpected layout of " + program);
        return image.data() + offset;
    };
    uint32_t peOffset;
    std::memcpy(&peOffset, at(0x3c, 4), 4);
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, at(peOffset, sizeof nt), sizeof nt);
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    size_t sectionTable = peOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    std::memcpy(sections.data(), at(sectionTable, sections.size() * sizeof(IMAGE_SECTION_HEADER)),
                sections.size() * sizeof(IMAGE_SECTION_HEADER));
    auto fileOffset = [&](uint32_t rva) -> size_t {
        for (const auto& s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        Fail("unexpected layout of " + program);
    };
    std::vector<std::string> names;
    uint32_t imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t d = fileOffset(imports);; d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, at(d, sizeof descriptor), sizeof descriptor);
        if (!descriptor.Name) break;
        names.emplace_back(at(fileOffset(descriptor.Name), 1));
    }
    return names;
}

// ---- windows of another process ----

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

// A visible top-level window of the process, of the class (and, when given,
// with the text), other than `except`.
HWND WindowOf(DWORD pid, const char* className, const char* text = nullptr, HWND except = nullptr) {
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

HWND ChildOfClass(HWND top, const char* className, const std::function<bool(HWND)>& pick = {}) {
    for (HWND w : Descendants(top)) {
        char name[64];
        GetClassNameA(w, name, sizeof name);
        if (lstrcmpiA(name, className) == 0 && (!pick || pick(w))) return w;
    }
    return nullptr;
}

// True once the window's thread has handled everything sent to it before.
bool Answers(HWND window, double timeoutMs = kWaitMs) {
    DWORD_PTR result;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result) != 0;
}

bool PaintPending(HWND top) {
    if (GetUpdateRect(top, nullptr, FALSE)) return true;
    for (HWND w : Descendants(top))
        if (IsWindowVisible(w) && GetUpdateRect(w, nullptr, FALSE)) return true;
    return false;
}

// Waits until the window answers and neither it nor a visible child has
// anything left to paint.
void WaitPainted(HWND top) {
    double deadline = NowMs() + kWaitMs;
    while (true) {
        if (!Answers(top)) Fail("the window stopped answering");
        if (!PaintPending(top)) return;
        if (NowMs() > deadline) Fail("the window never finished painting");
        Sleep(0);
    }
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// A program started in a folder, ended by closing its main window.
class TChild {
public:
    TChild(const std::string& program, const std::string& arguments, const std::string& folder) {
        std::string line = Quoted(program) + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                            &pi))
            Fail("cannot start " + program);
        CloseHandle(pi.hThread);
        FProcess = pi.hProcess;
        FPid = pi.dwProcessId;
    }
    ~TChild() {
        if (FMain) PostMessageA(FMain, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(FProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(FProcess, 1);
        CloseHandle(FProcess);
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    DWORD Pid() const { return FPid; }
    // Waits for the main window, visible and painted.
    HWND WaitShown() {
        double deadline = NowMs() + kWaitMs;
        while (!(FMain = MainWindowOf(FPid))) {
            if (WaitForSingleObject(FProcess, 0) == WAIT_OBJECT_0) Fail("the program ended before showing a window");
            if (NowMs() > deadline) Fail("no window");
            Sleep(0);
        }
        WaitPainted(FMain);
        return FMain;
    }
    PROCESS_MEMORY_COUNTERS Memory() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(FProcess, &counters, sizeof counters);
        return counters;
    }

private:
    HANDLE FProcess = nullptr;
    DWORD FPid = 0;
    HWND FMain = nullptr;
};

// Whether a list shows its last row.
bool AtBottom(HWND list, int rows) {
    int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    int perPage = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    return top + perPage >= rows;
}

// ---- the bare list: the same columns and check boxes, filled with redraw off ----

class TBareList {
public:
    TBareList() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        FFrame = CreateWindowExA(0, "STATIC", "Bare list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        FList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 0, 0, 560, 284,
                                FFrame, nullptr, GetModuleHandleA(nullptr), nullptr);
        DWORD ex = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
        SendMessageA(FList, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
        const char* captions[] = {"Done", "Task Description", "Task Notes", "Start Date", "End Date"};
        const int widths[] = {40, 160, 160, 100, 100};
        for (int i = 0; i < 5; ++i) {
            LVCOLUMNA col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            col.pszText = const_cast<char*>(captions[i]);
            col.cx = widths[i];
            SendMessageA(FList, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
        }
        Pump();
    }
    ~TBareList() { DestroyWindow(FFrame); }

    double Fill(int rows) {
        double start = NowMs();
        SendMessageA(FList, WM_SETREDRAW, FALSE, 0);
        SendMessageA(FList, LVM_SETITEMCOUNT, rows, 0);
        for (int i = 0; i < rows; ++i) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<char*>("");
            int row = static_cast<int>(SendMessageA(FList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            std::string texts[4] = {"Task " + std::to_string(i + 1) + " of Project 1: follow up",
                                    i % 4 ? "Call the supplier, then write the summary" : "", i % 5 ? "12/13/2007" : "",
                                    i % 5 ? "12/13/2007" : ""};
            for (int c = 0; c < 4; ++c) {
                LVITEMA sub{};
                sub.iSubItem = c + 1;
                sub.pszText = texts[c].data();
                SendMessageA(FList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
            }
            LVITEMA state{};
            state.stateMask = LVIS_STATEIMAGEMASK;
            state.state = INDEXTOSTATEIMAGEMASK(i % 3 == 0 ? 2 : 1);
            SendMessageA(FList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        }
        SendMessageA(FList, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(FList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        double elapsed = NowMs() - start;
        if (SendMessageA(FList, LVM_GETITEMCOUNT, 0, 0) != rows) Fail("the bare list did not fill");
        Pump();
        return elapsed;
    }
    // Pages from the top row to the last, each page painted before the next.
    double Page(int rows) {
        SendMessageA(FList, LVM_ENSUREVISIBLE, 0, FALSE);
        UpdateWindow(FList);
        double start = NowMs();
        for (int step = 0; step <= rows; ++step) {
            SendMessageA(FList, WM_KEYDOWN, VK_NEXT, 0);
            RedrawWindow(FList, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            if (AtBottom(FList, rows)) break;
        }
        double elapsed = NowMs() - start;
        if (!AtBottom(FList, rows)) Fail("the bare list did not page to its end");
        Pump();
        return elapsed;
    }
    double Clear() {
        double start = NowMs();
        SendMessageA(FList, WM_SETREDRAW, FALSE, 0);
        SendMessageA(FList, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(FList, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(FList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        double elapsed = NowMs() - start;
        Pump();
        return elapsed;
    }

private:
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    HWND FFrame = nullptr, FList = nullptr;
};

// ---- figures ----

struct TPlan {
    std::string Name;
    int Projects, TasksEach;
};

using TSamples = std::map<std::string, std::vector<double>>;

double MB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

class TBench {
public:
    TBench(std::string program, std::string trivial, std::string folder, std::string plainSkin)
        : FProgram(std::move(program)),
          FTrivial(std::move(trivial)),
          FFolder(std::move(folder)),
          FPlainSkin(std::move(plainSkin)) {
        for (const std::string& dll : ImportedLibraries(FProgram)) FLibraries += (FLibraries.empty() ? "" : " ") + dll;
    }

    void Run(int runs, const std::vector<TPlan>& plans, bool popups) {
        CreateDirectoryA(FFolder.c_str(), nullptr);
        for (int run = 0; run < runs; ++run) {
            std::fprintf(stderr, "run %d of %d\n", run + 1, runs);
            if (!plans.empty()) {
                Trivial("trivial", "");
                Trivial("trivial+libs", FLibraries);
                BareList(plans);
            }
            for (const TPlan& plan : plans) Planner(plan, false);
            // The same program with a skin that has no control elements:
            // every control in its plain look, the frame unchanged.
            if (!FPlainSkin.empty())
                for (const TPlan& plan : plans)
                    if (plan.Projects == 1) Planner(plan, true);
            if (popups) Popups();
        }
        if (!plans.empty()) Print(runs, plans);
        if (popups) PrintPopups(runs);
    }

private:
    void Trivial(const std::string& name, const std::string& arguments) {
        double start = NowMs();
        TChild child(FTrivial, arguments, FFolder);
        child.WaitShown();
        FSamples["start " + name].push_back(NowMs() - start);
        Sleep(500);
        PROCESS_MEMORY_COUNTERS memory = child.Memory();
        FSamples["settled " + name].push_back(MB(memory.WorkingSetSize));
        FSamples["peak " + name].push_back(MB(memory.PeakWorkingSetSize));
    }

    void BareList(const std::vector<TPlan>& plans) {
        TBareList list;
        // The first paint of a new window loads fonts and the like, which
        // the planner's list has behind it too.
        list.Fill(10);
        list.Clear();
        for (const TPlan& plan : plans) {
            if (!plan.TasksEach) continue;
            std::string rows = std::to_string(plan.TasksEach);
            FSamples["fill bare " + rows].push_back(list.Fill(plan.TasksEach));
            FSamples["page bare " + rows].push_back(list.Page(plan.TasksEach));
            FSamples["clear bare " + rows].push_back(list.Clear());
        }
    }

    void Planner(const TPlan& plan, bool plain) {
        std::string look = plain ? " plain" : "";
        std::string folder = FFolder + "\\" + plan.Name + (plain ? "-plain" : "");
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string program = folder + "\\plandesk.exe";
        if (!CopyFileA(FProgram.c_str(), program.c_str(), FALSE)) Fail("cannot copy the program to " + folder);
        for (const char* name :
             {"categories.dat", "Projects.dat", "Hours.dat", "VesperLog.ini", "plandesk.vlf", "dbskin.dat"})
            DeleteFileA((folder + "\\" + name).c_str());
        if (plain && !CopyFileA(FPlainSkin.c_str(), (folder + "\\dbskin.dat").c_str(), FALSE))
            Fail("cannot copy the plain skin to " + folder);
        // Both looks with the same branding file, so both lay the window out
        // alike (no banner strip): the same rows a page, the same pages.
        WriteBytes(folder + "\\dbconfig.dat", "[Settings]\r\n");
        TPlanFiles files;
        if (plan.Projects) {
            files = MakePlanFiles(plan.Projects, plan.TasksEach);
            WriteBytes(folder + "\\categories.dat", files.Categories);
            WriteBytes(folder + "\\Projects.dat", files.Projects);
            WriteBytes(folder + "\\Hours.dat", files.Hours);
        }

        double start = NowMs();
        TChild child(program, "", folder);
        HWND main = child.WaitShown();
        FSamples["start " + plan.Name + look].push_back(NowMs() - start);
        Sleep(500);
        FSamples["settled " + plan.Name + look].push_back(MB(child.Memory().WorkingSetSize));

        if (plan.Projects) {
            HWND tree = ChildOfClass(main, WC_TREEVIEWA);
            HWND list = ChildOfClass(main, WC_LISTVIEWA, [](HWND w) {
                return (SendMessageA(w, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
            });
            if (!tree || !list) Fail("no tree or task list in the main window");
            LPARAM category = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
            LPARAM project = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, category);
            std::string rows = std::to_string(plan.TasksEach);

            start = NowMs();
            SendMessageTimeoutA(tree, TVM_SELECTITEM, TVGN_CARET, project, SMTO_NORMAL, kWaitMs, nullptr);
            WaitPainted(main);
            FSamples["select " + rows + look].push_back(NowMs() - start);
            if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != plan.TasksEach) Fail("the project's rows are not shown");

            // Page Down from the first row to the last, each page painted.
            start = NowMs();
            for (int step = 0; step <= plan.TasksEach; ++step) {
                SendMessageTimeoutA(list, WM_KEYDOWN, VK_NEXT, 0, SMTO_NORMAL, kWaitMs, nullptr);
                WaitPainted(main);
                if (AtBottom(list, plan.TasksEach)) break;
            }
            FSamples["page " + rows + look].push_back(NowMs() - start);
            if (!AtBottom(list, plan.TasksEach)) Fail("the task list did not page to its end");
            if (plain) return;

            start = NowMs();
            SendMessageTimeoutA(tree, TVM_SELECTITEM, TVGN_CARET, category, SMTO_NORMAL, kWaitMs, nullptr);
            WaitPainted(main);
            FSamples["clear " + rows].push_back(NowMs() - start);
            if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 0) Fail("the task list was not cleared");

            Save(plan, folder, main, files);
        }
        FSamples["peak " + plan.Name].push_back(MB(child.Memory().PeakWorkingSetSize));
    }

    void Save(const TPlan& plan, const std::string& folder, HWND main, const TPlanFiles& files) {
        HWND save = nullptr;
        for (HWND w : Descendants(main)) {
            char text[64];
            GetWindowTextA(w, text, sizeof text);
            if (std::strcmp(text, "Save Changes") == 0) save = w;
        }
        if (!save) Fail("no Save Changes button");
        double start = NowMs();
        SendMessageTimeoutA(save, BM_CLICK, 0, 0, SMTO_NORMAL, kWaitMs, nullptr);
        Answers(main);
        FSamples["save " + plan.Name].push_back(NowMs() - start);
        if (ReadBytes(folder + "\\Projects.dat") != files.Projects) Fail("Save Changes did not write the plan back");

        start = NowMs();
        WriteBytes(folder + "\\baseline-categories.dat", files.Categories);
        WriteBytes(folder + "\\baseline-projects.dat", files.Projects);
        WriteBytes(folder + "\\baseline-hours.dat", files.Hours);
        FSamples["write " + plan.Name].push_back(NowMs() - start);
        for (const char* name : {"baseline-categories.dat", "baseline-projects.dat", "baseline-hours.dat"})
            DeleteFileA((folder + "\\" + name).c_str());
    }

    // Waits for a visible window of the process and its painting.
    static HWND WaitWindow(DWORD pid, const char* className, const char* text, HWND except) {
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
    static void WaitGone(HWND window) {
        double deadline = NowMs() + kPopupWaitMs;
        while (IsWindow(window) && IsWindowVisible(window)) {
            if (NowMs() > deadline) Fail("a menu or box did not close");
            Sleep(0);
        }
    }

    // The tree's menu and the question of its "Delete", in the planner and
    // with the platform's menu and box in the trivial program.
    void Popups() {
        const int kRounds = 10;
        std::string folder = FFolder + "\\popups";
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string program = folder + "\\plandesk.exe";
        if (!CopyFileA(FProgram.c_str(), program.c_str(), FALSE)) Fail("cannot copy the program to " + folder);
        WriteBytes(folder + "\\categories.dat", "Work\r\n");
        WriteBytes(folder + "\\Projects.dat", "Header^Plan^Work^^^\r\nEndProject\r\n");
        {
            TChild child(program, "", folder);
            HWND main = child.WaitShown();
            HWND tree = ChildOfClass(main, WC_TREEVIEWA);
            if (!tree) Fail("no tree in the main window");
            // The category is selected, whether the click lands on its text or not.
            LPARAM category = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
            SendMessageTimeoutA(tree, TVM_SELECTITEM, TVGN_CARET, category, SMTO_NORMAL, kWaitMs, nullptr);
            WaitPainted(main);
            for (int i = 0; i < kRounds; ++i) {
                POINT at{30, 8};  // on the first node
                ClientToScreen(tree, &at);
                SetCursorPos(at.x, at.y);
                double start = NowMs();
                // Both posted, in order: the tree waits for the release in a
                // loop of its own after the press.
                PostMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 8));
                PostMessageA(tree, WM_RBUTTONUP, 0, MAKELPARAM(30, 8));
                HWND menu = WaitWindow(child.Pid(), "TvlSkinPopupWindow", nullptr, nullptr);
                FSamples["menu planner"].push_back(NowMs() - start);
                PostMessageA(tree, WM_KEYDOWN, VK_END, 1);  // to "Delete"
                Answers(main);
                start = NowMs();
                PostMessageA(tree, WM_KEYDOWN, VK_RETURN, 1);
                HWND box = WaitWindow(child.Pid(), nullptr, "Information", main);
                FSamples["box planner"].push_back(NowMs() - start);
                WaitGone(menu);
                HWND cancel = nullptr;
                for (HWND w : Descendants(box)) {
                    char text[32] = {};
                    GetWindowTextA(w, text, sizeof text);
                    if (std::strcmp(text, "Cancel") == 0) cancel = w;
                }
                if (!cancel) Fail("no Cancel button in the planner's box");
                PostMessageA(cancel, BM_CLICK, 0, 0);
                WaitGone(box);
                Answers(main);
            }
        }
        TChild trivial(FTrivial, "", FFolder);
        HWND main = trivial.WaitShown();
        for (int i = 0; i < kRounds; ++i) {
            POINT at{30, 8};
            ClientToScreen(main, &at);
            SetCursorPos(at.x, at.y);
            double start = NowMs();
            PostMessageA(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 8));
            PostMessageA(main, WM_RBUTTONUP, 0, MAKELPARAM(30, 8));
            HWND menu = WaitWindow(trivial.Pid(), "#32768", nullptr, nullptr);
            FSamples["menu plain"].push_back(NowMs() - start);
            PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 1);
            WaitGone(menu);
            Answers(main);
            start = NowMs();
            PostMessageA(main, WM_KEYDOWN, VK_RETURN, 1);
            HWND box = WaitWindow(trivial.Pid(), "#32770", nullptr, main);
            FSamples["box plain"].push_back(NowMs() - start);
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            WaitGone(box);
        }
    }

    void PrintPopups(int runs) {
        std::printf("Skinned menu and message box: medians of %d runs of 10, ratio to the platform's\n", runs);
        Line("right click to painted tree menu", M("menu planner"), "ms", "TrackPopupMenu", M("menu plain"));
        Line("Enter to painted message box", M("box planner"), "ms", "MessageBox", M("box plain"));
    }

    double M(const std::string& key) const {
        auto it = FSamples.find(key);
        return it == FSamples.end() ? 0 : Median(it->second);
    }
    void Line(const std::string& figure, double value, const char* unit, const std::string& baseline,
              double baseValue) {
        std::printf("%-34s %9.1f %-3s %-26s %9.1f %-3s %6.2fx\n", figure.c_str(), value, unit, baseline.c_str(),
                    baseValue, unit, baseValue > 0 ? value / baseValue : 0.0);
    }

    void Print(int runs, const std::vector<TPlan>& plans) {
        std::printf("Plandesk running-program benchmark: medians of %d runs, ratio to the baseline of the same run\n",
                    runs);
        for (const TPlan& p : plans)
            std::printf("  plan %-8s %d projects of %d tasks\n", p.Name.c_str(), p.Projects, p.TasksEach);
        Line("start-up, trivial+libs", M("start trivial+libs"), "ms", "trivial program", M("start trivial"));
        for (const TPlan& p : plans)
            Line("start-up, plan " + p.Name, M("start " + p.Name), "ms", "trivial program", M("start trivial"));
        for (const TPlan& p : plans) {
            if (!p.TasksEach) continue;
            std::string rows = std::to_string(p.TasksEach);
            Line("select project of " + rows + " tasks", M("select " + rows), "ms", "bare list filled",
                 M("fill bare " + rows));
            Line("select category after " + rows + " rows", M("clear " + rows), "ms", "bare list cleared",
                 M("clear bare " + rows));
            Line("page through " + rows + " tasks", M("page " + rows), "ms", "bare list paged", M("page bare " + rows));
            if (p.Projects == 1 && !FPlainSkin.empty()) {
                Line("select project of " + rows + ", skinned", M("select " + rows), "ms", "plain look",
                     M("select " + rows + " plain"));
                Line("page through " + rows + ", skinned", M("page " + rows), "ms", "plain look",
                     M("page " + rows + " plain"));
            }
        }
        for (const TPlan& p : plans)
            if (p.Projects)
                Line("save changes, plan " + p.Name, M("save " + p.Name), "ms", "writing the same bytes",
                     M("write " + p.Name));
        Line("working set settled, trivial+libs", M("settled trivial+libs"), "MB", "trivial program",
             M("settled trivial"));
        for (const TPlan& p : plans) {
            Line("working set settled, plan " + p.Name, M("settled " + p.Name), "MB", "trivial program",
                 M("settled trivial"));
            Line("working set peak, plan " + p.Name, M("peak " + p.Name), "MB", "trivial program", M("peak trivial"));
        }
    }

    std::string FProgram, FTrivial, FFolder, FPlainSkin, FLibraries;
    TSamples FSamples;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: plandesk_bench <plandesk.exe> <trivial_window.exe> <work folder> [runs [plan|all "
                     "[plain skin package]]]\n");
        return 2;
    }
    int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    std::vector<TPlan> plans = {
        {"empty", 0, 0}, {"1k", 100, 10}, {"10k", 100, 100}, {"100k", 100, 1000}, {"10k-one", 1, 10000}};
    bool popups = true;
    if (argc > 5 && std::string(argv[5]) == "popups") {
        plans.clear();
    } else if (argc > 5 && std::string(argv[5]) != "all") {
        popups = false;
        std::erase_if(plans, [&](const TPlan& p) { return p.Name != argv[5]; });
        if (plans.empty()) {
            std::fprintf(stderr, "no plan named %s\n", argv[5]);
            return 2;
        }
    }
    try {
        TBench(argv[1], argv[2], argv[3], argc > 6 ? argv[6] : "").Run(runs, plans, popups);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
