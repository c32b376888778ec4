#include "skin/controls/vlSkinComboBox.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "core/WindowServices.h"
#include "skin/access/vlAccess.h"
#include "skin/controls/vlButtonParts.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"

namespace {
TRect Shift(TRect r, int dx) { return {r.Left + dx, r.Top, r.Right + dx, r.Bottom}; }
bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                          prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}
}  // namespace

TvlSkinComboBox::TvlSkinComboBox(TComponent* owner, TWinControl* parent, int left, int top, int width, int height,
                                 int dropDownCount)
    : TvlSkinCustomControl(owner, parent), FDropDownCount(std::max(1, dropDownCount)) {
    SkinDataName = "combobox";
    TabStop = true;
    SetBounds(left, top, width, height);
}

TvlSkinComboBox::~TvlSkinComboBox() = default;

void TvlSkinComboBox::ReadElement() {
    TvlSkinCustomControl::ReadElement();
    FHasData = CopyElementData(FData, true);
    if (!FHasData) return;
    if (FData.FocusItemRect.IsEmpty()) FData.FocusItemRect = FData.ItemRect;
}

// ---- items ----

void TvlSkinComboBox::ItemsChanged() {
    if (FItemIndex >= Items.Count()) FItemIndex = -1;
    if (FListBox) FillList();
    Invalidate();
}

void TvlSkinComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= Items.Count()) return;
    bool changed = index != FItemIndex;
    FItemIndex = index;
    if (changed) vlAccessEvent(this, EVENT_OBJECT_VALUECHANGE);
    if (FListBox) SelectInList(index);
    if (!FDropped) FIndexBeforeDrop = index;
    if (FStyle == vlcbEditStyle) {
        if (index >= 0) {
            SetText(Items.Strings(index));
            if (FEdit) CopyToEdit(FText, true);
        }
    } else if (changed) {
        // The window text is the chosen item, as automation reads it.
        SetCaption(Text());
        if (OnChange) OnChange(this);
    }
    Invalidate();
    if (OnClick) OnClick(this);
}

std::string TvlSkinComboBox::Text() const {
    if (FStyle == vlcbEditStyle) return FText;
    return FItemIndex >= 0 && FItemIndex < Items.Count() ? Items.Strings(FItemIndex) : std::string();
}

// The fixed style shows items only: a text picks the item it names.
void TvlSkinComboBox::SetText(const std::string& text) {
    if (FStyle == vlcbFixedStyle) {
        int index = Items.IndexOf(text);
        if (index >= 0) SetItemIndex(index);
        return;
    }
    bool changed = text != FText;
    FText = text;
    SetCaption(text);
    if (FEdit) CopyToEdit(text, false);
    if (changed && OnChange) OnChange(this);
}

// ---- the edit style ----

TvlComboEdit::TvlComboEdit(TvlSkinComboBox* combo) : TvlCustomEdit(combo, combo, 0, 0, 10, 10), FCombo(combo) {}

void TvlComboEdit::CreateParams(TCreateParams& params) {
    TvlCustomEdit::CreateParams(params);
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
    params.Style &= ~WS_BORDER;
}

void TvlComboEdit::WndProc(TMessage& m) {
    if (FCombo->EditMessage(m)) return;
    TvlCustomEdit::WndProc(m);
}

bool TvlComboEdit::OnReflected(TMessage& m) {
    if (m.Msg == WM_CTLCOLOREDIT || m.Msg == WM_CTLCOLORSTATIC) return FCombo->EditColours(m);
    return TvlCustomEdit::OnReflected(m);
}

