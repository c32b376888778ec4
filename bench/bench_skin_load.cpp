// Loading the built-in skin from its compressed stream (inflate, package
// layout, bitmap decoding, description and records), as a ratio to inflating
// the same stream alone, both timed in the same iterations.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "skin/data/vlSkinData.h"

namespace {

std::string BuiltInStream() {
    std::ifstream in(PLANDESK_SKINS_DIR "/modern.zlib", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void BM_SkinLoadOverInflate(benchmark::State& state) {
    TvlCompressedStoredSkin stored;
    stored.SetCompressedData(BuiltInStream());
    if (stored.IsDataEmpty()) {
        state.SkipWithError("built-in skin stream missing");
        return;
    }
    TvlSkinData skin;
    using Clock = std::chrono::steady_clock;
    Clock::duration inflate{}, load{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        std::string raw = stored.DecompressTo();
        benchmark::DoNotOptimize(raw.data());
        auto t1 = Clock::now();
        skin.LoadStoredSkin(&stored);
        benchmark::DoNotOptimize(skin.SkinControls.data());
        auto t2 = Clock::now();
        inflate += t1 - t0;
        load += t2 - t1;
    }
    state.counters["inflate_us"] = std::chrono::duration<double, std::micro>(inflate).count() / state.iterations();
    state.counters["load_us"] = std::chrono::duration<double, std::micro>(load).count() / state.iterations();
    state.counters["load_over_inflate"] =
        std::chrono::duration<double>(load).count() / std::chrono::duration<double>(inflate).count();
}
BENCHMARK(BM_SkinLoadOverInflate)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace
