// The month calendar: its day arithmetic, the grid and its hit zones, the
// navigation buttons and keys, with and without the skin.
#include "skin/widgets/vlCalendar.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"

namespace {
// The middle of grid cell (row 1 … 6, column 0 … 6) of the last paint.
POINT CellCentre(TvlSkinMonthCalendar* c, int row, int col) {
    RECT cr = c->LayoutRect();
    return {cr.left + 1 + col * c->CellWidth() + c->CellWidth() / 2,
            c->GridTop() + 3 + (row - 1) * c->RowHeight() + c->RowHeight() / 2};
}
}  // namespace

TEST(CalendarMath, WeekdaysMonthsAndTheGrid) {
    EXPECT_EQ(vlWeekMod(-1), 6) << "a negative difference still gives a weekday";
    EXPECT_EQ(vlWeekMod(-7), 0);
    EXPECT_EQ(vlWeekMod(13), 6);
    EXPECT_EQ(vlDayOfWeek({2024, 6, 1}), 6);     // a Saturday
    EXPECT_EQ(vlDayOfWeek({2007, 12, 13}), 4);   // a Thursday
    EXPECT_EQ(vlDayOfWeek({1761, 1, 1}), 4);
    EXPECT_EQ(vlDayOfWeek({9999, 12, 31}), 5);
    for (TvlDay d : {TvlDay{1761, 1, 1}, TvlDay{2000, 2, 29}, TvlDay{9999, 12, 31}, TvlDay{1900, 3, 1}})
        EXPECT_EQ(vlDayFromSerial(vlDaySerial(d)), d);
    EXPECT_EQ(vlDaySerial({2024, 3, 1}) - vlDaySerial({2024, 2, 28}), 2);

    // June 2024 begins on a Saturday: last column with weeks from Sunday, and
    // it needs all six rows (30 on row 6).
    int first = vlFirstColumn(2024, 6, Sun);
    EXPECT_EQ(first, 6);
    EXPECT_EQ(vlCellDay(1, 6, first, 30), 1);
    EXPECT_EQ(vlCellDay(1, 5, first, 30), 0);
    EXPECT_EQ(vlCellDay(6, 0, first, 30), 30);
    EXPECT_EQ(vlCellDay(6, 1, first, 30), 0);
    // Weeks from Monday: the Saturday is the sixth column, Sunday the last.
    EXPECT_EQ(vlFirstColumn(2024, 6, Mon), 5);
    EXPECT_EQ(vlFirstColumn(2024, 9, Mon), 6) << "1 September 2024 is a Sunday";
    // Outside rows 1 … 6 and columns 0 … 6 there is no day.
    for (auto [r, c] : {std::pair{0, 3}, std::pair{7, 0}, std::pair{2, 7}, std::pair{2, -1}})
        EXPECT_EQ(vlCellDay(r, c, 0, 31), 0) << r << "," << c;

    // Month steps cut the day; year limits refuse the year but not the month.
    EXPECT_EQ(vlNextMonth({2024, 1, 31}), (TvlDay{2024, 2, 29}));
    EXPECT_EQ(vlNextMonth({2023, 1, 31}), (TvlDay{2023, 2, 28}));
    EXPECT_EQ(vlPriorMonth({2024, 3, 31}), (TvlDay{2024, 2, 29}));
    EXPECT_EQ(vlPriorMonth({1761, 1, 15}), (TvlDay{1761, 12, 15}));
    EXPECT_EQ(vlNextMonth({9999, 12, 15}), (TvlDay{9999, 1, 15}));
    EXPECT_EQ(vlPriorYear({1761, 5, 5}), (TvlDay{1761, 5, 5}));
    EXPECT_EQ(vlNextYear({9999, 5, 5}), (TvlDay{9999, 5, 5}));
    EXPECT_EQ(vlNextYear({2024, 2, 29}), (TvlDay{2025, 2, 28}));
    EXPECT_EQ(vlAddDays({2024, 12, 31}, 1), (TvlDay{2025, 1, 1}));
    EXPECT_EQ(vlAddDays({1761, 1, 1}, -1), (TvlDay{1761, 1, 1})) << "no day before the calendar's first";
}

