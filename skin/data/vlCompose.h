#pragma once
// Composing a skinned element's look of any size from rectangles of a skin
// picture: the nine-piece frame with tiled or stretched edges, the frame as
// four border strips, three-piece horizontal and vertical looks and tiled
// areas. Every function sizes its destination first and never writes outside
// it; pieces reaching outside the picture are cut to the picture.
#include <cstdint>

#include "core/Geometry.h"
#include "skin/data/vlFBitmap.h"

// The cut points and client rect of a nine-piece look, relative to the
// top-left corner of the skin rect S; or, for a target, in target pixels.
struct TvlFrameCuts {
    TPoint LT;  // left/top cut point
    TPoint RT;  // right/top
    TPoint LB;  // left/bottom
    TPoint RB;  // right/bottom
    TRect CR;   // client rect
    bool operator==(const TvlFrameCuts&) const = default;
};

// Which edges are stretched to their target span instead of tiled.
struct TvlStretch {
    bool Left = false;
    bool Top = false;
    bool Right = false;
    bool Bottom = false;
};

// Skin numbers may be anything a description holds; the functions here keep
// coordinates within ±2^28, so that sums and differences never overflow.
constexpr int64_t vlCoordLimit = int64_t{1} << 28;
inline int vlClampCoord(int64_t v) {
    return static_cast<int>(v < -vlCoordLimit ? -vlCoordLimit : v > vlCoordLimit ? vlCoordLimit : v);
}
inline TRect vlClampRect(const TRect& r) {
    return {vlClampCoord(r.Left), vlClampCoord(r.Top), vlClampCoord(r.Right), vlClampCoord(r.Bottom)};
}
inline TPoint vlClampPoint(const TPoint& p) { return {vlClampCoord(p.X), vlClampCoord(p.Y)}; }
inline TvlFrameCuts vlClampCuts(const TvlFrameCuts& c) {
    return {vlClampPoint(c.LT), vlClampPoint(c.RT), vlClampPoint(c.LB), vlClampPoint(c.RB), vlClampRect(c.CR)};
}

// The cuts moved for an element of width W and height H, when the skin rect
// is SW × SH: right-hand points and the client's right edge move by W − SW,
// bottom points and the client's bottom edge by H − SH.
TvlFrameCuts FitFrameCuts(const TvlFrameCuts& cuts, int SW, int SH, int W, int H);

// The nine-piece composition into a W × H destination. `target` holds the
// fitted cuts (FitFrameCuts). Nothing but blank pixels when RB.x = LT.x, or
// RB.y = LT.y, or the picture is empty. Edge bands of length 0 and target
// spans of negative length draw nothing; corners are copied 1:1 and cut at
// the destination's border; with fillClient the client piece is tiled over
// the target client rect (an empty client piece draws nothing).
void ComposeFrameImage(const TvlFrameCuts& cuts, const TRect& S, const TvlPixelView& picture, int W, int H,
                       const TvlFrameCuts& target, bool fillClient, const TvlStretch& stretch, TvlFBitmap& dest);
// The same with every edge tiled.
void ComposeTiledImage(const TvlFrameCuts& cuts, const TRect& S, const TvlPixelView& picture, int W, int H,
                       const TvlFrameCuts& target, bool fillClient, TvlFBitmap& dest);

// The frame as four bitmaps; a strip whose guard fails is left empty, and
// no strip is wider or higher than the window. The
// form draws Top at (0, 0), Left at (0, Top height), Right at
// (W − Right width, Top height) and Bottom at (0, H − Bottom height).
struct TvlBorderStrips {
    TvlFBitmap Top;
    TvlFBitmap Bottom;
    TvlFBitmap Left;
    TvlFBitmap Right;
};
void ComposeBorderStrips(const TvlFrameCuts& cuts, const TRect& S, const TvlPixelView& picture, int W, int H,
                         const TvlFrameCuts& target, const TvlStretch& stretch, TvlBorderStrips& strips);
// The four strips straight into a W × H window picture, each at the place the
// form draws it, with the same pixels; the client area and any area a strip
// leaves out keep what they held. A well-formed skin on a window at least
// its size is composed in place, without strips in between; anything else
// goes through ComposeBorderStrips.
void ComposeBorder(const TvlFrameCuts& cuts, const TRect& S, const TvlPixelView& picture, int W, int H,
                   const TvlFrameCuts& target, const TvlStretch& stretch, TvlFBitmap& frame);

// Left part, tiled middle, right part, into W × SH. S is first cut to the
// picture (so an empty picture gives an empty destination); part widths are
// taken within 0 … SW; a middle band of width 0 is taken as 1 column wide.
void ComposeHorizontal(int leftWidth, int rightWidth, const TRect& S, const TvlPixelView& picture, int W,
                       TvlFBitmap& dest);
// Left part and tiled middle (which still leaves out the rightmost
// rightWidth columns of S), cut at W.
void ComposeHorizontalOpen(int leftWidth, int rightWidth, const TRect& S, const TvlPixelView& picture, int W,
                           TvlFBitmap& dest);
// Top part, tiled middle, bottom part, into SW × H; a middle band of height 0
// draws nothing.
void ComposeVertical(int topHeight, int bottomHeight, const TRect& S, const TvlPixelView& picture, int H,
                     TvlFBitmap& dest);
// Sizes the destination W × H and lays copies of the piece (relative to the
// origin rect's corner) from (0, 0), cut at the area's right and bottom. An
// empty area or an empty piece draws nothing.
void TileArea(const TRect& piece, const TRect& area, const TRect& origin, const TvlPixelView& picture, int W, int H,
              TvlFBitmap& dest);

// The building blocks, each cut at the destination's border.
// Copies the source rect 1:1 with its top-left corner at (x, y).
void CopyPiece(TvlFBitmap& dest, int x, int y, const TvlPixelView& picture, const TRect& piece);
// The same, leaving the destination where the source has the colour
// `transparent` (0x00BBGGRR).
void CopyPieceTransparent(TvlFBitmap& dest, int x, int y, const TvlPixelView& picture, const TRect& piece,
                          uint32_t transparent);
// Fills `area` with copies of the piece laid from the area's top-left corner.
void TilePiece(TvlFBitmap& dest, const TRect& area, const TvlPixelView& picture, const TRect& piece);
// Scales the piece into `area`, nearest pixel.
void StretchPiece(TvlFBitmap& dest, const TRect& area, const TvlPixelView& picture, const TRect& piece);
