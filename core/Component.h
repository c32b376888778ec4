#pragma once
// Components: ownership (an owner frees what it owns), names, and free
// notification so that references to a destroyed component are cleared.
// Portable: the skin data components are components too.
#include <string>
#include <vector>

#include "core/StringList.h"

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    std::string Name;
    int Tag = 0;

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int i) const { return FComponents.at(i); }
    TComponent* FindComponent(const std::string& name) const;

    // `other` calls Notification(other, true) on us when it is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);
    bool Destroying() const { return FDestroying; }

protected:
    // Told when a component we asked about (or own) goes away; clear every
    // reference to it here.
    virtual void Notification(TComponent* component, bool removing) {}
    void BeginDestroy() { FDestroying = true; }

private:
    void InsertComponent(TComponent* c) { FComponents.push_back(c); }
    void RemoveComponent(TComponent* c);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FNotifies;  // components told when we go away
    bool FDestroying = false;
};

// Holds a reference to another component and clears it when that one is
// destroyed; the holder is told through its Notification as well.
template <class T>
class TComponentRef {
public:
    explicit TComponentRef(TComponent* holder) : FHolder(holder) {}
    TComponentRef(const TComponentRef&) = delete;
    TComponentRef& operator=(const TComponentRef&) = delete;
    T* get() const { return FTarget; }
    operator T*() const { return FTarget; }
    T* operator->() const { return FTarget; }
    void Set(T* target) {
        if (FTarget == target) return;
        if (FTarget) FHolder->RemoveFreeNotification(FTarget);
        FTarget = target;
        if (FTarget) FHolder->FreeNotification(FTarget);
    }
    // Call from the holder's Notification: true when this was the reference.
    bool Removed(TComponent* component) {
        if (!FTarget || static_cast<TComponent*>(FTarget) != component) return false;
        FTarget = nullptr;
        return true;
    }

private:
    TComponent* FHolder;
    T* FTarget = nullptr;
};
