#pragma once
// Drives the program's windows as a user would: mouse and key messages at
// control coordinates, answers to modal dialogs and message boxes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Forms.h"

namespace ui {

// Handles queued messages for at least `milliseconds`.
void Pump(int milliseconds = 0);

// A left click (button down, button up) at a point of a window's client area.
void ClickAt(HWND window, int x, int y);
void DoubleClickAt(HWND window, int x, int y);
void RightClickAt(HWND window, int x, int y);
// A left click in the middle of a control (windowless ones through their parent).
void Click(TControl* control);

// A key pressed and released in the focused control `control`.
void Key(TWinControl* control, WORD virtualKey);
// Keys seen as held down (shift state for the keys that follow) until the
// guard ends: messages posted meanwhile read them as pressed.
class TKeysHeld {
public:
    explicit TKeysHeld(std::vector<BYTE> keys);
    ~TKeysHeld();
    TKeysHeld(const TKeysHeld&) = delete;
    TKeysHeld& operator=(const TKeysHeld&) = delete;

private:
    std::vector<BYTE> FKeys;
};
// Characters typed into a control.
void Type(TWinControl* control, const std::string& text);

// Actions run, in order, on each modal window as it opens (also nested
// ones, such as a message box shown by a dialog).
void OnNextModal(std::function<void(TForm*)> action);
int PendingModalActions();

// The text of a message box, and a click on one of its buttons ("OK", "Cancel").
std::string MessageText(TForm* box);
void Answer(TForm* box, const char* buttonName);
// An action that checks a message box's text and answers it.
std::function<void(TForm*)> ExpectMessage(const std::string& text, const char* buttonName = "OK", int* seen = nullptr);

// Saves a picture of a window (frame and children) as a BMP under the test
// program's folder, in screenshots/<name>.bmp.
void SaveScreenshot(HWND window, const std::string& name);
// The same for a screen rectangle (a window with what opens over it).
void SaveScreenArea(const RECT& r, const std::string& name);

// A folder beside the test program, emptied (folders inside too), with a
// trailing backslash.
std::string FreshFolder(const std::string& name);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExistsAt(const std::string& path);

}  // namespace ui
