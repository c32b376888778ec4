#include "toolkit/ComCtrls.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/Gdi.h"

#include "toolkit/Menus.h"

// ---- TImageList ----

TImageList::TImageList(TComponent* owner, int width, int height, bool masked)
    : TComponent(owner),
      FHandle(ImageList_Create(width, height, ILC_COLOR24 | (masked ? ILC_MASK : 0), 2, 2)),
      FMasked(masked) {}

TImageList::~TImageList() {
    ImageList_Destroy(FHandle);
    if (FDesignHandle) ImageList_Destroy(FDesignHandle);
}

namespace {
// One picture of a list drawn at `width` x `height` into a new bitmap: the
// picture over black (where a mask leaves it out, as a masked list stores
// it), or with `mask` its mask in black and white.
TGdiBitmap StretchedImage(HIMAGELIST list, int index, int width, int height, bool mask) {
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    TMemoryDC source = TMemoryDC::Create(nullptr), target = TMemoryDC::Create(nullptr);
    TDibSection original = CreateDibSection(w, h, 24);
    TDibSection scaled = CreateDibSection(width, height, 24);
    if (!original || !scaled) return {};
    {
        SelectGuard s(source.Handle(), original.Bitmap.Handle());
        SelectGuard t(target.Handle(), scaled.Bitmap.Handle());
        if (mask) PatBlt(source.Handle(), 0, 0, w, h, WHITENESS);
        ImageList_Draw(list, index, source.Handle(), 0, 0, mask ? ILD_MASK : ILD_NORMAL);
        // Pictures blend their pixels; masks keep hard edges.
        SetStretchBltMode(target.Handle(), mask ? COLORONCOLOR : HALFTONE);
        SetBrushOrgEx(target.Handle(), 0, 0, nullptr);
        StretchBlt(target.Handle(), 0, 0, width, height, source.Handle(), 0, 0, w, h, SRCCOPY);
    }
    return std::move(scaled.Bitmap);
}
}  // namespace

void TImageList::ScaleToDpi(int dpi) {
    if (dpi <= 0 || dpi == FDpi) return;
    FDpi = dpi;
    if (FDesignHandle)
        ImageList_Destroy(std::exchange(FHandle, nullptr));
    else
        FDesignHandle = std::exchange(FHandle, nullptr);
    if (dpi == kDesignDpi) {
        FHandle = std::exchange(FDesignHandle, nullptr);
        return;
    }
    int w = 0, h = 0, count = ImageList_GetImageCount(FDesignHandle);
    ImageList_GetIconSize(FDesignHandle, &w, &h);
    int width = ScaleForDpi(w, dpi), height = ScaleForDpi(h, dpi);
    FHandle = ImageList_Create(width, height, ILC_COLOR24 | (FMasked ? ILC_MASK : 0), count, 2);
    for (int i = 0; i < count; ++i) {
        TGdiBitmap image = StretchedImage(FDesignHandle, i, width, height, false);
        TGdiBitmap mask = FMasked ? StretchedImage(FDesignHandle, i, width, height, true) : TGdiBitmap();
        ImageList_Add(FHandle, image.Handle(), mask.Handle());
    }
}

int TImageList::Add(HBITMAP image) {
    if (!FMasked) return ImageList_Add(FHandle, image, nullptr);
    // A masked list draws through its masks: a clear one draws the picture whole.
    BITMAP info{};
    if (!GetObjectA(image, sizeof info, &info)) return -1;
    std::vector<uint8_t> clear(static_cast<size_t>((info.bmWidth + 15) / 16 * 2) * static_cast<size_t>(info.bmHeight));
    TGdiBitmap mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, clear.data()));
    return ImageList_Add(FHandle, image, mask.Handle());
}

int TImageList::AddMasked(HBITMAP image, COLORREF transparent) {
    if (!FMasked) return Add(image);
    return ImageList_AddMasked(FHandle, image, transparent);
}

// ---- TUpdateCount ----

void TUpdateCount::Begin(HWND window) {
    if (FCount++ == 0 && window) {
        SendMessageA(window, WM_SETREDRAW, FALSE, 0);
        FDrawingOff = true;
    }
}

