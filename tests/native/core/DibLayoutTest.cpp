// The one row-stride formula every bitmap in the program uses.
#include <gtest/gtest.h>

#include "core/DibLayout.h"
#include "core/PixelImage.h"

TEST(DibLayout, RowsArePaddedToFourBytesAtEveryDepth) {
    for (int w = 1; w <= 64; ++w) {
        const int bytes24 = w * 3;
        EXPECT_EQ(DibRowStride(w, 24), bytes24 + (4 - bytes24 % 4) % 4) << w;
        EXPECT_EQ(DibRowStride(w, 24) % 4, 0) << w;
        EXPECT_EQ(DibRowStride(w, 32), w * 4) << w;
        EXPECT_EQ(DibRowStride(w, 8), (w + 3) / 4 * 4) << w;
        EXPECT_EQ(DibRowStride(w, 1), (w + 31) / 32 * 4) << w;
        EXPECT_EQ(TPixelImage::StrideFor(w), DibRowStride(w, 24)) << w;
    }
    EXPECT_EQ(DibRowStride(0, 24), 0);
    EXPECT_EQ(DibRowStride(-3, 24), 0);
    // Widths read from a file do not overflow in size_t.
    EXPECT_EQ(DibRowBytes(size_t{1} << 31, 32), size_t{1} << 33);
}
