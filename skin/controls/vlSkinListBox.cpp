#include "skin/controls/vlSkinListBox.h"

#include <algorithm>

#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"

// ---- TvlListBox ----

TvlListBox::TvlListBox(TComponent* owner, TvlSkinListBox* box) : TWinControl(owner, box), FBox(box) {}

void TvlListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "LISTBOX";
    params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    params.Style &= ~(WS_VSCROLL | WS_HSCROLL | WS_BORDER);
}

bool TvlListBox::OnReflected(TMessage& m) {
    if (m.Msg == WM_DRAWITEM) {
        FBox->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return true;
    }
    if (m.Msg == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = static_cast<UINT>(FBox->ItemHeight());
        m.Result = TRUE;
        return true;
    }
    return TWinControl::OnReflected(m);
}

void TvlListBox::CommandNotify(WORD code) {
    if (code == LBN_SELCHANGE && FBox->OnListBoxClick) FBox->OnListBoxClick(FBox);
    if (code == LBN_DBLCLK && FBox->OnListBoxDblClick) FBox->OnListBoxDblClick(FBox);
}

void TvlListBox::WndProc(TMessage& m) {
    if (Filter && Filter(m)) return;
    TWinControl::WndProc(m);
    switch (m.Msg) {
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_MOUSEWHEEL:
        case WM_LBUTTONUP:
        case WM_SIZE:
        case LB_SETTOPINDEX:
        case LB_SETCURSEL: FBox->UpdateScrollBars(); break;
        case WM_MOUSEMOVE:
            if (m.WParam & MK_LBUTTON) FBox->UpdateScrollBars();
            break;
        default: break;
    }
}

// ---- TvlSkinListBox ----

TvlSkinListBox::TvlSkinListBox(TComponent* owner, TWinControl* parent) : TvlSkinCustomControl(owner, parent) {
    SkinDataName = "listbox";
    FList = new TvlListBox(this, this);
    SetBounds(0, 0, 120, 120);
}

void TvlSkinListBox::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    auto* data = Look.ElementAs<TvlDataSkinListBox>();
    FHasData = data && Look.Picture;
    if (!FHasData) return;
    FData = *data;
    if (FData.ActiveItemRect.IsEmpty()) FData.ActiveItemRect = FData.ItemRect;
    if (FData.FocusItemRect.IsEmpty()) FData.FocusItemRect = FData.ItemRect;
}

int TvlSkinListBox::ItemHeight() const {
    if (FHasData && UseSkinItemHeight && FData.ItemRect.Height() > 0) return FData.ItemRect.Height();
    return FDefaultItemHeight;
}

void TvlSkinListBox::SetDefaultItemHeight(int v) {
    if (v <= 0) return;
    FDefaultItemHeight = v;
    ApplyItemHeight();
}

void TvlSkinListBox::ApplyItemHeight() {
    if (!FList->HandleAllocated()) return;
    SendMessageA(FList->Handle(), LB_SETITEMHEIGHT, 0, ItemHeight());
    FitHeight();
    UpdateScrollBars();
    FList->Invalidate();
}

void TvlSkinListBox::SkinChanged() {
    TvlSkinCustomControl::SkinChanged();
    ReadElement();
    if (FBar) FBar->SetSkinData(SkinData());
    Realign();
    ApplyItemHeight();
}

void TvlSkinListBox::CreateWnd() {
    TvlSkinCustomControl::CreateWnd();
    ReadElement();
    ItemsChanged();
    ApplyItemHeight();
}

int TvlSkinListBox::CaptionBarHeight() const {
    if (!FCaptionMode || (FHasData && !FData.CaptionRect.IsEmpty())) return 0;
    return FDefaultCaptionHeight;
}

TRect TvlSkinListBox::ListArea() const {
    if (!FHasData) return {2, FCaptionMode ? FDefaultCaptionHeight + 1 : 2, Width() - 2, Height() - 2};
    TRect r = Look.SkinClientRect;
    r.Right += Width() - Look.SkinRect.Width();
    r.Bottom += Height() - Look.SkinRect.Height();
    r.Top = std::min(r.Bottom, r.Top + CaptionBarHeight());
    return r;
}

