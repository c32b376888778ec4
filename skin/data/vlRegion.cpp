#include "skin/data/vlRegion.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t Ones = 0x0101010101010101ull;
constexpr uint64_t Highs = 0x8080808080808080ull;

uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool HasZeroByte(uint64_t v) { return ((v - Ones) & ~v & Highs) != 0; }

bool IsBlack(const uint8_t* p) { return (p[0] | p[1] | p[2]) == 0; }

// Eight pixels are 24 bytes: three words. Without a zero byte among them none
// of the eight can be black; all zero means all eight are.
bool NoBlackIn8(const uint8_t* p) {
    return !HasZeroByte(Load64(p)) && !HasZeroByte(Load64(p + 8)) && !HasZeroByte(Load64(p + 16));
}
bool AllBlackIn8(const uint8_t* p) { return (Load64(p) | Load64(p + 8) | Load64(p + 16)) == 0; }

// The black runs of one row, as [start, end) pairs in row order.
using TRuns = std::vector<std::pair<int, int>>;

void ScanRuns(const uint8_t* row, int width, TRuns& runs) {
    runs.clear();
    int x = 0;
    while (x < width) {
        while (x < width) {
            if (x + 8 <= width && NoBlackIn8(row + x * 3)) {
                x += 8;
                continue;
            }
            if (IsBlack(row + x * 3)) break;
            ++x;
        }
        if (x >= width) break;
        const int start = x;
        while (x < width) {
            if (x + 8 <= width && AllBlackIn8(row + x * 3)) {
                x += 8;
                continue;
            }
            if (!IsBlack(row + x * 3)) break;
            ++x;
        }
        runs.emplace_back(start, x);
    }
}

// Collects the rectangles of a mask row by row. Consecutive rows with the
// same runs grow the previous rows' rectangles instead of adding new ones,
// so a tiled border gives a handful of rectangles, not one per row.
class TRowRects {
public:
    TRowRects(std::vector<TRect>& rects, int xOffset) : FRects(rects), FX(xOffset) {}
    void Add(int y, const TRuns& runs) {
        if (y == FLastY + 1 && runs == FLast && !runs.empty()) {
            for (size_t i = FRects.size() - runs.size(); i < FRects.size(); ++i) FRects[i].Bottom = y + 1;
        } else {
            for (const auto& [start, end] : runs) FRects.push_back({start + FX, y, end + FX, y + 1});
            FLast = runs;
        }
        FLastY = y;
    }

private:
    std::vector<TRect>& FRects;
    int FX;
    int FLastY = -2;
    TRuns FLast;
};

void Put32(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }
int32_t Get32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

constexpr size_t HeaderSize = 32;
constexpr size_t RectSize = 16;

TRect Union(const TRect& a, const TRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

// A border mask: white (outside) where no piece of the mask picture lands.
TvlFBitmap WhiteMask(int width, int height) {
    TvlFBitmap mask(width, height);
    mask.Fill(0xFFFFFF);
    return mask;
}

}  // namespace

void AppendMaskRects(const TvlPixelView& mask, int xOffset, int yOffset, std::vector<TRect>& rects) {
    if (mask.Empty()) return;
    xOffset = vlClampCoord(xOffset);
    yOffset = vlClampCoord(yOffset);
    TRowRects out(rects, xOffset);
    TRuns runs;
    for (int y = 0; y < mask.Height; ++y) {
        ScanRuns(mask.Row(y), mask.Width, runs);
        out.Add(y + yOffset, runs);
    }
}

std::vector<uint8_t> RegionDataFromRects(const std::vector<TRect>& rects, const TRect& bounds) {
    std::vector<uint8_t> data(HeaderSize + rects.size() * RectSize);
    uint8_t* p = data.data();
    Put32(p, static_cast<int32_t>(HeaderSize));
    Put32(p + 4, 1);
    Put32(p + 8, static_cast<int32_t>(rects.size()));
    Put32(p + 12, 0);
    Put32(p + 16, bounds.Left);
    Put32(p + 20, bounds.Top);
    Put32(p + 24, bounds.Right);
    Put32(p + 28, bounds.Bottom);
    static_assert(sizeof(TRect) == RectSize);
    if (!rects.empty()) std::memcpy(p + HeaderSize, rects.data(), rects.size() * RectSize);
    return data;
}

