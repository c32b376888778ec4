#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "skin/controls/vlFormSkinQuery.h"
#include "core/Property.h"
#include "skin/controls/vlLookPieces.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlResourceStr.h"
#include "toolkit/Clipboard.h"
#include "toolkit/Forms.h"

// ---- the context menu ----

TPopupMenu* BuildEditContextMenu(TvlCustomEdit* edit, const TvlSkinData* skin) {
    const TvlResourceStrData* strings = skin ? skin->ResourceStrData() : nullptr;
    auto caption = [&](const char* key, const char* fallback) {
        std::string text = strings ? strings->LookupText(key) : DefaultResourceText(key);
        return text.empty() ? std::string(fallback) : text;
    };
    auto* menu = new TPopupMenu(edit);
    HWND wnd = edit->Handle();
    bool selection = edit->HasSelection();
    bool writable = !edit->ReadOnly;
    auto add = [&](const char* key, const char* fallback, bool enabled, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
        auto* item = menu->Add(new TMenuItem(menu, caption(key, fallback)));
        item->Enabled = enabled;
        item->OnClick = [wnd, msg, wp, lp](TObject*) { SendMessageA(wnd, msg, wp, lp); };
    };
    add("EDIT_UNDO", "Undo", edit->CanUndo() && writable, WM_UNDO);
    menu->Add(new TMenuItem(menu, "-"));
    add("EDIT_CUT", "Cut", selection && writable, WM_CUT);
    add("EDIT_COPY", "Copy", selection, WM_COPY);
    add("EDIT_PASTE", "Paste", IsClipboardFormatAvailable(CF_TEXT) && writable, WM_PASTE);
    add("EDIT_DELETE", "Delete", selection && writable, WM_CLEAR);
    menu->Add(new TMenuItem(menu, "-"));
    add("EDIT_SELECTALL", "Select All", !edit->EverythingSelected(), EM_SETSEL, 0, -1);
    return menu;
}

// ---- TvlCustomEdit ----

TvlCustomEdit::TvlCustomEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TEdit(owner, parent, left, top, width, height) {}

TvlCustomEdit::~TvlCustomEdit() = default;

bool TvlCustomEdit::CanUndo() const { return HandleAllocated() && SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0; }

bool TvlCustomEdit::HasSelection() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end > start;
}

bool TvlCustomEdit::EverythingSelected() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthA(Handle()));
}

void TvlCustomEdit::FreeMenu() {
    delete FMenu;
    FMenu = nullptr;
}

void TvlCustomEdit::ShowContextMenu(int x, int y) {
    FreeMenu();
    if (x == -1 && y == -1) {
        RECT r;
        GetWindowRect(Handle(), &r);
        x = (r.left + r.right) / 2;
        y = (r.top + r.bottom) / 2;
    }
    if (!Focused()) SetFocus();
    FMenu = BuildEditContextMenu(this, MenuSkin());
    FMenu->Presenter = MenuPresenter;
    // The form's frame shows it with its skinned menu engine; the menu then
    // stays until WM_SKINMENUITEMDONE or the next menu (never freed while
    // the engine may still hold its items).
    if (!MenuPresenter)
        if (TForm* form = GetParentForm(this); form && form->HandleAllocated()) {
            TPopupMenuRequest request{FMenu, this, const_cast<TvlSkinData*>(MenuSkin()), x, y};
            if (SendMessageA(form->Handle(), TM_POPUPMENU, 0, reinterpret_cast<LPARAM>(&request))) return;
        }
    FMenu->Popup(x, y);
    // The menu has run its command (or was dismissed).
    FreeMenu();
}

void TvlCustomEdit::OnContextMenu(TMessage& m) {
    if (PopupMenu) {
        TEdit::OnContextMenu(m);
        return;
    }
    // Only the exact position (-1, -1) comes from the keyboard: a monitor left
    // of or above the primary one has negative coordinates too.
    ShowContextMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    m.Result = 0;
}

void TvlCustomEdit::RecreateWnd() {
    if (!HandleAllocated()) return;
    std::string text = Text();
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    bool focused = Focused();
    DestroyHandle();
    SetCaption(text);
    HandleNeeded();
    SendMessageA(Handle(), EM_SETSEL, start, end);
    if (focused) SetFocus();
}

// ---- transparent mode ----

void TvlCustomEdit::SetTransparent(bool value) {
    if (SetIfChanged(FTransparent, value)) RecreateWnd();
}

void TvlCustomEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.Style &= ~WS_BORDER;
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
    if (FTransparent) params.ExStyle |= WS_EX_TRANSPARENT;
    if (FPasswordChar) params.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (!FHideSelection) params.Style |= ES_NOHIDESEL;
}

