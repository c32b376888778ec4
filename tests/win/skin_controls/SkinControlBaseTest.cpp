// The skinned control base: settings that take effect when they change, the
// plain look where the element has nothing to draw from, repainting of the
// plain look on resizing, and the skin's character set in every plain look.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/data/vlResourceStr.h"
#include "tests/win/support/ClientPixel.h"
#include "tests/win/support/ClientShot.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"

namespace {

class SkinControlBase : public SkinnedFormTest {
protected:
    SkinControlBase() : SkinnedFormTest("Base", 400, 300, false) {}
};

struct TFontWatcher : TvlSkinCustomControl {
    using TvlSkinCustomControl::TvlSkinCustomControl;
    int FontChanges = 0;
    void DefaultFontChanged() override { ++FontChanges; }
};

// Paints what is waiting, so that a later change shows as a new need.
void Settle(TWinControl* c) { RedrawWindow(c->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// Whether the window has something left to paint.
bool NeedsPaint(TWinControl* c) {
    RECT r;
    return GetUpdateRect(c->Handle(), &r, FALSE) != 0;
}

// Records the calls of the hooks the base makes on focus, mouse and erase
// messages.
struct THookProbe : TvlSkinCustomControl {
    using TvlSkinCustomControl::TvlSkinCustomControl;
    std::vector<std::string> Calls;
    bool EraseLook = false;
    bool LookOnErase(HDC) const override { return EraseLook; }
    void FocusChanged(bool focused) override { Calls.push_back(focused ? "focused" : "unfocused"); }
    void PressLost() override { Calls.push_back("press lost"); }
};

}  // namespace

TEST_F(SkinControlBase, FocusMouseAndEraseMessagesReachTheirHooks) {
    auto* probe = new THookProbe(Form, Form);
    probe->SetBounds(10, 10, 60, 30);
    auto* other = new THookProbe(Form, Form);
    other->SetBounds(100, 10, 60, 30);
    Form->Show();
    ui::Pump();
    probe->SetFocus();
    other->SetFocus();
    EXPECT_EQ(probe->Calls, (std::vector<std::string>{"focused", "unfocused"}));

    // A cancel mode, or the capture going to another window, ends a press;
    // the capture coming to the control itself does not.
    probe->Calls.clear();
    HWND self = probe->Handle();
    SendMessageA(self, WM_CANCELMODE, 0, 0);
    SendMessageA(self, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(self));
    SendMessageA(self, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(other->Handle()));
    EXPECT_EQ(probe->Calls, (std::vector<std::string>{"press lost", "press lost"}));

    // An erase draws the look only where the control asks for it, and is
    // always answered as done.
    TvlFBitmap look = ClientShot(probe, 60, 30);
    TvlFBitmap asked(60, 30);
    asked.Fill(0x123456);
    ASSERT_NE(look.Pixel(5, 5), 0x123456u);
    EXPECT_EQ(SendMessageA(self, WM_ERASEBKGND, reinterpret_cast<WPARAM>(asked.Canvas()), 0), 1);
    EXPECT_EQ(asked.Pixel(5, 5), 0x123456u);
    probe->EraseLook = true;
    EXPECT_EQ(SendMessageA(self, WM_ERASEBKGND, reinterpret_cast<WPARAM>(asked.Canvas()), 0), 1);
    EXPECT_EQ(asked.Pixel(5, 5), look.Pixel(5, 5));
}

TEST_F(SkinControlBase, DefaultFontAndSizeChangesTakeEffectAtOnce) {
    auto* c = new TFontWatcher(Form, Form);
    c->SetBounds(10, 10, 100, 40);
    Form->Show();
    Settle(c);
    ASSERT_FALSE(NeedsPaint(c));
    // Any change of the font object is heard, however it is made.
    c->DefaultFont.SetHeight(20);
    EXPECT_EQ(c->FontChanges, 1);
    EXPECT_TRUE(NeedsPaint(c)) << "the plain look repaints in the new font";
    Settle(c);
    c->SetDefaultFont(TFont("Arial", 18, fsBold));
    EXPECT_EQ(c->FontChanges, 2);
    EXPECT_EQ(c->DefaultFont.Height(), 18);
    EXPECT_TRUE(NeedsPaint(c));
    c->DefaultFont.SetColor(clRed);
    EXPECT_EQ(c->FontChanges, 3);
    // A copy taken for drawing does not call back into the control.
    TFont copy = c->DefaultFont;
    copy.SetHeight(30);
    EXPECT_EQ(c->FontChanges, 3);

    // Without an element a new size repaints the plain look.
    Settle(c);
    ASSERT_FALSE(NeedsPaint(c));
    c->SetBounds(10, 10, 160, 40);
    EXPECT_TRUE(NeedsPaint(c));

    // The panel's caption settings lay out and repaint.
    auto* panel = new TvlSkinPanel(Form, Form);
    panel->SetBounds(200, 10, 150, 120);
    auto* child = new TButton(Form, panel, "c", 0, 0, 10, 10);
    child->SetAlign(alClient);
    panel->SetCaptionMode(true);
    EXPECT_EQ(child->Top(), 22);
    panel->SetDefaultCaptionHeight(30);
    EXPECT_EQ(child->Top(), 30) << "a new caption height lays the children out again";
    Settle(panel);
    panel->SetDefaultAlignment(taCenter);
    EXPECT_TRUE(NeedsPaint(panel));
    // Leaving roll-up mode unrolls: the children come back.
    panel->SetRollUpMode(true);
    panel->SetRollUpState(true);
    EXPECT_EQ(panel->Height(), 31);
    EXPECT_FALSE(child->Visible());
    panel->SetRollUpMode(false);
    EXPECT_FALSE(panel->RollUpState());
    EXPECT_EQ(panel->Height(), 120);
    EXPECT_TRUE(child->Visible());

    // The gauge's texts repaint.
    auto* gauge = new TvlSkinGauge(Form, Form, 10, 200, 200, 20);
    Settle(gauge);
    ASSERT_FALSE(NeedsPaint(gauge));
    gauge->SetShowPercent(true);
    EXPECT_TRUE(NeedsPaint(gauge));
    Settle(gauge);
    gauge->SetShowProgressText(true);
    EXPECT_TRUE(NeedsPaint(gauge));
}

TEST_F(SkinControlBase, AnElementWithoutAPictureDrawsThePlainLook) {
    LoadSkin();
    Form->Show();
    auto* plain = new TvlSkinCustomControl(Form, Form);
    plain->SkinDataName = "panel";
    plain->SetBounds(10, 10, 120, 60);
    plain->SetSkinData(Skin);
    ASSERT_GE(plain->ElementIndex(), 0);
    int index = Skin->FindControlIndex("panel");
    TvlDataSkinControl& element = *Skin->SkinControls[static_cast<size_t>(index)];
    element.PictureIndex = -1;  // the element stays, its picture goes
    plain->SkinChanged();
    ASSERT_GE(plain->ElementIndex(), 0);
    COLORREF fallback = ClientPixel(plain, 60, 30);
    EXPECT_EQ(fallback, static_cast<COLORREF>(ColorToRGB(clBtnFace))) << "not a black, never drawn bitmap";
    // An empty skin rectangle has nothing to draw either.
    element.PictureIndex = 1;
    element.SkinRect = TRect{};
    plain->SkinChanged();
    EXPECT_EQ(ClientPixel(plain, 60, 30), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
}

TEST_F(SkinControlBase, EveryPlainLookTakesTheSkinsCharacterSet) {
    auto* strings = new TvlResourceStrData(Form);
    strings->CharSet = RUSSIAN_CHARSET;
    Skin->SetResourceStrData(strings);
    LoadSkin();
    auto* button = new TvlSkinButton(Form, Form, "B", 10, 10, 80, 24);
    auto* panel = new TvlSkinPanel(Form, Form);
    auto* gauge = new TvlSkinGauge(Form, Form, 10, 200, 200, 20);
    auto* check = new TvlSkinCheckRadioBox(Form, Form, "C", 10, 40, 120, 24);
    auto* speed = new TvlSkinSpeedButton(Form, Form);
    auto* label = new TvlSkinStdLabel(Form, Form, "L", 10, 80);
    button->SetSkinData(Skin);
    panel->SetSkinData(Skin);
    gauge->SetSkinData(Skin);
    check->SetSkinData(Skin);
    speed->SetSkinData(Skin);
    label->SetSkinData(Skin);
    // The plain fonts are DefaultFont, in the skin's character set.
    for (const TFont& f : {button->PlainFont(), panel->PlainFont(), gauge->PlainFont(), check->PlainFont(),
                           speed->PlainFont()}) {
        EXPECT_EQ(f.CharSet(), RUSSIAN_CHARSET);
        EXPECT_EQ(f.Name(), "Arial");
    }
    EXPECT_EQ(label->TextFont().CharSet(), RUSSIAN_CHARSET);
    label->UseSkinFont = false;
    EXPECT_EQ(label->TextFont().CharSet(), RUSSIAN_CHARSET);
    // Without resource strings the font keeps its own.
    Skin->SetResourceStrData(nullptr);
    button->DefaultFont.SetCharSet(GREEK_CHARSET);
    EXPECT_EQ(button->PlainFont().CharSet(), GREEK_CHARSET);
    EXPECT_EQ(label->TextFont().CharSet(), DEFAULT_CHARSET);
}

TEST_F(SkinControlBase, ANoticeWithoutASkinReachesEveryWindowedControl) {
    LoadSkin();
    auto* other = new TvlSkinData(Form);
    other->SetCompressedStoredSkin(Stored.get());
    auto* mine = new TvlSkinButton(Form, Form, "Mine", 10, 10, 80, 24);
    auto* panel = new TvlSkinPanel(Form, Form);
    auto* theirs = new TvlSkinButton(Form, panel, "Theirs", 10, 10, 80, 24);
    auto* gauge = new TvlSkinGauge(Form, panel, 10, 50, 100, 20);
    mine->SetSkinData(Skin);
    panel->SetSkinData(Skin);
    theirs->SetSkinData(other);
    gauge->SetSkinData(other);
    Form->Show();
    ASSERT_GE(theirs->ElementIndex(), 0);
    // A notice of one skin: only its own controls drop their elements.
    RelaySkinChange(Form, Skin, true);
    EXPECT_EQ(mine->ElementIndex(), -1);
    EXPECT_GE(theirs->ElementIndex(), 0);
    RelaySkinChange(Form, Skin, false);
    // Without a skin it is every control's, nested ones too.
    RelaySkinChange(Form, nullptr, true);
    EXPECT_EQ(mine->ElementIndex(), -1);
    EXPECT_EQ(panel->ElementIndex(), -1);
    EXPECT_EQ(theirs->ElementIndex(), -1);
    EXPECT_EQ(gauge->ElementIndex(), -1);
    RelaySkinChange(Form, nullptr, false);
    EXPECT_GE(theirs->ElementIndex(), 0);
    EXPECT_GE(mine->ElementIndex(), 0);
}
