#include <gtest/gtest.h>

#include <set>

#include "SkinTestSupport.h"
#include "core/FileIO.h"
#include "core/Rounding.h"
#include "skin/data/vlSkinScale.h"

namespace {

const int Dpis[] = {96, 120, 144, 168, 192};

std::string ReadAll(const std::string& path) {
    std::optional<std::string> bytes = ReadFileIfExists(path);
    if (!bytes) ADD_FAILURE() << "cannot read " << path;
    return bytes.value_or("");
}

// A skin data loaded from a package read by ReadSkinPackageForDpi.
void LoadPackage(TvlSkinData& skin, const TvlSkinPackage& package) {
    TvlSkinPackageParts parts;
    auto bmp = [](const TPixelImage& p) { return p.Empty() ? std::nullopt : std::optional(EncodeBmp(p)); };
    parts.MainPicture = bmp(package.MainPicture);
    parts.MainInactivePicture = bmp(package.MainInactivePicture);
    parts.MainMask = bmp(package.MainMask);
    for (const TPixelImage& p : package.Pictures) parts.Pictures.push_back(EncodeBmp(p));
    parts.Text = package.Text;
    TvlCompressedStoredSkin stored = StoredSkin(parts);
    skin.LoadStoredSkin(&stored);
}

TRect Scaled(const TRect& r, int dpi) {
    return {ScaleSkinLength(r.Left, dpi), ScaleSkinLength(r.Top, dpi), ScaleSkinLength(r.Right, dpi),
            ScaleSkinLength(r.Bottom, dpi)};
}

// The built-in Modern skin today: the 96-DPI folder packed on its own.
std::string TodaysPackage() {
    TvlCompressedStoredSkin stored;
    stored.BuildFromDescription(PLANDESK_SKINS_DIR "/modern/skin.ini");
    return stored.DecompressTo();
}

std::string NewPackage() {
    std::optional<std::string> stream = ReadSkinPackageFile(ReadAll(PLANDESK_SKINS_DIR "/modern.dat"));
    return stream ? InflateSkinStream(*stream) : "";
}

}  // namespace

