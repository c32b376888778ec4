// The combo box's drop-down list: filling, opening and closing it, and the
// mouse over it.

#include "skin/controls/vlSkinComboBox.h"

#include <algorithm>

#include "core/Property.h"
#include "core/WindowServices.h"
#include "skin/access/vlAccess.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"

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
    if (!SetIfChanged(FAutoScroll, direction)) return;
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
