// The skin loader on arbitrary packages. The first byte picks the entry:
// 0 = the bytes are a package file; otherwise they are an uncompressed
// package, compressed here (fast level) so that the fuzzer reaches the
// layout and description readers rather than zlib's checks. A first byte
// above 1 also reads the uncompressed package at a display scale.
#include <zlib.h>

#include <cstdint>
#include <string>

#include "core/BmpReader.h"
#include "skin/data/vlSkinData.h"
#include "skin/data/vlSkinScale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    TvlSkinData skin;
    TvlCompressedStoredSkin stored;
    try {
        if (data[0] == 0) {
            std::optional<std::string> compressed = ReadSkinPackageFile(rest);
            if (compressed) stored.SetCompressedData(*compressed);
        } else {
            uLongf length = compressBound(rest.size());
            std::string compressed(length, '\0');
            compress2(reinterpret_cast<Bytef*>(compressed.data()), &length, reinterpret_cast<const Bytef*>(rest.data()),
                      rest.size(), 1);
            compressed.resize(length);
            stored.SetCompressedData(compressed);
        }
        skin.LoadStoredSkin(&stored);
    } catch (const Exception&) {
        // Every failure must leave the skin empty and without records.
        if (!skin.IsEmpty() || !skin.SkinControls.empty() || !skin.SkinObjects.empty() || !skin.PictureList.empty())
            __builtin_trap();
    }
    if (data[0] > 1) {
        static const int dpis[] = {120, 144, 192};
        try {
            ReadSkinPackageForDpi(rest, dpis[data[0] % 3]);
        } catch (const Exception&) {
        }
    }
    return 0;
}
