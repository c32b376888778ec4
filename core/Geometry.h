#pragma once
// Plain rectangle and point in pixels, portable (no platform types). Right and
// bottom are exclusive.

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // A look or place whose width or height is below 1 is "not given".
    bool IsEmpty() const { return Right - Left < 1 || Bottom - Top < 1; }
    // Hit test: the left and top edges belong to the rectangle, the right and bottom ones do not.
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool operator==(const TRect&) const = default;
};

// The part two rectangles share; empty (IsEmpty) when they do not meet.
inline TRect Intersect(const TRect& a, const TRect& b) {
    return {a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top, a.Right < b.Right ? a.Right : b.Right,
            a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
}
