#include "skin/controls/vlSkinListBox.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "skin/access/vlAccess.h"
#include "skin/controls/vlDropDownWindow.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/MouseShift.h"

// ---- TvlListBox ----


TvlListBox::TvlListBox(TComponent* owner, TvlSkinListBox* box) : TWinControl(owner, box), FBox(box) {
    TabStop = true;  // the list takes the keys, so Tab reaches it
}

void TvlListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "LISTBOX";
    params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (FBox->MultiSelect()) params.Style |= FBox->ExtandedSelect() ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FBox->Columns() > 0) params.Style |= LBS_MULTICOLUMN;
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
    if (PassOn(m)) return;
    // With a horizontal-extent bar the arrows scroll sideways instead.
    if (m.Msg == WM_KEYDOWN && (m.WParam == VK_LEFT || m.WParam == VK_RIGHT) && FBox->FHBar) {
        TvlSkinScrollBar* bar = FBox->FHBar;
        bar->SetPosition(bar->Position() + (m.WParam == VK_LEFT ? -bar->SmallChange : bar->SmallChange));
        m.Result = 0;
        return;
    }
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
    FHasData = CopyElementData(FData, true);
    if (!FHasData) return;
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
    FWidest = -1;
    ApplyBarSkins();
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
    TFont font = skinFont ? LookFont(FData.CaptionFont.FontName, FData.CaptionFont.FontHeight, FData.CaptionFont.FontStyle)
                          : DefaultCaptionFont;
    if (!skinFont && SkinData() && SkinData()->ResourceStrData())
        font.SetCharSet(SkinData()->ResourceStrData()->CharSet);
    TColor colour = FHasData ? static_cast<TColor>(FData.CaptionFont.FontColor) : DefaultCaptionFont.Color();
    TCanvas canvas = LookCanvas(bitmap, font, colour);
    RECT text{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    unsigned align = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    canvas.TextRect(text, Caption(), align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    GdiFlush();
}

namespace {
// A bar is as thick as its element draws it, else 19 pixels.
int Thickness(const TvlSkinScrollBar* bar) {
    const TvlSkinLook& look = bar->SkinLook();
    if (!look.HasElement() || look.SkinRect.IsEmpty()) return 19;
    return bar->Kind() == sbVertical ? look.SkinRect.Width() : look.SkinRect.Height();
}
}  // namespace

void TvlSkinListBox::AlignControls() {
    TRect area = ListArea();
    TRect list = area;
    if (FColumns > 0 && FBar) {
        int t = Thickness(FBar);
        FBar->SetBoundsByLayout(area.Left, area.Bottom - t, area.Width(), t);
        list.Bottom -= t;
    }
    // The horizontal bar runs under the vertical one, whose corner it marks.
    int below = 0;
    if (FHBar) {
        below = Thickness(FHBar);
        FHBar->SetBoundsByLayout(area.Left, area.Bottom - below, area.Width(), below);
        list.Bottom -= below;
    }
    if (FColumns == 0 && FBar) {
        int t = Thickness(FBar);
        FBar->SetBoundsByLayout(area.Right - t, area.Top, t, std::max(0, area.Height() - below));
        list.Right -= t;
    }
    FList->SetBoundsByLayout(list.Left, list.Top, std::max(0, list.Width()), std::max(0, list.Height()));
    if (FColumns > 0 && FList->HandleAllocated())
        SendMessageA(FList->Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, list.Width() / FColumns)), 0);
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
    if (FHBar) h += FHBar->Height();
    if (h != Height()) SetBounds(Left(), Top(), Width(), h);
}

void TvlSkinListBox::SetRowCount(int v) {
    FRowCount = std::max(0, v);
    FitHeight();
    UpdateScrollBars();
}

