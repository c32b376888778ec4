// A disabled sheet's tab picture is dimmed to light greys, skinned and plain;
// enabling the sheet again brings its colours back.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "toolkit/ComCtrls.h"

TEST_F(WidgetTest, ADisabledSheetsTabPictureIsDimmedToLightGreys) {
    // Tab n shows a picture while the list has more than n: red and blue.
    TImageList images(nullptr, 16, 16);
    for (uint32_t colour : {0x0000FFu, 0xFF0000u}) {
        TvlFBitmap square(16, 16);
        square.Fill(colour);
        TGdiBitmap copy(static_cast<HBITMAP>(CopyImage(square.Handle(), IMAGE_BITMAP, 0, 0, 0)));
        images.Add(copy.Handle());
    }
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        auto* pages = new TvlSkinPageControl(Form, Form, tpTop);
        pages->SetBounds(10, 10, 400, 150);
        if (skinned) pages->SetSkinData(Skin);
        for (const char* c : {"Tasks", "Calendar"}) pages->AddSheet(c);
        pages->Pages(1)->ImageIndex = 0;
        pages->SetImages(&images);
        Form->Show();
        ui::Pump(20);
        // Pixels of tab 1 by kind: the red of the picture, and light greys
        // that none of the tab's own look has.
        auto tally = [&](int& red, int& lightGrey) {
            TvlFBitmap look = Shot(pages);
            TRect r = pages->TabRect(1);
            red = lightGrey = 0;
            for (int y = std::max(0, r.Top); y < r.Bottom; ++y)
                for (int x = std::max(0, r.Left); x < r.Right; ++x) {
                    uint32_t c = look.Pixel(x, y);
                    red += c == 0x0000FF;
                    int b = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, rr = c & 0xFF;
                    // The dimmed red: grey 76 → 128 + 38.
                    lightGrey += rr == g && g == b && rr == 128 + 76 / 2;
                }
        };
        int red = 0, grey = 0;
        tally(red, grey);
        EXPECT_EQ(red, 256) << "an enabled sheet's picture keeps its colours";
        int greyBefore = grey;
        pages->Pages(1)->SetEnabled(false);
        pages->Invalidate();
        ui::Pump(20);
        tally(red, grey);
        EXPECT_EQ(red, 0) << "no colour of the picture is left on a disabled sheet's tab";
        EXPECT_EQ(grey - greyBefore, 256) << "every pixel of the picture turned to its light grey";
        pages->Pages(1)->SetEnabled(true);
        pages->Invalidate();
        ui::Pump(20);
        tally(red, grey);
        EXPECT_EQ(red, 256);
        pages->SetImages(nullptr);
        delete pages;
    }
}
