#include "app/FHour.h"

#include "model/UProjects.h"

TfrmHour::TfrmHour(TComponent* owner, TvlSkinMessage* messages)
    : TEditDialog(owner, messages, "Edit action", 330, 111, "A valid action is required!") {
    Name = "frmHour";
    vlSkinStdLabel2 = AddLabel("Day:", 48, 14);
    vlSkinStdLabel2->Name = "vlSkinStdLabel2";
    vlSkinStdLabel3 = AddLabel("Hour:", 168, 14);
    vlSkinStdLabel3->Name = "vlSkinStdLabel3";
    AddLabel("Action:", 8, 42);
    edtName = AddControl<TvlSkinEdit>(this, "edtName", "edit", 2, 48, 42, 257, 18);
    edtName->OnKeyDown = [this](TObject* s, unsigned short& key, TShiftState shift) { edtNameKeyDown(s, key, shift); };
    // No default button: Enter in the field is the field's own key.
    CreateButtons(90, 187, 70, false);
    vlSkinButton1->TabOrder = 0;
    vlSkinButton2->TabOrder = 1;
}

void TfrmHour::edtNameKeyDown(TObject* sender, unsigned short& key, TShiftState) {
    if (key == VK_RETURN) vlSkinButton1Click(sender);
}

std::string TfrmHour::StorageProblem() const { return ValidateHourTexts("", "", edtName->Text()); }
