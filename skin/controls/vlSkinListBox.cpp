#include "skin/controls/vlSkinListBox.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Property.h"
#include "skin/access/vlAccess.h"
#include "skin/controls/vlDropDownWindow.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"
#include "toolkit/ComCtrls.h"


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
    return Px(FDefaultItemHeight);
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
    FListFontSet = false;  // the skin sets the items' font again
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

TRect TvlSkinListBox::ListArea() const {
    if (!FHasData) return {2, FCaptionMode ? Px(FDefaultCaptionHeight) + 1 : 2, Width() - 2, Height() - 2};
    TRect r = Look.SkinClientRect;
    r.Right += Width() - Look.SkinRect.Width();
    r.Bottom += Height() - Look.SkinRect.Height();
    r.Top = std::min(r.Bottom, r.Top + CaptionBarHeight());
    return r;
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

void TvlSkinListBox::SetMultiSelect(bool v) {
    if (SetIfChanged(FMultiSelect, v)) RecreateList();
}

void TvlSkinListBox::SetExtandedSelect(bool v) {
    if (SetIfChanged(FExtandedSelect, v) && FMultiSelect) RecreateList();
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

// Like SetItemIndex, a selection made before the list's window exists makes
// the window rather than being lost.
void TvlSkinListBox::SetSelected(int index, bool value) {
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
    if (SetIfChanged(FSorted, v) && v) ItemsChanged();
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

TFont TvlSkinListBox::ItemFont() const { return LookFont(FData.FontName, FData.FontHeight, FData.FontStyle); }

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
    if (removing) FDragTarget.Removed(component);
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
    PaintCaptionButtons(bitmap);
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
        canvas.Font = ListBoxFont();
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
