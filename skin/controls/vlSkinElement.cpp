#include "skin/controls/vlSkinElement.h"

#include "toolkit/Controls.h"

void RelaySkinChange(TControl* root, const TvlSkinData* sender, bool changing) {
    if (!root) return;
    if (auto* skinned = dynamic_cast<TvlSkinAware*>(root)) {
        if (!sender || skinned->SkinData() == sender) {
            if (!changing)
                skinned->SkinChanged();
            else if (skinned->HearsSkinChanging())
                skinned->SkinChanging();
        }
    }
    if (auto* window = dynamic_cast<TWinControl*>(root))
        for (int i = 0; i < window->ControlCount(); ++i) RelaySkinChange(window->Controls(i), sender, changing);
}
