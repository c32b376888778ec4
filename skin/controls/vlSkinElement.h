#pragma once
// What every skinned control carries: the name of its skin element and the
// skin data it reads it from, and the two calls by which the skin relay
// (vlSkinRelay.h) passes a skin change on to it. The skin data reference is cleared
// when the skin data is destroyed; the control then draws its plain look.
#include <string>

#include "core/Component.h"
#include "skin/access/vlHighContrast.h"
#include "skin/data/vlSkinData.h"

class TControl;

// The side of a skinned control that the skin relay talks to.
class TvlSkinAware {
public:
    virtual ~TvlSkinAware() = default;
    virtual TvlSkinData* SkinData() const = 0;
    // Before the skin is reloaded: drop the element (windowed kinds only).
    virtual void SkinChanging() {}
    // The new skin is in place: look the element up again, refit, repaint.
    virtual void SkinChanged() {}
    // Windowed controls hear SkinChanging; windowless ones only SkinChanged.
    virtual bool HearsSkinChanging() const { return true; }
};

template <class Base>
class TvlSkinElement : public Base, public TvlSkinAware {
public:
    using Base::Base;

    // Exact, case-sensitive name of the element record ("button", "panel").
    std::string SkinDataName;

    // None while high contrast has the skin step aside.
    TvlSkinData* SkinData() const override { return vlSkinStepsAside() ? nullptr : FSkinData.get(); }
    virtual void SetSkinData(TvlSkinData* skinData) {
        FSkinData.Set(skinData);
        this->Invalidate();
    }

protected:
    // The control's element record when it is of kind T; none otherwise,
    // and none without a loaded skin.
    template <class T>
    const T* ElementAs() const {
        const TvlSkinData* skin = SkinData();
        if (!skin || skin->IsEmpty()) return nullptr;
        int i = skin->FindControlIndex(SkinDataName);
        return i < 0 ? nullptr : dynamic_cast<const T*>(skin->SkinControls[static_cast<size_t>(i)].get());
    }

    void Notification(TComponent* component, bool removing) override {
        Base::Notification(component, removing);
        if (removing && FSkinData.Removed(component)) this->Invalidate();
    }

private:
    TComponentRef<TvlSkinData> FSkinData{this};
};
