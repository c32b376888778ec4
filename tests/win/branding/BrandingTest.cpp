// The main window's branding from real dbconfig.dat files in the program's
// folder, and the addresses it opens through a stand-in browser.
#include <set>

#include "media/PictureFile.h"
#include "model/UUtils.h"
#include "tests/native/skin_data/SkinTestSupport.h"
#include "tests/win/app/PlannerFixture.h"
#include "tests/win/branding/BrandingSupport.h"

using branding::BrowserCommand;
using branding::DataFile;

namespace {

class BrandingTest : public PlannerTest {
protected:
    void Config(const std::string& lines) { Write("dbconfig.dat", "[Settings]\r\n" + lines); }
    // A fresh main window over the same folder.
    TfrmMain* Restart() {
        if (frmMain) frmMain->Release();
        Application->MainForm = nullptr;
        return Start();
    }
    static std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
};

}  // namespace

TEST_F(BrandingTest, WithoutConfigTheDesignTimeStateStays) {
    TfrmMain* w = Start();
    EXPECT_EQ(w->Caption(), "Plandesk");
    EXPECT_TRUE(w->panBanner->Visible());
    EXPECT_EQ(w->panBanner->Height(), 65);
    EXPECT_TRUE(w->gifBanner->Image()->Empty());
    EXPECT_FALSE(w->lblLink1URL->Caption().empty());
    EXPECT_TRUE(TLinkLabel::IsOpenableURL(w->lblLink1URL->URL));
    EXPECT_TRUE(TLinkLabel::IsOpenableURL(w->lblLink2URL->URL));
    EXPECT_EQ(w->BannerURL(), "");
    EXPECT_EQ(w->BrandIcon(), nullptr);
}

TEST_F(BrandingTest, TwoBannersFromPaths2And3) {
    Config(
        "BannerPath2=C:\\ads\\still.jpg\r\nBannerURL2=http://two.example/\r\n"
        "BannerPath3=D:\\anim.gif\r\nBannerURL3=http://three.example/\r\n");
    Write("dbimg1.dat", DataFile("banner.jpg"));
    Write("dbimg2.dat", branding::PlainGIF(120, 60, {10, 10}));
    std::set<std::string> seen;
    for (int attempt = 0; attempt < 40 && seen.size() < 2; ++attempt) {
        TfrmMain* w = attempt ? Restart() : Start();
        seen.insert(w->BannerURL());
        ASSERT_TRUE(w->panBanner->Visible());
        if (w->BannerURL() == "http://two.example/") {
            EXPECT_EQ(w->BannerPath(), "C:\\ads\\still.jpg");
            EXPECT_TRUE(w->imgBanner->Visible());
            EXPECT_FALSE(w->gifBanner->Visible());
            EXPECT_EQ(w->imgBanner->Width(), 468);
            EXPECT_EQ(w->panBanner->Height(), 70);
        } else {
            ASSERT_EQ(w->BannerURL(), "http://three.example/");
            EXPECT_EQ(w->BannerPath(), "D:\\anim.gif");
            EXPECT_TRUE(w->gifBanner->Visible());
            EXPECT_FALSE(w->imgBanner->Visible());
            EXPECT_EQ(w->gifBanner->Width(), 120);
            EXPECT_EQ(w->gifBanner->Height(), 60);
            EXPECT_EQ(w->panBanner->Height(), 70);
            EXPECT_EQ(w->gifBanner->Cursor, crHandPoint);
        }
        // The stored pictures keep their names.
        EXPECT_TRUE(ui::FileExistsAt(Folder + "dbimg1.dat"));
        EXPECT_TRUE(ui::FileExistsAt(Folder + "dbimg2.dat"));
        EXPECT_FALSE(ui::FileExistsAt(Folder + "still.jpg"));
        EXPECT_FALSE(ui::FileExistsAt(Folder + "anim.gif"));
    }
    EXPECT_EQ(seen.size(), 2u) << "both banners are chosen at random";
}

