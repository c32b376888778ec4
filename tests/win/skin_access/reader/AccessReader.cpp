// A screen reader's view of a running planner, from another process: walks
// the main window's accessible tree, switches to the calendar's tab, opens
// the tree's context menu, asks for "Delete" and reads the question, then
// answers "Cancel"; then opens the project dialog and reads its date fields.
// Everything it finds goes to the output file, one part a line, for the test
// to compare with what a user sees.
//   access_reader <planner process id> <output file>
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/win/skin_access/AccessReading.h"

using namespace msaa;

namespace {
DWORD gPid = 0;
FILE* gOut = nullptr;
void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == gPid && IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

template <class Test>
HWND WaitFor(DWORD ms, Test test) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        for (HWND w : TopWindows())
            if (test(w)) return w;
        Pump(50);
    }
    return nullptr;
}

std::string StateText(long s) {
    std::string out;
    const std::pair<long, const char*> names[] = {
        {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_SELECTED, "selected"},
        {STATE_SYSTEM_FOCUSED, "focused"},         {STATE_SYSTEM_PRESSED, "pressed"},
        {STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_EXPANDED, "expanded"},
        {STATE_SYSTEM_COLLAPSED, "collapsed"},     {STATE_SYSTEM_DEFAULT, "default"},
        {STATE_SYSTEM_HASPOPUP, "has-popup"},      {STATE_SYSTEM_LINKED, "linked"},
        {STATE_SYSTEM_FOCUSABLE, "focusable"}};
    for (const auto& [bit, name] : names)
        if (s & bit) out += std::string(out.empty() ? "" : ",") + name;
    return out;
}

void Print(const char* section, IAccessible* root) {
    std::fprintf(gOut, "[%s]\n", section);
    std::vector<TWalkLine> lines;
    Walk(root, 0, lines);
    for (const auto& l : lines) {
        std::fprintf(gOut, "%s%s \"%s\"", std::string(static_cast<size_t>(2 * l.Depth), ' ').c_str(),
                     RoleText(l.Role).c_str(), l.Name.c_str());
        if (!l.Value.empty()) std::fprintf(gOut, " = \"%s\"", l.Value.c_str());
        std::string states = StateText(l.State);
        if (!states.empty()) std::fprintf(gOut, " {%s}", states.c_str());
        if (!l.ClassName.empty()) std::fprintf(gOut, " <%s>", l.ClassName.c_str());
        std::fprintf(gOut, "\n");
    }
    std::fflush(gOut);
}

// The object holding the first visible part with this role and name (at any
// depth) and the part's child id there (CHILDID_SELF for the object itself).
struct TFound {
    TAccPtr Holder;
    long Child = 0;
};
bool Find(IAccessible* a, long role, const std::string& name, TFound& found) {
    long n = ChildCount(a);
    for (long i = 1; i <= n; ++i) {
        if (TAccPtr child = Child(a, i)) {
            if (State(child.get()) & STATE_SYSTEM_INVISIBLE) continue;
            if (Role(child.get()) == role && Name(child.get()) == name) {
                found.Holder = std::move(child);
                found.Child = CHILDID_SELF;
                return true;
            }
            if (Find(child.get(), role, name, found)) return true;
            continue;
        }
        if (Role(a, i) == role && Name(a, i) == name && !(State(a, i) & STATE_SYSTEM_INVISIBLE)) {
            a->AddRef();
            found.Holder = TAccPtr(a);
            found.Child = i;
            return true;
        }
    }
    return false;
}

bool Act(IAccessible* root, long role, const std::string& name) {
    TFound f;
    if (!Find(root, role, name, f)) {
        std::fprintf(gOut, "[missing] %s \"%s\"\n", RoleText(role).c_str(), name.c_str());
        return false;
    }
    HRESULT hr = f.Holder->accDoDefaultAction(Id(f.Child));
    std::fprintf(gOut, "[action] %s \"%s\" -> %s\n", RoleText(role).c_str(), name.c_str(),
                 SUCCEEDED(hr) ? "done" : "failed");
    return SUCCEEDED(hr);
}

