// Region data from masks: a 1920 × 1080 mask with rounded corners, and the
// frame region of a 1920 × 1080 window from a 139 × 92 mask picture.
#include "BenchRatio.h"
#include "skin/data/vlRegion.h"
#include "tests/common/Pictures.h"

namespace {

void BM_MaskToRegionData(benchmark::State& state) {
    TvlFBitmap mask = RoundedMask(1920, 1080, 12);
    RunAgainstMemcpy(state, mask.Size(), 1, [&] { benchmark::DoNotOptimize(MaskToRegionData(mask, 0, 0)); });
}

void BM_FrameRegionData(benchmark::State& state) {
    TvlFBitmap mask = RoundedMask(139, 92, 8);
    const TvlFrameCuts cuts{{10, 27}, {126, 27}, {11, 81}, {124, 81}, {8, 25, 130, 86}};
    const TvlFrameCuts target = FitFrameCuts(cuts, 139, 92, 1920, 1080);
    // Against memcpy of the border masks' rows.
    const size_t bytes = static_cast<size_t>(vlRowStride(1920)) * (25 + 6) +
                         static_cast<size_t>(vlRowStride(8) + vlRowStride(9)) * (target.CR.Bottom - target.CR.Top);
    RunAgainstMemcpy(state, bytes, 10,
                     [&] { benchmark::DoNotOptimize(ComposeFrameRegionData(mask, cuts, 1920, 1080, target)); });
}

}  // namespace

BENCHMARK(BM_MaskToRegionData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameRegionData)->Unit(benchmark::kMicrosecond);
