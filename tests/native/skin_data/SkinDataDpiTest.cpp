#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "SkinTestSupport.h"
#include "skin/data/vlScaledShapes.h"
#include "skin/data/vlSkinScale.h"

namespace {

// A skin whose frame picture is one colour, with a client rect to scale.
TvlSkinPackageParts FrameSkin(int w, int h, uint32_t colour, const std::string& clientRect) {
    TvlSkinPackageParts p;
    p.MainPicture = SolidBmp(w, h, colour);
    p.Text = MinimalDescription("[PICTURES]\r\npicture=frame.bmp\r\n[FORMINFO]\r\nclientrect=" + clientRect + "\r\n");
    return p;
}

uint32_t Colour(const TPixelImage& p, int x, int y) {
    const uint8_t* px = p.Row(y) + 3 * x;
    return static_cast<uint32_t>(px[2] | (px[1] << 8) | (px[0] << 16));
}

}  // namespace

TEST(SkinDataDpi, StoredScalesAreReadOnlyAwayFrom96AndTheWayBackIsExact) {
    TvlCompressedStoredSkin stored = StoredSkin(FrameSkin(40, 30, 0x203040, "4,10,36,26"));
    // The drawing for 144 DPI is told apart by its colour.
    const std::string drawn144 = DeflateSkinStream(WriteSkinPackage(FrameSkin(60, 45, 0x405060, "6,15,54,39")));
    std::vector<int> asked;
    stored.ScaledStreams = [&](int dpi) {
        asked.push_back(dpi);
        return dpi == 144 ? drawn144 : std::string();
    };

    TvlSkinData skin;
    skin.LoadStoredSkin(&stored);
    const TPixelImage base = skin.MainPicture;
    EXPECT_EQ(skin.Dpi(), 96);  // the native build has no display to follow
    EXPECT_TRUE(asked.empty());  // a 96-DPI load inflates nothing more

    TMessageLog log;
    skin.SetDpi(144);
    EXPECT_EQ(log.Messages, FullLoad);
    EXPECT_EQ(asked, (std::vector<int>{144}));
    EXPECT_EQ(skin.MainPicture.Width, 60);
    const uint32_t drawnColour = Colour(skin.MainPicture, 5, 5);
    EXPECT_NE(drawnColour, Colour(base, 5, 5));
    EXPECT_EQ(skin.ClientRect, (TRect{6, 15, 54, 39}));

    // Below a drawn scale: that drawing scaled down, never the 96-DPI one up.
    asked.clear();
    skin.SetDpi(120);
    EXPECT_EQ(asked, (std::vector<int>{144}));
    EXPECT_EQ(skin.MainPicture.Width, ScaleSkinLength(40, 120));
    EXPECT_EQ(Colour(skin.MainPicture, 5, 5), drawnColour);
    EXPECT_EQ(skin.ClientRect, (TRect{5, 13, 45, 33}));

    // Above every drawn scale: the 96-DPI skin scaled up.
    asked.clear();
    skin.SetDpi(240);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(skin.MainPicture.Width, 100);
    EXPECT_EQ(Colour(skin.MainPicture, 5, 5), Colour(base, 5, 5));

    // The same DPI again reads nothing; 96 DPI gives the first pixels back.
    log.Messages.clear();
    skin.SetDpi(240);
    EXPECT_TRUE(log.Messages.empty());
    asked.clear();
    skin.SetDpi(96);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(skin.MainPicture.Pixels, base.Pixels);
    EXPECT_EQ(skin.ClientRect, (TRect{4, 10, 36, 26}));

    // The skin is kept by value: the stored component may go.
    TvlSkinData other;
    {
        TvlCompressedStoredSkin gone = StoredSkin(FrameSkin(40, 30, 0x203040, "4,10,36,26"));
        other.LoadStoredSkin(&gone);
    }
    other.SetDpi(192);
    EXPECT_EQ(other.MainPicture.Width, 80);

    // Without a skin only the DPI is kept, for the first load.
    TvlSkinData empty;
    log.Messages.clear();
    empty.SetDpi(144);
    EXPECT_TRUE(log.Messages.empty());
    empty.LoadStoredSkin(&stored);
    EXPECT_EQ(empty.Dpi(), 144);
    EXPECT_EQ(empty.MainPicture.Width, 60);
}

