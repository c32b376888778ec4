#pragma once
// Menus as data: items with captions and click events, shown as a popup.
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

class TMenuItem : public TComponent {
public:
    TMenuItem(TComponent* owner, const std::string& caption);
    std::string Caption;  // "-" is a separator
    bool Enabled = true;
    bool Visible = true;
    TNotifyEvent OnClick;
    bool IsSeparator() const { return Caption == "-"; }
    void Click();
};

class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<TMenuItem*> Items;
    TMenuItem* Add(TMenuItem* item) {
        Items.push_back(item);
        return item;
    }
    TNotifyEvent OnPopup;
    // Shows the menu at screen coordinates, over the window of the control
    // that owns the menu, and runs the chosen item.
    void Popup(int x, int y);

    // When set, Popup calls it instead of showing the menu (tests answer the
    // menu without a modal menu loop).
    std::function<void(TPopupMenu* menu, int x, int y)> Presenter;
};
