#include "skin/data/vlScaledShapes.h"

#include <algorithm>

#include "skin/data/vlSkinScale.h"

std::vector<TvlShape> ScaleShapes(const std::vector<TvlShape>& shapes, TPoint origin, int dpi) {
    if (dpi == SkinBaseDpi || dpi <= 0) return shapes;
    auto at = [&](TPoint p) {
        return TPoint{origin.X + ScaleSkinLength(p.X - origin.X, dpi), origin.Y + ScaleSkinLength(p.Y - origin.Y, dpi)};
    };
    const int thickness = std::max(1, ScaleSkinLength(1, dpi));
    std::vector<TvlShape> out;
    out.reserve(shapes.size() * static_cast<size_t>(thickness));
    for (const TvlShape& s : shapes) {
        const TPoint a = at(s.A), b = at(s.B);
        switch (s.Kind) {
            case TvlShape::Line: {
                // A horizontal line thickens downwards, any other to the right.
                const bool horizontal = a.Y == b.Y;
                for (int i = 0; i < thickness; ++i) {
                    const TPoint d = horizontal ? TPoint{0, i} : TPoint{i, 0};
                    out.push_back({TvlShape::Line, {a.X + d.X, a.Y + d.Y}, {b.X + d.X, b.Y + d.Y}});
                }
                break;
            }
            case TvlShape::Frame:
                for (int i = 0; i < thickness; ++i) out.push_back({TvlShape::Frame, {a.X + i, a.Y + i}, {b.X - i, b.Y - i}});
                break;
            case TvlShape::Fill: out.push_back({TvlShape::Fill, a, b}); break;
        }
    }
    return out;
}

void DrawDefaultGlyph(TvlFBitmap& dest, TvlGlyph glyph, int x, int y, uint32_t colour, int dpi) {
    DrawShapes(dest, ScaleShapes(DefaultGlyphShapes(glyph, x, y), {x, y}, dpi), colour);
}

void DrawArrow(TvlFBitmap& dest, const TRect& rect, uint32_t colour, int direction, int dpi) {
    const TPoint centre{rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2};
    DrawShapes(dest, ScaleShapes(ArrowShapes(rect, direction), centre, dpi), colour);
}
