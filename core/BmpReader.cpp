#include "core/BmpReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr size_t FileHeaderSize = 14;

uint32_t U16(std::string_view b, size_t at) {
    return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
int32_t I32(std::string_view b, size_t at) { return static_cast<int32_t>(U32(b, at)); }

struct Header {
    int Width = 0, Height = 0;
    bool TopDown = false;
    int Bits = 0;
    uint32_t Compression = BI_RGB;
    uint32_t Masks[3] = {0, 0, 0};
    std::array<uint32_t, 256> Palette{};  // 0x00RRGGBB as stored (blue in the low byte)
    size_t PaletteSize = 0;
    size_t PixelOffset = 0;
};

// What ends too early: the bytes themselves, or, where the file's own size
// field sets the length (bitmaps back to back in a package), that field.
[[noreturn]] void Cut(const char* part, bool bySizeField) {
    throw EInvalidGraphic(bySizeField ? std::string("the file size field ends inside the ") + part
                                      : std::string("the ") + part + " is truncated");
}

// The info header's fields, from either layout: the 12-byte OS/2 one keeps
// 16-bit sizes and 3-byte colour table entries.
struct InfoHeader {
    uint32_t Size = 0;
    int64_t Width = 0, Height = 0;
    uint32_t Planes = 0, Bits = 0, Compression = BI_RGB, ColorsUsed = 0;
    size_t EntrySize = 4;
};
constexpr size_t InfoAt = FileHeaderSize;

InfoHeader ReadInfoHeader(std::string_view file, bool bySizeField) {
    if (file.size() < InfoAt + 4) Cut("info header", bySizeField);
    InfoHeader info;
    info.Size = U32(file, InfoAt);
    if (info.Size != 12 && (info.Size < 40 || info.Size > 1024))
        throw EInvalidGraphic("unknown info header size " + std::to_string(info.Size));
    if (file.size() < InfoAt + info.Size) Cut("info header", bySizeField);
    if (info.Size == 12) {
        info.Width = U16(file, InfoAt + 4);
        info.Height = static_cast<int16_t>(U16(file, InfoAt + 6));
        info.Planes = U16(file, InfoAt + 8);
        info.Bits = U16(file, InfoAt + 10);
        info.EntrySize = 3;
    } else {
        info.Width = I32(file, InfoAt + 4);
        info.Height = I32(file, InfoAt + 8);
        info.Planes = U16(file, InfoAt + 12);
        info.Bits = U16(file, InfoAt + 14);
        info.Compression = U32(file, InfoAt + 16);
        info.ColorsUsed = U32(file, InfoAt + 32);
    }
    return info;
}

// Depth, size and compression: what this reader can decode, into `h`.
void TakeFormat(const InfoHeader& info, Header& h) {
    h.Bits = static_cast<int>(info.Bits);
    h.Compression = info.Compression;
    if (info.Planes != 1) throw EInvalidGraphic("plane count is not 1");
    // The second OS/2 header is 64 bytes long; it numbers compressions its own way.
    if (info.Size == 64 && h.Compression == BI_BITFIELDS)
        throw EInvalidGraphic("OS/2 Huffman compression is not supported");
    if (h.Bits != 1 && h.Bits != 4 && h.Bits != 8 && h.Bits != 16 && h.Bits != 24 && h.Bits != 32)
        throw EInvalidGraphic("unsupported bit depth " + std::to_string(h.Bits));
    int64_t width = info.Width, height = info.Height;
    h.TopDown = height < 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > BmpMaxDimension || height > BmpMaxDimension ||
        width * height > BmpMaxPixels)
        throw EInvalidGraphic("bad size " + std::to_string(width) + " x " + std::to_string(height));
    h.Width = static_cast<int>(width);
    h.Height = static_cast<int>(height);

    switch (h.Compression) {
        case BI_RGB: break;
        case BI_RLE8:
            if (h.Bits != 8) throw EInvalidGraphic("RLE8 needs 8 bits per pixel");
            break;
        case BI_RLE4:
            if (h.Bits != 4) throw EInvalidGraphic("RLE4 needs 4 bits per pixel");
            break;
        case BI_BITFIELDS:
            if (h.Bits != 16 && h.Bits != 32)
                throw EInvalidGraphic("bit fields are supported for 16 and 32 bits per pixel only");
            break;
        default: throw EInvalidGraphic("unsupported compression " + std::to_string(h.Compression));
    }
    if (h.TopDown && (h.Compression == BI_RLE8 || h.Compression == BI_RLE4))
        throw EInvalidGraphic("compressed bitmaps cannot be top-down");
}

