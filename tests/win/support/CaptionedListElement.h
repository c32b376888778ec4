#pragma once
// A list element with a caption bar and up, down and check buttons at its
// top right, made from the skin's "listbox" record: the built-in skins
// place no caption buttons. Their active and pressed looks are pieces of
// the item looks.
#include <memory>
#include <string>

#include "skin/data/vlSkinData.h"

inline const TvlDataSkinListBox* AddCaptionedListElement(TvlSkinData& skin, const std::string& name) {
    int i = skin.FindControlIndex("listbox");
    auto* plain = i < 0 ? nullptr : dynamic_cast<TvlDataSkinListBox*>(skin.SkinControls[static_cast<size_t>(i)].get());
    if (!plain) return nullptr;
    auto e = std::make_unique<TvlDataSkinListBox>(*plain);
    e->ElementName = name;
    e->LTPoint = {4, 24};
    e->RTPoint = {20, 24};
    e->LBPoint = {4, 36};
    e->RBPoint = {20, 36};
    e->ClientRect = {4, 24, 56, 36};
    e->CaptionRect = {2, 2, 22, 22};
    e->UpButtonRect = {24, 6, 34, 16};
    e->DownButtonRect = {36, 6, 46, 16};
    e->CheckButtonRect = {48, 6, 58, 16};
    const TRect& a = plain->ActiveItemRect;
    const TRect& f = plain->FocusItemRect;
    e->ActiveUpButtonRect = {a.Left, a.Top, a.Left + 10, a.Top + 10};
    e->DownUpButtonRect = {f.Left, f.Top, f.Left + 10, f.Top + 10};
    e->ActiveDownButtonRect = e->ActiveUpButtonRect;
    e->DownDownButtonRect = {};  // pressed: the active look
    e->ActiveCheckButtonRect = e->ActiveUpButtonRect;
    e->DownCheckButtonRect = e->DownUpButtonRect;
    skin.SkinControls.push_back(std::move(e));
    return dynamic_cast<const TvlDataSkinListBox*>(skin.SkinControls.back().get());
}
