// One resize step of a skinned window frame at 1920 × 1080 with the built-in
// "Modern" skin, the portable part: fitting the cuts, composing the four
// border strips in place in the window picture and cutting the region data from
// the mask. Against memcpy of the frame's bytes (the four strips) and of the
// whole window picture.
#include "BenchRatio.h"
#include "BenchSkin.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlRegion.h"

namespace {

enum Part { All, Strips, Region, AllAgainstWindow };

void FrameStep(benchmark::State& state, Part part) {
    TvlSkinData skin;
    if (!LoadModernSkin(state, skin)) return;
    const int W = 1920, H = 1080;
    const TvlPixelView picture = PictureView(skin.MainPicture), mask = PictureView(skin.MainMask);
    const int pw = skin.MainPicture.Width, ph = skin.MainPicture.Height;
    const TvlFrameCuts cuts{skin.LTPoint, skin.RTPoint, skin.LBPoint, skin.RBPoint, skin.ClientRect};
    TvlFrameCuts maskCuts = cuts;
    maskCuts.CR = skin.MaskRectArea;
    const TvlStretch stretch{skin.LeftStretch, skin.TopStretch, skin.RightStretch, skin.BottomStretch};
    TvlFBitmap frame;
    frame.SetSize(W, H);
    auto step = [&] {
        TvlFrameCuts fitted = FitFrameCuts(cuts, pw, ph, W, H);
        if (part != Region) {
            ComposeBorder(cuts, {0, 0, pw, ph}, picture, W, H, fitted, stretch, frame);
        }
        if (part == Strips) return;
        TvlFrameCuts maskTarget = fitted;
        maskTarget.CR = {skin.MaskRectArea.Left, skin.MaskRectArea.Top, skin.MaskRectArea.Right + W - pw,
                         skin.MaskRectArea.Bottom + H - ph};
        benchmark::DoNotOptimize(ComposeFrameRegionData(mask, maskCuts, W, H, maskTarget));
        benchmark::DoNotOptimize(frame.Bits());
    };
    const Part saved = part;
    part = Strips;
    step();
    part = saved;
    // Against the frame's own bytes (the four strips), or against the whole
    // window picture the frame is composed in.
    TvlBorderStrips strips;
    ComposeBorderStrips(cuts, {0, 0, pw, ph}, picture, W, H, FitFrameCuts(cuts, pw, ph, W, H), stretch, strips);
    const size_t bytes = part == AllAgainstWindow
                             ? frame.Size()
                             : strips.Top.Size() + strips.Left.Size() + strips.Right.Size() + strips.Bottom.Size();
    RunAgainstMemcpy(state, bytes, 10, step);
}

}  // namespace

void BM_FrameResizeStep(benchmark::State& state) { FrameStep(state, All); }
void BM_FrameResizeStepVsWindowBytes(benchmark::State& state) { FrameStep(state, AllAgainstWindow); }
void BM_FrameStripsOnly(benchmark::State& state) { FrameStep(state, Strips); }
void BM_FrameRegionOnly(benchmark::State& state) { FrameStep(state, Region); }

BENCHMARK(BM_FrameResizeStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameResizeStepVsWindowBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameStripsOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRegionOnly)->Unit(benchmark::kMicrosecond);