void TUpdateCount::End(HWND window) {
    if (FCount == 0 || --FCount > 0) return;
    if (!std::exchange(FDrawingOff, false) || !window) return;
    SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    // Not every version of the controls repaints what changed while redrawing was off.
    if (IsOnScreen(window)) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

// ---- TListView ----

namespace {
// The longest cell text read back from the control.
constexpr size_t kItemTextLimit = 4095;
}  // namespace

TListView::TListView(TComponent* owner, TWinControl* parent, bool checkBoxes, bool columnClick)
    : TWinControl(owner, parent), FCheckBoxes(checkBoxes), FColumnClick(columnClick) {
    TabStop = true;
}

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = WC_LISTVIEWA;
    params.Style |= LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP | (FColumnClick ? 0 : LVS_NOSORTHEADER);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd() {
    // A shown list's drawing is off from WM_CREATE on (see WndProc) while
    // the font, the styles and the columns go in: the control lays out its
    // scroll bars and header again for each of them when it draws, two
    // passes a time. (Some versions take WM_SETREDRAW to the default window
    // procedure, which shows the window on TRUE: a hidden list is left be.)
    TWinControl::CreateWnd();
    DWORD ex = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | (FCheckBoxes ? LVS_EX_CHECKBOXES : 0);
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    for (size_t i = 0; i < FColumns.size(); ++i) InsertColumn(i, FColumns[i].Caption);
    FitColumns();
    ScaleCheckBoxes();
    PutKeptRows();
    if (Visible()) SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
}

void TListView::PutKeptRows() {
    std::vector<TKeptRow> rows = std::exchange(FKeptRows, {});
    int selected = std::exchange(FKeptSelected, -1);
    if (rows.empty()) return;
    FPuttingKeptRows = true;
    SetItemCount(static_cast<int>(rows.size()));
    for (const TKeptRow& row : rows) {
        int index = AddItem(row.Texts.empty() ? std::string() : row.Texts[0]);
        for (size_t column = 1; column < row.Texts.size(); ++column)
            if (!row.Texts[column].empty()) SetItemText(index, static_cast<int>(column), row.Texts[column]);
        if (FCheckBoxes && row.Checked) SetChecked(index, true);
    }
    if (selected >= 0) SetSelectedIndex(selected);
    FPuttingKeptRows = false;
}

const TListView::TKeptRow* TListView::KeptRow(int index) const {
    return index >= 0 && index < static_cast<int>(FKeptRows.size()) ? &FKeptRows[static_cast<size_t>(index)] : nullptr;
}

void TListView::WndProc(TMessage& m) {
    TWinControl::WndProc(m);
    if (m.Msg == WM_CREATE && m.Result != -1 && Visible()) {
        TMessage off{WM_SETREDRAW, FALSE, 0};
        DefaultHandler(off);
    }
    // The control frees the state pictures it holds; the kept ones are ours.
    if (m.Msg == WM_NCDESTROY && FDesignChecks) ImageList_Destroy(std::exchange(FDesignChecks, nullptr));
}

namespace {
// The two state pictures of a list's check boxes (clear, checked), each a
// box of the 96-DPI cell's proportions in a cell of `size`.
HIMAGELIST MakeCheckBoxPictures(int size, int inset) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0);
    const COLORREF ground = RGB(255, 0, 255);
    TMemoryDC dc = TMemoryDC::Create(nullptr);
    for (bool checked : {false, true}) {
        TDibSection picture = CreateDibSection(size, size, 24);
        if (!picture) continue;
        {
            SelectGuard selected(dc.Handle(), picture.Bitmap.Handle());
            RECT cell{0, 0, size, size};
            TGdiBrush brush = CreateSolidBrushOwned(ground);
            FillRect(dc.Handle(), &cell, brush.Handle());
            RECT box{inset, inset, size - inset, size - inset};
            DrawFrameControl(dc.Handle(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_MONO | (checked ? DFCS_CHECKED : 0));
        }
        ImageList_AddMasked(list, picture.Bitmap.Handle(), ground);
    }
    return list;
}
}  // namespace

void TListView::ScaleCheckBoxes() {
    if (!FCheckBoxes || !HandleAllocated()) return;
    if (FDpi == kDesignDpi) {
        if (!FDesignChecks) return;
        auto scaled = reinterpret_cast<HIMAGELIST>(
            SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(FDesignChecks)));
        FDesignChecks = nullptr;
        if (scaled) ImageList_Destroy(scaled);
        return;
    }
    // The control's own cell, with a box of the standard 13 pixels in it,
    // at the list's DPI.
    int w = 0, h = 0;
    auto own = FDesignChecks ? FDesignChecks
                             : reinterpret_cast<HIMAGELIST>(SendMessageA(Handle(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
    if (!own || !ImageList_GetIconSize(own, &w, &h) || w <= 0) w = 16;
    HIMAGELIST scaled = MakeCheckBoxPictures(ScaleForDpi(w, FDpi), ScaleForDpi(std::max(0, (w - 13) / 2), FDpi));
    auto before = reinterpret_cast<HIMAGELIST>(
        SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(scaled)));
    if (!FDesignChecks)
        FDesignChecks = before;
    else if (before)
        ImageList_Destroy(before);
}

void TListView::InsertColumn(size_t index, const std::string& caption) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<char*>(caption.c_str());
    col.cx = ScaleForDpi(FColumns[index].Width, FDpi);
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&col));
}

