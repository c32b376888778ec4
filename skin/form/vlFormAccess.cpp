#include "skin/form/vlFormAccess.h"

#include "skin/access/vlHighContrast.h"
#include "skin/controls/vlControlsAccess.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/form/Lacquer.h"
#include "skin/form/vlMessages.h"
#include "skin/form/vlSkinMDITabs.h"
#include "skin/form/vlSkinMenuBar.h"
#include "skin/form/vlSkinMenus.h"
#include "skin/widgets/vlWidgetsAccess.h"

namespace {
TvlLacquer* FrameOf(TForm* form) {
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* frame = dynamic_cast<TvlLacquer*>(form->Components(i))) return frame;
    return nullptr;
}

const char* CommandName(const TvlLacquer& frame, TvlStdCommand command) {
    switch (command) {
        case cmClose: return "Close";
        case cmMaximize: return frame.FrameWindowState() == fwsMaximized ? "Restore" : "Maximize";
        case cmMinimize: return frame.FrameWindowState() == fwsMinimized ? "Restore" : "Minimize";
        case cmSysMenu: return "System menu";
        case cmRollUp: return frame.RollUpState() ? "Roll down" : "Roll up";
        case cmMinimizeToTray: return "Minimize to tray";
        default: return nullptr;
    }
}

// The frame's caption buttons as push buttons of a title bar.
void AddTitleBar(TForm* form, TvlLacquer* frame, TvlAccessNode& node) {
    if (!form->HandleAllocated()) return;
    HWND wnd = form->Handle();
    RECT window{};
    GetWindowRect(wnd, &window);
    TvlAccessNode bar;
    bar.Role = ROLE_SYSTEM_TITLEBAR;
    bar.Name = node.Name;
    bar.Control = form;
    bar.State = node.State & STATE_SYSTEM_INVISIBLE;
    TRect client = frame->FrameClientRect();
    bar.Bounds = RECT{window.left, window.top, window.right, window.top + client.Top};
    for (const auto& object : frame->Objects()) {
        auto* button = dynamic_cast<TvlSkinStdButtonObject*>(object.get());
        if (!button) continue;
        const char* name = CommandName(*frame, button->Command);
        if (!name) continue;
        TvlAccessNode& b = bar.Add(ROLE_SYSTEM_PUSHBUTTON, name);
        b.Key = static_cast<int>(button->Command) + 1;
        b.DefaultAction = "Press";
        if (!button->Visible) b.State |= STATE_SYSTEM_INVISIBLE;
        if (!button->Enabled) b.State |= STATE_SYSTEM_UNAVAILABLE;
        if (button->Down) b.State |= STATE_SYSTEM_PRESSED;
        if (button->Active) b.State |= STATE_SYSTEM_HOTTRACKED;
        const TRect& r = button->ObjectRect;
        b.Bounds = RECT{window.left + r.Left, window.top + r.Top, window.left + r.Right, window.top + r.Bottom};
        TvlStdCommand command = button->Command;
        if (command == cmSysMenu) {
            RECT at = b.Bounds;
            b.DefaultAction = "Open";
            b.State |= STATE_SYSTEM_HASPOPUP;
            b.Action = [frame, at] { frame->PopupSystemMenuAt(TRect{at.left, at.top, at.right, at.bottom}, false); };
        } else {
            b.Action = [frame, command] { frame->RunCommand(command); };
        }
    }
    if (bar.Children.empty()) return;
    node.Children.insert(node.Children.begin(), std::move(bar));
}

