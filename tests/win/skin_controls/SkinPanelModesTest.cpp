// Panel, gauge, bevel, label and splitter modes the planner's windows do
// not use: the caption glyph and check box of the plain panel, the
// vertical gauge and its turned text, the bevel's divider, the labels'
// accelerator, wrapping, layout and fonts, and the splitter's plain size.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/controls/vlSkinCtrls.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"

namespace {

class SkinPanelModes : public SkinnedFormTest {
protected:
    SkinPanelModes() : SkinnedFormTest("Panel modes", 420, 320, false) {}
};

// The client area of a window as painted now, children included.
struct TShot {
    explicit TShot(TWinControl* c) : Bitmap(c->ClientWidth(), c->ClientHeight()) {
        SendMessageA(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Bitmap.DC()), PRF_CLIENT);
    }
    COLORREF At(int x, int y) const { return GetPixel(Bitmap.DC(), x, y); }
    // The box around the pixels in `r` that are darker than `limit`.
    RECT Ink(const RECT& r, int limit = 200) const {
        RECT box{r.right, r.bottom, r.left, r.top};
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                COLORREF c = At(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) >= limit) continue;
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        return box;
    }
    TBitmap Bitmap;
};

// A strip of two 10 x 10 cells: red, then blue; each cell's bottom-left
// pixel (magenta) is its see-through colour.
TvlFBitmap TwoCellGlyph() {
    TvlFBitmap strip(20, 10);
    strip.Fill(RGB(200, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x) strip.SetPixel(x, y, RGB(0, 0, 200));
    strip.SetPixel(0, 9, RGB(255, 0, 255));
    strip.SetPixel(10, 9, RGB(255, 0, 255));
    return strip;
}

}  // namespace

