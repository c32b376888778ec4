#pragma once
// What the four edit dialogs share: a fixed dialog with a main text field
// `edtName`, "Ok" running the check and "Cancel" closing without one.
#include <string>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/form/Lacquer.h"
#include "skin/form/vlMessages.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "toolkit/Forms.h"

class TEditDialog : public TForm {
public:
    TvlSkinEdit* edtName = nullptr;
    TvlSkinButton* vlSkinButton1 = nullptr;  // "Ok"
    TvlSkinButton* vlSkinButton2 = nullptr;  // "Cancel"
    // The skinned frame: close button only, wearing the main window's skin.
    TvlLacquer* vlLacquer1 = nullptr;

    // The OK check: a non-blank main text (and storable texts) closes the
    // dialog with OK; otherwise the message is shown and the name field
    // becomes the active control.
    void vlSkinButton1Click(TObject* sender);

protected:
    TEditDialog(TComponent* owner, TvlSkinMessage* messages, const std::string& caption, int clientWidth,
                int clientHeight, const std::string& blankMessage);
    // Creates the two buttons; `okIsDefault` lets Enter press "Ok".
    void CreateButtons(int okLeft, int cancelLeft, int top, bool okIsDefault);
    TvlSkinStdLabel* AddLabel(const std::string& caption, int left, int top);
    // Creates a named control that wears skin element `skin`, at a place in the tab order.
    template <class Control, class... Bounds>
    Control* AddControl(TWinControl* parent, const char* name, const char* skin, int tabOrder, Bounds... bounds) {
        auto* control = new Control(this, parent, bounds...);
        control->Name = name;
        control->SkinDataName = skin;
        control->SetSkinData(FMessages->SkinData());
        control->TabOrder = tabOrder;
        return control;
    }
    // A date field ("buttonedit"); a typed date that names no day is told
    // through the planner's message box.
    TvlSkinDateEdit* AddDateEdit(const char* name, int tabOrder, int left, int top, int width, int height);
    // A refusal of texts that cannot be stored, or empty.
    virtual std::string StorageProblem() const { return {}; }

    TvlSkinMessage* FMessages;

private:
    std::string FBlankMessage;
};
