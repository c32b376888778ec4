// The calendar's navigation buttons as speed buttons, its title between
// them and its caption height; the drop-down windows' class styles; the
// date edit's drop-down kept inside the work area of the edit's monitor;
// tabs on every side, with pictures, and the tab scroller's range.
#include <algorithm>
#include <cstdlib>

#include "core/Gdi.h"
#include "core/WindowServices.h"
#include "skin/controls/vlDropDownWindow.h"
#include "skin/data/vlUtils.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "skin/widgets/vlSkinTabs.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/FakeServices.h"
#include "tests/win/support/FakeTimerDriver.h"

namespace {
LPARAM At(TControl* c, int dx = 10, int dy = 10) { return MAKELPARAM(c->Left() + dx, c->Top() + dy); }
}  // namespace

TEST_F(WidgetTest, CalendarButtonsStepOnReleaseAndPauseWhileThePointerIsOff) {
    TFakeTimers timers;
    TvlSkinMonthCalendar* cal = ShownCalendarAtEndOfJanuary();
    int clicks = 0;
    cal->OnClick = [&](TObject*) { ++clicks; };
    HWND w = cal->Handle();

    // The press only arms the button; the release over it is the step.
    TvlCalendarButton* month = cal->NextMonthButton();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(month));
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 1, 31})) << "nothing on the press";
    EXPECT_EQ(timers.Interval(w, 0x5C12), 250u);
    SendMessageA(w, WM_LBUTTONUP, 0, At(month));
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 2, 29}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(timers.LiveTimers(), 0);

    // Released away from the button (over the title, not a day): no step at all.
    const LPARAM title = MAKELPARAM(100, month->Top() + 8);
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(month));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, title);
    SendMessageA(w, WM_LBUTTONUP, 0, title);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 2, 29}));
    EXPECT_EQ(clicks, 1);

    // Held: a step per tick; off the button the repeat pauses, back on it
    // resumes, and the release over it is one step more.
    TvlCalendarButton* year = cal->NextYearButton();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(year));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(year));
    timers.FireAll();
    timers.FireAll();
    EXPECT_EQ(cal->Day().Year, 2026);
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, title);
    EXPECT_EQ(timers.LiveTimers(), 0) << "paused while the pointer is off the button";
    timers.FireAll();
    EXPECT_EQ(cal->Day().Year, 2026);
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(year, 5, 5));
    EXPECT_EQ(timers.Interval(w, 0x5C13), 100u) << "resumed on the way back";
    timers.FireAll();
    EXPECT_EQ(cal->Day().Year, 2027);
    SendMessageA(w, WM_LBUTTONUP, 0, At(year, 5, 5));
    EXPECT_EQ(cal->Day().Year, 2028);
    EXPECT_EQ(timers.LiveTimers(), 0);
    EXPECT_EQ(clicks, 5);
}

TEST_F(WidgetTest, CalendarTitleStaysBetweenTheMonthButtonsAndTheCaptionHeightLaysOut) {
    // Long month names and widths from roomy to far too narrow.
    Form->Show();
    for (int width : {320, 200, 150, 120}) {
        auto* cal = new TvlSkinMonthCalendar(Form, Form, 10, 10, width, 150);
        cal->SetSkinData(Skin);
        cal->SetDate(2007, 5, 31);
        TvlFBitmap shortTitle = Shot(cal);
        RECT mayTitle = cal->TitleRect();
        cal->SetDate(2007, 12, 31);
        TvlFBitmap look = Shot(cal);
        RECT title = cal->TitleRect();
        int left = cal->PriorMonthButton()->Left() + cal->PriorMonthButton()->Width();
        int right = cal->NextMonthButton()->Left();
        EXPECT_GT(title.left, left) << width << ": clear of the prior-month button";
        EXPECT_LT(title.right, right) << width << ": clear of the next-month button";
        EXPECT_GT(title.right, title.left) << width;
        if (width == 320) {
            EXPECT_EQ(title.left + title.right, width) << "room enough: centred on the calendar";
            EXPECT_EQ(std::abs(cal->TitleFontHeight()), std::abs(cal->DefaultFont.Height()));
            EXPECT_FALSE(cal->TitleCut());
        }
        if (width == 120) EXPECT_TRUE(cal->TitleCut()) << "no size fits: cut with an ellipsis";
        // Between the buttons, outside both titles, the two looks agree:
        // neither title drew beyond its rectangle.
        int differ = 0;
        for (int y = title.top; y < title.bottom; ++y)
            for (int x = left; x < right; ++x) {
                bool inside = (x >= title.left && x < title.right) || (x >= mayTitle.left && x < mayTitle.right);
                if (!inside && look.Pixel(x, y) != shortTitle.Pixel(x, y)) ++differ;
            }
        EXPECT_EQ(differ, 0) << width;
        delete cal;
    }

    // Without an element the caption bar is DefaultCaptionHeight high.
    auto* cal = new TvlSkinMonthCalendar(Form, Form, 10, 10, 220, 180);
    cal->SetCaptionMode(true);
    int before = cal->LayoutRect().top;
    cal->SetDefaultCaptionHeight(cal->DefaultCaptionHeight() + 14);
    EXPECT_EQ(cal->LayoutRect().top, before + 14);
    EXPECT_EQ(cal->PriorYearButton()->Top(), cal->LayoutRect().top + 1) << "the buttons follow at once";
    Shot(cal);
    EXPECT_GE(cal->TitleRect().top, cal->LayoutRect().top) << "and the title";
}

