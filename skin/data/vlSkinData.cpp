#include "skin/data/vlSkinData.h"

#include <algorithm>
#include <cerrno>

#include "core/BmpReader.h"
#include "core/FileIO.h"
#include "core/StringList.h"
#include "skin/data/vlSkinScale.h"

namespace {

TSkinNoticeBroadcaster& Broadcaster() {
    static TSkinNoticeBroadcaster broadcaster;
    return broadcaster;
}

std::string ReadWholeFile(const std::string& path) {
    std::optional<std::string> bytes = ReadFileIfExists(path);
    if (!bytes) throw EFOpenError(path, SystemErrorText(ENOENT));
    return std::move(*bytes);
}

// A bitmap file of the skin folder, checked to decode. In a package the next
// field starts where its size field says, so a file whose field is 0 or
// inexact (common among picture tools) is written afresh.
std::string ReadBitmapFile(const std::string& folder, const std::string& name) {
    std::string bytes = ReadWholeFile(ResolveFileName(folder, name));
    TPixelImage image = DecodeBmpFile(bytes);
    if (bytes.size() >= 6 && bytes.size() <= 0xFFFFFFFFu) {
        auto field = static_cast<uint32_t>(static_cast<uint8_t>(bytes[2]) | (static_cast<uint8_t>(bytes[3]) << 8) |
                                           (static_cast<uint8_t>(bytes[4]) << 16) |
                                           (static_cast<uint32_t>(static_cast<uint8_t>(bytes[5])) << 24));
        if (field == bytes.size()) return bytes;
    }
    return EncodeBmp(image);
}

template <class Record>
void ReadElementList(const TvlSkinIni& ini, const char* section,
                     std::unique_ptr<Record> (*create)(const std::string&, const std::string&),
                     std::vector<std::unique_ptr<Record>>& list) {
    int count = ini.ReadInteger(section, "count", 0);
    for (const auto& [index, entry] : ini.ReadIndexedEntries(section, count)) {
        size_t colon = entry.find(':');
        if (colon == std::string::npos) continue;
        std::unique_ptr<Record> record = create(entry.substr(colon + 1), entry.substr(0, colon));
        if (!record) continue;
        record->ReadData(ini);
        list.push_back(std::move(record));
    }
}

}  // namespace

TSkinNoticeBroadcaster SetSkinNoticeBroadcaster(TSkinNoticeBroadcaster broadcaster) {
    std::swap(Broadcaster(), broadcaster);
    return broadcaster;
}

// ---- TvlCompressedStoredSkin ----

void TvlCompressedStoredSkin::LoadCompressedFile(const std::string& path) {
    FCompressedData.clear();
    std::string file = ReadWholeFile(path);
    if (std::optional<std::string> data = ReadSkinPackageFile(file)) FCompressedData = std::move(*data);
}

void UseBuiltInSkin(TvlCompressedStoredSkin& stored) {
    stored.SetCompressedData(BuiltInSkinStream());
    stored.ScaledStreams = [](int dpi) { return BuiltInSkinStream(dpi); };
}

std::string TvlCompressedStoredSkin::DecompressTo() const { return InflateSkinStream(FCompressedData); }

void TvlCompressedStoredSkin::BuildFromDescription(const std::string& iniPath) {
    std::vector<std::string> lines = SplitLines(ReadWholeFile(iniPath));
    TvlSkinIni ini(lines);
    for (const char* section : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
        if (!ini.SectionExists(section)) return;
    std::string folder = iniPath.substr(0, iniPath.find_last_of("/\\") + 1);
    // From here on the old package is gone, also when a bitmap is missing.
    FCompressedData.clear();

    TvlSkinPackageParts parts;
    auto optionalPicture = [&](const char* key) -> std::optional<std::string> {
        std::string name = ini.ReadString("PICTURES", key, "");
        if (name.empty()) return std::nullopt;
        return ReadBitmapFile(folder, name);
    };
    parts.MainPicture = optionalPicture("picture");
    parts.MainInactivePicture = optionalPicture("inactivepicture");
    parts.MainMask = optionalPicture("mask");
    for (const std::string& name : ini.ReadNameList("PICTURES", "activepictures"))
        parts.Pictures.push_back(ReadBitmapFile(folder, name));
    for (const std::string& line : lines) parts.Text += line + "\r\n";
    FCompressedData = DeflateSkinStream(WriteSkinPackage(parts));
}

// ---- window records ----

TvlStretchSides TvlStretchSides::Read(const TvlSectionReader& r) {
    return {r.Flag("leftstretch"), r.Flag("rightstretch"), r.Flag("topstretch"), r.Flag("bottomstretch")};
}

void TvlDataSkinWindowFrame::ReadPictureAndCorners(const TvlSectionReader& r) {
    WindowPictureIndex = r.Integer("windowpictureindex", -1);
    MaskPictureIndex = r.Integer("maskpictureindex", -1);
    Corners() = r.Corners();
}

void TvlDataSkinPopupWindow::ReadData(const TvlSkinIni& ini) {
    TvlSectionReader r(ini, "POPUPWINDOW");
    ReadPictureAndCorners(r);
    VL_READ_FIELDS(r, ItemsRect, ScrollMarkerColor);
    ScrollMarkerActiveColor = r.Color("scrollmarkeractivecolor");
    Stretch() = TvlStretchSides::Read(r);
}

void TvlDataSkinHintWindow::ReadData(const TvlSkinIni& ini) {
    TvlSectionReader r(ini, "HINTWINDOW");
    ReadPictureAndCorners(r);
    ClientRect = r.Rect("clientrect");
    Font() = r.Font();
    Stretch() = TvlStretchSides::Read(r);
}

// ---- TvlSkinData ----

void TvlSkinData::Broadcast(TvlSkinNotice notice) {
    if (Broadcaster()) Broadcaster()(*this, notice);
}

void TvlSkinData::SetCompressedStoredSkin(TvlCompressedStoredSkin* storedSkin) {
    FCompressedStoredSkin.Set(storedSkin);
    if (storedSkin) LoadStoredSkin(storedSkin);
}

void TvlSkinData::SetResourceStrData(TvlResourceStrData* resourceStrData) {
    FResourceStrData.Set(resourceStrData);
    Broadcast(TvlSkinNotice::StringsChanged);
}

void TvlSkinData::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (!removing) return;
    FCompressedStoredSkin.Removed(component);
    FResourceStrData.Removed(component);
}

