#include "app/FCategory.h"

#include "model/UProjects.h"

TfrmCategory::TfrmCategory(TComponent* owner, TvlSkinMessage* messages)
    : TEditDialog(owner, messages, "Add category", 330, 80, "A valid category name is required!") {
    Name = "frmCategory";
    AddLabel("Category Name:", 8, 14);
    edtName = AddControl<TvlSkinEdit>(this, "edtName", "edit", 2, 90, 14, 215, 18);
    CreateButtons(90, 187, 42, true);
    vlSkinButton1->TabOrder = 0;
    vlSkinButton2->TabOrder = 1;
}

std::string TfrmCategory::StorageProblem() const { return ValidateCategoryName(edtName->Text()); }