// The owner's events see the list's input first; a key press may be
// dropped by them, or used by the search.
bool TvlListBox::PassOn(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TShiftState shift = MouseShiftState(m.WParam);
    TMouseButton button = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP   ? mbLeft
                          : m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONUP ? mbRight
                                                                             : mbMiddle;
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (FBox->OnListBoxMouseDown) FBox->OnListBoxMouseDown(FBox, button, shift, p.x, p.y);
            return false;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (FBox->OnListBoxMouseUp) FBox->OnListBoxMouseUp(FBox, button, shift, p.x, p.y);
            return false;
        case WM_MOUSEMOVE:
            if (FBox->OnListBoxMouseMove) FBox->OnListBoxMouseMove(FBox, shift, p.x, p.y);
            return false;
        case WM_KEYDOWN:
        case WM_KEYUP: {
            const TKeyEvent& event = m.Msg == WM_KEYDOWN ? FBox->OnListBoxKeyDown : FBox->OnListBoxKeyUp;
            if (!event) return false;
            auto key = static_cast<unsigned short>(m.WParam);
            event(FBox, key, KeyShiftState());
            if (key) {
                m.WParam = key;
                return false;
            }
            m.Result = 0;
            return true;
        }
        case WM_CHAR: {
            char key = static_cast<char>(m.WParam);
            if (FBox->OnListBoxKeyPress) FBox->OnListBoxKeyPress(FBox, key);
            if (key && !FBox->SearchKey(key)) {
                m.WParam = static_cast<unsigned char>(key);
                return false;
            }
            m.Result = 0;
            return true;
        }
        default: return false;
    }
}

bool TvlSkinListBox::SearchKey(char key) {
    if (!AutoComplete || static_cast<unsigned char>(key) < ' ') return false;
    DWORD now = GetTickCount();
    if (FSearch.empty() || now - FLastSearchKey > 500) FSearch.clear();
    FLastSearchKey = now;
    FSearch += key;
    for (int i = 0; i < Items.Count(); ++i) {
        const std::string& text = Items.Strings(i);
        if (text.size() >= FSearch.size() &&
            CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), static_cast<int>(FSearch.size()),
                           FSearch.c_str(), static_cast<int>(FSearch.size())) == CSTR_EQUAL) {
            if (ItemIndex() != i || MultiSelect()) {
                SetItemIndex(i);
                if (OnListBoxClick) OnListBoxClick(this);
            }
            return true;
        }
    }
    return true;  // no match: the selection stays
}

void TvlSkinListBox::SetMultiSelect(bool v) {
    if (v == FMultiSelect) return;
    FMultiSelect = v;
    RecreateList();
}

void TvlSkinListBox::SetExtandedSelect(bool v) {
    if (v == FExtandedSelect) return;
    FExtandedSelect = v;
    if (FMultiSelect) RecreateList();
}

void TvlSkinListBox::RecreateList() {
    if (!FList->HandleAllocated()) return;
    int index = ItemIndex();
    FList->DestroyHandle();
    FList->HandleNeeded();
    ItemsChanged();
    ApplyItemHeight();
    if (index >= 0) SetItemIndex(index);
}

bool TvlSkinListBox::Selected(int index) const {
    if (!FList->HandleAllocated()) return false;
    if (!FMultiSelect) return index >= 0 && index == ItemIndex();
    return SendMessageA(FList->Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TvlSkinListBox::SetSelected(int index, bool value) {
    if (!FList->HandleAllocated()) return;
    if (FMultiSelect)
        SendMessageA(FList->Handle(), LB_SETSEL, value, index);
    else
        SetItemIndex(value ? index : -1);
}

int TvlSkinListBox::SelCount() const {
    if (!FList->HandleAllocated()) return 0;
    if (!FMultiSelect) return ItemIndex() >= 0 ? 1 : 0;
    return static_cast<int>(SendMessageA(FList->Handle(), LB_GETSELCOUNT, 0, 0));
}

void TvlSkinListBox::SetSorted(bool v) {
    if (v == FSorted) return;
    FSorted = v;
    if (v) ItemsChanged();
}

void TvlSkinListBox::ItemsChanged() {
    if (FSorted) {
        std::vector<std::pair<std::string, TObject*>> entries;
        for (int i = 0; i < Items.Count(); ++i) entries.emplace_back(Items.Strings(i), Items.Objects(i));
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.first.c_str(), -1, b.first.c_str(), -1) ==
                   CSTR_LESS_THAN;
        });
        Items.Clear();
        for (auto& [text, object] : entries) Items.AddObject(text, object);
    }
    if (!FList->HandleAllocated()) return;
    HWND h = FList->Handle();
    FWidest = -1;
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
    int before = ItemIndex();
    SendMessageA(FList->Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    UpdateScrollBars();
    // The native list tells nobody about a selection made from code.
    int now = ItemIndex();
    if (now != before) vlAccessEvent(this, now >= 0 ? EVENT_OBJECT_SELECTION : EVENT_OBJECT_SELECTIONWITHIN, now + 1);
}