TEST_F(BrandingTest, GIFPlayerChosenByTheLowerCasedName) {
    Config("BannerPath1=PROMO.GIF\r\n");
    Write("dbimg1.dat", branding::PlainGIF(40, 20, {10}));
    TfrmMain* w = Start();
    EXPECT_TRUE(w->gifBanner->Visible());
    EXPECT_FALSE(w->imgBanner->Visible());
    EXPECT_EQ(w->gifBanner->Image()->Frames.size(), 1u);
    EXPECT_EQ(w->panBanner->Height(), 30);
    EXPECT_EQ(w->gifBanner->Cursor, crDefault) << "no address: the arrow stays";

    Config("BannerPath1=promo.gif.jpg\r\n");
    w = Restart();
    EXPECT_TRUE(w->gifBanner->Visible());
    EXPECT_EQ(w->gifBanner->Width(), 40);
}

TEST_F(BrandingTest, PicturesThatCannotBeShownHideTheStripOnly) {
    Write("categories.dat", "Work\r\n");
    Config("BannerPath1=missing.jpg\r\nBannerURL1=http://x.example/\r\n");
    TfrmMain* w = Start();
    EXPECT_FALSE(w->panBanner->Visible()) << "no dbimg1.dat";

    Write("dbimg1.dat", "\xFF\xD8 not really a JPEG");
    w = Restart();
    EXPECT_FALSE(w->panBanner->Visible()) << "damaged picture";
    ASSERT_EQ(w->tvwMain->Roots().size(), 1u) << "start-up goes on";

    Config("BannerPath1=banner.png\r\n");
    Write("dbimg1.dat", DataFile("banner.jpg"));
    w = Restart();
    EXPECT_FALSE(w->panBanner->Visible()) << "unknown picture format";

    Config("BannerPath1=anim.gif\r\n");
    w = Restart();
    EXPECT_FALSE(w->panBanner->Visible()) << "a JPEG is no GIF";
    EXPECT_TRUE(w->gifBanner->Image()->Empty());

    Config("BannerPath1=c:\\pictures\\bar.BMP\r\n");
    Write("dbimg1.dat", DataFile("banner.bmp"));
    w = Restart();
    EXPECT_TRUE(w->panBanner->Visible());
    EXPECT_EQ(w->imgBanner->Width(), 90);
    EXPECT_EQ(w->panBanner->Height(), 40);
}

TEST_F(BrandingTest, TitleAndAffiliate) {
    Config("AppName=\r\nAfiliateID=\r\n");
    TfrmMain* w = Start();
    EXPECT_EQ(w->Caption(), "Plandesk");
    EXPECT_EQ(w->AffiliateID(), "");
    EXPECT_FALSE(w->panBanner->Visible()) << "a file without banners hides the strip";
    EXPECT_EQ(w->lblLink1URL->Caption(), "") << "a file without links blanks the labels";
    EXPECT_EQ(w->lblLink2URL->URL, "");

    Config("AppName=Acme Planner\r\nafiliateid=ref42\r\n");  // key names in any case
    w = Restart();
    EXPECT_EQ(w->Caption(), "Acme Planner");
    EXPECT_EQ(w->AffiliateID(), "ref42");
}

