#pragma once
// The date edit: a skinned edit ("buttonedit") with a button at its right
// end, an input mask built from the user's short date format, a check of
// every typed character, and a drop-down month calendar opened by the
// button or Alt+Down. The edit keeps the focus while the calendar is open:
// the calendar never activates, and the edit hands it the navigation keys.
#include <functional>
#include <memory>
#include <string>

#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlSkinControls.h"
#include "skin/data/vlSkinLook.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlDateFormat.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

using TvlKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TvlInvalidDateEvent = std::function<void(TObject* sender, const std::string& message)>;

class TvlSkinDateEdit : public TvlSkinElement<TEdit> {
public:
    TvlSkinDateEdit(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    ~TvlSkinDateEdit() override;

    // The calendar's date.
    SYSTEMTIME Date() const { return FCalendar->Date(); }
    TvlDay Day() const { return FCalendar->Day(); }
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
    TNotifyEvent OnDateChange;
    // Runs for every typed character but Enter and Backspace; the date
    // check by default. Setting key to 0 drops the character.
    TvlKeyPressEvent OnKeyPress;
    // The button; opens or closes the calendar by default.
    TNotifyEvent OnButtonClick;
    // A typed text that names no day ("'%s' is not a valid date"): the
    // form shows it as an information message.
    TvlInvalidDateEvent OnInvalidDate;
    bool UseSkinFont = true;
    // Whether the drop-down can be translucent (the platform's answer by default).
    std::function<bool()> LayeredSupported;

    const std::string& EditMask() const { return FMask; }
    // The mask built afresh from the user's current short date format.
    void RebuildMask();
    const TvlDateLocale& DateLocale() const { return FLocale; }
    // Fits a text into the mask (a date of the data files, or a blank one).
    void SetMaskedText(const std::string& text);
    std::string BlankText() const { return BlankDateText(FMask, FLocale.Separator); }

    void DropDown();
    void CloseUp(bool accept);
    bool DroppedDown() const { return FCalendar->HandleAllocated() && IsWindowVisible(FCalendar->Handle()); }
    TvlSkinPopupMonthCalendar* Calendar() const { return FCalendar; }
    // The button's place in window coordinates.
    TRect ButtonRect() const;
    bool ButtonDown() const { return FButtonDown; }

    void SetSkinData(TvlSkinData* skinData) override;
    void SkinChanging() override;
    void SkinChanged() override;
    const TvlSkinLook& SkinLook() const { return FLook; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnKillFocus(TMessage& m) override;
    void OnNcCalcSize(TMessage& m) override;
    void OnNcPaint(TMessage& m) override;
    void OnNcHitTest(TMessage& m) override;
    void OnNcMouse(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnCaptureChanged(TMessage& m) override;
    bool OnReflected(TMessage& m) override;
    void CommandNotify(WORD code) override;

private:
    struct TInsets {
        int L, T, R, B;
    };
    void ReadElement();
    TvlDataSkinEditControl* Element() const { return FLook.ElementAs<TvlDataSkinEditControl>(); }
    TInsets FrameInsets(int width, int height) const;
    void ComposeFrame(TvlFBitmap& bitmap, int width, int height);
    void RedrawFrame();
    void ButtonClick();
    void IsPartialDateValidKey(TObject* sender, char& key);
    void TypeChar(char c);
    void BlankRange(int from, int to);
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

    TvlSkinLook FLook;
    TvlDateLocale FLocale;
    std::string FMask;
    std::string FKinds;  // per position: '9', '0', 'L', or 0 for a fixed separator
    TvlSkinPopupMonthCalendar* FCalendar = nullptr;  // owned through the component tree
    TMessageHook* FClickWatch = nullptr;             // likewise
    TGdiBrush FBackBrush;
    TColor FBackColour = clWindow, FTextColour = clWindowText;
    bool FTodayDefault = false, FUpdating = false, FTyping = false;
    bool FButtonDown = false, FButtonHot = false, FMouseOverFrame = false;
    // Cleared when the edit goes, for code that let messages run meanwhile.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
