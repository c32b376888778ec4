#pragma once
// The skinned buttons, check boxes, panels, labels, gauges, lists and tree.
// Each carries its skin element and skin data; until a control draws its
// element it keeps the toolkit's plain look.
#include "skin/controls/vlSkinBoxCtrls.h"
#include "skin/controls/vlSkinButtons.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/controls/vlSkinListViews.h"
#include "skin/controls/vlSkinScrollBar.h"
#include "skin/controls/vlSkinPanels.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"