TEST_F(WidgetTest, DropDownsSaveTheBitsUnderThemAndTheCalendarStaysOnTheEditsMonitor) {
    auto* edit = ShownSkinned<TvlSkinDateEdit>(20, 20, 121, 18);
    edit->DropDown();
    HWND calendar = edit->Calendar()->Handle();
    ULONG_PTR style = GetClassLongPtrA(calendar, GCL_STYLE);
    EXPECT_TRUE(style & CS_SAVEBITS);
    EXPECT_EQ((style & CS_DROPSHADOW) != 0, IsVersion51());
    EXPECT_EQ(style & DropDownClassStyle(), DropDownClassStyle());
    // Still a window of the toolkit's own kind: its windowless buttons take clicks.
    int month = edit->Calendar()->Day().Month;
    TvlCalendarButton* next = edit->Calendar()->NextMonthButton();
    ui::ClickAt(calendar, next->Left() + 10, next->Top() + 10);
    EXPECT_EQ(edit->Calendar()->Day().Month, month % 12 + 1);
    edit->CloseUp(false);
    // Ordinary windows of the toolkit keep their class.
    EXPECT_FALSE(GetClassLongPtrA(Form->Handle(), GCL_STYLE) & CS_SAVEBITS);

    TFakeMonitorAreas monitors;
    TServiceOverride<TMonitorAreas> useMonitors(monitors);
    RECT e;
    GetWindowRect(edit->Handle(), &e);
    const int W = edit->Calendar()->Width(), H = edit->Calendar()->Height();
    struct Case {
        const char* edge;
        TRect work;
        POINT expected;
    } cases[] = {
        // Room everywhere: below the edit, aligned with it.
        {"none", {e.left - 400, e.top - 400, e.left + 600, e.bottom + 600}, {e.left, e.bottom}},
        // The monitor ends just right of the edit: pulled left to its edge.
        {"right", {e.left - 800, e.top - 400, e.left + 150, e.bottom + 600}, {e.left + 150 - W, e.bottom}},
        // The edit straddles the seam, mostly on this monitor: pushed right.
        {"left", {e.left + 40, e.top - 400, e.left + 1000, e.bottom + 600}, {e.left + 40, e.bottom}},
        // A task bar just below the edit: opens above it.
        {"bottom", {e.left - 400, e.top - 400, e.left + 600, e.bottom + 30}, {e.left, e.top - H}},
        // Too little room above and below: inside, over the edit.
        {"top and bottom", {e.left - 400, e.top - 100, e.left + 600, e.bottom + 100}, {e.left, e.bottom + 100 - H}},
        // A corner: right and bottom edges at once.
        {"bottom right", {e.left - 800, e.top - 400, e.left + 90, e.bottom + 20}, {e.left + 90 - W, e.top - H}},
    };
    for (const Case& c : cases) {
        monitors.Work = c.work;
        monitors.Asked = nullptr;
        edit->DropDown();
        RECT r;
        GetWindowRect(calendar, &r);
        EXPECT_EQ(monitors.Asked, edit->Handle()) << c.edge << ": the edit's own monitor";
        EXPECT_EQ(r.left, c.expected.x) << c.edge;
        EXPECT_EQ(r.top, c.expected.y) << c.edge;
        EXPECT_GE(r.left, c.work.Left) << c.edge;
        EXPECT_LE(r.right, c.work.Right) << c.edge;
        EXPECT_GE(r.top, c.work.Top) << c.edge;
        EXPECT_LE(r.bottom, c.work.Bottom) << c.edge;
        edit->CloseUp(false);
    }
}

namespace {
// The platform's own answer, before the control moves the tab.
RECT NativeTabRect(TvlSkinPageControl* pages, int index) {
    RECT raw{};
    CallWindowProcA(reinterpret_cast<WNDPROC>(GetClassLongPtrA(pages->Handle(), GCLP_WNDPROC)), pages->Handle(),
                    TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&raw));
    return raw;
}
}  // namespace

