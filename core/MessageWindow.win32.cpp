#include "core/MessageWindow.h"

HWND CreateMessageWindow(const char* className, WNDPROC proc, void* owner) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA known{};
    if (!GetClassInfoA(instance, className, &known)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.lpszClassName = className;
        RegisterClassA(&wc);
    }
    HWND window = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}
