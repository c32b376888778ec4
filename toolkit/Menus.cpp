#include "toolkit/Menus.h"

#include <windows.h>

#include "toolkit/Forms.h"

std::function<void(TPopupMenu*, int, int)> TPopupMenu::PopupHook;

TMenuItem::TMenuItem(TComponent* owner, const std::string& caption) : TComponent(owner), Caption(caption) {}

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    if (PopupHook) {
        PopupHook(this, x, y);
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
    HWND owner = Application && Application->MainForm ? Application->MainForm->Handle() : GetActiveWindow();
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= Items.size()) Items[chosen - 1]->Click();
}
