#include "app/FTask.h"

TfrmTask::TfrmTask(TComponent* owner, TvlSkinMessage* messages)
    : TEditDialog(owner, messages, "Task details", 451, 256, "A valid task description is required!") {
    Name = "frmTask";
    AddLabel("Description:", 12, 14);
    edtName = AddControl<TvlSkinEdit>(this, "edtName", "edit", 0, 73, 16, 360, 18);
    AddLabel("Notes:", 13, 41);
    vlSkinPanel1 = AddControl<TvlSkinPanel>(this, "vlSkinPanel1", "panel", 3, bvNone);
    vlSkinPanel1->SetBounds(11, 60, 423, 121);
    memNotes = AddControl<TvlSkinMemo>(vlSkinPanel1, "memNotes", "memo", 0, 0, 0, 423, 121);
    memNotes->SetAlign(alClient);
    vlSkinScrollBar1 = new TvlSkinScrollBar(this, vlSkinPanel1, sbVertical);
    vlSkinScrollBar1->Name = "vlSkinScrollBar1";
    vlSkinScrollBar1->SetWidth(19);
    vlSkinScrollBar1->SetAlign(alRight);
    vlSkinScrollBar1->SetSkinData(FMessages->SkinData());
    memNotes->SetVScrollBar(vlSkinScrollBar1);
    AddLabel("Start date:", 12, 195);
    edtStartDate = AddDateEdit("edtStartDate", 5, 66, 192, 121, 18);
    AddLabel("End date:", 222, 195);
    edtEndDate = AddDateEdit("edtEndDate", 6, 276, 192, 121, 18);
    chkDone = AddControl<TvlSkinCheckRadioBox>(this, "chkDone", "checkbox", 4, "Task is done", 11, 219, 118, 25);
    CreateButtons(142, 239, 221, true);
    vlSkinButton1->TabOrder = 1;
    vlSkinButton2->TabOrder = 2;
}