// Switching re-creates the window: the tab stop and the focus move between
// the combo and its inner edit.
void TvlSkinComboBox::SetStyle(TvlComboBoxStyle style) {
    if (style == FStyle) return;
    HWND focus = GetFocus();
    bool hadFocus = HandleAllocated() && focus && (focus == Handle() || IsChild(Handle(), focus));
    CloseUp(false);
    std::string text = Text();
    FStyle = style;
    if (style == vlcbEditStyle) {
        TabStop = false;
        FText = text;
        SetCaption(text);
        FEdit = new TvlComboEdit(this);
        FEdit->SetHideSelection(FHideSelection);
        FEdit->SetText(text);
        FEdit->OnChange = [this](TObject*) { EditChanged(); };
    } else {
        TabStop = true;
        delete FEdit;
        FEdit = nullptr;
        FText.clear();
        SetCaption(Text());
    }
    FEditBrush.Reset();
    FEditBrushRect = {};
    if (HandleAllocated()) {
        DestroyHandle();
        HandleNeeded();
    }
    ApplyEditFont();
    Realign();
    Invalidate();
    if (hadFocus) FEdit ? FEdit->SetFocus() : SetFocus();
}

void TvlSkinComboBox::CopyToEdit(const std::string& text, bool selectAll) {
    FCopying = true;
    if (FEdit->Text() != text) FEdit->SetText(text);
    if (selectAll && FEdit->HandleAllocated()) FEdit->SelectAll();
    FCopying = false;
}

// The edit's font: the element's (or DefaultFont) in the element's text colour.
void TvlSkinComboBox::ApplyEditFont() {
    if (!FEdit) return;
    ReadElement();
    TFont font = LookFont(FData.FontName, FData.FontHeight, FData.FontStyle);
    font.SetColor(FHasData ? static_cast<TColor>(FData.FontColor) : DefaultFont.Color());
    FEdit->Font = font;
    FEdit->FontChanged();
}

// The edit spans the item area, as high as its font's text, centred in it.
void TvlSkinComboBox::AlignControls() {
    TvlSkinCustomControl::AlignControls();
    if (!FEdit) return;
    ReadElement();
    TRect button, area;
    Layout(button, area);
    TEXTMETRICA metrics{};
    HDC dc = GetDC(nullptr);
    {
        SelectGuard g(dc, FEdit->Font.Handle());
        GetTextMetricsA(dc, &metrics);
    }
    ReleaseDC(nullptr, dc);
    int h = std::min(static_cast<int>(metrics.tmHeight), std::max(0, area.Height()));
    FEdit->SetBoundsByLayout(area.Left, area.Top + (area.Height() - h) / 2, std::max(0, area.Width()), h);
}

// Typing finds the first item starting with the text: AutoComplete selects
// it, otherwise the open list shows it at its top.
void TvlSkinComboBox::EditChanged() {
    if (FCopying || !FEdit) return;
    std::string text = FEdit->Text();
    int found = -1;
    for (int i = 0; i < Items.Count() && found < 0 && !text.empty(); ++i)
        if (StartsWithNoCase(Items.Strings(i), text)) found = i;
    if (found >= 0 && AutoComplete) {
        FItemIndex = found;
        if (!FDropped) FIndexBeforeDrop = found;
        if (FListBox) SelectInList(found);
    } else if (found >= 0 && FListBox) {
        SendMessageA(InnerList(), LB_SETTOPINDEX, static_cast<WPARAM>(found), 0);
        FListBox->UpdateScrollBars();
    }
    bool changed = text != FText;
    FText = text;
    SetCaption(text);
    if (changed && OnChange) OnChange(this);
}

// With an element the text sits on the element's picture: the brush is the
// look under the edit, so that the edit shows through to the skin.
bool TvlSkinComboBox::EditColours(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    ReadElement();
    if (!FHasData || !FEdit) {
        SetTextColor(dc, ColorToRGB(FEdit ? FEdit->Font.Color() : DefaultFont.Color()));
        SetBkColor(dc, ColorToRGB(clWindow));
        m.Result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        return true;
    }
    TRect r{FEdit->Left(), FEdit->Top(), FEdit->Left() + FEdit->Width(), FEdit->Top() + FEdit->Height()};
    if (!FEditBrush || !(r == FEditBrushRect)) {
        FEditBrush.Reset();
        FEditBrushRect = r;
        TvlFBitmap look;
        if (!r.IsEmpty() && ComposeLook(look)) {
            FEditBackground.SetSize(r.Width(), r.Height());
            CopyPiece(FEditBackground, 0, 0, look.View(), r);
            FEditBrush = TGdiBrush(CreatePatternBrush(FEditBackground.Handle()));
        }
    }
    if (!FEditBrush) return false;
    SetTextColor(dc, FData.FontColor);
    SetBkMode(dc, TRANSPARENT);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    m.Result = reinterpret_cast<LRESULT>(FEditBrush.Handle());
    return true;
}

