#pragma once
// The generator's drawing surface: a picture in the skin's pixel order, with
// anti-aliased shapes sampled 4 x 4 per pixel.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "core/Geometry.h"
#include "core/PixelImage.h"

// 0xRRGGBB to the skin's 0x00BBGGRR (the swap is its own inverse).
inline uint32_t ToSkin(uint32_t rgb) { return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16); }

inline uint32_t Mix(uint32_t a, uint32_t b, double t) {
    auto ch = [&](int s) {
        double x = ((a >> s) & 0xFF) * (1 - t) + ((b >> s) & 0xFF) * t;
        return static_cast<uint32_t>(std::lround(x)) << s;
    };
    return ch(16) | ch(8) | ch(0);
}

class Canvas {
public:
    Canvas(int w, int h, uint32_t fill) {
        FImage.Resize(w, h);
        Fill({0, 0, w, h}, fill);
    }
    TPixelImage& Image() { return FImage; }
    uint32_t Get(int x, int y) const {
        uint32_t c = FImage.PixelColor(x, y);  // 0x00BBGGRR
        return ToSkin(c);
    }
    void Set(int x, int y, uint32_t rgb) {
        if (x >= 0 && y >= 0 && x < FImage.Width && y < FImage.Height) FImage.SetPixelColor(x, y, ToSkin(rgb));
    }
    void Blend(int x, int y, uint32_t rgb, double cover) {
        if (cover <= 0 || x < 0 || y < 0 || x >= FImage.Width || y >= FImage.Height) return;
        Set(x, y, cover >= 1 ? rgb : Mix(Get(x, y), rgb, cover));
    }
    void Fill(TRect r, uint32_t rgb) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) Set(x, y, rgb);
    }
    // Coverage of pixel (x, y) by a shape, sampled 4 x 4.
    template <class Inside>
    void Shape(TRect bounds, uint32_t rgb, Inside inside) {
        for (int y = bounds.Top; y < bounds.Bottom; ++y)
            for (int x = bounds.Left; x < bounds.Right; ++x) {
                int n = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) n += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                Blend(x, y, rgb, n / 16.0);
            }
    }
    // Sets every pixel of `bounds` that the shape does not touch at all.
    template <class Inside>
    void KeyOutside(TRect bounds, uint32_t key, Inside inside) {
        for (int y = bounds.Top; y < bounds.Bottom; ++y)
            for (int x = bounds.Left; x < bounds.Right; ++x) {
                bool touched = false;
                for (int sy = 0; sy < 4 && !touched; ++sy)
                    for (int sx = 0; sx < 4 && !touched; ++sx) touched = inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                if (!touched) Set(x, y, key);
            }
    }
    static bool InRound(double px, double py, double l, double t, double r, double b, double radius, bool topOnly) {
        if (px < l || px > r || py < t || py > b) return false;
        double cx = std::clamp(px, l + radius, r - radius);
        double cy = std::clamp(py, t + radius, topOnly ? b : b - radius);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
    }
    // A rounded rectangle with a one-pixel outline.
    void RoundBox(TRect r, double radius, uint32_t fill, uint32_t line, bool topOnly = false) {
        Shape(r, line,
              [&](double x, double y) { return InRound(x, y, r.Left, r.Top, r.Right, r.Bottom, radius, topOnly); });
        double inner = std::max(0.0, radius - 1);
        Shape(r, fill, [&](double x, double y) {
            return InRound(x, y, r.Left + 1, r.Top + 1, r.Right - 1, topOnly ? r.Bottom : r.Bottom - 1, inner, topOnly);
        });
    }
    void Disc(double cx, double cy, double radius, uint32_t rgb) {
        TRect b{int(cx - radius) - 1, int(cy - radius) - 1, int(cx + radius) + 2, int(cy + radius) + 2};
        Shape(b, rgb, [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; });
    }
    void Line(double x0, double y0, double x1, double y1, double width, uint32_t rgb) {
        TRect b{int(std::min(x0, x1) - width) - 1, int(std::min(y0, y1) - width) - 1, int(std::max(x0, x1) + width) + 2,
                int(std::max(y0, y1) + width) + 2};
        double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        Shape(b, rgb, [&](double x, double y) {
            double t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0) : 0;
            double ex = x0 + t * dx - x, ey = y0 + t * dy - y;
            return ex * ex + ey * ey <= width * width / 4;
        });
    }
    void Polyline(std::initializer_list<std::pair<double, double>> points, double width, uint32_t rgb) {
        const std::pair<double, double>* prev = nullptr;
        for (const auto& p : points) {
            if (prev) Line(prev->first, prev->second, p.first, p.second, width, rgb);
            prev = &p;
        }
    }
    // A filled triangle arrow of size s centred in r, pointing up/down/left/right.
    void Arrow(TRect r, char dir, uint32_t rgb, double s = 4) {
        double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
        auto chevron = [&](double ax, double ay, double bx, double by, double tx, double ty) {
            Polyline({{ax, ay}, {tx, ty}, {bx, by}}, 1.6, rgb);
        };
        switch (dir) {
            case 'u': chevron(cx - s, cy + s / 2, cx + s, cy + s / 2, cx, cy - s / 2); break;
            case 'd': chevron(cx - s, cy - s / 2, cx + s, cy - s / 2, cx, cy + s / 2); break;
            case 'l': chevron(cx + s / 2, cy - s, cx + s / 2, cy + s, cx - s / 2, cy); break;
            default: chevron(cx - s / 2, cy - s, cx - s / 2, cy + s, cx + s / 2, cy); break;
        }
    }

private:
    TPixelImage FImage;
};
