#include "skin/data/vlSkinData.h"

// Without a program file there are no resources.
std::string BuiltInSkinStream() { return {}; }
