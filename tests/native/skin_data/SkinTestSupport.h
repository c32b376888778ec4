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
    return TvlCompressedStoredSkin(nullptr, DeflateSkinStream(WriteSkinPackage(parts)));
}

// Loads a skin of these pictures whose control section holds `count` elements.
inline void LoadControlElements(TvlSkinData& skin, std::vector<std::string> pictures, const std::string& elements,
                                int count) {
    TvlSkinPackageParts p;
    p.Pictures = std::move(pictures);
    p.Text = MinimalDescription("[SKINCONTROLS]\r\ncount=" + std::to_string(count) + "\r\n" + elements);
    TvlCompressedStoredSkin stored = StoredSkin(p);
    skin.LoadStoredSkin(&stored);
}

// Records the notices every skin data sends while it lives.
class TMessageLog {
public:
    TMessageLog() {
        FPrevious = SetSkinNoticeBroadcaster([this](TvlSkinData& sender, TvlSkinNotice notice) {
            Messages.push_back(notice);
            Senders.push_back(&sender);
        });
    }
    ~TMessageLog() { SetSkinNoticeBroadcaster(std::move(FPrevious)); }
    std::vector<TvlSkinNotice> Messages;
    std::vector<const TvlSkinData*> Senders;

private:
    TSkinNoticeBroadcaster FPrevious;
};

inline const std::vector<TvlSkinNotice> FullLoad = {TvlSkinNotice::Changing, TvlSkinNotice::Changed,
                                                    TvlSkinNotice::ChangedMDI};
