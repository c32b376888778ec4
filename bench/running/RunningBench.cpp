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
// "popups" measures the menus and message boxes only; "scales" measures
// start-up and the 10,000-task project with the display at 200 % against
// the same at 100 %, the runs alternating.
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

#include "bench/running/BareList.h"
#include "bench/running/BenchSupport.h"
#include "bench/running/PlanFiles.h"
#include "bench/running/ProcessWindows.h"

namespace {

struct TPlan {
    std::string Name;
    int Projects, TasksEach;
};

using TSamples = std::map<std::string, std::vector<double>>;

// The display's scale for the programs started while it lives, as the
// user sets it (the system DPI in the user's desktop settings); the
// setting before is put back.
class TDisplayScale {
public:
    explicit TDisplayScale(int dpi) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, &FKey, nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot open the desktop settings");
        DWORD size = sizeof FBefore, type = 0;
        FHadValue = RegQueryValueExA(FKey, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&FBefore), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_DWORD;
        DWORD value = static_cast<DWORD>(dpi);
        RegSetValueExA(FKey, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    ~TDisplayScale() {
        if (FHadValue)
            RegSetValueExA(FKey, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&FBefore), sizeof FBefore);
        else
            RegDeleteValueA(FKey, "LogPixels");
        RegCloseKey(FKey);
    }
    TDisplayScale(const TDisplayScale&) = delete;
    TDisplayScale& operator=(const TDisplayScale&) = delete;

private:
    HKEY FKey = nullptr;
    DWORD FBefore = 0;
    bool FHadValue = false;
};

double MB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

class TBench {
public:
    TBench(std::string program, std::string trivial, std::string folder, std::string plainSkin)
        : FProgram(std::move(program)),
          FTrivial(std::move(trivial)),
          FFolder(std::move(folder)),
          FPlainSkin(std::move(plainSkin)) {
        for (const std::string& dll : ImportedLibraries(FProgram)) FLibraries += (FLibraries.empty() ? "" : " ") + dll;
        // An earlier build of the program to measure against, run in turn
        // with this one: before and after from the same run.
        char before[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("PLANDESK_BENCH_BEFORE", before, sizeof before);
        if (n > 0 && n < sizeof before) FBefore = before;
    }

    // Start-up and a large project at 200 % and at 100 %, alternating.
    void RunScales(int runs, const std::vector<TPlan>& plans) {
        CreateDirectoryA(FFolder.c_str(), nullptr);
        for (int run = 0; run < runs; ++run) {
            std::fprintf(stderr, "run %d of %d\n", run + 1, runs);
            for (const TPlan& plan : plans) {
                Planner(plan, false);
                TDisplayScale doubled(192);
                Planner(plan, false, " at 200%");
            }
        }
        std::printf("Display scale: medians of %d runs, 200 %% against 100 %% in the same run\n", runs);
        for (const TPlan& p : plans) {
            Line("start-up at 200%, plan " + p.Name, M("start " + p.Name + " at 200%"), "ms", "at 100%",
                 M("start " + p.Name));
            if (!p.TasksEach) continue;
            std::string rows = std::to_string(p.TasksEach);
            Line("select " + rows + " tasks at 200%", M("select " + rows + " at 200%"), "ms", "at 100%",
                 M("select " + rows));
            Line("page " + rows + " tasks at 200%", M("page " + rows + " at 200%"), "ms", "at 100%",
                 M("page " + rows));
        }
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
            for (const TPlan& plan : plans) {
                Planner(plan, false);
                if (!FBefore.empty()) Planner(plan, false, kBefore);
            }
            // The same program with a skin that has no control elements:
            // every control in its plain look, the frame unchanged.
            if (!FPlainSkin.empty())
                for (const TPlan& plan : plans)
                    if (plan.Projects == 1) Planner(plan, true, " plain");
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

    // The planner's run, then the marks it noted on its way to the first
    // window (see app/StartupTimes.h), from the moment it was started.
    // `variant` names a run of another kind (" plain", " at 200%") in its
    // figures; a plain run has the skin without control elements.
    void Planner(const TPlan& plan, bool plain, const std::string& variant = "") {
        std::string folder = FFolder + "\\" + plan.Name + (plain ? "-plain" : "");
        std::string times = folder + "\\startup-times.txt";
        CreateDirectoryA(folder.c_str(), nullptr);
        DeleteFileA(times.c_str());
        SetEnvironmentVariableA("PLANDESK_STARTUP_TIMES", times.c_str());
        double start = PlannerRun(plan, plain, variant, folder);
        SetEnvironmentVariableA("PLANDESK_STARTUP_TIMES", nullptr);
        std::string text = ReadBytes(times);
        std::string key = "mark " + plan.Name + variant;
        for (size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            // "name ms cpu-ms": the name may hold spaces.
            std::string line = text.substr(at, end - at);
            size_t cpu = line.rfind(' ');
            if (cpu == std::string::npos || cpu == 0) continue;
            size_t space = line.rfind(' ', cpu - 1);
            if (space == std::string::npos) continue;
            std::string name = line.substr(0, space);
            // The steps printed are this build's: an earlier one may mark others.
            if (variant.empty() && !FMarkOrder.count(name)) {
                const int order = static_cast<int>(FMarkOrder.size());
                FMarkOrder[name] = order;
            }
            FSamples[key + " " + name].push_back(std::atof(line.c_str() + space + 1) - start);
            FSamples["cpu " + key + " " + name].push_back(std::atof(line.c_str() + cpu + 1));
        }
    }

    // Returns the moment the program was started.
    double PlannerRun(const TPlan& plan, bool plain, const std::string& variant, const std::string& folder) {
        const std::string& look = variant;
        std::string program = folder + "\\plandesk.exe";
        const std::string& built = variant == kBefore ? FBefore : FProgram;
        if (!CopyFileA(built.c_str(), program.c_str(), FALSE)) Fail("cannot copy the program to " + folder);
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

        const double started = NowMs();
        double start = started;
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
            if (!look.empty()) return started;

            start = NowMs();
            SendMessageTimeoutA(tree, TVM_SELECTITEM, TVGN_CARET, category, SMTO_NORMAL, kWaitMs, nullptr);
            WaitPainted(main);
            FSamples["clear " + rows].push_back(NowMs() - start);
            if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 0) Fail("the task list was not cleared");

            Save(plan, folder, main, files);
        }
        FSamples["peak " + plan.Name].push_back(MB(child.Memory().PeakWorkingSetSize));
        return started;
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

    // A right click on the first node (or the trivial window's corner) until
    // the menu is visible and painted, timed as `figure`.
    HWND RightClickToMenu(HWND target, DWORD pid, const char* menuClass, const std::string& figure) {
        POINT at{30, 8};
        ClientToScreen(target, &at);
        SetCursorPos(at.x, at.y);
        double start = NowMs();
        // Both posted, in order: the tree waits for the release in a loop of
        // its own after the press.
        PostMessageA(target, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 8));
        PostMessageA(target, WM_RBUTTONUP, 0, MAKELPARAM(30, 8));
        HWND menu = WaitWindow(pid, menuClass, nullptr, nullptr);
        FSamples[figure].push_back(NowMs() - start);
        return menu;
    }
    // Enter until a box (a window other than the main one) is visible and
    // painted, timed as `figure`.
    HWND EnterToBox(HWND target, DWORD pid, const char* boxClass, const char* caption, HWND mainWindow,
                    const std::string& figure) {
        double start = NowMs();
        PostMessageA(target, WM_KEYDOWN, VK_RETURN, 1);
        HWND box = WaitWindow(pid, boxClass, caption, mainWindow);
        FSamples[figure].push_back(NowMs() - start);
        return box;
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
            for (int i = 0, retries = 0; i < kRounds; ++i) {
                HWND menu = RightClickToMenu(tree, child.Pid(), "TvlSkinPopupWindow", "menu planner");
                Answers(main);
                if (!IsWindowVisible(menu) && retries++ < kRounds) {
                    // A menu that closed as soon as it opened (a late message
                    // of the round before reached it) is not measured: the
                    // round is run again.
                    FSamples["menu planner"].pop_back();
                    --i;
                    continue;
                }
                PostMessageA(tree, WM_KEYDOWN, VK_END, 1);  // to "Delete"
                Answers(main);
                HWND box = EnterToBox(tree, child.Pid(), nullptr, "Information", main, "box planner");
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
            HWND menu = RightClickToMenu(main, trivial.Pid(), "#32768", "menu plain");
            PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 1);
            WaitGone(menu);
            Answers(main);
            HWND box = EnterToBox(main, trivial.Pid(), "#32770", nullptr, main, "box plain");
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
        for (const TPlan& p : plans) {
            Line("start-up, plan " + p.Name, M("start " + p.Name), "ms", "trivial program", M("start trivial"));
            if (FBefore.empty()) continue;
            Line("start-up, plan " + p.Name + kBefore, M("start " + p.Name + kBefore), "ms", "trivial program",
                 M("start trivial"));
            Line("start-up, plan " + p.Name, M("start " + p.Name), "ms", "the build before",
                 M("start " + p.Name + kBefore));
        }
        PrintStartupMarks(plans);
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

    // Where start-up goes: each mark's median time from the program's start,
    // and from the mark before; the last line runs to the painted window.
    void PrintStartupMarks(const std::vector<TPlan>& plans) {
        std::vector<std::string> names(FMarkOrder.size());
        for (const auto& [name, order] : FMarkOrder) names[static_cast<size_t>(order)] = name;
        if (names.empty()) return;
        for (const TPlan& p : plans) {
            std::string key = "mark " + p.Name + " ";
            if (!FSamples.count(key + names.front())) continue;
            std::printf("  start-up, plan %s: from start / step (ms); main thread's processor time: to / step\n",
                        p.Name.c_str());
            double before = 0, cpuBefore = 0;
            for (const std::string& name : names) {
                double at = M(key + name), cpu = M("cpu " + key + name);
                std::printf("    %-30s %9.1f %9.1f %9.1f %9.1f\n", name.c_str(), at, at - before, cpu, cpu - cpuBefore);
                before = at;
                cpuBefore = cpu;
            }
            std::printf("    %-30s %9.1f %9.1f\n", "painted", M("start " + p.Name), M("start " + p.Name) - before);
        }
    }

    static constexpr const char* kBefore = " before";
    std::string FProgram, FTrivial, FFolder, FPlainSkin, FLibraries, FBefore;
    TSamples FSamples;
    std::map<std::string, int> FMarkOrder;
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
    if (argc > 5 && std::string(argv[5]) == "scales") {
        try {
            TBench(argv[1], argv[2], argv[3], "").RunScales(runs, {plans.front(), plans.back()});
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "benchmark failed: %s\n", e.what());
            return 1;
        }
    }
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
