#include "media/PictureFile.h"

#include <cstring>
#include <utility>

#include "core/FileIO.h"
#include "media/GIFImage.h"
#include "media/JPEGImage.h"
#include "toolkit/Graphics.h"

namespace {

const char* const kInvalidBitmapText = "Bitmap image is not valid";
const char* const kInvalidIconText = "Icon image is not valid";
const char* const kInvalidMetafileText = "Metafile is not valid";

// A 32-bit top-down DIB section and its bits.
TGdiBitmap CreateBitmap32(int width, int height, uint32_t** bits) {
    TDibSection dib = CreateDibSection(width, height, 32);
    if (!dib.Bitmap) throw Exception("Out of system resources");
    *bits = static_cast<uint32_t*>(dib.Bits);
    return std::move(dib.Bitmap);
}

std::string ReadPictureFile(const std::string& path) {
    std::optional<std::string> bytes = ReadFileIfExists(path);
    if (!bytes) throw EFOpenError(path, SystemErrorText(2));
    return *bytes;
}

TGdiBitmap FromJPEG(const std::string& path) {
    TRGBImage image = DecodeJPEG(ReadPictureFile(path));
    uint32_t* bits = nullptr;
    TGdiBitmap bitmap = CreateBitmap32(image.Width, image.Height, &bits);
    const uint8_t* src = image.Pixels.data();
    for (size_t i = 0, n = static_cast<size_t>(image.Width) * image.Height; i < n; ++i, src += 3)
        bits[i] = src[0] | (src[1] << 8) | (src[2] << 16);
    return bitmap;
}

TGdiBitmap FromGIF(const std::string& path) {
    TGIFImage image;
    image.LoadFromBytes(ReadPictureFile(path));
    if (image.Empty() || image.Width() <= 0 || image.Height() <= 0) throw EGIFError(kStreamReadErrorText);
    TGIFComposition composition;
    composition.Compose(image, 0, ColorToRGB(clBtnFace));
    uint32_t* bits = nullptr;
    TGdiBitmap bitmap = CreateBitmap32(composition.Width, composition.Height, &bits);
    std::memcpy(bits, composition.Pixels.data(), composition.Pixels.size() * sizeof(uint32_t));
    return bitmap;
}

TGdiBitmap FromBMP(const std::string& path) {
    if (!FileExists(path)) throw EFOpenError(path, SystemErrorText(2));
    TGdiBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap) throw Exception(kInvalidBitmapText);
    return bitmap;
}

// A picture that `draw` draws into width × height on the button face
// colour, copied into a bitmap of our own.
template <class Draw>
TGdiBitmap DrawnOnButtonFace(int width, int height, Draw draw) {
    TBitmap canvas(width, height);
    RECT r{0, 0, width, height};
    canvas.Canvas().FillRect(r, clBtnFace);
    draw(canvas.DC(), r);
    GdiFlush();
    uint32_t* bits = nullptr;
    TGdiBitmap bitmap = CreateBitmap32(width, height, &bits);
    std::memcpy(bits, canvas.Bits(), static_cast<size_t>(width) * height * 4);
    return bitmap;
}

// An icon drawn at its own size on the button face colour.
TGdiBitmap FromICO(const std::string& path) {
    if (!FileExists(path)) throw EFOpenError(path, SystemErrorText(2));
    auto icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    if (!icon) throw Exception(kInvalidIconText);
    ICONINFO info{};
    GetIconInfo(icon, &info);
    TGdiBitmap color(info.hbmColor), mask(info.hbmMask);  // copies made for us
    BITMAP bm{};
    GetObjectA(color ? color.Handle() : mask.Handle(), sizeof bm, &bm);
    int width = bm.bmWidth, height = color ? bm.bmHeight : bm.bmHeight / 2;
    color.Reset();
    mask.Reset();
    return DrawnOnButtonFace(width, height, [&](HDC dc, const RECT&) {
        DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    });
}

// A metafile (enhanced, or the older kind with or without the placeable
// header) played at its own size on the button face colour.
TGdiBitmap FromMetafile(const std::string& path) {
    std::string bytes = ReadPictureFile(path);
    HENHMETAFILE metafile = nullptr;
    if (bytes.size() >= 4 && bytes.compare(0, 4, "\x01\x00\x00\x00", 4) == 0) {
        metafile = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), reinterpret_cast<const BYTE*>(bytes.data()));
    } else {
        // Placeable: a 22-byte header with the bounding box and units per inch.
        size_t skip = bytes.size() >= 22 && bytes.compare(0, 4, "\xD7\xCD\xC6\x9A", 4) == 0 ? 22 : 0;
        METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
        if (skip) {
            auto word = [&](size_t at) {
                return static_cast<int16_t>(static_cast<uint8_t>(bytes[at]) |
                                            (static_cast<uint8_t>(bytes[at + 1]) << 8));
            };
            int inch = static_cast<uint16_t>(word(14));
            if (inch > 0) {  // in 0.01 mm
                picture.xExt = MulDiv(word(10) - word(6), 2540, inch);
                picture.yExt = MulDiv(word(12) - word(8), 2540, inch);
            }
        }
        if (bytes.size() > skip)
            metafile = SetWinMetaFileBits(static_cast<UINT>(bytes.size() - skip),
                                          reinterpret_cast<const BYTE*>(bytes.data() + skip), nullptr, &picture);
    }
    if (!metafile) throw Exception(kInvalidMetafileText);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    HDC screen = GetDC(nullptr);
    // The frame is in 0.01 mm; the picture is shown at the screen's resolution.
    int width = MulDiv(header.rclFrame.right - header.rclFrame.left, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    int height = MulDiv(header.rclFrame.bottom - header.rclFrame.top, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    ReleaseDC(nullptr, screen);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        DeleteEnhMetaFile(metafile);
        throw Exception(kInvalidMetafileText);
    }
    return DrawnOnButtonFace(width, height, [&](HDC dc, const RECT& r) {
        PlayEnhMetaFile(dc, metafile, &r);
        DeleteEnhMetaFile(metafile);
    });
}

std::vector<TPictureFormat>& Formats() {
    static std::vector<TPictureFormat> formats = {
        {"bmp", "Bitmaps", FromBMP},
        {"ico", "Icons", FromICO},
        {"emf", "Enhanced Metafiles", FromMetafile},
        {"wmf", "Metafiles", FromMetafile},
        {"jpg", "JPEG Image File", FromJPEG},
        {"jpeg", "JPEG Image File", FromJPEG},
        {"jpe", "JPEG Image File", FromJPEG},
        {"jfif", "JPEG Image File", FromJPEG},
        {"gif", "CompuServe GIF Image", FromGIF},
    };
    return formats;
}

}  // namespace

const std::vector<TPictureFormat>& PictureFormats() { return Formats(); }

void RegisterPictureFormat(const TPictureFormat& format) {
    for (TPictureFormat& f : Formats())
        if (f.Extension == format.Extension) {
            f = format;
            return;
        }
    Formats().push_back(format);
}

std::string PictureExtension(const std::string& fileName) {
    size_t slash = fileName.find_last_of("\\/:");
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = fileName.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

TGdiBitmap LoadPictureBitmap(const std::string& path, const std::string& formatName) {
    std::string ext = PictureExtension(formatName);
    for (const TPictureFormat& format : PictureFormats())
        if (format.Extension == ext) return format.Load(path);
    throw Exception("Unknown picture file extension (." + ext + ")");
}
