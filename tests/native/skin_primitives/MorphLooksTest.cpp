#include <gtest/gtest.h>

#include "skin/data/vlMorphLooks.h"
#include "tests/common/Pictures.h"

TEST(MorphLooks, EveryTickDrawsWhatTheMorphDrawsFirstTimeAndAgain) {
    const TvlFBitmap from = Random(37, 11, 1), to = Random(37, 11, 2);
    for (int kind = mkDefault; kind <= mkPush; ++kind) {
        TvlMorphLooks looks;
        looks.Start(from, to, kind);
        ASSERT_TRUE(looks.Started(37, 11));
        EXPECT_FALSE(looks.Started(37, 12));
        // In and out through the fifths, then a factor of its own: the
        // frames kept from the way in must be the ones the morph draws.
        for (double k : {0.2, 0.4, 0.6, 0.8, 0.6, 0.4, 0.2, 0.37}) {
            TvlEffectBmp expected(from.View());
            expected.MorphKind(kind, to, k);
            TvlFBitmap out;
            looks.Draw(k, out);
            ASSERT_EQ(out, expected) << "kind " << kind << " k " << k;
        }
    }
}

TEST(MorphLooks, NewLooksForgetTheOldFramesAndMismatchedLooksStartNothing) {
    const TvlFBitmap a = Random(9, 4, 3), b = Random(9, 4, 4), c = Random(9, 4, 5);
    TvlMorphLooks looks;
    looks.Start(a, b, mkDefault);
    TvlFBitmap first, second;
    looks.Draw(0.4, first);
    looks.Start(a, c, mkDefault);  // the same factor, another look reached
    looks.Draw(0.4, second);
    TvlEffectBmp expected(a.View());
    expected.MorphKind(mkDefault, c, 0.4);
    EXPECT_EQ(second, expected);
    EXPECT_FALSE(second == first);

    looks.Start(a, Random(8, 4, 6), mkDefault);
    EXPECT_FALSE(looks.Started(9, 4));
    TvlFBitmap untouched = c;
    looks.Draw(0.4, untouched);
    EXPECT_EQ(untouched, c);
    looks.Start(a, b, mkDefault);
    looks.Clear();
    EXPECT_FALSE(looks.Started(9, 4));
}
