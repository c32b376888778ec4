#pragma once
// Walking a window with the Tab key as a user does, and what the walk must
// show: every focusable control reached, in reading order (top to bottom,
// left to right, round to the first again), each one looking different
// while it has the focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

namespace keys {

// A control Tab stopped on: the toolkit window that owns the focus.
struct TStop {
    HWND Window = nullptr;
    std::string Name;
    RECT Rect{};
    bool ShowsFocus = false;
};

// The window the focus belongs to, as the user sees it: the nearest one
// at or above `wnd` whose control is a tab stop (a list's inner window
// belongs to its list).
inline HWND FocusOwner(HWND wnd) {
    for (HWND w = wnd; w; w = GetParent(w)) {
        TWinControl* c = TWinControl::FromHandle(w);
        if (c && c->TabStop) return w;
        if (GetWindowLongA(w, GWL_STYLE) & WS_POPUP) break;
    }
    return wnd;
}

inline std::string NameOf(HWND wnd) {
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    std::string name = cls;
    if (TWinControl* c = TWinControl::FromHandle(wnd)) {
        if (!c->Name.empty()) name += " " + c->Name;
        if (!c->Caption().empty()) name += " \"" + c->Caption() + "\"";
    }
    return name;
}

inline RECT WindowRectOf(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

// The pixels of a screen rectangle as the display shows them.
inline std::vector<uint32_t> Grab(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Whether two captures of `r` differ outside the rectangles `skip` (other
// stops inside it, which change as the focus moves on).
inline bool Differ(const RECT& r, const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                   const std::vector<RECT>& skip) {
    int w = r.right - r.left;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] == b[i]) continue;
        POINT p{r.left + static_cast<int>(i) % w, r.top + static_cast<int>(i) / w};
        bool skipped = false;
        for (const RECT& s : skip) skipped = skipped || PtInRect(&s, p);
        if (!skipped) return true;
    }
    return false;
}

// One press of Tab (Shift+Tab with `back`) in the focused window, through
// the application's queue as the keyboard sends it.
inline void PressTab(bool back = false) {
    HWND target = GetFocus();
    if (!target) return;
    BYTE state[256] = {};
    GetKeyboardState(state);
    BYTE shift = state[VK_SHIFT];
    state[VK_SHIFT] = back ? 0x80 : 0;
    SetKeyboardState(state);
    PostMessageA(target, WM_KEYDOWN, VK_TAB, 1);
    PostMessageA(target, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC0000001u));
    ui::Pump(150);  // long enough for a focus look that fades in
    GetKeyboardState(state);
    state[VK_SHIFT] = shift;
    SetKeyboardState(state);
}

// Presses Tab until the focus comes back to where it was, at most `limit`
// times; each stop records whether it looked different while focused.
inline std::vector<TStop> TabRound(TForm* form, int limit = 60) {
    std::vector<TStop> stops;
    if (!GetFocus() || (GetFocus() != form->Handle() && !IsChild(form->Handle(), GetFocus()))) PressTab();
    HWND first = FocusOwner(GetFocus());
    for (int n = 0; n < limit; ++n) {
        HWND now = GetFocus();
        if (!now || (now != form->Handle() && !IsChild(form->Handle(), now))) {
            ADD_FAILURE() << "Tab took the focus out of " << NameOf(form->Handle());
            break;
        }
        HWND owner = FocusOwner(now);
        if (n > 0 && owner == first) break;
        TStop stop{owner, NameOf(owner), WindowRectOf(owner), false};
        std::vector<uint32_t> focused = Grab(stop.Rect);
        PressTab();
        std::vector<RECT> inside;
        HWND next = FocusOwner(GetFocus());
        if (next && IsChild(owner, next)) inside.push_back(WindowRectOf(next));
        stop.ShowsFocus = Differ(stop.Rect, focused, Grab(stop.Rect), inside);
        stops.push_back(stop);
    }
    return stops;
}

