#pragma once
// What every skinned control carries: the name of its skin element and the
// skin data it reads it from. The reference is cleared when the skin data
// is destroyed; the control then draws its plain look.
#include <string>

#include "core/Component.h"
#include "skin/data/vlSkinData.h"

template <class Base>
class TvlSkinElement : public Base {
public:
    using Base::Base;

    // Exact, case-sensitive name of the element record ("button", "panel").
    std::string SkinDataName;

    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData) {
        FSkinData.Set(skinData);
        this->Invalidate();
    }

protected:
    void Notification(TComponent* component, bool removing) override {
        Base::Notification(component, removing);
        if (removing && FSkinData.Removed(component)) this->Invalidate();
    }

private:
    TComponentRef<TvlSkinData> FSkinData{this};
};
