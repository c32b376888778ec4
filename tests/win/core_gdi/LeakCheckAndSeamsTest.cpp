// The leak check, the toolkit's canvas and bitmap under it, and the seams
// that stand in for what the emulated platform cannot show: timers, monitor
// areas, layered-window alpha and the notification area.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/WindowServices.h"
#include "skin/data/vlUtils.h"
#include "tests/win/support/ApplicationTest.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace {

class SeamsTest : public ApplicationTest {};

struct TFakeMonitorAreas : TMonitorAreas {
    RECT Primary{100, 50, 900, 650};
    RECT PrimaryWorkArea() override { return Primary; }
    RECT MonitorArea(HWND window, bool workArea) override {
        Asked = window;
        return workArea ? RECT{1280, 0, 2480, 960} : RECT{1280, 0, 2560, 1024};
    }
    HWND Asked = nullptr;
};

struct TFakeLayeredWindows : TLayeredWindows {
    bool SetAlpha(HWND window, BYTE alpha) override {
        Calls.push_back({window, alpha});
        return true;
    }
    std::vector<std::pair<HWND, BYTE>> Calls;
};

struct TFakeNotifyIcons : TNotifyIcons {
    bool Notify(DWORD message, NOTIFYICONDATAA& data) override {
        Messages.push_back(message);
        Tip = data.szTip;
        return true;
    }
    std::vector<DWORD> Messages;
    std::string Tip;
};

}  // namespace

TEST(LeakCheck, CatchesALeakedBrushAndPassesAfterCleanUp) {
    static TLeakCheck* leaks = nullptr;
    TLeakCheck check;
    leaks = &check;
    TGdiBrush brush = CreateSolidBrushOwned(RGB(200, 0, 0));
    HBRUSH leaked = brush.Release();  // given up and never deleted
    EXPECT_NE(check.Differences().find("brush: "), std::string::npos) << check.Differences();
    EXPECT_NONFATAL_FAILURE(leaks->ExpectNone("a leaked brush"),
                            "a leaked brush left GDI objects or timers alive (before -> after): brush: ");

    // Taken back and deleted: the scenario is clean again.
    TGdiBrush::Reclaim(leaked).Reset();
    EXPECT_EQ(GetObjectType(leaked), 0u);
    EXPECT_EQ(check.Differences(), "");
    check.ExpectNone("a brush taken back");
    leaks = nullptr;
}

TEST_F(SeamsTest, LeakCheckCountsTimersAndTheRealDriverKeepsCount) {
    TLeakCheck leaks;
    int ticks = 0;
    auto* timer = new TTimer(Application);
    timer->OnTimer = [&ticks](TObject*) { ++ticks; };
    timer->SetInterval(20);
    EXPECT_EQ(leaks.Differences().find("brush"), std::string::npos);
    EXPECT_NE(leaks.Differences().find("timer: "), std::string::npos) << "a live timer is seen";
    ui::Pump(200);
    EXPECT_GT(ticks, 0) << "the real driver sets a real timer";
    timer->SetInterval(30);  // restarting does not count twice
    timer->SetEnabled(false);
    EXPECT_EQ(leaks.Differences(), "");
    timer->SetEnabled(true);
    delete timer;
    leaks.ExpectNone("a timer destroyed while running");
}

TEST_F(SeamsTest, FakeTimerDriverFiresATimer) {
    TFakeTimers timers;
    TLeakCheck leaks;
    int ticks = 0;
    auto* timer = new TTimer(Application);
    timer->OnTimer = [&ticks](TObject*) { ++ticks; };
    EXPECT_EQ(timers.LiveTimers(), 0) << "no timer before a handler and an interval";
    timer->SetInterval(250);
    EXPECT_EQ(timers.LiveTimers(), 1);
    EXPECT_EQ(timers.FireAll(), 1);
    EXPECT_EQ(timers.FireAll(), 1);
    EXPECT_EQ(ticks, 2);

    timer->SetEnabled(false);
    EXPECT_EQ(timers.LiveTimers(), 0);
    EXPECT_EQ(timers.FireAll(), 0);
    EXPECT_EQ(ticks, 2);

    timer->SetEnabled(true);
    EXPECT_EQ(timers.LiveTimers(), 1);
    delete timer;
    EXPECT_EQ(timers.LiveTimers(), 0) << "a destroyed timer is killed";
    leaks.ExpectNone("a timer under the fake driver");
}