TEST(SkinScale, DescriptionLengthsScaleByEdgesAndNothingElseChanges) {
    const std::string text =
        "[VERSION]\r\nskinname=Test\r\n[PICTURES]\r\n[FORMINFO]\r\nclientrect=3,20,157,97\r\n"
        "buttonsoffset=-5\r\nborderwidth=3\r\nlefttoppoint=7,21\r\nbgpictureindex=2\r\n[SKINOBJECTS]\r\n"
        "count=1\r\n0=close:stdbutton\r\n[close]\r\nskinrect=0,0,7,5\r\nactiveskinrect=7,0,14,5\r\n"
        "disableskinrsect=14,0,21,5\r\ncommand=cmclose\r\n[SKINCONTROLS]\r\ncount=1\r\n0=button:button\r\n"
        "[button]\r\n; skinrect=1,1,1,1 stays a comment\r\npictureindex=1\r\nskinrect=0,0,21,11\r\n"
        "fontheight=13\r\nfontcolor=16777215\r\nthumboffset1=$10\r\nitemleftoffset=wide\r\n";
    EXPECT_EQ(ScaleSkinDescription(text, 96), text);

    for (int dpi : Dpis) {
        std::string scaled = ScaleSkinDescription(text, dpi);
        TvlSkinIni ini;
        ini.SetText(scaled);
        TvlSectionReader form(ini, "FORMINFO"), close(ini, "close"), button(ini, "button");
        EXPECT_EQ(form.Rect("clientrect"), Scaled({3, 20, 157, 97}, dpi)) << dpi;
        EXPECT_EQ(form.Integer("buttonsoffset"), -ScaleSkinLength(5, dpi)) << dpi;
        EXPECT_EQ(form.Integer("borderwidth"), ScaleSkinLength(3, dpi)) << dpi;
        EXPECT_EQ(form.Point("lefttoppoint").X, ScaleSkinLength(7, dpi)) << dpi;
        EXPECT_EQ(form.Integer("bgpictureindex"), 2) << dpi;
        // Looks side by side at 96 DPI stay side by side, without gap or overlap.
        TRect a = close.Rect("skinrect"), b = close.Rect("activeskinrect"), c = close.Rect("disableskinrsect");
        EXPECT_EQ(a.Right, b.Left) << dpi;
        EXPECT_EQ(b.Right, c.Left) << dpi;
        EXPECT_EQ(c.Right, button.Rect("skinrect").Right) << dpi;
        EXPECT_EQ(close.String("command"), "cmclose");
        EXPECT_EQ(button.Integer("pictureindex"), 1);
        // A font never comes out larger than its share of the scale.
        EXPECT_EQ(button.Integer("fontheight"), 13 * dpi / 96) << dpi;
        EXPECT_EQ(button.Color("fontcolor"), 16777215u);
        EXPECT_EQ(button.Integer("thumboffset1"), ScaleSkinLength(16, dpi)) << dpi;
        EXPECT_EQ(button.String("itemleftoffset"), "wide");  // not a number: its default applies as before
        EXPECT_NE(scaled.find("; skinrect=1,1,1,1 stays a comment\r\n"), std::string::npos);
    }
    EXPECT_EQ(ScaleSkinLength(3, 120), 4);  // 3.75
    EXPECT_EQ(ScaleSkinLength(1, 144), 2);  // 1.5 rounds away from zero
    EXPECT_EQ(ScaleSkinLength(-1, 144), -2);

    // The built-in skin's records, read from the scaled description.
    std::string modern = ReadAll(PLANDESK_SKINS_DIR "/modern/skin.ini");
    TvlSkinData base, big;
    LoadPackage(base, {3, {}, {}, {}, {}, modern});
    LoadPackage(big, {3, {}, {}, {}, {}, ScaleSkinDescription(modern, 144)});
    ASSERT_EQ(base.SkinControls.size(), big.SkinControls.size());
    EXPECT_EQ(big.ClientRect, Scaled(base.ClientRect, 144));
    EXPECT_EQ(big.CaptionRect, Scaled(base.CaptionRect, 144));
    EXPECT_EQ(big.HintWindow.FontHeight, ScaleFontRounded(base.HintWindow.FontHeight, 96, 144));
    EXPECT_EQ(big.PopupWindow.ItemsRect, Scaled(base.PopupWindow.ItemsRect, 144));
    for (size_t i = 0; i < base.SkinControls.size(); ++i) {
        const auto& c0 = *base.SkinControls[i];
        const auto& c1 = *big.SkinControls[i];
        EXPECT_EQ(c1.SkinRect, Scaled(c0.SkinRect, 144)) << c0.ElementName;
        EXPECT_EQ(c1.PictureIndex, c0.PictureIndex) << c0.ElementName;
        if (auto* f0 = dynamic_cast<const TvlSkinFont*>(&c0)) {
            auto* f1 = dynamic_cast<const TvlSkinFont*>(&c1);
            EXPECT_EQ(f1->FontHeight, ScaleFontRounded(f0->FontHeight, 96, 144)) << c0.ElementName;
            EXPECT_EQ(f1->FontColor, f0->FontColor) << c0.ElementName;
        }
        if (auto* p0 = dynamic_cast<const TvlDataSkinCustomControl*>(&c0)) {
            auto* p1 = dynamic_cast<const TvlDataSkinCustomControl*>(&c1);
            EXPECT_EQ(p1->ClientRect, Scaled(p0->ClientRect, 144)) << c0.ElementName;
            EXPECT_EQ(p1->RBPoint.X, ScaleSkinLength(p0->RBPoint.X, 144)) << c0.ElementName;
        }
    }
}

