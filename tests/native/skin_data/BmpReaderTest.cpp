#include <gtest/gtest.h>

#include <cstring>

#include "core/BmpReader.h"

namespace {

TPixelImage Pattern(int w, int h, int colors) {
    TPixelImage img;
    img.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixelColor(x, y, static_cast<uint32_t>((x * 7 + y * 13) % colors));
    return img;
}

int BitsOf(const std::string& bmp) { return static_cast<uint8_t>(bmp[28]); }

void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// A bitmap file with a 40-byte header around the given table and pixel bytes.
std::string MakeBmp(int w, int h, int bits, uint32_t compression, const std::string& table, const std::string& pixels) {
    std::string s(54, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 10, static_cast<uint32_t>(54 + table.size()));
    Put32(s, 14, 40);
    Put32(s, 18, static_cast<uint32_t>(w));
    Put32(s, 22, static_cast<uint32_t>(h));
    s[26] = 1;
    s[28] = static_cast<char>(bits);
    Put32(s, 30, compression);
    Put32(s, 46, bits <= 8 ? static_cast<uint32_t>(table.size() / 4) : 0);
    s += table + pixels;
    Put32(s, 2, static_cast<uint32_t>(s.size()));
    return s;
}

const std::string RedGreenBlueWhite("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\x00", 16);

}  // namespace

TEST(BmpReader, EncodesWithTheFewestBitsAndDecodesExactly) {
    for (auto [colors, bits] : {std::pair{2, 1}, {9, 4}, {200, 8}, {100000, 24}}) {
        TPixelImage img = Pattern(colors == 100000 ? 400 : 37, colors == 100000 ? 300 : 11, colors);
        std::string bmp = EncodeBmp(img);
        EXPECT_EQ(BitsOf(bmp), bits) << colors;
        EXPECT_EQ(BmpFileLength(bmp + "trailing"), bmp.size());
        EXPECT_EQ(DecodeBmp(bmp + "trailing"), img) << colors;
    }
}

TEST(BmpReader, ReadsTopDownAndBottomUp32BitRows) {
    // 2 x 2: bottom-up stores the bottom row first.
    std::string rows(
        "\x01\x02\x03\x00\x04\x05\x06\x00"  // bottom row
        "\x07\x08\x09\x00\x0A\x0B\x0C\x00",
        16);
    TPixelImage up = DecodeBmp(MakeBmp(2, 2, 32, 0, "", rows));
    EXPECT_EQ(up.PixelColor(0, 1), 0x010203u);
    EXPECT_EQ(up.PixelColor(1, 0), 0x0A0B0Cu);
    std::string down = MakeBmp(2, 2, 32, 0, "", rows);
    Put32(down, 22, static_cast<uint32_t>(-2));
    TPixelImage top = DecodeBmp(down);
    EXPECT_EQ(top.PixelColor(0, 0), 0x010203u);
    EXPECT_EQ(top.PixelColor(1, 1), 0x0A0B0Cu);
}

TEST(BmpReader, Reads32BitFieldsAnd4BitTable) {
    // Masks red 0xFF, green 0xFF00, blue 0xFF0000: the bytes are R, G, B, x.
    std::string masks("\xFF\x00\x00\x00\x00\xFF\x00\x00\x00\x00\xFF\x00", 12);
    std::string bmp = MakeBmp(1, 1, 32, 3, masks, std::string("\x11\x22\x33\x00", 4));
    Put32(bmp, 46, 0);
    EXPECT_EQ(DecodeBmp(bmp).PixelColor(0, 0), 0x332211u);  // 0x00BBGGRR

    // 4 bits, 3 pixels 0,1,3 (index 3 is white); an index past the table is black.
    TPixelImage four = DecodeBmp(MakeBmp(4, 1, 4, 0, RedGreenBlueWhite, std::string("\x01\x3F\x00\x00", 4)));
    EXPECT_EQ(four.PixelColor(0, 0), 0x0000FFu);
    EXPECT_EQ(four.PixelColor(1, 0), 0x00FF00u);
    EXPECT_EQ(four.PixelColor(2, 0), 0xFFFFFFu);
    EXPECT_EQ(four.PixelColor(3, 0), 0u);
}

