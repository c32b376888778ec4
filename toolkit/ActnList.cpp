#include "toolkit/ActnList.h"

#include <algorithm>

#include "core/Property.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"

// ---- TAction ----

TAction::TAction(TComponent* owner, TActionList* list) : TComponent(owner) { SetActionList(list); }

TAction::~TAction() {
    BeginDestroy();
    SetActionList(nullptr);
    // The clients keep what they show; they only lose the link.
    for (TActionLink* link : FLinks) link->FAction = nullptr;
}

void TAction::SetActionList(TActionList* list) {
    if (list == FList) return;
    if (FList) {
        auto& actions = FList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
        RemoveFreeNotification(FList);
    }
    FList = list;
    if (FList) {
        FList->FActions.push_back(this);
        FreeNotification(FList);
    }
    if (!Destroying()) Changed();
}

void TAction::Changed() {
    // A client may unlink itself while it is told: walk a copy.
    std::vector<TActionLink*> links = FLinks;
    for (TActionLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end() && link->FChanged) link->FChanged(*this);
}

void TAction::SetCaption(const std::string& v) {
    if (SetIfChanged(FCaption, v)) Changed();
}

void TAction::SetChecked(bool v) {
    if (SetIfChanged(FChecked, v)) Changed();
}

void TAction::SetEnabled(bool v) {
    if (SetIfChanged(FEnabled, v)) Changed();
}

void TAction::SetVisible(bool v) {
    if (SetIfChanged(FVisible, v)) Changed();
}

void TAction::SetImageIndex(int v) {
    if (SetIfChanged(FImageIndex, v)) Changed();
}

void TAction::SetHint(const std::string& v) {
    if (SetIfChanged(FHint, v)) Changed();
}

void TAction::SetShortCut(TShortCut v) {
    if (SetIfChanged(FShortCut, v)) Changed();
}

bool TAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

bool TAction::Execute() {
    Update();
    if (!FEnabled || !OnExecute) return false;
    OnExecute(this);
    return true;
}

TImageList* TAction::Images() const { return FList ? FList->Images() : nullptr; }

bool TAction::HasImage() const {
    TImageList* images = Images();
    return images && FImageIndex >= 0 && FImageIndex < images->Count();
}

// ---- TActionList ----

TActionList::TActionList(TComponent* owner) : TComponent(owner) {
    AddIdleWork(this, [this] { UpdateActions(); });
}

TActionList::~TActionList() {
    RemoveIdleWork(this);
    BeginDestroy();
    std::vector<TAction*> actions = FActions;
    for (TAction* action : actions) action->SetActionList(nullptr);
}

void TActionList::SetImages(TImageList* images) {
    FImages.Set(images);
    for (TAction* action : FActions) action->Changed();
}

void TActionList::UpdateActions() {
    for (TAction* action : std::vector<TAction*>(FActions)) action->Update();
}

void TActionList::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (removing && FImages.Removed(component))
        for (TAction* action : FActions) action->Changed();
}

// ---- TActionLink ----

void TActionLink::SetAction(TAction* action) {
    if (action == FAction) return;
    if (FAction) {
        auto& links = FAction->FLinks;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    FAction = action;
    if (!FAction) return;
    FAction->FLinks.push_back(this);
    if (FChanged) FChanged(*FAction);
}
