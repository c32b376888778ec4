// What the edit's text takes: password character, letter case, selection
// hiding and the edit mask.
#include <windows.h>

#include <algorithm>
#include <optional>

#include "skin/controls/vlSkinEdits.h"
#include "core/Property.h"
#include "toolkit/Clipboard.h"

namespace {
// Letters of the system code page too, as the platform edit turns them.
std::string InCase(std::string text, TEditCharCase charCase) {
    if (text.empty()) return text;
    DWORD n = static_cast<DWORD>(text.size());
    if (charCase == ecUpperCase) CharUpperBuffA(text.data(), n);
    if (charCase == ecLowerCase) CharLowerBuffA(text.data(), n);
    return text;
}
}  // namespace

void TvlCustomEdit::SetPasswordChar(char value) {
    if (value == FPasswordChar) return;
    bool styleChanges = (value != 0) != (FPasswordChar != 0);
    FPasswordChar = value;
    if (!HandleAllocated()) return;
    if (styleChanges) {
        RecreateWnd();
    } else {
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
        Invalidate();
    }
    if (value) SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
}

void TvlCustomEdit::SetCharCase(TEditCharCase value) {
    if (!SetIfChanged(FCharCase, value)) return;
    RecreateWnd();
    // The text there already follows the new case too.
    SetText(InCase(Text(), value));
}

void TvlCustomEdit::SetHideSelection(bool value) {
    if (SetIfChanged(FHideSelection, value)) RecreateWnd();
}

void TvlCustomEdit::SetEditMask(const std::string& mask) {
    std::string value = MaskedValue();
    FEditMaskText = mask;
    FMask = TvlEditMask(mask);
    SetEditText(value);
}

std::string TvlCustomEdit::MaskedValue() const { return FMask.Empty() ? Text() : FMask.Value(Text()); }

void TvlCustomEdit::SetEditText(const std::string& text) {
    std::string shown = FMask.Empty() ? text : FMask.Apply(text);
    SetText(InCase(shown, FCharCase));
}

void TvlCustomEdit::SetMaskedText(const std::string& display, int caret) {
    SetText(display);
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(caret), caret);
}

// The platform edit knows nothing of the mask: the characters, Delete,
// Backspace and the clipboard's text go through it here.
bool TvlCustomEdit::MaskMessage(TMessage& m) {
    // Reading the text sends the edit messages of its own: only the ones
    // the mask changes go on from here.
    bool typing = m.Msg == WM_CHAR || (m.Msg == WM_KEYDOWN && m.WParam == VK_DELETE) || m.Msg == WM_CLEAR ||
                  m.Msg == WM_CUT || m.Msg == WM_PASTE;
    if (!typing) return false;
    DWORD start = 0, end = 0;
    auto selection = [&] {
        SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    };
    std::string display = Text();
    if (static_cast<int>(display.size()) != FMask.Length()) display = FMask.Apply(display);
    switch (m.Msg) {
        case WM_CHAR: {
            char key = static_cast<char>(m.WParam);
            if (OnKeyPress) OnKeyPress(this, key);
            m.Result = 0;
            if (key == 0 || key == '\r' || key == VK_ESCAPE || key == 3 /* Ctrl+C */) {
                if (key == 3) TEdit::WndProc(m);
                return true;
            }
            selection();
            int caret = static_cast<int>(start);
            if (key == '\b') {
                if (end > start)
                    FMask.Clear(display, static_cast<int>(start), static_cast<int>(end));
                else
                    FMask.Backspace(display, caret);
                SetMaskedText(display, caret);
                return true;
            }
            if (static_cast<unsigned char>(key) < ' ') return true;
            std::string typed = display;
            FMask.Clear(typed, static_cast<int>(start), static_cast<int>(end));
            if (FMask.Type(typed, caret, key)) SetMaskedText(typed, caret);
            else MessageBeep(0);
            return true;
        }
        case WM_KEYDOWN:
            selection();
            FMask.Clear(display, static_cast<int>(start), std::max<int>(static_cast<int>(end), static_cast<int>(start) + 1));
            SetMaskedText(display, static_cast<int>(start));
            m.Result = 0;
            return true;
        case WM_CLEAR:
        case WM_CUT:
            selection();
            if (m.Msg == WM_CUT) SendMessageA(Handle(), WM_COPY, 0, 0);
            FMask.Clear(display, static_cast<int>(start), static_cast<int>(end));
            SetMaskedText(display, static_cast<int>(start));
            m.Result = 0;
            return true;
        case WM_PASTE: {
            std::optional<std::string> pasted = ReadClipboardText(Handle());
            m.Result = 0;
            if (!pasted) return true;
            selection();
            int caret = static_cast<int>(start);
            FMask.Clear(display, static_cast<int>(start), static_cast<int>(end));
            // What a place refuses (the literals of a pasted value too) is skipped.
            for (char c : *pasted) FMask.Type(display, caret, c);
            SetMaskedText(display, caret);
            return true;
        }
        default: return false;
    }
}
