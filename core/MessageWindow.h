#pragma once
// The hidden message-only window behind a timer that has no control to run
// on. Windows only.
#include <windows.h>

// Registers the window class `className` with `proc` the first time it is
// asked for, and makes a window of it whose GWLP_USERDATA is `owner`.
HWND CreateMessageWindow(const char* className, WNDPROC proc, void* owner);
