#include "skin/data/vlSkinPackage.h"

#include <algorithm>

#include "core/BmpReader.h"
#include "core/Inflate.h"
#include "skin/data/vlLittleEndian.h"

namespace {

class TPackageReader {
public:
    TPackageReader(std::string_view bytes, std::vector<TPixelImage>* spare) : FBytes(bytes), FSpare(spare) {
        if (FSpare) std::reverse(FSpare->begin(), FSpare->end());  // taken from the back in reading order
    }
    size_t Left() const { return FBytes.size() - FPos; }
    int32_t Int32(const char* what) {
        Need(4, what);
        int32_t v = GetInt32(FBytes, FPos);
        FPos += 4;
        return v;
    }
    uint8_t Byte(const char* what) {
        Need(1, what);
        return static_cast<uint8_t>(FBytes[FPos++]);
    }
    TPixelImage Bitmap() {
        std::string_view rest = FBytes.substr(FPos);
        size_t length = BmpFileLength(rest);
        TPixelImage image;
        if (FSpare && !FSpare->empty()) {
            image = std::move(FSpare->back());
            FSpare->pop_back();
        }
        DecodeBmpInto(rest.substr(0, length), image);
        FPos += length;
        return image;
    }
    // A flag byte, then the bitmap when the flag is 0.
    TPixelImage FlaggedBitmap(const char* what) { return Byte(what) ? TPixelImage{} : Bitmap(); }
    std::string_view Rest() const { return FBytes.substr(FPos); }

private:
    void Need(size_t n, const char* what) const {
        if (Left() < n) throw ESkinPackageError(std::string("the package ends before the ") + what);
    }
    std::string_view FBytes;
    std::vector<TPixelImage>* FSpare;
    size_t FPos = 0;
};

}  // namespace

std::string DeflateSkinStream(std::string_view raw) {
    std::optional<std::string> out = DeflateAll(raw);
    if (!out) throw ECompressionError();
    return std::move(*out);
}

std::string InflateSkinStream(std::string_view compressed) {
    std::optional<std::string> out = InflateAll(compressed, SkinPackageMaxSize);
    if (!out) throw EDecompressionError();
    return std::move(*out);
}

std::optional<TvlSkinPackage> ReadSkinPackage(std::string_view raw, std::vector<TPixelImage>* spare) {
    TPackageReader r(raw, spare);
    TvlSkinPackage p;
    p.Version = r.Int32("version");
    if (p.Version > SkinPackageVersion) return std::nullopt;
    p.MainPicture = r.FlaggedBitmap("frame picture flag");
    p.MainInactivePicture = r.FlaggedBitmap("inactive frame picture flag");
    p.MainMask = r.FlaggedBitmap("mask flag");
    if (p.Version == 2)
        for (int i = 0; i < 2; ++i) r.FlaggedBitmap("legacy picture flag");
    int32_t count = r.Int32("picture count");
    // Each bitmap file takes at least 26 bytes, which bounds an honest count.
    if (count < 0 || static_cast<size_t>(count) > r.Left() / 26)
        throw ESkinPackageError("picture count " + std::to_string(count) + " does not fit the package");
    p.Pictures.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) p.Pictures.push_back(r.Bitmap());
    p.Text = std::string(r.Rest());
    return p;
}

std::string WriteSkinPackage(const TvlSkinPackageParts& parts) {
    std::string out;
    PutInt32(out, parts.Version);
    auto flagged = [&](const std::optional<std::string>& bmp) {
        out += bmp ? '\0' : '\1';
        if (bmp) out += *bmp;
    };
    flagged(parts.MainPicture);
    flagged(parts.MainInactivePicture);
    flagged(parts.MainMask);
    if (parts.Version == 2)
        for (const auto& legacy : parts.Legacy) flagged(legacy);
    PutInt32(out, static_cast<int32_t>(parts.Pictures.size()));
    for (const std::string& bmp : parts.Pictures) out += bmp;
    out += parts.Text;
    return out;
}

std::optional<std::string> ReadSkinPackageFile(std::string_view file) {
    if (file.size() < 4) throw ESkinPackageError("the file ends before its version");
    if (GetInt32(file, 0) > SkinPackageVersion) return std::nullopt;
    if (file.size() < 8) throw ESkinPackageError("the file ends before its compressed size");
    int32_t size = GetInt32(file, 4);
    if (size <= 0 || static_cast<size_t>(size) > file.size() - 8)
        throw ESkinPackageError("compressed size " + std::to_string(size) + " does not match the " +
                                std::to_string(file.size() - 8) + " bytes that follow");
    return std::string(file.substr(8, static_cast<size_t>(size)));
}

std::string MakeSkinPackageFile(std::string_view compressed) {
    std::string out;
    PutInt32(out, SkinPackageVersion);
    PutInt32(out, static_cast<int32_t>(compressed.size()));
    out += compressed;
    return out;
}
