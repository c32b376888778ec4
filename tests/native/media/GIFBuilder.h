#pragma once
// Writes small GIF files byte by byte, for cases no picture tool produces:
// unknown extensions, odd code sizes, damaged code streams.
#include <cstdint>
#include <map>
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
    GIFBuilder& Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels, int codeSize = 2,
                      int localColors = 0) {
        Descriptor(left, top, width, height, localColors);
        Bytes += static_cast<char>(codeSize);
        Blocks(LiteralCodes(pixels, codeSize));
        return *this;
    }
    // The same, LZW-compressed.
    GIFBuilder& Compressed(int left, int top, int width, int height, const std::vector<uint8_t>& pixels, int codeSize,
                           bool interlaced = false) {
        Descriptor(left, top, width, height);
        if (interlaced) Bytes.back() = static_cast<char>(Bytes.back() | 0x40);
        Bytes += static_cast<char>(codeSize);
        Blocks(LZWCodes(pixels, codeSize));
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
        CodeWriter out;
        int width = codeSize + 1, clear = 1 << codeSize;
        auto put = [&](int code) { out.Put(code, width); };
        int run = 0;
        for (uint8_t p : pixels) {
            if (run == 0) put(clear);
            put(p);
            if (++run == clear - 2) run = 0;
        }
        put(clear + 1);
        return out.Finish();
    }

    // A real LZW code stream of the indexes for any initial code size 1 … 11:
    // strings grow in a table of up to 4096 codes, the code width follows the
    // decoder's (it grows once the next free code no longer fits, at most to
    // 12 bits), and a clear code starts over when the table is full.
    static std::string LZWCodes(const std::vector<uint8_t>& pixels, int codeSize) {
        CodeWriter out;
        const int clear = 1 << codeSize;
        int width = codeSize + 1, next = clear + 2, emitted = 0;
        std::map<std::pair<int, uint8_t>, int> table;
        auto bits = [&](int code) { out.Put(code, width); };
        // The decoder adds a code for every code after the first since a
        // clear, and widens once the next free one no longer fits.
        auto emit = [&](int code) {
            bits(code);
            if (emitted++ > 0 && next < 4096) ++next;
            if (next >= (1 << width) && width < 12) ++width;
        };
        auto restart = [&] {
            bits(clear);
            table.clear();
            width = codeSize + 1;
            next = clear + 2;
            emitted = 0;
        };
        restart();
        int current = -1;
        for (uint8_t p : pixels) {
            if (current < 0) {
                current = p;
                continue;
            }
            auto found = table.find({current, p});
            if (found != table.end()) {
                current = found->second;
                continue;
            }
            emit(current);
            // The code the decoder adds when it reads the next code.
            if (next >= 4095)
                restart();
            else
                table[{current, p}] = next;
            current = p;
        }
        if (current >= 0) emit(current);
        bits(clear + 1);
        return out.Finish();
    }

    std::string Bytes;

private:
    // Codes packed from the least significant bit up, as the format stores
    // them.
    struct CodeWriter {
        std::string Out;
        uint64_t Acc = 0;
        int N = 0;
        void Put(int code, int width) {
            Acc |= static_cast<uint64_t>(code) << N;
            N += width;
            while (N >= 8) {
                Out += static_cast<char>(Acc & 0xFF);
                Acc >>= 8;
                N -= 8;
            }
        }
        std::string Finish() {
            if (N) Out += static_cast<char>(Acc & 0xFF);
            return Out;
        }
    };

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