// High contrast came or went: every form's frame and controls read their
// look again, the skin stepping aside or coming back.
void ReapplyLooks() {
    if (!Application) return;
    for (TForm* form : Application->Forms()) {
        RelaySkinChange(form, nullptr, true);
        if (TvlLacquer* frame = FrameOf(form)) frame->ApplySkin();
        RelaySkinChange(form, nullptr, false);
        if (form->HandleAllocated())
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

bool DescribeMenuWindow(TvlSkinPopupWindow* popup, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_MENUPOPUP;
    node.Name = popup->SourceItem ? vlStripAccelerator(popup->SourceItem->Caption) : std::string("Context");
    node.Children.clear();
    HWND wnd = popup->HandleAllocated() ? popup->Handle() : nullptr;
    for (int i = 0; i < popup->ItemCount(); ++i) {
        TvlSkinMenuItem* item = popup->Item(i);
        if (!item->MenuItem) continue;
        TMenuItem* source = item->MenuItem;
        if (item->IsSeparator()) {
            TvlAccessNode& sep = node.Add(ROLE_SYSTEM_SEPARATOR, "");
            sep.Key = i + 1;
            if (!item->Visible) sep.State |= STATE_SYSTEM_INVISIBLE;
            if (wnd)
                sep.Bounds = vlScreenRect(wnd, RECT{item->ItemBounds.Left, item->ItemBounds.Top, item->ItemBounds.Right,
                                                    item->ItemBounds.Bottom});
            continue;
        }
        TvlAccessNode& n = node.Add(ROLE_SYSTEM_MENUITEM, vlStripAccelerator(source->Caption));
        n.Key = i + 1;
        n.Shortcut = ShortCutToText(source->ShortCut);
        if (n.Shortcut.empty()) {
            char key = AcceleratorOf(source->Caption);
            if (key) n.Shortcut = std::string(1, key);
        }
        n.State = STATE_SYSTEM_FOCUSABLE;
        if (!item->Visible) n.State |= STATE_SYSTEM_INVISIBLE;
        if (!item->Enabled()) n.State |= STATE_SYSTEM_UNAVAILABLE;
        if (source->Checked) n.State |= STATE_SYSTEM_CHECKED;
        if (source->Default) n.State |= STATE_SYSTEM_DEFAULT;
        if (item->HasSubItems()) n.State |= STATE_SYSTEM_HASPOPUP;
        if (item->Highlighted()) n.State |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED;
        if (wnd)
            n.Bounds = vlScreenRect(wnd, RECT{item->ItemBounds.Left, item->ItemBounds.Top, item->ItemBounds.Right,
                                              item->ItemBounds.Bottom});
        n.DefaultAction = item->HasSubItems() ? "Open" : "Execute";
        n.Action = [popup, item] { popup->OwnerEngine->ItemClick(item); };
    }
    return true;
}

RECT BarRect(TWinControl* bar, const TRect& r) {
    RECT client{r.Left, r.Top, r.Right, r.Bottom};
    return bar->HandleAllocated() ? vlScreenRect(bar->Handle(), client) : RECT{};
}

const char* BarButtonName(TvlMenuBarCommand command) {
    switch (command) {
        case mbcClose: return "Close";
        case mbcMaximize: return "Restore";  // shown only while a child is maximized
        case mbcMinimize: return "Minimize";
        default: return "System menu";
    }
}

// The menu bar: a maximized child's caption buttons, then the top-level
// items that fit, each opening its menu (or running its command) as a
// click does.
bool DescribeMenuBar(TvlSkinMainMenuBar* bar, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_MENUBAR;
    node.Name = "Application";
    node.Children.clear();
    const auto& objects = bar->Objects();
    for (size_t i = 0; i < objects.size(); ++i) {
        TvlMenuBarObject* object = objects[i].get();
        TvlAccessNode part;
        part.Key = static_cast<int>(i) + 1;
        part.Bounds = BarRect(bar, object->ObjectRect);
        if (!object->Visible) part.State |= STATE_SYSTEM_INVISIBLE;
        if (!object->Enabled) part.State |= STATE_SYSTEM_UNAVAILABLE;
        if (object->Down) part.State |= STATE_SYSTEM_PRESSED;
        if (auto* button = dynamic_cast<TvlSkinMainMenuBarButton*>(object)) {
            part.Role = ROLE_SYSTEM_PUSHBUTTON;
            part.Name = BarButtonName(button->Command);
            part.DefaultAction = "Press";
            TvlMenuBarCommand command = button->Command;
            part.Action = [bar, command] { bar->RunButton(command); };
        } else if (auto* item = dynamic_cast<TvlSkinMainMenuBarItem*>(object); item && item->MenuItem) {
            TMenuItem* source = item->MenuItem;
            part.Role = ROLE_SYSTEM_MENUITEM;
            part.Name = vlStripAccelerator(source->Caption);
            part.Shortcut = vlShortcutOf(source->Caption);
            part.State |= STATE_SYSTEM_FOCUSABLE;
            if (!item->Shown) part.State |= STATE_SYSTEM_INVISIBLE;
            if (!source->Enabled) part.State |= STATE_SYSTEM_UNAVAILABLE;
            if (source->Count() > 0) part.State |= STATE_SYSTEM_HASPOPUP;
            if (item->Active && bar->MenuBarEngaged()) part.State |= STATE_SYSTEM_FOCUSED;
            if (item->Active) part.State |= STATE_SYSTEM_HOTTRACKED;
            part.DefaultAction = source->Count() > 0 ? "Open" : "Execute";
            part.Action = [bar, item] { bar->ItemMouseDown(item); };
        }
        node.Children.push_back(std::move(part));
    }
    return true;
}

// The MDI tab bar: a page tab per child form, the active child's selected.
bool DescribeMDITabs(TvlSkinMDITabsBar* tabs, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_PAGETABLIST;
    node.Children.clear();
    if (!tabs->Dragging()) tabs->LayoutTabs();
    for (int i = 0; i < tabs->TabCount(); ++i) {
        const TvlMDITab* tab = tabs->Tab(i);
        TvlAccessNode& part = node.Add(ROLE_SYSTEM_PAGETAB, tab->Child ? tab->Child->Caption() : std::string());
        part.Key = i + 1;
        part.State = STATE_SYSTEM_SELECTABLE | (node.State & STATE_SYSTEM_INVISIBLE);
        if (tab->Active) part.State |= STATE_SYSTEM_SELECTED;
        if (tab->Hot) part.State |= STATE_SYSTEM_HOTTRACKED;
        part.Bounds = BarRect(tabs, tab->Rect);
        part.DefaultAction = "Switch";
        POINT centre{(tab->Rect.Left + tab->Rect.Right) / 2, (tab->Rect.Top + tab->Rect.Bottom) / 2};
        part.Action = [tabs, centre] { vlClickAt(tabs, centre); };
    }
    return true;
}

bool Describe(TControl* c, TvlAccessNode& node) {
    if (auto* bar = dynamic_cast<TvlSkinMainMenuBar*>(c)) return DescribeMenuBar(bar, node);
    if (auto* tabs = dynamic_cast<TvlSkinMDITabsBar*>(c)) return DescribeMDITabs(tabs, node);
    if (auto* popup = dynamic_cast<TvlSkinPopupWindow*>(c)) return DescribeMenuWindow(popup, node);
    if (auto* label = dynamic_cast<TvlSkinMessageLabel*>(c)) {
        node.Role = ROLE_SYSTEM_STATICTEXT;
        node.Name = label->Caption();
        node.State |= STATE_SYSTEM_READONLY;
        return true;
    }
    if (auto* icon = dynamic_cast<TvlMessageImage*>(c)) {
        node.Role = ROLE_SYSTEM_GRAPHIC;
        switch (icon->IconId) {
            case 32513: node.Name = "Error"; break;  // IDI_HAND
            case 32514: node.Name = "Question"; break;
            case 32515: node.Name = "Warning"; break;
            case 32516: node.Name = "Information"; break;
            default: break;
        }
        return true;
    }
    auto* form = dynamic_cast<TForm*>(c);
    if (!form) return false;
    if (auto* box = dynamic_cast<TvlMessageForm*>(form)) {
        node.Role = ROLE_SYSTEM_DIALOG;
        if (box->Message) node.Description = box->Message->Caption();
    } else {
        node.Role = ROLE_SYSTEM_CLIENT;
    }
    if (TvlLacquer* frame = FrameOf(form)) AddTitleBar(form, frame, node);
    return true;
}
}  // namespace

void vlRegisterFormAccess() {
    static bool done = false;
    if (done) return;
    done = true;
    vlAddDescriber(Describe);
}

void vlInstallAccessibility() {
    vlRegisterControlsAccess();
    vlRegisterWidgetsAccess();
    vlRegisterFormAccess();
    vlSetHighContrastHandler(ReapplyLooks);
    vlStartAccessServer();
}
