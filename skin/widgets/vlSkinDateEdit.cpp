#include "skin/widgets/vlSkinDateEdit.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>

#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"

namespace {
// Posted to the edit: the typed text names no day.
constexpr UINT TM_INVALIDDATE = WM_APP + 0x3E11;

TvlDay Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
}  // namespace

TvlSkinDateEdit::TvlSkinDateEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TvlSkinElement<TEdit>(owner, parent, left, top, width, height) {
    SkinDataName = "buttonedit";
    TabStop = true;
    FCalendar = new TvlSkinPopupMonthCalendar(this, this);
    FCalendar->SetBounds(0, 0, 200, 150);
    FCalendar->OnNumberClick = [this](TObject*) { CloseUp(true); };
    LayeredSupported = [] { return SupportsLayeredWindows(); };
    OnKeyPress = [this](TObject* sender, char& key) { IsPartialDateValidKey(sender, key); };
    OnButtonClick = [this](TObject*) {
        if (DroppedDown())
            CloseUp(false);
        else
            DropDown();
    };
    // A press anywhere but on the calendar or the button closes the calendar,
    // as the form's cancel-mode notice does.
    FClickWatch = new TMessageHook(this, [this](MSG& msg) {
        if (DroppedDown() && OutsideClick(msg)) CloseUp(false);
        return false;
    });
    RebuildMask();
}

TvlSkinDateEdit::~TvlSkinDateEdit() { *FAlive = false; }

void TvlSkinDateEdit::RebuildMask() {
    FLocale = TvlDateLocale::Current();
    FMask = BuildDateMask(FLocale);
    FKinds.clear();
    for (size_t i = FMask[0] == '!' ? 1 : 0; i < FMask.size() && FMask[i] != ';'; ++i)
        FKinds += FMask[i] == '/' ? '\0' : FMask[i];
    SetMaxLength(static_cast<int>(FKinds.size()));
    SetMaskedText(Text());
}

