// The GIF reader's own rules: versions, extensions, loop and comments,
// graphic control, damaged data, caps, delays and the composition's choices.
#include <gtest/gtest.h>

#include "media/GIFImage.h"
#include "tests/native/media/GIFBuilder.h"

namespace {

std::vector<uint8_t> Pattern(int n) {
    std::vector<uint8_t> p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>((i * 7 + i / 3) % 4);
    return p;
}

std::string ErrorOf(const std::string& bytes) {
    TGIFImage image;
    try {
        image.LoadFromBytes(bytes);
    } catch (const EGIFError& e) {
        return e.Message();
    }
    return "";
}

}  // namespace

TEST(GIFReader, SignatureAndVersion) {
    EXPECT_EQ(ErrorOf(GIFBuilder(2, 2, 4, "GIF88a").Trailer()), kGIFUnknownVersionText);
    EXPECT_EQ(ErrorOf(GIFBuilder(2, 2, 4, "JIF89a").Trailer()), kGIFUnknownVersionText);
    EXPECT_EQ(ErrorOf("GIF8"), kGIFUnknownVersionText);
    EXPECT_EQ(ErrorOf(""), kGIFUnknownVersionText);
    EXPECT_EQ(std::string(kGIFUnknownVersionText), "Неизвестная версия изображения GIF");
    TGIFImage image;
    image.LoadFromBytes(GIFBuilder(2, 2, 4, "gif87A").Image(0, 0, 2, 2, Pattern(4)).Trailer());
    EXPECT_EQ(image.Version, "87A");
    EXPECT_EQ(image.FrameIndex, 0);
    EXPECT_EQ(ErrorOf("GIF89a\x05\x00"), kStreamReadErrorText) << "screen descriptor cut short";
}

TEST(GIFReader, ExtensionsBeforeAFrame) {
    GIFBuilder b(4, 3);
    b.Extension(0x42, "an extension nobody defined");  // skipped, not refused
    b.Application("NETSCAPE2.0", std::string("\x01\x01\x00", 3));
    b.GraphicControl(2, 7, 9);  // transparent index outside the 4-entry map
    b.GraphicControl(3, 4, 1);
    b.Extension(0xFE, "before the frame");
    b.Image(1, 0, 0, 0, Pattern(12));  // width and height 0: the screen's
    b.Extension(0xFE, "first\r\nsecond");
    b.Extension(0xFE, "third");
    TGIFImage image;
    image.LoadFromBytes(b.Trailer());
    ASSERT_EQ(image.Frames.size(), 1u);
    const TGIFFrame& f = image.Frames[0];
    EXPECT_EQ(f.Width, 4);
    EXPECT_EQ(f.Height, 3);
    EXPECT_EQ(f.Left, 1);
    EXPECT_EQ(f.AnimateInterval, 70) << "the larger delay of the two";
    EXPECT_EQ(f.Disposal, 3) << "the last extension's method";
    EXPECT_EQ(f.TransparentIndex, 1);
    EXPECT_EQ(f.TransparentColor, f.ColorMap[1]);
    EXPECT_EQ(f.Extensions.size(), 3u);
    EXPECT_EQ(f.Pixels, Pattern(12));
    EXPECT_FALSE(f.Corrupted);
    EXPECT_TRUE(image.Looping);
    EXPECT_EQ(image.RepeatCount, 1);
    EXPECT_EQ(image.Comment, (std::vector<std::string>{"first", "second", "", "third"}));

    GIFBuilder last(2, 2);
    last.GraphicControl(0, 5, 3).Image(0, 0, 2, 2, Pattern(4));
    last.GraphicControl(0, 5, 1)
        .Raw(std::string("\x21\x01\x01\x00\x00", 5))
        .Image(0, 0, 2, 2, Pattern(4));  // plain text drops it
    image.LoadFromBytes(last.Trailer());
    EXPECT_EQ(image.Frames[0].TransparentIndex, 3);
    EXPECT_EQ(image.Frames[1].TransparentIndex, -1);
    EXPECT_TRUE(image.Frames[1].Extensions.empty());
    EXPECT_FALSE(image.Looping);
    EXPECT_TRUE(image.Comment.empty());
}

TEST(GIFReader, LoopExtension) {
    auto load = [](const std::string& id, const std::string& block) {
        TGIFImage image;
        image.LoadFromBytes(GIFBuilder(2, 2).Application(id, block).Image(0, 0, 2, 2, Pattern(4)).Trailer());
        return image;
    };
    TGIFImage image = load("ANIMEXTS1.0", std::string("\x01\xFF\xFF", 3));
    EXPECT_TRUE(image.Looping);
    EXPECT_EQ(image.RepeatCount, 30000);
    image = load("NETSCAPE2.0", std::string("\x01\x00\x00", 3));
    EXPECT_TRUE(image.Looping);
    EXPECT_EQ(image.RepeatCount, 0);
    EXPECT_FALSE(load("NETSCAPE2.0", std::string("\x01\x05", 2)).Looping);
    EXPECT_FALSE(load("NETSCAPE2.0", std::string("\x02\x05\x00", 3)).Looping);
    EXPECT_FALSE(load("XMP DataXMP", std::string("\x01\x05\x00", 3)).Looping);
}