HWND FindChildOfClass(HWND top, const char* cls) {
    struct S {
        const char* Cls;
        HWND Found;
    } s{cls, nullptr};
    EnumChildWindows(
        top,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<S*>(lp);
            char name[64] = {};
            GetClassNameA(w, name, sizeof name);
            if (lstrcmpiA(name, s->Cls) != 0 || !IsWindowVisible(w)) return TRUE;
            s->Found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.Found;
}
// The client object of `wnd`, or null with an error line naming `what`.
TAccPtr ObjectOf(HWND wnd, const char* what) {
    TAccPtr object = wnd ? ClientOf(wnd) : nullptr;
    if (!object) std::fprintf(gOut, "[error] no %s object\n", what);
    return object;
}
// Waits for a window to go (hide or close) and says whether it did.
void PrintClosed(HWND wnd, const char* what) {
    for (int i = 0; i < 200 && IsWindow(wnd) && IsWindowVisible(wnd); ++i) Pump(20);
    std::fprintf(gOut, "[%s closed] %s\n", what, IsWindow(wnd) && IsWindowVisible(wnd) ? "no" : "yes");
}
// The project dialog, opened by "New Project": its date fields, one's
// calendar opened by its button; then "Cancel".
void ReadProjectDialog(HWND main, IAccessible* client) {
    Act(client, ROLE_SYSTEM_PUSHBUTTON, "New Project");
    HWND dialog = WaitFor(10000, [main](HWND w) { return w != main; });
    if (!dialog) {
        std::fprintf(gOut, "[error] no project dialog\n");
        return;
    }
    Pump(300);
    TAccPtr form = ObjectOf(dialog, "project dialog");
    if (!form) return;
    Print("project dialog", form.get());
    TFound date;
    if (Find(form.get(), ROLE_SYSTEM_TEXT, "Start date:", date) && date.Child == CHILDID_SELF) {
        Act(date.Holder.get(), ROLE_SYSTEM_PUSHBUTTON, "Open");
        Pump(300);
        Print("date field", date.Holder.get());
        Act(date.Holder.get(), ROLE_SYSTEM_PUSHBUTTON, "Close");
        Pump(200);
    } else {
        std::fprintf(gOut, "[missing] date field\n");
    }
    Act(form.get(), ROLE_SYSTEM_PUSHBUTTON, "Cancel");
    PrintClosed(dialog, "dialog");
}
// The calendar's tab pressed through its default action, which announces
// the new selection; then back to the tasks.
void ReadCalendarTab(IAccessible* client) {
    gEvents.clear();
    Act(client, ROLE_SYSTEM_PAGETAB, "Calendar");
    Pump(300);
    bool switched = false;
    for (const auto& e : gEvents) switched = switched || (e.Event == EVENT_OBJECT_SELECTION && e.Child == 2);
    std::fprintf(gOut, "[page selection announced] %s\n", switched ? "yes" : "no");
    Print("calendar tab", client);
    Act(client, ROLE_SYSTEM_PAGETAB, "Tasks");
    Pump(200);
}

// The tree's context menu, opened as a user's right click opens it and
// found through its announcement; then "Delete" and the question it asks,
// answered "Cancel". False when a part is missing.
bool ReadTreeMenu(HWND main) {
    HWND tree = FindChildOfClass(main, "SysTreeView32");
    if (!tree) {
        std::fprintf(gOut, "[error] no tree\n");
        return false;
    }
    POINT at{30, 8};
    ClientToScreen(tree, &at);
    SetCursorPos(at.x, at.y);
    gEvents.clear();
    PostMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 8));
    PostMessageA(tree, WM_RBUTTONUP, 0, MAKELPARAM(30, 8));
    HWND menu = nullptr;
    for (int i = 0; i < 200 && !menu; ++i) {
        Pump(20);
        for (const auto& e : gEvents)
            if (e.Event == EVENT_SYSTEM_MENUPOPUPSTART) menu = e.Window;
    }
    std::fprintf(gOut, "[menu announced] %s\n", menu ? "yes" : "no");
    if (!menu) menu = WaitFor(2000, [main](HWND w) { return w != main; });
    TAccPtr popup = ObjectOf(menu, "menu");
    if (!popup) return false;
    Print("menu", popup.get());
    Act(popup.get(), ROLE_SYSTEM_MENUITEM, "Delete");
    HWND box = WaitFor(10000, [main](HWND w) { return w != main; });
    Pump(300);
    TAccPtr question = ObjectOf(box, "message box");
    if (!question) return false;
    Print("box", question.get());
    Act(question.get(), ROLE_SYSTEM_PUSHBUTTON, "Cancel");
    PrintClosed(box, "box");
    return true;
}

void PrintEvents(const std::vector<TEventSeen>& events) {
    std::fprintf(gOut, "[events]\n");
    for (const auto& e : events) {
        const char* name = e.Event == EVENT_SYSTEM_MENUPOPUPSTART ? "menu popup start"
                           : e.Event == EVENT_SYSTEM_MENUPOPUPEND ? "menu popup end"
                           : e.Event == EVENT_OBJECT_FOCUS        ? "focus"
                                                                  : nullptr;
        DWORD pid = 0;
        GetWindowThreadProcessId(e.Window, &pid);
        if (name)
            std::fprintf(gOut, "%s %ld\n", name, e.Child);
        else
            std::fprintf(gOut, "other %lx %ld pid %lu\n", e.Event, e.Child, pid);
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    gPid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    gOut = std::fopen(argv[2], "wb");
    if (!gOut) return 2;
    CoInitialize(nullptr);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);

    HWND main = WaitFor(30000, [](HWND w) { return GetWindow(w, GW_OWNER) == nullptr; });
    if (!main) {
        std::fprintf(gOut, "[error] no main window\n");
        return 1;
    }
    Pump(500);
    TAccPtr client = ObjectOf(main, "client");
    if (!client) return 1;
    Print("main", client.get());
    ReadCalendarTab(client.get());
    if (!ReadTreeMenu(main)) return 1;
    std::vector<TEventSeen> menuEvents = gEvents;
    ReadProjectDialog(main, client.get());
    PrintEvents(menuEvents);

    client.reset();
    UnhookWinEvent(hook);
    CoUninitialize();
    std::fclose(gOut);
    return 0;
}
