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
    if (!NCR.IsEmpty()) {
        rects.push_back(NCR);
        bounds = NCR;
    }
    if (M.Empty() || W <= 0) return rects.empty() ? std::vector<uint8_t>() : RegionDataFromRects(rects, bounds);
    TRuns runs;

    // A top or bottom mask, a row at a time: the source row's band tiled
    // between the new cut points, then its end pieces, on white. Nothing
    // outside the mask picture is black, so masks end at its border; none is
    // higher than the window.
    TvlFBitmap row;
    auto across = [&](int y0, int y1, int bandLeft, int bandRight, int newLeft, int newRight, int y) {
        const int height = std::min({y1, MH, y0 + H}) - y0;
        if (height <= 0) return;
        row.SetSizeForOverwrite(W, 1);
        TRowRects out(rects, 0);
        for (int i = std::max(0, -y0); i < height; ++i) {
            const TvlPixelView source{M.Row(y0 + i), MW, 1, M.Stride};
            row.Fill(0xFFFFFF);
            TilePiece(row, {newLeft, 0, newRight, 1}, source, {bandLeft, 0, bandRight, 1});
            CopyPiece(row, 0, 0, source, {0, 0, bandLeft, 1});
            CopyPiece(row, newRight, 0, source, {bandRight, 0, MW, 1});
            ScanRuns(row.Row(0), W, runs);
            out.Add(y + i, runs);
        }
        bounds = Union(bounds, {0, y, W, y + height});
    };

    // A side mask: its band tiled downwards from the top, then its end
    // pieces over it. Every mask row is one source row, so the runs of each
    // source row are found once.
    std::vector<TRuns> found(static_cast<size_t>(MH));
    std::vector<char> scanned(static_cast<size_t>(MH));
    auto side = [&](int x0, int x1, int bandTop, int bandBottom, int x, int y) {
        const int width = std::min({x1, MW, x0 + W}) - x0;
        if (width <= 0 || sideH <= 0) return;
        const int tileTop = std::max(bandTop, 0), tileH = std::min(bandBottom, MH) - tileTop;
        const int tailH = CR.Bottom - bandBottom;
        auto sourceRow = [&](int i) {
            if (tailH > 0) {
                const int s = bandBottom + i - (sideH - tailH);
                if (s >= std::max(bandBottom, 0) && s < std::min(CR.Bottom, MH)) return s;
            }
            if (bandTop - CR.Top > 0) {
                const int s = CR.Top + i;
                if (s >= std::max(CR.Top, 0) && s < std::min(bandTop, MH)) return s;
            }
            if (bandBottom != bandTop && tileH > 0) return tileTop + i % tileH;
            return -1;
        };
        // Columns left of the picture (a cut below 0) are white.
        const int lead = std::max(0, -x0), scanWidth = std::min(width - lead, MW);
        std::fill(scanned.begin(), scanned.end(), 0);
        const TRuns white;
        TRowRects out(rects, x + lead);
        for (int i = 0; i < sideH; ++i) {
            const int s = sourceRow(i);
            if (s < 0) {
                out.Add(y + i, white);
                continue;
            }
            const auto k = static_cast<size_t>(s);
            if (!scanned[k]) {
                ScanRuns(M.Row(s) + static_cast<ptrdiff_t>(x0 + lead) * 3, std::max(scanWidth, 0), found[k]);
                scanned[k] = 1;
            }
            out.Add(y + i, found[k]);
        }
        bounds = Union(bounds, {x, y, x + width, y + sideH});
    };
    across(0, CR.Top, c.LT.X, c.RT.X, t.LT.X, t.RT.X, 0);
    across(CR.Bottom, MH, c.LB.X, c.RB.X, t.LB.X, t.RB.X, NCR.Bottom);
    side(0, CR.Left, c.LT.Y, c.LB.Y, 0, NCR.Top);
    side(CR.Right, MW, c.RT.Y, c.RB.Y, NCR.Right, NCR.Top);
    if (rects.empty()) return {};
    return RegionDataFromRects(rects, bounds);
}
