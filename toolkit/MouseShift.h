#pragma once
// The shift state of a mouse message's key flags, with Alt as it is now.
#include <windows.h>

#include "toolkit/Classes.h"

TShiftState MouseShiftState(WPARAM keys);
