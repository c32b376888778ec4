#pragma once
// Actions: one command (caption, state, image, hint, shortcut and what it
// does) that several controls and menu items show and run. A client holds
// a TActionLink; every change of the action is copied to every linked
// client at once, and a client's click executes the action.
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Menus.h"

class TActionList;
class TActionLink;
class TImageList;

class TAction : public TComponent {
public:
    explicit TAction(TComponent* owner, TActionList* list = nullptr);
    ~TAction() override;

    TActionList* ActionList() const { return FList; }
    void SetActionList(TActionList* list);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);

    // What the action does, and the chance to bring its state up to date.
    TNotifyEvent OnExecute, OnUpdate;
    // Updates the action, then runs OnExecute when the action is enabled;
    // true when it ran.
    bool Execute();
    // Runs OnUpdate; true when there is one.
    bool Update();

    // The action list's image at ImageIndex; null when there is none.
    TImageList* Images() const;
    bool HasImage() const;

private:
    friend class TActionLink;
    friend class TActionList;
    void Changed();

    TActionList* FList = nullptr;
    std::string FCaption, FHint;
    bool FChecked = false, FEnabled = true, FVisible = true;
    int FImageIndex = -1;
    TShortCut FShortCut = scNone;
    std::vector<TActionLink*> FLinks;
};

// The actions of a form and the images they show.
class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;

    TImageList* Images() const { return FImages.get(); }
    void SetImages(TImageList* images);
    const std::vector<TAction*>& Actions() const { return FActions; }
    // Runs every action's OnUpdate: whenever the application's queue runs
    // empty, and when the program asks (before it shows the clients).
    void UpdateActions();

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    friend class TAction;
    TComponentRef<TImageList> FImages{this};
    std::vector<TAction*> FActions;
};

// A client's side of an action: the client is told (Changed) when it is
// linked and after every change of the action; a destroyed action leaves
// the link empty.
class TActionLink {
public:
    explicit TActionLink(std::function<void(const TAction& action)> changed) : FChanged(std::move(changed)) {}
    ~TActionLink() { SetAction(nullptr); }
    TActionLink(const TActionLink&) = delete;
    TActionLink& operator=(const TActionLink&) = delete;

    TAction* Action() const { return FAction; }
    void SetAction(TAction* action);
    // Executes the linked action; false without one.
    bool Execute() { return FAction && FAction->Execute(); }

private:
    friend class TAction;
    TAction* FAction = nullptr;
    std::function<void(const TAction&)> FChanged;
};
