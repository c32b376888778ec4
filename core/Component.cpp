#include "core/Component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    FDestroying = true;
    // Tell everyone holding a reference, then free what we own (last first).
    std::vector<TComponent*> notifies;
    notifies.swap(FNotifies);
    for (TComponent* c : notifies) {
        c->Notification(this, true);
        auto& back = c->FNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : FComponents)
        if (c->Name == name) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(other->FNotifies.begin(), other->FNotifies.end(), this) == other->FNotifies.end())
        other->FNotifies.push_back(this);
    if (std::find(FNotifies.begin(), FNotifies.end(), other) == FNotifies.end()) FNotifies.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    other->FNotifies.erase(std::remove(other->FNotifies.begin(), other->FNotifies.end(), this), other->FNotifies.end());
    FNotifies.erase(std::remove(FNotifies.begin(), FNotifies.end(), other), FNotifies.end());
}

void TComponent::RemoveComponent(TComponent* c) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), c), FComponents.end());
}