void TvlSkinComboBox::SelectFromKeyboard(unsigned short key) {
    int last = Items.Count() - 1;
    if (last < 0) return;
    int index = FItemIndex;
    switch (key) {
        case VK_UP: --index; break;
        case VK_DOWN: ++index; break;
        case VK_PRIOR: index -= FDropDownCount + 1; break;
        case VK_NEXT: index += FDropDownCount - 1; break;
        default: return;
    }
    SetItemIndex(std::clamp(index, 0, last));
}

// The inner edit's messages reach the combo first: the list's keys, and the
// focus loss that closes the list.
bool TvlSkinComboBox::EditMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_KILLFOCUS:
        case WM_CANCELMODE: CloseUp(false); return false;
        case WM_GETDLGCODE:
            // While open, Enter and Escape belong to the list, not the dialog.
            if (!FDropped) return false;
            m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
            return true;
        case WM_CHAR:
            // They would only beep in a single-line edit.
            if (m.WParam != VK_RETURN && m.WParam != VK_ESCAPE) return false;
            m.Result = 0;
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            unsigned short key = static_cast<unsigned short>(m.WParam);
            if (DoKeyDown(key)) {
                m.Result = 0;
                return true;
            }
            bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0 || m.Msg == WM_SYSKEYDOWN;
            switch (key) {
                case VK_ESCAPE:
                case VK_RETURN:
                    if (!FDropped) return false;
                    CloseUp(key == VK_RETURN);
                    break;
                case VK_F4: FDropped ? CloseUp(true) : DropDown(); break;
                case VK_UP:
                    if (alt)
                        CloseUp(false);
                    else
                        SelectFromKeyboard(key);
                    break;
                case VK_DOWN:
                    if (alt)
                        DropDown();
                    else
                        SelectFromKeyboard(key);
                    break;
                case VK_PRIOR:
                case VK_NEXT: SelectFromKeyboard(key); break;
                default: return false;
            }
            m.Result = 0;
            return true;
        }
        default: return false;
    }
}

// ---- the drop-down ----

void TvlSkinComboBox::EnsureList() {
    if (FListBox) return;
    FListBox = new TvlPopupListBox(this, TopLevel() ? TopLevel()->Handle() : nullptr);
    FListBox->ListBox()->Filter = [this](TMessage& m) { return ListMessage(m); };
    FListBox->SetSkinData(SkinData());
    FListBox->HandleNeeded();
    FillList();
}

void TvlSkinComboBox::FillList() {
    // Without the combo's element the list has none either: the plain look.
    FListBox->SkinDataName = FHasData ? FData.ListBoxName : std::string();
    FListBox->OnDrawItem = OnListBoxDrawItem;
    FListBox->SetImages(FImages);
    FListBox->ImageIndex = ImageIndex;
    FListBox->Items.Assign(Items);
    FListBox->ItemsChanged();
    SelectInList(FItemIndex);
}

void TvlSkinComboBox::SetImages(TImageList* images) {
    FImages.Set(images);
    if (FListBox) FListBox->SetImages(images);
    Invalidate();
}

void TvlSkinComboBox::Notification(TComponent* component, bool removing) {
    TvlSkinCustomControl::Notification(component, removing);
    if (removing && FImages.Removed(component)) Invalidate();
}

void TvlSkinComboBox::SelectInList(int index) { FListBox->SetItemIndex(index); }

int TvlSkinComboBox::ListRows() const { return std::min(Items.Count(), FDropDownCount); }

