#include "crash/PngEncoder.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "core/Errors.h"

namespace {
const std::array<uint32_t, 256>& CrcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void PutU32(std::string& out, uint32_t v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutU32(out, Crc32(body.data(), body.size()));
}

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Filters one row with each of the five PNG filters and keeps the one with
// the smallest sum of absolute values, the usual heuristic for photos and
// screen content alike.
void FilterRow(const uint8_t* row, const uint8_t* prior, size_t size, std::string& out) {
    std::vector<uint8_t> best, trial(size);
    long bestScore = -1;
    for (int filter = 0; filter < 5; ++filter) {
        long score = 0;
        for (size_t i = 0; i < size; ++i) {
            int a = i >= 3 ? row[i - 3] : 0, b = prior ? prior[i] : 0, c = i >= 3 && prior ? prior[i - 3] : 0;
            int predictor = filter == 0   ? 0
                            : filter == 1 ? a
                            : filter == 2 ? b
                            : filter == 3 ? (a + b) / 2
                                          : Paeth(a, b, c);
            uint8_t v = static_cast<uint8_t>(row[i] - predictor);
            trial[i] = v;
            score += v < 128 ? v : 256 - v;
        }
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            best.assign(trial.begin(), trial.end());
            best.insert(best.begin(), static_cast<uint8_t>(filter));
        }
    }
    out.append(reinterpret_cast<const char*>(best.data()), best.size());
}
}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
    const auto& table = CrcTable();
    const uint8_t* p = static_cast<const uint8_t*>(data);
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string EncodePng(const uint8_t* pixels, int width, int height, int stride) {
    // Limits far above any screen keep the size arithmetic below in range.
    if (width <= 0 || height <= 0 || width > 65536 || height > 65536 || stride < width * 3)
        throw Exception("Invalid screenshot size.");
    size_t rowSize = static_cast<size_t>(width) * 3;
    std::string raw;
    raw.reserve((rowSize + 1) * height);
    std::vector<uint8_t> rgb(rowSize), prior(rowSize);
    for (int y = 0; y < height; ++y) {
        const uint8_t* bgr = pixels + static_cast<size_t>(y) * stride;
        for (size_t x = 0; x < rowSize; x += 3) {
            rgb[x] = bgr[x + 2];
            rgb[x + 1] = bgr[x + 1];
            rgb[x + 2] = bgr[x];
        }
        FilterRow(rgb.data(), y > 0 ? prior.data() : nullptr, rowSize, raw);
        prior.swap(rgb);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        throw Exception("Cannot compress the screenshot.");
    packed.resize(packedSize);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutU32(header, static_cast<uint32_t>(width));
    PutU32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, adaptive filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return png;
}
