#pragma once
// The seam through which an accessibility layer answers for windows: every
// toolkit window hands WM_GETOBJECT, WM_SETTINGCHANGE and TM_ACCESSACTION to
// the installed server first; without one, or when it declines, the window's default
// handling answers as before.
#include "toolkit/Controls.h"

// Posted by the accessibility layer to a window to run a default action
// after the call that asked for it has returned.
constexpr UINT TM_ACCESSACTION = WM_APP + 0x3E20;

// True when the server answered the message (result in m.Result).
using TAccessServer = bool (*)(TWinControl* control, TMessage& m);
void SetAccessServer(TAccessServer server);
