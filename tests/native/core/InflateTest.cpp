#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "core/Inflate.h"

namespace {
std::string Deflate(const std::string& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    out.resize(size);
    return out;
}
}  // namespace

// Streams longer than one output block, the size limit exactly, and streams
// that are damaged or stop short.
TEST(Inflate, WholeStreamsWithinTheLimitOnly) {
    std::string raw;
    for (int i = 0; i < 100000; ++i) raw += static_cast<char>('a' + i * 7 % 26);
    std::string packed = Deflate(raw);
    EXPECT_EQ(InflateAll(packed, raw.size()), raw);
    EXPECT_FALSE(InflateAll(packed, raw.size() - 1));
    EXPECT_EQ(InflateAll(Deflate(""), 0), "");

    EXPECT_FALSE(InflateAll(packed.substr(0, packed.size() - 5), raw.size()));
    EXPECT_FALSE(InflateAll("", 100));
    EXPECT_FALSE(InflateAll("not zlib at all", 100));
    std::string damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_FALSE(InflateAll(damaged, raw.size() * 2));
}
