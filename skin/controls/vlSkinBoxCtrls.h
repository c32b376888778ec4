#pragma once
// The skinned text-entry and list-box controls: edits, memo, combo box and
// the date edit.
#include "skin/controls/vlSkinElement.h"
#include "toolkit/DateEdit.h"
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

class TvlSkinDateEdit : public TvlSkinElement<TDateEdit> {
public:
    using TvlSkinElement::TvlSkinElement;
};
