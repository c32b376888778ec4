// The skinned scroll bar: range rules, thumb geometry, arrow and page
// repetition with its timers, thumb dragging, and the ways a press ends.
#include "tests/win/skin_controls/SkinControlsFixture.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"

namespace {
class SkinScrollBar : public SkinControlsFixture {};
using Bar = TvlSkinScrollBar;
}  // namespace

TEST_F(SkinScrollBar, RangeRulesHoldAlsoWhenTheRangeDoesNotStartAtZero) {
    auto* bar = new Bar(Form, Form, sbVertical);
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->SetRange(0, 100, 14, 0);
    EXPECT_EQ(changes, 0);  // SetRange is silent
    bar->SetPosition(500);
    EXPECT_EQ(bar->Position(), 87);  // Max − PageSize + 1
    EXPECT_EQ(changes, 1);
    bar->SetPosition(87);
    EXPECT_EQ(changes, 1);  // no change, no event

    bar->SetRange(10, 110, 20, 10);
    bar->SetPosition(1000);
    EXPECT_EQ(bar->Position(), 91);
    bar->SetMax(50);  // the last page now starts at 31
    EXPECT_EQ(bar->Position(), 31);
    bar->SetMax(5);  // below Min: the position stays at Min
    EXPECT_EQ(bar->Position(), 10);
    bar->SetRange(10, 110, 0, 50);
    bar->SetPageSize(70);  // 40 left after the position: refused
    EXPECT_EQ(bar->PageSize(), 0);
    bar->SetPageSize(60);
    EXPECT_EQ(bar->PageSize(), 60);
    bar->SetMin(60);
    EXPECT_EQ(bar->Position(), 60);
    bar->SetRange(0, 100, 0, 0);
    bar->SetBothMarkerWidth(-3);
    EXPECT_EQ(bar->BothMarkerWidth(), 19);
}

TEST_F(SkinScrollBar, ThumbGeometryInThePlainLook) {
    auto* bar = new Bar(Form, Form, sbVertical);
    bar->SetBounds(0, 0, 19, 134);  // a track of 100 pixels
    bar->SetRange(0, 100, 30, 0);
    bar->CalcGeometry();
    EXPECT_EQ(bar->Track().Top, 17);
    EXPECT_EQ(bar->Track().Height(), 100);
    EXPECT_EQ(bar->Part(Bar::ptThumb).R.Height(), 30);  // round(100 × 30 / 101)
    EXPECT_EQ(bar->Part(Bar::ptThumb).R.Top, 17);
    bar->SetPosition(71);
    bar->CalcGeometry();
    EXPECT_EQ(bar->Part(Bar::ptThumb).R.Bottom, 117);  // at the track's end
    bar->SetRange(0, 100, 5, 0);                       // a small page: at least the nominal 16
    bar->CalcGeometry();
    EXPECT_EQ(bar->Part(Bar::ptThumb).R.Height(), 16);
    bar->SetRange(0, 0, 0, 0);  // Max = Min: the thumb at the start
    bar->CalcGeometry();
    EXPECT_EQ(bar->Part(Bar::ptThumb).R.Top, 17);
    // The down button is at the top, the up button at the bottom.
    EXPECT_EQ(bar->Part(Bar::ptDown).R.Top, 1);
    EXPECT_EQ(bar->Part(Bar::ptUp).R.Bottom, 133);

    auto* both = new Bar(Form, Form, sbHorizontal);
    both->SetBounds(0, 200, 200, 19);
    both->SetBoth(true);
    both->CalcGeometry();
    EXPECT_EQ(both->Part(Bar::ptUp).R.Right, 200 - 19 - 1);  // the corner stays free
}

TEST_F(SkinScrollBar, ArrowRepeatPausesOffTheButtonAndStopsOnEveryEndOfThePress) {
    TFakeTimers timers;
    auto* bar = new Bar(Form, Form, sbVertical);
    bar->SetBounds(0, 0, 19, 134);
    bar->SetRange(0, 100, 0, 0);
    Form->Show();
    UpdateWindow(Form->Handle());
    TLeakCheck leaks;  // after the first paint has made the fonts it keeps
    HWND h = bar->Handle();
    int y = 125;  // on the up button at the bottom
    Send(bar, WM_MOUSEMOVE, 0, 9, y);
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, 9, y);
    EXPECT_EQ(bar->Position(), 1);  // one step on the press
    EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 500u);
    timers.Fire(h, Bar::kRepeatTimer);  // the first tick only speeds up
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 50u);
    timers.Fire(h, Bar::kRepeatTimer);
    timers.Fire(h, Bar::kRepeatTimer);
    EXPECT_EQ(bar->Position(), 3);
    Send(bar, WM_MOUSEMOVE, MK_LBUTTON, 9, 60);  // off the button: paused
    EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 0u);
    Send(bar, WM_MOUSEMOVE, MK_LBUTTON, 9, y);  // back: resumes at 50 ms
    EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 50u);
    Send(bar, WM_LBUTTONUP, 0, 9, y);
    EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 0u);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(bar->Part(Bar::ptUp).Down);

    // Cancel mode, a lost capture and disabling end a press the same way.
    auto pressThen = [&](auto end, const char* what) {
        Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, 9, 5);  // the down button
        ASSERT_EQ(timers.Interval(h, Bar::kRepeatTimer), 500u) << what;
        end();
        EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 0u) << what;
        EXPECT_EQ(bar->Repeating(), Bar::rpNone) << what;
        EXPECT_EQ(bar->CapturedPart(), -1) << what;
        EXPECT_NE(GetCapture(), h) << what;
    };
    pressThen([&] { SendMessageA(h, WM_CANCELMODE, 0, 0); }, "cancel mode");
    pressThen([&] { SetCapture(Form->Handle()); }, "capture lost");
    ReleaseCapture();
    pressThen([&] { bar->SetEnabled(false); }, "disabled");
    bar->SetEnabled(true);
    leaks.ExpectNone("arrow repetition");
}

