#pragma once
// What a form's menus need of the window they serve: the window commands of
// its system and tray menus, its caption buttons and window state, and two
// notices. The skinned frame answers it; the menus never see the frame.
#include <string>
#include <vector>

// Caption buttons and system-menu commands, bit 0 to bit 4 of the set (the
// toolkit's own form icons already use the short names at global scope).
enum class TvlBorderIcon : unsigned { biSystemMenu, biMinimize, biMaximize, biRollUp, biMinimizeToTray };
using TvlBorderIcons = unsigned;
constexpr TvlBorderIcons vlIcon(TvlBorderIcon icon) { return 1u << static_cast<unsigned>(icon); }
constexpr TvlBorderIcons vlbiSystemMenu = vlIcon(TvlBorderIcon::biSystemMenu),
                         vlbiMinimize = vlIcon(TvlBorderIcon::biMinimize),
                         vlbiMaximize = vlIcon(TvlBorderIcon::biMaximize), vlbiRollUp = vlIcon(TvlBorderIcon::biRollUp),
                         vlbiMinimizeToTray = vlIcon(TvlBorderIcon::biMinimizeToTray);

enum TvlFrameWindowState { fwsNormal, fwsMinimized, fwsMaximized };

// One item of the system or tray menu.
struct TvlSysMenuItem {
    std::string Name;      // "LQR_MINITEM", ...; empty for the separator
    std::string Caption;   // "Mi&nimize", ..., "-" for the separator
    std::string ShortCut;  // "Alt+F4" for Close
};

class TvlWindowCommands {
public:
    // The items the system menu shows now.
    virtual std::vector<TvlSysMenuItem> SystemMenuItems() const = 0;
    // The tray icon's menu: Restore, a separator, Close.
    virtual std::vector<TvlSysMenuItem> TrayMenuItems() const = 0;
    // Runs a system-menu or tray-menu item by name.
    virtual void RunSystemMenuItem(const std::string& name) = 0;
    virtual TvlBorderIcons BorderIcons() const = 0;
    virtual TvlFrameWindowState FrameWindowState() const = 0;
    virtual void SetFrameWindowState(TvlFrameWindowState state) = 0;
    // A menu opened from the form is showing (true), or the last one closed.
    virtual void MenusShown(bool shown) = 0;
    // The menu bar started (true) or stopped tracking the keyboard or mouse.
    virtual void MainMenuModeChanged(bool entered) = 0;

protected:
    ~TvlWindowCommands() = default;
};
