// The planner as a screen reader meets it: the reader program, started
// beside the running planner, walks its accessible tree through MSAA from
// its own process and operates it; what it prints must match what a user
// sees in the windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

namespace {
std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool CopyInto(const std::string& from, const std::string& folder, const std::string& name) {
    return CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE) != FALSE;
}

// The text of a section ("[menu]" up to the next "[").
std::string Section(const std::string& all, const std::string& name) {
    size_t start = all.find("[" + name + "]\n");
    if (start == std::string::npos) return {};
    size_t end = all.find("\n[", start + 1);
    return all.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

HWND MainWindowOf(DWORD pid) {
    std::pair<DWORD, HWND> search{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            auto* p = reinterpret_cast<std::pair<DWORD, HWND>*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != p->first || !IsWindowVisible(w) || GetWindow(w, GW_OWNER)) return TRUE;
            p->second = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Every one of `parts` stands in the reader's section `name`.
void ExpectParts(const std::string& all, const char* name, std::initializer_list<std::string> parts) {
    std::string section = Section(all, name);
    for (const std::string& part : parts) EXPECT_TRUE(Has(section, part)) << part << "\n" << section;
}

}  // namespace

TEST(AccessReader, FindsEveryPartOfTheRunningPlannerFromAnotherProcess) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "plandesk-access-reader";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyInto(PLANDESK_PROGRAM, folder, "plandesk.exe"));
    for (const char* name : {"categories.dat", "Projects.dat", "Hours.dat"})
        ASSERT_TRUE(CopyInto(std::string(PLANDESK_EXAMPLES) + "\\" + name, folder, name)) << name;
    std::string output = folder + "\\reader.txt";
    DeleteFileA(output.c_str());

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION planner{};
    std::string command = "\"" + folder + "\\plandesk.exe\"";
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &planner));
    WaitForInputIdle(planner.hProcess, 20000);

    PROCESS_INFORMATION reader{};
    std::string readerCommand =
        "\"" + std::string(PLANDESK_READER) + "\" " + std::to_string(planner.dwProcessId) + " \"" + output + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, readerCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                               &reader));
    DWORD waited = WaitForSingleObject(reader.hProcess, 45000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(reader.hProcess, 1);
    DWORD readerExit = 1;
    GetExitCodeProcess(reader.hProcess, &readerExit);

    // Closed as a user closes it: nothing changed, nothing is asked.
    if (HWND main = MainWindowOf(planner.dwProcessId)) PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(planner.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(planner.hProcess, 1);
    CloseHandle(planner.hProcess);
    CloseHandle(planner.hThread);
    CloseHandle(reader.hProcess);
    CloseHandle(reader.hThread);

    std::string all = ReadText(output);
    ASSERT_EQ(readerExit, 0u) << all;
    ::testing::Test::RecordProperty("reader", all);
    std::printf("%s\n", all.c_str());

    ExpectParts(all, "main",
                {"push button \"New Project\"", "push button \"Save Changes\"", "push button \"Make Money\"",
                 "progress bar", "page tab \"Tasks\" {selected", "page tab \"Calendar\"", "<SysListView32>",
                 "<SysTreeView32>", "text \"Project Name:", "title bar", "push button \"Close\"",
                 "push button \"Minimize\""});
    EXPECT_FALSE(Has(Section(all, "main"), "page tab \"Calendar\" {selected"));

    std::string calendar = Section(all, "calendar tab");
    EXPECT_TRUE(Has(calendar, "page tab \"Calendar\" {selected")) << calendar;
    // The calendar's value is its selected date; that day's cell, and only
    // that one, is selected among the month's cells.
    const std::string valueMark = "\"Calendar\" = \"";
    size_t at = calendar.find(valueMark);
    ASSERT_NE(at, std::string::npos) << calendar;
    at += valueMark.size();
    std::string date = calendar.substr(at, calendar.find('"', at) - at);
    ASSERT_FALSE(date.empty());
    EXPECT_TRUE(Has(calendar, "cell \"" + date + "\" {selected")) << calendar;
    size_t cells = 0, selectedCells = 0;
    for (size_t p = calendar.find("cell \""); p != std::string::npos; p = calendar.find("cell \"", p + 1)) {
        ++cells;
        size_t end = calendar.find('\n', p);
        if (calendar.substr(p, end - p).find("selected") != std::string::npos) ++selectedCells;
    }
    EXPECT_GE(cells, 28u);
    EXPECT_LE(cells, 31u);
    EXPECT_EQ(selectedCells, 1u);
    EXPECT_TRUE(Has(calendar, "push button \"Next month\"")) << calendar;

    ExpectParts(all, "menu",
                {"popup menu", "menu item \"New Category\"", "menu item \"New Project\"", "menu item \"Edit\"",
                 "menu item \"Delete\""});
    ExpectParts(all, "box",
                {"dialog", "text \"Are you sure to delete current", "push button \"OK\"", "push button \"Cancel\""});
    // The project dialog's date fields: editable texts named by their
    // labels, each with the button that opens its calendar; the name field
    // is the platform's edit, named after its label.
    ExpectParts(all, "project dialog",
                {"\"Start date:\" = \"", "\"End date:\" = \"", "push button \"Open\"", "combo box",
                 "text \"Project Name:\" {"});
    ExpectParts(all, "date field", {"push button \"Close\"", "\"Calendar\" = \"", "cell \""});
    ExpectParts(all, "events", {"menu popup start", "menu popup end"});
    for (const char* line : {"[box closed] yes", "[page selection announced] yes", "[dialog closed] yes"})
        EXPECT_TRUE(Has(all, line)) << line << "\n" << all;
}
