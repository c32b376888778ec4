// The description reader and every record on arbitrary description text,
// plus the value syntaxes on the raw bytes.
#include <cstdint>
#include <string>

#include "skin/data/vlSkinData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    skinvalue::ParseInteger(text, 0);
    skinvalue::ParseFontStyle(text);
    try {
        skinvalue::ParseRect(text);
    } catch (const EConvertError&) {
    }
    TvlSkinPackageParts parts;
    parts.Text = text;
    TvlCompressedStoredSkin stored;
    stored.SetCompressedData(DeflateSkinStream(WriteSkinPackage(parts)));
    TvlSkinData skin;
    try {
        skin.LoadStoredSkin(&stored);
        for (const auto& control : skin.SkinControls)
            if (skin.FindControlIndex(control->ElementName) < 0) __builtin_trap();
    } catch (const EConvertError&) {
        if (!skin.IsEmpty()) __builtin_trap();
    }
    return 0;
}
