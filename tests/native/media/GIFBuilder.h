#pragma once
// Writes small GIF files byte by byte, for cases no picture tool produces:
// unknown extensions, odd code sizes, damaged code streams.
#include <cstdint>
#include <string>
#include <vector>

class GIFBuilder {
public:
    explicit GIFBuilder(int width, int height, int globalColors = 4, const char* version = "GIF89a") {
        Bytes += version;
        Word(width);
        Word(height);
        int bits = 0;
        while ((2 << bits) < globalColors) ++bits;
        Bytes += static_cast<char>(globalColors ? 0x80 | bits : 0);
        Bytes += '\0';  // background index
        Bytes += '\0';
        for (int i = 0; i < (globalColors ? 2 << bits : 0); ++i) Color(i);
    }

    GIFBuilder& GraphicControl(int disposal, int delay, int transparent = -1) {
        Bytes += "\x21\xF9\x04";
        Bytes += static_cast<char>((disposal << 2) | (transparent >= 0 ? 1 : 0));
        Word(delay);
        Bytes += static_cast<char>(transparent >= 0 ? transparent : 0);
        Bytes += '\0';
        return *this;
    }
    GIFBuilder& Extension(uint8_t label, const std::string& data) {
        Bytes += '!';
        Bytes += static_cast<char>(label);
        Blocks(data);
        return *this;
    }
    GIFBuilder& Application(const std::string& id, const std::string& firstBlock) {
        Bytes += "\x21\xFF";
        Bytes += static_cast<char>(id.size());
        Bytes += id;
        Blocks(firstBlock);
        return *this;
    }
    // An image of the given indexes, coded with literal codes only.
    GIFBuilder& Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                      int codeSize = 2, int localColors = 0) {
        Descriptor(left, top, width, height, localColors);
        Bytes += static_cast<char>(codeSize);
        Blocks(LiteralCodes(pixels, codeSize));
        return *this;
    }
    GIFBuilder& Descriptor(int left, int top, int width, int height, int localColors = 0) {
        Bytes += ',';
        Word(left);
        Word(top);
        Word(width);
        Word(height);
        int bits = 0;
        while ((2 << bits) < localColors) ++bits;
        Bytes += static_cast<char>(localColors ? 0x80 | bits : 0);
        for (int i = 0; i < (localColors ? 2 << bits : 0); ++i) Color(255 - i);
        return *this;
    }
    GIFBuilder& Raw(const std::string& bytes) {
        Bytes += bytes;
        return *this;
    }
    std::string Trailer() const { return Bytes + ";"; }

    // Codes of `codeSize` + 1 bits: a clear code, then literals, clearing
    // again before the code width would grow.
    static std::string LiteralCodes(const std::vector<uint8_t>& pixels, int codeSize) {
        std::string out;
        uint32_t acc = 0;
        int n = 0, width = codeSize + 1, clear = 1 << codeSize;
        auto put = [&](int code) {
            acc |= static_cast<uint32_t>(code) << n;
            n += width;
            while (n >= 8) {
                out += static_cast<char>(acc & 0xFF);
                acc >>= 8;
                n -= 8;
            }
        };
        int run = 0;
        for (uint8_t p : pixels) {
            if (run == 0) put(clear);
            put(p);
            if (++run == clear - 2) run = 0;
        }
        put(clear + 1);
        if (n) out += static_cast<char>(acc & 0xFF);
        return out;
    }

    std::string Bytes;

private:
    void Word(int v) {
        Bytes += static_cast<char>(v & 0xFF);
        Bytes += static_cast<char>((v >> 8) & 0xFF);
    }
    void Color(int i) {
        Bytes += static_cast<char>(i * 40);
        Bytes += static_cast<char>(i * 20);
        Bytes += static_cast<char>(i * 10);
    }
    void Blocks(const std::string& data) {
        for (size_t i = 0; i < data.size(); i += 255) {
            size_t n = std::min<size_t>(255, data.size() - i);
            Bytes += static_cast<char>(n);
            Bytes += data.substr(i, n);
        }
        Bytes += '\0';
    }
};
