// The list box's layout and its internal bars: created while the rows,
// the columns or the widest item do not fit, freed when they fit again.
#include "skin/controls/vlSkinListBox.h"

#include <algorithm>

#include "core/Gdi.h"

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
    // The plain look lays its 19-pixel bars over the inner line of the
    // frame: 1 pixel in from the edges, the main bar from the caption down.
    TRect bottomBar = FHasData ? TRect{area.Left, area.Bottom, area.Right, area.Bottom} : TRect{1, Height() - 1, Width() - 1, Height() - 1};
    if (FColumns > 0 && FBar) bottomBar.Top -= Thickness(FBar);
    if (FHBar) bottomBar.Top -= Thickness(FHBar);
    TRect list = area;
    list.Bottom = std::min(list.Bottom, bottomBar.Top);
    if (FColumns > 0 && FBar) FBar->SetBoundsByLayout(bottomBar.Left, bottomBar.Top, bottomBar.Width(), bottomBar.Height());
    // The horizontal bar runs under the vertical one, whose corner it marks.
    if (FHBar) FHBar->SetBoundsByLayout(bottomBar.Left, bottomBar.Top, bottomBar.Width(), bottomBar.Height());
    if (FColumns == 0 && FBar) {
        int t = Thickness(FBar);
        int right = FHasData ? area.Right : Width() - 1;
        int top = FHasData ? area.Top : (FCaptionMode ? Px(FDefaultCaptionHeight) : 1);
        FBar->SetBoundsByLayout(right - t, top, t, std::max(0, bottomBar.Top - top));
        list.Right = std::min(list.Right, right - t);
    }
    FList->SetBoundsByLayout(list.Left, list.Top, std::max(0, list.Width()), std::max(0, list.Height()));
    if (FColumns > 0 && FList->HandleAllocated())
        SendMessageA(FList->Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, list.Width() / FColumns)), 0);
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

int TvlSkinListBox::WidestItem() {
    if (FWidest >= 0) return FWidest;
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    TFont font = ListBoxFont();
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
    // The item's text margins too, so that the end of the text can be reached.
    int margins = FHasData ? FData.ItemTextRect.Left + (FData.ItemRect.Width() - FData.ItemTextRect.Right) : 4;
    FWidest = widest > 0 ? widest + std::max(0, margins) + PictureWidth() : 0;
    return FWidest;
}

