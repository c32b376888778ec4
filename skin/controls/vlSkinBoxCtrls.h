#pragma once
// The skinned text-entry and list-box controls: edits, memo and combo box.
// The date edit, which hosts the month calendar, is a widget
// (skin/widgets/vlSkinDateEdit.h).
#include "skin/controls/vlSkinElement.h"
#include "toolkit/StdCtrls.h"

class TvlSkinEdit : public TvlSkinElement<TEdit> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinMemo : public TvlSkinElement<TMemo> {
public:
    using TvlSkinElement::TvlSkinElement;
};

class TvlSkinComboBox : public TvlSkinElement<TComboBox> {
public:
    using TvlSkinElement::TvlSkinElement;
};
