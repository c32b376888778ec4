// The main window's branding: title, affiliate identifier, banner, links,
// replacement skin and icon from dbconfig.dat in the program's folder, and the
// handlers that open the banner's and the maker's addresses.
#include <chrono>
#include <random>

#include "app/FMain.h"
#include "core/FileIO.h"
#include "media/PictureFile.h"
#include "model/UUtils.h"
#include "skin/data/vlSkinPackage.h"

namespace {

const char* const kSection = "Settings";

// An index in 0 … count − 1 from a generator reseeded from the clock.
size_t RandomIndex(size_t count) {
    std::mt19937 generator(static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    return std::uniform_int_distribution<size_t>(0, count - 1)(generator);
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

class TBrandingFile {
public:
    explicit TBrandingFile(std::string path) : FPath(std::move(path)) {}
    std::string Read(const std::string& key) const {
        char buffer[4096];
        GetPrivateProfileStringA(kSection, key.c_str(), "", buffer, sizeof buffer, FPath.c_str());
        return buffer;
    }

private:
    std::string FPath;
};

}  // namespace

TfrmMain::TBrandIcons::~TBrandIcons() {
    if (Big) DestroyIcon(Big);
    if (Small) DestroyIcon(Small);
}

void TfrmMain::LoadBranding() {
    const std::string folder = ProgramFolder();
    const std::string configPath = folder + "dbconfig.dat";
    if (!FileExists(configPath)) return;
    TBrandingFile config(configPath);

    std::string appName = config.Read("AppName");
    if (!appName.empty()) SetCaption(appName);
    std::string affiliate = config.Read("AfiliateID");
    if (!affiliate.empty()) FAffiliateID = affiliate;

    std::vector<std::string> paths, addresses;
    for (int i = 1; i <= 3; ++i) {
        std::string path = config.Read("BannerPath" + std::to_string(i));
        if (path.empty()) continue;
        paths.push_back(path);
        addresses.push_back(config.Read("BannerURL" + std::to_string(i)));
    }
    size_t k = 0;
    if (!paths.empty()) {
        k = RandomIndex(paths.size());
        FBannerURL = addresses[k];
        FBannerPath = paths[k];
    }
    if (!FBannerURL.empty()) imgBanner->Cursor = gifBanner->Cursor = crHandPoint;
    if (FBannerPath.empty())
        panBanner->SetVisible(false);
    else
        ShowBanner(folder + "dbimg" + std::to_string(k + 1) + ".dat");

    std::vector<std::string> urls, names;
    for (int i = 1; i <= 4; ++i) {
        std::string url = config.Read("Link" + std::to_string(i) + "URL");
        if (url.empty()) continue;
        urls.push_back(url);
        names.push_back(config.Read("Link" + std::to_string(i) + "Name"));
    }
    if (!urls.empty()) {
        size_t j = RandomIndex(urls.size());
        FLink1URL = urls[j];
        FLink1Name = names[j];
        urls.erase(urls.begin() + static_cast<std::ptrdiff_t>(j));
        names.erase(names.begin() + static_cast<std::ptrdiff_t>(j));
        if (!urls.empty()) {
            j = RandomIndex(urls.size());
            FLink2URL = urls[j];
            FLink2Name = names[j];
        }
    }
    lblLink1URL->SetCaption(FLink1Name);
    lblLink1URL->URL = FLink1URL;
    lblLink2URL->SetCaption(FLink2Name);
    lblLink2URL->URL = FLink2URL;

    if (FileExists(folder + "dbskin.dat")) LoadReplacementSkin(folder + "dbskin.dat");

    std::string icon = config.Read("IconPath");
    if (!icon.empty()) FIconPath = icon;
    if (!FIconPath.empty() && FileExists(folder + FileNamePart(FIconPath)))
        LoadBrandIcon(folder + FileNamePart(FIconPath));
}

void TfrmMain::ShowBanner(const std::string& storedPath) {
    // The stored picture keeps its name on disk: the configured name only
    // chooses the player and the picture format.
    if (!FileExists(storedPath)) {
        panBanner->SetVisible(false);
        return;
    }
    const std::string name = FileNamePart(FBannerPath);
    try {
        if (Lower(name).find(".gif") != std::string::npos) {
            imgBanner->SetVisible(false);
            gifBanner->SetVisible(true);
            gifBanner->Image()->LoadFromFile(storedPath);
            panBanner->SetHeight(gifBanner->Height() + ScaleForDpi(10, Dpi()));
        } else {
            gifBanner->SetVisible(false);
            imgBanner->SetVisible(true);
            imgBanner->SetBitmap(LoadPictureBitmap(storedPath, name));
            panBanner->SetHeight(imgBanner->Height() + ScaleForDpi(10, Dpi()));
        }
    } catch (const std::exception&) {
        // A picture that cannot be shown leaves the window without a banner.
        gifBanner->Image()->Clear();
        panBanner->SetVisible(false);
    }
}

void TfrmMain::LoadReplacementSkin(const std::string& path) {
    // Only a package that reads completely replaces the skin: a damaged
    // dbskin.dat leaves the stored skin in place rather than the plain look,
    // and start-up goes on.
    try {
        TvlCompressedStoredSkin package;
        package.LoadCompressedFile(path);
        if (package.IsDataEmpty() || !ReadSkinPackage(package.DecompressTo())) return;
        vlSkinData1->LoadPackageFile(path);
    } catch (const std::exception&) {
        // Unreadable: the skin stays as it was.
    }
}

void TfrmMain::LoadBrandIcon(const std::string& path) {
    auto load = [&](int metric) {
        int size = GetSystemMetrics(metric);
        return static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    };
    HICON big = load(SM_CXICON), small = load(SM_CXSMICON);
    if (!big || !small) {  // not an icon: the program's own stays
        if (big) DestroyIcon(big);
        if (small) DestroyIcon(small);
        return;
    }
    // The main window is the task bar's window, so its icons are the
    // application's.
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (FBrandIcons.Big) DestroyIcon(FBrandIcons.Big);
    if (FBrandIcons.Small) DestroyIcon(FBrandIcons.Small);
    FBrandIcons.Big = big;
    FBrandIcons.Small = small;
}

void TfrmMain::imgBannerClick(TObject*) {
    if (!FBannerURL.empty()) OpenURL(FBannerURL);
}

void TfrmMain::gifBannerClick(TObject*) {
    if (!FBannerURL.empty()) OpenURL(FBannerURL);
}

void TfrmMain::btnMakeMoneyClick(TObject*) { OpenURL(std::string(MakerSiteURL) + FAffiliateID); }