void TvlSkinDateEdit::CreateParams(TCreateParams& params) {
    TvlSkinElement<TEdit>::CreateParams(params);
    // The frame and the button are drawn in the non-client area.
    params.Style &= ~WS_BORDER;
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TvlSkinDateEdit::CreateWnd() {
    TvlSkinElement<TEdit>::CreateWnd();
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- text and date ----

void TvlSkinDateEdit::SetOwnText(const std::string& text) {
    bool typing = FTyping;
    bool updating = FUpdating;
    FUpdating = true;  // the change is applied below, once
    SetText(text);
    FUpdating = updating;
    FTyping = typing;
    if (!FUpdating) ApplyDateText();
}

void TvlSkinDateEdit::SetMaskedText(const std::string& text) {
    std::string blank = BlankText();
    std::string shaped = blank;
    if (text.size() == blank.size()) {
        bool fits = true;
        for (size_t i = 0; i < blank.size(); ++i)
            if (!Editable(static_cast<int>(i)) && text[i] != blank[i]) fits = false;
        if (fits) shaped = text;
    }
    if (shaped == blank && !text.empty() && text != blank) {
        // Another shape: its letters, digits and blanks go into the editable
        // places in order; any punctuation stands for a separator.
        size_t next = 0;
        for (char c : text) {
            if (c != ' ' && !std::isalnum(static_cast<unsigned char>(c))) continue;
            while (next < blank.size() && !Editable(static_cast<int>(next))) ++next;
            if (next >= blank.size()) break;
            shaped[next++] = c;
        }
    }
    SetOwnText(shaped);
}

void TvlSkinDateEdit::SetDate(const TvlDay& day) {
    FCalendar->SetDate(day.Year, day.Month, day.Day);
    FUpdating = true;
    SetOwnText(DateToText(FLocale, FCalendar->Day()));
    if (OnDateChange) OnDateChange(this);
    FUpdating = false;
}

void TvlSkinDateEdit::SetTodayDefault(bool value) {
    FTodayDefault = value;
    if (value) SetDate(Today());
}

void TvlSkinDateEdit::CommandNotify(WORD code) {
    TvlSkinElement<TEdit>::CommandNotify(code);
    if (code == EN_CHANGE && !FUpdating) ApplyDateText();
}

void TvlSkinDateEdit::ApplyDateText() {
    std::string text = Text();
    if (!IsCompleteDateValid(FLocale, text)) return;
    std::optional<TvlDay> day = DateFromText(FLocale, text);
    if (!day) {
        // A user's mistake, told once the keystroke is done; the date stays.
        if (FTyping && HandleAllocated()) PostMessageA(Handle(), TM_INVALIDDATE, 0, 0);
        return;
    }
    TvlDay old = FCalendar->Day();
    FCalendar->SetDate(day->Year, day->Month, day->Day);
    if (!(old == *day) && OnDateChange) OnDateChange(this);
}

void TvlSkinDateEdit::ShowInvalidDate(const std::string& text) {
    std::string message = FLocale.NameForm() ? std::string("Invalid argument to date encode")
                                             : "'" + text + "' is not a valid date";
    std::weak_ptr<bool> alive = FAlive;
    if (OnInvalidDate)
        OnInvalidDate(this, message);
    else
        MessageBoxA(HandleAllocated() ? GetAncestor(Handle(), GA_ROOT) : nullptr, message.c_str(), "",
                    MB_OK | MB_ICONINFORMATION);
    // The message box had the focus; the field gets it back.
    if (alive.expired() || !HandleAllocated() || !IsWindow(Handle())) return;
    if (TForm* form = GetParentForm(this)) form->SetActiveControl(this);
    ::SetFocus(Handle());
}

// ---- typing through the mask ----

int TvlSkinDateEdit::Caret() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TvlSkinDateEdit::SetCaret(int pos) { SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(pos), pos); }

void TvlSkinDateEdit::IsPartialDateValidKey(TObject*, char& key) {
    std::string text = Text();
    int pos = Caret();
    // The character lands on the next editable place; the separators are skipped.
    while (pos < static_cast<int>(text.size()) && !Editable(pos)) ++pos;
    // With the caret at the end nothing can be typed.
    if (pos >= static_cast<int>(text.size())) {
        key = 0;
        return;
    }
    text.erase(static_cast<size_t>(pos), 1);
    text.insert(static_cast<size_t>(pos), 1, key);
    if (!IsPartialDateValid(FLocale, text)) key = 0;
}

void TvlSkinDateEdit::BlankRange(int from, int to) {
    std::string text = Text();
    for (int i = std::max(from, 0); i < to && i < static_cast<int>(text.size()); ++i)
        if (Editable(i)) text[static_cast<size_t>(i)] = ' ';
    FTyping = true;
    SetOwnText(text);
    FTyping = false;
    SetCaret(from);
}

void TvlSkinDateEdit::TypeChar(char c) {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::string text = Text();
    if (end > start) {
        for (DWORD i = start; i < end && i < text.size(); ++i)
            if (Editable(static_cast<int>(i))) text[i] = ' ';
    }
    int pos = static_cast<int>(start);
    while (pos < static_cast<int>(text.size()) && !Editable(pos)) ++pos;
    if (pos >= static_cast<int>(text.size())) return;
    char kind = FKinds[static_cast<size_t>(pos)];
    bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
    if ((kind == 'L') == digit || (kind == 'L' && !IsCharAlphaA(c))) return;
    text[static_cast<size_t>(pos)] = c;
    FTyping = true;
    SetOwnText(text);
    FTyping = false;
    int next = pos + 1;
    while (next < static_cast<int>(text.size()) && !Editable(next)) ++next;
    SetCaret(next);
}

void TvlSkinDateEdit::Backspace() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end > start) {
        BlankRange(static_cast<int>(start), static_cast<int>(end));
        return;
    }
    int pos = static_cast<int>(start) - 1;
    while (pos >= 0 && !Editable(pos)) --pos;
    if (pos < 0) return;
    BlankRange(pos, pos + 1);
}

void TvlSkinDateEdit::DeleteAtCaret() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end > start) {
        BlankRange(static_cast<int>(start), static_cast<int>(end));
        return;
    }
    int pos = static_cast<int>(start);
    while (pos < static_cast<int>(FKinds.size()) && !Editable(pos)) ++pos;
    if (pos >= static_cast<int>(FKinds.size())) return;
    BlankRange(pos, pos + 1);
    SetCaret(static_cast<int>(start));
}

