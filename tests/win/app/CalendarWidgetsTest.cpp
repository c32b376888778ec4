// The calendar sheet, the tabs and the dialogs' date fields in both built-in
// skins, as a user sees and works them.
#include "tests/win/app/PlannerFixture.h"

#include "app/FTask.h"

TEST_F(PlannerTest, CalendarSheetTabsAndDateDropDownInBothSkins) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nA^0^^  /  /    ^  /  /    ^\r\nEndProject\r\n");
    InBothSkins([&](TfrmMain* w, const std::string& skin) {
        ASSERT_NE(w->pgcMain->Element(), nullptr) << "the tabs wear the skin's [tab]";
        EXPECT_EQ(w->pgcMain->TabPosition(), tpBottom);
        EXPECT_EQ(w->pgcMain->DefaultItemHeight(), 20);
        EXPECT_GE(w->vlSkinMonthCalendar1->ElementIndex(), 0);
        SelectNode("Plan");
        // The tab under the mouse lights up.
        TRect calendarTab = w->pgcMain->TabRect(1);
        SendMessageA(w->pgcMain->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(calendarTab.Left + 5, calendarTab.Top + 5));
        EXPECT_EQ(w->pgcMain->HotTab(), 1);
        ui::SaveScreenshot(w->Handle(), std::string("tabs-") + skin);
        SendMessageA(w->pgcMain->Handle(), WM_MOUSELEAVE, 0, 0);

        // The calendar sheet by its tab; a day clicked shows that day.
        ui::ClickAt(w->pgcMain->Handle(), calendarTab.Left + 10, calendarTab.Top + 5);
        EXPECT_EQ(w->pgcMain->ActivePageIndex(), 1);
        TvlSkinMonthCalendar* cal = w->vlSkinMonthCalendar1;
        UpdateWindow(cal->Handle());
        RECT cr = cal->LayoutRect();
        int index = 20 - 1 + vlFirstColumn(2007, 12, Sun);
        ui::ClickAt(cal->Handle(), cr.left + 1 + (index % 7) * cal->CellWidth() + cal->CellWidth() / 2,
                    cal->GridTop() + 3 + (index / 7) * cal->RowHeight() + cal->RowHeight() / 2);
        EXPECT_EQ(w->CalendarDay(), "12/20/2007");
        ui::SaveScreenshot(w->Handle(), std::string("calendar-sheet-") + skin);
        w->pgcMain->SetActivePageIndex(0);

        OnTaskDialog([&](TfrmTask* d) {
            TvlSkinDateEdit* date = d->edtStartDate;
            EXPECT_EQ(date->SkinData(), w->vlSkinData1);
            EXPECT_GE(date->SkinLook().ElementIndex, 0) << "buttonedit";
            EXPECT_EQ(date->EditMask(), "!99/99/0000;1; ");
            date->SetFocus();
            date->SetDate({2007, 12, 13});
            SendMessageA(date->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);  // Alt+Down
            ui::Pump(20);
            ASSERT_TRUE(date->DroppedDown());
            EXPECT_EQ(GetForegroundWindow(), d->Handle()) << "the calendar never takes the activation";
            RECT dialog, drop, both;
            GetWindowRect(d->Handle(), &dialog);
            GetWindowRect(date->Calendar()->Handle(), &drop);
            UnionRect(&both, &dialog, &drop);
            bool above = false;
            for (HWND h = GetTopWindow(nullptr); h && h != d->Handle(); h = GetWindow(h, GW_HWNDNEXT))
                above = above || h == date->Calendar()->Handle();
            EXPECT_TRUE(above) << "the calendar shows over its dialog";
            // The test prefix runs without a window manager, where the X stacking
            // can lag behind the windows' order after the dialog's activation
            // events: restack before the picture is taken.
            SetWindowPos(date->Calendar()->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetWindowPos(date->Calendar()->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ui::SaveScreenArea(both, std::string("task-date-dropdown-") + skin);
            ui::Key(date, VK_RIGHT);
            ui::Key(date, VK_RETURN);  // picks the day; the dialog stays open
            EXPECT_FALSE(date->DroppedDown());
            EXPECT_EQ(d->ModalResult, mrNone);
            EXPECT_EQ(date->Text(), "12/14/2007");
            ui::Key(d->vlSkinButton2, VK_ESCAPE);
        });
        ui::Click(w->btnAdd);
    });
}

TEST_F(PlannerTest, AnImpossibleTypedDateIsToldAndKeepsTheFocus) {
    Write("categories.dat", "Work\r\n");
    Write("projects.dat", "Header^Plan^Work^^^\r\nEndProject\r\n");
    TfrmMain* w = Start();
    SelectNode("Plan");
    int seen = 0;
    OnTaskDialog([&](TfrmTask* d) {
        ui::Type(d->edtName, "Dig");
        // The test prefix formats dates month/day/year: 31 February is refused
        // as a user's mistake, not reported as a crash.
        ui::OnNextModal(ui::ExpectMessage("'02/31/2024' is not a valid date", "OK", &seen));
        ui::Type(d->edtEndDate, "02312024");
        ui::Pump(20);
        EXPECT_EQ(seen, 1);
        EXPECT_EQ(d->ActiveControl(), d->edtEndDate);
        EXPECT_EQ(GetFocus(), d->edtEndDate->Handle());
        EXPECT_EQ(d->edtEndDate->Text(), "02/31/2024") << "the text stays for the user to mend";
        ui::Click(d->vlSkinButton1);
    });
    ui::Click(w->btnAdd);
    ASSERT_EQ(w->CurrentProject()->Tasks.Count(), 1);
    EXPECT_EQ(w->CurrentProject()->Task(0)->EndDate, "02/31/2024");
}

TEST_F(PlannerTest, ASkinLoadedLaterReachesTheTabsAndTheCalendar) {
    TfrmMain* w = Start();
    const TvlDataSkinTabControl* modern = w->pgcMain->Element();
    ASSERT_NE(modern, nullptr);
    TColor modernTitle = w->vlSkinMonthCalendar1->TitleColor();
    w->vlSkinData1->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    ui::Pump(20);
    const TvlDataSkinTabControl* graphite = w->pgcMain->Element();
    ASSERT_NE(graphite, nullptr) << "the frame relayed the new skin to the page control";
    EXPECT_EQ(w->pgcMain->Font.Color(), graphite->FontColor);
    EXPECT_NE(w->vlSkinMonthCalendar1->TitleColor(), modernTitle) << "the dark skin's label colours";
    EXPECT_GE(w->vlSkinMonthCalendar1->ElementIndex(), 0);
}
