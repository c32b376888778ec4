#include "tests/win/support/UiDriver.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <iterator>
#include <utility>

#include "skin/form/vlMessages.h"
#include "toolkit/StdCtrls.h"

namespace ui {
namespace {

std::deque<std::function<void(TForm*)>>& Pending() {
    static std::deque<std::function<void(TForm*)>> actions;
    return actions;
}

const char* const kHandledProp = "UiDriverHandled";

TForm* NewModalForm() {
    if (!Application) return nullptr;
    const auto& forms = Application->Forms();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        TForm* f = *it;
        if (f->IsModal() && f->Handle() && IsWindowVisible(f->Handle()) && IsWindowEnabled(f->Handle()) &&
            !GetPropA(f->Handle(), kHandledProp))
            return f;
    }
    return nullptr;
}

void CALLBACK WatchModal(HWND, UINT, UINT_PTR, DWORD) {
    if (Pending().empty()) return;
    TForm* form = NewModalForm();
    if (!form) return;
    SetPropA(form->Handle(), kHandledProp, reinterpret_cast<HANDLE>(1));
    auto action = std::move(Pending().front());
    Pending().pop_front();
    action(form);
}

void EnsureWatcher() {
    static UINT_PTR timer = 0;
    if (!timer) timer = SetTimer(nullptr, 0, 15, &WatchModal);
}

// Lets activation and focus changes that are still queued settle, so that
// they cannot take the capture or focus from the click or key that follows.
void Settle(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    if (top && GetActiveWindow() != top && IsWindowEnabled(top)) SetActiveWindow(top);
    Application->ProcessMessages();
}

std::string ExeFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}
}  // namespace

void Pump(int milliseconds) {
    EnsureWatcher();
    DWORD start = GetTickCount();
    do {
        Application->ProcessMessages();
        if (milliseconds > 0) Sleep(2);
    } while (static_cast<int>(GetTickCount() - start) < milliseconds);
    Application->ProcessMessages();
}

void ClickAt(HWND window, int x, int y) {
    EnsureWatcher();
    Settle(window);
    LPARAM at = MAKELPARAM(x, y);
    // The release is queued first: controls that track the mouse after a
    // press wait for it in their own loop.
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pump();
}

void DoubleClickAt(HWND window, int x, int y) {
    ClickAt(window, x, y);
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    Pump();
}

void RightClickAt(HWND window, int x, int y) {
    EnsureWatcher();
    Settle(window);
    LPARAM at = MAKELPARAM(x, y);
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(window, WM_RBUTTONUP, 0, at);
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, at);
    Pump();
}

void Click(TControl* control) {
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        RECT r;
        GetClientRect(w->Handle(), &r);
        ClickAt(w->Handle(), r.right / 2, r.bottom / 2);
    } else {
        ClickAt(control->Parent()->Handle(), control->Left() + control->Width() / 2,
                control->Top() + control->Height() / 2);
    }
}

void Key(TWinControl* control, WORD virtualKey) {
    EnsureWatcher();
    Settle(control->Handle());
    SetFocus(control->Handle());
    HWND target = GetFocus() ? GetFocus() : control->Handle();
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
    Pump();
}

TKeysHeld::TKeysHeld(std::vector<BYTE> keys) : FKeys(std::move(keys)) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    for (BYTE k : FKeys) state[k] = 0x80;
    SetKeyboardState(state);
}

TKeysHeld::~TKeysHeld() {
    BYTE state[256] = {};
    GetKeyboardState(state);
    for (BYTE k : FKeys) state[k] = 0;
    SetKeyboardState(state);
}

void Type(TWinControl* control, const std::string& text) {
    SetFocus(control->Handle());
    for (char c : text) PostMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    Pump();
}

void OnNextModal(std::function<void(TForm*)> action) {
    EnsureWatcher();
    Pending().push_back(std::move(action));
}

int PendingModalActions() { return static_cast<int>(Pending().size()); }

std::string MessageText(TForm* box) {
    auto* message = dynamic_cast<TvlMessageForm*>(box);
    return message && message->Message ? message->Message->Caption() : std::string("<not a message box>");
}

void Answer(TForm* box, const char* buttonName) {
    auto* button = dynamic_cast<TWinControl*>(box->FindComponent(buttonName));
    ASSERT_NE(button, nullptr) << "no button " << buttonName;
    Click(button);
}

std::function<void(TForm*)> ExpectMessage(const std::string& text, const char* buttonName, int* seen) {
    return [text, buttonName, seen](TForm* box) {
        EXPECT_EQ(MessageText(box), text);
        if (seen) ++*seen;
        Answer(box, buttonName);
    };
}

namespace {
// Copies `r` of the window's (or, with null, the screen's) device context
// into screenshots/<name>.bmp.
void SavePicture(HWND window, const RECT& r, int x, int y, const std::string& name) {
    TBitmap picture(r.right - r.left, r.bottom - r.top);
    HDC dc = GetWindowDC(window);
    BitBlt(picture.DC(), 0, 0, picture.Width(), picture.Height(), dc, x, y, SRCCOPY);
    ReleaseDC(window, dc);
    std::string folder = ExeFolder() + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    picture.SaveToBmpFile(folder + name + ".bmp");
}
}  // namespace

void SaveScreenshot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Pump(50);
    RECT r;
    GetWindowRect(window, &r);
    SavePicture(window, r, 0, 0, name);
}

void SaveScreenArea(const RECT& r, const std::string& name) {
    Pump(50);
    SavePicture(nullptr, r, r.left, r.top, name);
}

namespace {
// Everything inside `folder` (with its trailing backslash), folders too.
void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName, path = folder + name;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileA(path.c_str());
        } else if (name != "." && name != "..") {
            EmptyFolder(path + "\\");
            RemoveDirectoryA(path.c_str());
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}
}  // namespace

std::string FreshFolder(const std::string& name) {
    std::string base = ExeFolder() + "testdata\\";
    CreateDirectoryA(base.c_str(), nullptr);
    std::string folder = base + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    EmptyFolder(folder);
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExistsAt(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace ui
