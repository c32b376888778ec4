#include "toolkit/Menus.h"

#include <windows.h>

#include "toolkit/Controls.h"

namespace {
// The top-level window of the first windowed control among the owners.
HWND OwnerWindow(const TComponent* menu) {
    for (TComponent* c = menu->Owner(); c; c = c->Owner())
        if (auto* control = dynamic_cast<TWinControl*>(c))
            if (TWinControl* top = control->TopLevel()) return top->Handle();
    return GetActiveWindow();
}
}  // namespace

TMenuItem::TMenuItem(TComponent* owner, const std::string& caption) : TComponent(owner), Caption(caption) {}

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    if (Presenter) {
        Presenter(this, x, y);
        return;
    }
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < Items.size(); ++i) {
        TMenuItem* item = Items[i];
        if (!item->Visible) continue;
        if (item->IsSeparator())
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING | (item->Enabled ? 0 : MF_GRAYED), i + 1, item->Caption.c_str());
    }
    HWND owner = OwnerWindow(this);
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= Items.size()) Items[chosen - 1]->Click();
}
