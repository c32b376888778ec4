#include "app/FTask.h"

TfrmTask::TfrmTask(TComponent* owner, TvlSkinMessage* messages)
    : TEditDialog(owner, messages, "Task details", 451, 256, "A valid task description is required!") {
    Name = "frmTask";
    AddLabel("Description:", 12, 14);
    edtName = new TvlSkinEdit(this, this, 73, 16, 360, 18);
    edtName->Name = "edtName";
    edtName->SkinDataName = "edit";
    edtName->TabOrder = 0;
    AddLabel("Notes:", 13, 41);
    vlSkinPanel1 = new TvlSkinPanel(this, this, pbNone);
    vlSkinPanel1->SetBounds(11, 60, 423, 121);
    vlSkinPanel1->SkinDataName = "panel";
    vlSkinPanel1->TabOrder = 3;
    memNotes = new TvlSkinMemo(this, vlSkinPanel1, 0, 0, 423, 121);
    memNotes->Name = "memNotes";
    memNotes->SkinDataName = "memo";
    memNotes->SetAlign(alClient);
    AddLabel("Start date:", 12, 195);
    edtStartDate = new TvlSkinDateEdit(this, this, 66, 192, 121, 18);
    edtStartDate->Name = "edtStartDate";
    edtStartDate->SkinDataName = "buttonedit";
    edtStartDate->TabOrder = 5;
    AddLabel("End date:", 222, 195);
    edtEndDate = new TvlSkinDateEdit(this, this, 276, 192, 121, 18);
    edtEndDate->Name = "edtEndDate";
    edtEndDate->SkinDataName = "buttonedit";
    edtEndDate->TabOrder = 6;
    chkDone = new TvlSkinCheckBox(this, this, "Task is done", 11, 219, 118, 25);
    chkDone->Name = "chkDone";
    chkDone->SkinDataName = "checkbox";
    chkDone->TabOrder = 4;
    CreateButtons(142, 239, 221, true);
    vlSkinButton1->TabOrder = 1;
    vlSkinButton2->TabOrder = 2;
}
