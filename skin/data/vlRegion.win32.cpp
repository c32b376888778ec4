#include <windows.h>

#include "skin/data/vlRegion.h"

namespace {

HRGN RegionFromData(const std::vector<uint8_t>& data) {
    if (data.empty()) return nullptr;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

HRGN MaskToRegion(const TvlPixelView& mask) { return RegionFromData(MaskToRegionData(mask, 0, 0)); }

HRGN ComposeFrameRegion(const TvlPixelView& mask, const TvlFrameCuts& cuts, int W, int H, const TvlFrameCuts& target) {
    return RegionFromData(ComposeFrameRegionData(mask, cuts, W, H, target));
}
