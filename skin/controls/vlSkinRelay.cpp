#include "skin/controls/vlSkinRelay.h"

#include <algorithm>
#include <vector>

#include "skin/controls/vlSkinElement.h"
#include "toolkit/FormMessages.h"
#include "toolkit/Forms.h"

UINT SkinNoticeMessage(TvlSkinNotice notice) {
    switch (notice) {
        case TvlSkinNotice::Changing: return WM_SKINCHANGING;
        case TvlSkinNotice::Changed: return WM_SKINCHANGED;
        case TvlSkinNotice::ChangedMDI: return WM_SKINCHANGED_MDI;
        case TvlSkinNotice::StringsChanged: return WM_SKINSTRINGSCHANGED;
    }
    return 0;
}

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

void RelaySkinChangeToComponents(TComponent* owner, const TvlSkinData* sender, bool changing) {
    if (!owner) return;
    // A receiver may free components: walk a copy.
    std::vector<TComponent*> owned;
    for (int i = 0; i < owner->ComponentCount(); ++i) owned.push_back(owner->Components(i));
    for (TComponent* c : owned) {
        if (dynamic_cast<TControl*>(c)) continue;  // the control walk reaches those
        if (auto* skinned = dynamic_cast<TvlSkinAware*>(c); skinned && (!sender || skinned->SkinData() == sender)) {
            if (changing)
                skinned->SkinChanging();
            else
                skinned->SkinChanged();
        }
        RelaySkinChangeToComponents(c, sender, changing);
    }
}

void SendSkinNoticeToForms(TvlSkinData& sender, TvlSkinNotice notice) {
    if (!Application) return;
    UINT msg = SkinNoticeMessage(notice);
    bool changing = notice == TvlSkinNotice::Changing;
    bool relayed = changing || notice == TvlSkinNotice::Changed;
    // Every form hears it, also one whose window has not been needed yet.
    // The form (and its frame) first: the frame drops or rebuilds its own
    // parts before the controls on it refit.
    auto send = [&](TForm* form) {
        if (!form || form->Destroying()) return;
        SendMessageA(form->Handle(), msg, reinterpret_cast<WPARAM>(&sender), SkinMessageParam);
        if (relayed && !form->Destroying()) RelaySkinChange(form, &sender, changing);
        if (relayed && !form->Destroying()) RelaySkinChangeToComponents(form, &sender, changing);
    };
    TForm* owner = dynamic_cast<TForm*>(sender.Owner());
    send(owner);
    // A receiver may create or free forms; walk a copy of the list.
    std::vector<TForm*> forms = Application->Forms();
    for (TForm* form : forms)
        if (form != owner) send(form);
}

namespace {
void CollectSkins(TControl* root, std::vector<TvlSkinData*>& skins) {
    if (auto* skinned = dynamic_cast<TvlSkinAware*>(root); skinned && skinned->SkinData())
        if (std::find(skins.begin(), skins.end(), skinned->SkinData()) == skins.end())
            skins.push_back(skinned->SkinData());
    if (auto* window = dynamic_cast<TWinControl*>(root))
        for (int i = 0; i < window->ControlCount(); ++i) CollectSkins(window->Controls(i), skins);
}
}  // namespace

void BringSkinsToDpi(TForm& form, int dpi) {
    std::vector<TvlSkinData*> skins;
    CollectSkins(&form, skins);
    for (TvlSkinData* skin : skins) {
        // A skin read at another DPI is read again (every window hears it);
        // one already at this DPI gives the form's controls its lengths again.
        const bool reread = skin->Dpi() != dpi && !skin->IsEmpty();
        skin->SetDpi(dpi);
        if (!reread && !form.Destroying()) RelaySkinChange(&form, skin, false);
    }
}

namespace {
// The skins' broadcast names its sender and relays after each form (above).
// A notice without a skin, sent to a form by anyone, is meant for every
// control on it, and no broadcast follows it up: the form relays it itself.
bool RelaySkinlessNotice(TForm& form, TMessage& m) {
    if (m.Msg == TM_FORMSCALED) {
        BringSkinsToDpi(form, static_cast<int>(m.WParam));
        return false;
    }
    if (m.WParam != 0 || (m.Msg != WM_SKINCHANGING && m.Msg != WM_SKINCHANGED)) return false;
    bool changing = m.Msg == WM_SKINCHANGING;
    RelaySkinChange(&form, nullptr, changing);
    if (!form.Destroying()) RelaySkinChangeToComponents(&form, nullptr, changing);
    return false;
}
}  // namespace

void InstallSkinMessages() {
    SetSkinNoticeBroadcaster(&SendSkinNoticeToForms);
    SetFormMessageHandler(&RelaySkinlessNotice);
}
