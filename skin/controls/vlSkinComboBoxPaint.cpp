// The combo box's look: where its button and item lie, its region and its
// painting.

#include "skin/controls/vlSkinComboBox.h"

#include <commctrl.h>

#include "core/Property.h"
#include "skin/controls/vlButtonParts.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"
#include "toolkit/ComCtrls.h"

namespace {
TRect Shift(TRect r, int dx) { return {r.Left + dx, r.Top, r.Right + dx, r.Bottom}; }
}  // namespace

// ---- look ----

void TvlSkinComboBox::Layout(TRect& button, TRect& itemArea) const {
    int W = Width(), H = Height();
    if (!FHasData) {
        button = {W - Px(19), 2, W - 2, H - 2};
        itemArea = {2, 2, button.Left - 1, H - 2};
        return;
    }
    int dW = W - Look.SkinRect.Width();
    button = FData.ButtonRect.Left >= Look.RightTopPoint.X ? Shift(FData.ButtonRect, dW) : FData.ButtonRect;
    itemArea = Look.SkinClientRect;
    itemArea.Right += dW;
    if (FUseSkinSize) return;
    int dH = H - Look.SkinRect.Height();
    button.Bottom += dH;
    itemArea.Bottom += dH;
}

void TvlSkinComboBox::SetUseSkinSize(bool value) {
    if (SetIfChanged(FUseSkinSize, value)) SkinChanged();
}

void TvlSkinComboBox::UpdateWindowRegion() {
    if (FUseSkinSize) {
        TvlSkinCustomControl::UpdateWindowRegion();
    } else if (HandleAllocated() && HasWindowRegion()) {
        // The mask fits the element's size only: no shape at another size.
        Look.MaskBitmap = nullptr;
        TvlSkinCustomControl::UpdateWindowRegion();
    }
}

void TvlSkinComboBox::PaintItem(TvlFBitmap& bitmap, const TRect& area) {
    int shown = FDropped ? FIndexBeforeDrop : FItemIndex;
    // The list hangs from the item: while it is open the item stays focused.
    bool focused = Focused();
    COLORREF colour = ColorToRGB(clWindowText);
    TFont font = LookFont(FData.FontName, FData.FontHeight, FData.FontStyle);
    if (FHasData) {
        const TRect& source = focused ? FData.FocusItemRect : FData.ItemRect;
        if (!source.IsEmpty()) {
            TvlFBitmap piece;
            ComposeHorizontal(FData.ItemLeftOffset, FData.ItemRightOffset, source, PictureView(*Look.Picture),
                              area.Width(), piece);
            vlLookPieces::CopyTransparent(bitmap, area.Left, area.Top + (area.Height() - piece.Height()) / 2, piece,
                                          false, 0);
        }
        colour = focused ? FData.FocusFontColor : FData.FontColor;
    } else if (focused) {
        vlLookPieces::FillBox(bitmap, area, ColorToRGB(clHighlight));
        colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (shown < 0 || shown >= Items.Count()) return;
    HDC dc = bitmap.Canvas();
    TCanvas canvas(dc);
    canvas.Font = font;
    SelectGuard g(dc, canvas.Font.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    if (OnComboBoxDrawItem) {
        TRect text = area;
        if (FHasData) {
            text = FData.ItemTextRect;
            text.Right += area.Width() - FData.ItemRect.Width();
            text = {area.Left + text.Left, area.Top, area.Left + text.Right, area.Bottom};
        }
        OnComboBoxDrawItem(this, canvas, shown, area.Width(), area.Height(), text,
                           ODS_COMBOBOXEDIT | (focused ? ODS_SELECTED | ODS_FOCUS : 0));
        GdiFlush();
        return;
    }
    int x = area.Left + Px(2);
    if (FImages && FImages->Count() > 0) {
        int image = ImageIndex >= 0 ? ImageIndex : shown;
        int iw = 0, ih = 0;
        ImageList_GetIconSize(FImages->Handle(), &iw, &ih);
        if (image < FImages->Count())
            ImageList_Draw(FImages->Handle(), image, dc, x, area.Top + (area.Height() - ih) / 2, ILD_TRANSPARENT);
        x += iw + Px(2);
    }
    RECT r{x, area.Top, area.Right, area.Bottom};
    const std::string& text = Items.Strings(shown);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    GdiFlush();
}

void TvlSkinComboBox::PaintDefault(TvlFBitmap& bitmap) {
    TRect button, area;
    Layout(button, area);
    int W = Width(), H = Height();
    vlLookPieces::FrameBox(bitmap, {0, 0, W, H}, ColorToRGB(clBtnShadow), ColorToRGB(clWindow));
    bool pressed = FButtonPressed && FButtonHot;
    TColor frame = pressed || FButtonHot ? vlButtonParts::kNavy : clBtnShadow;
    TColor fill = pressed ? vlButtonParts::kDownFill : FButtonHot ? vlButtonParts::kHotFill : clBtnFace;
    vlLookPieces::FrameBox(bitmap, button, ColorToRGB(frame), ColorToRGB(fill));
    DrawArrow(bitmap, button, Enabled() ? 0 : ColorToRGB(clBtnShadow), 4);
    if (FStyle == vlcbFixedStyle) PaintItem(bitmap, area);
}

void TvlSkinComboBox::PaintSkin(TvlFBitmap& bitmap) {
    if (!FHasData) {
        PaintDefault(bitmap);
        return;
    }
    TvlPixelView picture = PictureView(*Look.Picture);
    if (FUseSkinSize) {
        DrawSkinPicture(bitmap, Look.Picture, Look.SkinRect);
    } else {
        // Composed along at the element's height, then stretched to ours.
        TvlFBitmap row;
        ComposeHorizontal(Look.LeftTopPoint.X, Look.SkinRect.Width() - Look.RightTopPoint.X, Look.SkinRect, picture,
                          Width(), row);
        bitmap.SetSize(Width(), Height());
        StretchPiece(bitmap, {0, 0, Width(), Height()}, row.View(), {0, 0, row.Width(), row.Height()});
    }
    TRect button, area;
    Layout(button, area);
    if (!Enabled() && !FData.UnEnabledButtonRect.IsEmpty())
        CopyPiece(bitmap, button.Left, button.Top, picture, FData.UnEnabledButtonRect);
    else if (FButtonPressed && FButtonHot && !FData.DownButtonRect.IsEmpty())
        CopyPiece(bitmap, button.Left, button.Top, picture, FData.DownButtonRect);
    else if (FButtonHot && !FData.ActiveButtonRect.IsEmpty())
        CopyPiece(bitmap, button.Left, button.Top, picture, FData.ActiveButtonRect);
    if (FStyle == vlcbFixedStyle) PaintItem(bitmap, area);
}
