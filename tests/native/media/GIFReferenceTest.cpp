// The GIF reader and the frame composition against giflib on the corpus that
// ImageMagick made: every decoded frame and every composed frame must equal
// what the reference gives.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "media/GIFImage.h"
#include "tests/native/media/GIFBuilder.h"

namespace {

struct Reference {
    struct Frame {
        int Left, Top, Width, Height;
        bool Interlaced;
        std::vector<uint32_t> ColorMap;
        std::vector<uint8_t> Pixels;
        int Disposal = 0, Delay = 0, Transparent = -1;
    };
    bool Failed = false;  // giflib stopped on an error
    int ScreenWidth = 0, ScreenHeight = 0;
    uint32_t Background = kGIFNoColor;
    std::vector<Frame> Frames;  // completely read frames only
};

std::vector<uint32_t> Colors(const ColorMapObject* map) {
    std::vector<uint32_t> out;
    if (!map) return out;
    for (int i = 0; i < map->ColorCount; ++i)
        out.push_back(map->Colors[i].Red | (map->Colors[i].Green << 8) | (map->Colors[i].Blue << 16));
    return out;
}

Reference ReadWithGiflib(const std::string& path) {
    Reference ref;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) {
        ref.Failed = true;
        return ref;
    }
    ref.Failed = DGifSlurp(gif) != GIF_OK;
    ref.ScreenWidth = gif->SWidth;
    ref.ScreenHeight = gif->SHeight;
    std::vector<uint32_t> global = Colors(gif->SColorMap);
    if (gif->SColorMap && gif->SBackGroundColor < static_cast<int>(global.size()))
        ref.Background = global[gif->SBackGroundColor];
    // After an error the last image is the one that failed.
    int complete = ref.Failed ? std::max(0, gif->ImageCount - 1) : gif->ImageCount;
    for (int i = 0; i < complete; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        Reference::Frame f{s.ImageDesc.Left,
                           s.ImageDesc.Top,
                           s.ImageDesc.Width,
                           s.ImageDesc.Height,
                           s.ImageDesc.Interlace,
                           s.ImageDesc.ColorMap ? Colors(s.ImageDesc.ColorMap) : global,
                           {}};
        f.Pixels.assign(s.RasterBits, s.RasterBits + static_cast<size_t>(f.Width) * f.Height);
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
            f.Disposal = gcb.DisposalMode;
            f.Delay = gcb.DelayTime * 10;
            f.Transparent = gcb.TransparentColor < static_cast<int>(f.ColorMap.size()) ? gcb.TransparentColor : -1;
        }
        ref.Frames.push_back(std::move(f));
    }
    DGifCloseFile(gif, &error);
    return ref;
}

// The frames composed from the reference by replaying the animation from its
// first frame, keeping a copy of the screen for "restore to previous".
std::vector<std::vector<uint32_t>> ReplayReference(const Reference& ref, uint32_t fill) {
    int w = ref.ScreenWidth, h = ref.ScreenHeight;
    std::vector<uint32_t> screen(static_cast<size_t>(w) * h, SwapRedBlue(fill));
    std::vector<std::vector<uint32_t>> out;
    for (const Reference::Frame& f : ref.Frames) {
        std::vector<uint32_t> before = screen;
        for (int y = 0; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x) {
                int sx = f.Left + x, sy = f.Top + y;
                uint8_t index = f.Pixels[static_cast<size_t>(y) * f.Width + x];
                if (sx >= w || sy >= h || index == f.Transparent) continue;
                screen[static_cast<size_t>(sy) * w + sx] =
                    index < f.ColorMap.size() ? SwapRedBlue(f.ColorMap[index]) : 0;
            }
        out.push_back(screen);
        if (f.Disposal == 3) screen = before;
        if (f.Disposal == 2)
            for (int y = f.Top; y < std::min(h, f.Top + f.Height); ++y)
                for (int x = f.Left; x < std::min(w, f.Left + f.Width); ++x)
                    screen[static_cast<size_t>(y) * w + x] = SwapRedBlue(fill);
    }
    return out;
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(PICTURE_CORPUS))
        if (entry.path().extension() == ".gif") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

constexpr uint32_t kWindowColor = 0x00FFFFFF;

}  // namespace

TEST(GIFReference, CorpusIsThere) { EXPECT_GE(CorpusFiles().size(), 20u); }

