#pragma once
// The category dialog: one name.
#include "app/EditDialog.h"

class TfrmCategory : public TEditDialog {
public:
    TfrmCategory(TComponent* owner, TvlSkinMessage* messages);

protected:
    std::string StorageProblem() const override;
};
