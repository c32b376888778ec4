#include "skin/controls/vlSkinListViews.h"

#include <algorithm>
#include <cstdlib>

namespace {
// The highest position a scroll message carries unchanged by every tree view
// (some read its 16 bits as signed).
constexpr int kLargestScrollMessage = 0x7FFF;
}  // namespace

TvlSkinTreeView::TvlSkinTreeView(TComponent* owner, TWinControl* parent) : TvlSkinScrolledView(owner, parent) {
    SkinDataName = "treeview";
}

void TvlSkinTreeView::ApplyColours(COLORREF background, COLORREF text) {
    if (!HandleAllocated()) return;
    SendMessageA(Handle(), TVM_SETBKCOLOR, 0, background);
    SendMessageA(Handle(), TVM_SETTEXTCOLOR, 0, text);
    // The lines and the expand buttons' boxes, otherwise the system's grey:
    // nearly halfway to the text, as dotted lines are faint.
    SendMessageA(Handle(), TVM_SETLINECOLOR, 0, MixColours(background, text, 112));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    if (images) ImageList_SetBkColor(images, background);
}

bool TvlSkinTreeView::MovesView(UINT msg) const {
    return msg == TVM_EXPAND || msg == TVM_DELETEITEM || msg == TVM_ENSUREVISIBLE || TvlSkinScrolledView::MovesView(msg);
}

bool TvlSkinTreeView::NotifyNotify(NMHDR* header, LRESULT& result) {
    if (DrawInactiveSelection(Handle(), header, result)) return true;
    bool answered = TvlSkinScrolledView::NotifyNotify(header, result);
    if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW || header->code == TVN_ITEMEXPANDEDA ||
        header->code == TVN_ITEMEXPANDEDW)
        UpdateScrollBars();
    return answered;
}

void TvlSkinTreeView::UpdateScrollBars() {
    if (!HandleAllocated() || FInUpdate) return;
    SCROLLINFO v{sizeof v, SIF_ALL}, h{sizeof h, SIF_ALL};
    if (!GetScrollInfo(Handle(), SB_VERT, &v)) v = SCROLLINFO{sizeof v, SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(Handle(), SB_HORZ, &h)) h = SCROLLINFO{sizeof h, SIF_ALL, 0, 0, 0, 0, 0};
    int visible = static_cast<int>(SendMessageA(Handle(), TVM_GETVISIBLECOUNT, 0, 0));
    int total = static_cast<int>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0));
    LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    bool shown = Visible();
    bool showV = shown && v.nMax > 0 && visible <= v.nMax && v.nMax < total && (style & WS_VSCROLL);
    bool showH = shown && Width() < h.nMax && (style & WS_HSCROLL);
    if (TvlSkinScrollBar* bar = VScrollBar(); bar && showV) {
        bar->SetRange(v.nMin, v.nMax, visible, v.nPos);
        bar->LargeChange = std::max(1, visible);
    }
    if (TvlSkinScrollBar* bar = HScrollBar(); bar && showH) {
        bar->SetRange(h.nMin, h.nMax, Width(), h.nPos);
        bar->SmallChange = 10;
        bar->LargeChange = std::max(1, Width() - 10);
    }
    ShowBars(showV, showH);
}

// The native scroll message carries the position in 16 bits, so a tree of
// more rows is scrolled there by making the row at the position the first
// visible one, reached by the shortest walk: from the current first row,
// from the last row the message can still name, or back from the last row.
void TvlSkinTreeView::BarChanged(bool vertical) {
    if (!HandleAllocated()) return;
    TvlSkinScrollBar* bar = vertical ? VScrollBar() : HScrollBar();
    int target = bar->Position();
    FInUpdate = true;
    if (!vertical || target <= kLargestScrollMessage) {
        SendMessageA(Handle(), vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, target), 0);
    } else {
        SCROLLINFO v{sizeof v, SIF_POS | SIF_RANGE, 0, 0, 0, 0, 0};
        if (!GetScrollInfo(Handle(), SB_VERT, &v)) v.nPos = v.nMax = 0;
        int fromCurrent = std::abs(target - v.nPos), fromAnchor = target - kLargestScrollMessage;
        int fromEnd = std::max(0, v.nMax - target);
        auto item = [&](UINT code, HTREEITEM from) {
            return reinterpret_cast<HTREEITEM>(
                SendMessageA(Handle(), TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(from)));
        };
        HTREEITEM row = nullptr;
        int steps = 0;
        UINT step = TVGN_NEXTVISIBLE;
        if (fromEnd <= fromCurrent && fromEnd <= fromAnchor) {
            row = item(TVGN_LASTVISIBLE, nullptr);
            steps = fromEnd;
            step = TVGN_PREVIOUSVISIBLE;
        } else if (fromAnchor < fromCurrent) {
            SendMessageA(Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, kLargestScrollMessage), 0);
            row = item(TVGN_FIRSTVISIBLE, nullptr);
            steps = fromAnchor;
        } else {
            row = item(TVGN_FIRSTVISIBLE, nullptr);
            steps = fromCurrent;
            if (target < v.nPos) step = TVGN_PREVIOUSVISIBLE;
        }
        for (; row && steps > 0; --steps)
            if (HTREEITEM next = item(step, row)) row = next;
            else break;
        if (row) SendMessageA(Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(row));
    }
    FInUpdate = false;
}