// The channel masks of 16- and 32-bit pictures; returns where the colour
// table starts (after masks that follow a 40-byte header).
size_t ReadMasks(std::string_view file, bool bySizeField, const InfoHeader& info, Header& h) {
    size_t tableAt = InfoAt + info.Size;
    if (h.Compression == BI_BITFIELDS) {
        // A 40-byte header keeps the masks after it; larger headers hold them.
        size_t masksAt = info.Size == 40 ? tableAt : InfoAt + 40;
        if (info.Size == 40) tableAt += 12;
        if (file.size() < masksAt + 12) Cut("colour masks", bySizeField);
        for (int i = 0; i < 3; ++i) h.Masks[i] = U32(file, masksAt + 4 * i);
    } else if (h.Bits == 32) {
        h.Masks[0] = 0xFF0000;
        h.Masks[1] = 0xFF00;
        h.Masks[2] = 0xFF;
    } else if (h.Bits == 16) {  // 5-5-5
        h.Masks[0] = 0x7C00;
        h.Masks[1] = 0x03E0;
        h.Masks[2] = 0x001F;
    }
    return tableAt;
}

void ReadPalette(std::string_view file, bool bySizeField, const InfoHeader& info, size_t tableAt, Header& h) {
    // Deeper pictures may carry a table for palette displays: never needed.
    if (h.Bits > 8) return;
    size_t maxColors = size_t{1} << h.Bits;
    // Of a larger declared table only the entries an index can reach count.
    size_t count = std::min<size_t>(info.ColorsUsed == 0 ? maxColors : info.ColorsUsed, maxColors);
    if (tableAt + count * info.EntrySize > file.size()) Cut("colour table", bySizeField);
    h.PaletteSize = count;
    for (size_t i = 0; i < h.PaletteSize; ++i) {
        size_t at = tableAt + i * info.EntrySize;
        h.Palette[i] = static_cast<uint8_t>(file[at]) | (static_cast<uint8_t>(file[at + 1]) << 8) |
                       (static_cast<uint32_t>(static_cast<uint8_t>(file[at + 2])) << 16);
    }
}

Header ReadHeader(std::string_view file, bool bySizeField) {
    InfoHeader info = ReadInfoHeader(file, bySizeField);
    Header h;
    TakeFormat(info, h);
    size_t tableAt = ReadMasks(file, bySizeField, info, h);
    ReadPalette(file, bySizeField, info, tableAt, h);
    h.PixelOffset = U32(file, 10);
    if (h.PixelOffset < tableAt || h.PixelOffset > file.size())
        throw EInvalidGraphic("the pixel offset lies outside the file");
    return h;
}

void Decode(std::string_view file, bool bySizeField, TPixelImage& image);

void PutColor(uint8_t* p, uint32_t rgb) {
    p[0] = static_cast<uint8_t>(rgb);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb >> 16);
}

// Shift and scale that turn a bit-field channel into 8 bits.
struct Channel {
    int Shift = 0, Bits = 0;
    explicit Channel(uint32_t mask) {
        if (!mask) return;
        while (!(mask & 1)) {
            mask >>= 1;
            ++Shift;
        }
        while (mask & 1) {
            mask >>= 1;
            ++Bits;
        }
    }
    uint8_t Take(uint32_t v) const {
        if (Bits == 0) return 0;
        uint32_t c = (v >> Shift) & ((Bits >= 32 ? 0 : (1u << Bits)) - 1);
        if (Bits >= 8) return static_cast<uint8_t>(c >> (Bits - 8));
        return static_cast<uint8_t>(c * 255 / ((1u << Bits) - 1));
    }
};

// One palette index per byte from a row of `Bits`-bit indices, high bits
// first; `out` has room for a last partial byte.
template <int Bits>
void Unpack(const uint8_t* src, int width, uint8_t* out) {
    constexpr int perByte = 8 / Bits;
    constexpr uint8_t mask = (1u << Bits) - 1;
    for (int x = 0; x < width; x += perByte, ++src)
        for (int i = 0; i < perByte; ++i) out[x + i] = (*src >> (8 - Bits * (i + 1))) & mask;
}

