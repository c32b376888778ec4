#include <gtest/gtest.h>

#include "SkinTestSupport.h"

namespace {

const char* const ProgramControls[] = {
    "button",     "checkbox",   "panel",          "groupbox", "bevel",    "vsplitter",    "stdlabel", "statusgauge",
    "hscrollbar", "vscrollbar", "bothhscrollbar", "listview", "treeview", "resizebutton", "edit",     "buttonedit",
    "memo",       "combobox",   "listbox",        "tab",      "vupdown",  "hupdown"};

bool Inside(const TRect& r, const TPixelImage& picture) {
    return r.Left >= 0 && r.Top >= 0 && r.Right <= picture.Width && r.Bottom <= picture.Height;
}

class BuiltInSkins : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(BuiltInSkins, LoadAndNameEveryElementTheProgramUses) {
    TMessageLog log;
    TvlSkinData skin;
    skin.LoadPackageFile(std::string(PLANDESK_SKINS_DIR "/") + GetParam() + ".dat");
    ASSERT_FALSE(skin.IsEmpty());
    EXPECT_EQ(log.Messages, FullLoad);
    EXPECT_FALSE(skin.MainPicture.Empty());
    EXPECT_EQ(skin.MainMask.Width, skin.MainPicture.Width);
    EXPECT_EQ(skin.MaskName, "mask.bmp");
    // Rounded top corners: the mask cuts the corner pixel and keeps the middle.
    EXPECT_EQ(skin.MainMask.PixelColor(0, 0), 0xFFFFFFu);
    EXPECT_EQ(skin.MainMask.PixelColor(skin.MainMask.Width / 2, 0), 0u);
    EXPECT_EQ(skin.MainMask.PixelColor(0, skin.MainMask.Height - 1), 0u);

    for (const char* name : ProgramControls) EXPECT_GE(skin.FindControlIndex(name), 0) << name;
    for (const char* name : {"caption", "closebutton", "maxbutton", "minbutton", "sysmenubutton", "rollupbutton",
                             "traybutton", "menuitem"})
        EXPECT_GE(skin.FindObjectIndex(name), 0) << name;
    auto command = [&](const char* name) {
        return dynamic_cast<TvlDataSkinStdButton&>(*skin.SkinObjects[skin.FindObjectIndex(name)]).Command;
    };
    EXPECT_EQ(command("closebutton"), cmClose);
    EXPECT_EQ(command("traybutton"), cmMinimizeToTray);
    EXPECT_EQ(command("sysmenubutton"), cmSysMenu);
    EXPECT_TRUE(dynamic_cast<TvlDataSkinCaption*>(skin.SkinObjects[skin.FindObjectIndex("caption")].get()));
    EXPECT_TRUE(dynamic_cast<TvlDataSkinMenuItem*>(skin.SkinObjects[skin.FindObjectIndex("menuitem")].get()));
    EXPECT_TRUE(
        dynamic_cast<TvlDataSkinCheckRadioControl*>(skin.SkinControls[skin.FindControlIndex("checkbox")].get()));
    EXPECT_TRUE(dynamic_cast<TvlDataSkinUpDownControl*>(skin.SkinControls[skin.FindControlIndex("vupdown")].get()));
    EXPECT_TRUE(
        dynamic_cast<TvlDataSkinScrollBarControl*>(skin.SkinControls[skin.FindControlIndex("bothhscrollbar")].get()));
    EXPECT_TRUE(dynamic_cast<TvlDataSkinGaugeControl*>(skin.SkinControls[skin.FindControlIndex("statusgauge")].get()));

    // Every look lies inside the picture it names.
    for (const auto& control : skin.SkinControls) {
        if (control->PictureIndex < 0) continue;
        ASSERT_LT(control->PictureIndex, static_cast<int>(skin.PictureList.size())) << control->ElementName;
        const TPixelImage& picture = skin.PictureList[control->PictureIndex];
        EXPECT_TRUE(Inside(control->SkinRect, picture)) << control->ElementName;
        if (auto* b = dynamic_cast<TvlDataSkinButtonControl*>(control.get())) {
            EXPECT_TRUE(Inside(b->ActiveSkinRect, picture) && Inside(b->DownSkinRect, picture));
            EXPECT_EQ(b->ActiveSkinRect.Width(), b->SkinRect.Width()) << b->ElementName;
        }
        if (auto* s = dynamic_cast<TvlDataSkinScrollBarControl*>(control.get())) {
            EXPECT_TRUE(Inside(s->ThumbRect, picture) && Inside(s->DownDownButtonRect, picture)) << s->ElementName;
        }
    }
    for (const auto& object : skin.SkinObjects) {
        if (!object->SkinRectInAPicture) continue;
        ASSERT_GE(object->ActivePictureIndex, 0) << object->ElementName;
        ASSERT_LT(object->ActivePictureIndex, static_cast<int>(skin.PictureList.size()));
        const TPixelImage& picture = skin.PictureList[object->ActivePictureIndex];
        EXPECT_TRUE(Inside(object->SkinRect, picture) && Inside(object->ActiveSkinRect, picture))
            << object->ElementName;
    }
    ASSERT_LT(skin.PopupWindow.WindowPictureIndex, static_cast<int>(skin.PictureList.size()));
    ASSERT_LT(skin.HintWindow.WindowPictureIndex, static_cast<int>(skin.PictureList.size()));
    EXPECT_GE(skin.PopupWindow.WindowPictureIndex, 0);
    EXPECT_GE(skin.HintWindow.WindowPictureIndex, 0);
    // Check images are drawn with the picture's bottom-left colour as transparent.
    const TPixelImage& controls = skin.PictureList[skin.SkinControls[skin.FindControlIndex("checkbox")]->PictureIndex];
    EXPECT_EQ(controls.PixelColor(0, controls.Height - 1), 0xFF00FFu);
}

INSTANTIATE_TEST_SUITE_P(Skins, BuiltInSkins, ::testing::Values("modern", "graphite"));

TEST(BuiltInSkins, GraphiteReplacesModern) {
    TvlSkinData skin;
    skin.LoadPackageFile(PLANDESK_SKINS_DIR "/modern.dat");
    EXPECT_EQ(skin.SkinName, "Modern");
    uint32_t modernText =
        dynamic_cast<TvlDataSkinButtonControl&>(*skin.SkinControls[skin.FindControlIndex("button")]).FontColor;
    TMessageLog log;
    skin.LoadPackageFile(PLANDESK_SKINS_DIR "/graphite.dat");
    EXPECT_EQ(log.Messages, FullLoad);
    EXPECT_EQ(skin.SkinName, "Graphite");
    auto& button = dynamic_cast<TvlDataSkinButtonControl&>(*skin.SkinControls[skin.FindControlIndex("button")]);
    EXPECT_NE(button.FontColor, modernText);
    // Light text on a dark field.
    auto brightness = [](uint32_t c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
    EXPECT_GT(brightness(button.FontColor), 3u * 128);
    auto& list = dynamic_cast<TvlDataSkinListView&>(*skin.SkinControls[skin.FindControlIndex("listview")]);
    EXPECT_GT(brightness(list.FontColor), brightness(list.BGColor));
}