TEST_F(BrandingTest, LinksAreTwoDifferentEntries) {
    Config("Link3URL=http://only.example/\r\nLink3Name=Only one\r\n");
    TfrmMain* w = Start();
    EXPECT_EQ(w->lblLink1URL->Caption(), "Only one");
    EXPECT_EQ(w->lblLink1URL->URL, "http://only.example/");
    EXPECT_EQ(w->lblLink2URL->Caption(), "");
    EXPECT_EQ(w->lblLink2URL->URL, "");

    std::string four;
    for (int i = 1; i <= 4; ++i)
        four += "Link" + std::to_string(i) + "URL=http://l" + std::to_string(i) + ".example/\r\nLink" +
                std::to_string(i) + "Name=Link " + std::to_string(i) + "\r\n";
    Config(four);
    std::set<std::string> firsts;
    for (int attempt = 0; attempt < 8; ++attempt) {
        w = Restart();
        std::string a = w->lblLink1URL->URL, b = w->lblLink2URL->URL;
        EXPECT_NE(a, b);
        for (const std::string* url : {&a, &b}) {
            ASSERT_EQ(url->size(), std::string("http://l1.example/").size()) << *url;
            EXPECT_EQ(url->substr(0, 8), "http://l");
        }
        EXPECT_EQ(w->lblLink1URL->Caption(), "Link " + a.substr(8, 1));
        EXPECT_EQ(w->lblLink2URL->Caption(), "Link " + b.substr(8, 1));
        firsts.insert(a);
    }
    EXPECT_GE(firsts.size(), 2u) << "the choice is random";
}

TEST_F(BrandingTest, IconForWindowAndTaskBar) {
    Config("IconPath=C:\\Program Files\\Brand\\brand.ico\r\n");
    Write("brand.ico", DataFile("brand.ico"));
    TfrmMain* w = Start();
    EXPECT_EQ(w->IconPath(), "C:\\Program Files\\Brand\\brand.ico");
    ASSERT_NE(w->BrandIcon(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(w->Handle(), WM_GETICON, ICON_BIG, 0)), w->BrandIcon());
    EXPECT_NE(SendMessageA(w->Handle(), WM_GETICON, ICON_SMALL, 0), 0);

    Write("brand.ico", "not an icon");
    w = Restart();
    EXPECT_EQ(w->BrandIcon(), nullptr) << "the program's own icon stays";
}

TEST_F(BrandingTest, OpenURLPassesTheAddressAsOneArgument) {
    {
        BrowserCommand browser(Quoted(BrowserCommand::Recorder()) + " -osint -url \"%1\"");
        EXPECT_TRUE(OpenURL("http://example.com/a b?q=\"x\""));
        EXPECT_EQ(BrowserCommand::Recorded(), "http://example.com/a b?q=%22x%22\n");
        EXPECT_EQ(BrowserCommand::RecordedShow(), "5") << "started with show command 5";
    }
    {
        BrowserCommand none("");
        EXPECT_FALSE(OpenURL("http://example.com/"));
    }
    {
        BrowserCommand unquoted(BrowserCommand::Recorder() + " %1");
        EXPECT_TRUE(OpenURL("http://example.com/"));
        EXPECT_EQ(BrowserCommand::Recorded(1500), "") << "no quoted program: nothing starts";
    }
}

TEST_F(BrandingTest, BannerAndMakeMoneyOpenTheirAddresses) {
    Config("BannerPath1=b.gif\r\nBannerURL1=https://ads.example/click?id=7\r\n");
    Write("dbimg1.dat", branding::PlainGIF(120, 60, {10, 20}));
    TfrmMain* w = Start();
    {
        BrowserCommand browser(Quoted(BrowserCommand::Recorder()) + " %1");
        ui::Click(w->gifBanner);
        EXPECT_EQ(BrowserCommand::Recorded(), "https://ads.example/click?id=7\n");
    }
    {
        BrowserCommand browser(Quoted(BrowserCommand::Recorder()) + " %1");
        ui::Click(w->btnMakeMoney);
        EXPECT_EQ(BrowserCommand::Recorded(), std::string(TfrmMain::MakerSiteURL) + "\n")
            << "no affiliate: the bare site";
    }
    Config("AfiliateID=ref42\r\nBannerPath1=b.gif\r\n");
    w = Restart();
    {
        BrowserCommand browser(Quoted(BrowserCommand::Recorder()) + " %1");
        ui::Click(w->gifBanner);
        EXPECT_EQ(BrowserCommand::Recorded(1500), "") << "a banner without an address does nothing";
        ui::Click(w->btnMakeMoney);
        EXPECT_EQ(BrowserCommand::Recorded(), std::string(TfrmMain::MakerSiteURL) + "ref42\n");
    }
}