void DecodeUncompressed(std::string_view file, const Header& h, bool bySizeField, TPixelImage& image) {
    size_t rowBytes = DibRowBytes(static_cast<size_t>(h.Width), h.Bits);
    if ((file.size() - h.PixelOffset) / rowBytes < static_cast<size_t>(h.Height)) Cut("pixel data", bySizeField);
    Channel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]);
    // One table lookup per pixel; indexes past the table draw black, as the
    // platform does.
    std::array<std::array<uint8_t, 3>, 256> colors{};
    for (size_t i = 0; i < h.PaletteSize; ++i)
        colors[i] = {static_cast<uint8_t>(h.Palette[i]), static_cast<uint8_t>(h.Palette[i] >> 8),
                     static_cast<uint8_t>(h.Palette[i] >> 16)};
    std::vector<uint8_t> indices(h.Bits < 8 ? h.Width + 8 : 0);  // room for a last partial byte
    std::array<uint32_t, 256> wide{};  // the same colours, blue in the low byte (little-endian stores)
    for (size_t i = 0; i < 256; ++i) wide[i] = colors[i][0] | (colors[i][1] << 8) | (colors[i][2] << 16);
    for (int row = 0; row < h.Height; ++row) {
        int y = h.TopDown ? row : h.Height - 1 - row;
        const uint8_t* src = reinterpret_cast<const uint8_t*>(file.data()) + h.PixelOffset + rowBytes * row;
        uint8_t* dst = image.Row(y);
        switch (h.Bits) {
            case 24: std::copy(src, src + h.Width * 3, dst); break;
            case 16:
                for (int x = 0; x < h.Width; ++x, src += 2, dst += 3) {
                    uint32_t v = src[0] | (src[1] << 8);
                    dst[0] = blue.Take(v);
                    dst[1] = green.Take(v);
                    dst[2] = red.Take(v);
                }
                break;
            case 32:
                for (int x = 0; x < h.Width; ++x, src += 4, dst += 3) {
                    uint32_t v = src[0] | (src[1] << 8) | (src[2] << 16) | (static_cast<uint32_t>(src[3]) << 24);
                    dst[0] = blue.Take(v);
                    dst[1] = green.Take(v);
                    dst[2] = red.Take(v);
                }
                break;
            default: {
                // Sub-byte depths are unpacked to one index per byte first.
                const uint8_t* index = src;
                if (h.Bits == 4) {
                    Unpack<4>(src, h.Width, indices.data());
                    index = indices.data();
                } else if (h.Bits == 1) {
                    Unpack<1>(src, h.Width, indices.data());
                    index = indices.data();
                }
                // Four pixels make an eight- and a four-byte word. Then four-byte
                // stores; the byte each one writes past its pixel is the
                // next pixel's, rewritten next, so the row's last pixel
                // takes three single stores.
                int x = 0;
                for (; x + 4 < h.Width; x += 4, dst += 12) {
                    const uint32_t c0 = wide[index[x]], c1 = wide[index[x + 1]], c2 = wide[index[x + 2]],
                                   c3 = wide[index[x + 3]];
                    const uint64_t low = c0 | (uint64_t{c1} << 24) | (uint64_t{c2} << 48);
                    const uint32_t high = (c2 >> 16) | (c3 << 8);
                    std::memcpy(dst, &low, 8);
                    std::memcpy(dst + 8, &high, 4);
                }
                for (; x < h.Width - 1; ++x, dst += 3) std::memcpy(dst, &wide[index[x]], 4);
                const auto& c = colors[index[x]];
                dst[0] = c[0];
                dst[1] = c[1];
                dst[2] = c[2];
            }
        }
    }
}

void DecodeRle(std::string_view file, const Header& h, TPixelImage& image) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(file.data()) + h.PixelOffset;
    const uint8_t* end = reinterpret_cast<const uint8_t*>(file.data()) + file.size();
    bool four = h.Compression == BI_RLE4;
    int x = 0, row = 0;  // row counts from the bottom
    auto put = [&](uint32_t index) {
        if (x < h.Width && row < h.Height)
            PutColor(image.Row(h.Height - 1 - row) + x * 3, index < h.PaletteSize ? h.Palette[index] : 0);
        ++x;
    };
    auto need = [&](size_t n) {
        if (static_cast<size_t>(end - p) < n) throw EInvalidGraphic("the compressed pixel data is truncated");
    };
    // Pixels the data never sets keep colour 0 of the table.
    uint32_t background = h.PaletteSize ? h.Palette[0] : 0;
    for (int y = 0; y < h.Height; ++y)
        for (int xx = 0; xx < h.Width; ++xx) PutColor(image.Row(y) + xx * 3, background);
    while (row < h.Height) {
        need(2);
        uint8_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            need(2);
            x += p[0];
            row += p[1];
            p += 2;
        } else {
            size_t bytes = four ? (value + 1) / 2 : value;
            size_t padded = (bytes + 1) & ~size_t{1};
            need(padded);
            for (int i = 0; i < value; ++i) put(four ? ((i & 1) ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += padded;
        }
        if (x > h.Width + 255) x = h.Width;  // keeps a run of deltas from overflowing
    }
}

}  // namespace

