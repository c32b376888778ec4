#include "app/FNewProject.h"

#include "model/UProjects.h"

TfrmCreateProject::TfrmCreateProject(TComponent* owner, TvlSkinMessage* messages, const TStringList& categories)
    : TEditDialog(owner, messages, "Create new project", 415, 140, "A valid project name is required!") {
    Name = "frmCreateProject";
    AddLabel("Project Name:", 8, 14);
    edtName = new TvlSkinEdit(this, this, 84, 16, 309, 18);
    edtName->Name = "edtName";
    edtName->SkinDataName = "edit";
    edtName->TabOrder = 0;
    AddLabel("Start date:", 8, 42);
    edtStartDate = new TvlSkinDateEdit(this, this, 84, 41, 121, 18);
    edtStartDate->Name = "edtStartDate";
    edtStartDate->SkinDataName = "buttonedit";
    edtStartDate->TabOrder = 3;
    AddLabel("End date:", 221, 46);
    edtEndDate = new TvlSkinDateEdit(this, this, 273, 43, 121, 18);
    edtEndDate->Name = "edtEndDate";
    edtEndDate->SkinDataName = "buttonedit";
    edtEndDate->TabOrder = 4;
    AddLabel("Category:", 11, 70);
    cbxCategories = new TvlSkinComboBox(this, this, 85, 66, 120, 20, 8);
    cbxCategories->Name = "cbxCategories";
    cbxCategories->SkinDataName = "combobox";
    cbxCategories->TabOrder = 5;
    CreateButtons(114, 211, 105, true);
    vlSkinButton1->TabOrder = 1;
    vlSkinButton2->TabOrder = 2;
    FormCreate(categories);
}

void TfrmCreateProject::FormCreate(const TStringList& categories) {
    cbxCategories->Items.Assign(categories);
    cbxCategories->ItemsChanged();
    if (cbxCategories->Items.Count() > 0) cbxCategories->SetItemIndex(0);
}

std::string TfrmCreateProject::StorageProblem() const {
    // A project outside every category would have no node in the tree.
    if (cbxCategories->Items.Count() == 0) return NoCategoryMessage;
    return ValidateProjectTexts(edtName->Text(), cbxCategories->Text(), edtStartDate->Text(), edtEndDate->Text());
}