TEST(GIFReference, EveryFrameDecodesLikeGiflib) {
    for (const std::string& path : CorpusFiles()) {
        SCOPED_TRACE(path);
        Reference ref = ReadWithGiflib(path);
        TGIFImage image;
        try {
            image.LoadFromFile(path);
        } catch (const EGIFError&) {
            EXPECT_TRUE(ref.Failed && ref.Frames.empty()) << "refused a file giflib reads";
            continue;
        }
        EXPECT_EQ(image.ScreenWidth, ref.ScreenWidth);
        EXPECT_EQ(image.ScreenHeight, ref.ScreenHeight);
        EXPECT_EQ(image.BackgroundColor, ref.Background);
        ASSERT_GE(image.Frames.size(), ref.Frames.size());
        if (!ref.Failed) {
            EXPECT_EQ(image.Frames.size(), ref.Frames.size());
        }
        int compared = 0;
        for (size_t i = 0; i < ref.Frames.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            const TGIFFrame& ours = image.Frames[i];
            const Reference::Frame& theirs = ref.Frames[i];
            EXPECT_EQ(ours.Left, theirs.Left);
            EXPECT_EQ(ours.Top, theirs.Top);
            EXPECT_EQ(ours.Width, theirs.Width);
            EXPECT_EQ(ours.Height, theirs.Height);
            EXPECT_EQ(ours.Interlaced, theirs.Interlaced);
            EXPECT_EQ(ours.ColorMap, theirs.ColorMap);
            EXPECT_EQ(ours.Disposal, theirs.Disposal);
            EXPECT_EQ(ours.AnimateInterval, theirs.Delay);
            EXPECT_EQ(ours.TransparentIndex, theirs.Transparent);
            // A frame giflib reads through but we find damaged decodes
            // differently by design (giflib guesses at undefined codes).
            if (ours.Corrupted) continue;
            EXPECT_TRUE(ours.Pixels == theirs.Pixels);
            ++compared;
        }
        if (path.find("damaged") == std::string::npos) {
            EXPECT_EQ(compared, static_cast<int>(ref.Frames.size()));
        }
    }
}

TEST(GIFReference, DamagedFilesKeepTheirGoodFrames) {
    std::string dir = PICTURE_CORPUS;
    TGIFImage banner, image;
    banner.LoadFromFile(dir + "/banner.gif");
    ASSERT_EQ(banner.Frames.size(), 12u);
    // Frames that differ from the undamaged banner's.
    auto damaged = [&] {
        int n = 0;
        for (size_t i = 0; i < image.Frames.size(); ++i) n += image.Frames[i].Pixels != banner.Frames[i].Pixels;
        return n;
    };

    image.LoadFromFile(dir + "/damaged-truncated.gif");  // a third of the banner
    EXPECT_GE(image.Frames.size(), 2u);
    EXPECT_LT(image.Frames.size(), 12u);
    EXPECT_LE(damaged(), 1) << "only a frame cut short differs";

    image.LoadFromFile(dir + "/damaged-lzw.gif");  // codes overwritten in one frame
    EXPECT_EQ(image.Frames.size(), 12u);
    EXPECT_LE(damaged(), 1);

    image.LoadFromFile(dir + "/damaged-tail.gif");  // bytes after the last frame
    EXPECT_EQ(image.Frames.size(), 6u);

    EXPECT_THROW(image.LoadFromFile(dir + "/damaged-header.gif"), EGIFError);
    EXPECT_EQ(image.Frames.size(), 6u) << "a refused file leaves the image as it was";
}

TEST(GIFReference, ComposedFramesEqualAReplayOfGiflibFrames) {
    for (const std::string& path : CorpusFiles()) {
        if (path.find("damaged") != std::string::npos) continue;
        SCOPED_TRACE(path);
        Reference ref = ReadWithGiflib(path);
        ASSERT_FALSE(ref.Failed);
        TGIFImage image;
        image.LoadFromFile(path);
        // The fill colour follows the still frame (0), else the background
        // of a transparent picture, else the window colour.
        uint32_t fill = kWindowColor;
        bool anyTransparent = std::any_of(ref.Frames.begin(), ref.Frames.end(),
                                          [](const Reference::Frame& f) { return f.Transparent >= 0; });
        if (ref.Frames[0].Transparent >= 0)
            fill = ref.Frames[0].ColorMap[ref.Frames[0].Transparent];
        else if (anyTransparent && ref.Background != kGIFNoColor)
            fill = ref.Background;
        std::vector<std::vector<uint32_t>> expected = ReplayReference(ref, fill);

        TGIFComposition composition;
        int n = static_cast<int>(expected.size());
        int incremental = 0;
        for (int round = 0; round < 2; ++round)  // in order, through the wrap to frame 0
            for (int i = 0; i < n; ++i) {
                if (!composition.Compose(image, i, kWindowColor)) ++incremental;
                ASSERT_TRUE(composition.Pixels == expected[i]) << "frame " << i << " in order";
            }
        for (int i = n - 1; i >= 0; --i) {  // jumps: rebuilt every time
            composition.Compose(image, i, kWindowColor);
            ASSERT_TRUE(composition.Pixels == expected[i]) << "frame " << i << " after a jump";
        }
        int previousDisposals = 0;
        for (int i = 0; i + 1 < n; ++i) previousDisposals += ref.Frames[i].Disposal == 3;
        EXPECT_EQ(incremental, 2 * (n - 1 - previousDisposals)) << "steps drawn incrementally";
    }
}

