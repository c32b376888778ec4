// Nine-piece composition of a form-sized look: 1920 × 1080 from a skin
// picture of 139 × 92 with a client piece of 122 × 61 (the proportions of a
// typical frame skin).
#include "BenchRatio.h"
#include "skin/data/vlCompose.h"

namespace {

TvlFBitmap SkinPicture() {
    TvlFBitmap pic(139, 92);
    for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) pic.SetPixel(x, y, static_cast<uint32_t>(x * 7 + y * 131));
    return pic;
}

const TvlFrameCuts Cuts{{10, 27}, {126, 27}, {11, 81}, {124, 81}, {8, 25, 130, 86}};

void ComposeNinePieces(benchmark::State& state, bool stretch, const TRect& client) {
    TvlFBitmap pic = SkinPicture(), dest;
    TvlFrameCuts cuts = Cuts;
    cuts.CR = client;
    const TvlFrameCuts target = FitFrameCuts(cuts, 139, 92, 1920, 1080);
    const TvlStretch flags{stretch, stretch, stretch, stretch};
    ComposeFrameImage(cuts, {0, 0, 139, 92}, pic, 1920, 1080, target, true, flags, dest);
    RunAgainstMemcpy(state, dest.Size(), 1, [&] {
        ComposeFrameImage(cuts, {0, 0, 139, 92}, pic, 1920, 1080, target, true, flags, dest);
        benchmark::DoNotOptimize(dest.Bits());
    });
}

void BM_NinePieceTiled(benchmark::State& state) { ComposeNinePieces(state, false, Cuts.CR); }
void BM_NinePieceStretched(benchmark::State& state) { ComposeNinePieces(state, true, Cuts.CR); }
// A one-pixel client piece: the worst case for tiling.
void BM_NinePieceTinyClient(benchmark::State& state) { ComposeNinePieces(state, false, {8, 25, 9, 26}); }

void BM_BorderStrips(benchmark::State& state) {
    TvlFBitmap pic = SkinPicture();
    TvlBorderStrips strips;
    const TvlFrameCuts target = FitFrameCuts(Cuts, 139, 92, 1920, 1080);
    ComposeBorderStrips(Cuts, {0, 0, 139, 92}, pic, 1920, 1080, target, TvlStretch(), strips);
    const size_t bytes = strips.Top.Size() + strips.Bottom.Size() + strips.Left.Size() + strips.Right.Size();
    RunAgainstMemcpy(state, bytes, 20, [&] {
        ComposeBorderStrips(Cuts, {0, 0, 139, 92}, pic, 1920, 1080, target, TvlStretch(), strips);
        benchmark::DoNotOptimize(strips.Top.Bits());
    });
}

}  // namespace

BENCHMARK(BM_NinePieceTiled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NinePieceStretched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NinePieceTinyClient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BorderStrips)->Unit(benchmark::kMillisecond);
