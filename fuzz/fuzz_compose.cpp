// Skin geometry comes from the skin description: any numbers at all. Every
// composition, region and effect must stay inside its bitmaps whatever the
// cut points, rects, sizes and coefficients are.
#include <cstdint>
#include <cstring>

#include "skin/data/vlEffects.h"
#include "skin/data/vlUtils.h"

namespace {

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    // Mostly small numbers near the pictures' sizes, now and then extreme ones.
    int Coord() {
        const uint8_t kind = Byte();
        if (kind < 200) return static_cast<int>(Byte() % 48) - 4;
        if (kind < 240) return static_cast<int>(Byte()) * 4;
        int32_t v = 0;
        for (int i = 0; i < 4; ++i) v = static_cast<int32_t>(static_cast<uint32_t>(v) << 8 | Byte());
        return v;
    }
    int Size() { return static_cast<int>(Byte() % 80); }
    TPoint Point() { return {Coord(), Coord()}; }
    TRect Rect() { return {Coord(), Coord(), Coord(), Coord()}; }
    double Coefficient() { return (static_cast<int>(Byte()) - 64) / 100.0; }
    bool Flag() { return Byte() & 1; }
    uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TReader in(data, size);
    TvlFBitmap picture(1 + in.Size(), 1 + in.Size());
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) picture.SetPixel(x, y, in.Byte() < 128 ? 0 : 0xFFFFFF);
    TvlFrameCuts cuts{in.Point(), in.Point(), in.Point(), in.Point(), in.Rect()};
    const TRect S = in.Rect();
    const int W = in.Size() * 2 - 8, H = in.Size() * 2 - 8;
    const TRect fitted = vlClampRect(S);
    const TvlFrameCuts target = FitFrameCuts(cuts, fitted.Width(), fitted.Height(), W, H);
    const TvlStretch stretch{in.Flag(), in.Flag(), in.Flag(), in.Flag()};

    TvlFBitmap dest;
    ComposeFrameImage(cuts, S, picture, W, H, target, in.Flag(), stretch, dest);
    ComposeTiledImage(cuts, S, picture, W, H, in.Flag() ? target : cuts, true, dest);
    TvlBorderStrips strips;
    ComposeBorderStrips(cuts, S, picture, W, H, target, stretch, strips);
    TvlFBitmap frame;
    ComposeBorder(cuts, S, picture, W, H, target, stretch, frame);
    ComposeHorizontal(in.Coord(), in.Coord(), S, picture, W, dest);
    ComposeHorizontalOpen(in.Coord(), in.Coord(), S, picture, W, dest);
    ComposeVertical(in.Coord(), in.Coord(), S, picture, H, dest);
    TileArea(in.Rect(), in.Rect(), in.Rect(), picture, W, H, dest);
    ComposeFrameRegionData(picture, cuts, W, H, target);
    MaskToRegionData(picture, in.Coord(), in.Coord());
    DrawArrow(dest, in.Rect(), 0xFFFFFF, in.Byte() % 6);
    DrawDefaultGlyph(dest, static_cast<TvlGlyph>(in.Byte() % 10), in.Coord(), in.Coord(), 0x00FF00);
    DrawGlyphFrame(dest, in.Coord(), in.Coord(), in.Coord(), in.Coord(), picture);

    TvlEffectBmp a(picture.View()), b(picture.View());
    b.Invert();
    a.MorphKind(in.Byte() % 8, b, in.Coefficient());
    a.ApplyInactiveEffect(in.Byte() % 7);
    a.SplitBlur(in.Coord());
    a.AddNoise(in.Coord());
    a.RotateLeft(dest);
    a.RotateRight(dest);
    a.FlipVertical(dest);
    return 0;
}
