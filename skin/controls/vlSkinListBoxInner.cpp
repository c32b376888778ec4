// The inner list: its messages, the owner's events for its mouse and keys,
// the typed search and dragging from it.
#include "skin/controls/vlSkinListBox.h"

#include <windowsx.h>

#include <cstdlib>

#include "toolkit/MouseShift.h"

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
    if (m.Msg == WM_CTLCOLORLISTBOX) {
        // Below the last row the list erases with this brush: the colour of
        // the frame's inside, not the system's window colour (white on a
        // dark skin). The stock DC brush needs no owner.
        auto dc = reinterpret_cast<HDC>(m.WParam);
        COLORREF colour = ColorToRGB(clWindow);
        const TvlSkinLook& look = FBox->Look;
        if (FBox->FHasData && look.Picture && !look.SkinClientRect.IsEmpty()) {
            TRect inside = look.SkinClientRect;
            int x = look.SkinRect.Left + (inside.Left + inside.Right) / 2;
            int y = look.SkinRect.Top + (inside.Top + inside.Bottom) / 2;
            TvlPixelView picture = PictureView(*look.Picture);
            if (x >= 0 && y >= 0 && x < picture.Width && y < picture.Height) colour = DibPixelColor(picture.Row(y) + x * 3);
        }
        SetDCBrushColor(dc, colour);
        m.Result = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
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
    if (DragInput(m)) return;
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


// ---- Dragging from the inner list ----

bool TvlListBox::DragInput(TMessage& m) {
    TvlSkinListBox::TDrag& drag = FBox->FDrag;
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
            if (FBox->ListBoxDragMode == dmAutomatic && FBox->ListBoxDragKind == dkDrag && !drag.Active) {
                drag.Pending = true;
                drag.Start = p;
            }
            return false;
        case WM_MOUSEMOVE: {
            bool started = drag.Pending && (m.WParam & MK_LBUTTON) &&
                           (std::abs(p.x - drag.Start.x) > GetSystemMetrics(SM_CXDRAG) ||
                            std::abs(p.y - drag.Start.y) > GetSystemMetrics(SM_CYDRAG));
            if (!started && !drag.Active) return false;
            ClientToScreen(Handle(), &p);
            if (started)
                FBox->StartDrag(p);
            else
                FBox->DragMove(p);
            m.Result = 0;
            return true;  // the selection stays where the drag began
        }
        case WM_LBUTTONUP:
            drag.Pending = false;
            if (drag.Active) {
                ClientToScreen(Handle(), &p);
                FBox->DragMove(p);
                FBox->EndDrag(true);
            }
            return false;  // the native list ends its own tracking
        case WM_KEYDOWN:
            if (!drag.Active || m.WParam != VK_ESCAPE) return false;
            FBox->EndDrag(false);
            m.Result = 0;
            return true;
        case WM_CAPTURECHANGED:
            drag.Pending = false;
            if (drag.Active && reinterpret_cast<HWND>(m.LParam) != Handle()) FBox->EndDrag(false);
            return false;
        default: return false;
    }
}

void TvlSkinListBox::BeginDrag(bool immediate) {
    if (FDrag.Active || ListBoxDragKind != dkDrag || !FList->HandleAllocated()) return;
    if (!immediate) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(FList->Handle(), &p);
        FDrag.Pending = true;
        FDrag.Start = p;
        return;
    }
    POINT p;
    GetCursorPos(&p);
    StartDrag(p);
}

void TvlSkinListBox::StartDrag(POINT screen) {
    if (FDrag.Active || ListBoxDragKind != dkDrag) return;
    FDrag.Pending = false;
    FDrag.Active = true;
    FDrag.Accepted = false;
    FDragTarget.Set(nullptr);
    if (OnListBoxStartDrag) OnListBoxStartDrag(this);
    if (GetCapture() != FList->Handle()) SetCapture(FList->Handle());
    DragMove(screen);
}

TvlSkinListBox* TvlSkinListBox::DragTargetAt(POINT screen) const {
    auto* list = dynamic_cast<TvlListBox*>(TWinControl::FromHandle(WindowFromPoint(screen)));
    return list ? list->Box() : nullptr;
}

void TvlSkinListBox::DragMove(POINT screen) {
    TvlSkinListBox* target = DragTargetAt(screen);
    auto ask = [&](TvlSkinListBox* box, TDragState state) {
        POINT p = screen;
        ScreenToClient(box->FList->Handle(), &p);
        bool accept = false;
        if (box->OnListBoxDragOver) box->OnListBoxDragOver(box, this, p.x, p.y, state, accept);
        return accept;
    };
    FDrag.Last = screen;
    TvlSkinListBox* previous = FDragTarget;
    if (previous && previous != target) ask(previous, dsDragLeave);
    FDragTarget.Set(target);
    FDrag.Accepted = target && ask(target, target == previous ? dsDragMove : dsDragEnter);
    SetCursor(LoadCursorA(nullptr, FDrag.Accepted ? ListBoxDragCursor : IDC_NO));
}

void TvlSkinListBox::EndDrag(bool drop) {
    if (!FDrag.Active) return;
    POINT screen = FDrag.Last;
    TvlSkinListBox* under = FDragTarget;
    TvlSkinListBox* target = drop && FDrag.Accepted ? under : nullptr;
    if (!target && under) {
        // Told that the drag left it without a drop.
        POINT p = screen;
        ScreenToClient(under->FList->Handle(), &p);
        bool ignored = false;
        if (under->OnListBoxDragOver) under->OnListBoxDragOver(under, this, p.x, p.y, dsDragLeave, ignored);
    }
    FDrag = TDrag{};
    FDragTarget.Set(nullptr);
    if (FList->HandleAllocated() && GetCapture() == FList->Handle()) ReleaseCapture();
    POINT at = screen;
    if (target) {
        ScreenToClient(target->FList->Handle(), &at);
        if (target->OnListBoxDragDrop) target->OnListBoxDragDrop(target, this, at.x, at.y);
    } else if (FList->HandleAllocated()) {
        ScreenToClient(FList->Handle(), &at);
    }
    if (OnListBoxEndDrag) OnListBoxEndDrag(this, target, at.x, at.y);
}

// ---- Settings of the inner list ----

TFont TvlSkinListBox::ListBoxFont() const { return FListFontSet ? FList->Font : ItemFont(); }

void TvlSkinListBox::SetListBoxFont(const TFont& font) {
    FList->Font = font;
    FListFontSet = true;
    FWidest = -1;
    if (FList->HandleAllocated()) {
        UpdateScrollBars();
        FList->Invalidate();
    }
}
