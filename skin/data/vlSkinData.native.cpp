#include "skin/data/vlSkinData.h"
#include "skin/data/vlSkinScale.h"

// Without a program file there are no resources.
std::string BuiltInSkinStream() { return {}; }
std::string BuiltInSkinStream(int) { return {}; }

// Without windows there is no display to follow.
int SkinStartDpi() { return SkinBaseDpi; }
