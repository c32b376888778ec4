// Every morph, filter and geometry operation on a 1920 × 1080 bitmap, and
// one morph step of each kind on a 40 × 20 caption button.
#include "BenchRatio.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlMorphLooks.h"

#include <functional>
#include <random>

namespace {

TvlEffectBmp Noise(int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    TvlEffectBmp b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x) b.Row(y)[x] = static_cast<uint8_t>(rng());
    return b;
}

void Effect(benchmark::State& state, int width, int height, int repeats,
            const std::function<void(TvlEffectBmp&, const TvlEffectBmp&, TvlFBitmap&)>& op) {
    TvlEffectBmp a = Noise(width, height, 1), b = Noise(width, height, 2);
    TvlFBitmap dest;
    op(a, b, dest);
    RunAgainstMemcpy(state, a.Size(), repeats, [&] {
        op(a, b, dest);
        benchmark::DoNotOptimize(a.Bits());
    });
}

void Large(benchmark::State& state, const std::function<void(TvlEffectBmp&, const TvlEffectBmp&, TvlFBitmap&)>& op) {
    Effect(state, 1920, 1080, 1, op);
}

void Morph(benchmark::State& state, int width, int height, int repeats, int kind) {
    Effect(state, width, height, repeats,
           [kind](TvlEffectBmp& a, const TvlEffectBmp& b, TvlFBitmap&) { a.MorphKind(kind, b, 0.37); });
}

void BM_Morph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkDefault); }
void BM_GradientMorph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkGradient); }
void BM_LeftGradientMorph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkLeftGradient); }
void BM_RightGradientMorph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkRightGradient); }
void BM_LeftSlideMorph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkLeftSlide); }
void BM_RightSlideMorph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkRightSlide); }
void BM_PushMorph(benchmark::State& s) { Morph(s, 1920, 1080, 1, mkPush); }
void BM_Brightness(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto&) { a.ChangeBrightness(0.5); });
}
void BM_Darkness(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto&) { a.ChangeDarkness(0.3); });
}
void BM_GrayScale(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto&) { a.GrayScale(); });
}
void BM_Invert(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto&) { a.Invert(); });
}
void BM_SplitBlur(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto&) { a.SplitBlur(1); });
}
void BM_AddNoise(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto&) { a.AddNoise(50); });
}
void BM_RotateLeft(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto& d) { a.RotateLeft(d); });
}
void BM_RotateRight(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto& d) { a.RotateRight(d); });
}
void BM_FlipVertical(benchmark::State& s) {
    Large(s, [](auto& a, auto&, auto& d) { a.FlipVertical(d); });
}

// One timer tick of a button's animation: its two looks drawn once, each
// tick draws the next fifth (the factors a hover steps through) into the
// button's bitmap. Steady: every fifth shown before, as when hovering in and
// out again; first: the looks just taken, so the tick blends.
void ButtonMorphStep(benchmark::State& s, bool first) {
    const int kind = static_cast<int>(s.range(0));
    const TvlFBitmap from = Noise(40, 20, 1), to = Noise(40, 20, 2);
    TvlMorphLooks looks;
    looks.Start(from, to, kind);
    TvlFBitmap out(40, 20);
    int tick = 0;
    RunAgainstMemcpy(s, out.Size(), 1000, [&] {
        if (first) looks.Start(from, to, kind);
        looks.Draw((tick % 4 + 1) / 5.0, out);
        benchmark::DoNotOptimize(out.Bits());
        ++tick;
    });
}
void BM_ButtonMorphStep(benchmark::State& s) { ButtonMorphStep(s, false); }
void BM_ButtonMorphFirstStep(benchmark::State& s) { ButtonMorphStep(s, true); }

}  // namespace

BENCHMARK(BM_Morph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GradientMorph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeftGradientMorph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RightGradientMorph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeftSlideMorph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RightSlideMorph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PushMorph)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Brightness)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Darkness)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrayScale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateLeft)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateRight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipVertical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ButtonMorphStep)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ButtonMorphFirstStep)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);
