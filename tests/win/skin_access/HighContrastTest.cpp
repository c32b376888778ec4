// High contrast: with the system's setting on, the skin steps aside at
// once in the main window and its dialogs (frame, controls, menus) and comes
// back when the setting goes off; the frame keeps working meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/access/vlHighContrast.h"
#include "skin/form/vlFormAccess.h"
#include "tests/win/app/PlannerFixture.h"
#include "tests/win/skin_access/AccessReading.h"

using namespace msaa;

namespace {
class TFakeSettings : public TSystemSettings {
public:
    bool On = false;
    bool HighContrast() override { return On; }
};

class HighContrastTest : public PlannerTest {
protected:
    void SetUp() override {
        PlannerTest::SetUp();
        vlInstallAccessibility();
        vlRefreshHighContrast();
    }
    void TearDown() override {
        FSettings.On = false;
        vlRefreshHighContrast();
        PlannerTest::TearDown();
    }
    // The setting changes and the system tells every top-level window.
    void Switch(TfrmMain* w, bool on) {
        FSettings.On = on;
        SendMessageA(w->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        ui::Pump(30);
    }
    TFakeSettings FSettings;
    TServiceOverride<TSystemSettings> FUse{FSettings};
};
}  // namespace

TEST_F(HighContrastTest, TheSkinStepsAsideLiveAndComesBack) {
    TfrmMain* w = Start();
    ASSERT_TRUE(w->vlLacquer1->SkinActive());
    ASSERT_GE(w->btnSave->ElementIndex(), 0);
    ASSERT_GE(w->MainGauge->ElementIndex(), 0);
    RECT skinnedBounds{};
    GetWindowRect(w->Handle(), &skinnedBounds);

    Switch(w, true);
    EXPECT_TRUE(vlSkinStepsAside());
    EXPECT_FALSE(w->vlLacquer1->SkinActive());
    EXPECT_EQ(w->btnSave->SkinData(), nullptr);
    EXPECT_LT(w->btnSave->ElementIndex(), 0);
    EXPECT_LT(w->MainGauge->ElementIndex(), 0);
    EXPECT_LT(w->vlSkinPanel1->ElementIndex(), 0);
    ui::SaveScreenshot(w->Handle(), "highcontrast-main");

    // The plain frame still has its buttons, and they work.
    TAccPtr client = ClientOf(w->Handle());
    ASSERT_TRUE(client);
    TAccPtr bar = Child(client.get(), 1);
    ASSERT_TRUE(bar);
    EXPECT_EQ(Role(bar.get()), ROLE_SYSTEM_TITLEBAR);
    EXPECT_NE(FindChild(bar.get(), "Close", ROLE_SYSTEM_PUSHBUTTON), 0);

    // A dialog opened meanwhile is plain too.
    bool seen = false;
    ui::OnNextModal([&](TForm* f) {
        seen = true;
        for (int i = 0; i < f->ComponentCount(); ++i) {
            if (auto* frame = dynamic_cast<TvlLacquer*>(f->Components(i))) {
                EXPECT_FALSE(frame->SkinActive());
            }
        }
        ui::SaveScreenshot(f->Handle(), "highcontrast-dialog");
        ui::Answer(f, "OK");
    });
    ui::Click(w->btnEdit);
    ui::Pump(20);
    EXPECT_TRUE(seen);

    Switch(w, false);
    EXPECT_FALSE(vlSkinStepsAside());
    EXPECT_TRUE(w->vlLacquer1->SkinActive());
    EXPECT_GE(w->btnSave->ElementIndex(), 0);
    EXPECT_GE(w->MainGauge->ElementIndex(), 0);
    RECT backBounds{};
    GetWindowRect(w->Handle(), &backBounds);
    EXPECT_EQ(backBounds.right - backBounds.left, skinnedBounds.right - skinnedBounds.left);
    EXPECT_EQ(backBounds.bottom - backBounds.top, skinnedBounds.bottom - skinnedBounds.top);
}