TEST(GIFReader, DamagedCodeStreamsAreAcceptedAndMarked) {
    // Code sizes the 12-bit code width cannot serve are refused.
    for (int codeSize : {0, 12, 255}) {
        GIFBuilder b(3, 2);
        b.Descriptor(0, 0, 3, 2).Raw(std::string(1, static_cast<char>(codeSize)) + std::string("\x01\x00\x00", 3));
        EXPECT_EQ(ErrorOf(b.Trailer()), kStreamReadErrorText) << codeSize;
    }
    TGIFImage image;

    // A code that is not yet in the table, first thing after a clear.
    GIFBuilder bad(3, 2);
    bad.Descriptor(0, 0, 3, 2).Raw(std::string("\x02\x02\x3C\x00\x00", 5));  // clear, then code 7
    image.LoadFromBytes(bad.Trailer());
    EXPECT_TRUE(image.Frames[0].Corrupted);

    // Code size 9 is accepted as it is.
    image.LoadFromBytes(GIFBuilder(3, 2).Image(0, 0, 3, 2, Pattern(6), 9).Trailer());
    EXPECT_FALSE(image.Frames[0].Corrupted);
    EXPECT_EQ(image.Frames[0].Pixels, Pattern(6));

    // Too few pixels: the rest takes the transparent index.
    GIFBuilder shortData(4, 4);
    shortData.GraphicControl(0, 0, 2).Image(0, 0, 4, 4, Pattern(5));
    image.LoadFromBytes(shortData.Trailer());
    EXPECT_TRUE(image.Frames[0].Corrupted);
    EXPECT_EQ(image.Frames[0].Pixels[15], 2);

    // The data ends inside the frame: the frame is kept.
    std::string cut = GIFBuilder(40, 40).Image(0, 0, 40, 40, Pattern(1600)).Bytes;
    cut.resize(cut.size() - 100);
    image.LoadFromBytes(cut);
    ASSERT_EQ(image.Frames.size(), 1u);
    EXPECT_TRUE(image.Frames[0].Corrupted);
}

TEST(GIFReader, UnexpectedBytesAfterExtensionsAreAReadError) {
    EXPECT_EQ(ErrorOf(GIFBuilder(2, 2).GraphicControl(0, 1).Raw("X").Trailer()), kStreamReadErrorText);
    // Without a pending extension the rest of the data is ignored.
    TGIFImage image;
    image.LoadFromBytes(GIFBuilder(2, 2).Image(0, 0, 2, 2, Pattern(4)).Raw("\0\0junk").Trailer());
    EXPECT_EQ(image.Frames.size(), 1u);
}

TEST(GIFReader, SizesBeyondTheCapsAreRefused) {
    EXPECT_EQ(ErrorOf(GIFBuilder(65535, 65535).Trailer()), kStreamReadErrorText);
    EXPECT_EQ(ErrorOf(GIFBuilder(10, 10).Descriptor(0, 0, 65535, 65535).Raw("\x02\x00").Trailer()),
              kStreamReadErrorText);
    // Many screen-sized frames of almost no data each.
    GIFBuilder many(4096, 4096);
    for (int i = 0; i < 5; ++i) many.Descriptor(0, 0, 0, 0).Raw(std::string("\x02\x01\x04\x00", 4));
    EXPECT_EQ(ErrorOf(many.Trailer()), kStreamReadErrorText);
}

TEST(GIFReader, FrameDelays) {
    GIFBuilder b(2, 2);
    for (int delay : {0, 3, 20000, 12}) b.GraphicControl(0, delay).Image(0, 0, 2, 2, Pattern(4));
    TGIFImage image;
    image.LoadFromBytes(b.Trailer());
    EXPECT_EQ(image.FrameDelay(0), 50);
    EXPECT_EQ(image.FrameDelay(1), 50);
    EXPECT_EQ(image.FrameDelay(2), 10000);
    EXPECT_EQ(image.FrameDelay(3), 120);
    EXPECT_EQ(image.FrameDelay(4), 0);
    EXPECT_EQ(image.FrameDelay(-1), 0);
    image.LoadFromBytes(GIFBuilder(2, 2).GraphicControl(0, 500).Image(0, 0, 2, 2, Pattern(4)).Trailer());
    EXPECT_EQ(image.FrameDelay(0), 0) << "a still picture never ticks";
}

TEST(GIFReader, ChangeNotificationAndClear) {
    TGIFImage image;
    int changes = 0;
    image.OnChange = [&] { ++changes; };
    image.LoadFromBytes(GIFBuilder(2, 2).Image(0, 0, 2, 2, Pattern(4)).Trailer());
    EXPECT_THROW(image.LoadFromBytes("not a picture"), EGIFError);
    EXPECT_EQ(changes, 1);
    image.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(image.FrameIndex, -1);
    EXPECT_THROW(image.LoadFromFile("/nonexistent/picture.gif"), EFOpenError);
}

