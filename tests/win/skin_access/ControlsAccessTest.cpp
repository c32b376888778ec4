// What each kind of skinned control tells an assistive tool through MSAA:
// role, name, value, state, children, default action, shortcut and the win
// events it raises; and that objects handed out never outlive their control.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <vector>

#include "skin/controls/vlSkinComboBox.h"
#include "skin/controls/vlSkinCtrls.h"
#include "skin/controls/vlSkinListBox.h"
#include "skin/form/vlFormAccess.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "skin/widgets/vlSkinTabs.h"
#include "skin/widgets/vlWidgetsAccess.h"
#include "tests/win/skin_access/AccessReading.h"
#include "tests/win/support/CaptionedListElement.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"

using namespace msaa;

namespace {

class AccessTest : public SkinnedFormTest {
protected:
    AccessTest() : SkinnedFormTest("Access", 520, 420) {}
    void SetUp() override {
        SkinnedFormTest::SetUp();
        vlInstallAccessibility();
        FEvents.emplace();
    }
    void TearDown() override {
        FEvents.reset();
        SkinnedFormTest::TearDown();
    }
    void Show() {
        Form->Show();
        ui::Pump(20);
    }
    // Whether `event` was raised for child `child` of the client object of `wnd`.
    static bool Raised(DWORD event, HWND wnd, LONG child = CHILDID_SELF) {
        ui::Pump(10);
        return CountSeen(event, wnd, child) > 0;
    }
    // The client object of `wnd`, which must have `role`; null when it has not.
    static TAccPtr ClientWithRole(HWND wnd, long role) {
        TAccPtr client = ClientOf(wnd);
        if (!client || Role(client.get()) == role) return client;
        ADD_FAILURE() << "role " << Role(client.get()) << " where " << role << " was expected";
        return nullptr;
    }
    // A value set from code reads at once and is announced.
    template <class Change>
    static void ExpectValueChange(IAccessible* a, HWND wnd, Change change, const std::string& after) {
        gEvents.clear();
        change();
        EXPECT_EQ(Value(a), after);
        EXPECT_TRUE(Raised(EVENT_OBJECT_VALUECHANGE, wnd));
    }

    std::optional<TEventRecording> FEvents;
};

}  // namespace

