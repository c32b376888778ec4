#pragma once
// The action dialog: the text of one hourly action.
#include "app/EditDialog.h"

class TfrmHour : public TEditDialog {
public:
    TfrmHour(TComponent* owner, TvlSkinMessage* messages);
    TvlSkinStdLabel* vlSkinStdLabel2 = nullptr;  // "Day: " + date
    TvlSkinStdLabel* vlSkinStdLabel3 = nullptr;  // "Hour: " + hour label
    // Enter in the action field runs the OK check.
    void edtNameKeyDown(TObject* sender, unsigned short& key, TShiftState shift);

protected:
    std::string StorageProblem() const override;
};
