// Bitmaps with the OS/2 headers: the 12-byte header with its three-byte
// colour table entries, and the 64-byte one with four-byte entries.
#include <gtest/gtest.h>

#include "core/BmpReader.h"

namespace {

void Put(std::string& s, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// Entry i of the table: blue i * 3, green 255 - i, red i ^ 0x5A; all differ.
uint32_t Entry(int i) {
    const uint32_t b = static_cast<uint32_t>(i * 3) & 0xFF, g = 255 - static_cast<uint32_t>(i), r = (i ^ 0x5A) & 0xFF;
    return r | g << 8 | b << 16;  // as the decoded picture gives it
}
std::string Table(int bits, int entrySize) {
    std::string table;
    for (int i = 0; i < (1 << bits); ++i) {
        const uint32_t c = Entry(i);
        table += static_cast<char>(c >> 16);
        table += static_cast<char>(c >> 8);
        table += static_cast<char>(c);
        if (entrySize == 4) table += '\0';
    }
    return table;
}
// Index of pixel (x, y), counted from the top row.
int IndexAt(int x, int y, int bits) { return (x * 5 + y * 3 + 1) % (1 << bits); }
std::string Rows(int w, int h, int bits, bool topDown) {
    const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    std::string pixels(stride * static_cast<size_t>(h), '\0');
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        for (int x = 0; x < w; ++x) {
            const size_t bit = static_cast<size_t>(x) * bits;
            const int shift = 8 - bits - static_cast<int>(bit % 8);
            pixels[stride * row + bit / 8] |= static_cast<char>(IndexAt(x, y, bits) << shift);
        }
    }
    return pixels;
}

// A 12-byte-header file: width and height are 16-bit, entries 3 bytes.
std::string Os2v1(int w, int h, int bits, bool topDown) {
    std::string s(14 + 12, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put(s, 14, 12, 4);
    Put(s, 18, static_cast<uint32_t>(w), 2);
    Put(s, 20, static_cast<uint32_t>(topDown ? -h : h), 2);
    Put(s, 22, 1, 2);
    Put(s, 24, static_cast<uint32_t>(bits), 2);
    const std::string table = Table(bits, 3);
    Put(s, 10, static_cast<uint32_t>(s.size() + table.size()), 4);
    s += table + Rows(w, h, bits, topDown);
    Put(s, 2, static_cast<uint32_t>(s.size()), 4);
    return s;
}

void ExpectPixels(const TPixelImage& image, int w, int h, int bits) {
    ASSERT_EQ(image.Width, w);
    ASSERT_EQ(image.Height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(image.PixelColor(x, y), Entry(IndexAt(x, y, bits))) << x << "," << y << " at " << bits;
}

}  // namespace

TEST(Os2Bitmap, TheShortHeaderReadsThreeByteEntriesAndSixteenBitSizes) {
    // Width and height differ, so neither is read for the other; every depth
    // with a table, bottom-up and top-down.
    for (int bits : {1, 4, 8})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << (topDown ? " top-down" : " bottom-up"));
            ExpectPixels(DecodeBmpFile(Os2v1(7, 3, bits, topDown)), 7, 3, bits);
            ExpectPixels(DecodeBmp(Os2v1(7, 3, bits, topDown)), 7, 3, bits);
        }

    // The pixels may not start inside the header; a table cut short is refused.
    std::string inside = Os2v1(7, 3, 8, false);
    Put(inside, 10, 14 + 12 - 1, 4);
    EXPECT_THROW(DecodeBmpFile(inside), EInvalidGraphic);
    std::string cut = Os2v1(7, 3, 8, false).substr(0, 14 + 12 + 200 * 3);
    EXPECT_THROW(DecodeBmpFile(cut), EInvalidGraphic);
}

TEST(Os2Bitmap, TheLongHeaderReadsFourByteEntriesUpToTheCountUsed) {
    const int w = 5, h = 2, bits = 4;
    std::string s(14 + 64, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put(s, 14, 64, 4);
    Put(s, 18, w, 4);
    Put(s, 22, h, 4);
    Put(s, 26, 1, 2);
    Put(s, 28, bits, 2);
    Put(s, 46, 16, 4);  // colours used: the whole table
    const std::string table = Table(bits, 4);
    Put(s, 10, static_cast<uint32_t>(s.size() + table.size()), 4);
    s += table + Rows(w, h, bits, false);
    Put(s, 2, static_cast<uint32_t>(s.size()), 4);
    ExpectPixels(DecodeBmpFile(s), w, h, bits);
}