TEST(GIFComposition, FillColourAndTransparency) {
    // Frame 0 transparent: its transparent colour fills and is left out.
    GIFBuilder b(4, 2);
    b.GraphicControl(2, 0, 0).Image(0, 0, 2, 2, {1, 0, 0, 1});
    b.GraphicControl(0, 0).Image(2, 0, 2, 2, {2, 2, 3, 3});
    TGIFImage image;
    image.LoadFromBytes(b.Trailer());
    TGIFComposition c;
    c.Compose(image, 0, 0x123456);
    uint32_t key = image.Frames[0].ColorMap[0];
    EXPECT_EQ(c.TransparentColor, key);
    EXPECT_EQ(c.Pixels[1], SwapRedBlue(key));
    EXPECT_EQ(c.Pixels[0], SwapRedBlue(image.Frames[0].ColorMap[1]));
    EXPECT_FALSE(c.Compose(image, 1, 0x123456)) << "next frame drawn on the cache";
    EXPECT_EQ(c.Pixels[0], SwapRedBlue(key)) << "frame 0 restored to the fill colour";
    EXPECT_EQ(c.Pixels[2], SwapRedBlue(image.Frames[1].ColorMap[2]));

    // Nothing transparent: the window colour fills.
    GIFBuilder opaque(3, 1);
    opaque.Image(1, 0, 1, 1, {3});
    image.LoadFromBytes(opaque.Trailer());
    EXPECT_TRUE(c.Compose(image, 5, 0x123456)) << "an image change rebuilds";
    EXPECT_EQ(c.Index, 0) << "index capped to the last frame";
    EXPECT_EQ(c.TransparentColor, kGIFNoColor);
    EXPECT_EQ(c.Pixels[0], SwapRedBlue(0x123456u));
}

// A 1 x 1 tracking pixel coded with code size 1: its one pixel is the
// transparent index, so nothing of it is drawn.
TEST(GIFReader, TrackingPixelWithCodeSize1IsTransparent) {
    GIFBuilder b(1, 1, 2);
    b.GraphicControl(0, 0, 1).Compressed(0, 0, 1, 1, {1}, 1);
    TGIFImage image;
    image.LoadFromBytes(b.Trailer());
    ASSERT_EQ(image.Frames.size(), 1u);
    EXPECT_FALSE(image.Frames[0].Corrupted);
    EXPECT_EQ(image.Frames[0].Pixels, std::vector<uint8_t>{1});
    TGIFComposition c;
    c.Compose(image, 0, 0x123456);
    EXPECT_EQ(c.TransparentColor, image.GlobalColorMap[1]);
    EXPECT_EQ(c.Mask, std::vector<uint8_t>{1});
}

// An interlaced frame of width 0 (on a screen of width 0) has no rows to
// move and draws nothing.
TEST(GIFReader, InterlacedFrameOfWidthZero) {
    GIFBuilder b(0, 8);
    b.Compressed(0, 0, 0, 8, {}, 2, true);
    TGIFImage image;
    image.LoadFromBytes(b.Trailer());
    ASSERT_EQ(image.Frames.size(), 1u);
    EXPECT_TRUE(image.Frames[0].Interlaced);
    EXPECT_EQ(image.Frames[0].Width, 0);
    EXPECT_TRUE(image.Frames[0].Pixels.empty());
    TGIFComposition c;
    c.Compose(image, 0, 0x123456);
    EXPECT_TRUE(c.Pixels.empty());
    EXPECT_TRUE(c.Mask.empty());
}

// Transparency is by index: a drawn pixel whose colour happens to equal the
// transparent colour stays, through every kind of composition.
TEST(GIFComposition, OnlyTransparentIndexesAreLeftOut) {
    GIFBuilder b(4, 1);
    b.GraphicControl(2, 0, 0).Image(0, 0, 4, 1, {0, 3, 1, 0});
    b.GraphicControl(0, 0, 0).Image(0, 0, 2, 1, {0, 3});
    std::string bytes = b.Trailer();
    // Global colour 3 becomes the same colour as the transparent colour 0.
    bytes.replace(13 + 9, 3, bytes.substr(13, 3));
    TGIFImage image;
    image.LoadFromBytes(bytes);
    ASSERT_EQ(image.GlobalColorMap[3], image.GlobalColorMap[0]);
    TGIFComposition c;
    EXPECT_TRUE(c.Compose(image, 0, 0x123456));
    EXPECT_EQ(c.TransparentColor, image.GlobalColorMap[0]);
    EXPECT_EQ(c.Mask, (std::vector<uint8_t>{1, 0, 0, 1}));
    EXPECT_EQ(c.Pixels[1], SwapRedBlue(image.GlobalColorMap[0])) << "drawn in the transparent colour, yet kept";
    // Frame 0 is restored to the background: a hole again, except where
    // frame 1 draws.
    EXPECT_FALSE(c.Compose(image, 1, 0x123456));
    EXPECT_EQ(c.Mask, (std::vector<uint8_t>{1, 0, 1, 1}));
    c.Drop();
    EXPECT_TRUE(c.Compose(image, 1, 0x123456));
    EXPECT_EQ(c.Mask, (std::vector<uint8_t>{1, 0, 1, 1})) << "the rebuild agrees with the step";
}