void TvlSkinComboBox::SkinChanging() {
    TvlSkinCustomControl::SkinChanging();
    if (FListBox) FListBox->SkinChanging();
}

void TvlSkinComboBox::SkinChanged() {
    TvlSkinCustomControl::SkinChanged();
    FEditBrush.Reset();
    ApplyEditFont();
    Realign();
    if (FListBox) {
        ReadElement();
        FillList();
        FListBox->SetSkinData(SkinData());
    }
}

void TvlSkinComboBox::SetAutoScroll(int direction) {
    if (direction == FAutoScroll) return;
    FAutoScroll = direction;
    FAutoScrollTimer.reset();
    if (direction && HandleAllocated())
        FAutoScrollTimer = std::make_unique<TWindowTimer>(Handle(), kAutoScrollTimer, kAutoScrollDelay);
}

void TvlSkinComboBox::OnTimer(TMessage& m) {
    if (m.WParam != kAutoScrollTimer) {
        TvlSkinCustomControl::OnTimer(m);
        return;
    }
    m.Result = 0;
    if (!FDropped || !FAutoScrollTimer) return;
    int index = FListBox->ItemIndex();
    if (FAutoScroll == 1 && index > 0) SelectInList(index - 1);
    if (FAutoScroll == 2 && index < Items.Count() - 1) SelectInList(index + 1);
    // At the end of the list there is nothing left to scroll to.
    if ((FAutoScroll == 1 && index <= 1) || (FAutoScroll == 2 && index >= Items.Count() - 2)) SetAutoScroll(0);
}

