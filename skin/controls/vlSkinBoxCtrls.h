#pragma once
// The skinned text-entry and list-box controls: edits, memo, combo box and
// the date edit.
#include "skin/controls/vlSkinComboBox.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/controls/vlSkinUpDown.h"
#include "toolkit/DateEdit.h"
#include "toolkit/StdCtrls.h"

class TvlSkinDateEdit : public TvlSkinElement<TDateEdit> {
public:
    using TvlSkinElement::TvlSkinElement;
};
