#include "toolkit/Clipboard.h"

#include <cstring>

namespace {
// Open for as long as the object lives.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND owner) : FOpen(OpenClipboard(owner) != FALSE) {}
    ~TOpenClipboard() {
        if (FOpen) CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    explicit operator bool() const { return FOpen; }

private:
    bool FOpen;
};
}  // namespace

std::optional<std::string> ReadClipboardText(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
    TOpenClipboard clipboard(owner);
    if (!clipboard) return std::nullopt;
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT))
        if (auto* chars = static_cast<const char*>(GlobalLock(data))) {
            // Another program's block need not end in a zero.
            text.assign(chars, strnlen(chars, GlobalSize(data)));
            GlobalUnlock(data);
        }
    return text;
}

bool WriteClipboardText(HWND owner, const std::string& text) {
    TOpenClipboard clipboard(owner);
    if (!clipboard) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) return false;
    auto* chars = static_cast<char*>(GlobalLock(memory));
    if (!chars) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(chars, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_TEXT, memory)) return true;  // the system's from here on
    GlobalFree(memory);
    return false;
}