std::vector<TRect> RegionDataRects(const std::vector<uint8_t>& data) {
    std::vector<TRect> rects;
    if (data.size() < HeaderSize) return rects;
    const size_t count = static_cast<uint32_t>(Get32(data.data() + 8));
    if (count > (data.size() - HeaderSize) / RectSize) return rects;
    rects.resize(count);
    if (count) std::memcpy(rects.data(), data.data() + HeaderSize, count * RectSize);
    return rects;
}

TRect RegionDataBounds(const std::vector<uint8_t>& data) {
    if (data.size() < HeaderSize) return {};
    const uint8_t* p = data.data();
    return {Get32(p + 16), Get32(p + 20), Get32(p + 24), Get32(p + 28)};
}

std::vector<uint8_t> MaskToRegionData(const TvlPixelView& mask, int xOffset, int yOffset) {
    if (mask.Empty()) return {};
    xOffset = vlClampCoord(xOffset);
    yOffset = vlClampCoord(yOffset);
    std::vector<TRect> rects;
    AppendMaskRects(mask, xOffset, yOffset, rects);
    return RegionDataFromRects(rects, {xOffset, yOffset, xOffset + mask.Width, yOffset + mask.Height});
}

std::vector<uint8_t> ComposeFrameRegionData(const TvlPixelView& M, const TvlFrameCuts& cuts, int W, int H,
                                            const TvlFrameCuts& target) {
    const TvlFrameCuts c = vlClampCuts(cuts), t = vlClampCuts(target);
    if (t.RT.X < t.LT.X || t.LB.Y < t.LT.Y) return {};
    const TRect& CR = c.CR;
    const TRect& NCR = t.CR;
    const int MW = M.Width, MH = M.Height;
    // No mask is higher than the window.
    const int sideH = std::min(NCR.Bottom - NCR.Top, H);
    std::vector<TRect> rects;
    TRect bounds;
    auto add = [&](const TvlFBitmap& mask, int x, int y) {
        if (mask.Empty()) return;
        AppendMaskRects(mask, x, y, rects);
        bounds = Union(bounds, {x, y, x + mask.Width(), y + mask.Height()});
    };

    if (!NCR.IsEmpty()) {
        rects.push_back(NCR);
        bounds = NCR;
    }
    // A side mask: its band tiled downwards from the top, then its end pieces.
    // Nothing outside the mask picture is black, so masks end at its border;
    // none is wider or higher than the window.
    auto side = [&](int x0, int x1, int bandTop, int bandBottom) {
        const int width = std::min({x1, MW, x0 + W}) - x0;
        if (width <= 0 || sideH <= 0 || M.Empty()) return TvlFBitmap();
        TvlFBitmap mask = WhiteMask(width, sideH);
        if (bandBottom != bandTop) TilePiece(mask, {0, 0, width, sideH}, M, {x0, bandTop, x1, bandBottom});
        if (bandTop - CR.Top > 0) CopyPiece(mask, 0, 0, M, {x0, CR.Top, x1, bandTop});
        if (CR.Bottom - bandBottom > 0)
            CopyPiece(mask, 0, sideH - (CR.Bottom - bandBottom), M, {x0, bandBottom, x1, CR.Bottom});
        return mask;
    };
    // A top or bottom mask: its band tiled between the new cut points, then
    // its end pieces.
    auto across = [&](int y0, int y1, int bandLeft, int bandRight, int newLeft, int newRight) {
        const int height = std::min({y1, MH, y0 + H}) - y0;
        if (W <= 0 || height <= 0 || M.Empty()) return TvlFBitmap();
        TvlFBitmap mask = WhiteMask(W, height);
        TilePiece(mask, {newLeft, 0, newRight, height}, M, {bandLeft, y0, bandRight, y1});
        CopyPiece(mask, 0, 0, M, {0, y0, bandLeft, y1});
        CopyPiece(mask, newRight, 0, M, {bandRight, y0, MW, y1});
        return mask;
    };
    add(across(0, CR.Top, c.LT.X, c.RT.X, t.LT.X, t.RT.X), 0, 0);
    add(across(CR.Bottom, MH, c.LB.X, c.RB.X, t.LB.X, t.RB.X), 0, NCR.Bottom);
    add(side(0, CR.Left, c.LT.Y, c.LB.Y), 0, NCR.Top);
    add(side(CR.Right, MW, c.RT.Y, c.RB.Y), NCR.Right, NCR.Top);
    if (rects.empty()) return {};
    return RegionDataFromRects(rects, bounds);
}