void TvlSkinDateEdit::PasteText() {
    if (!OpenClipboard(Handle())) return;
    std::string pasted;
    if (HANDLE data = GetClipboardData(CF_TEXT))
        if (auto* p = static_cast<const char*>(GlobalLock(data))) {
            pasted = p;
            GlobalUnlock(data);
        }
    CloseClipboard();
    for (char c : pasted) {
        if (c == FLocale.Separator) continue;
        char key = c;
        if (OnKeyPress) OnKeyPress(this, key);
        if (key) TypeChar(key);
    }
}

// ---- drop-down ----

void TvlSkinDateEdit::DropDown() {
    if (DroppedDown()) return;
    RECT edit;
    GetWindowRect(Handle(), &edit);
    int height = FCalendar->Height();
    // Placed by the primary screen's height only; nothing keeps it on a screen sideways.
    int y = edit.bottom;
    if (y + height > GetSystemMetrics(SM_CYSCREEN)) y = edit.top - height;
    FCalendar->HandleNeeded();
    HWND calendar = FCalendar->Handle();
    bool layered = AlphaBlend && LayeredSupported && LayeredSupported();
    if (layered) {
        SetWindowLongA(calendar, GWL_EXSTYLE, GetWindowLongA(calendar, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(calendar, 0);
    }
    FCalendar->SetSkinData(SkinData());
    FCalendar->SetBounds(edit.left, y, FCalendar->Width(), height);
    // Above every window while open, as a drop-down list is: its owner
    // coming forward again must not cover it.
    SetWindowPos(calendar, HWND_TOPMOST, edit.left, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FCalendar->SetVisible(true);
    if (!layered) return;
    std::weak_ptr<bool> alive = FAlive;
    Application->ProcessMessages();
    // Anything may have happened meanwhile, the edit's end included.
    if (alive.expired() || !IsWindow(calendar) || !DroppedDown()) return;
    if (!AlphaBlendAnimation) {
        SetWindowAlpha(calendar, AlphaBlendValue);
        return;
    }
    for (int alpha = 2;; alpha += 2) {
        SetWindowAlpha(calendar, std::min<int>(alpha, AlphaBlendValue));
        if (alpha >= AlphaBlendValue) break;
    }
}

void TvlSkinDateEdit::CloseUp(bool accept) {
    if (!DroppedDown()) return;
    HWND calendar = FCalendar->Handle();
    SetWindowPos(calendar, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    FCalendar->SetVisible(false);
    for (TvlCalendarButton* b : {FCalendar->PriorYearButton(), FCalendar->PriorMonthButton(),
                                 FCalendar->NextMonthButton(), FCalendar->NextYearButton()})
        b->StopRepeat();
    if (AlphaBlend && LayeredSupported && LayeredSupported())
        SetWindowLongA(calendar, GWL_EXSTYLE, GetWindowLongA(calendar, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    if (accept) {
        FUpdating = true;
        SetOwnText(DateToText(FLocale, FCalendar->Day()));
        if (OnDateChange) OnDateChange(this);
        FUpdating = false;
    }
    // Closed because the focus went elsewhere: the focus stays there.
    if (HandleAllocated() && GetFocus() != Handle() && (GetFocus() == nullptr || GetFocus() == calendar)) {
        ::SetFocus(Handle());
    } else if (HandleAllocated() && GetFocus() == Handle()) {
        RedrawFrame();
    }
}

bool TvlSkinDateEdit::OutsideClick(const MSG& msg) const {
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN: break;
        default: return false;
    }
    HWND calendar = FCalendar->Handle();
    if (msg.hwnd == calendar || IsChild(calendar, msg.hwnd)) return false;
    // The button toggles the calendar itself.
    if (msg.hwnd == Handle() && (msg.message == WM_NCLBUTTONDOWN || msg.message == WM_NCLBUTTONDBLCLK)) return false;
    return true;
}

// ---- skin ----

void TvlSkinDateEdit::ReadElement() { FLook.ReadElement(SkinData(), SkinDataName, true); }

void TvlSkinDateEdit::SetSkinData(TvlSkinData* skinData) {
    TvlSkinElement<TEdit>::SetSkinData(skinData);
    if (skinData && !skinData->IsEmpty()) SkinChanged();
}

void TvlSkinDateEdit::SkinChanging() {
    FLook.ElementIndex = -1;
    FLook.Element = nullptr;
    FCalendar->SkinChanging();
}

void TvlSkinDateEdit::SkinChanged() {
    ReadElement();
    FBackBrush.Reset();
    FBackColour = clWindow;
    FTextColour = clWindowText;
    const TvlDataSkinEditControl* e = Element();
    if (e && FLook.Picture) {
        // The text sits on the colour at the middle of the element's client part.
        const TPixelImage& p = *FLook.Picture;
        int x = FLook.SkinRect.Left + (e->ClientRect.Left + e->ClientRect.Right) / 2;
        int y = FLook.SkinRect.Top + (e->ClientRect.Top + e->ClientRect.Bottom) / 2;
        if (x >= 0 && y >= 0 && x < p.Width && y < p.Height) {
            const uint8_t* px = p.Pixels.data() + static_cast<size_t>(y) * p.Stride() + static_cast<size_t>(x) * 3;
            FBackColour = RGB(px[2], px[1], px[0]);
        }
        FTextColour = e->FontColor;
        FBackBrush = CreateSolidBrushOwned(FBackColour);
        if (UseSkinFont) Font = TFont(e->FontName, e->FontHeight, e->FontStyle, e->FontColor);
        if (const TvlSkinData* skin = SkinData(); skin && skin->ResourceStrData())
            Font.SetCharSet(skin->ResourceStrData()->CharSet);
        FontChanged();
    }
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
    // The calendar is a window of its own, outside the form's controls: the
    // notice reaches it through the edit.
    if (FCalendar->SkinData() == SkinData() && SkinData()) FCalendar->SkinChanged();
}

TRect TvlSkinDateEdit::ButtonRect() const {
    int w = Width(), h = Height();
    if (HandleAllocated()) {
        RECT r;
        GetWindowRect(Handle(), &r);
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    const TvlDataSkinEditControl* e = Element();
    if (e && FLook.Picture && !e->ButtonRect.IsEmpty()) {
        TvlSkinLook look = FLook;
        int aw = w, ah = h;
        look.AdjustToSkinSize(aw, ah);
        return look.MapSkinRect(e->ButtonRect, w, h);
    }
    int size = std::max(12, h - 4);
    return {w - 2 - size, 2, w - 2, h - 2};
}

TvlSkinDateEdit::TInsets TvlSkinDateEdit::FrameInsets(int width, int height) const {
    TRect button = ButtonRect();
    const TvlDataSkinEditControl* e = Element();
    if (!e || !FLook.Picture) return {2, 2, width - button.Left, 2};
    TvlSkinLook look = FLook;
    int w = width, h = height;
    look.AdjustToSkinSize(w, h);
    TRect client = look.ScaledClientRect;
    // The frame gives way where the text would not fit between its edges.
    int room = std::max(1, (height - Font.Height() - 2) / 2);
    int top = std::clamp(client.Top, 1, room), bottom = std::clamp(height - client.Bottom, 1, room);
    return {std::max(client.Left, 1), top, width - std::min(client.Right, button.Left), bottom};
}

void TvlSkinDateEdit::ComposeFrame(TvlFBitmap& bitmap, int width, int height) {
    ReadElement();
    bitmap.SetSize(width, height);
    TRect button = ButtonRect();
    const TvlDataSkinEditControl* e = Element();
    if (e && FLook.Picture) {
        TvlSkinLook look = FLook;
        int w = width, h = height;
        look.AdjustToSkinSize(w, h);
        bool active = (HandleAllocated() && GetFocus() == Handle()) || FMouseOverFrame;
        const TRect& source = active && !e->ActiveSkinRect.IsEmpty() ? e->ActiveSkinRect : look.SkinRect;
        look.DrawSkinPicture(bitmap, look.Picture, source, width, height);
        if (bitmap.Width() != width || bitmap.Height() != height) {
            TvlFBitmap fitted(width, height);
            StretchPiece(fitted, TRect{0, 0, width, height}, bitmap.View(), TRect{0, 0, bitmap.Width(), bitmap.Height()});
            bitmap = std::move(fitted);
        }
        const TRect& s = look.SkinRect;
        TRect normal{s.Left + e->ButtonRect.Left, s.Top + e->ButtonRect.Top, s.Left + e->ButtonRect.Right,
                     s.Top + e->ButtonRect.Bottom};
        const TRect& state = !Enabled()   ? e->UnEnabledButtonRect
                             : FButtonDown ? e->DownButtonRect
                             : FButtonHot  ? e->ActiveButtonRect
                                           : normal;
        StretchPiece(bitmap, button, PictureView(*look.Picture), state.IsEmpty() ? normal : state);
        return;
    }
    TCanvas canvas(bitmap.Canvas());
    canvas.FillRect(RECT{0, 0, width, height}, clWindow);
    canvas.Edge(RECT{0, 0, width, height}, false);
    RECT r{button.Left, button.Top, button.Right, button.Bottom};
    DrawFrameControl(bitmap.Canvas(), &r, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (FButtonDown ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE));
    GdiFlush();
}

void TvlSkinDateEdit::RedrawFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

// ---- messages ----

void TvlSkinDateEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_GETDLGCODE:
            TvlSkinElement<TEdit>::WndProc(m);
            // While the calendar is open Enter and Escape are the calendar's.
            if (DroppedDown()) m.Result |= DLGC_WANTALLKEYS;
            break;
        case WM_PASTE: PasteText(); break;
        case WM_CUT: {
            SendMessageA(Handle(), WM_COPY, 0, 0);
            DWORD start = 0, end = 0;
            SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            BlankRange(static_cast<int>(start), static_cast<int>(end));
            break;
        }
        case WM_CLEAR: {
            DWORD start = 0, end = 0;
            SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            BlankRange(static_cast<int>(start), static_cast<int>(end));
            break;
        }
        case WM_CANCELMODE:
            if (DroppedDown()) CloseUp(false);
            TvlSkinElement<TEdit>::WndProc(m);
            break;
        case TM_INVALIDDATE: ShowInvalidDate(Text()); break;
        case WM_SETFOCUS:
            TvlSkinElement<TEdit>::WndProc(m);
            RedrawFrame();
            break;
        default: TvlSkinElement<TEdit>::WndProc(m); break;
    }
}

void TvlSkinDateEdit::OnKey(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    switch (m.Msg) {
        case WM_CHAR: {
            char c = static_cast<char>(m.WParam);
            if (c == VK_BACK) {
                Backspace();
                return;
            }
            if (c == VK_RETURN || c == VK_ESCAPE || c == VK_TAB) return;
            if (OnKeyPress) OnKeyPress(this, c);
            // Control characters (the clipboard shortcuts among them) type nothing.
            if (c == 0 || static_cast<unsigned char>(c) < 32) return;
            TypeChar(c);
            return;
        }
        case WM_SYSKEYDOWN:
            if (key == VK_DOWN || key == VK_UP) {
                if (DroppedDown())
                    CloseUp(false);
                else if (key == VK_DOWN)
                    DropDown();
                m.Result = 0;
                return;
            }
            break;
        case WM_KEYDOWN:
            if (DroppedDown()) {
                if (key == VK_ESCAPE) {
                    CloseUp(false);
                    return;
                }
                // Arrows, Page Up and Down and Enter work the calendar.
                if (FCalendar->NavigationKey(key)) return;
            }
            if (key == VK_DELETE) {
                DeleteAtCaret();
                CloseUp(false);
                return;
            }
            TvlSkinElement<TEdit>::OnKey(m);
            CloseUp(false);
            return;
        default: break;
    }
    TvlSkinElement<TEdit>::OnKey(m);
}

void TvlSkinDateEdit::OnKillFocus(TMessage& m) {
    TvlSkinElement<TEdit>::OnKillFocus(m);
    HWND to = reinterpret_cast<HWND>(m.WParam);
    if (DroppedDown()) {
        if (to != FCalendar->Handle()) CloseUp(false);
    } else if (FTodayDefault) {
        FUpdating = true;
        SetOwnText(DateToText(FLocale, FCalendar->Day()));
        FUpdating = false;
    }
    RedrawFrame();
}

void TvlSkinDateEdit::OnNcCalcSize(TMessage& m) {
    RECT* r = reinterpret_cast<RECT*>(m.LParam);
    if (m.WParam) r = &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0];
    ReadElement();
    TInsets in = FrameInsets(r->right - r->left, r->bottom - r->top);
    r->left += in.L;
    r->top += in.T;
    r->right = std::max(r->left, r->right - in.R);
    r->bottom = std::max(r->top, r->bottom - in.B);
    m.Result = 0;
}

void TvlSkinDateEdit::OnNcPaint(TMessage& m) {
    RECT window;
    GetWindowRect(Handle(), &window);
    int w = window.right - window.left, h = window.bottom - window.top;
    TvlFBitmap bitmap;
    if (w > 0 && h > 0) ComposeFrame(bitmap, w, h);
    if (!bitmap.Empty()) {
        TInsets in = FrameInsets(w, h);
        HDC dc = GetWindowDC(Handle());
        ExcludeClipRect(dc, in.L, in.T, w - in.R, h - in.B);
        bitmap.DrawTo(dc, 0, 0);
        ReleaseDC(Handle(), dc);
    }
    m.Result = 0;
}

void TvlSkinDateEdit::OnNcHitTest(TMessage& m) {
    TvlSkinElement<TEdit>::OnNcHitTest(m);
    if (m.Result != HTCLIENT) m.Result = HTBORDER;
}

void TvlSkinDateEdit::OnNcMouse(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    RECT window;
    GetWindowRect(Handle(), &window);
    bool onButton = Inside(ButtonRect(), p.x - window.left, p.y - window.top);
    switch (m.Msg) {
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (onButton && Enabled()) {
                if (GetFocus() != Handle()) ::SetFocus(Handle());
                FButtonDown = true;
                SetCapture(Handle());
                RedrawFrame();
                m.Result = 0;
                return;
            }
            break;
        case WM_NCMOUSEMOVE:
            if (!FMouseOverFrame) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_NONCLIENT, Handle(), 0};
                TrackMouseEvent(&tme);
            }
            if (onButton != FButtonHot || !FMouseOverFrame) {
                FButtonHot = onButton;
                FMouseOverFrame = true;
                RedrawFrame();
            }
            break;
        case WM_NCMOUSELEAVE:
            FButtonHot = FMouseOverFrame = false;
            RedrawFrame();
            break;
        default: break;
    }
    TvlSkinElement<TEdit>::OnNcMouse(m);
}

void TvlSkinDateEdit::OnMouse(TMessage& m) {
    if (FButtonDown && (m.Msg == WM_LBUTTONUP || m.Msg == WM_MOUSEMOVE)) {
        if (m.Msg == WM_MOUSEMOVE) return;
        // The release over the button clicks it (client coordinates here).
        RECT window;
        GetWindowRect(Handle(), &window);
        POINT origin{0, 0};
        ClientToScreen(Handle(), &origin);
        int x = GET_X_LPARAM(m.LParam) + origin.x - window.left, y = GET_Y_LPARAM(m.LParam) + origin.y - window.top;
        bool over = Inside(ButtonRect(), x, y);
        FButtonDown = false;
        if (GetCapture() == Handle()) ReleaseCapture();
        RedrawFrame();
        if (over) ButtonClick();
        m.Result = 0;
        return;
    }
    TvlSkinElement<TEdit>::OnMouse(m);
}

void TvlSkinDateEdit::OnCaptureChanged(TMessage& m) {
    if (FButtonDown) {
        FButtonDown = false;
        RedrawFrame();
    }
    TvlSkinElement<TEdit>::OnCaptureChanged(m);
}

void TvlSkinDateEdit::ButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
}

bool TvlSkinDateEdit::OnReflected(TMessage& m) {
    if ((m.Msg == WM_CTLCOLOREDIT || m.Msg == WM_CTLCOLORSTATIC) && FBackBrush) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        const TvlDataSkinEditControl* e = Element();
        SetTextColor(dc, ColorToRGB(e && !Enabled() ? e->DisabledFontColor : FTextColour));
        SetBkColor(dc, ColorToRGB(FBackColour));
        m.Result = reinterpret_cast<LRESULT>(FBackBrush.Handle());
        return true;
    }
    return TvlSkinElement<TEdit>::OnReflected(m);
}
