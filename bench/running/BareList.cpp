#include "bench/running/BareList.h"

#include <commctrl.h>

#include <string>

#include "bench/running/BenchSupport.h"
#include "bench/running/ProcessWindows.h"

TBareList::TBareList() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    FFrame = CreateWindowExA(0, "STATIC", "Bare list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 400, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    FList = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 0, 0, 560, 284,
                            FFrame, nullptr, GetModuleHandleA(nullptr), nullptr);
    DWORD ex = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    SendMessageA(FList, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    const char* captions[] = {"Done", "Task Description", "Task Notes", "Start Date", "End Date"};
    const int widths[] = {40, 160, 160, 100, 100};
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = const_cast<char*>(captions[i]);
        col.cx = widths[i];
        SendMessageA(FList, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    }
    Pump();
}

TBareList::~TBareList() { DestroyWindow(FFrame); }

double TBareList::Fill(int rows) {
    double start = NowMs();
    SendMessageA(FList, WM_SETREDRAW, FALSE, 0);
    SendMessageA(FList, LVM_SETITEMCOUNT, rows, 0);
    for (int i = 0; i < rows; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("");
        int row = static_cast<int>(SendMessageA(FList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        std::string texts[4] = {"Task " + std::to_string(i + 1) + " of Project 1: follow up",
                                i % 4 ? "Call the supplier, then write the summary" : "", i % 5 ? "12/13/2007" : "",
                                i % 5 ? "12/13/2007" : ""};
        for (int c = 0; c < 4; ++c) {
            LVITEMA sub{};
            sub.iSubItem = c + 1;
            sub.pszText = texts[c].data();
            SendMessageA(FList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
        }
        LVITEMA state{};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(i % 3 == 0 ? 2 : 1);
        SendMessageA(FList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    SendMessageA(FList, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(FList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    double elapsed = NowMs() - start;
    if (SendMessageA(FList, LVM_GETITEMCOUNT, 0, 0) != rows) Fail("the bare list did not fill");
    Pump();
    return elapsed;
}

double TBareList::Page(int rows) {
    SendMessageA(FList, LVM_ENSUREVISIBLE, 0, FALSE);
    UpdateWindow(FList);
    double start = NowMs();
    for (int step = 0; step <= rows; ++step) {
        SendMessageA(FList, WM_KEYDOWN, VK_NEXT, 0);
        RedrawWindow(FList, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (AtBottom(FList, rows)) break;
    }
    double elapsed = NowMs() - start;
    if (!AtBottom(FList, rows)) Fail("the bare list did not page to its end");
    Pump();
    return elapsed;
}

double TBareList::Clear() {
    double start = NowMs();
    SendMessageA(FList, WM_SETREDRAW, FALSE, 0);
    SendMessageA(FList, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(FList, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(FList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    double elapsed = NowMs() - start;
    Pump();
    return elapsed;
}

void TBareList::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
