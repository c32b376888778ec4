#pragma once
// The task dialog: description, notes, dates and the done flag.
#include "app/EditDialog.h"

class TfrmTask : public TEditDialog {
public:
    TfrmTask(TComponent* owner, TvlSkinMessage* messages);
    TvlSkinPanel* vlSkinPanel1 = nullptr;
    TvlSkinMemo* memNotes = nullptr;
    TvlSkinScrollBar* vlSkinScrollBar1 = nullptr;  // the notes' vertical bar
    TvlSkinDateEdit* edtStartDate = nullptr;
    TvlSkinDateEdit* edtEndDate = nullptr;
    TvlSkinCheckRadioBox* chkDone = nullptr;
};
