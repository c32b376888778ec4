#pragma once
// Window regions from mask pictures: every pure black pixel of a mask lies
// inside the region. Region data has the platform's layout: a 32-byte header
// (header size 32, type 1 = rectangles, rectangle count, region size 0,
// bounding rect) followed by the rectangles, 16 bytes each (left, top, right,
// bottom as int32). Empty data means "no region".
#include <cstdint>
#include <vector>

#include "core/Geometry.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlFBitmap.h"

#ifdef _WIN32
struct HRGN__;
#endif

// Appends one rectangle per run of black pixels in a row, moved by the
// offset (held within ±2^28); the list grows as far as the mask needs.
void AppendMaskRects(const TvlPixelView& mask, int xOffset, int yOffset, std::vector<TRect>& rects);

// Region data of the given rectangles with the given bounding rect.
std::vector<uint8_t> RegionDataFromRects(const std::vector<TRect>& rects, const TRect& bounds);
// The rectangles and the bounding rect held by region data (empty for data
// that is empty or too short).
std::vector<TRect> RegionDataRects(const std::vector<uint8_t>& data);
TRect RegionDataBounds(const std::vector<uint8_t>& data);

// The rectangles of all black pixels of the mask, bounded by
// (xOffset, yOffset, xOffset + mask width, yOffset + mask height). An empty
// mask yields no data; a mask without black pixels yields a header with no
// rectangles.
std::vector<uint8_t> MaskToRegionData(const TvlPixelView& mask, int xOffset, int yOffset);

// The window region of a resizable skinned window shaped by a mask picture of
// the skin picture's size: the target client rect united with the border
// masks cut from the mask (tiled, never stretched). No data when the window
// is smaller than the skin's fixed parts (target RT.x < LT.x or LB.y < LT.y)
// or when nothing would be inside.
std::vector<uint8_t> ComposeFrameRegionData(const TvlPixelView& mask, const TvlFrameCuts& cuts, int W, int H,
                                            const TvlFrameCuts& target);

#ifdef _WIN32
// The same as platform regions; null where the data would be empty. The
// caller owns the region (or hands it to SetWindowRgn).
HRGN__* MaskToRegion(const TvlPixelView& mask);
HRGN__* ComposeFrameRegion(const TvlPixelView& mask, const TvlFrameCuts& cuts, int W, int H,
                           const TvlFrameCuts& target);
#endif
