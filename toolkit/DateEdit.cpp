#include "toolkit/DateEdit.h"

namespace {
std::string ApplyMask(const std::string& text) {
    std::string masked = TDateEdit::BlankText;
    size_t next = 0;
    for (char c : text) {
        while (next < masked.size() && masked[next] == '/') ++next;
        if (next >= masked.size()) break;
        if (c >= '0' && c <= '9')
            masked[next++] = c;
        else if (c == ' ')
            ++next;
    }
    return masked;
}
}  // namespace

TDateEdit::TDateEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
    : TEdit(owner, parent, left, top, width, height) {
    SetMaxLength(10);
    SetText(BlankText);
}

void TDateEdit::SetMaskedText(const std::string& text) {
    // A text already in mask form keeps its spaces where they are.
    bool formed = text.size() == 10 && text[2] == '/' && text[5] == '/';
    SetText(formed ? text : ApplyMask(text));
}

int TDateEdit::Caret() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TDateEdit::SetCaret(int pos) { SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(pos), pos); }

void TDateEdit::ClearSelection() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) return;
    std::string text = Text();
    for (DWORD i = start; i < end && i < text.size(); ++i)
        if (IsDigitPosition(static_cast<int>(i))) text[i] = ' ';
    SetText(text);
    SetCaret(static_cast<int>(start));
}

void TDateEdit::PutChar(char c) {
    ClearSelection();
    std::string text = Text();
    int pos = Caret();
    while (pos < 10 && !IsDigitPosition(pos)) ++pos;
    if (pos >= 10) return;
    text[static_cast<size_t>(pos)] = c;
    SetText(text);
    ++pos;
    while (pos < 10 && !IsDigitPosition(pos)) ++pos;
    SetCaret(pos);
}

void TDateEdit::Backspace() {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != end) {
        ClearSelection();
        return;
    }
    int pos = static_cast<int>(start) - 1;
    while (pos >= 0 && !IsDigitPosition(pos)) --pos;
    if (pos < 0) return;
    std::string text = Text();
    text[static_cast<size_t>(pos)] = ' ';
    SetText(text);
    SetCaret(pos);
}

void TDateEdit::OnKey(TMessage& m) {
    if (m.Msg == WM_CHAR) {
        if (m.WParam >= '0' && m.WParam <= '9') {
            PutChar(static_cast<char>(m.WParam));
            return;
        }
        if (m.WParam == VK_BACK) {
            Backspace();
            return;
        }
        if (m.WParam >= 32) return;  // only digits fit the mask
    }
    if (m.Msg == WM_KEYDOWN && m.WParam == VK_DELETE) {
        DWORD start = 0, end = 0;
        SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start == end) SendMessageA(Handle(), EM_SETSEL, start, start + 1);
        ClearSelection();
        return;
    }
    TEdit::OnKey(m);
}

void TDateEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_CUT:
        case WM_CLEAR: ClearSelection(); break;
        case WM_PASTE: PasteDigits(); break;
        default: TEdit::WndProc(m); break;
    }
}

void TDateEdit::PasteDigits() {
    if (!OpenClipboard(Handle())) return;
    std::string pasted;
    if (HANDLE data = GetClipboardData(CF_TEXT))
        if (auto* p = static_cast<const char*>(GlobalLock(data))) {
            pasted = p;
            GlobalUnlock(data);
        }
    CloseClipboard();
    for (char c : pasted)
        if (c >= '0' && c <= '9') PutChar(c);
}