TEST(SkinScale, PicturesKeepCornersBordersAndKeyColourExact) {
    // A 12 x 9 look cut at x = 3, 9 and y = 2, 7: each of the nine pieces has
    // its own colours (a two-colour check inside), the middle has a magenta
    // key pixel beside a blue one.
    const uint32_t key = 0xFF00FF;
    auto piece = [](int x, int y) { return (x < 3 ? 0 : x < 9 ? 1 : 2) + 3 * (y < 2 ? 0 : y < 7 ? 1 : 2); };
    auto colour = [](int p, int x, int y) { return 0x101010u * static_cast<uint32_t>(p + 1) + ((x + y) & 1); };
    TPixelImage picture;
    picture.Resize(12, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) picture.SetPixelColor(x, y, colour(piece(x, y), x, y));
    picture.SetPixelColor(5, 4, key);
    picture.SetPixelColor(6, 4, 0xFF0000);
    TvlSkinCuts cuts = SkinDescriptionCuts("[a]\r\nskinrect=0,0,12,9\r\nlefttoppoint=3,2\r\nrightbottompoint=9,7\r\n");
    ASSERT_EQ(cuts.X, (std::vector<int>{0, 3, 9, 12}));

    // Every pixel of `big` (the look at `dpi`) is one of its own piece's
    // colours: nothing mixed, nothing from across a cut.
    auto checkPieces = [&](const TPixelImage& big, int dpi) {
        ASSERT_EQ(big.Width, ScaleSkinLength(12, dpi));
        ASSERT_EQ(big.Height, ScaleSkinLength(9, dpi));
        int x3 = ScaleSkinLength(3, dpi), x9 = ScaleSkinLength(9, dpi);
        int y2 = ScaleSkinLength(2, dpi), y7 = ScaleSkinLength(7, dpi);
        auto bigPiece = [&](int x, int y) { return (x < x3 ? 0 : x < x9 ? 1 : 2) + 3 * (y < y2 ? 0 : y < y7 ? 1 : 2); };
        int keys = 0;
        for (int y = 0; y < big.Height; ++y)
            for (int x = 0; x < big.Width; ++x) {
                uint32_t c = big.PixelColor(x, y);
                int p = bigPiece(x, y);
                if (c == key || c == 0xFF0000) {
                    EXPECT_EQ(p, 4) << dpi << " at " << x << "," << y;
                    keys += c == key;
                } else {
                    EXPECT_TRUE(c == colour(p, 0, 0) || c == colour(p, 1, 0)) << dpi << " at " << x << "," << y;
                }
            }
        EXPECT_GE(keys, 1) << dpi;
        // The corner pixels keep their exact source colours.
        EXPECT_EQ(big.PixelColor(0, 0), picture.PixelColor(0, 0)) << dpi;
        EXPECT_EQ(big.PixelColor(big.Width - 1, big.Height - 1), picture.PixelColor(11, 8)) << dpi;
    };
    for (int dpi : {120, 144, 192, 288}) checkPieces(ScaleSkinPicture(picture, cuts, 96, dpi), dpi);
    // At 2x each pixel is an exact 2 x 2 block.
    TPixelImage doubled = ScaleSkinPicture(picture, cuts, 96, 192);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 24; ++x) ASSERT_EQ(doubled.PixelColor(x, y), picture.PixelColor(x / 2, y / 2));
    // Scaling the 2x look down puts the cuts where 96 -> 144 puts them.
    checkPieces(ScaleSkinPicture(doubled, cuts, 192, 144), 144);
    checkPieces(ScaleSkinPicture(doubled, cuts, 192, 168), 168);
    EXPECT_EQ(ScaleSkinPicture(picture, cuts, 96, 96), picture);
}

