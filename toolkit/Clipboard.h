#pragma once
// Plain text (CF_TEXT) on the system clipboard. The clipboard is opened for
// the owner window, used and closed again before these return.
#include <windows.h>

#include <optional>
#include <string>

// The clipboard's text; none when it holds no text or cannot be opened
// (another program has it open).
std::optional<std::string> ReadClipboardText(HWND owner);
// Replaces the clipboard's contents with the text; false when the clipboard
// cannot be opened or the text not stored.
bool WriteClipboardText(HWND owner, const std::string& text);
