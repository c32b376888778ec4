// A look's element reading at the edges of its data (picture indexes at the
// end of the list, a mask of its own, half-given cut points, no look
// rectangle) and places mapped that lie exactly on a cut.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "skin/data/vlSkinLook.h"

namespace {

// A skin with two pictures of different sizes and the given elements.
void LoadTwoPictures(TvlSkinData& skin, const std::string& elements, int count) {
    LoadControlElements(skin, {SolidBmp(40, 20, 0x102030), SolidBmp(30, 10, 0x405060)}, elements, count);
}

const char* kElements =
    "0=masked:button\r\n1=pastend:button\r\n2=halfcorner:button\r\n3=norect:button\r\n4=both:button\r\n"
    "5=horizontal:button\r\n6=vertical:button\r\n"
    "[masked]\r\npictureindex=1\r\nmaskpictureindex=0\r\nskinrect=0,0,20,10\r\n"
    "[pastend]\r\npictureindex=2\r\nmaskpictureindex=2\r\nskinrect=0,0,20,10\r\n"
    "[halfcorner]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,0\r\nrighttoppoint=16,0\r\n"
    "rightbottompoint=16,0\r\n"
    "[norect]\r\npictureindex=0\r\nlefttoppoint=4,0\r\nrighttoppoint=16,0\r\n"
    "[both]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=3,3\r\nrighttoppoint=17,3\r\n"
    "leftbottompoint=3,7\r\nrightbottompoint=17,7\r\nclientrect=3,3,17,7\r\n"
    "[horizontal]\r\npictureindex=0\r\nskinrect=0,0,20,10\r\nlefttoppoint=4,0\r\nrighttoppoint=16,0\r\n"
    "[vertical]\r\npictureindex=0\r\nskinrect=20,0,30,20\r\nlefttoppoint=0,5\r\nleftbottompoint=0,15\r\n";

}  // namespace

TEST(SkinLookBoundaries, PicturesMasksAndStretchModesAtTheEdgesOfTheirData) {
    TvlSkinData skin;
    LoadTwoPictures(skin, kElements, 7);
    ASSERT_EQ(skin.PictureList.size(), 2u);
    TvlSkinLook look;
    // The look and its mask each from their own index.
    look.ReadElement(&skin, "masked", true);
    EXPECT_EQ(look.Picture, &skin.PictureList[1]);
    EXPECT_EQ(look.MaskBitmap, &skin.PictureList[0]);
    // An index equal to the number of pictures is none.
    look.ReadElement(&skin, "pastend", true);
    EXPECT_EQ(look.ElementIndex, 1);
    EXPECT_EQ(look.Picture, nullptr);
    EXPECT_EQ(look.MaskBitmap, nullptr);
    // Both bottom-right coordinates are needed to stretch both ways.
    look.ReadElement(&skin, "halfcorner", true);
    EXPECT_EQ(look.StretchMode, smHorizontal);
    // Without a look rectangle there is nothing to fit: the size stays.
    look.ReadElement(&skin, "norect", true);
    EXPECT_EQ(look.StretchMode, smNone);
    int w = 33, h = 44;
    look.AdjustToSkinSize(w, h);
    EXPECT_EQ(w, 33);
    EXPECT_EQ(h, 44);
    // Reading again starts afresh: a missing name leaves no element behind.
    look.ReadElement(&skin, "missing", true);
    EXPECT_EQ(look.ElementIndex, -1);
    EXPECT_EQ(look.Element, nullptr);
}

TEST(SkinLookBoundaries, PlacesOnACutFollowThePieceTheyBelongTo) {
    TvlSkinData skin;
    LoadTwoPictures(skin, kElements, 7);
    TvlSkinLook look;

    // Both ways, 20 × 10 drawn at 60 × 30: each corner piece exactly.
    look.ReadElement(&skin, "both", true);
    EXPECT_EQ(look.MapSkinRect({0, 0, 3, 3}, 60, 30), (TRect{0, 0, 3, 3}));
    EXPECT_EQ(look.MapSkinRect({17, 0, 20, 3}, 60, 30), (TRect{57, 0, 60, 3}));
    EXPECT_EQ(look.MapSkinRect({0, 7, 3, 10}, 60, 30), (TRect{0, 27, 3, 30}));
    EXPECT_EQ(look.MapSkinRect({17, 7, 20, 10}, 60, 30), (TRect{57, 27, 60, 30}));
    // From the left-top corner to the right-bottom one, and along the edges,
    // ending exactly on the far cut.
    EXPECT_EQ(look.MapSkinRect({0, 0, 17, 7}, 60, 30), (TRect{0, 0, 57, 27}));
    EXPECT_EQ(look.MapSkinRect({3, 0, 17, 3}, 60, 30), (TRect{3, 0, 57, 3}));
    EXPECT_EQ(look.MapSkinRect({3, 7, 17, 10}, 60, 30), (TRect{3, 27, 57, 30}));
    EXPECT_EQ(look.MapSkinRect({0, 3, 3, 7}, 60, 30), (TRect{0, 3, 3, 27}));
    EXPECT_EQ(look.MapSkinRect({17, 3, 20, 7}, 60, 30), (TRect{57, 3, 60, 27}));
    // Drawn smaller than the look: places move the other way.
    EXPECT_EQ(look.MapSkinRect({17, 7, 20, 10}, 10, 8), (TRect{7, 5, 10, 8}));

    // Across: a place ending on the right cut grows, one starting on it moves.
    look.ReadElement(&skin, "horizontal", true);
    EXPECT_EQ(look.MapSkinRect({4, 0, 16, 5}, 50, 10), (TRect{4, 0, 46, 5}));
    EXPECT_EQ(look.MapSkinRect({16, 0, 19, 5}, 50, 10), (TRect{46, 0, 49, 5}));
    EXPECT_EQ(look.MapSkinRect({5, 0, 15, 5}, 50, 10), (TRect{5, 0, 15, 5}));  // inside the band: stays

    // Down: the same with the bottom cut.
    look.ReadElement(&skin, "vertical", true);
    EXPECT_EQ(look.MapSkinRect({0, 5, 10, 15}, 10, 60), (TRect{0, 5, 10, 55}));
    EXPECT_EQ(look.MapSkinRect({0, 15, 10, 18}, 10, 60), (TRect{0, 55, 10, 58}));
    EXPECT_EQ(look.MapSkinRect({0, 6, 10, 14}, 10, 60), (TRect{0, 6, 10, 14}));
}