TEST_F(WidgetTest, TabsOnAllFourSidesTurnTheirPicturesAndTakeClicks) {
    Form->SetBounds(0, 0, 900, 560);
    Form->Show();
    const TvlTabPosition sides[] = {tpTop, tpBottom, tpLeft, tpRight};
    for (bool skinned : {false, true}) {
        for (TvlTabPosition side : sides) {
            auto* pages = new TvlSkinPageControl(Form, Form, side);
            pages->SetBounds(20, 20, 320, 220);
            if (skinned) pages->SetSkinData(Skin);
            for (const char* c : {"Tasks", "Calendar", "Notes"}) pages->AddSheet(c);
            ui::Pump(20);
            const char* name = side == tpTop ? "top" : side == tpBottom ? "bottom" : side == tpLeft ? "left" : "right";
            SCOPED_TRACE(std::string(name) + (skinned ? " skinned" : " plain"));
            RECT display = pages->LayoutRect();
            TRect tab = pages->TabRect(1);
            ASSERT_FALSE(tab.IsEmpty());
            RECT raw = NativeTabRect(pages, 1);
            // The tab lies on its side of the page (it may overlap the
            // frame) and is moved outwards.
            int cx = (tab.Left + tab.Right) / 2, cy = (tab.Top + tab.Bottom) / 2;
            switch (side) {
                case tpTop:
                    EXPECT_LT(cy, display.top);
                    EXPECT_EQ(tab.Top, raw.top - 2);
                    break;
                case tpBottom:
                    EXPECT_GT(cy, display.bottom);
                    EXPECT_EQ(tab.Top, raw.top + 2);
                    break;
                case tpLeft:
                    EXPECT_LT(cx, display.left);
                    EXPECT_EQ(tab.Left, raw.left - 2);
                    EXPECT_EQ(tab.Top, raw.top);
                    EXPECT_GT(tab.Height(), tab.Width()) << "standing up";
                    break;
                case tpRight:
                    EXPECT_GT(cx, display.right);
                    EXPECT_EQ(tab.Left, raw.left + 2);
                    EXPECT_GT(tab.Height(), tab.Width());
                    break;
            }
            EXPECT_GT(display.right - display.left, 200);
            EXPECT_GT(display.bottom - display.top, 120);
            EXPECT_EQ(pages->Pages(0)->Width(), display.right - display.left) << "the sheet fills the page";

            TvlFBitmap look = Shot(pages);
            if (skinned) {
                // The element's tab picture, turned with the tab: its top row
                // runs up the left edge of a left tab, down the right edge of
                // a right one, and lies along the bottom of a bottom tab.
                const TvlDataSkinTabControl* e = pages->Element();
                ASSERT_NE(e, nullptr);
                int matches = 0, n = std::min(e->TabLeftOffset, 3);
                for (int k = 0; k < n; ++k) {
                    uint32_t want = SkinPixel(e->PictureIndex, e->TabRect.Left + k, e->TabRect.Top);
                    uint32_t got = side == tpTop      ? look.Pixel(tab.Left + k, tab.Top)
                                   : side == tpBottom ? look.Pixel(tab.Left + k, tab.Bottom - 1)
                                   : side == tpLeft   ? look.Pixel(tab.Left, tab.Bottom - 1 - k)
                                                      : look.Pixel(tab.Right - 1, tab.Top + k);
                    matches += got == want;
                }
                EXPECT_EQ(matches, n);
            }
            // A click on the tab selects its page.
            ui::ClickAt(pages->Handle(), (tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
            EXPECT_EQ(pages->ActivePageIndex(), 1);
            EXPECT_TRUE(IsWindowVisible(pages->Pages(1)->Handle()));
            if (skinned && side == tpLeft) ui::SaveScreenshot(Form->Handle(), "tabs-left-modern");
            if (skinned && side == tpRight) ui::SaveScreenshot(Form->Handle(), "tabs-right-modern");
            delete pages;
        }
    }
}

TEST_F(WidgetTest, TabPicturesSitBesideTheirCaptionsAndTheScrollerCountsHiddenTabs) {
    TImageList images(nullptr, 16, 16);
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 0, 255)}) {
        TvlFBitmap square(16, 16);
        square.Fill(c & 0xFFFFFF);
        TGdiBitmap copy(static_cast<HBITMAP>(CopyImage(square.Handle(), IMAGE_BITMAP, 0, 0, 0)));
        images.Add(copy.Handle());
    }
    auto* pages = new TvlSkinPageControl(Form, Form, tpTop);
    pages->SetBounds(10, 10, 400, 150);
    pages->SetSkinData(Skin);
    for (const char* c : {"Tasks", "Calendar", "Notes"}) pages->AddSheet(c);
    pages->Pages(1)->ImageIndex = 0;
    Form->Show();
    int plainWidth = pages->TabRect(0).Width();
    pages->SetImages(&images);
    ui::Pump(20);
    EXPECT_GT(pages->TabRect(0).Width(), plainWidth) << "the platform makes room for the picture";
    TvlFBitmap look = Shot(pages);
    auto count = [&](int index, uint32_t colour) {
        TRect r = pages->TabRect(index);
        int n = 0;
        for (int y = std::max(0, r.Top); y < r.Bottom; ++y)
            for (int x = std::max(0, r.Left); x < r.Right; ++x) n += look.Pixel(x, y) == colour;
        return n;
    };
    const uint32_t red = 0x0000FF, blue = 0xFF0000;
    EXPECT_EQ(count(0, red), 256) << "tab 0 shows picture 0";
    EXPECT_EQ(count(1, red), 256) << "tab 1 shows the picture its sheet names";
    EXPECT_EQ(count(1, blue), 0);
    EXPECT_EQ(count(2, red) + count(2, blue), 0) << "no picture for a tab beyond the list";
    // The picture is left of the caption, the group centred in the tab.
    TRect r = pages->TabRect(0);
    int firstRed = r.Right;
    for (int x = r.Left; x < r.Right; ++x)
        if (look.Pixel(x, (r.Top + r.Bottom) / 2) == red) firstRed = std::min(firstRed, x);
    EXPECT_LT(firstRed - r.Left, r.Width() / 2);
    pages->SetImages(nullptr);

    // Narrower than its tabs: the scroller's range is the hidden tab count.
    for (const char* c : {"Projects", "Archive", "Settings", "Reports"}) pages->AddSheet(c);
    pages->SetBounds(10, 10, 200, 150);
    ui::Pump(20);
    ASSERT_NE(pages->Scroller(), nullptr);
    EXPECT_EQ(pages->Scroller()->Max(), pages->HiddenTabCount());
    int hiddenAtStart = pages->HiddenTabCount();
    TvlSkinUpDown* scroller = pages->Scroller();
    const TRect& up = scroller->Part(TvlSkinUpDown::ptUp).R;
    for (int i = 0; i < 2; ++i) ui::ClickAt(scroller->Handle(), (up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2);
    EXPECT_EQ(pages->ScrolledOutCount(), 2);
    EXPECT_EQ(scroller->Max(), pages->HiddenTabCount()) << "set again after every change";
    EXPECT_GE(hiddenAtStart, 2);
}

