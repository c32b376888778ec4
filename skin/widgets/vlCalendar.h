#pragma once
// The skinned month calendar: one month as a grid of day numbers under a
// "MMMM, YYYY" title, with four navigation buttons, on a skinned panel.
// The popup kind lives in a top-level window that never takes activation
// (the date edit's drop-down).
#include <windows.h>

#include <memory>
#include <string>

#include "skin/controls/vlSkinButtons.h"
#include "skin/controls/vlSkinPanels.h"
#include "skin/widgets/vlCalendarMath.h"
#include "toolkit/ExtCtrls.h"

enum TvlDaysOfWeek { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

// A navigation button with the speed button's repeat: while held it steps
// every RepeatInterval (the first one interval after the press), pauses
// while the pointer is off it, and steps once more on a release over it.
class TvlCalendarButton : public TvlSkinSpeedButton {
public:
    TvlCalendarButton(TComponent* owner, TWinControl* parent, const char* glyphResource, int repeatInterval,
                      UINT_PTR timerId, TNotifyEvent action);
    int RepeatInterval;
    bool Repeating() const { return FTimer != nullptr; }
    void Click() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    // A tick of the calendar's window timer; true when it was this button's.
    bool TimerTick(UINT_PTR id);
    void StopRepeat();

private:
    UINT_PTR FTimerId;
    TNotifyEvent FAction;
    std::unique_ptr<TWindowTimer> FTimer;
    bool FHeld = false;
    void StartRepeat();
};

class TvlSkinMonthCalendar : public TvlSkinPanel {
public:
    TvlSkinMonthCalendar(TComponent* owner, TWinControl* parent, int left = 0, int top = 0, int width = 200,
                         int height = 150);
    ~TvlSkinMonthCalendar() override;

    SYSTEMTIME Date() const;
    TvlDay Day() const { return FDate; }
    // Stores the date and repaints; a date outside the calendar's years or
    // not in its month is refused.
    void SetDate(int year, int month, int day);
    void SetDate(const SYSTEMTIME& date) { SetDate(date.wYear, date.wMonth, date.wDay); }
    bool TodayDefault() const { return FTodayDefault; }
    void SetTodayDefault(bool value);
    TvlDaysOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TvlDaysOfWeek value);
    // The panel's caption height, laid out and repainted at once.
    void SetDefaultCaptionHeight(int value);
    // A day number was clicked (or Enter picked the day); after Date changed.
    TNotifyEvent OnNumberClick;

    // The navigation, as the buttons run it; each fires OnClick.
    void PriorMonth();
    void NextMonth();
    void PriorYear();
    void NextYear();
    // Arrows move the day, Page Up and Page Down the month, Enter picks the
    // day; false for any other key.
    bool NavigationKey(WORD key);

    // The day under a point of the last painted grid, 0 for none.
    int DayAt(int x, int y) const;
    int CellWidth() const { return FCellWidth; }
    int RowHeight() const { return FRowHeight; }
    int GridTop() const { return FGridTop; }
    TColor NumberColor() const { return FNumberColor; }
    TColor TitleColor() const { return FTitleColor; }
    // Where the last paint put the title, its font height, and whether even
    // the smallest size did not fit between the month buttons.
    RECT TitleRect() const { return FTitleRect; }
    int TitleFontHeight() const { return FTitleFontHeight; }
    bool TitleCut() const { return FTitleCut; }
    TvlCalendarButton* PriorYearButton() const { return FButtons[0]; }
    TvlCalendarButton* PriorMonthButton() const { return FButtons[1]; }
    TvlCalendarButton* NextMonthButton() const { return FButtons[2]; }
    TvlCalendarButton* NextYearButton() const { return FButtons[3]; }
    // The title text of a date ("MMMM, YYYY" in the user's locale).
    static std::string TitleText(const TvlDay& d);

    void SetSkinData(TvlSkinData* skinData) override;
    void SkinChanged() override;
    void LayoutButtons();

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    // The look shows whether the calendar has the focus.
    void FocusChanged(bool focused) override { Invalidate(); }
    void WndProc(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnTimer(TMessage& m) override;
    void AlignControls() override;
    // The popup never takes the focus.
    virtual bool FocusOnClick() const { return true; }

private:
    void PaintCalendar(TvlFBitmap& bitmap, bool skinned);
    void DrawTitle(TCanvas& canvas, const std::string& text, int top);
    void ReadColours();
    void Navigate(TvlDay to);

    TvlDay FDate;
    bool FTodayDefault = false;
    TvlDaysOfWeek FFirstDayOfWeek = Sun;
    TvlCalendarButton* FButtons[4] = {};
    int FCellWidth = 0, FRowHeight = 0, FGridTop = 0;
    RECT FTitleRect{};
    int FTitleFontHeight = 0;
    bool FTitleCut = false;
    TColor FNumberColor = clWindowText, FTitleColor = clWindowText;
};

// The calendar in its own popup window, owned by the window of `host`'s form.
class TvlSkinPopupMonthCalendar : public TvlSkinMonthCalendar {
public:
    TvlSkinPopupMonthCalendar(TComponent* owner, TWinControl* host);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    bool FocusOnClick() const override { return false; }

private:
    TWinControl* FHost;
};