// The bars exist while the rows do not fit. The native list keeps no scroll
// state without its own bars, so its top row and row count make the ranges.
void TvlSkinListBox::UpdateScrollBars() {
    if (FUpdating || !FList->HandleAllocated()) return;
    FUpdating = true;
    // Each bar narrows the other's view: settle in a few rounds.
    for (int round = 0; round < 3; ++round) {
        bool changed = UpdateMainBar();
        changed = UpdateExtentBar() || changed;
        if (!changed) break;
        ApplyBarSkins();
        FitHeight();
        Realign();
    }
    FUpdating = false;
}

bool TvlSkinListBox::KeepBar(TvlSkinScrollBar*& bar, bool needed, TvlScrollBarKind kind) {
    if (bar && (!needed || bar->Kind() != kind)) {
        delete bar;
        bar = nullptr;
        return true;
    }
    if (!needed || bar) return false;
    bar = new TvlSkinScrollBar(this, this, kind);
    if (HandleAllocated()) bar->HandleNeeded();
    return true;
}

bool TvlSkinListBox::UpdateMainBar() {
    HWND h = FList->Handle();
    int count = static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0));
    int rows = std::max(1, FList->Height() / std::max(1, ItemHeight()));
    int top = static_cast<int>(SendMessageA(h, LB_GETTOPINDEX, 0, 0));
    if (FColumns > 0) {
        // Columns of `rows` items; the bar pages by the columns shown.
        bool changed = KeepBar(FBar, rows * FColumns < count, sbHorizontal);
        if (FBar) {
            FBar->SetRange(0, (count + rows - 1) / rows - 1, FColumns, top / rows);
            FBar->LargeChange = FColumns;
        }
        return changed;
    }
    bool changed = KeepBar(FBar, rows < count && FRowCount != count, sbVertical);
    if (FBar) {
        FBar->SetRange(0, count - 1, rows, top);
        FBar->LargeChange = rows;
    }
    return changed;
}

bool TvlSkinListBox::UpdateExtentBar() {
    int visible = FList->Width();
    int widest = FHorizontalExtent && FColumns == 0 ? WidestItem() : 0;
    bool changed = KeepBar(FHBar, widest > visible, sbHorizontal);
    int offset = 0;
    if (FHBar) {
        FHBar->SetRange(0, widest, visible, FHorzOffset);
        FHBar->SmallChange = FHBar->LargeChange = std::max(1, FZeroWidth);
        offset = FHBar->Position();
    }
    if (offset != FHorzOffset) {
        FHorzOffset = offset;
        FList->Invalidate();
    }
    return changed;
}

// Bar changes scroll the inner list.
void TvlSkinListBox::MainBarChanged() {
    int position = FBar->Position();
    if (FColumns > 0) position *= std::max(1, FList->Height() / std::max(1, ItemHeight()));
    SendMessageA(FList->Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(position), 0);
}

// The main bar takes the element's vertical bar (horizontal for columns);
// the horizontal-extent bar its horizontal one, or the one with the corner
// marker when both bars show. Without an element: the plain looks.
void TvlSkinListBox::ApplyBarSkins() {
    if (FBar) {
        FBar->SkinDataName = !FHasData ? "" : FColumns > 0 ? FData.HScrollBarName : FData.VScrollBarName;
        FBar->OnChange = [this](TObject*) { MainBarChanged(); };
        FBar->WheelControl = FList;
        FBar->SetSkinData(SkinData());
    }
    if (FHBar) {
        FHBar->SetBoth(false);
        FHBar->SkinDataName = FHasData ? FData.HScrollBarName : "";
        FHBar->BothSkinDataName = FHasData ? FData.BothHScrollBarName : "";
        FHBar->SetBothMarkerWidth(19);
        FHBar->SetBoth(FBar != nullptr && FColumns == 0);
        FHBar->OnChange = [this](TObject*) {
            FHorzOffset = FHBar->Position();
            FList->Invalidate();
        };
        FHBar->SetSkinData(SkinData());
    }
}

void TvlSkinListBox::SetHorizontalExtent(bool v) {
    if (v == FHorizontalExtent) return;
    FHorizontalExtent = v;
    UpdateScrollBars();
    FList->Invalidate();
}

