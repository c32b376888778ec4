#pragma once
// The accessibility layer: every control, windowed or windowless, is
// described as a tree of parts (role, name, value, state, place, default
// action, shortcut, children), apart from painting. The description is
// served to assistive tools as MSAA IAccessible on WM_GETOBJECT/OBJID_CLIENT
// and rebuilt on every call, so it never goes stale; objects handed out are
// disconnected when their control is destroyed.
//
// Each folder of controls registers describers (vlAddDescriber) for its own
// classes; vlStartAccessServer turns the server on for the process
// (vlInstallAccessibility in skin/form does both for every folder).
#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/access/vlAccessIID.h"
#include "toolkit/AccessSeam.h"

struct TvlAccessNode {
    long Role = ROLE_SYSTEM_CLIENT;
    std::string Name, Value, Description, DefaultAction, Shortcut;
    long State = 0;
    RECT Bounds{};  // screen coordinates
    // A child window: served by that window's own accessible object.
    HWND Window = nullptr;
    // The control described, for events and actions of windowless controls.
    TControl* Control = nullptr;
    // Names a windowless part within its control (a day, a tab, an item),
    // so that events can find its child id; 0 for none.
    int Key = 0;
    // The default action; run after the call that asked for it has returned.
    std::function<void()> Action;
    std::vector<TvlAccessNode> Children;

    TvlAccessNode& Add(long role, const std::string& name) {
        Children.emplace_back();
        Children.back().Role = role;
        Children.back().Name = name;
        return Children.back();
    }
};

// Fills in what is known of `control` beyond the generic description; true
// when it knew the control (the first describer that knows it wins; the
// ones added last are asked first).
using TvlDescriber = std::function<bool(TControl* control, TvlAccessNode& node)>;
void vlAddDescriber(TvlDescriber describer);

// The whole description of a control: the generic part (name from the
// caption, visibility, availability, focus, place, windowless and windowed
// children) and what a describer adds. `known` says whether one did.
// Without `children` the generic part leaves the children out (a window
// child as its parent lists it).
TvlAccessNode vlDescribe(TControl* control, bool* known = nullptr, bool children = true);

// Turns the server on: windows of the toolkit's own class and windows whose
// control a describer knows answer WM_GETOBJECT.
void vlStartAccessServer();

// The accessible object of a control's window (a new reference), the same
// one WM_GETOBJECT hands out; null when the control is not served.
IAccessible* vlAccessibleObjectOf(TWinControl* control);

// Raises a win event for a control, or for its part `key` (0: the control
// itself). Windowless controls are reported as children of their window.
void vlAccessEvent(TControl* control, DWORD event, int key = 0);

// Text helpers for describers.
std::string vlStripAccelerator(const std::string& caption);  // "&Save" -> "Save"
std::string vlShortcutOf(const std::string& caption);        // "&Save" -> "Alt+S"
RECT vlScreenRect(TControl* control);
RECT vlScreenRect(HWND window, const RECT& clientRect);
long vlCommonState(TControl* control);

// Objects alive now (root and sub-objects), for leak checks.
long vlAccessibleObjectCount();