void TListView::AddColumn(const std::string& caption, int width, bool autoSize) {
    FColumns.push_back({caption, width, autoSize});
    if (!HandleAllocated()) return;  // the columns go in when the window is made
    InsertColumn(FColumns.size() - 1, caption);
    FitColumns();
}

void TListView::FitColumns() {
    if (!HandleAllocated()) return;
    int fixed = 0, automatic = 0;
    for (const Column& c : FColumns) c.AutoSize ? ++automatic : fixed += ScaleForDpi(c.Width, FDpi);
    if (!automatic) return;
    int each = (ClientWidth() - fixed) / automatic;
    each = std::max(each, ScaleForDpi(50, FDpi));
    for (size_t i = 0; i < FColumns.size(); ++i)
        if (FColumns[i].AutoSize) SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, i, each);
}

int TListView::ColumnWidth(int column) const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void TListView::ChangeScale(int fromDpi, int toDpi) {
    // The font (and with it the rows) and the place first, then the columns
    // from their 96-DPI widths, the automatic ones fitted to the new width.
    TWinControl::ChangeScale(fromDpi, toDpi);
    FDpi = toDpi;
    if (!HandleAllocated()) return;
    for (size_t i = 0; i < FColumns.size(); ++i)
        if (!FColumns[i].AutoSize) SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, i, ScaleForDpi(FColumns[i].Width, FDpi));
    FitColumns();
    ScaleCheckBoxes();
}

