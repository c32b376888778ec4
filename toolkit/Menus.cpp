#include "toolkit/Menus.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "toolkit/ActnList.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Controls.h"

// ---- Shortcut texts ----

namespace {
struct KeyName {
    unsigned short Key;
    const char* Name;
};
// The names the platform's menus use for the keys that are not a letter,
// digit or function key.
const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},  {VK_END, "End"},      {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},   {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string KeyText(unsigned short key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const KeyName& k : kKeyNames)
        if (k.Key == key) return k.Name;
    return {};
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}
}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty()) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    return text + key;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut modifiers = 0;
    std::string rest = text;
    for (;;) {
        size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        std::string word = rest.substr(0, plus);
        if (SameText(word, "Shift"))
            modifiers |= scShift;
        else if (SameText(word, "Ctrl"))
            modifiers |= scCtrl;
        else if (SameText(word, "Alt"))
            modifiers |= scAlt;
        else
            return scNone;
        rest = rest.substr(plus + 1);
    }
    for (unsigned short key = 1; key < 0xFF; ++key)
        if (std::string name = KeyText(key); !name.empty() && SameText(name, rest))
            return static_cast<TShortCut>(key | modifiers);
    return scNone;
}

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* owner, const std::string& caption) : TComponent(owner), Caption(caption) {}

TMenuItem::~TMenuItem() {
    BeginDestroy();
    if (FParent) FParent->Remove(this);
    for (TMenuItem* child : FItems) child->FParent = nullptr;
}

void TMenuItem::Click() {
    if (!Enabled) return;
    if (OnClick)
        OnClick(this);
    else if (FActionLink)
        FActionLink->Execute();
}

TAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TAction* action) {
    if (!FActionLink)
        FActionLink = std::make_unique<TActionLink>([this](const TAction& a) {
            Caption = a.Caption();
            Enabled = a.Enabled();
            Visible = a.Visible();
            Checked = a.Checked();
            ImageIndex = a.ImageIndex();
            ShortCut = a.ShortCut();
            Hint = a.Hint();
        });
    FActionLink->SetAction(action);
}

TMenuItem* TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
    return item;
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->FParent) item->FParent->Remove(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParent = nullptr;
}

void TMenuItem::Clear() {
    std::vector<TMenuItem*> items;
    items.swap(FItems);
    for (TMenuItem* item : items) {
        item->FParent = nullptr;
        if (item->Owner() == this) delete item;
    }
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->FParent) item = item->FParent;
    return item->FMenu;
}

// ---- TMenu ----

TMenu::TMenu(TComponent* owner) : TComponent(owner), FRoot(new TMenuItem(this, "")) { FRoot->FMenu = this; }

void TMenu::SetImages(TImageList* images) {
    if (FImages) RemoveFreeNotification(FImages);
    FImages = images;
    if (FImages) FreeNotification(FImages);
}

void TMenu::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (removing && component == FImages) FImages = nullptr;
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
    if (shortCut == scNone) return nullptr;
    std::function<TMenuItem*(const TMenuItem*)> find = [&](const TMenuItem* parent) -> TMenuItem* {
        for (TMenuItem* item : parent->Items()) {
            if (!item->Visible || !item->Enabled) continue;
            if (item->ShortCut == shortCut) return item;
            if (TMenuItem* found = find(item)) return found;
        }
        return nullptr;
    };
    return find(FRoot);
}

// ---- TPopupMenu ----

namespace {
// The top-level window of the first windowed control among the owners.
HWND OwnerWindow(const TComponent* menu) {
    for (TComponent* c = menu->Owner(); c; c = c->Owner())
        if (auto* control = dynamic_cast<TWinControl*>(c))
            if (TWinControl* top = control->TopLevel()) return top->Handle();
    return GetActiveWindow();
}

// The platform's menu for the items, with ids that index `all`.
HMENU BuildPlatformMenu(const TMenuItem* parent, std::vector<TMenuItem*>& all) {
    HMENU menu = CreatePopupMenu();
    for (TMenuItem* item : parent->Items()) {
        if (!item->Visible) continue;
        if (item->IsSeparator()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item->Enabled ? 0 : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0);
        std::string text = item->Caption;
        if (item->ShortCut != scNone) text += "\t" + ShortCutToText(item->ShortCut);
        if (item->Count() > 0) {
            AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPlatformMenu(item, all)),
                        text.c_str());
        } else {
            all.push_back(item);
            AppendMenuA(menu, flags, all.size(), text.c_str());
        }
    }
    return menu;
}
}  // namespace

TMenuItem* TPopupMenu::DefaultItem() const {
    for (TMenuItem* item : Items())
        if (item->Default) return item;
    return nullptr;
}

void TPopupMenu::Notification(TComponent* component, bool removing) {
    TMenu::Notification(component, removing);
    if (removing) FPopupComponent.Removed(component);
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    if (Presenter) {
        Presenter(this, x, y);
        return;
    }
    std::vector<TMenuItem*> all;
    HMENU menu = BuildPlatformMenu(RootItem(), all);
    HWND owner = OwnerWindow(this);
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    if (chosen > 0 && chosen <= all.size()) all[chosen - 1]->Click();
}