void TvlSkinData::LoadPackageFile(const std::string& path) {
    TvlCompressedStoredSkin file(this);
    try {
        file.LoadCompressedFile(path);
    } catch (const ESkinPackageError&) {
        // A package file that is unreadable past its header is a failed load:
        // the old skin goes, every window is told, the error goes on.
        FIsEmpty = true;
        FSourceStream.clear();
        FSourceScales = nullptr;
        Broadcast(TvlSkinNotice::Changing);
        ClearSkin();
        Broadcast(TvlSkinNotice::Changed);
        Broadcast(TvlSkinNotice::ChangedMDI);
        throw;
    }
    if (!file.IsDataEmpty()) LoadStoredSkin(&file);
}

void TvlSkinData::LoadStoredSkin(const TvlCompressedStoredSkin* storedSkin) {
    if (!storedSkin || storedSkin->IsDataEmpty()) return;
    if (FDpi == 0) FDpi = SkinStartDpi();
    FSourceStream = storedSkin->CompressedData();
    FSourceScales = storedSkin->ScaledStreams;
    ReadSource();
}

void TvlSkinData::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == FDpi) return;
    FDpi = dpi;
    if (!FSourceStream.empty()) ReadSource();
}

std::optional<TvlSkinPackage> TvlSkinData::ReadSourcePackage(std::vector<TPixelImage>& spare) const {
    std::string raw = InflateSkinStream(FSourceStream);
    if (FDpi == SkinBaseDpi) return ReadSkinPackage(raw, &spare);
    // The first scale drawn at or above the DPI; ReadSkinPackageForDpi
    // scales it down, or scales the 96-DPI skin when none is drawn.
    if (FSourceScales) {
        for (int dpi : SkinGeneratedDpis) {
            if (dpi < FDpi) continue;
            std::string stream = FSourceScales(dpi);
            if (stream.empty()) continue;
            raw = AppendScaledSkins(std::move(raw), {{dpi, InflateSkinStream(stream)}});
            break;
        }
    }
    return ReadSkinPackageForDpi(raw, FDpi);
}

void TvlSkinData::ReadSource() {
    FIsEmpty = true;
    Broadcast(TvlSkinNotice::Changing);
    std::vector<TPixelImage> spare = TakePictures();
    ClearSkin();
    try {
        std::optional<TvlSkinPackage> package = ReadSourcePackage(spare);
        if (package) {
            ReadSkin(*package);
            FIsEmpty = false;
        }
    } catch (...) {
        // A source that cannot be read is not read again at another DPI.
        FSourceStream.clear();
        FSourceScales = nullptr;
        ClearSkin();
        Broadcast(TvlSkinNotice::Changed);
        Broadcast(TvlSkinNotice::ChangedMDI);
        throw;
    }
    Broadcast(TvlSkinNotice::Changed);
    Broadcast(TvlSkinNotice::ChangedMDI);
}

std::vector<TPixelImage> TvlSkinData::TakePictures() {
    std::vector<TPixelImage> pictures;
    pictures.reserve(PictureList.size() + 3);
    for (TPixelImage* p : {&MainPicture, &MainInactivePicture, &MainMask})
        if (!p->Empty()) pictures.push_back(std::move(*p));
    for (TPixelImage& p : PictureList) pictures.push_back(std::move(p));
    PictureList.clear();
    return pictures;
}

