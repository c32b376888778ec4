#include <gtest/gtest.h>

#include <string>

#include "core/Inflate.h"

// Streams longer than one output block, the size limit exactly, and streams
// that are damaged or stop short; packing shrinks repetitive bytes.
TEST(Inflate, WholeStreamsWithinTheLimitOnly) {
    std::string raw;
    for (int i = 0; i < 100000; ++i) raw += static_cast<char>('a' + i * 7 % 26);
    std::string packed = DeflateAll(raw).value();
    EXPECT_LT(packed.size(), raw.size() / 100);
    EXPECT_EQ(InflateAll(packed, raw.size()), raw);
    EXPECT_FALSE(InflateAll(packed, raw.size() - 1));
    EXPECT_EQ(InflateAll(DeflateAll("").value(), 0), "");

    EXPECT_FALSE(InflateAll(packed.substr(0, packed.size() - 5), raw.size()));
    EXPECT_FALSE(InflateAll("", 100));
    EXPECT_FALSE(InflateAll("not zlib at all", 100));
    std::string damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_FALSE(InflateAll(damaged, raw.size() * 2));
}