TEST(SkinScale, PackageCarriesScalesAndOldReadersSeeTodaysSkin) {
    std::string today = TodaysPackage(), now = NewPackage();
    ASSERT_FALSE(today.empty());
    EXPECT_EQ(ScaledSkinDpis(now), (std::vector<int>{144, 192}));
    EXPECT_TRUE(ScaledSkinDpis(today).empty());

    // A reader without scales reads the same pictures and description.
    std::optional<TvlSkinPackage> oldReader = ReadSkinPackage(now), reference = ReadSkinPackage(today);
    ASSERT_TRUE(oldReader && reference);
    EXPECT_EQ(oldReader->MainPicture, reference->MainPicture);
    EXPECT_EQ(oldReader->MainMask, reference->MainMask);
    EXPECT_EQ(oldReader->Pictures, reference->Pictures);
    EXPECT_EQ(oldReader->Text.substr(0, oldReader->Text.find('\0')), reference->Text);
    TvlSkinData fromNew, fromToday;
    fromNew.LoadPackageFile(PLANDESK_SKINS_DIR "/modern.dat");
    LoadPackage(fromToday, *reference);
    EXPECT_EQ(fromNew.PictureList, fromToday.PictureList);
    ASSERT_EQ(fromNew.SkinControls.size(), fromToday.SkinControls.size());
    EXPECT_EQ(fromNew.SkinControls.back()->SkinRect, fromToday.SkinControls.back()->SkinRect);

    // At 96 DPI the reader with scales returns exactly today's package.
    std::optional<TvlSkinPackage> at96 = ReadSkinPackageForDpi(now, 96);
    ASSERT_TRUE(at96);
    EXPECT_EQ(at96->Text, reference->Text);
    EXPECT_EQ(at96->Pictures, reference->Pictures);

    // 144 is drawn for: its own pictures. 120 and 168 come from the next
    // larger scale, 288 from the 96-DPI skin; all at the scaled sizes.
    TPixelImage drawn144 = DecodeBmpFile(ReadAll(PLANDESK_SKINS_DIR "/modern/dpi144/frame.bmp"));
    EXPECT_EQ(ReadSkinPackageForDpi(now, 144)->MainPicture, drawn144);
    for (int dpi : {120, 144, 168, 192, 288}) {
        std::optional<TvlSkinPackage> p = ReadSkinPackageForDpi(now, dpi);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->MainPicture.Width, ScaleSkinLength(reference->MainPicture.Width, dpi)) << dpi;
        EXPECT_EQ(p->Text.find('\0'), std::string::npos);
        TvlSkinData skin;
        LoadPackage(skin, *p);
        EXPECT_EQ(skin.ClientRect, Scaled(fromToday.ClientRect, dpi)) << dpi;
    }
    // 168 is scaled down from the 192 skin (drawn with rounder corners), not
    // up from the 96-DPI one.
    TvlSkinCuts cuts = SkinDescriptionCuts(reference->Text);
    EXPECT_NE(ReadSkinPackageForDpi(now, 168)->MainPicture, ScaleSkinPicture(reference->MainPicture, cuts, 96, 168));
    EXPECT_EQ(ReadSkinPackageForDpi(now, 168)->MainPicture,
              ScaleSkinPicture(ReadSkinPackageForDpi(now, 192)->MainPicture, cuts, 192, 168));

    // A package made for 96 DPI only loads at every scale, every look inside its picture.
    for (int dpi : Dpis) {
        std::optional<TvlSkinPackage> p = ReadSkinPackageForDpi(today, dpi);
        ASSERT_TRUE(p);
        TvlSkinData skin;
        LoadPackage(skin, *p);
        ASSERT_FALSE(skin.IsEmpty()) << dpi;
        for (const auto& control : skin.SkinControls) {
            if (control->PictureIndex < 0) continue;
            const TPixelImage& picture = skin.PictureList.at(static_cast<size_t>(control->PictureIndex));
            EXPECT_LE(control->SkinRect.Right, picture.Width) << control->ElementName << " " << dpi;
            EXPECT_LE(control->SkinRect.Bottom, picture.Height) << control->ElementName << " " << dpi;
        }
    }

    // Scaled entries that run past the package are refused, not read past.
    std::string cut = now.substr(0, now.size() - 100);
    EXPECT_THROW(ReadSkinPackageForDpi(cut, 144), ESkinPackageError);
}

// The generator draws the check and radio images at each skin's scale: the
// glyph fills its larger cell, not a 96-DPI glyph in a corner of it.
TEST(SkinScale, GeneratedCheckAndRadioImagesFillTheirScaledCells) {
    auto inked = [](const TPixelImage& p, const TRect& r) {
        auto at = [&](int x, int y) {
            const uint8_t* px = p.Row(y) + 3 * x;
            return px[0] | px[1] << 8 | px[2] << 16;
        };
        const int key = at(r.Left, r.Top);  // outside the rounded box and the disc
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += at(x, y) != key;
        return n;
    };
    const TRect check{184, 27, 200, 43}, radio{280, 27, 296, 43};  // "uncheckimagerect" of each
    const TPixelImage at96 = DecodeBmpFile(ReadAll(PLANDESK_SKINS_DIR "/modern/controls.bmp"));
    for (int dpi : {144, 192}) {
        const TPixelImage scaled =
            DecodeBmpFile(ReadAll(PLANDESK_SKINS_DIR "/modern/" + ScaledSkinFolder(dpi) + "/controls.bmp"));
        for (const TRect& cell : {check, radio}) {
            const double area = (dpi / 96.0) * (dpi / 96.0);
            const int expected = static_cast<int>(inked(at96, cell) * area);
            EXPECT_GT(inked(scaled, Scaled(cell, dpi)), expected * 8 / 10) << dpi << " " << cell.Left;
        }
    }
}
