#pragma once
// The loaded skin: frame pictures, numbered pictures, form frame values, the
// popup-menu and hint window records and the element records, read from a
// skin package. Loading announces itself through the notices below; the
// windowing side installs the broadcaster that turns them into messages.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Component.h"
#include "core/Geometry.h"
#include "core/PixelImage.h"
#include "core/StringList.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlResourceStr.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlSkinIni.h"
#include "skin/data/vlSkinObjects.h"
#include "skin/data/vlSkinPackage.h"

// What a skin data announces: the old skin is about to go, the new one is
// read (then once more for MDI children), the resource strings changed.
enum class TvlSkinNotice { Changing, Changed, ChangedMDI, StringsChanged };

// The compressed package as a form keeps it (the zlib stream without the
// package-file header).
class TvlCompressedStoredSkin : public TComponent {
public:
    explicit TvlCompressedStoredSkin(TComponent* owner = nullptr, std::string compressedData = {})
        : TComponent(owner), FCompressedData(std::move(compressedData)) {}
    std::string Description;
    std::string FileName;
    std::string CompressedFileName;

    const std::string& CompressedData() const { return FCompressedData; }
    void SetCompressedData(std::string data) { FCompressedData = std::move(data); }
    bool IsDataEmpty() const { return FCompressedData.empty(); }

    // Reads a package file. A file version above 3 leaves the data empty; a
    // missing file raises EFOpenError; a size field that does not match the
    // file raises ESkinPackageError with the data left empty.
    void LoadCompressedFile(const std::string& path);
    // Inflates the whole compressed data.
    std::string DecompressTo() const;
    // Builds the compressed data from a skin folder: the description file and
    // the bitmap files it names beside it. A description without [VERSION],
    // [PICTURES], [FORMINFO], [SKINOBJECTS] or [SKINCONTROLS] changes nothing.
    void BuildFromDescription(const std::string& iniPath);

    // The zlib streams of this skin drawn at other DPIs (whole packages at
    // that scale), or empty for a scale it lacks. Asked for only when the
    // skin is used at a DPI other than 96, so that a 96-DPI start inflates
    // no more than it did.
    std::function<std::string(int dpi)> ScaledStreams;

private:
    std::string FCompressedData;
};

// Which sides of a picture stretch rather than tile ("leftstretch",
// "rightstretch", "topstretch", "bottomstretch").
struct TvlStretchSides {
    bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
    TvlStretchSides& Stretch() { return *this; }
    static TvlStretchSides Read(const TvlSectionReader& r);
};

// [FORMINFO]: the values of the skinned form frame.
struct TvlDataSkinForm : TvlCornerPoints, TvlStretchSides {
    TRect ClientRect;
    int BGPictureIndex = -1;
    int MDIBGPictureIndex = -1;
    TRect MaskRectArea;
    TPoint HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
    TRect ButtonsRect;
    TRect CaptionRect;
    int ButtonsOffset = 0;
    bool ButtonsInLeft = false;
    bool MainMenuPopupUp = false;
    int BorderWidth = 0;
    bool AutoRenderingInActiveImage = false;
    TvlInActiveEffect InActiveEffect = ieBrightness;
};

// What the popup-menu and hint windows share: the picture they are cut from
// and its mask, the corner points and the stretching sides.
struct TvlDataSkinWindowFrame : TvlCornerPoints, TvlStretchSides {
    int WindowPictureIndex = -1;
    int MaskPictureIndex = -1;

protected:
    // The keys a window section starts with: the two pictures, then the
    // corner points. Its own keys follow, the stretching sides come last.
    void ReadPictureAndCorners(const TvlSectionReader& r);
};

// [POPUPWINDOW]: the window of a skinned popup menu.
struct TvlDataSkinPopupWindow : TvlDataSkinWindowFrame {
    TRect ItemsRect;
    uint32_t ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
    void ReadData(const TvlSkinIni& ini);
};

// [HINTWINDOW]: the skinned hint window.
struct TvlDataSkinHintWindow : TvlDataSkinWindowFrame, TvlSkinFont {
    TRect ClientRect;
    void ReadData(const TvlSkinIni& ini);
};

// A skin picture as the compositions read it.
inline TvlPixelView PictureView(const TPixelImage& picture) {
    return {picture.Pixels.data(), picture.Width, picture.Height, picture.Stride()};
}

