// The date edit: the mask and checks of the user's short date format, typing
// through the mask, the drop-down calendar and its keys, translucency and
// leaks.
#include <windowsx.h>

#include <utility>
#include <vector>

#include "core/WindowServices.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/LeakCheck.h"

namespace {
// Sets the user's short date format for the test and puts the old one back.
class TShortDateFormat {
public:
    explicit TShortDateFormat(const char* format) {
        char old[80] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, old, sizeof old);
        FOld = old;
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format);
    }
    ~TShortDateFormat() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, FOld.c_str()); }

private:
    std::string FOld;
};

TvlDateLocale Locale(const std::string& reference, char separator) {
    TvlDateLocale l;
    l.Reference = reference;
    l.Separator = separator;
    return l;
}

struct TFakeLayered : TLayeredWindows {
    std::vector<int> Alphas;
    bool SetAlpha(HWND, BYTE alpha) override {
        Alphas.push_back(alpha);
        return true;
    }
};

void ClickButton(TvlSkinDateEdit* edit) {
    RECT window;
    GetWindowRect(edit->Handle(), &window);
    TRect b = edit->ButtonRect();
    POINT screen{window.left + (b.Left + b.Right) / 2, window.top + (b.Top + b.Bottom) / 2};
    // The code the platform gets from the hit test comes with the press.
    LRESULT code = SendMessageA(edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageA(edit->Handle(), WM_NCLBUTTONDOWN, code, MAKELPARAM(screen.x, screen.y));
    POINT client = screen;
    ScreenToClient(edit->Handle(), &client);
    SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    ui::Pump();
}


void AltDown(TvlSkinDateEdit* edit) {
    SendMessageA(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
    ui::Pump();
}
}  // namespace

TEST(DateFormat, MasksFromTheReferenceText) {
    EXPECT_EQ(BuildDateMask(Locale("31/12/9999", '/')), "!99/99/0000;1; ");
    EXPECT_EQ(BuildDateMask(Locale("12/31/9999", '/')), "!99/99/0000;1; ");
    EXPECT_EQ(BuildDateMask(Locale("9999-12-31", '-')), "!0000/99/99;1; ");
    EXPECT_EQ(BuildDateMask(Locale("31.12.99", '.')), "!99/99/00;1; ");
    TvlDateLocale named = Locale("31-Dec-9999", '-');
    EXPECT_TRUE(named.NameForm());
    EXPECT_EQ(BuildDateMask(named), "!99/LLL/0000;1; ");
    // Formats of other than three parts fall back to the fixed mask.
    EXPECT_EQ(BuildDateMask(Locale("9999/12", '/')), "!99/99/0000;1; ");
    EXPECT_EQ(BuildDateMask(Locale("31/12/9999/x", '/')), "!99/99/0000;1; ");
    EXPECT_EQ(BlankDateText("!0000/99/99;1; ", '-'), "    -  -  ");
    auto roles = Locale("9999-12-31", '-').Roles();
    EXPECT_EQ(roles[0], drYear);
    EXPECT_EQ(roles[1], drMonth);
    EXPECT_EQ(roles[2], drDay);
}

TEST(DateFormat, PartialAndCompleteChecks) {
    TvlDateLocale dmy = Locale("31/12/9999", '/');
    // First digits of day and month, completed parts, and the year while open.
    const std::pair<const char*, bool> partial[] = {
        {"4 /  /    ", false}, {"3 /  /    ", true},  {"32/  /    ", false}, {"00/  /    ", false},
        {"12/2 /    ", false}, {"12/1 /    ", true},  {"12/0 /    ", true},  {"12/13/    ", false},
        {"12/00/    ", false}, {"12/05/2   ", true},  {"12/05/20  ", true},  {"12/05/00  ", true},
        {"12/05/000 ", false},  // the year 0000 can never be typed
        {"31/02/2024", true},   // the day's limit is 31 in every month
        {"1\x16/  /    ", false},  // control characters fail
        {"12/05", false},       // a text without its three parts fails
    };
    for (const auto& [text, valid] : partial) EXPECT_EQ(IsPartialDateValid(dmy, text), valid) << text;
    const std::pair<const char*, bool> complete[] = {{"05/11/2024", true},  {"31/02/2024", true},
                                                     {"05/11/202 ", false}, {"05/13/2024", false},
                                                     {"00/11/2024", false}, {"05/11/0000", false}};
    for (const auto& [text, valid] : complete) EXPECT_EQ(IsCompleteDateValid(dmy, text), valid) << text;
    EXPECT_FALSE(DateFromText(dmy, "31/02/2024").has_value()) << "no such day";
    EXPECT_FALSE(DateFromText(dmy, "29/02/2023").has_value());
    EXPECT_EQ(DateFromText(dmy, "29/02/2024"), (TvlDay{2024, 2, 29}));
    EXPECT_EQ(DateToText(dmy, {2024, 11, 5}), "05/11/2024");

    TvlDateLocale ymd = Locale("9999-12-31", '-');
    EXPECT_TRUE(IsPartialDateValid(ymd, "2024-1 -  "));
    EXPECT_FALSE(IsPartialDateValid(ymd, "2024-12-4 "));
    EXPECT_EQ(DateFromText(ymd, "2024-11-05"), (TvlDay{2024, 11, 5}));
    EXPECT_EQ(DateToText(ymd, {761 + 1000, 1, 2}), "1761-01-02");
    TvlDateLocale twoDigits = Locale("31.12.99", '.');
    EXPECT_EQ(DateFromText(twoDigits, "01.02.05"), (TvlDay{2005, 2, 1}));
    EXPECT_EQ(DateFromText(twoDigits, "01.02.75"), (TvlDay{1975, 2, 1}));

    TvlDateLocale named = Locale("31-Dec-9999", '-');
    named.MonthTexts = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    EXPECT_FALSE(IsPartialDateValid(named, "1 -   -    ")) << "digits wait for a letter in a named format";
    EXPECT_TRUE(IsPartialDateValid(named, "  -D  -    "));
    EXPECT_TRUE(IsCompleteDateValid(named, "05-nov-2024"));
    EXPECT_FALSE(IsCompleteDateValid(named, "05-Nox-2024"));
    EXPECT_EQ(MonthNumber(named, "NOV"), 11);
    EXPECT_EQ(MonthNumber(named, "xyz"), 1);
    EXPECT_EQ(DateFromText(named, "05-Nov-2024"), (TvlDay{2024, 11, 5}));
}

TEST_F(WidgetTest, DateEditTypesThroughTheLocalesMask) {
    TShortDateFormat format("dd/MM/yyyy");
    auto* edit = ShownSkinned<TvlSkinDateEdit>(20, 20, 121, 18);
    EXPECT_EQ(edit->EditMask(), "!99/99/0000;1; ");
    EXPECT_EQ(edit->Text(), "  /  /    ");
    int changes = 0;
    edit->OnDateChange = [&](TObject*) { ++changes; };
    std::vector<std::string> invalid;
    edit->OnInvalidDate = [&](TObject*, const std::string& m) { invalid.push_back(m); };

    SetFocus(edit->Handle());
    ui::Type(edit, "4");
    EXPECT_EQ(edit->Text(), "  /  /    ") << "no day begins with 4";
    ui::Type(edit, "3");
    EXPECT_EQ(edit->Text(), "3 /  /    ");
    ui::Type(edit, "2");
    EXPECT_EQ(edit->Text(), "3 /  /    ") << "32 is no day";
    ui::Type(edit, "1");
    ui::Type(edit, "2");
    EXPECT_EQ(edit->Text(), "31/  /    ") << "the month cannot begin with 2";
    ui::Type(edit, "1x3");
    EXPECT_EQ(edit->Text(), "31/1 /    ") << "13 is no month; letters never fit";
    ui::Type(edit, "\x16\x03\x1a");  // Ctrl+V, Ctrl+C, Ctrl+Z typed: they do nothing
    ui::Type(edit, "0");
    ui::Type(edit, "000");
    EXPECT_EQ(edit->Text(), "31/10/00  ") << "a third 0 of the year is refused";
    // Backspace blanks the place before the caret, over the separators.
    for (int i = 0; i < 3; ++i) ui::Type(edit, "\b");
    EXPECT_EQ(edit->Text(), "31/1 /    ");
    ui::Type(edit, "12024");
    EXPECT_EQ(edit->Text(), "31/11/2024");
    EXPECT_EQ(invalid, std::vector<std::string>{"'31/11/2024' is not a valid date"});
    EXPECT_EQ(GetFocus(), edit->Handle()) << "the focus stays in the field";
    EXPECT_EQ(changes, 0) << "the date stays as it was";
    // The caret at the end: nothing more can be typed.
    ui::Type(edit, "5");
    EXPECT_EQ(edit->Text(), "31/11/2024");

    // A complete day sets the date and fires once; the same day again fires nothing.
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 2);
    ui::Key(edit, VK_DELETE);
    EXPECT_EQ(edit->Text(), "  /11/2024");
    ui::Type(edit, "05");
    EXPECT_EQ(edit->Text(), "05/11/2024");
    EXPECT_EQ(edit->Day(), (TvlDay{2024, 11, 5}));
    EXPECT_EQ(changes, 1);
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 2);
    ui::Key(edit, VK_DELETE);
    ui::Type(edit, "05");
    EXPECT_EQ(changes, 1);
    // With everything selected the check still looks at the caret's place only.
    SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
    ui::Type(edit, "4");
    EXPECT_EQ(edit->Text(), "05/11/2024");
    // Delete blanks without moving the separators.
    SendMessageA(edit->Handle(), EM_SETSEL, 3, 3);
    ui::Key(edit, VK_DELETE);
    EXPECT_EQ(edit->Text(), "05/ 1/2024");
}