TEST_F(SeamsTest, CanvasAndBitmapLeaveNoObjectBehind) {
    TLeakCheck leaks;
    {
        TBitmap bitmap(20, 10);
        const TGdiCounts during = GdiCounts();
        TCanvas canvas = bitmap.Canvas();
        RECT all{0, 0, 20, 10};
        canvas.FillRect(all, clWhite);
        canvas.FrameRect(all, clRed);
        canvas.Line(2, 5, 18, 5, clBlue);
        GdiFlush();
        // The pixels went where they should (blue first): frame red, line blue.
        const unsigned char* frame = bitmap.Bits();
        EXPECT_EQ(frame[0], 0);
        EXPECT_EQ(frame[2], 255);
        const unsigned char* line = bitmap.Bits() + (5 * 20 + 2) * 4;
        EXPECT_EQ(line[0], 255);
        EXPECT_EQ(line[2], 0);
        canvas.Edge(RECT{4, 2, 16, 8}, true);
        canvas.Font = TFont("Arial", 8, fsBold, clBlack);
        canvas.DrawTextAt(3, 1, "Ab");
        canvas.TextRect(all, "x", DT_CENTER);
        EXPECT_GT(canvas.TextWidth("Ab"), 0);
        GdiFlush();
        EXPECT_EQ(GdiCounts().Of(TGdiKind::Font), during.Of(TGdiKind::Font) + 1) << "the canvas font is made once";
        EXPECT_EQ(GdiCounts().Of(TGdiKind::Brush), during.Of(TGdiKind::Brush));
        EXPECT_EQ(GdiCounts().Of(TGdiKind::Pen), during.Of(TGdiKind::Pen));
    }
    leaks.ExpectNone("a bitmap painted through its canvas");

    // A picture control holds its bitmap until it goes.
    auto* form = new TForm(Application, "Picture", 100, 60);
    auto* image = new TImage(form, form, 0, 0, 0, 0);
    image->AutoSize = true;
    image->SetBitmap(CreateDibSection(16, 8, 32).Bitmap);
    EXPECT_EQ(image->Width(), 16);
    form->Show();
    ui::Pump(20);
    image->SetBitmap(CreateDibSection(4, 4, 32).Bitmap);
    delete form;
    leaks.ExpectNone("a picture control and its form");
}

TEST_F(SeamsTest, MonitorAreasAlphaAndNotifyIconsGoThroughTheirServices) {
    TFakeMonitorAreas areas;
    TFakeLayeredWindows layered;
    TFakeNotifyIcons icons;
    TServiceOverride<TMonitorAreas> useAreas(areas);
    TServiceOverride<TLayeredWindows> useLayered(layered);
    TServiceOverride<TNotifyIcons> useIcons(icons);

    auto* form = new TForm(Application, "Centred", 200, 100);
    form->Show();
    RECT placed{};
    GetWindowRect(form->Handle(), &placed);
    EXPECT_EQ(placed.left, 100 + (800 - (placed.right - placed.left)) / 2) << "centred in the work area it was given";
    EXPECT_EQ(placed.top, 50 + (600 - (placed.bottom - placed.top)) / 2);

    EXPECT_EQ(GetMonitorArea(form->Handle(), true), (TRect{1280, 0, 2480, 960}));
    EXPECT_EQ(GetMonitorArea(form->Handle(), false), (TRect{1280, 0, 2560, 1024}));
    EXPECT_EQ(areas.Asked, form->Handle());

    SetWindowAlpha(form->Handle(), 128);
    SetWindowAlpha(form->Handle(), 300);
    SetWindowAlpha(form->Handle(), -4);
    ASSERT_EQ(layered.Calls.size(), 3u);
    EXPECT_EQ(layered.Calls[0].second, 128);
    EXPECT_EQ(layered.Calls[1].second, 255);
    EXPECT_EQ(layered.Calls[2].second, 0);
    EXPECT_EQ(layered.Calls[0].first, form->Handle());

    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = form->Handle();
    lstrcpynA(data.szTip, "Plandesk", sizeof data.szTip);
    EXPECT_TRUE(Service<TNotifyIcons>().Notify(NIM_ADD, data));
    EXPECT_EQ(icons.Messages, std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(icons.Tip, "Plandesk");
    delete form;
}

TEST(WindowServices, TheSystemsServicesAnswer) {
    // Restored after an override: the system's own implementations again.
    EXPECT_EQ(&Service<TTimerDriver>(), &SystemService<TTimerDriver>());
    RECT work = Service<TMonitorAreas>().PrimaryWorkArea();
    RECT expected{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &expected, 0);
    EXPECT_TRUE(EqualRect(&work, &expected));
    RECT whole = Service<TMonitorAreas>().MonitorArea(nullptr, false);
    EXPECT_EQ(whole.right, GetSystemMetrics(SM_CXSCREEN));
}
