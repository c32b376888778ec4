#pragma once
// The built-in "Modern" skin the frame benchmarks draw with.
#include <benchmark/benchmark.h>

#include <string>

#include "skin/data/vlSkinData.h"

// Loads it into `skin`; false, with the benchmark marked as failed, when it
// cannot be read.
inline bool LoadModernSkin(benchmark::State& state, TvlSkinData& skin) {
    skin.LoadPackageFile(std::string(PLANDESK_SKINS_DIR) + "/modern.dat");
    if (!skin.IsEmpty()) return true;
    state.SkipWithError("no skin");
    return false;
}