TEST_F(WidgetTest, DateEditFollowsAYearMonthDayLocale) {
    TShortDateFormat format("yyyy-MM-dd");
    auto* edit = new TvlSkinDateEdit(Form, Form, 20, 20, 121, 18);
    Form->Show();
    ui::Pump(20);
    EXPECT_EQ(edit->EditMask(), "!0000/99/99;1; ");
    EXPECT_EQ(edit->Text(), "    -  -  ");
    SetFocus(edit->Handle());
    ui::Type(edit, "2024115");
    EXPECT_EQ(edit->Text(), "2024-11-  ") << "no day begins with 5";
    ui::Type(edit, "05");
    EXPECT_EQ(edit->Day(), (TvlDay{2024, 11, 5}));
    edit->SetDate({2023, 1, 9});
    EXPECT_EQ(edit->Text(), "2023-01-09");
    edit->SetMaskedText("  /  /    ");  // a blank date of the data files
    EXPECT_EQ(edit->Text(), "    -  -  ");
}

TEST_F(WidgetTest, DateEditDropDownOpensClosesAndPicks) {
    TShortDateFormat format("dd/MM/yyyy");
    auto* edit = Skinned<TvlSkinDateEdit>(20, 20, 121, 18);
    auto* other = new TEdit(Form, Form, 20, 100, 80, 20);
    Form->Show();
    ui::Pump(20);
    TvlSkinPopupMonthCalendar* cal = edit->Calendar();
    EXPECT_EQ(cal->Width(), 200);
    EXPECT_EQ(cal->Height(), 150);
    EXPECT_EQ(cal->FirstDayOfWeek(), Sun);
    int changes = 0;
    edit->OnDateChange = [&](TObject*) { ++changes; };
    edit->SetDate({2024, 11, 5});
    EXPECT_EQ(changes, 1);
    edit->SetDate({2024, 11, 5});
    EXPECT_EQ(changes, 2) << "setting the date fires even when it does not change";

    // The button opens the calendar below the edit without taking the focus.
    SetFocus(edit->Handle());
    ClickButton(edit);
    ASSERT_TRUE(edit->DroppedDown());
    RECT e, c;
    GetWindowRect(edit->Handle(), &e);
    GetWindowRect(cal->Handle(), &c);
    EXPECT_EQ(c.left, e.left);
    EXPECT_EQ(c.top, e.bottom);
    EXPECT_EQ(GetFocus(), edit->Handle());
    EXPECT_TRUE(GetWindowLongA(cal->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(cal->Handle(), GW_OWNER), Form->Handle());
    EXPECT_EQ(SendMessageA(cal->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Form->Handle()), 0),
              MA_NOACTIVATE);
    // The second click closes it and leaves the text.
    ClickButton(edit);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "05/11/2024");

    // Alt+Down opens; arrows and Page Down work the calendar; Enter picks.
    AltDown(edit);
    ASSERT_TRUE(edit->DroppedDown());
    ui::Key(edit, VK_RIGHT);
    ui::Key(edit, VK_DOWN);
    ui::Key(edit, VK_NEXT);
    EXPECT_EQ(edit->Day(), (TvlDay{2024, 12, 13}));
    EXPECT_EQ(edit->Text(), "05/11/2024") << "the text follows only a pick";
    int before = changes;
    ui::Key(edit, VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "13/12/2024");
    EXPECT_EQ(changes, before + 1);

    // Escape closes without a pick.
    AltDown(edit);
    ui::Key(edit, VK_PRIOR);
    ui::Key(edit, VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "13/12/2024");
    EXPECT_EQ(edit->Day(), (TvlDay{2024, 11, 13})) << "the calendar's steps change the date all the same";

    // A click on a day number picks it, even the day already held.
    AltDown(edit);
    UpdateWindow(cal->Handle());
    RECT cr = cal->LayoutRect();
    int index = 13 - 1 + vlFirstColumn(2024, 11, Sun);
    int x = cr.left + 1 + (index % 7) * cal->CellWidth() + 5, y = cal->GridTop() + 3 + (index / 7) * cal->RowHeight() + 5;
    before = changes;
    ui::ClickAt(cal->Handle(), x, y);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "13/11/2024");
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(GetFocus(), edit->Handle());

    // The focus going elsewhere closes it, and the focus stays there.
    AltDown(edit);
    SetFocus(other->Handle());
    ui::Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(GetFocus(), other->Handle());
    // So does a press on another control of the form.
    SetFocus(edit->Handle());
    AltDown(edit);
    PostMessageA(other->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(other->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    ui::Pump();
    EXPECT_FALSE(edit->DroppedDown());
    // Another key closes it after doing its own work.
    SetFocus(edit->Handle());
    AltDown(edit);
    ui::Key(edit, VK_HOME);
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(WidgetTest, DateEditPlacementTranslucencyAndLeaks) {
    TShortDateFormat format("dd/MM/yyyy");
    auto* edit = ShownSkinned<TvlSkinDateEdit>(20, 20, 121, 18);
    // Near the bottom of the primary screen the calendar opens above the edit;
    // at exactly its height below the edit it still opens below.
    int screen = GetSystemMetrics(SM_CYSCREEN);
    RECT w, e, c;
    for (int room : {149, 150}) {
        GetWindowRect(Form->Handle(), &w);
        GetWindowRect(edit->Handle(), &e);
        SetWindowPos(Form->Handle(), nullptr, w.left, w.top + (screen - room) - e.bottom, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(edit->Handle(), &e);
        ASSERT_EQ(screen - e.bottom, room);
        edit->DropDown();
        GetWindowRect(edit->Calendar()->Handle(), &c);
        EXPECT_EQ(c.top, room < 150 ? e.top - 150 : e.bottom) << room;
        edit->CloseUp(false);
    }

    // Translucent: opacity 0 when shown, then the value, or 2, 4, ... the value.
    TFakeLayered layered;
    TServiceOverride<TLayeredWindows> useLayered(layered);
    edit->AlphaBlend = true;
    edit->AlphaBlendValue = 200;
    edit->DropDown();
    EXPECT_TRUE(GetWindowLongA(edit->Calendar()->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(layered.Alphas, (std::vector<int>{0, 200}));
    edit->CloseUp(false);
    EXPECT_FALSE(GetWindowLongA(edit->Calendar()->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    layered.Alphas.clear();
    edit->AlphaBlendAnimation = true;
    edit->AlphaBlendValue = 7;
    edit->DropDown();
    EXPECT_EQ(layered.Alphas, (std::vector<int>{0, 2, 4, 6, 7}));
    edit->CloseUp(false);
    layered.Alphas.clear();
    edit->AlphaBlend = false;
    edit->DropDown();
    EXPECT_TRUE(layered.Alphas.empty()) << "without AlphaBlend the calendar is opaque at once";
    edit->CloseUp(false);

    edit->AlphaBlend = true;
    edit->AlphaBlendAnimation = false;
    SetFocus(edit->Handle());
    TLeakCheck leaks;
    int windows = ThreadWindowCount();
    for (int i = 0; i < 200; ++i) {
        if (i % 2)
            AltDown(edit);
        else
            ClickButton(edit);
        UpdateWindow(edit->Calendar()->Handle());
        ui::Key(edit, i % 3 ? VK_ESCAPE : VK_RETURN);
    }
    ui::Pump();
    leaks.ExpectNone("200 drop-down open and close cycles");
    EXPECT_EQ(ThreadWindowCount(), windows) << "no window is left behind";
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(WidgetTest, DateEditStandsOnTheSkinnedEditsButtonAndMenu) {
    TShortDateFormat format("dd/MM/yyyy");
    auto* edit = ShownSkinned<TvlSkinDateEdit>(20, 20, 121, 18);
    EXPECT_TRUE(edit->ButtonMode());
    EXPECT_EQ(edit->SkinDataName, "buttonedit");
    EXPECT_EQ(edit->Height(), edit->SkinLook().SkinRect.Height());
    RECT window;
    GetWindowRect(edit->Handle(), &window);
    TRect b = edit->ButtonRect();
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_NCHITTEST, 0,
                           MAKELPARAM(window.left + (b.Left + b.Right) / 2, window.top + (b.Top + b.Bottom) / 2)),
              6);
    // Pressed and released off the button: the calendar stays closed.
    SendMessageA(edit->Handle(), WM_NCLBUTTONDOWN, 6,
                 MAKELPARAM(window.left + (b.Left + b.Right) / 2, window.top + (b.Top + b.Bottom) / 2));
    EXPECT_TRUE(edit->ButtonDown());
    SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(-30, 50));
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_FALSE(edit->ButtonDown());

    // The skinned edit's context menu, its commands going through the mask.
    edit->SetDate({2024, 11, 5});
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 2);
    std::vector<std::string> captions;
    edit->MenuPresenter = [&](TPopupMenu* menu, int, int) {
        for (TMenuItem* item : menu->Items()) {
            captions.push_back(item->Caption);
            if (item->Caption == "Delete") item->Click();
        }
    };
    SendMessageA(edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit->Handle()), MAKELPARAM(30, 30));
    edit->MenuPresenter = nullptr;
    EXPECT_EQ(captions.size(), 8u);
    EXPECT_EQ(edit->Text(), "  /11/2024") << "Delete blanks the day and keeps the mask";

    // Read-only: no typing, pasting, cutting or deleting.
    edit->SetMaskedText("05/11/2024");
    edit->ReadOnly = true;
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 0);
    SendMessageA(edit->Handle(), WM_CHAR, '1', 0);
    SendMessageA(edit->Handle(), WM_CHAR, '\b', 0);
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 2);
    SendMessageA(edit->Handle(), WM_CLEAR, 0, 0);
    SendMessageA(edit->Handle(), WM_CUT, 0, 0);
    SendMessageA(edit->Handle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(edit->Text(), "05/11/2024");
    edit->ReadOnly = false;
    SendMessageA(edit->Handle(), EM_SETSEL, 0, 0);
    SendMessageA(edit->Handle(), WM_CHAR, '1', 0);
    EXPECT_EQ(edit->Text(), "15/11/2024");
}
