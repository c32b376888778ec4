// The application's hints on a test form: the pauses, the show-hint event,
// ShowHint and ParentShowHint, and the skinned hint component taking the
// application's tooltips over (its window class, pauses, font and event).
#include <string>
#include <vector>

#include "skin/data/vlUtils.h"
#include "skin/form/vlSkinHint.h"
#include "tests/win/skin_form/FrameFixture.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"
#include "toolkit/StdCtrls.h"

namespace {

class AppHints : public FrameFormTest {
protected:
    void SetUp() override {
        FrameFormTest::SetUp();
        LoadModern();
        // The real pointer stays off the test windows unless a test moves it.
        SetCursorPos(1275, 1020);
        Form = new TForm(Application, "Hints", 300, 160, bsSizeable, 0);
        Form->Position = poDesigned;
        Forms.push_back(Form);
        Application->MainForm = Form;
        Edit = new TEdit(Form, Form, 10, 10, 120, 22);
        Edit->Hint = "Type the name here";
        Box = new TGraphicControl(Form, Form);
        Box->SetBounds(10, 60, 80, 40);
        Box->Hint = "A windowless box";
        Form->Show();
        SetWindowPos(Form->Handle(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ui::Pump(10);
    }
    // The mouse over a control, as the queue brings it.
    void MoveOver(TControl* c) {
        auto* w = dynamic_cast<TWinControl*>(c);
        HWND target = w ? w->Handle() : Form->Handle();
        int x = w ? 3 : c->Left() + 3, y = w ? 3 : c->Top() + 3;
        PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ui::Pump();
    }
    HWND HintHandle() const { return Application->HintWindow()->Handle(); }
    UINT Pending() const { return Timers.Interval(HintHandle(), kApplicationHintTimer); }
    bool FireHint() { return Timers.Fire(HintHandle(), kApplicationHintTimer); }

    TFakeTimers Timers;
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TGraphicControl* Box = nullptr;
};

TEST_F(AppHints, PausesEventAndWhoShowsHints) {
    Application->HintPause = 400;
    Application->HintShortPause = 60;
    Application->HintHidePause = 3000;
    MoveOver(Edit);
    EXPECT_EQ(Application->HintControl(), nullptr) << "the form does not show hints";
    Form->SetShowHint(true);
    std::vector<THintInfo> infos;
    Application->OnShowHint = [&](std::string&, bool&, THintInfo& info) { infos.push_back(info); };
    MoveOver(Edit);
    ASSERT_EQ(Application->HintControl(), Edit) << "the edit shows its parent's ShowHint";
    EXPECT_EQ(Pending(), 400u);
    EXPECT_FALSE(Application->HintWindow()->Showing());
    ASSERT_TRUE(FireHint());
    ASSERT_TRUE(Application->HintWindow()->Showing());
    EXPECT_EQ(Application->HintWindow()->Text(), "Type the name here");
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_EQ(infos[0].HintControl, Edit);
    RECT er;
    GetWindowRect(Edit->Handle(), &er);
    EXPECT_EQ(infos[0].CursorRect.left, er.left);
    EXPECT_EQ(infos[0].CursorRect.bottom, er.bottom);
    EXPECT_EQ(Pending(), 3000u) << "the hide pause runs";

    // To another control while a hint is up: the short pause.
    MoveOver(Box);
    EXPECT_EQ(Application->HintControl(), Box);
    EXPECT_FALSE(Application->HintWindow()->Showing());
    EXPECT_EQ(Pending(), 60u);
    FireHint();
    EXPECT_EQ(Application->HintWindow()->Text(), "A windowless box");
    // The hide pause ends it, and the same control does not show it again.
    FireHint();
    EXPECT_FALSE(Application->HintWindow()->Showing());
    MoveOver(Box);
    EXPECT_EQ(Pending(), 0u);
    // A key ends a pending hint.
    MoveOver(Edit);
    EXPECT_EQ(Pending(), 400u) << "nothing was up: the long pause";
    PostMessageA(Edit->Handle(), WM_KEYDOWN, VK_SHIFT, 1);
    ui::Pump();
    EXPECT_EQ(Application->HintControl(), nullptr);
    EXPECT_EQ(Timers.LiveTimers(), 0);

    // The event changes the text and place, or stops the hint.
    Application->OnShowHint = [](std::string& text, bool& canShow, THintInfo& info) {
        canShow = text != "A windowless box";
        text = "Changed: " + text;
        info.HintPos = {40, 50};
    };
    MoveOver(Box);
    FireHint();
    EXPECT_FALSE(Application->HintWindow()->Showing());
    MoveOver(Edit);
    FireHint();
    ASSERT_TRUE(Application->HintWindow()->Showing());
    EXPECT_EQ(Application->HintWindow()->Text(), "Changed: Type the name here");
    RECT hr;
    GetWindowRect(HintHandle(), &hr);
    EXPECT_EQ(hr.left, 40);
    EXPECT_EQ(hr.top, 50);
    Application->OnShowHint = nullptr;

    // A control's own ShowHint, and the parent's hint for a control without one.
    Application->CancelHint();
    Form->SetShowHint(false);
    Edit->SetShowHint(true);
    EXPECT_FALSE(Edit->ParentShowHint());
    MoveOver(Edit);
    EXPECT_EQ(Application->HintControl(), Edit);
    Edit->Hint.clear();
    Form->Hint = "The form's hint";
    Application->CancelHint();
    MoveOver(Edit);
    EXPECT_EQ(Application->HintControl(), Edit);
    FireHint();
    EXPECT_EQ(Application->HintWindow()->Text(), "The form's hint") << "the parent's text";
    Edit->SetParentShowHint(true);
    Application->CancelHint();
    MoveOver(Edit);
    EXPECT_EQ(Application->HintControl(), nullptr) << "the form shows no hints, nor does the edit now";

    // Hints off: no window, nothing pending.
    Application->CancelHint();
    Application->SetShowHint(false);
    EXPECT_EQ(Application->HintWindow(), nullptr);
    MoveOver(Box);
    EXPECT_EQ(Application->HintControl(), nullptr);
    EXPECT_EQ(Timers.LiveTimers(), 0);
    Application->SetShowHint(true);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(dynamic_cast<TvlSkinHintWindow*>(Application->HintWindow()), nullptr) << "the toolkit's own window";
}

TEST_F(AppHints, SkinnedHintTakesTheApplicationsHintsOver) {
    Form->SetShowHint(true);
    MoveOver(Edit);
    FireHint();  // the application's window exists before the component comes
    auto* hint = new TvlSkinHint(Form);
    hint->SetSkinData(Skin);
    auto* window = dynamic_cast<TvlSkinHintWindow*>(Application->HintWindow());
    ASSERT_NE(window, nullptr) << "the tooltip window was made again, of the skinned class";
    EXPECT_EQ(Application->HintShortPause, 100);
    EXPECT_EQ((GetClassLongA(HintHandle(), GCL_STYLE) & CS_DROPSHADOW) != 0, IsVersion51());
    std::vector<std::string> seen;
    std::vector<TControl*> controls;
    hint->OnShowHint = [&](std::string& text, bool&, THintInfo& info) {
        seen.push_back(text);
        controls.push_back(info.HintControl);
    };
    Application->CancelHint();
    MoveOver(Box);
    EXPECT_EQ(Pending(), static_cast<UINT>(Application->HintPause)) << "the component's pauses are the application's";
    FireHint();
    EXPECT_EQ(seen, std::vector<std::string>{"A windowless box"});
    EXPECT_EQ(controls, std::vector<TControl*>{Box});
    ASSERT_TRUE(window->Showing());
    EXPECT_TRUE(window->UsableSkin() != nullptr);

    // Character set: the resource strings' when there are some, else DefaultFont's.
    hint->DefaultFont.SetCharSet(GREEK_CHARSET);
    EXPECT_EQ(window->HintFont().CharSet(), GREEK_CHARSET);
    hint->UseSkinFont = false;
    EXPECT_EQ(window->HintFont().CharSet(), GREEK_CHARSET);
    hint->UseSkinFont = true;

    // One active component routes the event; the one freed routes it no more.
    auto* second = new TvlSkinHint(Form);
    EXPECT_FALSE(hint->Active());
    int secondSeen = 0;
    second->OnShowHint = [&](std::string&, bool&, THintInfo&) { ++secondSeen; };
    Application->CancelHint();
    MoveOver(Edit);
    FireHint();
    EXPECT_EQ(secondSeen, 1);
    EXPECT_EQ(seen.size(), 1u);
    delete second;
    EXPECT_FALSE(Application->OnShowHint) << "no event of a freed component";
    hint->SetActive(true);
    Application->CancelHint();
    MoveOver(Box);
    FireHint();
    EXPECT_EQ(seen.size(), 2u);
    hint->OnShowHint = nullptr;

    // Pictures: a control's hint in both skins.
    Application->CancelHint();
    for (bool graphite : {false, true}) {
        if (graphite) LoadGraphite();
        RECT fr;
        GetWindowRect(Form->Handle(), &fr);
        SetCursorPos(fr.left + 40, fr.top + 40);
        ui::Pump(20);
        Application->CancelHint();
        MoveOver(Edit);
        POINT c;
        GetCursorPos(&c);
        Application->ActivateHint(c);
        ASSERT_TRUE(window->Showing());
        RECT hr;
        GetWindowRect(HintHandle(), &hr);
        ui::SaveScreenArea(RECT{fr.left, fr.top, std::max(fr.right, hr.right), std::max(fr.bottom, hr.bottom)},
                           std::string("hint-control-") + (graphite ? "graphite" : "modern"));
    }
    SetCursorPos(1275, 1020);
    ui::Pump(10);

    // 500 hints shown and hidden leave everything where it was.
    Application->CancelHint();
    TSceneCheck scene;
    POINT at{300, 300};
    for (int i = 0; i < 500; ++i) {
        Application->HintMouseMove(i % 2 ? static_cast<TControl*>(Edit) : Box, at);
        ASSERT_TRUE(FireHint());
        ASSERT_TRUE(window->Showing());
        Application->CancelHint();
    }
    ui::Pump();
    scene.ExpectNone("500 application hints");
}

TEST_F(AppHints, CaptionButtonHintInBothSkins) {
    for (bool graphite : {false, true}) {
        SCOPED_TRACE(graphite ? "Graphite" : "Modern");
        if (graphite) LoadGraphite();
        TvlLacquer* frame = ShowFramedForm("Caption hints", true, bsSizeable, 360, 200, [](TvlLacquer*) {});
        // The hint in charge is one of the main form's.
        Application->MainForm = frame->Form();
        auto* hint = new TvlSkinHint(frame->Form());
        hint->SetSkinData(Skin);
        frame->ShowObjectHint = true;
        frame->SetSkinHint(hint);
        HWND w = frame->Form()->Handle();
        SendMessageA(w, WM_NCACTIVATE, TRUE, 0);
        TvlActiveSkinObject* close = nullptr;
        for (auto& o : frame->Objects())
            if (o->IDName == "closebutton") close = o.get();
        ASSERT_NE(close, nullptr);
        RECT r;
        GetWindowRect(w, &r);
        int x = (close->ObjectRect.Left + close->ObjectRect.Right) / 2, y = (close->ObjectRect.Top + close->ObjectRect.Bottom) / 2;
        SetCursorPos(r.left + x, r.top + y);
        frame->UpdateActiveObject(-1, -1, true);  // the real pointer may have found it first
        frame->UpdateActiveObject(x, y, true);
        HWND own = hint->HintWindow()->Handle();
        ASSERT_EQ(Timers.Interval(own, 1), static_cast<UINT>(Application->HintPause));
        Timers.Fire(own, 1);
        ASSERT_TRUE(hint->HintWindow()->Showing());
        EXPECT_EQ(hint->HintWindow()->Text(), close->Hint);
        RECT hr;
        GetWindowRect(own, &hr);
        ui::SaveScreenArea(RECT{std::min(r.left, hr.left), r.top, std::max(r.right, hr.right), std::max(r.bottom, hr.bottom)},
                           std::string("hint-caption-button-") + (graphite ? "graphite" : "modern"));
        frame->UpdateActiveObject(-1, -1, true);
        EXPECT_FALSE(hint->HintWindow()->Showing());
    }
    SetCursorPos(1275, 1020);
}

}  // namespace
