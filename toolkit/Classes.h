#pragma once
// Events and key states shared by the toolkit's controls; components
// themselves are portable (core/Component.h).
#include <functional>

#include "core/Component.h"

using TNotifyEvent = std::function<void(TObject* sender)>;

enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;
using TKeyEvent = std::function<void(TObject* sender, unsigned short& key, TShiftState shift)>;