bool TvlCustomEdit::OnReflected(TMessage& m) {
    if (!FTransparent || (m.Msg != WM_CTLCOLOREDIT && m.Msg != WM_CTLCOLORSTATIC)) return TEdit::OnReflected(m);
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColour());
    m.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
}

void TvlCustomEdit::CommandNotify(WORD code) {
    TEdit::CommandNotify(code);
    // Scrolling copies the old pixels: the background would move with the text.
    if (FTransparent && (code == EN_CHANGE || code == EN_HSCROLL || code == EN_VSCROLL)) InvalidateUnder();
}

void TvlCustomEdit::InvalidateUnder() {
    if (!HandleAllocated()) return;
    if (HWND parent = GetParent(Handle())) {
        RECT r;
        GetWindowRect(Handle(), &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        InvalidateRect(parent, &r, TRUE);
    }
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TvlCustomEdit::EraseBackground(HDC dc) {
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated()) return;
    POINT origin{0, 0};
    MapWindowPoints(Handle(), parent->Handle(), &origin, 1);
    SavedDCGuard saved(dc);
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    if (!parent->Perform(TM_PAINTBACKGROUND, reinterpret_cast<WPARAM>(dc)))
        SendMessageA(parent->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// A single line takes only the first line of what is pasted.
void TvlCustomEdit::PasteFirstLine() {
    std::optional<std::string> pasted = ReadClipboardText(Handle());
    if (!pasted) return;
    std::string text = pasted->substr(0, pasted->find_first_of("\r\n"));
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Messages after which a see-through edit repaints what lies under it: the
// text, the caret or the selection may have moved over it.
static bool MayChangeWhatShows(const TMessage& m) {
    switch (m.Msg) {
        case WM_KEYDOWN:
        case WM_SETTEXT:
        case WM_MOVE:
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case WM_LBUTTONDOWN:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_VSCROLL:
        case WM_HSCROLL: return true;
        case WM_MOUSEMOVE: return (m.WParam & MK_LBUTTON) != 0;
        default: return false;
    }
}

void TvlCustomEdit::WndProc(TMessage& m) {
    if (!FMask.Empty() && !ReadOnly && MaskMessage(m)) return;
    switch (m.Msg) {
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
            if (ReadOnly) {
                m.Result = 0;
                return;
            }
            if (m.Msg == WM_PASTE && FSingleLine) {
                PasteFirstLine();
                m.Result = 0;
                return;
            }
            break;
        case WM_CHAR: {
            char key = static_cast<char>(m.WParam);
            if (FSingleLine && (key == '\r' || key == VK_ESCAPE)) {
                if (OnKeyPress) OnKeyPress(this, key);
                m.Result = 0;
                return;
            }
            if (OnKeyPress) OnKeyPress(this, key);
            // The copy key (Ctrl+C) still copies from a read-only text.
            if (key == 0 || (ReadOnly && key != 3)) {
                m.Result = 0;
                return;
            }
            m.WParam = static_cast<unsigned char>(key);
            break;
        }
        case WM_KEYDOWN:
            if (ReadOnly && m.WParam == VK_DELETE) {
                m.Result = 0;
                return;
            }
            break;
        case WM_SKINMENUITEMDONE:
            FreeMenu();
            m.Result = 0;
            return;
        case WM_ERASEBKGND:
            // Only paints: invalidating here would start the next paint.
            if (FTransparent) {
                EraseBackground(reinterpret_cast<HDC>(m.WParam));
                m.Result = 1;
                return;
            }
            break;
        default: break;
    }
    // A press focuses the edit from inside its own handling: that focus is
    // the mouse's, which places the caret rather than selecting.
    bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
    if (press) FPressFocus = true;
    TEdit::WndProc(m);
    if (press) FPressFocus = false;
    switch (m.Msg) {
        case WM_SETFONT:
            // The text keeps off the frame on the left and runs to it on the right.
            SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELONG(ScaleForDpi(2, ControlDpi(this)), 0));
            break;
        case WM_SETFOCUS:
            // Focus from the keyboard selects everything; a click places the caret.
            if (AutoSelect && !FPressFocus && !(GetKeyState(VK_LBUTTON) & 0x8000))
                SendMessageA(Handle(), EM_SETSEL, 0, -1);
            break;
        default: break;
    }
    if (FTransparent && MayChangeWhatShows(m)) InvalidateUnder();
}

// ---- TvlSkinEdit ----

const TvlSkinData* TvlSkinEdit::MenuSkin() const {
    TForm* form = GetParentForm(this);
    const TvlSkinData* skin = form && form->HandleAllocated() ? FormSkin(form->Handle()) : nullptr;
    return skin ? skin : SkinData();
}

TvlSkinEdit::TvlSkinEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TvlSkinEditFrame(owner, parent, left, top, width, height) {
    SkinDataName = "edit";
    Font = DefaultFont;
    // The text lies on the element's client part, painted on each erase.
    FTransparent = true;
}

void TvlSkinEdit::CreateParams(TCreateParams& params) {
    TvlSkinEditFrame::CreateParams(params);
    // Its own erase paints what is behind the text: siblings need not paint first.
    params.ExStyle &= ~WS_EX_TRANSPARENT;
    params.Style &= ~(ES_LEFT | ES_RIGHT | ES_CENTER);
    params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
}

void TvlSkinEdit::SetAlignment(TAlignment value) {
    if (!SetIfChanged(FAlignment, value)) return;
    if (HandleAllocated()) RecreateWnd();
}

void TvlSkinEdit::SetDefaultWidth(int value) {
    FDefaultWidth = value;
    ReadElement();
    if (!FHasData && value > 0) SetBounds(Left(), Top(), value, Height());
}

void TvlSkinEdit::SetDefaultHeight(int value) {
    FDefaultHeight = value;
    ReadElement();
    if (!FHasData && value > 0 && UseSkinFont) SetBounds(Left(), Top(), Width(), value);
    else SetBounds(Left(), Top(), Width(), Height());  // the font decides
}

int TvlSkinEdit::HeightForFont() const {
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC dc = measuring.Handle();
    TEXTMETRICA tm{};
    {
        SelectGuard g(dc, Font.Handle());
        GetTextMetricsA(dc, &tm);
    }
    const int frame = FHasData ? FLook.SkinRect.Height() - FLook.SkinClientRect.Height() : 4;
    return tm.tmHeight + frame;
}

void TvlSkinEdit::SkinChanged() {
    TakeElementAndFont();
    if (!FHasData && (FDefaultWidth > 0 || FDefaultHeight > 0))
        TvlCustomEdit::SetBoundsByLayout(Left(), Top(), FDefaultWidth > 0 ? FDefaultWidth : Width(),
                                         FDefaultHeight > 0 ? FDefaultHeight : Height());
    // With the skin's font the height is the element's; without it the font's.
    SetBoundsByLayout(Left(), Top(), Width(), Height());
    FrameChanged();
    RepaintAll();
}

void TvlSkinEdit::SetBoundsByLayout(int left, int top, int width, int height) {
    ReadElement();
    if (FHasData && UseSkinFont) height = FLook.SkinRect.Height();
    if (!UseSkinFont) height = HeightForFont();
    TvlSkinEditFrame::SetBoundsByLayout(left, top, width, height);
}

TRect TvlSkinEdit::ClientMargins() const {
    if (!FHasData) return {2, 2, FButtonMode ? Height() + 2 : 2, 2};
    const TRect& c = FLook.SkinClientRect;
    return {c.Left, c.Top, FLook.SkinRect.Width() - c.Right, FLook.SkinRect.Height() - c.Bottom};
}

void TvlSkinEdit::OnNcCalcSize(TMessage& m) {
    auto* r = reinterpret_cast<RECT*>(m.LParam);  // the first rect of either form
    TRect margins = ClientMargins();
    r->left += margins.Left;
    r->top += margins.Top;
    r->right = std::max(r->left, static_cast<LONG>(r->right - margins.Right));
    r->bottom = std::max(r->top, static_cast<LONG>(r->bottom - margins.Bottom));
    m.Result = 0;
}

TRect TvlSkinEdit::TextArea() const {
    int W = Width(), H = Height();
    if (!FHasData) return {2, 2, (FButtonMode ? W - H : W) - 2, H - 2};
    TRect area = FLook.SkinClientRect;
    area.Right += W - FLook.SkinRect.Width();
    if (!UseSkinFont) area.Bottom += H - FLook.SkinRect.Height();
    return area;
}

TRect TvlSkinEdit::ButtonRect() const {
    if (!FButtonMode) return {};
    int W = Width(), H = Height();
    if (!FHasData) return {W - H, 0, W, H};
    TRect button = FData.ButtonRect;
    if (button.IsEmpty()) return {};
    // A button at the right end moves with it; one inside the stretched
    // middle stays where the element has it.
    if (button.Left >= FLook.RightTopPoint.X) {
        button.Left += W - FLook.SkinRect.Width();
        button.Right += W - FLook.SkinRect.Width();
    }
    if (!UseSkinFont) button.Bottom += H - FLook.SkinRect.Height();
    return button;
}

void TvlSkinEdit::ComposeFrame(TvlFBitmap& bitmap) {
    ReadElement();
    int W = Width(), H = Height();
    bitmap.SetSize(W, H);
    TRect button = ButtonRect();
    if (!FHasData) {
        vlLookPieces::FrameBox(bitmap, {0, 0, W, H}, ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace));
        vlLookPieces::FillBox(bitmap, {2, 2, W - 2, H - 2}, ColorToRGB(clWindow));
        if (!FButtonMode) return;
        if (FButtonDown && FButtonHot)
            vlLookPieces::FrameBox(bitmap, button, RGB(0, 0, 128), RGB(133, 147, 181));
        else if (FButtonHot)
            vlLookPieces::FrameBox(bitmap, button, RGB(0, 0, 128), RGB(182, 189, 210));
        else
            vlLookPieces::FrameBox(bitmap, button, ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace));
        return;
    }
    const TRect& source = FHover || Focused() ? FData.ActiveSkinRect : FLook.SkinRect;
    TvlFBitmap strip;
    ComposeHorizontal(FLook.LeftTopPoint.X, FLook.SkinRect.Width() - FLook.RightTopPoint.X, source,
                      PictureView(*FLook.Picture), W, strip);
    if (strip.Empty()) return;
    StretchPiece(bitmap, {0, 0, W, H}, strip.View(), {0, 0, strip.Width(), strip.Height()});
    if (button.IsEmpty()) return;
    // Otherwise the button of the background shows.
    TRect state;
    if (!Enabled())
        state = FData.UnEnabledButtonRect;
    else if (FButtonDown && FButtonHot)
        state = FData.DownButtonRect.IsEmpty() ? FData.ActiveButtonRect : FData.DownButtonRect;
    else if (FButtonHot)
        state = FData.ActiveButtonRect;
    if (!state.IsEmpty()) StretchPiece(bitmap, button, PictureView(*FLook.Picture), state);
}

void TvlSkinEdit::OnNcPaint(TMessage& m) {
    TvlFBitmap bitmap;
    ComposeFrame(bitmap);
    HDC dc = GetWindowDC(Handle());
    TRect margins = ClientMargins();
    ExcludeClipRect(dc, margins.Left, margins.Top, Width() - margins.Right, Height() - margins.Bottom);
    bitmap.DrawTo(dc, 0, 0);
    ReleaseDC(Handle(), dc);
    m.Result = 0;
}

// The element's client part under the text, tiled to the text area's width.
void TvlSkinEdit::EraseBackground(HDC dc) {
    TRect area = TextArea();
    int w = area.Width(), h = area.Height();
    if (w <= 0 || h <= 0) return;
    TvlFBitmap bitmap(w, h);
    if (!FHasData) {
        bitmap.Fill(ColorToRGB(clWindow));
    } else {
        const TRect& source = FHover || Focused() ? FData.ActiveSkinRect : FLook.SkinRect;
        const TRect& c = FLook.SkinClientRect;
        int sw = FLook.SkinRect.Width();
        TRect part{source.Left + c.Left, source.Top + c.Top, source.Left + c.Right, source.Top + c.Bottom};
        int leftEnd = std::max(0, FLook.LeftTopPoint.X - c.Left);
        int rightEnd = std::max(0, c.Right + (sw - FLook.RightTopPoint.X) - sw);
        TvlFBitmap strip;
        ComposeHorizontal(leftEnd, rightEnd, part, PictureView(*FLook.Picture), w, strip);
        if (strip.Empty()) {
            bitmap.Fill(ColorToRGB(clWindow));
        } else if (UseSkinFont) {
            CopyPiece(bitmap, 0, 0, strip.View(), {0, 0, strip.Width(), strip.Height()});
        } else {
            StretchPiece(bitmap, {0, 0, w, h}, strip.View(), {0, 0, strip.Width(), strip.Height()});
        }
    }
    bitmap.DrawTo(dc, 0, 0);
}

// Without the transparent mode the text sits on the colour of the element's
// client part.
bool TvlSkinEdit::OnReflected(TMessage& m) {
    if (m.Msg != WM_CTLCOLOREDIT && m.Msg != WM_CTLCOLORSTATIC) return TvlSkinEditFrame::OnReflected(m);
    if (FTransparent) return TvlSkinEditFrame::OnReflected(m);
    COLORREF background = ColorToRGB(clWindow);
    if (FHasData) {
        const TRect& source = FHover || Focused() ? FData.ActiveSkinRect : FLook.SkinRect;
        const TRect& c = FLook.SkinClientRect;
        TvlPixelView view = PictureView(*FLook.Picture);
        int x = source.Left + (c.Left + c.Right) / 2, y = source.Top + (c.Top + c.Bottom) / 2;
        if (x >= 0 && y >= 0 && x < view.Width && y < view.Height) {
            const uint8_t* p = view.Row(y) + x * 3;
            background = RGB(p[2], p[1], p[0]);
        }
    }
    return AnswerColours(m, background);
}

void TvlSkinEdit::WndProc(TMessage& m) {
    TvlSkinEditFrame::WndProc(m);
    if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS || m.Msg == WM_ENABLE) RepaintAll();
}