TEST_F(WidgetTest, CalendarGridZonesMapOnlyDays) {
    auto* cal = new TvlSkinMonthCalendar(Form, Form, 10, 10, 205, 150);
    cal->SetDate(2024, 6, 15);
    EXPECT_EQ(cal->DayAt(100, 100), 0) << "before the first paint there is no grid (and no division by zero)";
    Form->Show();
    ui::Pump(20);
    UpdateWindow(cal->Handle());
    ASSERT_GT(cal->CellWidth(), 0);
    ASSERT_GT(cal->RowHeight(), 0);
    int clicks = 0;
    cal->OnNumberClick = [&](TObject*) { ++clicks; };

    // Every cell of the grid: its day, or nothing for the blanks around the month.
    int first = vlFirstColumn(2024, 6, Sun);
    for (int r = 1; r <= 6; ++r)
        for (int c = 0; c < 7; ++c) {
            POINT p = CellCentre(cal, r, c);
            EXPECT_EQ(cal->DayAt(p.x, p.y), vlCellDay(r, c, first, 30)) << r << "," << c;
        }
    // Title, weekday header, the remainder right of the seventh column and
    // the frame: no day; a click there changes nothing and fires nothing.
    RECT cr = cal->LayoutRect();
    POINT title{100, cr.top + 5}, header{CellCentre(cal, 1, 3).x, cal->GridTop() - 2},
        remainder{cr.left + 1 + 7 * cal->CellWidth() + 1, CellCentre(cal, 3, 0).y}, frame{1, 80},
        blank = CellCentre(cal, 1, 2);
    EXPECT_LT(cr.left + 1 + 7 * cal->CellWidth(), cr.right - 1) << "the grid leaves a remainder at the right";
    for (POINT p : {title, header, remainder, frame, blank}) {
        EXPECT_EQ(cal->DayAt(p.x, p.y), 0) << p.x << "," << p.y;
        ui::ClickAt(cal->Handle(), p.x, p.y);
    }
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 6, 15}));

    POINT day20 = CellCentre(cal, 4, 4);  // 20 June 2024, a Thursday
    ui::ClickAt(cal->Handle(), day20.x, day20.y);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 6, 20}));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetFocus(), cal->Handle()) << "a click gives the calendar the keys";

    // A calendar too small for its rows: no day anywhere, no crash.
    cal->SetBounds(10, 10, 200, 50);
    Shot(cal);
    EXPECT_LE(cal->RowHeight(), 0);
    ui::ClickAt(cal->Handle(), 100, 45);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WidgetTest, CalendarButtonsKeysAndRepeat) {
    TFakeTimers timers;
    TvlSkinMonthCalendar* cal = ShownCalendarAtEndOfJanuary();
    for (TvlCalendarButton* b : {cal->PriorYearButton(), cal->PriorMonthButton(), cal->NextMonthButton(),
                                 cal->NextYearButton()}) {
        EXPECT_EQ(b->Glyph.Width(), 16) << "the glyph resource";
        EXPECT_EQ(b->Width(), 23);
        EXPECT_EQ(b->SkinDataName, "resizebutton");
    }
    // The glyph shows on the button: the triangle's black tip in the middle.
    TvlFBitmap look = Shot(cal);
    TvlCalendarButton* month = cal->NextMonthButton();
    int glyphLeft = month->Left() + (month->Width() - 16) / 2, glyphTop = month->Top() + (month->Height() - 16) / 2;
    int black = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) black += look.Pixel(glyphLeft + x, glyphTop + y) == 0;
    EXPECT_GE(black, 20) << "the glyph's black triangle";
    RECT cr = cal->LayoutRect();
    EXPECT_EQ(cal->PriorYearButton()->Left(), cr.left + 1);
    EXPECT_EQ(cal->PriorMonthButton()->Left(), cr.left + 25);
    EXPECT_EQ(cal->NextYearButton()->Left(), cr.right - 24);
    EXPECT_EQ(cal->NextMonthButton()->Left(), cr.right - 48);
    EXPECT_EQ(cal->NextYearButton()->Top(), cr.top + 1);

    int clicks = 0, numbers = 0;
    cal->OnClick = [&](TObject*) { ++clicks; };
    cal->OnNumberClick = [&](TObject*) { ++numbers; };
    auto click = [&](TControl* b) { ui::ClickAt(cal->Handle(), b->Left() + 10, b->Top() + 10); };
    click(cal->NextMonthButton());
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 2, 29}));
    EXPECT_EQ(clicks, 1) << "one step for a press and release, OnClick after it";
    EXPECT_EQ(numbers, 0) << "the month buttons raise no day event";
    click(cal->PriorYearButton());
    EXPECT_EQ(cal->Day(), (TvlDay{2023, 2, 28}));

    // Held down, the year button steps at every tick of its 100 ms timer.
    TvlCalendarButton* next = cal->NextYearButton();
    SendMessageA(cal->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(next->Left() + 10, next->Top() + 10));
    EXPECT_EQ(cal->Day().Year, 2023) << "the press alone does not step";
    EXPECT_EQ(timers.Interval(cal->Handle(), 0x5C13), 100u);
    timers.FireAll();
    timers.FireAll();
    EXPECT_EQ(cal->Day().Year, 2025);
    SendMessageA(cal->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(next->Left() + 10, next->Top() + 10));
    EXPECT_EQ(timers.LiveTimers(), 0) << "released: the repeat stops";
    EXPECT_EQ(cal->Day().Year, 2026) << "the release over the button is one more step";
    SendMessageA(cal->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(cal->PriorMonthButton()->Left() + 5, cal->PriorMonthButton()->Top() + 5));
    EXPECT_EQ(timers.Interval(cal->Handle(), 0x5C11), 250u);
    SendMessageA(cal->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(0, 0));

    // Keys: arrows move the day, Page Up and Down the month, Enter picks.
    cal->SetDate(2024, 3, 1);
    ui::Key(cal, VK_LEFT);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 2, 29}));
    ui::Key(cal, VK_DOWN);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 3, 7}));
    ui::Key(cal, VK_NEXT);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 4, 7}));
    ui::Key(cal, VK_PRIOR);
    ui::Key(cal, VK_PRIOR);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 2, 7}));
    ui::Key(cal, VK_UP);
    ui::Key(cal, VK_RIGHT);
    EXPECT_EQ(cal->Day(), (TvlDay{2024, 2, 1}));
    int before = numbers;
    ui::Key(cal, VK_RETURN);
    EXPECT_EQ(numbers, before + 1);
}