TEST_F(BrandingTest, ReplacementSkinLoadsOnlyWhenItReads) {
    TvlSkinPackageParts parts;
    parts.MainPicture = SolidBmp(20, 10, 0x112233);
    parts.Pictures = {SolidBmp(3, 4, 0x0000FF), SolidBmp(5, 6, 0x00FF00)};
    parts.Text = MinimalDescription("[VERSION]\r\nskinname=Branded\r\n");
    Config("AppName=Skinned\r\n");
    Write("dbskin.dat", MakeSkinPackageFile(StoredSkin(parts).CompressedData()));
    TfrmMain* w = Start();
    EXPECT_FALSE(w->vlSkinData1->IsEmpty());
    EXPECT_EQ(w->vlSkinData1->SkinName, "Branded");

    Write("categories.dat", "Work\r\n");
    parts.Pictures[1][4] = 0x10;  // a bitmap size that runs past the package
    Write("dbskin.dat", MakeSkinPackageFile(StoredSkin(parts).CompressedData()));
    w = Restart();
    bool storedEmpty = !w->vlSkinData1->CompressedStoredSkin() || w->vlSkinData1->CompressedStoredSkin()->IsDataEmpty();
    EXPECT_EQ(w->vlSkinData1->IsEmpty(), storedEmpty) << "the stored skin stays";
    EXPECT_NE(w->vlSkinData1->SkinName, "Branded");
    EXPECT_EQ(w->tvwMain->Roots().size(), 1u) << "start-up goes on";
}

TEST(LinkLabel, OpensOnlyWebAndMailAddresses) {
    EXPECT_TRUE(TLinkLabel::IsOpenableURL("http://example.com/"));
    EXPECT_TRUE(TLinkLabel::IsOpenableURL("HTTPS://example.com/"));
    EXPECT_TRUE(TLinkLabel::IsOpenableURL("mailto:someone@example.com"));
    EXPECT_FALSE(TLinkLabel::IsOpenableURL(""));
    EXPECT_FALSE(TLinkLabel::IsOpenableURL("http://"));
    EXPECT_FALSE(TLinkLabel::IsOpenableURL("file:///C:/Windows/notepad.exe"));
    EXPECT_FALSE(TLinkLabel::IsOpenableURL("C:\\Windows\\notepad.exe"));
    EXPECT_FALSE(TLinkLabel::IsOpenableURL("javascript:alert(1)"));
    EXPECT_FALSE(TLinkLabel::IsOpenableURL(" http://example.com/"));
}

TEST_F(BrandingTest, Screenshots) {
    Config(
        "AppName=Plandesk (JPEG banner)\r\nBannerPath1=banner.jpg\r\nBannerURL1=http://a.example/\r\n"
        "Link1URL=http://one.example/\r\nLink1Name=First sponsor\r\nLink2URL=http://two.example/\r\n"
        "Link2Name=Second sponsor\r\n");
    Write("dbimg1.dat", DataFile("banner.jpg"));
    TfrmMain* w = Start();
    ASSERT_TRUE(w->imgBanner->Visible());
    ui::SaveScreenshot(w->Handle(), "branding-jpeg-banner");

    Config(
        "AppName=Plandesk (animated GIF banner)\r\nBannerPath1=banner.gif\r\nBannerURL1=http://a.example/\r\n"
        "Link1URL=http://one.example/\r\nLink1Name=First sponsor\r\n");
    Write("dbimg1.dat", DataFile("anim-banner.gif"));
    w = Restart();
    ASSERT_TRUE(w->gifBanner->Visible());
    ui::SaveScreenshot(w->Handle(), "branding-gif-banner-frame1");
    int frame = w->gifBanner->FrameIndex();
    DWORD start = GetTickCount();
    while (w->gifBanner->FrameIndex() == frame && GetTickCount() - start < 3000) ui::Pump(20);
    EXPECT_NE(w->gifBanner->FrameIndex(), frame);
    ui::SaveScreenshot(w->Handle(), "branding-gif-banner-frame2");
}

