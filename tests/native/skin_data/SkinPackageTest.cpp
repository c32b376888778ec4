#include <gtest/gtest.h>

#include <array>
#include <memory>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "SkinTestSupport.h"
#include "core/FileIO.h"

namespace {

std::string TempPath(const std::string& name) {
    auto dir = std::filesystem::temp_directory_path() / ("skin_data_tests_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Int32(int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    return s;
}

TvlSkinPackageParts Parts() {
    TvlSkinPackageParts p;
    p.MainPicture = SolidBmp(20, 10, 0x112233);
    p.MainMask = SolidBmp(20, 10, 0xFFFFFF);
    p.Pictures = {SolidBmp(3, 4, 0x0000FF), SolidBmp(5, 6, 0x00FF00)};
    p.Text = MinimalDescription("[SKINCONTROLS]\r\ncount=1\r\n0=button:button\r\n");
    return p;
}

}  // namespace

TEST(SkinPackage, FlagsVersionsAndPictureList) {
    TMessageLog log;
    TvlSkinData skin;
    EXPECT_TRUE(skin.IsEmpty());

    TvlSkinPackageParts p = Parts();
    TvlCompressedStoredSkin stored = StoredSkin(p);
    skin.LoadStoredSkin(&stored);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_EQ(log.Messages, FullLoad);
    EXPECT_EQ(log.Senders.front(), &skin);
    EXPECT_EQ(skin.MainPicture.Width, 20);
    EXPECT_TRUE(skin.MainInactivePicture.Empty());  // flag 1: the next byte was the mask flag
    EXPECT_EQ(skin.MainMask.Height, 10);
    ASSERT_EQ(skin.PictureList.size(), 2u);
    EXPECT_EQ(skin.PictureList[1].Width, 5);
    EXPECT_EQ(skin.PictureList[0].PixelColor(1, 1), 0x0000FFu);
    EXPECT_EQ(skin.SkinName, "Test");
    EXPECT_EQ(skin.FindControlIndex("button"), 0);

    // Version 2 carries two legacy pictures after the mask, read and dropped.
    p.Version = 2;
    p.Legacy[0] = SolidBmp(7, 7, 0);
    TvlCompressedStoredSkin v2 = StoredSkin(p);
    skin.LoadStoredSkin(&v2);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_EQ(skin.PictureList.size(), 2u);
    EXPECT_EQ(skin.PictureList[0].Width, 3);

    // Version 3 with the same bytes would read the legacy flag as the count.
    std::string raw = WriteSkinPackage(p);
    raw[0] = 3;
    TvlCompressedStoredSkin misread;
    misread.SetCompressedData(DeflateSkinStream(raw));
    EXPECT_ANY_THROW(skin.LoadStoredSkin(&misread));
    EXPECT_TRUE(skin.IsEmpty());

    // No pictures at all: the count 0 is followed by the text.
    TvlSkinPackageParts bare;
    bare.Version = 0;
    bare.Text = MinimalDescription();
    EXPECT_EQ(WriteSkinPackage(bare), Int32(0) + "\1\1\1" + Int32(0) + bare.Text);
    TvlCompressedStoredSkin bareSkin = StoredSkin(bare);
    skin.LoadStoredSkin(&bareSkin);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_TRUE(skin.MainPicture.Empty());
    EXPECT_TRUE(skin.PictureList.empty());
}

TEST(SkinPackage, FailedLoadsEndEmptyAndStillTellTheWindows) {
    TMessageLog log;
    TvlSkinData skin;
    TvlCompressedStoredSkin good = StoredSkin(Parts());

    auto expectFailedLoad = [&](TvlCompressedStoredSkin& bad, bool raises) {
        skin.LoadStoredSkin(&good);
        ASSERT_FALSE(skin.IsEmpty());
        log.Messages.clear();
        if (raises)
            EXPECT_ANY_THROW(skin.LoadStoredSkin(&bad));
        else
            skin.LoadStoredSkin(&bad);
        EXPECT_TRUE(skin.IsEmpty());
        EXPECT_EQ(log.Messages, FullLoad);
        EXPECT_TRUE(skin.SkinControls.empty());
        EXPECT_TRUE(skin.MainPicture.Empty());
        EXPECT_EQ(skin.ClientRect, TRect{});
    };

    TvlSkinPackageParts v4 = Parts();
    v4.Version = 4;
    TvlCompressedStoredSkin version4 = StoredSkin(v4);
    expectFailedLoad(version4, false);

    TvlCompressedStoredSkin corrupt(nullptr, good.CompressedData());
    std::string bytes = corrupt.CompressedData();
    bytes[bytes.size() / 2] ^= 0x55;
    corrupt.SetCompressedData(bytes);
    expectFailedLoad(corrupt, true);
    try {
        InflateSkinStream(bytes);
        ADD_FAILURE();
    } catch (const EDecompressionError& e) {
        EXPECT_STREQ(e.what(), "compression error");
    }
    TvlCompressedStoredSkin truncated;
    truncated.SetCompressedData(good.CompressedData().substr(0, good.CompressedData().size() - 10));
    expectFailedLoad(truncated, true);

    TvlSkinPackageParts badRect = Parts();
    badRect.Text = "[button]\r\nskinrect=\r\n" + badRect.Text;
    TvlCompressedStoredSkin badRectSkin = StoredSkin(badRect);
    expectFailedLoad(badRectSkin, true);

    TvlSkinPackageParts badBitmap = Parts();
    badBitmap.Pictures[1][4] = 0x10;  // size field now runs past the end of the package
    TvlCompressedStoredSkin badBitmapSkin = StoredSkin(badBitmap);
    expectFailedLoad(badBitmapSkin, true);

    for (int32_t count : {-1, 1000000, INT32_MAX}) {
        std::string raw = WriteSkinPackage(Parts());
        size_t at = raw.size() - Parts().Text.size() - Parts().Pictures[0].size() - Parts().Pictures[1].size() - 4;
        raw.replace(at, 4, Int32(count));
        TvlCompressedStoredSkin forged;
        forged.SetCompressedData(DeflateSkinStream(raw));
        expectFailedLoad(forged, true);
    }

    // An empty stored skin is no load at all.
    log.Messages.clear();
    TvlCompressedStoredSkin empty;
    skin.LoadStoredSkin(&empty);
    skin.LoadStoredSkin(nullptr);
    EXPECT_TRUE(log.Messages.empty());
}

TEST(SkinPackage, PackageFiles) {
    TMessageLog log;
    TvlSkinData skin;
    TvlCompressedStoredSkin good = StoredSkin(Parts());
    std::string path = TempPath("skin.dat");

    WriteFile(path, MakeSkinPackageFile(good.CompressedData()) + "trailing bytes");
    skin.LoadPackageFile(path);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_EQ(log.Messages, FullLoad);

    // A file version above 3 changes nothing and tells nobody.
    log.Messages.clear();
    WriteFile(path, Int32(4) + Int32(static_cast<int32_t>(good.CompressedData().size())) + good.CompressedData());
    skin.LoadPackageFile(path);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_TRUE(log.Messages.empty());
    TvlCompressedStoredSkin file;
    file.LoadCompressedFile(path);
    EXPECT_TRUE(file.IsDataEmpty());

    // A missing file raises the file-open error and changes nothing.
    EXPECT_THROW(skin.LoadPackageFile(TempPath("absent.dat")), EFOpenError);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_TRUE(log.Messages.empty());

    // Size fields that do not match the file: an error, the skin dropped.
    int32_t n = static_cast<int32_t>(good.CompressedData().size());
    for (const std::string& bad :
         {Int32(3) + Int32(0) + good.CompressedData(), Int32(3) + Int32(-5) + good.CompressedData(),
          Int32(3) + Int32(n + 1) + good.CompressedData(), Int32(3) + std::string("\1\0", 2), std::string("\3", 1)}) {
        skin.LoadStoredSkin(&good);
        log.Messages.clear();
        WriteFile(path, bad);
        EXPECT_THROW(skin.LoadPackageFile(path), ESkinPackageError);
        EXPECT_TRUE(skin.IsEmpty());
        EXPECT_EQ(log.Messages, FullLoad);
        EXPECT_THROW(file.LoadCompressedFile(path), ESkinPackageError);
        EXPECT_TRUE(file.IsDataEmpty());
    }
    std::remove(path.c_str());
}

TEST(SkinPackage, LoadingTwiceGivesTheSameRecords) {
    TvlSkinData skin;
    TvlSkinPackageParts p = Parts();
    p.Text = MinimalDescription(
        "[SKINOBJECTS]\r\ncount=2\r\n0=close:stdbutton\r\n1=caption:caption\r\n"
        "[close]\r\ncommand=cmclose\r\nskinrect=1,2,3,4\r\n");
    auto stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, StoredSkin(p).CompressedData());
    skin.SetCompressedStoredSkin(stored.get());
    EXPECT_EQ(skin.CompressedStoredSkin(), stored.get());
    ASSERT_EQ(skin.SkinObjects.size(), 2u);
    skin.LoadStoredSkin(stored.get());
    ASSERT_EQ(skin.SkinObjects.size(), 2u);
    auto* close = dynamic_cast<TvlDataSkinStdButton*>(skin.SkinObjects[0].get());
    ASSERT_TRUE(close);
    EXPECT_EQ(close->Command, cmClose);
    EXPECT_EQ(close->SkinRect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(skin.FindObjectIndex("caption"), 1);
    stored.reset();  // destroying the stored skin clears the reference
    EXPECT_EQ(skin.CompressedStoredSkin(), nullptr);
    EXPECT_FALSE(skin.IsEmpty());  // the loaded skin stays
}

TEST(SkinPackage, ReloadsDecodeEveryPictureAfresh) {
    // A second skin after the first (its pictures' memory taken over by
    // pictures of other sizes and colours), then the first again.
    TvlSkinPackageParts first = Parts(), second = Parts();
    second.MainPicture.reset();
    second.MainInactivePicture = SolidBmp(7, 3, 0x0A0B0C);
    second.Pictures = {SolidBmp(9, 9, 0x123456), SolidBmp(2, 1, 0x654321), SolidBmp(30, 12, 0xC0FFEE)};
    TvlCompressedStoredSkin one = StoredSkin(first), two = StoredSkin(second);
    auto expectPictures = [](const TvlSkinData& skin, const TvlSkinPackageParts& parts) {
        auto decoded = [](const std::optional<std::string>& bmp) { return bmp ? DecodeBmp(*bmp) : TPixelImage{}; };
        EXPECT_EQ(skin.MainPicture, decoded(parts.MainPicture));
        EXPECT_EQ(skin.MainInactivePicture, decoded(parts.MainInactivePicture));
        EXPECT_EQ(skin.MainMask, decoded(parts.MainMask));
        ASSERT_EQ(skin.PictureList.size(), parts.Pictures.size());
        for (size_t i = 0; i < parts.Pictures.size(); ++i)
            EXPECT_EQ(skin.PictureList[i], DecodeBmp(parts.Pictures[i])) << i;
    };
    TvlSkinData skin;
    skin.LoadStoredSkin(&one);
    expectPictures(skin, first);
    skin.LoadStoredSkin(&two);
    expectPictures(skin, second);
    skin.LoadStoredSkin(&one);
    expectPictures(skin, first);
}

TEST(SkinPackage, ResourceStringsAnnounceThemselves) {
    TMessageLog log;
    TvlSkinData skin;
    auto strings = std::make_unique<TvlResourceStrData>();
    skin.SetResourceStrData(strings.get());
    EXPECT_EQ(skin.ResourceStrData(), strings.get());
    EXPECT_EQ(log.Messages, std::vector<TvlSkinNotice>{TvlSkinNotice::StringsChanged});
    strings.reset();
    EXPECT_EQ(skin.ResourceStrData(), nullptr);

    // A skin data that goes first leaves the components it referenced alone.
    auto kept = std::make_unique<TvlResourceStrData>();
    {
        TvlSkinData brief;
        brief.SetResourceStrData(kept.get());
    }
    kept.reset();  // would touch the freed skin data if it were still registered
}

TEST(SkinPackage, BuildFromDescriptionPacksTheFolder) {
    std::string folder = TempPath("folder/");
    std::filesystem::create_directories(folder);
    WriteFile(folder + "frame.bmp", SolidBmp(30, 20, 0x445566));
    WriteFile(folder + "Mask.BMP", SolidBmp(30, 20, 0));
    WriteFile(folder + "p0.bmp", SolidBmp(4, 4, 0xABCDEF));
    std::string description =
        MinimalDescription("[PICTURES]\r\npicture=frame.bmp\r\nmask=mask.bmp\r\nactivepicturescount=1\r\n0=p0.bmp\r\n");
    WriteFile(folder + "skin.ini", description);

    TvlCompressedStoredSkin stored;
    stored.BuildFromDescription(folder + "skin.ini");
    ASSERT_FALSE(stored.IsDataEmpty());
    EXPECT_EQ(static_cast<uint8_t>(stored.CompressedData()[0]), 0x78);
    EXPECT_EQ(static_cast<uint8_t>(stored.CompressedData()[1]), 0xDA);  // level 9
    std::string raw = stored.DecompressTo();
    EXPECT_EQ(raw.substr(raw.size() - description.size()), description);

    TvlSkinData skin;
    skin.LoadStoredSkin(&stored);
    EXPECT_EQ(skin.MainPicture.Width, 30);
    EXPECT_TRUE(skin.MainInactivePicture.Empty());
    EXPECT_EQ(skin.MainMask.Height, 20);
    ASSERT_EQ(skin.PictureList.size(), 1u);
    EXPECT_EQ(skin.PictureList[0].PixelColor(2, 2), 0xABCDEFu);
    EXPECT_EQ(skin.PictureNames, std::vector<std::string>{"p0.bmp"});
    EXPECT_EQ(skin.MaskName, "mask.bmp");

    // Without [SKINCONTROLS] nothing changes; a missing bitmap raises.
    WriteFile(folder + "partial.ini", "[VERSION]\r\n[PICTURES]\r\n[FORMINFO]\r\n[SKINOBJECTS]\r\n");
    stored.BuildFromDescription(folder + "partial.ini");
    EXPECT_EQ(stored.DecompressTo(), raw);
    WriteFile(folder + "missing.ini", MinimalDescription("[PICTURES]\r\nactivepicturescount=1\r\n0=nothere.bmp\r\n"));
    EXPECT_THROW(stored.BuildFromDescription(folder + "missing.ini"), EFOpenError);
    EXPECT_TRUE(stored.IsDataEmpty()) << "the previous package is emptied before the bitmaps load";

    // A bitmap whose size field is 0 or inexact is written afresh, so that
    // the fields after it start where its new size field says.
    for (uint32_t field : {0u, 54u, 1000000u}) {
        std::string bmp = SolidBmp(4, 4, 0xABCDEF);
        for (int i = 0; i < 4; ++i) bmp[2 + i] = static_cast<char>(field >> (8 * i));
        WriteFile(folder + "p0.bmp", bmp);
        stored.BuildFromDescription(folder + "skin.ini");
        ASSERT_FALSE(stored.IsDataEmpty()) << field;
        TvlSkinData again;
        again.LoadStoredSkin(&stored);
        ASSERT_EQ(again.PictureList.size(), 1u) << field;
        EXPECT_EQ(again.PictureList[0].PixelColor(2, 2), 0xABCDEFu) << field;
        EXPECT_EQ(again.SkinName, skin.SkinName) << "the description follows the picture, " << field;
    }
    std::filesystem::remove_all(folder);
}

TEST(SkinPackage, FormInfoPostProcessing) {
    TvlSkinData skin;
    // The four cut points, left-top, right-top, left-bottom, right-bottom.
    auto cuts = [&] { return std::array{skin.LTPoint, skin.RTPoint, skin.LBPoint, skin.RBPoint}; };
    TvlSkinPackageParts p = Parts();
    p.Text = MinimalDescription(
        "[PICTURES]\r\nmask=mask.bmp\r\n"
        "[FORMINFO]\r\nlefttoppoint=10,27\r\nrighttoppoint=126,27\r\nleftbottompoint=11,81\r\n"
        "rightbottompoint=124,81\r\nclientrect=8,25,130,86\r\nmaskrectarea=5,5,134,87\r\n"
        "hittestlefttoppoint=0,4\r\nhittestrighttoppoint=1,1\r\ninactiveeffect=ienoise\r\n");
    TvlCompressedStoredSkin stored = StoredSkin(p);
    skin.LoadStoredSkin(&stored);
    EXPECT_EQ(skin.MaskRectArea, (TRect{5, 5, 134, 87}));
    EXPECT_EQ(cuts(), (std::array<TPoint, 4>{{{10, 27}, {126, 27}, {11, 81}, {124, 81}}}));
    EXPECT_EQ(skin.HitTestLTPoint, (TPoint{10, 27}));  // x was 0
    EXPECT_EQ(skin.HitTestRTPoint, (TPoint{1, 1}));
    EXPECT_EQ(skin.HitTestLBPoint, (TPoint{11, 81}));
    EXPECT_EQ(skin.InActiveEffect, ieNoise);
    EXPECT_EQ(skin.BGPictureIndex, -1);

    // Cut points outside the client rect are moved in; an empty mask area
    // becomes the client rect. Without a mask neither happens.
    p.Text = MinimalDescription(
        "[PICTURES]\r\nmask=m.bmp\r\n"
        "[FORMINFO]\r\nlefttoppoint=2,3\r\nrighttoppoint=200,1\r\nleftbottompoint=1,300\r\n"
        "rightbottompoint=150,120\r\nclientrect=8,25,130,86\r\n");
    stored.SetCompressedData(StoredSkin(p).CompressedData());
    skin.LoadStoredSkin(&stored);
    EXPECT_EQ(skin.MaskRectArea, (TRect{8, 25, 130, 86}));
    EXPECT_EQ(cuts(), (std::array<TPoint, 4>{{{8, 25}, {130, 25}, {8, 86}, {130, 86}}}));
    EXPECT_EQ(skin.HitTestRBPoint, (TPoint{150, 120}));  // the cut point before clamping

    p.Text =
        MinimalDescription("[FORMINFO]\r\nlefttoppoint=2,3\r\nrightbottompoint=2,120\r\nclientrect=8,25,130,86\r\n");
    stored.SetCompressedData(StoredSkin(p).CompressedData());
    skin.LoadStoredSkin(&stored);
    EXPECT_EQ(skin.LTPoint, (TPoint{2, 3}));  // same x: no clamping
    EXPECT_EQ(skin.MaskRectArea, TRect{});
    EXPECT_EQ(skin.HitTestLTPoint, TPoint{});
}