TEST_F(WidgetTest, CalendarLimitsColoursAndOneThousandMonths) {
    auto* cal = new TvlSkinMonthCalendar(Form, Form, 10, 10, 200, 150);
    cal->SetDate(1761, 1, 31);
    cal->PriorMonth();
    EXPECT_EQ(cal->Day(), (TvlDay{1761, 12, 31})) << "the year stays at the limit, the month wraps";
    cal->SetDate(9999, 12, 31);
    cal->NextMonth();
    EXPECT_EQ(cal->Day(), (TvlDay{9999, 1, 31}));
    cal->SetDate(1760, 5, 5);
    EXPECT_EQ(cal->Day(), (TvlDay{9999, 1, 31})) << "a date outside the calendar's years is refused";
    EXPECT_EQ(TvlSkinMonthCalendar::TitleText({2007, 12, 13}), "December, 2007");

    // The skin's "stdlabel" gives the colours; the selected day is outlined in the title colour.
    cal->SetSkinData(Skin);
    int label = Skin->FindControlIndex("stdlabel");
    ASSERT_GE(label, 0);
    auto* record = dynamic_cast<TvlDataSkinStdLabelControl*>(Skin->SkinControls[static_cast<size_t>(label)].get());
    EXPECT_EQ(cal->NumberColor(), record->FontColor);
    EXPECT_EQ(cal->TitleColor(), record->ActiveFontColor);
    Form->Show();
    ui::Pump(20);
    cal->SetDate(2024, 6, 15);
    TvlFBitmap look = Shot(cal);
    int first = vlFirstColumn(2024, 6, Sun), index = 15 - 1 + first;
    RECT cr = cal->LayoutRect();
    int left = cr.left + 1 + (index % 7) * cal->CellWidth(), top = cal->GridTop() + 3 + (index / 7) * cal->RowHeight();
    EXPECT_EQ(look.Pixel(left, top + 1), record->ActiveFontColor);

    TLeakCheck leaks;
    HWND any = cal->Handle();
    int children = 0;
    EnumChildWindows(
        GetAncestor(any, GA_ROOT), [](HWND, LPARAM c) { return ++*reinterpret_cast<int*>(c), TRUE; },
        reinterpret_cast<LPARAM>(&children));
    for (int i = 0; i < 1000; ++i) {
        if (i % 2)
            cal->NextMonth();
        else
            cal->PriorYear();
        UpdateWindow(cal->Handle());
    }
    ui::Pump();
    leaks.ExpectNone("1,000 month changes painted");
    int after = 0;
    EnumChildWindows(
        GetAncestor(any, GA_ROOT), [](HWND, LPARAM c) { return ++*reinterpret_cast<int*>(c), TRUE; },
        reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(after, children) << "the month changes make no windows";
}
