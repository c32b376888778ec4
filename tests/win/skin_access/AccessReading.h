#pragma once
// Reading an accessible tree through MSAA the way an assistive tool does:
// the tests in-process and the reader program from another process.
#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/access/vlAccessIID.h"

namespace msaa {

struct TRelease {
    void operator()(IUnknown* p) const {
        if (p) p->Release();
    }
};
using TAccPtr = std::unique_ptr<IAccessible, TRelease>;

inline VARIANT Id(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

inline std::string FromBstr(BSTR b) {
    if (!b) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, b, static_cast<int>(SysStringLen(b)), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, b, static_cast<int>(SysStringLen(b)), s.data(), n, nullptr, nullptr);
    SysFreeString(b);
    return s;
}

inline TAccPtr ClientOf(HWND wnd) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), vlIID_IAccessible,
                                          reinterpret_cast<void**>(&acc))))
        return nullptr;
    return TAccPtr(acc);
}

// One text of a part, read through `get` (get_accName, get_accValue, ...).
inline std::string Text(IAccessible* a, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR b = nullptr;
    (a->*get)(Id(id), &b);
    return FromBstr(b);
}
inline std::string Name(IAccessible* a, long id = CHILDID_SELF) { return Text(a, id, &IAccessible::get_accName); }
inline std::string Value(IAccessible* a, long id = CHILDID_SELF) { return Text(a, id, &IAccessible::get_accValue); }
inline std::string Description(IAccessible* a, long id = CHILDID_SELF) {
    return Text(a, id, &IAccessible::get_accDescription);
}
inline std::string Shortcut(IAccessible* a, long id = CHILDID_SELF) {
    return Text(a, id, &IAccessible::get_accKeyboardShortcut);
}
inline std::string DefaultAction(IAccessible* a, long id = CHILDID_SELF) {
    return Text(a, id, &IAccessible::get_accDefaultAction);
}
// A number of a part (get_accRole, get_accState); -1 when it has none.
inline long Number(IAccessible* a, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    VARIANT v;
    VariantInit(&v);
    if (FAILED((a->*get)(Id(id), &v)) || v.vt != VT_I4) return -1;
    return v.lVal;
}
inline long Role(IAccessible* a, long id = CHILDID_SELF) { return Number(a, id, &IAccessible::get_accRole); }
inline long State(IAccessible* a, long id = CHILDID_SELF) { return Number(a, id, &IAccessible::get_accState); }
inline long ChildCount(IAccessible* a) {
    long n = 0;
    a->get_accChildCount(&n);
    return n;
}
// The child object of child `id`, or null for a simple element.
inline TAccPtr Child(IAccessible* a, long id) {
    IDispatch* disp = nullptr;
    if (a->get_accChild(Id(id), &disp) != S_OK || !disp) return nullptr;
    IAccessible* acc = nullptr;
    disp->QueryInterface(vlIID_IAccessible, reinterpret_cast<void**>(&acc));
    disp->Release();
    return TAccPtr(acc);
}
// Where a part is on the screen (empty when it cannot say).
inline RECT Location(IAccessible* a, long id) {
    long x = 0, y = 0, w = 0, h = 0;
    if (FAILED(a->accLocation(&x, &y, &w, &h, Id(id)))) return RECT{};
    return RECT{x, y, x + w, y + h};
}
// Whether `part` has a size and lies within `whole`.
inline bool Within(const RECT& part, const RECT& whole) {
    return part.right > part.left && part.bottom > part.top && part.left >= whole.left && part.top >= whole.top &&
           part.right <= whole.right && part.bottom <= whole.bottom;
}
inline RECT WindowRect(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}
// The id of the first child with this name (and role, unless 0), or 0.
inline long FindChild(IAccessible* a, const std::string& name, long role = 0) {
    long n = ChildCount(a);
    for (long i = 1; i <= n; ++i)
        if (Name(a, i) == name && (role == 0 || Role(a, i) == role)) return i;
    return 0;
}

// One line per part, indented by depth: role, name, value, state bits, the
// window class of native children. Invisible parts are left out.
struct TWalkLine {
    int Depth;
    long Role;
    long State;
    std::string Name, Value, ClassName;
};
inline void Walk(IAccessible* a, int depth, std::vector<TWalkLine>& out, int maxDepth = 12) {
    HWND wnd = nullptr;
    WindowFromAccessibleObject(a, &wnd);
    char cls[64] = {};
    if (wnd) GetClassNameA(wnd, cls, sizeof cls);
    out.push_back({depth, Role(a), State(a), Name(a), Value(a), cls});
    if (depth >= maxDepth) return;
    long n = ChildCount(a);
    for (long i = 1; i <= n; ++i) {
        if (TAccPtr child = Child(a, i)) {
            if (!(State(child.get()) & STATE_SYSTEM_INVISIBLE)) Walk(child.get(), depth + 1, out, maxDepth);
            continue;
        }
        if (State(a, i) & STATE_SYSTEM_INVISIBLE) continue;
        out.push_back({depth + 1, Role(a, i), State(a, i), Name(a, i), Value(a, i), ""});
    }
}

inline std::string RoleText(long role) {
    char text[128] = {};
    GetRoleTextA(static_cast<DWORD>(role), text, sizeof text);
    return text;
}

// The win events a hook has seen, in order; RecordEvent is the hook's callback.
struct TEventSeen {
    DWORD Event;
    HWND Window;
    LONG Object, Child;
};
inline std::vector<TEventSeen> gEvents;
inline void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND wnd, LONG object, LONG child, DWORD, DWORD) {
    gEvents.push_back({event, wnd, object, child});
}
// How many of the events seen were `event` for child `child` of the client
// object of `wnd`.
inline int CountSeen(DWORD event, HWND wnd, LONG child = CHILDID_SELF) {
    int n = 0;
    for (const auto& e : gEvents) n += e.Event == event && e.Window == wnd && e.Object == OBJID_CLIENT && e.Child == child;
    return n;
}

// Records this process's win events into gEvents (cleared first) while it lives.
class TEventRecording {
public:
    TEventRecording() {
        gEvents.clear();
        FHook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, RecordEvent, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    ~TEventRecording() {
        if (FHook) UnhookWinEvent(FHook);
    }
    TEventRecording(const TEventRecording&) = delete;
    TEventRecording& operator=(const TEventRecording&) = delete;

private:
    HWINEVENTHOOK FHook = nullptr;
};

}  // namespace msaa