TRect TvlSkinListBox::CaptionRect() const {
    if (!FCaptionMode) return {};
    if (!FHasData) return {1, 1, Width() - 1, FDefaultCaptionHeight + 1};
    if (!FData.CaptionRect.IsEmpty()) return MapSkinRect(FData.CaptionRect);
    TRect area = ListArea();
    return {area.Left, area.Top - FDefaultCaptionHeight, area.Right, area.Top};
}

void TvlSkinListBox::SetCaptionMode(bool v) {
    if (v == FCaptionMode) return;
    FCaptionMode = v;
    ReadElement();
    FitHeight();
    Realign();
    UpdateScrollBars();
    Invalidate();
}

void TvlSkinListBox::SetDefaultCaptionHeight(int v) {
    if (v < 0 || v == FDefaultCaptionHeight) return;
    FDefaultCaptionHeight = v;
    if (!FCaptionMode) return;
    FitHeight();
    Realign();
    UpdateScrollBars();
    Invalidate();
}

void TvlSkinListBox::SetAlignment(TAlignment v) {
    FAlignment = v;
    if (FCaptionMode) Invalidate();
}

void TvlSkinListBox::SetCaption(const std::string& text) {
    TvlSkinCustomControl::SetCaption(text);
    if (FCaptionMode) Invalidate();
}

void TvlSkinListBox::PaintCaption(TvlFBitmap& bitmap) {
    TRect r = CaptionRect();
    if (r.IsEmpty() || Caption().empty()) return;
    bool skinFont = FHasData && UseSkinFont;
    TFont font = skinFont ? LookFont(FData.CaptionFontName, FData.CaptionFontHeight, FData.CaptionFontStyle)
                          : DefaultCaptionFont;
    if (!skinFont && SkinData() && SkinData()->ResourceStrData())
        font.SetCharSet(SkinData()->ResourceStrData()->CharSet);
    TColor colour = FHasData ? static_cast<TColor>(FData.CaptionFontColor) : DefaultCaptionFont.Color();
    TCanvas canvas = LookCanvas(bitmap, font, colour);
    RECT text{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    unsigned align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    canvas.TextRect(text, Caption(), align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    GdiFlush();
}

void TvlSkinListBox::AlignControls() {
    TRect area = ListArea();
    int right = area.Right;
    if (FBar) {
        FBar->SetBoundsByLayout(area.Right - FBar->Width(), area.Top, FBar->Width(), area.Height());
        right -= FBar->Width();
    }
    FList->SetBoundsByLayout(area.Left, area.Top, std::max(0, right - area.Left), std::max(0, area.Height()));
}

void TvlSkinListBox::BoundsChanged() {
    TvlSkinCustomControl::BoundsChanged();
    Realign();
    UpdateScrollBars();
}

// The frame's height for RowCount rows.
void TvlSkinListBox::FitHeight() {
    if (FRowCount <= 0) return;
    ReadElement();
    int h = FHasData ? Look.SkinRect.Height() - Look.SkinClientRect.Height() + FRowCount * ItemHeight()
                     : FRowCount * ItemHeight() + 4;
    h += CaptionBarHeight();
    if (h != Height()) SetBounds(Left(), Top(), Width(), h);
}

void TvlSkinListBox::SetRowCount(int v) {
    FRowCount = std::max(0, v);
    FitHeight();
    UpdateScrollBars();
}

void TvlSkinListBox::ItemsChanged() {
    if (!FList->HandleAllocated()) return;
    HWND h = FList->Handle();
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    SendMessageA(h, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < Items.Count(); ++i)
        SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Items.Strings(i).c_str()));
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
    UpdateScrollBars();
}

int TvlSkinListBox::ItemIndex() const {
    if (!FList->HandleAllocated()) return -1;
    return static_cast<int>(SendMessageA(FList->Handle(), LB_GETCURSEL, 0, 0));
}