int TListView::ItemCount() const {
    if (!HandleAllocated()) return static_cast<int>(FKeptRows.size());
    return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TListView::SetItemCount(int count) {
    if (!HandleAllocated()) {
        FKeptRows.reserve(static_cast<size_t>(std::max(count, 0)));
        return;
    }
    SendMessageA(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL);
}

int TListView::AddItem(const std::string& caption) {
    if (!HandleAllocated()) {
        FKeptRows.push_back({{caption}});
        return static_cast<int>(FKeptRows.size()) - 1;
    }
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = INT_MAX;  // past the end: appended
    item.pszText = const_cast<char*>(caption.c_str());
    return static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void TListView::DeleteItem(int index) {
    if (!HandleAllocated()) {
        if (!KeptRow(index)) return;
        FKeptRows.erase(FKeptRows.begin() + index);
        // The selection stays on its row, as the control's does.
        if (FKeptSelected == index)
            FKeptSelected = -1;
        else if (FKeptSelected > index)
            --FKeptSelected;
        return;
    }
    SendMessageA(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void TListView::Clear() {
    if (!HandleAllocated()) {
        FKeptRows.clear();
        FKeptSelected = -1;
        return;
    }
    SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

std::string TListView::ItemText(int index, int column) const {
    if (!HandleAllocated()) {
        const TKeptRow* row = KeptRow(index);
        if (!row || column < 0 || column >= static_cast<int>(row->Texts.size())) return {};
        return row->Texts[static_cast<size_t>(column)].substr(0, kItemTextLimit);
    }
    char buffer[kItemTextLimit + 1];
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    int n = static_cast<int>(
        SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    return std::string(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

void TListView::SetItemText(int index, int column, const std::string& text) {
    if (!HandleAllocated()) {
        TKeptRow* row = KeptRow(index);
        if (!row || column < 0) return;
        if (row->Texts.size() <= static_cast<size_t>(column)) row->Texts.resize(static_cast<size_t>(column) + 1);
        row->Texts[static_cast<size_t>(column)] = text;
        return;
    }
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool TListView::Checked(int index) const {
    if (!HandleAllocated()) {
        const TKeptRow* row = KeptRow(index);
        return FCheckBoxes && row && row->Checked;
    }
    UINT state =
        static_cast<UINT>(SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void TListView::SetChecked(int index, bool checked) {
    if (!HandleAllocated()) {
        if (TKeptRow* row = KeptRow(index)) row->Checked = checked;
        return;
    }
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

int TListView::SelectedIndex() const {
    if (!HandleAllocated()) return FKeptSelected;
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelectedIndex(int index) {
    if (!HandleAllocated()) {
        FKeptSelected = KeptRow(index) ? index : -1;
        return;
    }
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (index < 0) {
        item.state = 0;
        SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        return;
    }
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

RECT TListView::ItemRect(int index) const {
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

bool TListView::NotifyNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(header);
            if (OnChange && nm->iItem >= 0 && !FPuttingKeptRows) {
                if (nm->uChanged & LVIF_TEXT) OnChange(this, nm->iItem, ctText);
                if (nm->uChanged & LVIF_IMAGE) OnChange(this, nm->iItem, ctImage);
                if (nm->uChanged & LVIF_STATE) OnChange(this, nm->iItem, ctState);
            }
            return false;
        }
        case NM_DBLCLK:
            if (OnDblClick) OnDblClick(this);
            return false;
        case LVN_DELETEALLITEMS:
            // No deletion event is raised per row, so the list need not
            // report each one: clearing long lists stays fast.
            result = TRUE;
            return true;
        default: return false;
    }
}

void TListView::OnSize(TMessage& m) {
    TWinControl::OnSize(m);
    FitColumns();
}

// ---- TTreeView ----

TTreeView::TTreeView(TComponent* owner, TWinControl* parent) : TWinControl(owner, parent) { TabStop = true; }

void TTreeView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TREEVIEWA;
    params.Style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyScale();
}

void TTreeView::SetImages(TImageList* images) {
    FImages = images;
    if (images) images->ScaleToDpi(FDpi);
    SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TTreeView::ChangeScale(int fromDpi, int toDpi) {
    // The row height the control chose for the 96-DPI font and icons.
    if (HandleAllocated() && fromDpi == kDesignDpi)
        FDesignItemHeight = static_cast<int>(SendMessageA(Handle(), TVM_GETITEMHEIGHT, 0, 0));
    TWinControl::ChangeScale(fromDpi, toDpi);
    FDpi = toDpi;
    if (FImages) FImages->ScaleToDpi(toDpi);
    ApplyScale();
}

void TTreeView::ApplyScale() {
    if (!HandleAllocated()) return;
    if (FImages) SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages->Handle()));
    // After the pictures: a new image list sets the indent to its width.
    SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(ScaleForDpi(19, FDpi)), 0);
    // At 96 DPI the control chooses its row height again, as it always has.
    if (FDesignItemHeight > 0)
        SendMessageA(Handle(), TVM_SETITEMHEIGHT,
                     static_cast<WPARAM>(FDpi == kDesignDpi ? -1 : ScaleForDpi(FDesignItemHeight, FDpi)), 0);
}

TTreeNode* TTreeView::Insert(TTreeNode* parent, const std::string& text, int imageIndex, int selectedIndex) {
    auto node = std::make_unique<TTreeNode>();
    node->Text = text;
    node->Parent = parent;
    node->ImageIndex = imageIndex;
    node->SelectedIndex = selectedIndex;
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent ? parent->Item : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    ins.item.pszText = const_cast<char*>(text.c_str());
    ins.item.iImage = imageIndex;
    ins.item.iSelectedImage = selectedIndex;
    ins.item.lParam = reinterpret_cast<LPARAM>(node.get());
    node->Item =
        reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (parent) parent->Children.push_back(node.get());
    FNodes.push_back(std::move(node));
    return FNodes.back().get();
}

TTreeNode* TTreeView::AddRoot(const std::string& text, int imageIndex, int selectedIndex) {
    return Insert(nullptr, text, imageIndex, selectedIndex);
}

TTreeNode* TTreeView::AddChild(TTreeNode* parent, const std::string& text, int imageIndex, int selectedIndex) {
    return Insert(parent, text, imageIndex, selectedIndex);
}

void TTreeView::Clear() {
    // Node objects outlive the native items until the selection change that
    // the deletion raises has been reported.
    FClearing = true;
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    FClearing = false;
    FNodes.clear();
}

void TTreeView::Expand(TTreeNode* node, bool recurse) {
    if (!node) return;
    SendMessageA(Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->Item));
    if (recurse)
        for (TTreeNode* c : node->Children) Expand(c, true);
}

bool TTreeView::IsExpanded(TTreeNode* node) const {
    return node && (SendMessageA(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->Item), TVIS_EXPANDED) &
                    TVIS_EXPANDED);
}

TTreeNode* TTreeView::Selected() const {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (const auto& n : FNodes)
        if (n->Item == item) return n.get();
    return nullptr;
}

void TTreeView::SetSelected(TTreeNode* node) {
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->Item : nullptr));
}

std::vector<TTreeNode*> TTreeView::Roots() const {
    std::vector<TTreeNode*> roots;
    for (const auto& n : FNodes)
        if (!n->Parent) roots.push_back(n.get());
    return roots;
}

RECT TTreeView::NodeRect(TTreeNode* node) const {
    RECT r{};
    *reinterpret_cast<HTREEITEM*>(&r) = node->Item;
    SendMessageA(Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return r;
}

TTreeNode* TTreeView::NodeAt(POINT p) const {
    TVHITTESTINFO hit{};
    hit.pt = p;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!item || !(hit.flags & TVHT_ONITEM)) return nullptr;
    for (const auto& n : FNodes)
        if (n->Item == item) return n.get();
    return nullptr;
}

bool TTreeView::NotifyNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW: {
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(header);
            TTreeNode* node = FClearing ? nullptr : reinterpret_cast<TTreeNode*>(nm->itemNew.lParam);
            if (nm->itemNew.hItem == nullptr) node = nullptr;
            if (OnChange) OnChange(this, node);
            return false;
        }
        case NM_RCLICK: {
            POINT screen;
            GetCursorPos(&screen);
            POINT p = screen;
            ScreenToClient(Handle(), &p);
            if (RightClickSelect)
                if (TTreeNode* node = NodeAt(p)) SetSelected(node);
            // The menu opens here, the same way on every platform.
            if (!PopupMenu) return false;
            PopupMenu->Popup(screen.x, screen.y);
            result = 1;
            return true;
        }
        default: return false;
    }
}

namespace {
bool IsContextMenuKey(const TMessage& m) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    return m.WParam == VK_APPS || (m.WParam == VK_F10 && shift);
}
}  // namespace

void TTreeView::OnKey(TMessage& m) {
    if (PopupMenu && IsContextMenuKey(m)) {
        // The key down opens the menu; neither key message reaches the
        // platform, which would open it a second time.
        if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), -1);
        if (m.Msg != WM_CHAR && m.Msg != WM_SYSCHAR) {
            m.Result = 0;
            return;
        }
    }
    TWinControl::OnKey(m);
}

