#include "skin/widgets/vlSkinDateEdit.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>

#include "core/WindowServices.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlUtils.h"
#include "toolkit/Clipboard.h"

namespace {
// Posted to the edit: the typed text names no day.
constexpr UINT TM_INVALIDDATE = WM_APP + 0x3E11;

SYSTEMTIME Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

}  // namespace

TvlSkinDateEdit::TvlSkinDateEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TvlSkinEdit(owner, parent, left, top, width, height), FTimeOfDay(Now()) {
    SetButtonMode(true);
    FCalendar = new TvlSkinPopupMonthCalendar(this, this);
    FCalendar->SetBounds(0, 0, 200, 150);
    FCalendar->OnNumberClick = [this](TObject*) { CloseUp(true); };
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

void TvlSkinDateEdit::SetDateTime(const SYSTEMTIME& dateAndTime) {
    FTimeOfDay = dateAndTime;
    SetDate(TvlDay{dateAndTime.wYear, dateAndTime.wMonth, dateAndTime.wDay});
}

SYSTEMTIME TvlSkinDateEdit::Date() const {
    SYSTEMTIME date = FCalendar->Date();
    date.wHour = FTimeOfDay.wHour;
    date.wMinute = FTimeOfDay.wMinute;
    date.wSecond = FTimeOfDay.wSecond;
    date.wMilliseconds = FTimeOfDay.wMilliseconds;
    return date;
}

void TvlSkinDateEdit::SetTodayDefault(bool value) {
    FTodayDefault = value;
    if (value) SetDateTime(Now());
}

void TvlSkinDateEdit::CommandNotify(WORD code) {
    TvlSkinEdit::CommandNotify(code);
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

bool TvlSkinDateEdit::BlankSelection(int& caret) {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    caret = static_cast<int>(start);
    if (end <= start) return false;
    BlankRange(static_cast<int>(start), static_cast<int>(end));
    return true;
}

void TvlSkinDateEdit::Backspace() {
    int caret = 0;
    if (BlankSelection(caret)) return;
    int pos = caret - 1;
    while (pos >= 0 && !Editable(pos)) --pos;
    if (pos < 0) return;
    BlankRange(pos, pos + 1);
}

void TvlSkinDateEdit::DeleteAtCaret() {
    int caret = 0;
    if (BlankSelection(caret)) return;
    int pos = caret;
    while (pos < static_cast<int>(FKinds.size()) && !Editable(pos)) ++pos;
    if (pos >= static_cast<int>(FKinds.size())) return;
    BlankRange(pos, pos + 1);
    SetCaret(caret);
}

void TvlSkinDateEdit::PasteText() {
    for (char c : ReadClipboardText(Handle()).value_or(std::string())) {
        if (c == FLocale.Separator) continue;
        char key = c;
        if (OnKeyPress) OnKeyPress(this, key);
        if (key) TypeChar(key);
    }
}

// ---- drop-down ----

// Below the edit, left-aligned with it; above it when the work area of the
// edit's monitor ends first; always inside that work area, so a drop-down
// near a monitor's edge or a task bar never opens partly off screen.
POINT TvlSkinDateEdit::DropDownPlace(const RECT& edit, int width, int height, const RECT& work) {
    POINT at{edit.left, edit.bottom};
    if (at.y + height > work.bottom && edit.top - height >= work.top) at.y = edit.top - height;
    at.y = std::max<LONG>(work.top, std::min<LONG>(at.y, work.bottom - height));
    at.x = std::max<LONG>(work.left, std::min<LONG>(at.x, work.right - width));
    return at;
}

void TvlSkinDateEdit::DropDown() {
    if (DroppedDown()) return;
    RECT edit;
    GetWindowRect(Handle(), &edit);
    int height = FCalendar->Height();
    RECT work = Service<TMonitorAreas>().MonitorArea(Handle(), true);
    POINT at = DropDownPlace(edit, FCalendar->Width(), height, work);
    FCalendar->HandleNeeded();
    HWND calendar = FCalendar->Handle();
    bool layered = AlphaBlend && SupportsLayeredWindows();
    if (layered) {
        SetWindowLongA(calendar, GWL_EXSTYLE, GetWindowLongA(calendar, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowAlpha(calendar, 0);
    }
    FCalendar->SetSkinData(SkinData());
    FCalendar->SetBounds(at.x, at.y, FCalendar->Width(), height);
    // Above every window while open, as a drop-down list is: its owner
    // coming forward again must not cover it.
    SetWindowPos(calendar, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
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
    if (AlphaBlend && SupportsLayeredWindows())
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

void TvlSkinDateEdit::SkinChanging() {
    TvlSkinEdit::SkinChanging();
    FCalendar->SkinChanging();
}

void TvlSkinDateEdit::SkinChanged() {
    TvlSkinEdit::SkinChanged();
    // The calendar is a window of its own, outside the form's controls: the
    // notice reaches it through the edit.
    if (FCalendar->SkinData() == SkinData() && SkinData()) FCalendar->SkinChanged();
}

void TvlSkinDateEdit::RedrawFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

// ---- messages ----

void TvlSkinDateEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_GETDLGCODE:
            TvlSkinEdit::WndProc(m);
            // While the calendar is open Enter and Escape are the calendar's.
            if (DroppedDown()) m.Result |= DLGC_WANTALLKEYS;
            break;
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_CHAR:
            // The mask does the editing; a read-only date changes by no key.
            if (ReadOnly) {
                m.Result = 0;
                break;
            }
            if (m.Msg == WM_CHAR) {
                OnKey(m);
                break;
            }
            if (m.Msg == WM_PASTE) {
                PasteText();
                break;
            }
            if (m.Msg == WM_CUT) SendMessageA(Handle(), WM_COPY, 0, 0);
            {
                DWORD start = 0, end = 0;
                SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                BlankRange(static_cast<int>(start), static_cast<int>(end));
            }
            break;
        case WM_CANCELMODE:
            if (DroppedDown()) CloseUp(false);
            TvlSkinEdit::WndProc(m);
            break;
        case TM_INVALIDDATE: ShowInvalidDate(Text()); break;
        case WM_SETFOCUS:
            TvlSkinEdit::WndProc(m);
            RedrawFrame();
            break;
        default: TvlSkinEdit::WndProc(m); break;
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
            TvlSkinEdit::OnKey(m);
            CloseUp(false);
            return;
        default: break;
    }
    TvlSkinEdit::OnKey(m);
}

void TvlSkinDateEdit::OnKillFocus(TMessage& m) {
    TvlSkinEdit::OnKillFocus(m);
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