void TvlSkinData::ClearSkin() {
    SkinObjects.clear();
    SkinControls.clear();
    PictureList.clear();
    PopupWindow = {};
    HintWindow = {};
    PictureNames.clear();
    MainPicture.Clear();
    MainMask.Clear();
    MainInactivePicture.Clear();
    PictureName.clear();
    InactivePictureName.clear();
    MaskName.clear();
    SkinName.clear();
    SkinAuthor.clear();
    AuthorEmail.clear();
    AuthorURL.clear();
    SkinComments.clear();
    // The frame values go too, so that an empty skin never hands out the
    // geometry of the previous one.
    static_cast<TvlDataSkinForm&>(*this) = TvlDataSkinForm{};
    FIsEmpty = true;
}

void TvlSkinData::ReadSkin(TvlSkinPackage& package) {
    MainPicture = std::move(package.MainPicture);
    MainInactivePicture = std::move(package.MainInactivePicture);
    MainMask = std::move(package.MainMask);
    PictureList = std::move(package.Pictures);

    TvlSkinIni ini;
    ini.SetText(package.Text);
    TvlSectionReader version(ini, "VERSION");
    SkinName = version.String("skinname");
    SkinAuthor = version.String("skinauthor");
    AuthorEmail = version.String("authoremail");
    AuthorURL = version.String("authorurl");
    SkinComments = version.String("skincomments");
    TvlSectionReader pictures(ini, "PICTURES");
    PictureName = pictures.String("picture");
    InactivePictureName = pictures.String("inactivepicture");
    MaskName = pictures.String("mask");
    PictureNames = ini.ReadNameList("PICTURES", "activepictures");

    ReadFormInfo(ini);
    PopupWindow.ReadData(ini);
    HintWindow.ReadData(ini);
    ReadElementList(ini, "SKINOBJECTS", &CreateSkinObject, SkinObjects);
    ReadElementList(ini, "SKINCONTROLS", &CreateSkinControl, SkinControls);
}

void TvlSkinData::ReadFormInfo(const TvlSkinIni& ini) {
    TvlSectionReader r(ini, "FORMINFO");
    Corners() = r.Corners();
    ClientRect = r.Rect("clientrect");
    BGPictureIndex = r.Integer("bgpictureindex", -1);
    MDIBGPictureIndex = r.Integer("mdibgpictureindex", -1);
    Stretch() = TvlStretchSides::Read(r);
    MaskRectArea = r.Rect("maskrectarea");
    HitTestLTPoint = r.Point("hittestlefttoppoint");
    HitTestRTPoint = r.Point("hittestrighttoppoint");
    HitTestLBPoint = r.Point("hittestleftbottompoint");
    HitTestRBPoint = r.Point("hittestrightbottompoint");
    VL_READ_FIELDS(r, ButtonsRect, CaptionRect, ButtonsOffset, ButtonsInLeft, MainMenuPopupUp, BorderWidth,
                   AutoRenderingInActiveImage, InActiveEffect);

    if (!MaskName.empty()) {
        if (MaskRectArea.IsEmpty()) {
            MaskRectArea = ClientRect;
        } else {
            MaskRectArea.Left = std::min(MaskRectArea.Left, ClientRect.Left);
            MaskRectArea.Top = std::min(MaskRectArea.Top, ClientRect.Top);
            MaskRectArea.Right = std::max(MaskRectArea.Right, ClientRect.Right);
            MaskRectArea.Bottom = std::max(MaskRectArea.Bottom, ClientRect.Bottom);
        }
        auto fill = [](TPoint& hit, const TPoint& cut) {
            if (hit.X == 0 || hit.Y == 0) hit = cut;
        };
        fill(HitTestLTPoint, LTPoint);
        fill(HitTestRTPoint, RTPoint);
        fill(HitTestLBPoint, LBPoint);
        fill(HitTestRBPoint, RBPoint);
    }
    if (RBPoint.X != LTPoint.X && RBPoint.Y != LTPoint.Y) {
        // Each corner point stays inside the client rect on its own two sides.
        const TRect& c = ClientRect;
        LTPoint = {std::max(LTPoint.X, c.Left), std::max(LTPoint.Y, c.Top)};
        RTPoint = {std::min(RTPoint.X, c.Right), std::max(RTPoint.Y, c.Top)};
        LBPoint = {std::max(LBPoint.X, c.Left), std::min(LBPoint.Y, c.Bottom)};
        RBPoint = {std::min(RBPoint.X, c.Right), std::min(RBPoint.Y, c.Bottom)};
    }
}

int TvlSkinData::FindObjectIndex(const std::string& name) const {
    for (size_t i = 0; i < SkinObjects.size(); ++i)
        if (SkinObjects[i]->ElementName == name) return static_cast<int>(i);
    return -1;
}

int TvlSkinData::FindControlIndex(const std::string& name) const {
    for (size_t i = 0; i < SkinControls.size(); ++i)
        if (SkinControls[i]->ElementName == name) return static_cast<int>(i);
    return -1;
}