void TvlSkinListBox::SetItemIndex(int index) {
    SendMessageA(FList->Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    UpdateScrollBars();
}

// The bar exists while the rows do not fit; the native list keeps no scroll
// state without its own bar, so its top row and row count make the range.
void TvlSkinListBox::UpdateScrollBars() {
    if (FUpdating || !FList->HandleAllocated()) return;
    FUpdating = true;
    HWND h = FList->Handle();
    int count = static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0));
    int rows = std::max(1, ListArea().Height() / std::max(1, ItemHeight()));
    int top = static_cast<int>(SendMessageA(h, LB_GETTOPINDEX, 0, 0));
    bool needed = rows < count && FRowCount != count;
    if (needed && !FBar) {
        FBar = new TvlSkinScrollBar(this, this, sbVertical);
        FBar->SetWidth(19);
        FBar->SetSkinData(SkinData());
        FBar->OnChange = [this](TObject*) {
            SendMessageA(FList->Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(FBar->Position()), 0);
        };
        Realign();
    } else if (!needed && FBar) {
        delete FBar;
        FBar = nullptr;
        Realign();
    }
    if (FBar) {
        FBar->SetRange(0, count - 1, rows, top);
        FBar->LargeChange = rows;
    }
    FUpdating = false;
}

void TvlSkinListBox::PaintDefault(TvlFBitmap& bitmap) {
    int W = Width(), H = Height();
    vlLookPieces::FrameBox(bitmap, {0, 0, W, H}, ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace));
    vlLookPieces::FillBox(bitmap, {2, 2, W - 2, H - 2}, ColorToRGB(clWindow));
    if (!FCaptionMode) return;
    TRect bar = CaptionRect();
    vlLookPieces::FillBox(bitmap, bar, ColorToRGB(clBtnFace));
    PaintCaption(bitmap);
}

void TvlSkinListBox::PaintSkin(TvlFBitmap& bitmap) {
    TvlSkinCustomControl::PaintSkin(bitmap);
    PaintCaption(bitmap);
}

void TvlSkinListBox::DrawItem(const DRAWITEMSTRUCT& item) {
    int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
    if (w <= 0 || h <= 0 || static_cast<int>(item.itemID) < 0) return;
    ReadElement();
    bool selected = item.itemState & ODS_SELECTED;
    bool focused = (item.itemState & ODS_FOCUS) || GetFocus() == FList->Handle();
    TvlFBitmap bitmap(w, h);
    COLORREF colour;
    TRect textRect{2, 0, w, h};
    if (FHasData) {
        const TRect& source = !selected ? FData.ItemRect : focused ? FData.FocusItemRect : FData.ActiveItemRect;
        TvlFBitmap strip;
        ComposeHorizontal(FData.ItemLeftOffset, FData.ItemRightOffset, source, PictureView(*Look.Picture), w, strip);
        if (!strip.Empty()) StretchPiece(bitmap, {0, 0, w, h}, strip.View(), {0, 0, strip.Width(), strip.Height()});
        colour = !selected ? FData.FontColor : focused ? FData.FocusFontColor : FData.ActiveFontColor;
        textRect = FData.ItemTextRect;
        textRect.Right += w - FData.ItemRect.Width();
        textRect.Bottom = h;
    } else {
        bitmap.Fill(selected ? GetSysColor(COLOR_HIGHLIGHT) : ColorToRGB(clWindow));
        colour = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(clWindowText);
    }
    int index = static_cast<int>(item.itemID);
    if (index < Items.Count()) {
        HDC dc = bitmap.Canvas();
        TFont font = LookFont(FData.FontName, FData.FontHeight, FData.FontStyle);
        TCanvas canvas(dc);
        canvas.Font = font;
        SelectGuard g(dc, canvas.Font.Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour);
        RECT r{textRect.Left, textRect.Top, textRect.Right, textRect.Bottom};
        const std::string& text = Items.Strings(index);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        GdiFlush();
    }
    bitmap.DrawTo(item.hDC, item.rcItem.left, item.rcItem.top);
}

// ---- TvlPopupListBox ----

TvlPopupListBox::TvlPopupListBox(TComponent* owner, HWND ownerWindow)
    : TvlSkinListBox(owner, nullptr), FOwnerWindow(ownerWindow) {
    SetVisible(false);
}

void TvlPopupListBox::CreateParams(TCreateParams& params) {
    TvlSkinListBox::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WndParent = FOwnerWindow;
}

void TvlPopupListBox::WndProc(TMessage& m) {
    if (m.Msg == WM_MOUSEACTIVATE) {
        m.Result = MA_NOACTIVATE;
        return;
    }
    TvlSkinListBox::WndProc(m);
}
