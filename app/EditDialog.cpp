#include "app/EditDialog.h"

#include "core/TextCompare.h"

TEditDialog::TEditDialog(TComponent* owner, TvlSkinMessage* messages, const std::string& caption, int clientWidth,
                         int clientHeight, const std::string& blankMessage)
    : TForm(owner, caption, clientWidth, clientHeight, bsDialog, 0), FMessages(messages), FBlankMessage(blankMessage) {
    Position = poScreenCenter;
    vlLacquer1 = new TvlLacquer(this);
    vlLacquer1->Name = "vlLacquer1";
    vlLacquer1->SetBorderIcons(vlbiSystemMenu);
    // The dialogs wear the main window's skin, which its message box carries.
    if (messages) vlLacquer1->SetSkinData(messages->SkinData());
}

void TEditDialog::CreateButtons(int okLeft, int cancelLeft, int top, bool okIsDefault) {
    vlSkinButton1 = new TvlSkinButton(this, this, "Ok", okLeft, top, 93, 20);
    vlSkinButton1->Name = "vlSkinButton1";
    vlSkinButton1->SkinDataName = "button";
    vlSkinButton1->SetSkinData(FMessages->SkinData());
    vlSkinButton1->Cursor = crHandPoint;
    vlSkinButton1->OnClick = [this](TObject* s) { vlSkinButton1Click(s); };
    if (okIsDefault) vlSkinButton1->SetDefault(true);
    vlSkinButton2 = new TvlSkinButton(this, this, "Cancel", cancelLeft, top, 93, 20);
    vlSkinButton2->Name = "vlSkinButton2";
    vlSkinButton2->SkinDataName = "button";
    vlSkinButton2->SetSkinData(FMessages->SkinData());
    vlSkinButton2->ModalResult = mrCancel;
    vlSkinButton2->SetCancel(true);
}

TvlSkinStdLabel* TEditDialog::AddLabel(const std::string& caption, int left, int top) {
    auto* label = new TvlSkinStdLabel(this, this, caption, left, top);
    label->SetShowAccelChar(false);  // "Day: " and "Hour: " labels carry the plan's texts
    label->SkinDataName = "stdlabel";
    label->SetSkinData(FMessages->SkinData());
    return label;
}

TvlSkinDateEdit* TEditDialog::AddDateEdit(const char* name, int tabOrder, int left, int top, int width, int height) {
    auto* edit = AddControl<TvlSkinDateEdit>(this, name, "buttonedit", tabOrder, left, top, width, height);
    edit->OnInvalidDate = [this](TObject*, const std::string& message) {
        FMessages->ShowMessageBox(message, mtInformation, mbOK);
    };
    return edit;
}

void TEditDialog::vlSkinButton1Click(TObject*) {
    std::string problem = Trim(edtName->Text()).empty() ? FBlankMessage : StorageProblem();
    if (problem.empty()) {
        ModalResult = mrOk;
        return;
    }
    FMessages->ShowMessageBox(problem, mtInformation, mbOK);
    SetActiveControl(edtName);
}