TEST(BmpReader, DecodesRle8AndRle4) {
    // 4 x 2 RLE8: bottom row "run of 3 x index 1, absolute 1 pixel" then end
    // of line, top row delta (2, 0) then index 2 then end of bitmap.
    std::string rle8("\x03\x01\x00\x03\x02\x02\x02\x00\x00\x00\x00\x02\x02\x00\x01\x02\x00\x01", 18);
    TPixelImage img = DecodeBmp(MakeBmp(4, 2, 8, 1, RedGreenBlueWhite, rle8));
    EXPECT_EQ(img.PixelColor(0, 1), 0x00FF00u);
    EXPECT_EQ(img.PixelColor(2, 1), 0x00FF00u);
    EXPECT_EQ(img.PixelColor(3, 1), 0xFF0000u);
    EXPECT_EQ(img.PixelColor(0, 0), 0x0000FFu);  // untouched: colour 0
    EXPECT_EQ(img.PixelColor(2, 0), 0xFF0000u);
    // RLE4: run of 4 alternating 1,3 then absolute 0,2,3 on one 7-pixel row.
    std::string rle4("\x04\x13\x00\x03\x02\x30\x00\x01", 8);
    TPixelImage four = DecodeBmp(MakeBmp(7, 1, 4, 2, RedGreenBlueWhite, rle4));
    EXPECT_EQ(four.PixelColor(0, 0), 0x00FF00u);
    EXPECT_EQ(four.PixelColor(1, 0), 0xFFFFFFu);
    EXPECT_EQ(four.PixelColor(3, 0), 0xFFFFFFu);
    EXPECT_EQ(four.PixelColor(4, 0), 0x0000FFu);
    EXPECT_EQ(four.PixelColor(5, 0), 0xFF0000u);
    EXPECT_EQ(four.PixelColor(6, 0), 0xFFFFFFu);
    // A run cut off by the end of the file is an error, never a read past it.
    EXPECT_THROW(DecodeBmp(MakeBmp(4, 2, 8, 1, RedGreenBlueWhite, std::string("\x00\x05\x01\x02", 4))),
                 EInvalidGraphic);
}

TEST(BmpReader, RefusesTruncatedAndInconsistentFiles) {
    std::string good = EncodeBmp(Pattern(10, 10, 200));
    EXPECT_THROW(BmpFileLength(good.substr(0, good.size() - 1)), EInvalidGraphic);  // size field past the end
    EXPECT_THROW(DecodeBmp("BM"), EInvalidGraphic);
    EXPECT_THROW(DecodeBmp(std::string(100, 'x')), EInvalidGraphic);

    std::string shortSize = good;
    Put32(shortSize, 2, static_cast<uint32_t>(good.size() - 4));  // size field smaller than the pixels
    EXPECT_THROW(DecodeBmp(shortSize), EInvalidGraphic);
    std::string badOffset = good;
    Put32(badOffset, 10, 0x7FFFFFF0);
    EXPECT_THROW(DecodeBmp(badOffset), EInvalidGraphic);
    std::string huge = good;
    Put32(huge, 18, 1u << 30);
    EXPECT_THROW(DecodeBmp(huge), EInvalidGraphic);
    std::string depth = good;
    depth[28] = 7;
    EXPECT_THROW(DecodeBmp(depth), EInvalidGraphic);
    try {
        DecodeBmp(shortSize);
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("the file size field ends inside the pixel data"), std::string::npos)
            << e.what();
    }
}

TEST(BmpReader, EightBitRowsOfEveryWidthDecodeIntoReusedImages) {
    // Widths around the four-pixel steps; the image decoded into keeps
    // whatever an earlier, larger or smaller, picture left in it.
    TPixelImage reused = Pattern(50, 9, 7);
    for (int w = 1; w <= 13; ++w) {
        TPixelImage img = Pattern(w, 40, 200);  // more than 16 colours in every width
        std::string bmp = EncodeBmp(img);
        ASSERT_EQ(BitsOf(bmp), 8);
        EXPECT_EQ(DecodeBmp(bmp), img) << w;
        DecodeBmpInto(bmp, reused);
        EXPECT_EQ(reused, img) << w;
    }
}