void TTreeView::OnContextMenu(TMessage& m) {
    TTreeNode* node = Selected();
    if (!PopupMenu || m.LParam != -1 || !node) {
        TWinControl::OnContextMenu(m);
        return;
    }
    RECT r = NodeRect(node);
    POINT p{r.left, r.bottom};
    ClientToScreen(Handle(), &p);
    PopupMenu->Popup(p.x, p.y);
    m.Result = 0;
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* owner, TWinControl* parent, bool tabsAtBottom)
    : TWinControl(owner, parent), FTabsAtBottom(tabsAtBottom) {
    TabStop = true;
}

void TPageControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = WC_TABCONTROLA;
    params.Style |= WS_CLIPCHILDREN | WS_TABSTOP | (FTabsAtBottom ? TCS_BOTTOM : 0);
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    for (size_t i = 0; i < FSheets.size(); ++i) InsertTab(static_cast<int>(i), FSheets[i]->Caption());
    if (FActive >= 0) SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(FActive), 0);
}

void TPageControl::InsertTab(int index, const std::string& caption) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

TTabSheet* TPageControl::AddSheet(const std::string& caption) {
    if (HandleAllocated()) InsertTab(PageCount(), caption);
    TTabSheet* sheet = NewSheet(caption);
    FSheets.push_back(sheet);
    sheet->SetVisible(false);
    AlignControls();
    if (FActive < 0) SetActivePageIndex(0);
    return sheet;
}

TTabSheet* TPageControl::NewSheet(const std::string& caption) { return new TTabSheet(Owner(), this, caption); }

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount()) return;
    FActive = index;
    if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int i = 0; i < PageCount(); ++i) FSheets[i]->SetVisible(i == index);
    if (OnChange) OnChange(this);
}

RECT TPageControl::LayoutRect() const {
    RECT r{0, 0, ClientWidth(), ClientHeight()};
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TPageControl::AlignControls() {
    RECT r = LayoutRect();
    for (TTabSheet* s : FSheets) s->SetBoundsByLayout(r.left, r.top, r.right - r.left, r.bottom - r.top);
    TWinControl::AlignControls();
}

bool TPageControl::NotifyNotify(NMHDR* header, LRESULT& result) {
    if (header->code == TCN_SELCHANGE) {
        SetActivePageIndex(static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)));
        return true;
    }
    return false;
}

TTabSheet::TTabSheet(TComponent* owner, TPageControl* parent, const std::string& caption)
    : TCustomControl(owner, parent) {
    SetCaption(caption);
}
