#include "skin/form/vlSkinMessages.h"

#include <vector>

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

void SendSkinNoticeToForms(TvlSkinData& sender, TvlSkinNotice notice) {
    if (!Application) return;
    UINT msg = SkinNoticeMessage(notice);
    // Every form hears it, also one whose window has not been needed yet.
    auto send = [&](TForm* form) {
        if (form && !form->Destroying())
            SendMessageA(form->Handle(), msg, reinterpret_cast<WPARAM>(&sender), SkinMessageParam);
    };
    TForm* owner = dynamic_cast<TForm*>(sender.Owner());
    send(owner);
    // A receiver may create or free forms; walk a copy of the list.
    std::vector<TForm*> forms = Application->Forms();
    for (TForm* form : forms)
        if (form != owner) send(form);
}

void InstallSkinMessages() { SetSkinNoticeBroadcaster(&SendSkinNoticeToForms); }
