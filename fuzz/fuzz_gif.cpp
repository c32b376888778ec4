// Feeds bytes to the GIF reader; whatever it accepts must compose: every
// frame's pixels fill its rectangle, delays stay in range, and the composed
// screen has the screen's size whichever way a frame is reached.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "media/GIFImage.h"

namespace {
void Check(bool condition) {
    if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGIFImage image;
    try {
        image.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EGIFError&) {
        Check(image.Empty());
        return 0;
    }
    Check(image.FrameIndex == (image.Empty() ? -1 : 0));
    int count = static_cast<int>(image.Frames.size());
    for (int i = 0; i < count; ++i) {
        const TGIFFrame& f = image.Frames[i];
        Check(f.Pixels.size() == static_cast<size_t>(f.Width) * f.Height);
        int delay = image.FrameDelay(i);
        Check(count < 2 ? delay == 0 : delay >= 50 && delay <= 10000);
    }
    // Composition is bounded by the screen; keep each input quick.
    if (static_cast<int64_t>(image.ScreenWidth) * image.ScreenHeight > 1 << 20) return 0;
    TGIFComposition composition;
    int steps = count < 64 ? count + 1 : 64;
    for (int i = 0; i < steps; ++i) {
        composition.Compose(image, i, 0xC0C0C0);
        size_t screen = static_cast<size_t>(image.ScreenWidth) * image.ScreenHeight;
        Check(composition.Pixels.size() == (count ? screen : 0));
    }
    if (count > 2) composition.Compose(image, count / 2, 0);  // a jump
    return 0;
}
