// The gallery of every skinned button, check box, panel, label and gauge
// mode: pictures without a skin, in "Modern" and in "Graphite", and a
// thousand skin switches over it that give back every GDI object and timer.
#include <gtest/gtest.h>

#include "core/DisplayScale.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/form/Lacquer.h"
#include "tests/win/skin_controls/SkinGallery.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"

namespace {

class SkinGalleryTest : public SkinnedFormTest {
protected:
    SkinGalleryTest() : SkinnedFormTest("Skinned controls", 800, 530, false) {}
    void SetUp() override {
        SkinnedFormTest::SetUp();
        InstallSkinMessages();
    }
    void Paint() { RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }
};

}  // namespace

TEST_F(SkinGalleryTest, PicturesWithoutASkinInModernAndInGraphite) {
    TSkinGallery gallery(Form, Skin);
    // The frame gives the form the skin's background, as a program's forms have it.
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(Skin);
    Form->Show();
    ASSERT_GT(gallery.Controls.size(), 50u);
    ui::SaveScreenshot(Form->Handle(), "controls-gallery-none");
    auto* button = dynamic_cast<TvlSkinButton*>(gallery.Controls.front());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->ElementIndex(), -1);

    LoadSkin();
    EXPECT_GE(button->ElementIndex(), 0) << "the skin reached the gallery through the relay";
    ui::SaveScreenshot(Form->Handle(), "controls-gallery-modern");

    Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    ASSERT_FALSE(Skin->IsEmpty());
    EXPECT_EQ(Skin->SkinName, "Graphite");
    EXPECT_GE(button->ElementIndex(), 0);
    ui::SaveScreenshot(Form->Handle(), "controls-gallery-graphite");
    // Back to the built-in skin: a framed form of a later test in this
    // process otherwise comes out 8 pixels shorter (see the frame's notes).
    LoadSkin();
}

TEST_F(SkinGalleryTest, PicturesAt150And200PercentInModernAndInGraphite) {
    TFixedDisplayDpi dpi(kDesignDpi);
    TServiceOverride<TDisplayDpi> useDpi(dpi);
    Skin->SetDpi(kDesignDpi);
    // The built-in skin with its drawings for other scales, as the program carries it.
    UseBuiltInSkin(*Stored);
    TSkinGallery gallery(Form, Skin);
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(Skin);
    Form->Show();
    struct TPlace {
        TControl* Control;
        int Left, Top, Width, Height;
    };
    std::vector<TPlace> places;
    for (TControl* c : gallery.Controls) places.push_back({c, c->Left(), c->Top(), c->Width(), c->Height()});
    RECT window;
    GetWindowRect(Form->Handle(), &window);
    for (int scale : {144, 192}) {
        for (const char* look : {"modern", "graphite"}) {
            dpi.SetDpi(scale);
            if (std::string(look) == "graphite")
                Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
            else
                LoadSkin();
            Skin->SetDpi(scale);
            ASSERT_EQ(Skin->Dpi(), scale);
            // The gallery laid out at the scale, as the forms lay themselves out.
            for (const TPlace& p : places)
                p.Control->SetBounds(ScaleForDpi(p.Left, scale), ScaleForDpi(p.Top, scale),
                                     ScaleForDpi(p.Width, scale), ScaleForDpi(p.Height, scale));
            // At the screen's top left, so that as much as the virtual screen
            // holds is on it (at 200 % the gallery is larger than the screen).
            SetWindowPos(Form->Handle(), nullptr, 0, 0, ScaleForDpi(window.right - window.left, scale),
                         ScaleForDpi(window.bottom - window.top, scale), SWP_NOZORDER);
            ui::Pump(20);
            RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
            ui::SaveScreenshot(Form->Handle(), std::string("controls-gallery-") + look + "-" + std::to_string(scale));
        }
    }
    dpi.SetDpi(kDesignDpi);
    Skin->SetDpi(kDesignDpi);
    LoadSkin();
}

TEST_F(SkinGalleryTest, AThousandSkinSwitchesGiveBackEveryGdiObjectAndTimer) {
    TSkinGallery gallery(Form, Skin);
    Form->Show();
    // Each look painted once first: glyphs keep the device context they
    // are first drawn from.
    Paint();
    Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    Paint();
    LoadSkin();
    Paint();
    ui::Pump(20);
    TLeakCheck leaks;
    int windows = ThreadWindowCount();
    for (int i = 0; i < 1000; ++i) {
        switch (i % 4) {
            case 0: Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE); break;
            case 1: Skin->ClearSkin(); break;
            default: Skin->LoadStoredSkin(Stored.get()); break;
        }
        // A whole repaint of the gallery costs a third of a second: every
        // 125th switch paints, which comes round to each of the three looks.
        if (i % 125 == 0) Paint();
    }
    ASSERT_FALSE(Skin->IsEmpty());
    Paint();
    ui::Pump(20);
    leaks.ExpectNone("1,000 skin switches over the gallery");
    EXPECT_EQ(ThreadWindowCount(), windows);
}
