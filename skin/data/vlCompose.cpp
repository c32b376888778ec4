#include "skin/data/vlCompose.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

int Sat(int64_t v) { return vlClampCoord(v); }

TRect SatRect(const TRect& r) { return vlClampRect(r); }

// A rect given relative to S's top-left corner, in picture coordinates.
TRect Rel(const TRect& S, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return {Sat(S.Left + left), Sat(S.Top + top), Sat(S.Left + right), Sat(S.Top + bottom)};
}

TRect Bounds(int width, int height) { return {0, 0, width, height}; }

size_t Bytes(int pixels) { return static_cast<size_t>(pixels) * 3; }

// A copy of n bytes between buffers that do not overlap. Frame sides are a
// few pixels wide and a thousand rows high: their rows are copied inline
// with two overlapping words instead of a call per row.
inline void CopyBytes(uint8_t* to, const uint8_t* from, size_t n) {
    auto move = [&](auto word) {
        using W = decltype(word);
        W a, b;
        std::memcpy(&a, from, sizeof(W));
        std::memcpy(&b, from + n - sizeof(W), sizeof(W));
        std::memcpy(to, &a, sizeof(W));
        std::memcpy(to + n - sizeof(W), &b, sizeof(W));
    };
    if (n > 16) {
        std::memcpy(to, from, n);
    } else if (n >= 8) {
        move(uint64_t{});
    } else if (n >= 4) {
        move(uint32_t{});
    } else {
        for (size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// Fills n pixels at `out` with the row `src` of a piece pw pixels wide,
// starting `phase` pixels into the piece; copies of what is already laid
// double in length, so narrow pieces cost a few copies per row.
void FillPeriodic(uint8_t* out, int n, const uint8_t* src, int pw, int phase) {
    int done = std::min(pw - phase, n);
    CopyBytes(out, src + Bytes(phase), Bytes(done));
    if (done >= n) return;
    uint8_t* period = out + Bytes(done);
    int len = std::min(pw, n - done);
    std::memcpy(period, src, Bytes(len));
    done += len;
    while (done < n) {
        int c = std::min(len, n - done);
        std::memcpy(out + Bytes(done), period, Bytes(c));
        done += c;
        len += c;
    }
}

// Sets the destination's size for a composition that tiles the client piece
// over `client`: only what lies outside it needs clearing.
void SizeAroundClient(TvlFBitmap& dest, int W, int H, const TRect& client) {
    dest.SetSizeForOverwrite(W, H);
    TRect c = Intersect(SatRect(client), Bounds(W, H));
    if (c.IsEmpty()) {
        dest.Clear();
        return;
    }
    for (int y = 0; y < H; ++y) {
        uint8_t* row = dest.Row(y);
        if (y < c.Top || y >= c.Bottom) {
            std::memset(row, 0, static_cast<size_t>(dest.Stride()));
        } else {
            std::memset(row, 0, Bytes(c.Left));
            std::memset(row + Bytes(c.Right), 0, static_cast<size_t>(dest.Stride()) - Bytes(c.Right));
        }
    }
}

// An edge band goes to its span scaled or tiled; a band or span without
// length draws nothing.
void DrawEdge(TvlFBitmap& dest, const TRect& span, const TvlPixelView& picture, const TRect& band, bool stretch) {
    if (band.IsEmpty() || span.IsEmpty()) return;
    if (stretch)
        StretchPiece(dest, span, picture, band);
    else
        TilePiece(dest, span, picture, band);
}

void ComposeNinePieces(const TvlFrameCuts& cuts, const TRect& skinRect, const TvlPixelView& picture, int W, int H,
                       const TvlFrameCuts& target, bool fillClient, const TvlStretch& stretch, TvlFBitmap& dest) {
    const TRect S = SatRect(skinRect);
    const TvlFrameCuts c = vlClampCuts(cuts), t = vlClampCuts(target);
    W = std::max(W, 0);
    H = std::max(H, 0);
    bool blank = c.RB.X == c.LT.X || c.RB.Y == c.LT.Y || picture.Empty();
    TRect clientPiece =
        Intersect(Rel(S, c.CR.Left, c.CR.Top, c.CR.Right, c.CR.Bottom), Bounds(picture.Width, picture.Height));
    bool tileClient = !blank && fillClient && !clientPiece.IsEmpty();
    if (tileClient)
        SizeAroundClient(dest, W, H, t.CR);
    else
        dest.SetSize(W, H);
    if (blank || dest.Empty()) return;
    const int64_t SW = S.Width(), SH = S.Height();
    const TRect& CR = c.CR;
    const TRect& NCR = t.CR;

    DrawEdge(dest, {t.LT.X, 0, t.RT.X, NCR.Top}, picture, Rel(S, c.LT.X, 0, c.RT.X, CR.Top), stretch.Top);
    DrawEdge(dest, {t.LB.X, NCR.Bottom, t.RB.X, H}, picture, Rel(S, c.LB.X, CR.Bottom, c.RB.X, SH), stretch.Bottom);
    DrawEdge(dest, {0, t.LT.Y, NCR.Left, t.LB.Y}, picture, Rel(S, 0, c.LT.Y, CR.Left, c.LB.Y), stretch.Left);
    DrawEdge(dest, {NCR.Right, t.RT.Y, W, t.RB.Y}, picture, Rel(S, CR.Right, c.RT.Y, SW, c.RB.Y), stretch.Right);

    CopyPiece(dest, 0, 0, picture, Rel(S, 0, 0, c.LT.X, CR.Top));
    CopyPiece(dest, 0, NCR.Top, picture, Rel(S, 0, CR.Top, CR.Left, c.LT.Y));
    CopyPiece(dest, t.RT.X, 0, picture, Rel(S, c.RT.X, 0, SW, CR.Top));
    CopyPiece(dest, NCR.Right, NCR.Top, picture, Rel(S, CR.Right, CR.Top, SW, c.RT.Y));
    CopyPiece(dest, 0, t.LB.Y, picture, Rel(S, 0, c.LB.Y, CR.Left, SH));
    CopyPiece(dest, NCR.Left, NCR.Bottom, picture, Rel(S, CR.Left, CR.Bottom, c.LB.X, SH));
    CopyPiece(dest, t.RB.X, NCR.Bottom, picture, Rel(S, c.RB.X, CR.Bottom, SW, SH));
    CopyPiece(dest, NCR.Right, t.RB.Y, picture, Rel(S, CR.Right, c.RB.Y, SW, CR.Bottom));

    if (tileClient) TilePiece(dest, NCR, picture, clientPiece);
}

}  // namespace

TvlFrameCuts FitFrameCuts(const TvlFrameCuts& c, int SW, int SH, int W, int H) {
    const int64_t dx = int64_t{W} - SW, dy = int64_t{H} - SH;
    TvlFrameCuts t;
    t.LT = c.LT;
    t.RT = {Sat(c.RT.X + dx), c.RT.Y};
    t.LB = {c.LB.X, Sat(c.LB.Y + dy)};
    t.RB = {Sat(c.RB.X + dx), Sat(c.RB.Y + dy)};
    t.CR = {c.CR.Left, c.CR.Top, Sat(c.CR.Right + dx), Sat(c.CR.Bottom + dy)};
    return t;
}

namespace {

// The part of a 1:1 copy that lands inside both the picture and the
// destination: source rect and destination top-left; false when none does.
bool ClipCopy(const TvlFBitmap& dest, int x, int y, const TvlPixelView& picture, const TRect& piece, TRect& source,
              int& destX, int& destY) {
    if (picture.Empty() || dest.Empty()) return false;
    TRect s = SatRect(piece);
    int64_t dx = Sat(x), dy = Sat(y);
    // Cut the source to the picture, moving the destination with it.
    if (s.Left < 0) {
        dx -= s.Left;
        s.Left = 0;
    }
    if (s.Top < 0) {
        dy -= s.Top;
        s.Top = 0;
    }
    s.Right = std::min(s.Right, picture.Width);
    s.Bottom = std::min(s.Bottom, picture.Height);
    // Then to the destination.
    if (dx < 0) {
        s.Left = Sat(s.Left - dx);
        dx = 0;
    }
    if (dy < 0) {
        s.Top = Sat(s.Top - dy);
        dy = 0;
    }
    int64_t w = std::min<int64_t>(s.Right - int64_t{s.Left}, dest.Width() - dx);
    int64_t h = std::min<int64_t>(s.Bottom - int64_t{s.Top}, dest.Height() - dy);
    if (w <= 0 || h <= 0) return false;
    source = {s.Left, s.Top, static_cast<int>(s.Left + w), static_cast<int>(s.Top + h)};
    destX = static_cast<int>(dx);
    destY = static_cast<int>(dy);
    return true;
}

}  // namespace

void CopyPiece(TvlFBitmap& dest, int x, int y, const TvlPixelView& picture, const TRect& piece) {
    TRect s;
    int dx, dy;
    if (!ClipCopy(dest, x, y, picture, piece, s, dx, dy)) return;
    for (int r = 0; r < s.Height(); ++r)
        CopyBytes(dest.Row(dy + r) + Bytes(dx), picture.Row(s.Top + r) + Bytes(s.Left), Bytes(s.Width()));
}

void CopyPieceTransparent(TvlFBitmap& dest, int x, int y, const TvlPixelView& picture, const TRect& piece,
                          uint32_t transparent) {
    TRect s;
    int dx, dy;
    if (!ClipCopy(dest, x, y, picture, piece, s, dx, dy)) return;
    const uint8_t b = static_cast<uint8_t>(transparent >> 16), g = static_cast<uint8_t>(transparent >> 8),
                  r = static_cast<uint8_t>(transparent);
    for (int row = 0; row < s.Height(); ++row) {
        uint8_t* out = dest.Row(dy + row) + Bytes(dx);
        const uint8_t* in = picture.Row(s.Top + row) + Bytes(s.Left);
        for (int i = 0; i < s.Width(); ++i, out += 3, in += 3)
            if (in[0] != b || in[1] != g || in[2] != r) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
    }
}

void TilePiece(TvlFBitmap& dest, const TRect& area, const TvlPixelView& picture, const TRect& piece) {
    if (picture.Empty() || dest.Empty()) return;
    TRect s = Intersect(SatRect(piece), Bounds(picture.Width, picture.Height));
    TRect a = SatRect(area);
    TRect clip = Intersect(a, Bounds(dest.Width(), dest.Height()));
    if (s.IsEmpty() || clip.IsEmpty()) return;
    const int pw = s.Width(), ph = s.Height(), cw = clip.Width();
    const int phase = (clip.Left - a.Left) % pw;
    const ptrdiff_t stride = dest.Stride();
    uint8_t* out = dest.Row(clip.Top) + Bytes(clip.Left);
    const int firstRows = std::min(clip.Height(), ph);
    for (int i = 0; i < firstRows; ++i, out += stride) {
        const uint8_t* src = picture.Row(s.Top + (clip.Top + i - a.Top) % ph) + Bytes(s.Left);
        FillPeriodic(out, cw, src, pw, phase);
    }
    // Then rows repeat with the piece's height: a side of a tall window is
    // mostly this loop, a few bytes a row. A row that is one slice of a
    // piece row is read from the picture, which stays in the cache, not from
    // the window picture rows above.
    const size_t n = Bytes(cw);
    if (phase + cw <= pw) {
        const uint8_t* slice = picture.Row(s.Top) + Bytes(s.Left + phase);
        int r = (clip.Top + firstRows - a.Top) % ph;
        for (int i = firstRows; i < clip.Height(); ++i, out += stride) {
            CopyBytes(out, slice + static_cast<ptrdiff_t>(r) * picture.Stride, n);
            if (++r == ph) r = 0;
        }
        return;
    }
    const ptrdiff_t back = stride * ph;
    for (int i = firstRows; i < clip.Height(); ++i, out += stride) CopyBytes(out, out - back, n);
}

void StretchPiece(TvlFBitmap& dest, const TRect& area, const TvlPixelView& picture, const TRect& piece) {
    if (picture.Empty() || dest.Empty()) return;
    TRect s = Intersect(SatRect(piece), Bounds(picture.Width, picture.Height));
    TRect a = SatRect(area);
    TRect clip = Intersect(a, Bounds(dest.Width(), dest.Height()));
    if (s.IsEmpty() || a.IsEmpty() || clip.IsEmpty()) return;
    const int64_t sw = s.Width(), sh = s.Height(), aw = a.Width(), ah = a.Height();
    const int cw = clip.Width();
    // Each target pixel takes the source pixel under its centre.
    std::vector<int> columns(static_cast<size_t>(cw));
    for (int i = 0; i < cw; ++i)
        columns[static_cast<size_t>(i)] =
            static_cast<int>(s.Left + ((2 * (clip.Left + i - int64_t{a.Left}) + 1) * sw) / (2 * aw));
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const int sy = static_cast<int>(s.Top + ((2 * (y - int64_t{a.Top}) + 1) * sh) / (2 * ah));
        const uint8_t* src = picture.Row(sy);
        uint8_t* out = dest.Row(y) + Bytes(clip.Left);
        if (sw == aw) {
            std::memcpy(out, src + Bytes(columns[0]), Bytes(cw));
            continue;
        }
        for (int i = 0; i < cw; ++i) {
            const uint8_t* p = src + Bytes(columns[static_cast<size_t>(i)]);
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            out += 3;
        }
    }
}

void ComposeFrameImage(const TvlFrameCuts& cuts, const TRect& S, const TvlPixelView& picture, int W, int H,
                       const TvlFrameCuts& target, bool fillClient, const TvlStretch& stretch, TvlFBitmap& dest) {
    ComposeNinePieces(cuts, S, picture, W, H, target, fillClient, stretch, dest);
}

void ComposeTiledImage(const TvlFrameCuts& cuts, const TRect& S, const TvlPixelView& picture, int W, int H,
                       const TvlFrameCuts& target, bool fillClient, TvlFBitmap& dest) {
    ComposeNinePieces(cuts, S, picture, W, H, target, fillClient, TvlStretch(), dest);
}

void ComposeBorderStrips(const TvlFrameCuts& cuts, const TRect& skinRect, const TvlPixelView& picture, int W, int H,
                         const TvlFrameCuts& target, const TvlStretch& stretch, TvlBorderStrips& strips) {
    const TRect S = SatRect(skinRect);
    const TvlFrameCuts c = vlClampCuts(cuts), t = vlClampCuts(target);
    // A strip is sized only when made, so that strips of an unchanged window
    // keep their memory.
    const int64_t SW = S.Width(), SH = S.Height();
    const TRect& CR = c.CR;

    const int topH = std::min(t.CR.Top, H);
    if (W > 0 && topH > 0 && c.RT.X - int64_t{c.LT.X} > 0) {
        TvlFBitmap& strip = strips.Top;
        strip.SetSize(W, topH);
        TRect band = Rel(S, c.LT.X, 0, c.RT.X, CR.Top);
        if (stretch.Top)
            DrawEdge(strip, {t.LT.X, 0, t.RT.X, topH}, picture, band, true);
        else
            DrawEdge(strip, {0, 0, W, topH}, picture, band, false);
        CopyPiece(strip, 0, 0, picture, Rel(S, 0, 0, c.LT.X, CR.Top));
        CopyPiece(strip, t.RT.X, 0, picture, Rel(S, c.RT.X, 0, SW, CR.Top));
    } else {
        strips.Top.SetSize(0, 0);
    }

    const int64_t bottomH64 = std::min<int64_t>(int64_t{H} - t.CR.Bottom, H);
    if (W > 0 && bottomH64 > 0 && c.RB.X - int64_t{c.LB.X} > 0) {
        const int bottomH = Sat(bottomH64);
        TvlFBitmap& strip = strips.Bottom;
        strip.SetSize(W, bottomH);
        const int64_t top = SH - bottomH;
        TRect band = Rel(S, c.LB.X, top, c.RB.X, SH);
        if (stretch.Bottom)
            DrawEdge(strip, {t.LB.X, 0, t.RB.X, bottomH}, picture, band, true);
        else
            DrawEdge(strip, {0, 0, W, bottomH}, picture, band, false);
        CopyPiece(strip, 0, 0, picture, Rel(S, 0, top, c.LB.X, SH));
        CopyPiece(strip, t.RB.X, 0, picture, Rel(S, c.RB.X, top, SW, SH));
    } else {
        strips.Bottom.SetSize(0, 0);
    }

    const int sideH = Sat(std::max<int64_t>(int64_t{H} - strips.Top.Height() - strips.Bottom.Height(), 0));
    // A side strip: its band tiled or stretched, then its end pieces.
    auto side = [&](TvlFBitmap& strip, int64_t width64, int64_t x0, int64_t x1, int64_t bandTop, int64_t bandBottom,
                    bool stretched) {
        if (width64 <= 0 || sideH <= 0 || bandBottom - bandTop <= 0) {
            strip.SetSize(0, 0);
            return;
        }
        const int width = static_cast<int>(std::min<int64_t>(width64, W));
        strip.SetSize(width, sideH);
        const int64_t head = bandTop - CR.Top, tail = CR.Bottom - int64_t{bandBottom};
        TRect band = Rel(S, x0, bandTop, x1, bandBottom);
        if (stretched)
            DrawEdge(strip, {0, Sat(head), width, Sat(sideH - tail)}, picture, band, true);
        else
            DrawEdge(strip, {0, 0, width, sideH}, picture, band, false);
        if (head > 0) CopyPiece(strip, 0, 0, picture, Rel(S, x0, CR.Top, x1, bandTop));
        if (tail > 0) CopyPiece(strip, 0, Sat(sideH - tail), picture, Rel(S, x0, bandBottom, x1, CR.Bottom));
    };
    side(strips.Left, t.CR.Left, 0, CR.Left, c.LT.Y, c.LB.Y, stretch.Left);
    side(strips.Right, int64_t{W} - t.CR.Right, CR.Right, SW, c.RT.Y, c.RB.Y, stretch.Right);
}

namespace {
bool Within(int v, int lo, int hi) { return v >= lo && v <= hi; }
}  // namespace

void ComposeBorder(const TvlFrameCuts& cuts, const TRect& skinRect, const TvlPixelView& picture, int W, int H,
                   const TvlFrameCuts& target, const TvlStretch& stretch, TvlFBitmap& frame) {
    frame.SetSizeForOverwrite(std::max(W, 0), std::max(H, 0));
    const TRect S = SatRect(skinRect);
    const TvlFrameCuts c = vlClampCuts(cuts), t = vlClampCuts(target);
    const int SW = S.Width(), SH = S.Height();
    const TRect& CR = c.CR;
    // In place only where every strip is covered whole by its pieces, no
    // piece is cut by the picture or the window and no strips overlap:
    // then the pixels are the strips' own.
    const bool inPlace =
        !picture.Empty() && !frame.Empty() && SW > 0 && SH > 0 && S.Left >= 0 && S.Top >= 0 &&
        S.Right <= picture.Width && S.Bottom <= picture.Height && W >= SW && H >= SH && Within(CR.Left, 0, SW) &&
        Within(CR.Right, CR.Left, SW) && Within(CR.Top, 0, SH) && Within(CR.Bottom, CR.Top, SH) &&
        Within(c.LT.X, 0, SW) && Within(c.RT.X, c.LT.X + 1, SW) && Within(c.LB.X, 0, SW) &&
        Within(c.RB.X, c.LB.X + 1, SW) && Within(c.LT.Y, CR.Top, CR.Bottom) &&
        Within(c.LB.Y, c.LT.Y + 1, CR.Bottom) && Within(c.RT.Y, CR.Top, CR.Bottom) &&
        Within(c.RB.Y, c.RT.Y + 1, CR.Bottom) && vlClampCuts(FitFrameCuts(c, SW, SH, W, H)) == t;
    if (!inPlace) {
        TvlBorderStrips strips;
        ComposeBorderStrips(cuts, skinRect, picture, W, H, target, stretch, strips);
        auto put = [&](const TvlFBitmap& s, int x, int y) {
            if (!s.Empty()) CopyPiece(frame, x, y, s.View(), {0, 0, s.Width(), s.Height()});
        };
        put(strips.Top, 0, 0);
        put(strips.Left, 0, strips.Top.Height());
        put(strips.Right, W - strips.Right.Width(), strips.Top.Height());
        put(strips.Bottom, 0, H - strips.Bottom.Height());
        return;
    }
    const int topH = CR.Top, bottomH = SH - CR.Bottom, sideTop = topH, sideH = H - topH - bottomH;
    if (topH > 0) {
        TRect band = Rel(S, c.LT.X, 0, c.RT.X, CR.Top);
        if (stretch.Top)
            StretchPiece(frame, {t.LT.X, 0, t.RT.X, topH}, picture, band);
        else
            TilePiece(frame, {0, 0, W, topH}, picture, band);
        CopyPiece(frame, 0, 0, picture, Rel(S, 0, 0, c.LT.X, CR.Top));
        CopyPiece(frame, t.RT.X, 0, picture, Rel(S, c.RT.X, 0, SW, CR.Top));
    }
    if (bottomH > 0) {
        const int y = H - bottomH;
        TRect band = Rel(S, c.LB.X, CR.Bottom, c.RB.X, SH);
        if (stretch.Bottom)
            StretchPiece(frame, {t.LB.X, y, t.RB.X, H}, picture, band);
        else
            TilePiece(frame, {0, y, W, H}, picture, band);
        CopyPiece(frame, 0, y, picture, Rel(S, 0, CR.Bottom, c.LB.X, SH));
        CopyPiece(frame, t.RB.X, y, picture, Rel(S, c.RB.X, CR.Bottom, SW, SH));
    }
    auto side = [&](int x, int x0, int x1, int bandTop, int bandBottom, bool stretched) {
        if (x1 - x0 <= 0 || sideH <= 0) return;
        const int head = bandTop - CR.Top, tail = CR.Bottom - bandBottom;
        TRect band = Rel(S, x0, bandTop, x1, bandBottom);
        if (stretched)
            StretchPiece(frame, {x, sideTop + head, x + x1 - x0, sideTop + sideH - tail}, picture, band);
        else
            TilePiece(frame, {x, sideTop, x + x1 - x0, sideTop + sideH}, picture, band);
        if (head > 0) CopyPiece(frame, x, sideTop, picture, Rel(S, x0, CR.Top, x1, bandTop));
        if (tail > 0) CopyPiece(frame, x, sideTop + sideH - tail, picture, Rel(S, x0, bandBottom, x1, CR.Bottom));
    };
    side(0, 0, CR.Left, c.LT.Y, c.LB.Y, stretch.Left);
    side(W - (SW - CR.Right), CR.Right, SW, c.RT.Y, c.RB.Y, stretch.Right);
}

namespace {
// A three-piece row: left piece, tiled middle band and, unless the row is
// open at its right end, the right piece.
void ComposeRow(int leftWidth, int rightWidth, const TRect& skinRect, const TvlPixelView& picture, int W,
                bool openRight, TvlFBitmap& dest) {
    const TRect S = Intersect(SatRect(skinRect), Bounds(picture.Width, picture.Height));
    const int SW = std::max(S.Width(), 0);
    dest.SetSize(std::max(W, 0), std::max(S.Height(), 0));
    if (dest.Empty()) return;
    leftWidth = std::clamp(leftWidth, 0, SW);
    rightWidth = std::clamp(rightWidth, 0, SW);
    if (leftWidth > 0) CopyPiece(dest, 0, 0, picture, {S.Left, S.Top, S.Left + leftWidth, S.Bottom});
    if (!openRight && rightWidth > 0)
        CopyPiece(dest, W - rightWidth, 0, picture, {S.Right - rightWidth, S.Top, S.Right, S.Bottom});
    const int m = std::max(SW - leftWidth - rightWidth, 1);
    TRect band = Intersect({S.Left + leftWidth, S.Top, S.Left + leftWidth + m, S.Bottom}, S);
    if (!band.IsEmpty()) TilePiece(dest, {leftWidth, 0, openRight ? W : W - rightWidth, dest.Height()}, picture, band);
}
}  // namespace

void ComposeHorizontal(int leftWidth, int rightWidth, const TRect& skinRect, const TvlPixelView& picture, int W,
                       TvlFBitmap& dest) {
    ComposeRow(leftWidth, rightWidth, skinRect, picture, W, false, dest);
}

void ComposeHorizontalOpen(int leftWidth, int rightWidth, const TRect& skinRect, const TvlPixelView& picture, int W,
                           TvlFBitmap& dest) {
    ComposeRow(leftWidth, rightWidth, skinRect, picture, W, true, dest);
}

void ComposeVertical(int topHeight, int bottomHeight, const TRect& skinRect, const TvlPixelView& picture, int H,
                     TvlFBitmap& dest) {
    const TRect S = Intersect(SatRect(skinRect), Bounds(picture.Width, picture.Height));
    const int SH = std::max(S.Height(), 0);
    dest.SetSize(std::max(S.Width(), 0), std::max(H, 0));
    if (dest.Empty()) return;
    topHeight = std::clamp(topHeight, 0, SH);
    bottomHeight = std::clamp(bottomHeight, 0, SH);
    if (topHeight > 0) CopyPiece(dest, 0, 0, picture, {S.Left, S.Top, S.Right, S.Top + topHeight});
    if (bottomHeight > 0)
        CopyPiece(dest, 0, H - bottomHeight, picture, {S.Left, S.Bottom - bottomHeight, S.Right, S.Bottom});
    const int m = SH - topHeight - bottomHeight;
    if (m > 0)
        TilePiece(dest, {0, topHeight, dest.Width(), H - bottomHeight}, picture,
                  {S.Left, S.Top + topHeight, S.Right, S.Top + topHeight + m});
}

void TileArea(const TRect& piece, const TRect& area, const TRect& origin, const TvlPixelView& picture, int W, int H,
              TvlFBitmap& dest) {
    dest.SetSize(std::max(W, 0), std::max(H, 0));
    TRect a = SatRect(area);
    TRect p = Rel(origin, piece.Left, piece.Top, piece.Right, piece.Bottom);
    if (a.IsEmpty() || p.IsEmpty()) return;
    // (area width div piece width) + 1 columns from x = 0, and as many rows.
    const int64_t columns = int64_t{a.Width()} / p.Width() + 1, rows = int64_t{a.Height()} / p.Height() + 1;
    TRect span{0, 0, Sat(std::min<int64_t>(a.Right, columns * p.Width())),
               Sat(std::min<int64_t>(a.Bottom, rows * p.Height()))};
    TilePiece(dest, span, picture, p);
}