TEST_F(AccessTest, ButtonsAndBoxesAreReadAndPressedLikeTheSystemOnes) {
    auto* save = Skinned<TvlSkinButton>("&Save Changes", 10, 10, 120, 25);
    auto* other = Skinned<TvlSkinButton>("Other", 140, 10, 80, 25);
    auto* check = Skinned<TvlSkinCheckRadioBox>("&Done", 10, 50, 120, 20);
    auto* radio = Skinned<TvlSkinCheckRadioBox>("&Weekly", 10, 80, 120, 20);
    radio->SetRadio(true);
    int clicks = 0;
    save->OnClick = [&](TObject*) { ++clicks; };
    save->SetDefault(true);
    other->SetEnabled(false);
    Show();

    TAccPtr button = ClientWithRole(save->Handle(), ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_TRUE(button);
    EXPECT_EQ(Name(button.get()), "Save Changes");
    EXPECT_EQ(Shortcut(button.get()), "Alt+S");
    EXPECT_EQ(DefaultAction(button.get()), "Press");
    EXPECT_TRUE(State(button.get()) & STATE_SYSTEM_DEFAULT);
    EXPECT_TRUE(State(button.get()) & STATE_SYSTEM_FOCUSABLE);
    EXPECT_FALSE(State(button.get()) & STATE_SYSTEM_PRESSED);
    save->SetDown(true);
    EXPECT_TRUE(State(button.get()) & STATE_SYSTEM_PRESSED);
    EXPECT_TRUE(Raised(EVENT_OBJECT_STATECHANGE, save->Handle()));
    save->SetDown(false);

    // The action runs after the call returns, as a click from the queue.
    ASSERT_EQ(button->accDoDefaultAction(Id(CHILDID_SELF)), S_OK);
    EXPECT_EQ(clicks, 0);
    ui::Pump(10);
    EXPECT_EQ(clicks, 1);

    TAccPtr disabled = ClientOf(other->Handle());
    EXPECT_TRUE(State(disabled.get()) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_NE(disabled->accDoDefaultAction(Id(CHILDID_SELF)), S_OK);

    TAccPtr box = ClientOf(check->Handle());
    EXPECT_EQ(Role(box.get()), ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(Name(box.get()), "Done");
    EXPECT_EQ(DefaultAction(box.get()), "Check");
    EXPECT_FALSE(State(box.get()) & STATE_SYSTEM_CHECKED);
    gEvents.clear();
    ASSERT_EQ(box->accDoDefaultAction(Id(CHILDID_SELF)), S_OK);
    ui::Pump(10);
    EXPECT_TRUE(check->Checked());
    EXPECT_TRUE(State(box.get()) & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(DefaultAction(box.get()), "Uncheck");
    EXPECT_TRUE(Raised(EVENT_OBJECT_STATECHANGE, check->Handle()));

    TAccPtr round = ClientOf(radio->Handle());
    EXPECT_EQ(Role(round.get()), ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(Name(round.get()), "Weekly");

    gEvents.clear();
    save->SetCaption("&Keep");
    EXPECT_EQ(Name(button.get()), "Keep");
    EXPECT_TRUE(Raised(EVENT_OBJECT_NAMECHANGE, save->Handle()));

    // The form's client object reaches every button as a child object.
    TAccPtr form = ClientOf(Form->Handle());
    ASSERT_TRUE(form);
    long id = FindChild(form.get(), "Keep");
    ASSERT_NE(id, 0);
    TAccPtr viaForm = Child(form.get(), id);
    ASSERT_TRUE(viaForm);
    EXPECT_EQ(Role(viaForm.get()), ROLE_SYSTEM_PUSHBUTTON);
}

TEST_F(AccessTest, LabelsGaugeAndPanelsAreReadAsTextProgressAndGroups) {
    auto* panel = Skinned<TvlSkinPanel>();
    panel->SetBounds(0, 0, 500, 120);
    panel->SetCaption("Header");
    auto* label = new TvlSkinStdLabel(Form, panel, "Progress:", 10, 40);
    label->SetSkinData(Skin);
    auto* below = new TvlSkinStdLabel(Form, panel, "Unrelated", 10, 90);
    below->SetSkinData(Skin);
    auto* gauge = new TvlSkinGauge(Form, panel, 90, 36, 200, 20);
    gauge->SetSkinData(Skin);
    gauge->SetShowProgressText(true);
    gauge->SetShowPercent(true);
    gauge->SetMaxValue(8);
    gauge->SetValue(3);
    gauge->SetProgressText("3/8 tasks  ");
    auto* link = new TvlSkinLinkLabel(Form, panel, "Visit us", 300, 40);
    link->SetSkinData(Skin);
    int followed = 0;
    link->OnClick = [&](TObject*) { ++followed; };
    Show();

    TAccPtr group = ClientWithRole(panel->Handle(), ROLE_SYSTEM_GROUPING);
    ASSERT_TRUE(group);
    EXPECT_EQ(Name(group.get()), "Header");
    gEvents.clear();
    panel->SetCaption("Project");
    EXPECT_EQ(Name(group.get()), "Project");
    EXPECT_TRUE(Raised(EVENT_OBJECT_NAMECHANGE, panel->Handle()));

    // The windowless labels are simple children of the panel.
    long text = FindChild(group.get(), "Progress:");
    ASSERT_NE(text, 0);
    EXPECT_EQ(Role(group.get(), text), ROLE_SYSTEM_STATICTEXT);
    EXPECT_FALSE(Child(group.get(), text));
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(group->accLocation(&x, &y, &w, &h, Id(text)), S_OK);
    POINT origin{0, 0};
    ClientToScreen(panel->Handle(), &origin);
    EXPECT_EQ(x, origin.x + label->Left());
    EXPECT_EQ(y, origin.y + label->Top());
    EXPECT_EQ(w, label->Width());

    long linkId = FindChild(group.get(), "Visit us", ROLE_SYSTEM_LINK);
    ASSERT_NE(linkId, 0);
    EXPECT_TRUE(State(group.get(), linkId) & STATE_SYSTEM_LINKED);
    ASSERT_EQ(group->accDoDefaultAction(Id(linkId)), S_OK);
    ui::Pump(10);
    EXPECT_EQ(followed, 1);

    TAccPtr bar = ClientWithRole(gauge->Handle(), ROLE_SYSTEM_PROGRESSBAR);
    ASSERT_TRUE(bar);
    EXPECT_EQ(Name(bar.get()), "Progress:");
    EXPECT_EQ(Value(bar.get()), "3/8 tasks  38%");
    ExpectValueChange(bar.get(), gauge->Handle(), [&] { gauge->SetValue(4); }, "3/8 tasks  50%");

    // Hit testing finds the label's place.
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(group->accHitTest(x + 1, y + 1, &hit), S_OK);
    ASSERT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, text);
}

TEST_F(AccessTest, ScrollBarsUpDownListAndComboSayTheirPositionAndItems) {
    auto* bar = Skinned<TvlSkinScrollBar>(sbVertical);
    bar->SetBounds(10, 10, 17, 150);
    auto* spin = Skinned<TvlSkinUpDown>(udVertical);
    spin->SetBounds(40, 10, 17, 30);
    auto* list = Skinned<TvlSkinListBox>();
    list->SetBounds(80, 10, 150, 100);
    for (const char* s : {"Alpha", "Beta", "Gamma"}) list->Items.Add(s);
    list->ItemsChanged();
    list->SetItemIndex(1);
    auto* combo = Skinned<TvlSkinComboBox>(250, 10, 150, 22);
    for (const char* s : {"Low", "High"}) combo->Items.Add(s);
    combo->ItemsChanged();
    combo->SetItemIndex(0);
    Show();

    TAccPtr scroll = ClientWithRole(bar->Handle(), ROLE_SYSTEM_SCROLLBAR);
    ASSERT_TRUE(scroll);
    EXPECT_EQ(Name(scroll.get()), "Vertical");
    EXPECT_EQ(Value(scroll.get()), "0");
    ExpectValueChange(scroll.get(), bar->Handle(), [&] { bar->SetPosition(40); }, "40");

    TAccPtr updown = ClientWithRole(spin->Handle(), ROLE_SYSTEM_SPINBUTTON);
    ASSERT_TRUE(updown);
    ASSERT_EQ(ChildCount(updown.get()), 2);
    EXPECT_EQ(Name(updown.get(), 1), "Up");
    EXPECT_EQ(Name(updown.get(), 2), "Down");
    EXPECT_EQ(Role(updown.get(), 1), ROLE_SYSTEM_PUSHBUTTON);
    spin->SetPosition(5);
    ASSERT_EQ(updown->accDoDefaultAction(Id(1)), S_OK);
    ui::Pump(10);
    EXPECT_EQ(spin->Position(), 6);
    EXPECT_EQ(Value(updown.get()), "6");

    TAccPtr items = ClientWithRole(list->Handle(), ROLE_SYSTEM_LIST);
    ASSERT_TRUE(items);
    ASSERT_EQ(ChildCount(items.get()), 3);
    EXPECT_EQ(Name(items.get(), 3), "Gamma");
    EXPECT_EQ(Role(items.get(), 3), ROLE_SYSTEM_LISTITEM);
    EXPECT_TRUE(State(items.get(), 2) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(State(items.get(), 1) & STATE_SYSTEM_SELECTED);
    // A selection made from code is announced on the item; none, on the list.
    gEvents.clear();
    list->SetItemIndex(2);
    EXPECT_TRUE(State(items.get(), 3) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(Raised(EVENT_OBJECT_SELECTION, list->Handle(), 3));
    gEvents.clear();
    list->SetItemIndex(2);
    EXPECT_FALSE(Raised(EVENT_OBJECT_SELECTION, list->Handle(), 3)) << "nothing changed";
    list->SetItemIndex(-1);
    EXPECT_TRUE(Raised(EVENT_OBJECT_SELECTIONWITHIN, list->Handle()));

    TAccPtr drop = ClientWithRole(combo->Handle(), ROLE_SYSTEM_COMBOBOX);
    ASSERT_TRUE(drop);
    EXPECT_EQ(Value(drop.get()), "Low");
    EXPECT_TRUE(State(drop.get()) & STATE_SYSTEM_COLLAPSED);
    EXPECT_NE(FindChild(drop.get(), "High", ROLE_SYSTEM_LISTITEM), 0);
    ExpectValueChange(drop.get(), combo->Handle(), [&] { combo->SetItemIndex(1); }, "High");
    ASSERT_EQ(drop->accDoDefaultAction(Id(CHILDID_SELF)), S_OK);
    ui::Pump(20);
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_TRUE(State(drop.get()) & STATE_SYSTEM_EXPANDED);
    // The open drop-down is a list of the same items.
    ASSERT_NE(combo->ListWindow(), nullptr);
    TAccPtr popup = ClientWithRole(combo->ListWindow(), ROLE_SYSTEM_LIST);
    ASSERT_TRUE(popup);
    EXPECT_EQ(FindChild(popup.get(), "High", ROLE_SYSTEM_LISTITEM), 2);
    combo->CloseUp(false);
}

TEST_F(AccessTest, EditsAreNamedByTheirLabelsAndKeepPasswordsToThemselves) {
    new TvlSkinStdLabel(Form, Form, "Project &Name:", 10, 14);
    auto* name = new TvlSkinEdit(Form, Form, 110, 10, 150, 22);
    name->SetSkinData(Skin);
    name->SetText("Garden");
    new TvlSkinStdLabel(Form, Form, "Password:", 10, 54);
    auto* secret = new TvlSkinEdit(Form, Form, 110, 50, 150, 22);
    secret->SetSkinData(Skin);
    secret->SetPasswordChar('*');
    secret->SetText("hunter2");
    Show();

    TAccPtr field = ClientWithRole(name->Handle(), ROLE_SYSTEM_TEXT);
    ASSERT_TRUE(field);
    EXPECT_EQ(Name(field.get()), "Project Name:");
    EXPECT_EQ(Value(field.get()), "Garden");
    EXPECT_FALSE(State(field.get()) & STATE_SYSTEM_PROTECTED);
    // Typed text is read at once: the description is made afresh.
    SendMessageA(name->Handle(), EM_SETSEL, 6, 6);
    SendMessageA(name->Handle(), WM_CHAR, 's', 0);
    EXPECT_EQ(Value(field.get()), "Gardens");
    // The window stays the platform's edit.
    char cls[32] = {};
    GetClassNameA(name->Handle(), cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, "Edit");

    TAccPtr hidden = ClientOf(secret->Handle());
    ASSERT_TRUE(hidden);
    EXPECT_EQ(Name(hidden.get()), "Password:");
    EXPECT_TRUE(State(hidden.get()) & STATE_SYSTEM_PROTECTED);
    EXPECT_EQ(Value(hidden.get()), "");
}

TEST_F(AccessTest, ListBoxCaptionButtonsStandBeforeTheItemsAndPressLikeAClick) {
    ASSERT_NE(AddCaptionedListElement(*Skin, "captionlistbox"), nullptr);
    auto* list = Skinned<TvlSkinListBox>();
    list->SkinDataName = "captionlistbox";
    list->SetSkinData(Skin);
    list->SetBounds(10, 10, 200, 140);
    list->SetCaptionMode(true);
    list->SetCaption("Categories");
    for (const char* s : {"Home", "Work"}) list->Items.Add(s);
    list->ItemsChanged();
    list->SetItemIndex(1);
    int checks = 0, ups = 0;
    list->OnCheckButtonClick = [&](TObject*) { ++checks; };
    list->OnUpButtonClick = [&](TObject*) { ++ups; };
    Show();

    TAccPtr box = ClientOf(list->Handle());
    ASSERT_TRUE(box);
    ASSERT_EQ(ChildCount(box.get()), 5);
    const char* names[] = {"Up", "Down", "Check", "Home", "Work"};
    for (long i = 1; i <= 5; ++i) EXPECT_EQ(Name(box.get(), i), names[i - 1]) << i;
    EXPECT_EQ(Role(box.get(), 3), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(Role(box.get(), 4), ROLE_SYSTEM_LISTITEM);
    // The button is where it is drawn, and its action is a click there.
    RECT where = Location(box.get(), 3);
    TRect drawn = list->CaptionButtonRect(TvlSkinListBox::cbCheck);
    POINT origin{drawn.Left, drawn.Top};
    ClientToScreen(list->Handle(), &origin);
    EXPECT_EQ(where.left, origin.x);
    EXPECT_EQ(where.top, origin.y);
    EXPECT_EQ(where.right - where.left, drawn.Width());
    ASSERT_EQ(box->accDoDefaultAction(Id(3)), S_OK);
    ui::Pump(20);
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(ups, 0);
    // Item events still find their item behind the buttons.
    gEvents.clear();
    list->SetItemIndex(0);
    EXPECT_TRUE(Raised(EVENT_OBJECT_SELECTION, list->Handle(), 4));
    // Without the caption the buttons are gone.
    list->SetCaptionMode(false);
    EXPECT_EQ(ChildCount(box.get()), 2);
}

TEST_F(AccessTest, PageTabsAndCalendarDaysAreChildrenWithSelection) {
    auto* pages = Skinned<TvlSkinPageControl>(false);
    pages->SetBounds(0, 0, 500, 400);
    TvlSkinTabSheet* tasks = pages->AddSheet("Tasks");
    TvlSkinTabSheet* days = pages->AddSheet("Calendar");
    (void)tasks;
    auto* cal = new TvlSkinMonthCalendar(Form, days, 10, 10, 250, 180);
    cal->SetSkinData(Skin);
    cal->SetDate(2026, 12, 10);
    pages->SetActivePageIndex(0);
    Show();

    TAccPtr tabs = ClientWithRole(pages->Handle(), ROLE_SYSTEM_PAGETABLIST);
    ASSERT_TRUE(tabs);
    long t1 = FindChild(tabs.get(), "Tasks", ROLE_SYSTEM_PAGETAB);
    long t2 = FindChild(tabs.get(), "Calendar", ROLE_SYSTEM_PAGETAB);
    ASSERT_NE(t1, 0);
    ASSERT_NE(t2, 0);
    EXPECT_TRUE(State(tabs.get(), t1) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(State(tabs.get(), t2) & STATE_SYSTEM_SELECTED);
    gEvents.clear();
    ASSERT_EQ(tabs->accDoDefaultAction(Id(t2)), S_OK);
    ui::Pump(20);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_TRUE(State(tabs.get(), t2) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(Raised(EVENT_OBJECT_SELECTION, pages->Handle(), t2));

    TAccPtr calendar = ClientOf(cal->Handle());
    ASSERT_TRUE(calendar);
    std::string selected = vlLongDate(2026, 12, 10);
    ASSERT_FALSE(selected.empty());
    EXPECT_EQ(Value(calendar.get()), selected);
    for (const char* nav : {"Previous year", "Previous month", "Next month", "Next year"})
        EXPECT_NE(FindChild(calendar.get(), nav, ROLE_SYSTEM_PUSHBUTTON), 0) << nav;
    long cell = FindChild(calendar.get(), selected, ROLE_SYSTEM_CELL);
    ASSERT_NE(cell, 0);
    EXPECT_TRUE(State(calendar.get(), cell) & STATE_SYSTEM_SELECTED);
    long cells = 0;
    for (long i = 1; i <= ChildCount(calendar.get()); ++i) cells += Role(calendar.get(), i) == ROLE_SYSTEM_CELL;
    EXPECT_EQ(cells, 31);

    // Picking a day cell selects it as a click would.
    std::string pick = vlLongDate(2026, 12, 24);
    long other = FindChild(calendar.get(), pick, ROLE_SYSTEM_CELL);
    ASSERT_NE(other, 0);
    gEvents.clear();
    ASSERT_EQ(calendar->accDoDefaultAction(Id(other)), S_OK);
    ui::Pump(20);
    EXPECT_EQ(cal->Day().Day, 24);
    EXPECT_EQ(Value(calendar.get()), pick);
    EXPECT_TRUE(Raised(EVENT_OBJECT_VALUECHANGE, cal->Handle()));

    long next = FindChild(calendar.get(), "Next month", ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_EQ(calendar->accDoDefaultAction(Id(next)), S_OK);
    ui::Pump(20);
    EXPECT_EQ(cal->Day().Month, 1);
    EXPECT_EQ(cal->Day().Year, 2027);
}

TEST_F(AccessTest, DateEditIsATextWithTheDateAndAButtonThatOpensTheCalendar) {
    auto* label = new TvlSkinStdLabel(Form, Form, "Start date:", 10, 14);
    label->SetSkinData(Skin);
    auto* edit = Skinned<TvlSkinDateEdit>(90, 12, 121, 20);
    edit->SetDate(TvlDay{2007, 12, 24});
    Show();

    TAccPtr field = ClientWithRole(edit->Handle(), ROLE_SYSTEM_TEXT);
    ASSERT_TRUE(field);
    EXPECT_EQ(Name(field.get()), "Start date:");
    EXPECT_EQ(Value(field.get()), edit->Text());
    EXPECT_FALSE(Value(field.get()).empty());
    EXPECT_FALSE(State(field.get()) & STATE_SYSTEM_READONLY);
    EXPECT_TRUE(State(field.get()) & STATE_SYSTEM_COLLAPSED);
    ASSERT_EQ(ChildCount(field.get()), 1);
    EXPECT_EQ(Role(field.get(), 1), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(Name(field.get(), 1), "Open");
    RECT button = Location(field.get(), 1), box = WindowRect(edit->Handle());
    EXPECT_TRUE(Within(button, box));
    EXPECT_GT(button.left, (box.left + box.right) / 2) << "the button is at the right end";

    // The button opens the calendar, which becomes a child of the field.
    ASSERT_EQ(field->accDoDefaultAction(Id(1)), S_OK);
    ui::Pump(20);
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_TRUE(State(field.get()) & STATE_SYSTEM_EXPANDED);
    EXPECT_EQ(Name(field.get(), 1), "Close");
    ASSERT_EQ(ChildCount(field.get()), 2);
    TAccPtr calendar = Child(field.get(), 2);
    ASSERT_TRUE(calendar);
    EXPECT_EQ(Value(calendar.get()), vlLongDate(2007, 12, 24));
    ASSERT_EQ(field->accDoDefaultAction(Id(1)), S_OK);
    ui::Pump(20);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(ChildCount(field.get()), 1);
}

TEST_F(AccessTest, ObjectsAreReleasedAndNeverOutliveTheirControl) {
    auto* button = Skinned<TvlSkinButton>("Go", 10, 10, 80, 25);
    Show();
    long before = vlAccessibleObjectCount();
    TLeakCheck leaks;
    for (int i = 0; i < 1000; ++i) {
        TAccPtr a = ClientOf(button->Handle());
        ASSERT_TRUE(a);
        TAccPtr form = ClientOf(Form->Handle());
        ASSERT_TRUE(form);
    }
    EXPECT_EQ(vlAccessibleObjectCount(), before);
    leaks.ExpectNone("1,000 accessible objects asked for and released");

    // An object kept past its control answers that it is gone.
    TAccPtr kept = ClientOf(button->Handle());
    ASSERT_TRUE(kept);
    EXPECT_EQ(vlAccessibleObjectCount(), before + 1);
    delete button;
    BSTR name = nullptr;
    EXPECT_EQ(kept->get_accName(Id(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    long count = 0;
    EXPECT_EQ(kept->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    kept.reset();
    EXPECT_EQ(vlAccessibleObjectCount(), before);
}
