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

// Whether n bytes agree; the few bytes of a side row are compared inline.
bool SameBytes(const uint8_t* a, const uint8_t* b, size_t n) {
    if (n > 16) return std::memcmp(a, b, n) == 0;
    if (n >= 8) return Load64(a) == Load64(b) && Load64(a + n - 8) == Load64(b + n - 8);
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

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

// Collects the rectangles of a mask band by band: rows given with the same
// runs as the rows just before them grow those rows' rectangles instead of
// adding new ones, so a tiled border gives a handful of rectangles, not one
// per row. Finish emits the last group.
class TRowRects {
public:
    TRowRects(std::vector<TRect>& rects, int xOffset) : FRects(rects), FX(xOffset) {}
    // Rows y0 … y1 − 1, all with these runs.
    void Add(int y0, int y1, const TRuns& runs) {
        if (y0 == FEnd && runs == FRuns) {
            FEnd = y1;
            return;
        }
        Finish();
        FRuns = runs;
        FStart = y0;
        FEnd = y1;
    }
    void Add(int y, const TRuns& runs) { Add(y, y + 1, runs); }
    void Finish() {
        for (const auto& [start, end] : FRuns) FRects.push_back({start + FX, FStart, end + FX, FEnd});
        FRuns.clear();
        FEnd = FStart = -2;
    }

private:
    std::vector<TRect>& FRects;
    int FX;
    int FStart = -2, FEnd = -2;
    TRuns FRuns;
};

// The runs of `row` inside [from, to), moved by `shift`.
void RunsWithin(const TRuns& row, int from, int to, int shift, TRuns& out) {
    out.clear();
    for (const auto& [a, b] : row) {
        const int s = std::max(a, from), e = std::min(b, to);
        if (s < e) out.emplace_back(s + shift, e + shift);
    }
}

// Paints runs over [from, to) of a row's runs: what lay there goes, the new
// runs (inside that span) come in. The result stays in row order with
// touching runs joined, as a scan of the painted row would give them.
void Overlay(TRuns& runs, int from, int to, const TRuns& paint, TRuns& scratch) {
    if (from >= to) return;
    scratch.clear();
    for (const auto& [a, b] : runs) {
        if (a < from) scratch.emplace_back(a, std::min(b, from));
        if (b > to) scratch.emplace_back(std::max(a, to), b);
    }
    scratch.insert(scratch.end(), paint.begin(), paint.end());
    std::sort(scratch.begin(), scratch.end());
    runs.clear();
    for (const auto& r : scratch) {
        if (!runs.empty() && r.first <= runs.back().second)
            runs.back().second = std::max(runs.back().second, r.second);
        else
            runs.push_back(r);
    }
}

// The runs of a piece pw wide with runs `band` (offsets 0 … pw) tiled over
// [left, right), starting `phase` columns into the piece.
void TiledRuns(const TRuns& band, int pw, int phase, int left, int right, TRuns& out) {
    out.clear();
    if (band.empty() || left >= right) return;
    if (band.size() == 1 && band[0].first == 0 && band[0].second == pw) {
        out.emplace_back(left, right);
        return;
    }
    for (int64_t base = int64_t{left} - phase; base < right; base += pw)
        for (const auto& [a, b] : band) {
            const int s = static_cast<int>(std::max<int64_t>(base + a, left));
            const int e = static_cast<int>(std::min<int64_t>(base + b, right));
            if (s >= e) continue;
            if (!out.empty() && out.back().second == s)
                out.back().second = e;
            else
                out.emplace_back(s, e);
        }
}

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


// The window region of a skinned frame, built step by step: the target
// client rect, then the top and bottom masks a row at a time, then the side
// masks. Nothing outside the mask picture is black, so masks end at its
// border; none is higher than the window.
class TFrameRegion {
public:
    TFrameRegion(const TvlPixelView& mask, const TRect& sourceClient, const TRect& targetClient, int W, int H)
        : M(mask), MW(mask.Width), MH(mask.Height), W(W), H(H), CR(sourceClient),
          // No mask is higher than the window.
          FSideH(std::min(targetClient.Bottom - targetClient.Top, H)) {
        FRects.reserve(32);
        if (!targetClient.IsEmpty()) {
            FRects.push_back(targetClient);
            FBounds = targetClient;
        }
    }
    void Across(int y0, int y1, int bandLeft, int bandRight, int newLeft, int newRight, int y);
    void Side(int x0, int x1, int bandTop, int bandBottom, int x, int y);
    std::vector<uint8_t> Data() const {
        return FRects.empty() ? std::vector<uint8_t>() : RegionDataFromRects(FRects, FBounds);
    }

private:
    // How a top or bottom mask row is put together: the band tiled between
    // the new cut points, the left piece from column 0 and the right piece
    // from RightFrom at RightAt, each cut to the picture and the window.
    struct TAcrossPieces {
        int BandLeft, BandRight, CutLeft, CutRight, Phase;
        bool Tiled;
        int LeftW, RightFrom, RightAt, RightW;
    };
    TAcrossPieces AcrossPieces(int bandLeft, int bandRight, int newLeft, int newRight) const;
    // The runs of one composed row, worked out from the source row's runs.
    void AcrossRow(const uint8_t* pixels, const TAcrossPieces& p);
    // Rows of the window's side covered by the tail piece (bottom end) and
    // the head piece (top end), as mask rows.
    struct TSideEnds {
        int TailFrom, TailTo, HeadFrom, HeadTo;
    };
    TSideEnds SideEnds(int bandTop, int bandBottom, int tailH) const;

    const TvlPixelView& M;
    const int MW, MH, W, H;
    const TRect CR;
    const int FSideH;
    std::vector<TRect> FRects;
    TRect FBounds;
    TRuns FSource, FPiece, FRow, FScratch, FCurrent;
};

TFrameRegion::TAcrossPieces TFrameRegion::AcrossPieces(int bandLeft, int bandRight, int newLeft, int newRight) const {
    TAcrossPieces p;
    // The band as the tiling cuts it to the picture and the window.
    p.BandLeft = std::max(bandLeft, 0);
    p.BandRight = std::min(bandRight, MW);
    p.CutLeft = std::max(newLeft, 0);
    p.CutRight = std::min(newRight, W);
    p.Tiled = p.BandLeft < p.BandRight && p.CutLeft < p.CutRight;
    p.Phase = p.Tiled ? (p.CutLeft - newLeft) % (p.BandRight - p.BandLeft) : 0;
    // The left piece from column 0, the right one from bandRight at newRight.
    p.LeftW = std::min({bandLeft, MW, W});
    p.RightFrom = bandRight;
    p.RightAt = newRight;
    if (p.RightFrom < 0) {
        p.RightAt -= p.RightFrom;
        p.RightFrom = 0;
    }
    if (p.RightAt < 0) {
        p.RightFrom -= p.RightAt;
        p.RightAt = 0;
    }
    p.RightW = std::min(MW - p.RightFrom, W - p.RightAt);
    return p;
}

void TFrameRegion::AcrossRow(const uint8_t* pixels, const TAcrossPieces& p) {
    ScanRuns(pixels, MW, FSource);
    FRow.clear();
    if (p.Tiled) {
        RunsWithin(FSource, p.BandLeft, p.BandRight, -p.BandLeft, FPiece);
        TiledRuns(FPiece, p.BandRight - p.BandLeft, p.Phase, p.CutLeft, p.CutRight, FRow);
    }
    if (p.LeftW > 0) {
        RunsWithin(FSource, 0, p.LeftW, 0, FPiece);
        Overlay(FRow, 0, p.LeftW, FPiece, FScratch);
    }
    if (p.RightW > 0) {
        RunsWithin(FSource, p.RightFrom, p.RightFrom + p.RightW, p.RightAt - p.RightFrom, FPiece);
        Overlay(FRow, p.RightAt, p.RightAt + p.RightW, FPiece, FScratch);
    }
}

// A top or bottom mask, a row at a time: the source row's band tiled
// between the new cut points, then its end pieces, on white. The runs are
// worked out from the source row's runs, never from a composed row as wide
// as the window.
void TFrameRegion::Across(int y0, int y1, int bandLeft, int bandRight, int newLeft, int newRight, int y) {
    const int height = std::min({y1, MH, y0 + H}) - y0;
    if (height <= 0) return;
    const TAcrossPieces pieces = AcrossPieces(bandLeft, bandRight, newLeft, newRight);
    TRowRects out(FRects, 0);
    const uint8_t* previous = nullptr;
    for (int i = std::max(0, -y0); i < height; ++i) {
        // Most rows of a caption repeat the row above: same pixels, same runs.
        const uint8_t* pixels = M.Row(y0 + i);
        if (!previous || std::memcmp(previous, pixels, static_cast<size_t>(MW) * 3) != 0) {
            previous = pixels;
            AcrossRow(pixels, pieces);
        }
        out.Add(y + i, FRow);
    }
    out.Finish();
    FBounds = Union(FBounds, {0, y, W, y + height});
}

TFrameRegion::TSideEnds TFrameRegion::SideEnds(int bandTop, int bandBottom, int tailH) const {
    TSideEnds e{FSideH, FSideH, 0, 0};
    if (tailH > 0) {
        e.TailFrom = FSideH - tailH + std::max(bandBottom, 0) - bandBottom;
        e.TailTo = FSideH - tailH + std::min(CR.Bottom, MH) - bandBottom;
    }
    if (bandTop - CR.Top > 0) {
        e.HeadFrom = std::max(CR.Top, 0) - CR.Top;
        e.HeadTo = std::min(bandTop, MH) - CR.Top;
    }
    return e;
}

// A side mask: its band tiled downwards from the top, then its end pieces
// over it; the tail wins where the two ends meet. Every mask row is one
// source row; a row with the same pixels as the row read before it has its
// runs, and a band whose rows are all alike goes in as one block however
// often it repeats.
void TFrameRegion::Side(int x0, int x1, int bandTop, int bandBottom, int x, int y) {
    const int width = std::min({x1, MW, x0 + W}) - x0;
    if (width <= 0 || FSideH <= 0) return;
    const int tileTop = std::max(bandTop, 0), tileH = std::min(bandBottom, MH) - tileTop;
    const bool tiles = bandBottom != bandTop && tileH > 0;
    const int tailH = CR.Bottom - bandBottom;
    const TSideEnds ends = SideEnds(bandTop, bandBottom, tailH);
    // Columns left of the picture (a cut below 0) are white.
    const int lead = std::max(0, -x0), scanWidth = std::max(std::min(width - lead, MW), 0);
    const size_t scanBytes = static_cast<size_t>(scanWidth) * 3;
    auto pixelsOf = [&](int s) { return M.Row(s) + static_cast<ptrdiff_t>(x0 + lead) * 3; };
    const uint8_t* scanned = nullptr;
    auto runsOf = [&](int s) -> const TRuns& {
        const uint8_t* p = pixelsOf(s);
        if (!scanned || (p != scanned && !SameBytes(p, scanned, scanBytes))) ScanRuns(p, scanWidth, FCurrent);
        scanned = p;
        return FCurrent;
    };
    bool uniformTile = tiles;
    for (int s = tileTop + 1; uniformTile && s < tileTop + tileH; ++s)
        uniformTile = SameBytes(pixelsOf(s), pixelsOf(tileTop), scanBytes);
    const TRuns white;
    TRowRects out(FRects, x + lead);
    for (int i = 0; i < FSideH;) {
        if (i >= ends.TailFrom && i < ends.TailTo) {
            out.Add(y + i, runsOf(bandBottom + i - (FSideH - tailH)));
            ++i;
        } else if (i >= ends.HeadFrom && i < ends.HeadTo) {
            out.Add(y + i, runsOf(CR.Top + i));
            ++i;
        } else {
            // Up to the next end piece, the band's rows or white.
            int next = FSideH;
            for (int b : {ends.TailFrom, ends.HeadFrom})
                if (b > i) next = std::min(next, b);
            if (!tiles) {
                out.Add(y + i, y + next, white);
                i = next;
            } else if (uniformTile) {
                out.Add(y + i, y + next, runsOf(tileTop));
                i = next;
            } else {
                for (; i < next; ++i) out.Add(y + i, runsOf(tileTop + i % tileH));
            }
        }
    }
    out.Finish();
    FBounds = Union(FBounds, {x, y, x + width, y + FSideH});
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
    out.Finish();
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
    TFrameRegion region(M, c.CR, t.CR, W, H);
    if (M.Empty() || W <= 0) return region.Data();
    region.Across(0, c.CR.Top, c.LT.X, c.RT.X, t.LT.X, t.RT.X, 0);
    region.Across(c.CR.Bottom, M.Height, c.LB.X, c.RB.X, t.LB.X, t.RB.X, t.CR.Bottom);
    region.Side(0, c.CR.Left, c.LT.Y, c.LB.Y, 0, t.CR.Top);
    region.Side(c.CR.Right, M.Width, c.RT.Y, c.RB.Y, t.CR.Right, t.CR.Top);
    return region.Data();
}