TEST(GIFReference, DataCutAnywhereKeepsTheFramesBeforeTheCut) {
    for (const char* name : {"mixed-disposal.gif", "optimized.gif", "interlaced-anim.gif"}) {
        SCOPED_TRACE(name);
        std::string bytes = ReadFileIfExists(std::string(PICTURE_CORPUS) + "/" + name).value();
        TGIFImage full;
        full.LoadFromBytes(bytes);
        size_t headerEnd = 13 + (full.GlobalColorMap.size() * 3);
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            TGIFImage image;
            try {
                image.LoadFromBytes(std::string_view(bytes).substr(0, cut));
            } catch (const EGIFError&) {
                EXPECT_LT(cut, headerEnd) << "refused at " << cut;
                continue;
            }
            ASSERT_LE(image.Frames.size(), full.Frames.size());
            for (size_t i = 0; i + 1 < image.Frames.size(); ++i)
                ASSERT_TRUE(image.Frames[i].Pixels == full.Frames[i].Pixels) << "frame " << i << ", cut " << cut;
        }
    }
}

namespace {
// giflib's pixels of the first frame of `bytes`, read from memory.
std::vector<uint8_t> GiflibPixels(const std::string& bytes) {
    struct TSource {
        const std::string* Bytes;
        size_t Pos = 0;
    } source{&bytes};
    auto read = [](GifFileType* gif, GifByteType* out, int n) -> int {
        auto* s = static_cast<TSource*>(gif->UserData);
        size_t take = std::min(static_cast<size_t>(n), s->Bytes->size() - s->Pos);
        std::memcpy(out, s->Bytes->data() + s->Pos, take);
        s->Pos += take;
        return static_cast<int>(take);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    if (!gif) return {};
    std::vector<uint8_t> pixels;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& s = gif->SavedImages[0];
        pixels.assign(s.RasterBits, s.RasterBits + static_cast<size_t>(s.ImageDesc.Width) * s.ImageDesc.Height);
    }
    DGifCloseFile(gif, &error);
    return pixels;
}
}  // namespace

// Every initial code size from 1 to 11 decodes with the general algorithm;
// the code streams are checked against giflib where it reads them (1 … 8).
TEST(GIFReference, EveryCodeSizeFrom1To11Decodes) {
    for (int codeSize = 1; codeSize <= 11; ++codeSize) {
        SCOPED_TRACE("code size " + std::to_string(codeSize));
        int colors = std::min(1 << codeSize, 256);
        // Runs and noise, long enough to fill the table more than once.
        std::vector<uint8_t> pixels(200 * 150);
        uint32_t seed = 12345u + codeSize;
        for (size_t i = 0; i < pixels.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            pixels[i] = (i / 40) % 3 == 0 ? static_cast<uint8_t>((i / 40) % colors)
                                          : static_cast<uint8_t>((seed >> 16) % colors);
        }
        GIFBuilder b(200, 150, colors);
        std::string bytes = b.Compressed(0, 0, 200, 150, pixels, codeSize).Trailer();
        if (codeSize <= 8) {
            EXPECT_TRUE(GiflibPixels(bytes) == pixels) << "the test's own coder disagrees with giflib";
        }
        TGIFImage image;
        image.LoadFromBytes(bytes);
        ASSERT_EQ(image.Frames.size(), 1u);
        EXPECT_FALSE(image.Frames[0].Corrupted);
        EXPECT_TRUE(image.Frames[0].Pixels == pixels);
    }
}