// The native list lays out columns only when created with them.
void TvlSkinListBox::SetColumns(int v) {
    v = std::max(0, v);
    if (v == FColumns) return;
    FColumns = v;
    if (!FList->HandleAllocated()) return;
    RecreateList();
    Realign();
    UpdateScrollBars();
}

TFont TvlSkinListBox::ItemFont() const { return LookFont(FData.FontName, FData.FontHeight, FData.FontStyle); }

int TvlSkinListBox::WidestItem() {
    if (FWidest >= 0) return FWidest;
    HDC dc = GetDC(nullptr);
    TFont font = ItemFont();
    int widest = 0;
    {
        SelectGuard g(dc, font.Handle());
        SIZE zero{};
        GetTextExtentPoint32A(dc, "0", 1, &zero);
        FZeroWidth = zero.cx;
        for (int i = 0; i < Items.Count(); ++i) {
            const std::string& text = Items.Strings(i);
            SIZE size{};
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    ReleaseDC(nullptr, dc);
    // The item's text margins too, so that the end of the text can be reached.
    int margins = FHasData ? FData.ItemTextRect.Left + (FData.ItemRect.Width() - FData.ItemTextRect.Right) : 4;
    FWidest = widest > 0 ? widest + std::max(0, margins) + PictureWidth() : 0;
    return FWidest;
}

void TvlSkinListBox::SetImages(TImageList* images) {
    FImages.Set(images);
    FWidest = -1;
    if (FList->HandleAllocated()) {
        UpdateScrollBars();
        FList->Invalidate();
    }
}

void TvlSkinListBox::Notification(TComponent* component, bool removing) {
    TvlSkinCustomControl::Notification(component, removing);
    if (removing && FImages.Removed(component) && FList->HandleAllocated()) FList->Invalidate();
}

void TvlSkinListBox::SetGlyph(const TvlFBitmap& glyph) {
    Glyph = glyph;
    FWidest = -1;
    if (FList->HandleAllocated()) FList->Invalidate();
}

void TvlSkinListBox::SetNumGlyphs(int n) {
    FNumGlyphs = std::clamp(n, 1, 2);
    FWidest = -1;
    if (FList->HandleAllocated()) FList->Invalidate();
}

int TvlSkinListBox::PictureWidth() const {
    if (FImages && FImages->Count() > 0) {
        int w = 0, h = 0;
        ImageList_GetIconSize(FImages->Handle(), &w, &h);
        return w + Spacing;
    }
    if (!Glyph.Empty()) return Glyph.Width() / FNumGlyphs + Spacing;
    return 0;
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
        TCanvas canvas(dc);
        canvas.Font = ItemFont();
        SelectGuard g(dc, canvas.Font.Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour);
        if (OnDrawItem) {
            OnDrawItem(this, canvas, index, w, h, textRect, item.itemState);
        } else {
            // Scrolled sideways: the whole text, moved left by the bar.
            int x = textRect.Left - (FHBar ? FHorzOffset : 0);
            if (FImages && FImages->Count() > 0) {
                int image = ImageIndex >= 0 ? ImageIndex : index;
                int iw = 0, ih = 0;
                ImageList_GetIconSize(FImages->Handle(), &iw, &ih);
                if (image < FImages->Count())
                    ImageList_Draw(FImages->Handle(), image, dc, x, (h - ih) / 2, ILD_TRANSPARENT);
                x += iw + Spacing;
            } else if (!Glyph.Empty()) {
                int cell = FNumGlyphs == 2 && selected ? 2 : 1;
                DrawGlyphFrame(bitmap, x, (h - Glyph.Height()) / 2, cell, FNumGlyphs, Glyph.View());
                x += Glyph.Width() / FNumGlyphs + Spacing;
            }
            RECT r{x, textRect.Top, textRect.Right, textRect.Bottom};
            UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
            if (FHBar) {
                r.right = x + FWidest + w;
                format &= ~DT_END_ELLIPSIS;
            }
            const std::string& text = Items.Strings(index);
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        }
        if (!selected && (item.itemState & ODS_FOCUS)) {
            RECT all{0, 0, w, h};
            DrawFocusRect(dc, &all);
        }
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
    params.WinClassName = DropDownWindowClass();
    params.WndParent = FOwnerWindow;
}

void TvlPopupListBox::WndProc(TMessage& m) {
    if (m.Msg == WM_MOUSEACTIVATE) {
        m.Result = MA_NOACTIVATE;
        return;
    }
    TvlSkinListBox::WndProc(m);
}
