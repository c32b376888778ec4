#pragma once
// The skin package: its byte layout, the zlib stream around it and the small
// file wrapper in which a package lives on disk.
//
// Uncompressed layout (little-endian): int32 version (at most 3); for the
// frame picture, the inactive frame picture and the mask a flag byte (1 =
// absent, 0 = a bitmap file follows) and the bitmap; with version 2 two more
// flagged legacy pictures; int32 count n and n bitmap files back to back; the
// description text up to the end. Package file: int32 file version (at most
// 3), int32 compressed size, the zlib stream.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Errors.h"
#include "core/PixelImage.h"

// Corrupt zlib data (message "compression error").
class EDecompressionError : public Exception {
public:
    EDecompressionError() : Exception("compression error") {}
};

// A failure inside the compressor (message "error").
class ECompressionError : public Exception {
public:
    ECompressionError() : Exception("error") {}
};

// A package or package file whose fields disagree with its bytes.
class ESkinPackageError : public Exception {
public:
    explicit ESkinPackageError(const std::string& reason) : Exception("Skin package is not valid: " + reason) {}
};

constexpr int32_t SkinPackageVersion = 3;
// An inflated package larger than this is refused as corrupt: real skins are
// a few hundred kilobytes, a forged stream could expand without end.
constexpr size_t SkinPackageMaxSize = 64u * 1024 * 1024;

// zlib stream at the highest level (9), and back.
std::string DeflateSkinStream(std::string_view raw);
std::string InflateSkinStream(std::string_view compressed);

struct TvlSkinPackage {
    int32_t Version = SkinPackageVersion;
    TPixelImage MainPicture, MainInactivePicture, MainMask;
    std::vector<TPixelImage> Pictures;
    std::string Text;  // the description, as raw bytes
};

// Reads an uncompressed package. Returns nothing for version 4 and above;
// anything truncated or inconsistent raises ESkinPackageError (or
// EInvalidGraphic for a bad bitmap).
// `spare`, when given, holds pictures of an earlier load whose memory the
// new pictures take over, in the order they were read (frame picture,
// inactive frame picture, mask, numbered pictures): loading a skin again
// then neither returns that memory to the system nor faults it in anew.
std::optional<TvlSkinPackage> ReadSkinPackage(std::string_view raw, std::vector<TPixelImage>* spare = nullptr);

// The parts of a package as bytes, for writing one. An absent optional is
// written as flag 1; the legacy pictures are written only with version 2.
struct TvlSkinPackageParts {
    int32_t Version = SkinPackageVersion;
    std::optional<std::string> MainPicture, MainInactivePicture, MainMask;
    std::optional<std::string> Legacy[2];
    std::vector<std::string> Pictures;
    std::string Text;
};
std::string WriteSkinPackage(const TvlSkinPackageParts& parts);

// The zlib stream of a package file, or nothing when its file version is
// above 3. A size field that is not positive or runs past the end raises
// ESkinPackageError.
std::optional<std::string> ReadSkinPackageFile(std::string_view file);
std::string MakeSkinPackageFile(std::string_view compressed);
