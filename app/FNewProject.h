#pragma once
// The project dialog: name, dates and category of a new or edited project.
#include "app/EditDialog.h"

class TfrmCreateProject : public TEditDialog {
public:
    // The category box gets a copy of `categories`, the first entry selected.
    TfrmCreateProject(TComponent* owner, TvlSkinMessage* messages, const TStringList& categories);
    TvlSkinDateEdit* edtStartDate = nullptr;
    TvlSkinDateEdit* edtEndDate = nullptr;
    TvlSkinComboBox* cbxCategories = nullptr;

    static constexpr const char* NoCategoryMessage = "Please create a category before creating a project!";

protected:
    std::string StorageProblem() const override;

private:
    void FormCreate(const TStringList& categories);
};