void TvlSkinComboBox::DropDown() {
    if (FDropped || Items.Count() == 0 || !HandleAllocated()) return;
    SetAutoScroll(0);
    if (OnDropDown) OnDropDown(this);
    EnsureList();
    ReadElement();
    FillList();
    FListBox->SetSkinData(SkinData());
    int width = ListBoxWidth > 0 ? ListBoxWidth : Width();
    FListBox->SetBounds(0, 0, width, FListBox->Height());
    FListBox->UseSkinFont = ListBoxUseSkinFont;
    FListBox->DefaultFont = ListBoxDefaultFont;
    FListBox->DefaultCaptionFont = ListBoxDefaultCaptionFont;
    FListBox->UseSkinItemHeight = ListBoxUseSkinItemHeight;
    FListBox->SetDefaultItemHeight(ListBoxDefaultItemHeight);
    FListBox->SetCaption(ListBoxCaption);
    FListBox->SetAlignment(ListBoxCaptionAlignment);
    FListBox->SetCaptionMode(ListBoxCaptionMode);
    FListBox->SetHorizontalExtent(HorizontalExtent);
    FListBox->SetRowCount(ListRows());
    int height = FListBox->Height();
    RECT r;
    GetWindowRect(Handle(), &r);
    RECT work = Service<TMonitorAreas>().MonitorArea(Handle(), true);
    int y = r.bottom;
    if (y + height > work.bottom) y = r.top - height;  // no room below: above the combo
    if (FEdit && FEdit->CanFocus() && !FEdit->Focused()) FEdit->SetFocus();
    FIndexBeforeDrop = FItemIndex;
    FListBox->SetBounds(r.left, y, width, height);
    SelectInList(FItemIndex);
    if (FItemIndex >= 0)
        SendMessageA(InnerList(), LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, FItemIndex - ListRows() + 1)), 0);
    FListBox->UpdateScrollBars();
    const bool layered = Translucent();
    if (layered) {
        SetWindowLongA(ListWindow(), GWL_EXSTYLE, GetWindowLongA(ListWindow(), GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(ListWindow(), AlphaBlendAnimation ? 0 : AlphaBlendValue);
    }
    FListBox->SetVisible(true);
    SetWindowPos(ListWindow(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (layered && AlphaBlendAnimation)
        for (int alpha = 2;; alpha += 2) {
            SetWindowAlpha(ListWindow(), std::min<int>(alpha, AlphaBlendValue));
            if (alpha >= AlphaBlendValue) break;
        }
    FDropped = true;
    vlAccessEvent(this, EVENT_OBJECT_STATECHANGE);
    // A click anywhere else in the program closes the list.
    if (!FOutsideClicks)
        FOutsideClicks = new TMessageHook(this, [this](MSG& msg) {
            bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                         msg.message == WM_MBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN ||
                         msg.message == WM_NCRBUTTONDOWN;
            bool inList = msg.hwnd == ListWindow() || IsChild(ListWindow(), msg.hwnd);
            if (press && FDropped && msg.hwnd != Handle() && !inList) CloseUp(false);
            return false;
        });
    Invalidate();
}

void TvlSkinComboBox::CloseUp(bool accept) {
    if (!FDropped) return;
    FDropped = false;
    vlAccessEvent(this, EVENT_OBJECT_STATECHANGE);
    FDroppedByMouse = false;
    FPointerInList = false;
    SetAutoScroll(0);
    FListBox->SetVisible(false);
    if (Translucent())
        SetWindowLongA(ListWindow(), GWL_EXSTYLE, GetWindowLongA(ListWindow(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
    if (GetCapture() == Handle()) ReleaseCapture();
    int chosen = FListBox->ItemIndex();
    FButtonPressed = false;
    if (accept && chosen >= 0) {
        SetItemIndex(chosen);
    } else {
        FItemIndex = FIndexBeforeDrop;
        SelectInList(FItemIndex);
    }
    Invalidate();
    if (accept && OnCloseUp) OnCloseUp(this);
}

int TvlSkinComboBox::ListIndexAt(POINT screen) const {
    if (!FListBox || !IsWindowVisible(ListWindow())) return -1;
    RECT r;
    GetWindowRect(InnerList(), &r);
    if (!PtInRect(&r, screen)) return -1;
    POINT p = screen;
    ScreenToClient(InnerList(), &p);
    LRESULT hit = SendMessageA(InnerList(), LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
    if (HIWORD(hit)) return -1;
    return LOWORD(hit);
}

// Mouse input of the open list: it selects under the pointer, and a press
// hands the mouse to the combo so that the release closes and accepts.
bool TvlSkinComboBox::ListMessage(TMessage& m) {
    HWND list = InnerList();
    switch (m.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, m.LParam);
            if (!HIWORD(hit)) SelectInList(LOWORD(hit));
            if (m.Msg != WM_MOUSEMOVE) {
                FDroppedByMouse = true;
                FPointerInList = true;
                SetCapture(Handle());
            }
            m.Result = 0;
            return true;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP: m.Result = 0; return true;
        default: return false;
    }
}

// ---- look ----

void TvlSkinComboBox::Layout(TRect& button, TRect& itemArea) const {
    int W = Width(), H = Height();
    if (!FHasData) {
        button = {W - 19, 2, W - 2, H - 2};
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
    if (value == FUseSkinSize) return;
    FUseSkinSize = value;
    SkinChanged();
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
    int x = area.Left + 2;
    if (FImages && FImages->Count() > 0) {
        int image = ImageIndex >= 0 ? ImageIndex : shown;
        int iw = 0, ih = 0;
        ImageList_GetIconSize(FImages->Handle(), &iw, &ih);
        if (image < FImages->Count())
            ImageList_Draw(FImages->Handle(), image, dc, x, area.Top + (area.Height() - ih) / 2, ILD_TRANSPARENT);
        x += iw + 2;
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

// ---- input ----

void TvlSkinComboBox::OnMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TRect button, area;
    ReadElement();
    Layout(button, area);
    POINT screen{x, y};
    ClientToScreen(Handle(), &screen);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FStyle == vlcbFixedStyle && !Focused() && CanFocus()) SetFocus();
            if (button.Contains(x, y) || (FStyle == vlcbFixedStyle && area.Contains(x, y))) {
                FButtonPressed = FButtonHot = true;
                if (FDropped) {
                    CloseUp(false);
                } else {
                    DropDown();
                    FDroppedByMouse = FDropped;
                    FPointerInList = false;
                    if (FDropped) SetCapture(Handle());
                }
                Invalidate();
            } else if (FDropped) {
                CloseUp(false);
            }
            m.Result = 0;
            return;
        case WM_MOUSEMOVE:
            TvlSkinCustomControl::OnMouse(m);
            if (FDropped && FDroppedByMouse) {
                RECT lr;
                GetWindowRect(InnerList(), &lr);
                bool scrolls = FListBox->ScrollBar() != nullptr;
                if (FPointerInList && scrolls && screen.y < lr.top) {
                    SetAutoScroll(1);
                } else if (FPointerInList && scrolls && screen.y >= lr.bottom) {
                    SetAutoScroll(2);
                } else {
                    SetAutoScroll(0);
                    int index = ListIndexAt(screen);
                    if (index >= 0) {
                        SelectInList(index);
                        FPointerInList = true;
                    }
                }
            } else if (FButtonHot != button.Contains(x, y)) {
                FButtonHot = !FButtonHot;
                Invalidate();
            }
            return;
        case WM_LBUTTONUP: {
            FButtonPressed = false;
            // Decided before the capture goes: losing it ends the mouse drop-down.
            bool close = FDropped && FDroppedByMouse && FPointerInList;
            bool accept = close && ListIndexAt(screen) >= 0;
            if (GetCapture() == Handle()) ReleaseCapture();
            if (close) CloseUp(accept);
            FDroppedByMouse = false;
            Invalidate();
            m.Result = 0;
            return;
        }
        default: TvlSkinCustomControl::OnMouse(m); return;
    }
}

void TvlSkinComboBox::MouseLeave() {
    TvlSkinCustomControl::MouseLeave();
    if (FButtonHot && !FDropped) {
        FButtonHot = false;
        Invalidate();
    }
}

void TvlSkinComboBox::WndProc(TMessage& m) {
    auto item = [&](WPARAM i) {
        return static_cast<int>(i) < Items.Count() ? &Items.Strings(static_cast<int>(i)) : nullptr;
    };
    switch (m.Msg) {
        case WM_GETDLGCODE:
            // While open, Enter and Escape belong to the list, not the dialog.
            m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? DLGC_WANTALLKEYS : 0);
            return;
        // The native combo box's questions, for assistive tools and automation.
        case CB_GETCOUNT: m.Result = Items.Count(); return;
        case CB_GETCURSEL: m.Result = FItemIndex; return;
        case CB_SETCURSEL:
            SetItemIndex(static_cast<int>(m.WParam));
            m.Result = FItemIndex;
            return;
        case CB_GETLBTEXTLEN: m.Result = item(m.WParam) ? static_cast<LRESULT>(item(m.WParam)->size()) : CB_ERR; return;
        case CB_GETLBTEXT:
            if (const std::string* text = item(m.WParam)) {
                memcpy(reinterpret_cast<char*>(m.LParam), text->c_str(), text->size() + 1);
                m.Result = static_cast<LRESULT>(text->size());
            } else {
                m.Result = CB_ERR;
            }
            return;
        case CB_GETDROPPEDSTATE: m.Result = FDropped; return;
        case CB_SHOWDROPDOWN:
            m.WParam ? DropDown() : CloseUp(false);
            m.Result = TRUE;
            return;
        default: break;
    }
    TvlSkinCustomControl::WndProc(m);
}

void TvlSkinComboBox::Search(char c) {
    DWORD now = GetTickCount();
    if (!AutoComplete || now - FLastSearch > 500) FSearch.clear();
    FLastSearch = now;
    FSearch += c;
    int n = Items.Count();
    if (FSearch.size() == 1) {
        for (int k = 1; k <= n; ++k) {
            int i = (FItemIndex + k) % n;
            if (StartsWithNoCase(Items.Strings(i), FSearch)) return SetItemIndex(i);
        }
        return;
    }
    for (int i = 0; i < n; ++i)
        if (StartsWithNoCase(Items.Strings(i), FSearch)) return SetItemIndex(i);
}

void TvlSkinComboBox::OnKey(TMessage& m) {
    bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0 || m.Msg == WM_SYSKEYDOWN;
    if (m.Msg == WM_CHAR) {
        char c = static_cast<char>(m.WParam);
        if (static_cast<unsigned char>(c) >= 32) Search(c);
        m.Result = 0;
        return;
    }
    if (m.Msg != WM_KEYDOWN && m.Msg != WM_SYSKEYDOWN) {
        TvlSkinCustomControl::OnKey(m);
        return;
    }
    unsigned short key = static_cast<unsigned short>(m.WParam);
    if (DoKeyDown(key)) return;
    int last = Items.Count() - 1;
    auto go = [&](int index) {
        if (last >= 0) SetItemIndex(std::clamp(index, 0, last));
    };
    int current = FItemIndex;
    switch (key) {
        case VK_RETURN: CloseUp(true); break;
        case VK_ESCAPE: CloseUp(false); break;
        case VK_F4: FDropped ? CloseUp(true) : DropDown(); break;
        case VK_UP:
        case VK_LEFT:
            if (alt)
                CloseUp(false);
            else
                go(current - 1);
            break;
        case VK_DOWN:
        case VK_RIGHT:
            if (alt)
                DropDown();
            else
                go(current + 1);
            break;
        case VK_PRIOR: go(current - (FDropDownCount + 1)); break;
        case VK_NEXT: go(current + (FDropDownCount - 1)); break;
        case VK_HOME: go(0); break;
        case VK_END: go(last); break;
        default: TvlSkinCustomControl::OnKey(m); return;
    }
    m.Result = 0;
}

void TvlSkinComboBox::OnMouseWheel(TMessage& m) {
    if (FStyle != vlcbFixedStyle) {
        TvlSkinCustomControl::OnMouseWheel(m);
        return;
    }
    short delta = GET_WHEEL_DELTA_WPARAM(m.WParam);
    int last = Items.Count() - 1;
    int step = delta <= 0 ? 1 : -1;
    // With the list open the wheel moves its selection; the combo's item
    // changes only when the list closes accepting.
    if (last >= 0 && FDropped)
        SelectInList(std::clamp(FListBox->ItemIndex() + step, 0, last));
    else if (last >= 0)
        SetItemIndex(std::clamp(FItemIndex + step, 0, last));
    m.Result = 0;
}

void TvlSkinComboBox::OnEraseBkgnd(TMessage& m) {
    // Someone else asking for the combo's look (a parent composing its
    // picture) gets it with the inner edit's text; our own paint covers
    // every pixel anyway.
    auto dc = reinterpret_cast<HDC>(m.WParam);
    if (dc && !Painting() && WindowFromDC(dc) != Handle()) {
        PaintTo(dc);
        if (FEdit && FEdit->HandleAllocated() && IsWindowVisible(FEdit->Handle())) {
            SavedDCGuard saved(dc);
            OffsetViewportOrgEx(dc, FEdit->Left(), FEdit->Top(), nullptr);
            SendMessageA(FEdit->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
        }
    }
    m.Result = 1;
}

void TvlSkinComboBox::OnKillFocus(TMessage& m) {
    CloseUp(false);
    TvlSkinCustomControl::OnKillFocus(m);
    Invalidate();
}

void TvlSkinComboBox::OnSetFocus(TMessage& m) {
    TvlSkinCustomControl::OnSetFocus(m);
    Invalidate();
}

void TvlSkinComboBox::OnCaptureChanged(TMessage& m) {
    // Someone else took the mouse while it was dragged from the combo.
    if (reinterpret_cast<HWND>(m.LParam) != Handle() && FDroppedByMouse) {
        FDroppedByMouse = false;
        FButtonPressed = false;
        Invalidate();
    }
    TvlSkinCustomControl::OnCaptureChanged(m);
}

void TvlSkinComboBox::OnCancelMode(TMessage& m) {
    CloseUp(false);
    TvlSkinCustomControl::OnCancelMode(m);
}