TEST_F(WidgetTest, DateEditKeepsItsTimeOfDayAndTwoDigitYearsFollowThePlatform) {
    auto* edit = ShownSkinned<TvlSkinDateEdit>(20, 20, 121, 18);
    SYSTEMTIME set{};
    set.wYear = 2024;
    set.wMonth = 3;
    set.wDay = 5;
    set.wHour = 13;
    set.wMinute = 45;
    set.wSecond = 10;
    edit->SetDateTime(set);
    SYSTEMTIME got = edit->Date();
    EXPECT_EQ(got.wDay, 5);
    EXPECT_EQ(got.wHour, 13);
    EXPECT_EQ(got.wMinute, 45);
    EXPECT_EQ(got.wSecond, 10);
    // A day picked in the calendar changes the day only.
    edit->DropDown();
    ASSERT_TRUE(edit->DroppedDown());
    ui::Key(edit, VK_RIGHT);
    ui::Key(edit, VK_RETURN);
    got = edit->Date();
    EXPECT_EQ(got.wDay, 6);
    EXPECT_EQ(got.wHour, 13);
    EXPECT_EQ(got.wMinute, 45);

    TvlDateLocale two;
    two.Reference = "31/12/99";
    two.Separator = '/';
    for (int max : {2029, 2049, 2099}) {
        two.TwoDigitYearMax = max;
        for (int yy : {0, 29, 30, 49, 50, 99}) {
            int year = two.FullYear(yy);
            EXPECT_EQ(year % 100, yy) << max;
            EXPECT_LE(year, max) << yy;
            EXPECT_GT(year, max - 100) << yy;
        }
        auto day = DateFromText(two, "01/02/45");
        ASSERT_TRUE(day.has_value());
        EXPECT_EQ(day->Year, max == 2029 ? 1945 : 2045) << max;
    }
    DWORD platform = 0;
    if (GetCalendarInfoA(LOCALE_USER_DEFAULT, CAL_GREGORIAN, CAL_ITWODIGITYEARMAX | CAL_RETURN_NUMBER, nullptr, 0,
                         &platform))
        EXPECT_EQ(TvlDateLocale::Current().TwoDigitYearMax, static_cast<int>(platform));
}
