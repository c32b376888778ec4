#pragma once
// The small vector glyphs and arrows of the plain looks at a display scale:
// their 96-DPI strokes scaled about a point, each stroke as thick as one
// 96-DPI pixel comes out at that scale, so that they stay solid and sharp.
// At 96 DPI the strokes are returned as they are.
#include <vector>

#include "skin/data/vlUtils.h"

std::vector<TvlShape> ScaleShapes(const std::vector<TvlShape>& shapes, TPoint origin, int dpi);

// DrawDefaultGlyph and DrawArrow at `dpi`: the glyph's cell grows from its
// top-left corner, the arrow about the centre of its rectangle.
void DrawDefaultGlyph(TvlFBitmap& dest, TvlGlyph glyph, int x, int y, uint32_t colour, int dpi);
void DrawArrow(TvlFBitmap& dest, const TRect& rect, uint32_t colour, int direction, int dpi);
