// The form's shortcut handler: the main menu's shortcuts and Alt
// accelerators when no skinned menu bar shows that menu.
#include <cctype>

#include "skin/form/Lacquer.h"
#include "skin/form/vlSkinMenuBar.h"

namespace {
bool SameEvent(const MSG& a, const MSG& b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam &&
           a.time == b.time;
}

// The first shown, enabled top-level item whose caption marks `key`.
TMenuItem* AcceleratorItem(const TMenu& menu, char key) {
    key = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    for (TMenuItem* item : menu.Items())
        if (item->Visible && item->Enabled && !item->IsSeparator() && AcceleratorOf(item->Caption) == key) return item;
    return nullptr;
}
}  // namespace

bool TvlLacquer::IsShortCut(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_SYSCHAR) return false;
    HWND w = FormWindow();
    TMainMenu* menu = FMainMenu.get();
    if (!w || !menu || GetAncestor(msg.hwnd, GA_ROOT) != w) return false;
    // A shown skinned bar serves its menu itself; an open menu takes the keys.
    if (FMainMenuBar && FMainMenuBar->HandleAllocated() && IsWindowVisible(FMainMenuBar->Handle()) &&
        FMainMenuBar->MainMenu())
        return false;
    if (FMenus->InMenu() || FMenus->TrackingMenuBar()) return false;
    if (FHasLastShortCut && SameEvent(msg, FLastShortCut)) {
        FHasLastShortCut = false;
        return false;
    }
    bool handled = false;
    if (msg.message == WM_SYSCHAR) {
        if (TMenuItem* item = AcceleratorItem(*menu, static_cast<char>(msg.wParam))) {
            if (item->Count() > 0) {
                // No bar to drop from: the item's menu opens at the client area's top-left corner.
                TRect client = FrameClientRect();
                RECT wr;
                GetWindowRect(w, &wr);
                TRect anchor{wr.left + client.Left, wr.top + client.Top, wr.left + client.Left, wr.top + client.Top};
                handled = FMenus->PopupItemAt(item, anchor, false);
            } else {
                item->Click();
                handled = true;
            }
        }
    } else if (TMenuItem* item = menu->FindShortCut(ShortCut(static_cast<unsigned short>(msg.wParam), KeyShiftState()))) {
        item->Click();
        handled = true;
    }
    if (handled) {
        FLastShortCut = msg;
        FHasLastShortCut = true;
    }
    return handled;
}
