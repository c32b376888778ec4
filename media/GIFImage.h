#pragma once
// The GIF picture: reader (GIF87a and GIF89a with our own LZW decoder), the
// decoded frames with their extensions, frame delays, and the composition of
// an animation frame on the logical screen. Portable: no window services.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Errors.h"

// Colours are 0x00BBGGRR; kGIFNoColor means "none".
constexpr uint32_t kGIFNoColor = 0xFFFFFFFFu;

// Texts of the reader's errors.
extern const char* const kGIFUnknownVersionText;  // bad signature or version
extern const char* const kStreamReadErrorText;    // short or inconsistent data

class EGIFError : public Exception {
public:
    using Exception::Exception;
};

enum TGIFDisposal : int { dmNone = 0, dmLeave = 1, dmBackground = 2, dmPrevious = 3 };

// A graphic-control (0xF9) or comment (0xFE) extension that preceded a frame,
// with its data sub-blocks joined.
struct TGIFExtension {
    uint8_t Label = 0;
    std::string Data;
};

struct TGIFFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<uint32_t> ColorMap;  // local table, or a copy of the global one
    bool Interlaced = false;
    bool Corrupted = false;
    int TransparentIndex = -1;  // -1: none
    uint32_t TransparentColor = kGIFNoColor;
    int AnimateInterval = 0;  // ms
    int Disposal = dmNone;
    std::vector<TGIFExtension> Extensions;
    // Colour indexes, Width × Height, top row first (interlacing undone).
    std::vector<uint8_t> Pixels;

    bool CoversScreen(int screenWidth, int screenHeight) const {
        return Left <= 0 && Top <= 0 && Left + Width >= screenWidth && Top + Height >= screenHeight;
    }
};

class TGIFImage {
public:
    // Caps that keep a hostile file from exhausting memory: pixels of the
    // screen or of one frame, and of all frames together.
    static constexpr int64_t MaxFramePixels = 16 * 1024 * 1024;
    static constexpr int64_t MaxTotalPixels = 64 * 1024 * 1024;

    // Replaces the image by the GIF in `data`; raises EGIFError, leaving the
    // image unchanged, when the data is refused.
    void LoadFromBytes(std::string_view data);
    // Raises EFOpenError when the file cannot be read.
    void LoadFromFile(const std::string& path);
    void Clear();

    bool Empty() const { return Frames.empty(); }
    int Width() const { return ScreenWidth; }
    int Height() const { return ScreenHeight; }
    // Display time of frame i: 0 with fewer than two frames or i out of
    // range, else its interval clamped to 50 … 10,000 ms.
    int FrameDelay(int i) const;
    // The toolkit's transparent flag and a frame with a transparent colour.
    bool IsTransparent() const;

    std::string Version;  // "87a" or "89a" as found in the file
    int ScreenWidth = 0, ScreenHeight = 0;
    uint32_t BackgroundColor = kGIFNoColor;
    std::vector<uint32_t> GlobalColorMap;
    std::vector<TGIFFrame> Frames;
    int FrameIndex = -1;
    bool Looping = false;
    int RepeatCount = 1;
    std::vector<std::string> Comment;
    bool Transparent = true;

    // Raised after every load or clear.
    std::function<void()> OnChange;

private:
    void Changed() {
        if (OnChange) OnChange();
    }
};

// The composed picture of one animation frame on the logical screen, kept
// between steps so that consecutive frames are drawn incrementally.
class TGIFComposition {
public:
    // Pixels, ScreenWidth × ScreenHeight, as 0x00RRGGBB words (the layout of
    // a 32-bit device-independent bitmap), top row first.
    std::vector<uint32_t> Pixels;
    // 1 where no frame has drawn over the transparent fill, in the layout of
    // Pixels: only these are left out when the picture is drawn transparent,
    // never a drawn pixel that merely has the transparent colour.
    std::vector<uint8_t> Mask;
    int Width = 0, Height = 0;
    int Index = -1;                           // frame shown; -1: empty
    uint32_t TransparentColor = kGIFNoColor;  // the fill left out when drawing, or none
    uint32_t FillColor = 0;                   // chosen at the last rebuild

    void Drop();
    // Brings the cache to frame n (capped to the last frame). `windowColor` is
    // the system's window colour, the last choice of fill colour. Returns true
    // when the picture was rebuilt rather than drawn on incrementally.
    bool Compose(const TGIFImage& image, int n, uint32_t windowColor);
};

// 0x00BBGGRR to the bitmap's 0x00RRGGBB and back (the same swap).
constexpr uint32_t SwapRedBlue(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
