#pragma once
// How forms, their skinned frames, popup menus and the message box describe
// themselves to the accessibility layer, and the one call that turns
// accessibility on for every skinned folder.
#include "skin/access/vlAccess.h"

class TvlSkinPopupWindow;

void vlRegisterFormAccess();
// Registers every folder's describers, has high contrast switch every
// form's look live, and starts the server.
void vlInstallAccessibility();
