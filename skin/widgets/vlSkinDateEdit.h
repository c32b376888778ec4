#pragma once
// The date edit: a skinned edit with its button ("buttonedit"), an input
// mask built from the user's short date format, a check of every typed
// character, and a drop-down month calendar opened by the button or
// Alt+Down. The edit keeps the focus while the calendar is open: the
// calendar never activates, and the edit hands it the navigation keys.
#include <functional>
#include <memory>
#include <string>

#include "skin/controls/vlSkinEdits.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlDateFormat.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

using TvlInvalidDateEvent = std::function<void(TObject* sender, const std::string& message)>;

class TvlSkinDateEdit : public TvlSkinEdit {
public:
    TvlSkinDateEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    ~TvlSkinDateEdit() override;

    // The calendar's date with the time of day the control keeps: set with
    // a date and time, the current time at construction.
    SYSTEMTIME Date() const;
    TvlDay Day() const { return FCalendar->Day(); }
    // The date and its time of day; the date as SetDate sets it.
    void SetDateTime(const SYSTEMTIME& dateAndTime);
    // Sets the calendar's date and the text, and fires OnDateChange (also
    // when the date does not change).
    void SetDate(const TvlDay& day);
    bool TodayDefault() const { return FTodayDefault; }
    void SetTodayDefault(bool value);
    int CalendarWidth() const { return FCalendar->Width(); }
    void SetCalendarWidth(int v) { FCalendar->SetWidth(v); }
    int CalendarHeight() const { return FCalendar->Height(); }
    void SetCalendarHeight(int v) { FCalendar->SetHeight(v); }
    const TFont& CalendarFont() const { return FCalendar->DefaultFont; }
    void SetCalendarFont(const TFont& font) { FCalendar->SetDefaultFont(font); }
    TvlDaysOfWeek FirstDayOfWeek() const { return FCalendar->FirstDayOfWeek(); }
    void SetFirstDayOfWeek(TvlDaysOfWeek v) { FCalendar->SetFirstDayOfWeek(v); }
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    unsigned char AlphaBlendValue = 0;
    // OnKeyPress runs for every typed character but Enter and Backspace
    // (the date check by default); OnButtonClick opens or closes the
    // calendar by default.
    TNotifyEvent OnDateChange;
    // A typed text that names no day ("'%s' is not a valid date"): the
    // form shows it as an information message.
    TvlInvalidDateEvent OnInvalidDate;

    const std::string& EditMask() const { return FMask; }
    // The mask built afresh from the user's current short date format.
    void RebuildMask();
    const TvlDateLocale& DateLocale() const { return FLocale; }
    // Fits a text into the mask (a date of the data files, or a blank one).
    void SetMaskedText(const std::string& text);
    std::string BlankText() const { return BlankDateText(FMask, FLocale.Separator); }

    void DropDown();
    // Where the drop-down of `width` x `height` opens for an edit at `edit`
    // (screen coordinates) on a monitor whose work area is `work`.
    static POINT DropDownPlace(const RECT& edit, int width, int height, const RECT& work);
    void CloseUp(bool accept);
    bool DroppedDown() const { return FCalendar->HandleAllocated() && IsWindowVisible(FCalendar->Handle()); }
    TvlSkinPopupMonthCalendar* Calendar() const { return FCalendar; }

    void SkinChanging() override;
    void SkinChanged() override;
    void CommandNotify(WORD code) override;

protected:
    void WndProc(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnKillFocus(TMessage& m) override;

private:
    void RedrawFrame();
    void IsPartialDateValidKey(TObject* sender, char& key);
    void TypeChar(char c);
    void BlankRange(int from, int to);
    // Blanks the selection and returns true; without one, false with the
    // caret in `caret`.
    bool BlankSelection(int& caret);
    void Backspace();
    void DeleteAtCaret();
    void PasteText();
    int Caret() const;
    void SetCaret(int pos);
    bool Editable(int pos) const { return pos >= 0 && pos < static_cast<int>(FKinds.size()) && FKinds[pos] != 0; }
    void SetOwnText(const std::string& text);
    void ApplyDateText();
    void ShowInvalidDate(const std::string& text);
    bool OutsideClick(const MSG& msg) const;

    TvlDateLocale FLocale;
    std::string FMask;
    std::string FKinds;  // per position: '9', '0', 'L', or 0 for a fixed separator
    TvlSkinPopupMonthCalendar* FCalendar = nullptr;  // owned through the component tree
    TMessageHook* FClickWatch = nullptr;             // likewise
    SYSTEMTIME FTimeOfDay{};
    bool FTodayDefault = false, FUpdating = false, FTyping = false;
    // Cleared when the edit goes, for code that let messages run meanwhile.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
