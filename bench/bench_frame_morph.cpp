// One morph step of a caption button on an 800 × 600 window with the
// built-in "Modern" skin, the portable part of the work: composing the whole
// frame again (border strips, every caption button, the morphing one blended)
// against composing the button alone on the kept strips. Each is timed
// against painting the same button pixels once (one copy of its rectangle),
// interleaved in every iteration. The caption text, drawn through the
// platform, is not in either figure.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "BenchSkin.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlSkinData.h"

namespace {

struct TButtonLook {
    const TPixelImage* Picture;
    TRect Normal, Active, Place;
};

void MorphStep(benchmark::State& state, bool wholeFrame) {
    TvlSkinData skin;
    if (!LoadModernSkin(state, skin)) return;
    const int W = 800, H = 600;
    const int pw = skin.MainPicture.Width, ph = skin.MainPicture.Height;
    const TvlFrameCuts cuts{skin.LTPoint, skin.RTPoint, skin.LBPoint, skin.RBPoint, skin.ClientRect};
    const TvlStretch stretch{skin.LeftStretch, skin.TopStretch, skin.RightStretch, skin.BottomStretch};
    const TvlFrameCuts fitted = FitFrameCuts(cuts, pw, ph, W, H);
    // The caption buttons in a row from the right, as the frame lays them out.
    std::vector<TButtonLook> buttons;
    int x = W - 4;
    for (auto& o : skin.SkinObjects) {
        auto* b = dynamic_cast<const TvlDataSkinStdButton*>(o.get());
        if (!b || b->ActivePictureIndex < 0 || b->SkinRect.IsEmpty()) continue;
        const TPixelImage* pic = &skin.PictureList.at(static_cast<size_t>(b->ActivePictureIndex));
        x -= b->SkinRect.Width();
        buttons.push_back({pic, b->SkinRect, b->ActiveSkinRect, {x, 4, x + b->SkinRect.Width(), 4 + b->SkinRect.Height()}});
    }
    if (buttons.empty()) {
        state.SkipWithError("no buttons");
        return;
    }
    const TButtonLook& hot = buttons.front();
    const int bw = hot.Place.Width(), bh = hot.Place.Height();
    TvlFBitmap frame, base, once;
    ComposeBorder(cuts, {0, 0, pw, ph}, PictureView(skin.MainPicture), W, H, fitted, stretch, frame);
    base = frame;
    once.SetSize(W, H);
    TvlEffectBmp a, b;
    a.SetSize(bw, bh);
    b.SetSize(bw, bh);
    double k = 0;
    auto morphed = [&](TvlFBitmap& dest) {
        StretchPiece(a, {0, 0, bw, bh}, PictureView(*hot.Picture), hot.Normal);
        StretchPiece(b, {0, 0, bw, bh}, PictureView(*hot.Picture), hot.Active);
        k = k >= 1 ? 0.2 : k + 0.2;
        a.MorphKind(mkDefault, b, k);
        CopyPiece(dest, hot.Place.Left, hot.Place.Top, a.View(), {0, 0, bw, bh});
    };
    auto step = [&] {
        if (wholeFrame) {
            ComposeBorder(cuts, {0, 0, pw, ph}, PictureView(skin.MainPicture), W, H, fitted, stretch, frame);
            for (size_t i = 1; i < buttons.size(); ++i)
                CopyPiece(frame, buttons[i].Place.Left, buttons[i].Place.Top, PictureView(*buttons[i].Picture),
                          buttons[i].Normal);
        } else {
            CopyPiece(frame, hot.Place.Left, hot.Place.Top, base.View(), hot.Place);
        }
        morphed(frame);
        benchmark::DoNotOptimize(frame.Bits());
    };
    auto paintOnce = [&] {
        CopyPiece(once, hot.Place.Left, hot.Place.Top, frame.View(), hot.Place);
        benchmark::DoNotOptimize(once.Bits());
    };
    using Clock = std::chrono::steady_clock;
    Clock::duration stepTime{}, onceTime{};
    int64_t steps = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int i = 0; i < 10; ++i) step();
        auto t1 = Clock::now();
        for (int i = 0; i < 10; ++i) paintOnce();
        auto t2 = Clock::now();
        stepTime += t1 - t0;
        onceTime += t2 - t1;
        steps += 10;
    }
    const double s = std::chrono::duration<double>(stepTime).count(), o = std::chrono::duration<double>(onceTime).count();
    state.counters["x_paint_once"] = o > 0 ? s / o : 0;
    state.counters["step_us"] = steps ? s * 1e6 / static_cast<double>(steps) : 0;
}

}  // namespace

void BM_MorphStepWholeFrame(benchmark::State& state) { MorphStep(state, true); }
void BM_MorphStepButtonOnly(benchmark::State& state) { MorphStep(state, false); }

BENCHMARK(BM_MorphStepWholeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MorphStepButtonOnly)->Unit(benchmark::kMicrosecond);
