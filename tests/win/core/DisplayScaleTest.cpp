// The display scale seam: the DPI a window is drawn at and the rounding
// that turns 96-DPI lengths into lengths at that DPI.
#include <gtest/gtest.h>

#include "core/DisplayScale.h"

TEST(DisplayScale, LengthsScaleHalfAwayFromZeroAndStayAsWrittenAt96) {
    for (int v : {-13, -1, 0, 1, 7, 13, 255}) EXPECT_EQ(ScaleForDpi(v, 96), v);
    EXPECT_EQ(ScaleForDpi(7, 144), 11);  // 10.5
    EXPECT_EQ(ScaleForDpi(-7, 144), -11);
    EXPECT_EQ(ScaleForDpi(5, 120), 6);  // 6.25
    EXPECT_EQ(ScaleForDpi(13, 192), 26);
    EXPECT_EQ(ScaleForDpi(3, 72), 2);  // 2.25, a smaller display
    // Font heights round toward zero: the text stays inside the boxes scaled
    // with it, whatever the sign of the height.
    for (int h : {-11, -13, 8, 14}) EXPECT_EQ(ScaleFontForDpi(h, 96), h);
    EXPECT_EQ(ScaleFontForDpi(-11, 144), -16);  // -16.5
    EXPECT_EQ(ScaleFontForDpi(11, 144), 16);
    EXPECT_EQ(ScaleFontForDpi(-11, 120), -13);  // -13.75
    EXPECT_EQ(ScaleFontForDpi(-11, 192), -22);
}

TEST(DisplayScale, TheSystemAnswersAndATestCanShowWindowsAtAnotherScale) {
    // Without a declared awareness the platform reports the design DPI.
    EXPECT_EQ(SystemDpi(), kDesignDpi);
    HWND desktop = GetDesktopWindow();
    EXPECT_EQ(WindowDpi(desktop), kDesignDpi);
    {
        TFixedDisplayDpi fixed(144);
        TServiceOverride<TDisplayDpi> over(fixed);
        EXPECT_EQ(WindowDpi(desktop), 144);
        EXPECT_EQ(SystemDpi(), 144);
        fixed.SetDpi(192);
        EXPECT_EQ(WindowDpi(desktop), 192);
    }
    EXPECT_EQ(WindowDpi(desktop), kDesignDpi);
}
