#pragma once
// The message box every planner message goes through: a modal dialog with
// an icon, the text and a row of buttons, returning the button's result.
#include <string>

#include "core/Component.h"
#include "skin/data/vlSkinData.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

enum TvlMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };
enum TvlMsgDlgBtn : unsigned {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbAbort = 1 << 4,
    mbRetry = 1 << 5,
    mbIgnore = 1 << 6,
    mbAll = 1 << 7,
    mbNoToAll = 1 << 8,
    mbYesToAll = 1 << 9,
    mbHelp = 1 << 10
};
using TvlMsgDlgButtons = unsigned;

class TvlLacquer;

class TvlMessageForm : public TForm {
public:
    explicit TvlMessageForm(TComponent* owner);
    TvlLacquer* vlLacquer1 = nullptr;  // the skinned frame, without caption buttons
    TLabel* Message = nullptr;
    int IconId = 0;  // stock icon, 0 for none

protected:
    void PaintWindow(TCanvas& canvas) override;
};

class TvlSkinMessage : public TComponent {
public:
    explicit TvlSkinMessage(TComponent* owner);
    // The skin the dialog and its controls draw with; cleared when destroyed.
    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData) { FSkinData.Set(skinData); }
    TFont DefaultFont{"Arial", 14};
    TFont DefaultButtonFont{"Arial", 14};
    std::string ButtonSkinDataName = "button";
    std::string MessageLabelSkinDataName = "stdlabel";
    bool UseSkinFont = true;

    // Shows the dialog modally; the result of the button that closed it, or
    // 2 when the window was closed by other means.
    int ShowMessageBox(const std::string& text, TvlMsgDlgType type, TvlMsgDlgButtons buttons, int helpContext = 0);

protected:
    void Notification(TComponent* component, bool removing) override {
        TComponent::Notification(component, removing);
        if (removing) FSkinData.Removed(component);
    }

private:
    TComponentRef<TvlSkinData> FSkinData{this};
};