class TvlSkinData;
// Delivers the notices of every skin data: the windowing side installs one
// that sends them to its forms, tests install one that records them. With
// none installed nobody hears them. Returns the one it replaces.
using TSkinNoticeBroadcaster = std::function<void(TvlSkinData& sender, TvlSkinNotice notice)>;
TSkinNoticeBroadcaster SetSkinNoticeBroadcaster(TSkinNoticeBroadcaster broadcaster);
// The built-in skin's zlib stream from the program's resources ("VL_BUILTIN_SKIN",
// RCDATA), or empty when the program carries none.
std::string BuiltInSkinStream();
// The built-in skin drawn at `dpi` ("VL_BUILTIN_SKIN_144", ...), or empty.
std::string BuiltInSkinStream(int dpi);
// Gives `stored` the built-in skin: the 96-DPI stream, and its other scales
// read from the resources when a DPI asks for them.
void UseBuiltInSkin(TvlCompressedStoredSkin& stored);
// The DPI a skin data is used at from its first load until told another:
// the system's on Windows, 96 elsewhere.
int SkinStartDpi();

class TvlSkinData : public TComponent, public TvlDataSkinForm {
public:
    // The owner is the form the skin data sits on (it hears the skin
    // notices first), or null.
    explicit TvlSkinData(TComponent* owner = nullptr)
        : TComponent(owner), FCompressedStoredSkin(this), FResourceStrData(this) {}

    TPixelImage MainPicture, MainInactivePicture, MainMask;
    std::vector<TPixelImage> PictureList;
    std::vector<std::string> PictureNames;
    // [VERSION]
    std::string SkinName, SkinAuthor, AuthorEmail, AuthorURL, SkinComments;
    // [PICTURES] names of the frame picture, inactive frame picture and mask.
    std::string PictureName, InactivePictureName, MaskName;

    TvlDataSkinPopupWindow PopupWindow;
    TvlDataSkinHintWindow HintWindow;
    std::vector<std::unique_ptr<TvlDataSkinObject>> SkinObjects;
    std::vector<std::unique_ptr<TvlDataSkinControl>> SkinControls;

    // True until a load completes, and from the start of every load until it
    // completes; a failed load leaves it set.
    bool IsEmpty() const { return FIsEmpty; }

    // Loads a package file; a file version above 3 changes nothing at all.
    void LoadPackageFile(const std::string& path);
    // Replaces the skin with the one in `storedSkin` (nothing when it is null
    // or empty). Announces Changing before clearing, Changed and ChangedMDI
    // after reading. When the package cannot be read the
    // skin data ends empty, the two closing messages are still sent so that
    // every window drops the old skin, and the error is raised afterwards
    // (a package version of 4 or above is not an error).
    void LoadStoredSkin(const TvlCompressedStoredSkin* storedSkin);
    void ClearSkin();

    // The DPI the skin is read for; its lengths and pictures are at that
    // scale. 0 until the first load, which takes SkinStartDpi().
    int Dpi() const { return FDpi; }
    // Reads the skin last loaded again at `dpi` (with the usual notices, so
    // every window repaints); without a skin only the DPI is kept.
    void SetDpi(int dpi);

    // Index of the first record named exactly `name` (case-sensitive), or -1.
    int FindObjectIndex(const std::string& name) const;
    int FindControlIndex(const std::string& name) const;

    TvlCompressedStoredSkin* CompressedStoredSkin() const { return FCompressedStoredSkin; }
    // Stores the reference and loads it.
    void SetCompressedStoredSkin(TvlCompressedStoredSkin* storedSkin);
    TvlResourceStrData* ResourceStrData() const { return FResourceStrData; }
    // Stores the reference and announces StringsChanged.
    void SetResourceStrData(TvlResourceStrData* resourceStrData);

    void Broadcast(TvlSkinNotice notice);

protected:
    // A destroyed stored skin or resource-string component is forgotten;
    // the loaded skin stays.
    void Notification(TComponent* component, bool removing) override;

private:
    void ReadSkin(TvlSkinPackage& package);
    // Reads the kept source at FDpi, announcing the change around it.
    void ReadSource();
    // The package of the kept source at FDpi.
    std::optional<TvlSkinPackage> ReadSourcePackage(std::vector<TPixelImage>& spare) const;
    // Moves the pictures out (frame pictures first, then the numbered ones),
    // for the next load to reuse their memory.
    std::vector<TPixelImage> TakePictures();
    void ReadFormInfo(const TvlSkinIni& ini);
    bool FIsEmpty = true;
    int FDpi = 0;
    // What the skin was last loaded from, kept to read it again at another DPI.
    std::string FSourceStream;
    std::function<std::string(int dpi)> FSourceScales;
    TComponentRef<TvlCompressedStoredSkin> FCompressedStoredSkin;
    TComponentRef<TvlResourceStrData> FResourceStrData;
};
