#include "skin/data/vlSkinData.h"

// Without windows nobody hears skin messages, and no program resources exist.
void PlatformBroadcastSkinMessage(TvlSkinData&, unsigned) {}

std::string BuiltInSkinStream() { return {}; }