TEST_F(SkinPanelModes, PlainPanelCaptionShowsGlyphCheckBoxAndArrow) {
    auto* panel = new TvlSkinPanel(Form, Form);
    panel->SetBounds(10, 10, 200, 120);
    panel->SetCaptionMode(true);
    panel->SetGlyph(TwoCellGlyph());
    panel->SetNumGlyphs(2);
    Form->Show();
    // Left aligned: two pixels into the text area, vertically centred.
    EXPECT_EQ(TShot(panel).At(4 + 5, 11), RGB(200, 0, 0));
    EXPECT_NE(TShot(panel).At(4 + 12, 11), RGB(200, 0, 0)) << "one cell only";
    panel->SetEnabled(false);
    EXPECT_EQ(TShot(panel).At(4 + 5, 11), RGB(0, 0, 200)) << "the disabled cell";
    panel->SetEnabled(true);
    panel->SetNumGlyphs(1);  // one cell of the whole strip's width
    EXPECT_EQ(TShot(panel).At(4 + 15, 11), RGB(0, 0, 200));
    panel->SetNumGlyphs(2);
    // Centred with the caption: glyph, Spacing, text as one block.
    panel->SetDefaultAlignment(taCenter);
    panel->SetSpacing(6);
    int blockLeft = 2 + (196 - 16) / 2;  // glyph 10 and Spacing 6 in the text area
    EXPECT_EQ(TShot(panel).At(blockLeft + 5, 11), RGB(200, 0, 0));
    EXPECT_NE(TShot(panel).At(4 + 5, 11), RGB(200, 0, 0));
    panel->SetDefaultAlignment(taLeftJustify);
    // The check box in the caption: the bar's button colours inside, the
    // mark in the button-text colour; the text area moves right by 20.
    panel->SetCheckedMode(true);
    TShot unchecked(panel);
    EXPECT_EQ(unchecked.At(6, 5), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
    EXPECT_EQ(unchecked.At(5, 10), static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(unchecked.At(24 + 5, 11), RGB(200, 0, 0));
    ui::ClickAt(panel->Handle(), 100, 10);
    ASSERT_TRUE(panel->Checked());
    EXPECT_EQ(TShot(panel).At(10, 11), static_cast<COLORREF>(ColorToRGB(clBtnText)));
    // The roll-up arrow takes the bar's last ten pixels.
    panel->SetRollUpMode(true);
    RECT arrow = TShot(panel).Ink(RECT{200 - 2 - 10, 3, 200 - 2, 19});
    EXPECT_LT(arrow.left, arrow.right) << "an arrow is drawn";
}

TEST_F(SkinPanelModes, VerticalGaugeTurnsItsShapeElementAndText) {
    auto* gauge = new TvlSkinGauge(Form, Form, 10, 10, 120, 24);
    gauge->SetShowPercent(true);
    gauge->SetValue(50);
    Form->Show();
    RECT flat = TShot(gauge).Ink(RECT{1, 1, 119, 23}, 150);
    ASSERT_LT(flat.left, flat.right);
    EXPECT_GT(flat.right - flat.left, flat.bottom - flat.top) << "upright text is wider than tall";

    gauge->SetVertical(true);
    EXPECT_EQ(gauge->SkinDataName, "vgauge");
    EXPECT_EQ(gauge->Width(), 24);
    EXPECT_EQ(gauge->Height(), 120);
    TShot shot(gauge);
    RECT turned = shot.Ink(RECT{1, 1, 23, 119}, 150);
    ASSERT_LT(turned.left, turned.right);
    EXPECT_GT(turned.bottom - turned.top, turned.right - turned.left) << "the turned text is taller than wide";
    // The bar fills the lower half, from the bottom up.
    EXPECT_EQ(shot.At(12, 110), RGB(182, 189, 210));
    EXPECT_NE(shot.At(3, 10), RGB(182, 189, 210));

    // The skin's vertical element fits it; turning back restores the name.
    LoadSkin();
    gauge->SetSkinData(Skin);
    EXPECT_GE(gauge->ElementIndex(), 0);
    EXPECT_TRUE(gauge->Vertical());
    EXPECT_GT(gauge->Height(), gauge->Width());
    gauge->SetVertical(false);
    EXPECT_EQ(gauge->SkinDataName, "gauge");
    EXPECT_GT(gauge->Width(), gauge->Height());
}

TEST_F(SkinPanelModes, BevelDividerLabelsAndSplitter) {
    // The divider: a two-pixel bevel through the middle, across the shape.
    auto* box = new TvlSkinBevel(Form, Form, 10, 10, 100, 40);
    box->DividerMode = true;
    auto* line = new TvlSkinBevel(Form, Form, 10, 60, 100, 40);
    line->Shape = bsTopLine;
    line->DividerMode = true;
    Form->Show();
    COLORREF dark = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
    {
        TShot shot(Form);
        EXPECT_EQ(shot.At(10 + 49, 10 + 20), dark);
        EXPECT_EQ(shot.At(10 + 50, 10 + 20), light);
        EXPECT_NE(shot.At(10 + 10, 10 + 20), dark) << "no box around it";
        EXPECT_EQ(shot.At(10 + 50, 60 + 19), dark);
        EXPECT_EQ(shot.At(10 + 50, 60 + 20), light);
        EXPECT_NE(shot.At(10 + 50, 60), dark) << "no line at the top";
    }
    box->Style = bsRaised;
    box->Invalidate();
    EXPECT_EQ(TShot(Form).At(10 + 49, 10 + 20), light);

    // A lone "&" is measured as a blank while it marks an accelerator.
    auto width = [&](const char* caption, bool accel) {
        auto* l = new TvlSkinStdLabel(Form, Form, caption, 10, 120);
        l->SetShowAccelChar(accel);
        int w = l->Width();
        delete l;
        return w;
    };
    EXPECT_EQ(width("&", true), width(" ", true));
    EXPECT_NE(width("&", false), width(" ", false));
    EXPECT_EQ(width("&Name", true), width("Name", true));
    EXPECT_GT(width("&Name", false), width("Name", false));

    // Word wrap keeps the width and grows the lines.
    auto* wrapped = new TvlSkinStdLabel(Form, Form, "one two three four five six seven", 200, 120);
    int oneLine = wrapped->Height();
    wrapped->SetBounds(200, 120, 60, oneLine);
    wrapped->SetWordWrap(true);
    EXPECT_EQ(wrapped->Width(), 60);
    EXPECT_GE(wrapped->Height(), 3 * oneLine);

    // Layout puts the text at the top, middle or bottom.
    auto* placed = new TvlSkinStdLabel(Form, Form, "Mid", 300, 200);
    placed->AutoSize = false;
    placed->SetBounds(300, 200, 80, 90);
    auto inkTop = [&] { return TShot(Form).Ink(RECT{300, 200, 380, 290}).top - 200; };
    int top = inkTop();
    placed->SetLayout(tlCenter);
    int middle = inkTop();
    placed->SetLayout(tlBottom);
    int bottom = inkTop();
    EXPECT_LT(top, 20);
    EXPECT_GT(middle, top + 20);
    EXPECT_GT(bottom, middle + 20);

    // The label's plain font is its own, not its parent's.
    Form->Font = TFont("Courier New", 20);
    auto* own = new TvlSkinStdLabel(Form, Form, "Own", 10, 250);
    EXPECT_EQ(own->Font.Name(), "Courier New");
    EXPECT_EQ(own->DefaultFont.Name(), TFont().Name());
    EXPECT_EQ(own->DefaultFont.Height(), TFont().Height());
    EXPECT_EQ(own->TextFont().Name(), TFont().Name());

    // The link label underlines without an element and the element's font;
    // Font itself is used as it is.
    auto* link = new TvlSkinLinkLabel(Form, Form, "Link", 100, 250);
    link->UseSkinFont = false;
    link->Font = TFont("Arial", 14);
    EXPECT_TRUE(link->TextFont().Style() & fsUnderline) << "no element";
    LoadSkin();
    link->SetSkinData(Skin);
    EXPECT_FALSE(link->TextFont().Style() & fsUnderline) << "Font with an element";
    link->UseSkinFont = true;
    EXPECT_TRUE(link->TextFont().Style() & fsUnderline);

    // The splitter's plain size is 10, whatever it was made with.
    auto* splitter = new TvlSkinSplitter(Form, Form, 4);
    EXPECT_EQ(splitter->DefaultSize, 10);
    splitter->SkinChanged();
    EXPECT_EQ(splitter->Width(), 10);
    EXPECT_EQ(splitter->MinSize, 10);
}
