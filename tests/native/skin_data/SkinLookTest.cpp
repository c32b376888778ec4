// A skinned control's element data: lookup, stretch mode, size fitting,
// place mapping and drawing at any size.
#include <gtest/gtest.h>

#include <utility>

#include "SkinTestSupport.h"
#include "skin/data/vlSkinLook.h"

namespace {

// A skin with one picture (40 × 20, a gradient so that every pixel differs)
// and the control elements given.
void LoadLooks(TvlSkinData& skin, const std::string& controls, int count) {
    TPixelImage picture;
    picture.Resize(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) picture.SetPixelColor(x, y, static_cast<uint32_t>(x * 6 + (y * 12 << 8)));
    LoadControlElements(skin, {EncodeBmp(picture)}, controls, count);
}

const char* kLooks =
    "0=both:button\r\n1=horizontal:button\r\n2=vertical:button\r\n3=fixed:button\r\n4=stdlabel:stdlabel\r\n"
    "5=nopicture:button\r\n"
    "[both]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=3,3\r\nrighttoppoint=17,3\r\n"
    "leftbottompoint=3,7\r\nrightbottompoint=17,7\r\nclientrect=3,3,17,7\r\n"
    "[horizontal]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,0\r\nrighttoppoint=16,0\r\n"
    "clientrect=4,2,16,8\r\n"
    "[vertical]\r\npictureindex=0\r\nskinrect=20,0,30,20\r\nlefttoppoint=0,5\r\nleftbottompoint=0,15\r\n"
    "clientrect=1,5,9,15\r\n"
    "[fixed]\r\npictureindex=0\r\nskinrect=10,10,22,18\r\nclientrect=1,1,11,7\r\n"
    "[nopicture]\r\npictureindex=5\r\nskinrect=0,0,20,10\r\n";

}  // namespace

TEST(SkinLook, LookupStretchModesAndPictures) {
    TvlSkinData skin;
    LoadLooks(skin, kLooks, 6);
    TvlSkinLook look;
    look.ReadElement(&skin, "both", true);
    EXPECT_EQ(look.ElementIndex, 0);
    EXPECT_EQ(look.StretchMode, smBoth);
    EXPECT_EQ(look.Picture, &skin.PictureList[0]);
    EXPECT_EQ(look.SkinClientRect, (TRect{3, 3, 17, 7}));
    look.ReadElement(&skin, "horizontal", true);
    EXPECT_EQ(look.StretchMode, smHorizontal);
    look.ReadElement(&skin, "vertical", true);
    EXPECT_EQ(look.StretchMode, smVertical);
    look.ReadElement(&skin, "fixed", true);
    EXPECT_EQ(look.StretchMode, smFixed);
    look.ReadElement(&skin, "nopicture", true);
    EXPECT_EQ(look.Picture, nullptr);  // an index past the picture list is no picture
    EXPECT_EQ(look.StretchMode, smFixed);
    // A control element without geometry is drawn fixed and without picture.
    look.ReadElement(&skin, "stdlabel", true);
    EXPECT_EQ(look.ElementIndex, 4);
    EXPECT_EQ(look.StretchMode, smFixed);
    EXPECT_EQ(look.Picture, nullptr);
    // Names are exact; no skin and an empty skin find nothing.
    look.ReadElement(&skin, "Both", true);
    EXPECT_EQ(look.ElementIndex, -1);
    look.ReadElement(nullptr, "both", true);
    EXPECT_EQ(look.ElementIndex, -1);
    TvlSkinData empty;
    look.ReadElement(&empty, "both", true);
    EXPECT_EQ(look.ElementIndex, -1);
}