namespace {
std::string TempFile(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// The size and the centre pixel of a loaded picture.
struct TLoaded {
    int Width = 0, Height = 0;
    COLORREF Centre = CLR_INVALID;
};
TLoaded Load(const std::string& path, const std::string& formatName) {
    TGdiBitmap bitmap = LoadPictureBitmap(path, formatName);
    TLoaded out;
    BITMAP info{};
    GetObjectA(bitmap.Handle(), sizeof info, &info);
    out.Width = info.bmWidth;
    out.Height = info.bmHeight;
    TMemoryDC dc = TMemoryDC::Create(nullptr);
    SelectGuard selected(dc.Handle(), bitmap.Handle());
    out.Centre = GetPixel(dc.Handle(), out.Width / 2, out.Height / 2);
    return out;
}
}  // namespace

// The GIF picture is the format "gif", "CompuServe GIF Image"; metafiles are
// formats of the picture control too.
TEST(PictureFormats, GifAndMetafilesAreRegistered) {
    auto find = [](const char* ext) -> const TPictureFormat* {
        for (const TPictureFormat& f : PictureFormats())
            if (f.Extension == ext) return &f;
        return nullptr;
    };
    ASSERT_TRUE(find("gif"));
    EXPECT_EQ(find("gif")->Description, "CompuServe GIF Image");
    EXPECT_TRUE(find("emf"));
    EXPECT_TRUE(find("wmf"));
}

// An enhanced metafile of 2 x 1 cm, red, and a placeable metafile of 1 x 0.5
// inch, blue: shown at their own size at 96 dpi.
TEST(PictureFormats, MetafilesLoadAtTheirOwnSize) {
    std::string emf = TempFile("plandesk-test.emf");
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    RECT frame{0, 0, 2000, 1000};  // 0.01 mm
    HDC recorder = CreateEnhMetaFileA(screen, emf.c_str(), &frame, nullptr);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(recorder);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 2000, 2000};
    FillRect(recorder, &all, red);
    DeleteObject(red);
    DeleteEnhMetaFile(CloseEnhMetaFile(recorder));
    TLoaded e = Load(emf, "picture.EMF");
    DeleteFileA(emf.c_str());
    EXPECT_NEAR(e.Width, MulDiv(2000, dpi, 2540), 1);
    EXPECT_NEAR(e.Height, MulDiv(1000, dpi, 2540), 1);
    EXPECT_EQ(e.Centre, RGB(255, 0, 0));

    HDC old = CreateMetaFileA(nullptr);
    SetWindowOrgEx(old, 0, 0, nullptr);
    SetWindowExtEx(old, 1440, 720, nullptr);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(old, blue);
    Rectangle(old, -10, -10, 1450, 730);
    SelectObject(old, previous);
    HMETAFILE wmf = CloseMetaFile(old);
    DeleteObject(blue);
    std::string bits(GetMetaFileBitsEx(wmf, 0, nullptr), '\0');
    GetMetaFileBitsEx(wmf, static_cast<UINT>(bits.size()), bits.data());
    DeleteMetaFile(wmf);
    // The placeable header: key, handle, box 0,0 - 1440,720 in 1440ths of an inch, checksum.
    uint16_t words[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 1440, 720, 1440, 0, 0, 0};
    for (int i = 0; i < 10; ++i) words[10] ^= words[i];
    std::string placeable(reinterpret_cast<const char*>(words), 22);
    std::string wmfPath = TempFile("plandesk-test.wmf");
    WriteBytes(wmfPath, placeable + bits);
    TLoaded w = Load(wmfPath, "banner.wmf");
    DeleteFileA(wmfPath.c_str());
    EXPECT_NEAR(w.Width, dpi, 1);
    EXPECT_NEAR(w.Height, dpi / 2, 1);
    EXPECT_EQ(w.Centre, RGB(0, 0, 255));
}
