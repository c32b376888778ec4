#pragma once
// The skinned month calendar.
#include "skin/controls/vlSkinElement.h"
#include "toolkit/ComCtrls.h"

class TvlSkinMonthCalendar : public TvlSkinElement<TMonthCalendar> {
public:
    using TvlSkinElement::TvlSkinElement;
};