// Other readers ignore the file-size field of a bitmap standing alone, and so
// does DecodeBmpFile; packages, which place bitmaps back to back, keep it.
TEST(BmpReader, AStandaloneFileIgnoresItsSizeField) {
    TPixelImage img = Pattern(10, 7, 200);
    std::string good = EncodeBmp(img);
    for (uint32_t field :
         {uint32_t{0}, uint32_t{54}, static_cast<uint32_t>(good.size() - 3), static_cast<uint32_t>(good.size() + 5)}) {
        std::string bmp = good;
        Put32(bmp, 2, field);
        EXPECT_EQ(DecodeBmpFile(bmp), img) << field;
    }
    EXPECT_THROW(DecodeBmpFile(good.substr(0, good.size() - 1)), EInvalidGraphic) << "the pixels are short";
    EXPECT_THROW(DecodeBmpFile("XM" + good.substr(2)), EInvalidGraphic);

    // The colour table's message only when the table itself is short; a size
    // field holding the header size is named as such.
    auto message = [](auto decode) {
        try {
            decode();
        } catch (const EInvalidGraphic& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    std::string headerSize = good;
    Put32(headerSize, 2, 54);
    EXPECT_EQ(message([&] { DecodeBmp(headerSize + "more"); }),
              "Bitmap image is not valid: the file size field ends inside the colour table");
    std::string cutTable = good.substr(0, 54 + 100);
    EXPECT_EQ(message([&] { DecodeBmpFile(cutTable); }), "Bitmap image is not valid: the colour table is truncated");
    std::string cutPixels = good.substr(0, good.size() - 10);
    EXPECT_EQ(message([&] { DecodeBmpFile(cutPixels); }), "Bitmap image is not valid: the pixel data is truncated");
}

// 16-bit pictures: 5-5-5 without compression, 5-6-5 and others through bit
// fields, each with and without a (never used) colour table.
TEST(BmpReader, SixteenBitPictures) {
    // Two pixels per row: white and a mix; rows of 4 bytes need no padding.
    auto pixels = [](uint16_t a, uint16_t b) {
        std::string row;
        for (uint16_t v : {a, b}) row += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        return row + row;  // two rows
    };
    const std::string table("\x10\x20\x30\x00\x40\x50\x60\x00", 8);
    for (bool withTable : {false, true}) {
        SCOPED_TRACE(withTable ? "with a table" : "without a table");
        // 5-5-5: red 31, green 16, blue 1.
        std::string rgb555 = MakeBmp(2, 2, 16, 0, withTable ? table : "", pixels(0x7FFF, (31 << 10) | (16 << 5) | 1));
        if (withTable) Put32(rgb555, 46, 2);
        TPixelImage a = DecodeBmpFile(rgb555);
        EXPECT_EQ(a.PixelColor(0, 0), 0xFFFFFFu);
        EXPECT_EQ(a.PixelColor(1, 1), (static_cast<uint32_t>(1 * 255 / 31) << 16) | ((16u * 255 / 31) << 8) | 255u);

        // 5-6-5 through bit fields: the masks follow the 40-byte header.
        std::string masks;
        for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
            for (int i = 0; i < 4; ++i) masks += static_cast<char>(m >> (8 * i));
        std::string rgb565 = MakeBmp(2, 2, 16, 3, "", pixels(0xFFFF, (31 << 11) | (32 << 5) | 0));
        rgb565.insert(54, masks + (withTable ? table : ""));
        Put32(rgb565, 10, static_cast<uint32_t>(54 + masks.size() + (withTable ? table.size() : 0)));
        if (withTable) Put32(rgb565, 46, 2);
        Put32(rgb565, 2, static_cast<uint32_t>(rgb565.size()));
        TPixelImage b = DecodeBmp(rgb565);
        EXPECT_EQ(b.PixelColor(0, 0), 0xFFFFFFu);
        EXPECT_EQ(b.PixelColor(1, 1), (32u * 255 / 63) << 8 | 255u);
    }
}

// A declared table of more than 256 entries: the first 256 are the colours.
TEST(BmpReader, ALargerDeclaredColourTableUsesTheFirst256) {
    TPixelImage img = Pattern(9, 5, 200);
    std::string bmp = EncodeBmp(img);
    ASSERT_EQ(BitsOf(bmp), 8);
    // More entries after those the picture uses, up to 300.
    size_t used = static_cast<uint8_t>(bmp[46]) | (static_cast<uint8_t>(bmp[47]) << 8);
    bmp.insert(54 + used * 4, std::string((300 - used) * 4, '\x7F'));
    Put32(bmp, 10, 54 + 300 * 4);
    Put32(bmp, 2, static_cast<uint32_t>(bmp.size()));
    Put32(bmp, 46, 300);
    EXPECT_EQ(DecodeBmp(bmp), img);
    Put32(bmp, 46, 100000);
    EXPECT_EQ(DecodeBmp(bmp), img);
}

// Compression 3 in the second OS/2 header is Huffman coding, not bit fields.
TEST(BmpReader, OS2HuffmanIsRefusedByName) {
    std::string s = MakeBmp(8, 1, 1, 3, std::string("\0\0\0\0\xFF\xFF\xFF\0", 8), std::string(4, '\0'));
    // The 64-byte header: 24 more bytes after the first 40.
    s.insert(54, std::string(24, '\0'));
    Put32(s, 14, 64);
    Put32(s, 10, 54 + 24 + 8);
    Put32(s, 2, static_cast<uint32_t>(s.size()));
    try {
        DecodeBmp(s);
        FAIL() << "decoded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()), "Bitmap image is not valid: OS/2 Huffman compression is not supported");
    }
}

// An absolute RLE4 run of odd length above 3 (5 pixels: 3 bytes, padded to
// 4) followed by more data: a wrong byte count would misread what follows.
TEST(BmpReader, OddRle4AbsoluteRunIsFollowedCorrectly) {
    std::string rle4(
        "\x00\x05\x01\x23\x20\x00"
        "\x04\x31"
        "\x00\x01",
        10);
    TPixelImage img = DecodeBmp(MakeBmp(9, 1, 4, 2, RedGreenBlueWhite, rle4));
    const uint32_t red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000, white = 0xFFFFFF;
    const uint32_t expected[9] = {red, green, blue, white, blue, white, green, white, green};
    for (int x = 0; x < 9; ++x) EXPECT_EQ(img.PixelColor(x, 0), expected[x]) << x;
}