TEST(SkinDataDpi, AnUnreadableSourceIsNotReadAgainAtAnotherDpi) {
    TvlSkinData skin;
    TvlCompressedStoredSkin broken(nullptr, "not a zlib stream");
    EXPECT_ANY_THROW(skin.LoadStoredSkin(&broken));
    TMessageLog log;
    EXPECT_NO_THROW(skin.SetDpi(144));
    EXPECT_TRUE(log.Messages.empty());
    EXPECT_TRUE(skin.IsEmpty());
    // A good load after it is followed as usual.
    TvlCompressedStoredSkin good = StoredSkin(FrameSkin(40, 30, 0x203040, "4,10,36,26"));
    skin.LoadStoredSkin(&good);
    skin.SetDpi(192);
    EXPECT_EQ(skin.MainPicture.Width, 80);
}

TEST(SkinDataDpi, PlainGlyphsAndArrowsGrowSolidWithTheScale) {
    // The box every pixel of `colour` lies in, and how many there are.
    auto drawn = [](int dpi, auto draw) {
        TvlFBitmap bitmap(64, 64);
        bitmap.Fill(0);
        draw(bitmap, dpi);
        TRect box{64, 64, 0, 0};
        int count = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (bitmap.Pixel(x, y) != 0) {
                    ++count;
                    box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                           std::max(box.Bottom, y + 1)};
                }
        return std::pair{box, count};
    };
    auto minimize = [](TvlFBitmap& b, int dpi) { DrawDefaultGlyph(b, TvlGlyph::Minimize, 10, 10, 0xFFFFFF, dpi); };
    auto maximize = [](TvlFBitmap& b, int dpi) { DrawDefaultGlyph(b, TvlGlyph::Maximize, 10, 10, 0xFFFFFF, dpi); };
    auto arrow = [](TvlFBitmap& b, int dpi) { DrawArrow(b, {0, 0, 40, 40}, 0xFFFFFF, 4, dpi); };

    // At 96 DPI exactly the strokes of the plain drawing functions.
    EXPECT_EQ(ScaleShapes(DefaultGlyphShapes(TvlGlyph::Close, 3, 4), {3, 4}, 96), DefaultGlyphShapes(TvlGlyph::Close, 3, 4));
    // The minimize bar, 8 × 2 at 96 DPI, is a solid bar twice as long and
    // thick at 192 and grows from the cell's corner.
    auto [bar96, bar96Count] = drawn(96, minimize);
    auto [bar192, bar192Count] = drawn(192, minimize);
    EXPECT_EQ(bar96, (TRect{11, 18, 19, 20}));
    EXPECT_EQ(bar192, (TRect{12, 26, 28, 30}));
    EXPECT_EQ(bar192Count, 4 * bar96Count);
    // The maximize box keeps a hollow inside, its outline as thick as a 96-DPI pixel scaled.
    auto [box144, box144Count] = drawn(144, maximize);
    EXPECT_EQ(box144.Width(), ScaleSkinLength(11, 144));
    EXPECT_EQ(box144.Height(), ScaleSkinLength(10, 144));
    EXPECT_LT(box144Count, box144.Width() * box144.Height());
    // An arrow grows about the middle of its rectangle, without gaps.
    auto [arrow96, arrow96Count] = drawn(96, arrow);
    auto [arrow192, arrow192Count] = drawn(192, arrow);
    EXPECT_EQ(arrow192.Width(), 2 * arrow96.Width());
    EXPECT_EQ(arrow192.Height(), 2 * arrow96.Height());
    EXPECT_EQ(arrow192Count, 4 * arrow96Count);
    EXPECT_LE(arrow192.Left, 20);
    EXPECT_GE(arrow192.Right, 20);
}
