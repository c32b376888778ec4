// The baseline program of the running-program benchmark: one window of the
// main window's size, painted once, and nothing else. Built like the planner
// (same compiler, static runtime, same manifest). Arguments name system
// libraries to load first, so that the planner's own share of memory can be
// told from what the system libraries bring. A right click shows the
// platform's popup menu with the tree menu's items, and Enter the
// platform's message box with the planner's question: the baselines of the
// skinned menu and message box.
#include <windows.h>

#include <shellapi.h>

namespace {
LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
            TextOutA(dc, 10, 10, "Baseline", 8);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_RBUTTONUP: {
            HMENU menu = CreatePopupMenu();
            const char* items[] = {"New Category", nullptr, "New Project", "Edit", "Delete"};
            for (UINT i = 0; i < 5; ++i)
                AppendMenuA(menu, items[i] ? MF_STRING : MF_SEPARATOR, i + 1, items[i]);
            POINT at;
            GetCursorPos(&at);
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
            DestroyMenu(menu);
            return 0;
        }
        case WM_KEYDOWN:
            if (wp == VK_RETURN)
                MessageBoxA(window, "Are you sure to delete current category?", "Information",
                            MB_OKCANCEL | MB_ICONINFORMATION);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(window, msg, wp, lp);
    }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int i = 1; i < argc; ++i) LoadLibraryW(argv[i]);
        LocalFree(argv);
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "TrivialWindow";
    RegisterClassA(&wc);
    RECT r{0, 0, 772, 566};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, "TrivialWindow", "Trivial", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