// Native windows that take typing or a choice of rows: focusable whatever
// their control says.
inline bool TakesInput(HWND wnd) {
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    for (const char* kind : {"Edit", "ListBox", "SysListView32", "SysTreeView32"})
        if (lstrcmpiA(cls, kind) == 0) return true;
    return false;
}

// What a user can reach with Tab in `form`: visible, enabled tab stops and
// input windows whose parents are visible and enabled too.
inline std::vector<HWND> Focusable(TForm* form) {
    std::vector<HWND> found;
    struct TArgs {
        HWND Form;
        std::vector<HWND>* Found;
    } args{form->Handle(), &found};
    EnumChildWindows(
        form->Handle(),
        [](HWND wnd, LPARAM p) -> BOOL {
            auto* a = reinterpret_cast<TArgs*>(p);
            TWinControl* c = TWinControl::FromHandle(wnd);
            if (!c || !(c->TabStop || TakesInput(wnd)) || !IsWindowVisible(wnd)) return TRUE;
            for (HWND w = wnd; w && w != a->Form; w = GetParent(w))
                if (!IsWindowEnabled(w)) return TRUE;
            a->Found->push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return found;
}

// Whether a user reads `a` before `b`: a container before what it holds,
// a control above another before it, and on one row the left one first.
inline bool ReadsBefore(const TStop& a, const TStop& b) {
    if (IsChild(a.Window, b.Window)) return true;
    if (IsChild(b.Window, a.Window)) return false;
    if (a.Rect.bottom <= b.Rect.top) return true;
    if (b.Rect.bottom <= a.Rect.top) return false;
    return a.Rect.left < b.Rect.left;
}

// The pairs a round of Tab visits against reading order, starting the
// round at `start`.
inline std::vector<std::string> OrderFaults(const std::vector<TStop>& round, size_t start) {
    std::vector<std::string> faults;
    size_t n = round.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j) {
            const TStop& early = round[(start + i) % n];
            const TStop& late = round[(start + j) % n];
            if (ReadsBefore(late, early)) faults.push_back(late.Name + " reads before " + early.Name);
        }
    return faults;
}

// Checks a window: Tab reaches every focusable control once a round and
// nothing else, each one shows that it has the focus, and the round is
// reading order from some control on (Tab wraps round).
inline void ExpectKeyboardWalk(TForm* form, const std::string& what, bool readingOrder = true) {
    SCOPED_TRACE(what);
    // The pointer rests away from the window, so that no control is lit by
    // it instead of by the focus.
    RECT window = WindowRectOf(form->Handle());
    SetCursorPos(window.right + 40, window.bottom + 40);
    ui::Pump(100);
    std::vector<TStop> round = TabRound(form);
    ASSERT_FALSE(round.empty()) << "Tab reached nothing";
    std::string visited;
    for (const TStop& s : round) visited += (visited.empty() ? "" : " > ") + s.Name;
    std::printf("%s: %s\n", what.c_str(), visited.c_str());
    std::vector<HWND> focusable = Focusable(form);
    for (HWND wnd : focusable) {
        bool visited = false;
        for (const TStop& s : round) visited = visited || s.Window == wnd;
        EXPECT_TRUE(visited) << NameOf(wnd) << " is never reached with Tab";
    }
    for (size_t i = 0; i < round.size(); ++i) {
        const TStop& s = round[i];
        bool listed = false;
        for (HWND wnd : focusable) listed = listed || s.Window == wnd;
        EXPECT_TRUE(listed) << "Tab stops on " << s.Name << ", which a user cannot see or use";
        for (size_t j = 0; j < i; ++j) EXPECT_NE(round[j].Window, s.Window) << s.Name << " is reached twice a round";
        EXPECT_TRUE(s.ShowsFocus) << s.Name << " does not show that it has the focus";
    }
    if (!readingOrder) return;
    std::vector<std::string> best;
    for (size_t start = 0; start < round.size(); ++start) {
        std::vector<std::string> faults = OrderFaults(round, start);
        if (start == 0 || faults.size() < best.size()) best = faults;
    }
    for (const std::string& fault : best) ADD_FAILURE() << "Tab is out of reading order: " << fault;
}

}  // namespace keys
