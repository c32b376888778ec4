#pragma once
// The skinned text-entry and list-box controls: edits, memo, combo box and
// up-down. The date edit, which hosts the month calendar, is a widget
// (skin/widgets/vlSkinDateEdit.h).
#include "skin/controls/vlSkinComboBox.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/controls/vlSkinUpDown.h"
#include "toolkit/StdCtrls.h"
