#pragma once
// Components: ownership (an owner frees what it owns), names, and free
// notification so that references to a destroyed component are cleared.
#include <functional>
#include <string>
#include <vector>

#include "core/StringList.h"

class TComponent;
class TControl;

using TNotifyEvent = std::function<void(TObject* sender)>;

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16 };
using TShiftState = unsigned;
using TKeyEvent = std::function<void(TObject* sender, unsigned short& key, TShiftState shift)>;

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

    // `other` calls Notification(this, removing) on us when it is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);
    bool Destroying() const { return FDestroying; }

protected:
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