size_t BmpFileLength(std::string_view bytes) {
    if (bytes.size() < FileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        throw EInvalidGraphic("no bitmap file header");
    uint32_t size = U32(bytes, 2);
    if (size < FileHeaderSize + 12) throw EInvalidGraphic("the file size field is too small");
    if (size > bytes.size())
        throw EInvalidGraphic("the file size field says " + std::to_string(size) + " bytes, only " +
                              std::to_string(bytes.size()) + " are there");
    return size;
}

TPixelImage DecodeBmp(std::string_view bytes) {
    TPixelImage image;
    DecodeBmpInto(bytes, image);
    return image;
}

void DecodeBmpInto(std::string_view bytes, TPixelImage& image) {
    Decode(bytes.substr(0, BmpFileLength(bytes)), true, image);
}

TPixelImage DecodeBmpFile(std::string_view file) {
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') throw EInvalidGraphic("no bitmap file header");
    TPixelImage image;
    Decode(file, false, image);
    return image;
}

namespace {
void Decode(std::string_view file, bool bySizeField, TPixelImage& image) {
    Header h = ReadHeader(file, bySizeField);
    image.ResizeUninitialized(h.Width, h.Height);
    // The decoders write every pixel; the row padding is zero.
    if (int pad = image.Stride() - h.Width * 3)
        for (int y = 0; y < h.Height; ++y) std::fill_n(image.Row(y) + h.Width * 3, pad, 0);
    if (h.Compression == BI_RLE8 || h.Compression == BI_RLE4)
        DecodeRle(file, h, image);
    else
        DecodeUncompressed(file, h, bySizeField, image);
}
}  // namespace

std::string EncodeBmp(const TPixelImage& image) {
    if (image.Empty()) throw EInvalidGraphic("an empty picture cannot be written");
    std::map<uint32_t, int> colors;
    for (int y = 0; y < image.Height && colors.size() <= 256; ++y)
        for (int x = 0; x < image.Width && colors.size() <= 256; ++x) colors.emplace(image.PixelColor(x, y), 0);
    int bits = colors.size() <= 2 ? 1 : colors.size() <= 16 ? 4 : colors.size() <= 256 ? 8 : 24;
    size_t paletteCount = bits <= 8 ? colors.size() : 0;
    int index = 0;
    for (auto& c : colors) c.second = index++;

    size_t rowBytes = DibRowBytes(static_cast<size_t>(image.Width), bits);
    size_t offset = FileHeaderSize + 40 + paletteCount * 4;
    size_t total = offset + rowBytes * image.Height;
    std::string out(total, '\0');
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = static_cast<char>(v);
        out[at + 1] = static_cast<char>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(total));
    put32(10, static_cast<uint32_t>(offset));
    put32(14, 40);
    put32(18, static_cast<uint32_t>(image.Width));
    put32(22, static_cast<uint32_t>(image.Height));
    put16(26, 1);
    put16(28, static_cast<uint32_t>(bits));
    put32(34, static_cast<uint32_t>(rowBytes * image.Height));
    put32(38, 3780);  // 96 dpi
    put32(42, 3780);
    put32(46, static_cast<uint32_t>(paletteCount));
    for (const auto& [color, i] : colors) {
        if (static_cast<size_t>(i) >= paletteCount) break;
        size_t at = FileHeaderSize + 40 + i * 4;
        out[at] = static_cast<char>(color >> 16);  // blue
        out[at + 1] = static_cast<char>(color >> 8);
        out[at + 2] = static_cast<char>(color);
    }
    for (int row = 0; row < image.Height; ++row) {
        int y = image.Height - 1 - row;
        char* dst = out.data() + offset + rowBytes * row;
        if (bits == 24) {
            std::copy(image.Row(y), image.Row(y) + image.Width * 3, dst);
            continue;
        }
        int perByte = 8 / bits;
        for (int x = 0; x < image.Width; ++x) {
            int shift = 8 - bits * (x % perByte + 1);
            dst[x / perByte] = static_cast<char>(dst[x / perByte] | (colors[image.PixelColor(x, y)] << shift));
        }
    }
    return out;
}
