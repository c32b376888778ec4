#include "crash/ReportDialog.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "core/Errors.h"
#include "core/Gdi.h"
#include "crash/Handling.h"
#include "crash/PngEncoder.h"

namespace {
enum : int {
    IdText = 100,
    IdSend,
    IdScreenshot,
    IdClipboard,
    IdDetails,
    IdKill,
    IdOk,
    IdTabs,
    IdList,
    IdReport,
    IdRequestEdit,
    IdProgress
};
const int Width = 500, CollapsedHeight = 200, ExpandedHeight = 470;

HFONT DialogFont() {
    static HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    return font;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    return child;
}

// A window class of ours whose procedure is a lambda-free static function
// reading its state from the window's user data.
template <class T>
ATOM RegisterClassFor(const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_NCCREATE)
            SetWindowLongPtrA(w, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        return self ? self->Handle(w, m, wp, lp) : DefWindowProcA(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

// Runs a modal loop on this thread until `done`.
void ModalLoop(HWND window, const bool& done) {
    MSG msg;
    while (!done && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

std::string IniPath() {
    std::string program = ProgramFile();
    return program.substr(0, program.find_last_of("\\/") + 1) + "VesperLog.ini";
}

class TReportWindow {
public:
    TReportWindow(const TVesperModuleOptions& options, const TLogItem& report, bool canSend)
        : FOptions(options), FReport(report), FCanSend(canSend) {}

    TDialogChoice Run() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        RegisterClassFor<TReportWindow>("PlandeskCrashReport");
        RECT place = StoredPlace();
        HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, "PlandeskCrashReport",
                                 FOptions.DialogCaption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                                 place.left, place.top, place.right - place.left, place.bottom - place.top, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), this);
        if (!w) throw Exception("Cannot show the DialogBox window.");
        if (FExpanded) ShowDetails(w, true);
        ShowWindow(w, FMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        SetForegroundWindow(w);
        ModalLoop(w, FDone);
        return FChoice;
    }

    LRESULT Handle(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        switch (m) {
            case WM_CREATE: Build(w); return 0;
            case WM_COMMAND: OnCommand(w, LOWORD(wp)); return 0;
            case WM_NOTIFY: OnNotify(w, reinterpret_cast<NMHDR*>(lp)); return 0;
            case WM_SIZE: Arrange(w); return 0;
            case WM_CLOSE: Close(w); return 0;
            case WM_DESTROY: FDone = true; return 0;
        }
        return DefWindowProcA(w, m, wp, lp);
    }

private:
    RECT StoredPlace() {
        std::string ini = IniPath();
        char coordinates[64] = {};
        GetPrivateProfileStringA("Dialog", "Coordinates", "", coordinates, sizeof coordinates, ini.c_str());
        int height = static_cast<int>(GetPrivateProfileIntA("Dialog", "Height", CollapsedHeight, ini.c_str()));
        FMaximized = GetPrivateProfileIntA("Dialog", "WindowsState", 0, ini.c_str()) == 1;
        FExpanded = height > CollapsedHeight;
        int x, y;
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        if (std::sscanf(coordinates, "%d,%d", &x, &y) != 2 || x < work.left || y < work.top || x + 50 > work.right ||
            y + 50 > work.bottom) {
            x = (work.left + work.right - Width) / 2;
            y = (work.top + work.bottom - ExpandedHeight) / 2;
        }
        if (height < CollapsedHeight || height > work.bottom - work.top) height = CollapsedHeight;
        return {x, y, x + Width, y + height};
    }

    void StorePlace(HWND w) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(w, &wp);
        std::string ini = IniPath();
        char text[64];
        std::snprintf(text, sizeof text, "%ld,%ld", wp.rcNormalPosition.left, wp.rcNormalPosition.top);
        WritePrivateProfileStringA("Dialog", "Coordinates", text, ini.c_str());
        std::snprintf(text, sizeof text, "%ld", wp.rcNormalPosition.bottom - wp.rcNormalPosition.top);
        WritePrivateProfileStringA("Dialog", "Height", text, ini.c_str());
        WritePrivateProfileStringA("Dialog", "WindowsState", wp.showCmd == SW_SHOWMAXIMIZED ? "1" : "0", ini.c_str());
    }

    void Build(HWND w) {
        std::string message = FOptions.DialogMessage;
        const auto& sections = FReport.Sections();
        if (sections.size() > 1 && sections[1].Items.size() > 1)
            message += "\r\n\r\n" + sections[1].Items[0].Value + ": " + sections[1].Items[1].Value;
        Child(w, "STATIC", message.c_str(), SS_LEFT, 12, 10, Width - 40, 62, IdText);
        HWND send = Child(w, "BUTTON", "Send an email to the program author", BS_AUTOCHECKBOX | WS_TABSTOP, 12, 78, 300,
                          20, IdSend);
        HWND shot =
            Child(w, "BUTTON", "Attach a screenshot", BS_AUTOCHECKBOX | WS_TABSTOP, 30, 98, 280, 20, IdScreenshot);
        HWND clip =
            Child(w, "BUTTON", "Copy to clipboard", BS_AUTOCHECKBOX | WS_TABSTOP, 12, 118, 280, 20, IdClipboard);
        SendMessageA(send, BM_SETCHECK, FCanSend ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageA(shot, BM_SETCHECK, FOptions.AttachScreenshot ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageA(clip, BM_SETCHECK, FOptions.CopyToClipboard ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableScreenshot(w);
        // Sending is offered only where a mail address is configured.
        if (!FCanSend) {
            ShowWindow(send, SW_HIDE);
            ShowWindow(shot, SW_HIDE);
        }
        Child(w, "BUTTON", "Details", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 80, 25, IdDetails);
        Child(w, "BUTTON", "Kill", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 80, 25, IdKill);
        Child(w, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 80, 25, IdOk);

        HWND tabs = Child(w, WC_TABCONTROLA, "", WS_CLIPSIBLINGS, 0, 0, 10, 10, IdTabs);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>("Informations");
        SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        // Both pages are "Informations": the list and the text of one report.
        item.pszText = const_cast<char*>("Informations");
        SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
        HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_NOSORTHEADER, 0, 0,
                                    10, 10, w, reinterpret_cast<HMENU>(IdList), GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
        FillList(list);
        HWND text =
            CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", FReport.Text().c_str(),
                            WS_CHILD | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, 0, 0, 10,
                            10, w, reinterpret_cast<HMENU>(IdReport), GetModuleHandleA(nullptr), nullptr);
        SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
    }

    void FillList(HWND list) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 160;
        column.pszText = const_cast<char*>("Item");
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        column.cx = 280;
        column.pszText = const_cast<char*>("Value");
        SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
        int row = 0;
        const auto& sections = FReport.Sections();
        for (size_t s = 0; s < sections.size(); ++s) {
            AddRow(list, row++, std::to_string(s + 1) + ". " + sections[s].Title, "");
            for (size_t i = 0; i < sections[s].Items.size(); ++i)
                AddRow(list, row++,
                       "  " + std::to_string(s + 1) + "." + std::to_string(i + 1) + " " + sections[s].Items[i].Name,
                       sections[s].Items[i].Value);
        }
    }

    static void AddRow(HWND list, int row, const std::string& name, const std::string& value) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(name.c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(value.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }

    void Arrange(HWND w) {
        RECT client;
        GetClientRect(w, &client);
        int right = client.right - 12, buttons = 146;
        SetWindowPos(GetDlgItem(w, IdOk), nullptr, right - 80, buttons, 80, 25, SWP_NOZORDER);
        SetWindowPos(GetDlgItem(w, IdKill), nullptr, right - 166, buttons, 80, 25, SWP_NOZORDER);
        SetWindowPos(GetDlgItem(w, IdDetails), nullptr, right - 252, buttons, 80, 25, SWP_NOZORDER);
        int top = buttons + 35, height = client.bottom - top - 10;
        HWND tabs = GetDlgItem(w, IdTabs);
        SetWindowPos(tabs, nullptr, 12, top, right - 12, height > 0 ? height : 0, SWP_NOZORDER);
        RECT page{12, top, right, top + (height > 0 ? height : 0)};
        TabCtrl_AdjustRect(tabs, FALSE, &page);
        for (int id : {IdList, IdReport})
            SetWindowPos(GetDlgItem(w, id), HWND_TOP, page.left, page.top, page.right - page.left,
                         page.bottom - page.top, 0);
    }

    void ShowDetails(HWND w, bool show) {
        FExpanded = show;
        RECT r;
        GetWindowRect(w, &r);
        SetWindowPos(w, nullptr, 0, 0, r.right - r.left, show ? ExpandedHeight : CollapsedHeight,
                     SWP_NOMOVE | SWP_NOZORDER);
        ShowWindow(GetDlgItem(w, IdTabs), show ? SW_SHOW : SW_HIDE);
        ShowPage(w, show ? TabCtrl_GetCurSel(GetDlgItem(w, IdTabs)) : -1);
    }

    void ShowPage(HWND w, int page) {
        ShowWindow(GetDlgItem(w, IdList), page == 0 ? SW_SHOW : SW_HIDE);
        ShowWindow(GetDlgItem(w, IdReport), page == 1 ? SW_SHOW : SW_HIDE);
    }

    void OnNotify(HWND w, NMHDR* n) {
        if (n->idFrom == IdTabs && n->code == TCN_SELCHANGE) ShowPage(w, TabCtrl_GetCurSel(n->hwndFrom));
    }

    void OnCommand(HWND w, int id) {
        switch (id) {
            case IdSend: EnableScreenshot(w); break;
            case IdDetails: ShowDetails(w, !FExpanded); break;
            case IdKill:
                FChoice.Kill = true;
                Close(w);
                break;
            case IdOk:
            case IDCANCEL: Close(w); break;
        }
    }

    // A screenshot goes only with a mail.
    static void EnableScreenshot(HWND w) {
        bool send = SendMessageA(GetDlgItem(w, IdSend), BM_GETCHECK, 0, 0) == BST_CHECKED;
        EnableWindow(GetDlgItem(w, IdScreenshot), send);
    }

    void Close(HWND w) {
        auto checked = [&](int id) { return SendMessageA(GetDlgItem(w, id), BM_GETCHECK, 0, 0) == BST_CHECKED; };
        FChoice.Send = FCanSend && checked(IdSend);
        FChoice.Screenshot = FChoice.Send && checked(IdScreenshot);
        FChoice.Clipboard = checked(IdClipboard);
        StorePlace(w);
        DestroyWindow(w);
    }

    const TVesperModuleOptions& FOptions;
    const TLogItem& FReport;
    bool FCanSend;
    bool FExpanded = false, FMaximized = false, FDone = false;
    TDialogChoice FChoice;
};

class TRequestWindow {
public:
    std::string Run() {
        RegisterClassFor<TRequestWindow>("PlandeskCrashRequest");
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, "PlandeskCrashRequest", "Request.",
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU, (work.right - 400) / 2, (work.bottom - 250) / 2,
                                 400, 250, nullptr, nullptr, GetModuleHandleA(nullptr), this);
        if (!w) return {};
        ShowWindow(w, SW_SHOWNORMAL);
        SetForegroundWindow(w);
        ModalLoop(w, FDone);
        return FText;
    }

    LRESULT Handle(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        switch (m) {
            case WM_CREATE:
                Child(w, "STATIC", "Please describe the steps to reproduce the error:", SS_LEFT, 10, 10, 370, 18,
                      IdText);
                SetFocus(Child(w, "EDIT", "",
                               WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP, 10,
                               32, 370, 140, IdRequestEdit));
                Child(w, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 300, 182, 80, 25, IdOk);
                return 0;
            case WM_COMMAND:
                if (LOWORD(wp) == IdOk || LOWORD(wp) == IDCANCEL) Close(w);
                return 0;
            case WM_CLOSE: Close(w); return 0;
            case WM_DESTROY: FDone = true; return 0;
        }
        return DefWindowProcA(w, m, wp, lp);
    }

private:
    void Close(HWND w) {
        HWND edit = GetDlgItem(w, IdRequestEdit);
        std::vector<char> text(GetWindowTextLengthA(edit) + 1);
        GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
        FText = text.data();
        DestroyWindow(w);
    }
    std::string FText;
    bool FDone = false;
};
}  // namespace

TDialogChoice ShowReportDialog(const TVesperModuleOptions& options, const TLogItem& report, bool canSend) {
    return TReportWindow(options, report, canSend).Run();
}

std::string AskStepsToReproduce() { return TRequestWindow().Run(); }

void RunWithSendingWindow(const std::function<void()>& work) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "SMTP sending...", WS_POPUP | WS_CAPTION,
                             (area.right - 300) / 2, (area.bottom - 80) / 2, 300, 80, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (w) {
        HWND bar = Child(w, PROGRESS_CLASSA, "", PBS_MARQUEE, 10, 12, 270, 18, IdProgress);
        SendMessageA(bar, PBM_SETMARQUEE, TRUE, 30);
        ShowWindow(w, SW_SHOWNOACTIVATE);
    }
    // TSMTPThread: the conversation runs on its own thread while this one
    // keeps the window painted.
    TKernelHandle thread(CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            (*static_cast<const std::function<void()>*>(p))();
            return 0;
        },
        const_cast<std::function<void()>*>(&work), 0, nullptr));
    HANDLE handle = thread.Handle();
    if (!handle) {
        work();
        if (w) DestroyWindow(w);
        return;
    }
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    thread.Reset();
    if (w) DestroyWindow(w);
}

void CopyTextToClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    std::string crlf;
    for (char c : text) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, crlf.size() + 1);
    if (memory) {
        memcpy(GlobalLock(memory), crlf.c_str(), crlf.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

std::string CaptureScreenPng() {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    TMemoryDC memory = TMemoryDC::Create(screen);
    TDibSection dib = CreateDibSection(width, height, 24, screen);  // top row first
    std::string png;
    if (dib) {
        {
            SelectGuard selected(memory.Handle(), dib.Bitmap.Handle());
            BitBlt(memory.Handle(), 0, 0, width, height, screen, x, y, SRCCOPY | CAPTUREBLT);
            GdiFlush();
        }
        png = EncodePng(static_cast<const uint8_t*>(dib.Bits), width, height, DibRowStride(width, 24));
    }
    dib.Bitmap.Reset();
    memory.Reset();
    ReleaseDC(nullptr, screen);
    if (png.empty()) throw Exception("Cannot capture the screen.");
    return png;
}
