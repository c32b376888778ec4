#include "skin/controls/vlSkinComboBox.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "skin/access/vlAccess.h"
#include "skin/data/vlCompose.h"
#include "toolkit/Forms.h"

namespace {
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
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    {
        SelectGuard g(dc, FEdit->Font.Handle());
        GetTextMetricsA(dc, &metrics);
    }
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
