#pragma once
// Packages and skin folders made inside the tests.
#include <string>
#include <vector>

#include "core/BmpReader.h"
#include "skin/data/vlSkinData.h"

inline std::string SolidBmp(int w, int h, uint32_t color) {
    TPixelImage img;
    img.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixelColor(x, y, color ^ static_cast<uint32_t>(x == 0 && y == 0));
    return EncodeBmp(img);
}

// A description with the five sections a skin folder needs; `extra` comes
// first, since the first of two like-named sections wins.
inline std::string MinimalDescription(const std::string& extra = "") {
    return extra + "[VERSION]\r\nskinname=Test\r\n[PICTURES]\r\n[FORMINFO]\r\n[SKINOBJECTS]\r\n[SKINCONTROLS]\r\n";
}

inline TvlCompressedStoredSkin StoredSkin(const TvlSkinPackageParts& parts) {
    TvlCompressedStoredSkin s;
    s.SetCompressedData(DeflateSkinStream(WriteSkinPackage(parts)));
    return s;
}

// Records the skin messages every skin data sends while it lives.
class TMessageLog {
public:
    TMessageLog() {
        SetSkinMessageBroadcaster([this](TvlSkinData& sender, unsigned msg) {
            Messages.push_back(msg);
            Senders.push_back(&sender);
        });
    }
    ~TMessageLog() { SetSkinMessageBroadcaster(nullptr); }
    std::vector<unsigned> Messages;
    std::vector<const TvlSkinData*> Senders;
};

inline const std::vector<unsigned> FullLoad = {WM_SKINCHANGING, WM_SKINCHANGED, WM_SKINCHANGED_MDI};