TEST(SkinLook, SizesFitTheElementAndPlacesFollowIt) {
    TvlSkinData skin;
    LoadLooks(skin, kLooks, 6);
    TvlSkinLook look;
    // The size the named look gives a control asked to be w × h.
    auto fit = [&](const char* name, int w, int h) {
        look.ReadElement(&skin, name, true);
        look.AdjustToSkinSize(w, h);
        return std::pair(w, h);
    };

    EXPECT_EQ(fit("fixed", 100, 50), std::pair(12, 8));  // locked to the look
    EXPECT_EQ(look.ScaledClientRect, look.SkinClientRect);
    EXPECT_EQ(look.MapSkinRect({1, 1, 5, 5}, 12, 8), (TRect{1, 1, 5, 5}));

    EXPECT_EQ(fit("horizontal", 50, 30), std::pair(50, 10));  // the height is the look's
    EXPECT_EQ(look.ScaledRightTop, (TPoint{46, 0}));
    EXPECT_EQ(look.ScaledClientRect, (TRect{4, 2, 46, 8}));
    EXPECT_EQ(look.MapSkinRect({2, 0, 18, 5}, 50, 10), (TRect{2, 0, 48, 5}));    // spans the middle: grows
    EXPECT_EQ(look.MapSkinRect({17, 0, 19, 5}, 50, 10), (TRect{47, 0, 49, 5}));  // right of it: moves
    EXPECT_EQ(look.MapSkinRect({1, 0, 3, 5}, 50, 10), (TRect{1, 0, 3, 5}));      // left of it: stays

    EXPECT_EQ(fit("vertical", 40, 60), std::pair(10, 60));  // the width is the look's
    EXPECT_EQ(look.ScaledLeftBottom, (TPoint{0, 55}));
    EXPECT_EQ(look.MapSkinRect({0, 16, 10, 19}, 10, 60), (TRect{0, 56, 10, 59}));  // wholly below: moves down
    EXPECT_EQ(look.MapSkinRect({0, 2, 10, 17}, 10, 60), (TRect{0, 2, 10, 57}));

    EXPECT_EQ(fit("both", 60, 30), std::pair(60, 30));
    EXPECT_EQ(look.ScaledRightBottom, (TPoint{57, 27}));
    EXPECT_EQ(look.ScaledClientRect, (TRect{3, 3, 57, 27}));
    EXPECT_EQ(look.MapSkinRect({0, 0, 2, 2}, 60, 30), (TRect{0, 0, 2, 2}));         // left-top corner
    EXPECT_EQ(look.MapSkinRect({18, 0, 20, 2}, 60, 30), (TRect{58, 0, 60, 2}));     // right-top
    EXPECT_EQ(look.MapSkinRect({0, 8, 2, 10}, 60, 30), (TRect{0, 28, 2, 30}));      // left-bottom
    EXPECT_EQ(look.MapSkinRect({18, 8, 20, 10}, 60, 30), (TRect{58, 28, 60, 30}));  // right-bottom
    EXPECT_EQ(look.MapSkinRect({1, 1, 19, 9}, 60, 30), (TRect{1, 1, 59, 29}));      // across: grows both ways
    EXPECT_EQ(look.MapSkinRect({1, 1, 19, 2}, 60, 30), (TRect{1, 1, 59, 2}));       // along the top
    EXPECT_EQ(look.MapSkinRect({1, 8, 19, 9}, 60, 30), (TRect{1, 28, 59, 29}));     // along the bottom
    EXPECT_EQ(look.MapSkinRect({1, 1, 2, 9}, 60, 30), (TRect{1, 1, 2, 29}));        // down the left
    EXPECT_EQ(look.MapSkinRect({18, 1, 19, 9}, 60, 30), (TRect{58, 1, 59, 29}));    // down the right
}

TEST(SkinLook, DrawsEveryModeFromThePicture) {
    TvlSkinData skin;
    LoadLooks(skin, kLooks, 6);
    const TPixelImage& picture = skin.PictureList[0];
    auto at = [&](int x, int y) { return picture.PixelColor(x, y); };
    TvlSkinLook look;
    TvlFBitmap bitmap;

    look.ReadElement(&skin, "fixed", true);
    look.DrawSkinPicture(bitmap, look.Picture, look.SkinRect, 100, 100);
    ASSERT_EQ(bitmap.Width(), 12);  // a fixed look is drawn at its own size
    ASSERT_EQ(bitmap.Height(), 8);
    EXPECT_EQ(bitmap.Pixel(0, 0), at(10, 10));
    EXPECT_EQ(bitmap.Pixel(11, 7), at(21, 17));

    look.ReadElement(&skin, "horizontal", true);
    int w = 50, h = 10;
    look.AdjustToSkinSize(w, h);
    look.DrawSkinPicture(bitmap, look.Picture, look.SkinRect, w, h);
    ASSERT_EQ(bitmap.Width(), 50);
    EXPECT_EQ(bitmap.Pixel(0, 5), at(0, 5));    // left end copied
    EXPECT_EQ(bitmap.Pixel(49, 5), at(19, 5));  // right end at the right edge
    EXPECT_EQ(bitmap.Pixel(4, 5), at(4, 5));    // the middle tiles from its start
    EXPECT_EQ(bitmap.Pixel(16, 5), at(4, 5));   // ... and repeats after 12 columns

    look.ReadElement(&skin, "both", true);
    w = 60, h = 30;
    look.AdjustToSkinSize(w, h);
    look.DrawSkinPicture(bitmap, look.Picture, look.SkinRect, w, h);
    ASSERT_EQ(bitmap.Width(), 60);
    ASSERT_EQ(bitmap.Height(), 30);
    EXPECT_EQ(bitmap.Pixel(0, 0), at(0, 0));
    EXPECT_EQ(bitmap.Pixel(59, 29), at(19, 9));  // corners stay whole
    EXPECT_EQ(bitmap.Pixel(3, 3), at(3, 3));     // the client piece tiles from its corner

    // No picture draws nothing.
    TvlFBitmap untouched(5, 5);
    untouched.Fill(0x123456);
    look.DrawSkinPicture(untouched, nullptr, look.SkinRect, 5, 5);
    EXPECT_EQ(untouched.Pixel(2, 2), 0x123456u);
}