TEST_F(SkinScrollBar, PagingStopsWhenTheThumbPassesThePointerAndDraggingReachesTheEnd) {
    TFakeTimers timers;
    auto* bar = new Bar(Form, Form, sbHorizontal);
    bar->SetBounds(0, 0, 234, 19);  // a track of 200 pixels
    bar->SetRange(0, 100, 10, 0);
    bar->LargeChange = 10;
    int pages = 0, last = 0;
    bar->OnPageDown = [&](TObject*) { ++pages; };
    bar->OnLastChange = [&](TObject*) { ++last; };
    Form->Show();
    HWND h = bar->Handle();
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, 100, 9);  // in the track after the thumb
    EXPECT_EQ(bar->Position(), 10);
    EXPECT_EQ(pages, 1);
    timers.Fire(h, Bar::kRepeatTimer);  // first tick
    for (int i = 0; i < 20 && timers.Interval(h, Bar::kRepeatTimer); ++i) timers.Fire(h, Bar::kRepeatTimer);
    // Stopped with the thumb over the pointer, though the button is held.
    EXPECT_EQ(timers.Interval(h, Bar::kRepeatTimer), 0u);
    bar->CalcGeometry();
    EXPECT_LE(bar->Part(Bar::ptThumb).R.Left, 100);
    EXPECT_GT(bar->Part(Bar::ptThumb).R.Right, 100);
    Send(bar, WM_LBUTTONUP, 0, 100, 9);

    // Drag the thumb far beyond the end: exactly Max − PageSize + 1.
    bar->SetPosition(0);
    bar->CalcGeometry();
    TRect thumb = bar->Part(Bar::ptThumb).R;
    int x = (thumb.Left + thumb.Right) / 2;
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, x, 9);
    EXPECT_TRUE(bar->Dragging());
    Send(bar, WM_MOUSEMOVE, MK_LBUTTON, x + 80, 9);
    int middle = bar->Position();
    EXPECT_GT(middle, 0);
    EXPECT_LT(middle, 91);
    Send(bar, WM_MOUSEMOVE, MK_LBUTTON, x + 1000, 9);
    EXPECT_EQ(bar->Position(), 91);
    Send(bar, WM_LBUTTONUP, 0, x + 1000, 9);
    EXPECT_EQ(last, 1);
    EXPECT_FALSE(bar->Dragging());
}

TEST_F(SkinScrollBar, SkinnedBarStepsForwardAtItsEndAndTakesArrowKeysWhenFocusable) {
    auto* bar = new Bar(Form, Form, sbVertical);
    bar->SetSkinData(Skin);
    bar->SetBounds(0, 0, 16, 150);
    ASSERT_TRUE(bar->SkinLook().HasElement());
    bar->SetRange(0, 50, 0, 10);
    bar->CalcGeometry();
    TRect up = bar->Part(Bar::ptUp).R, down = bar->Part(Bar::ptDown).R;
    EXPECT_GT(up.Top, down.Top);
    EXPECT_EQ(up.Bottom, 150);
    Form->Show();
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, up.Left + 2, up.Top + 2);
    Send(bar, WM_LBUTTONUP, 0, up.Left + 2, up.Top + 2);
    EXPECT_EQ(bar->Position(), 11);
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, down.Left + 2, down.Top + 2);
    Send(bar, WM_LBUTTONUP, 0, down.Left + 2, down.Top + 2);
    EXPECT_EQ(bar->Position(), 10);

    SendMessageA(bar->Handle(), WM_KEYDOWN, VK_DOWN, 0);  // not focusable: keys do nothing
    EXPECT_EQ(bar->Position(), 10);
    bar->SetCanFocused(true);
    EXPECT_TRUE(bar->TabStop);
    EXPECT_EQ(SendMessageA(bar->Handle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    bar->SetFocus();
    SendMessageA(bar->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(bar->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(bar->Position(), 12);
    SendMessageA(bar->Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(bar->Position(), 11);
    SendMessageA(bar->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);  // a delta of 0 counts as down
    EXPECT_EQ(bar->Position(), 12);
    SendMessageA(bar->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(bar->Position(), 11);
}
