#include "app/FNewProject.h"

#include "model/UProjects.h"

TfrmCreateProject::TfrmCreateProject(TComponent* owner, TvlSkinMessage* messages, const TStringList& categories)
    : TEditDialog(owner, messages, "Create new project", 415, 140, "A valid project name is required!") {
    Name = "frmCreateProject";
    AddLabel("Project Name:", 8, 14);
    edtName = AddControl<TvlSkinEdit>(this, "edtName", "edit", 0, 84, 16, 309, 18);
    AddLabel("Start date:", 8, 42);
    edtStartDate = AddDateEdit("edtStartDate", 3, 84, 41, 121, 18);
    AddLabel("End date:", 221, 46);
    edtEndDate = AddDateEdit("edtEndDate", 4, 273, 43, 121, 18);
    AddLabel("Category:", 11, 70);
    cbxCategories = AddControl<TvlSkinComboBox>(this, "cbxCategories", "combobox", 5, 85, 66, 120, 20, 8);
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
