// What the frame, the popup menus and the message box tell an assistive
// tool: caption buttons as push buttons of a title bar, menu popups with
// their items and the events of opening, moving through and closing them,
// and the message box as a dialog with its text and buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <vector>

#include "skin/form/vlFormAccess.h"
#include "skin/form/vlFormMenus.h"
#include "skin/form/vlMessages.h"
#include "skin/form/vlSkinMDITabs.h"
#include "skin/form/vlSkinMenuBar.h"
#include "skin/form/vlSkinMenus.h"
#include "tests/win/skin_access/AccessReading.h"
#include "tests/win/skin_form/MenuFixture.h"

using namespace msaa;

namespace {

class FormAccessTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        vlInstallAccessibility();
        FEvents.emplace();
    }
    void TearDown() override {
        FEvents.reset();
        MenuTest::TearDown();
    }
    static int Count(DWORD event, HWND wnd, LONG child = CHILDID_SELF) {
        ui::Pump(10);
        return CountSeen(event, wnd, child);
    }
    std::optional<TEventRecording> FEvents;
};

}  // namespace

TEST_F(FormAccessTest, CaptionButtonsArePushButtonsOfTheTitleBar) {
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    form->SetCaption("Planner");
    TAccPtr client = ClientOf(form->Handle());
    ASSERT_TRUE(client);
    ASSERT_GE(ChildCount(client.get()), 1);
    EXPECT_EQ(Role(client.get(), 1), ROLE_SYSTEM_TITLEBAR);
    TAccPtr bar = Child(client.get(), 1);
    ASSERT_TRUE(bar);
    for (const char* name : {"Close", "Maximize", "Minimize"}) {
        long id = FindChild(bar.get(), name, ROLE_SYSTEM_PUSHBUTTON);
        ASSERT_NE(id, 0) << name;
        long x = 0, y = 0, w = 0, h = 0;
        ASSERT_EQ(bar->accLocation(&x, &y, &w, &h, Id(id)), S_OK);
        RECT window{};
        GetWindowRect(form->Handle(), &window);
        // Each button sits on the frame above the client area.
        EXPECT_GT(w, 0);
        EXPECT_GE(x, window.left);
        EXPECT_LE(x + w, window.right);
        EXPECT_GE(y, window.top);
        POINT clientTop{0, 0};
        ClientToScreen(form->Handle(), &clientTop);
        EXPECT_LE(y + h, clientTop.y) << name;
    }
    // Pressing Maximize through the object maximizes, and the button is
    // then read as Restore.
    ASSERT_EQ(bar->accDoDefaultAction(Id(FindChild(bar.get(), "Maximize"))), S_OK);
    ui::Pump(30);
    EXPECT_EQ(frame->FrameWindowState(), fwsMaximized);
    EXPECT_NE(FindChild(bar.get(), "Restore", ROLE_SYSTEM_PUSHBUTTON), 0);
    EXPECT_EQ(FindChild(bar.get(), "Maximize", ROLE_SYSTEM_PUSHBUTTON), 0);
}

TEST_F(FormAccessTest, PopupMenuItemsAreReadAndAnnouncedWhileTheMenuIsOpen) {
    TFakeTimerDriver timers;
    TServiceOverride<TTimerDriver> useTimers(timers);
    TvlLacquer* frame = MakeForm(true);
    TvlSkinPopupMenu* menu = NestedMenu(frame->Form());
    menu->Items()[0]->Checked = true;
    menu->Popup(300, 200);
    TvlSkinMenu* engine = Engine(frame);
    ASSERT_EQ(engine->WindowCount(), 1);
    TvlSkinPopupWindow* w = engine->Window(0);
    HWND wnd = w->Handle();
    EXPECT_EQ(Count(EVENT_SYSTEM_MENUPOPUPSTART, wnd), 1);
    EXPECT_EQ(Count(EVENT_SYSTEM_MENUSTART, frame->Form()->Handle()), 1);

    TAccPtr popup = ClientOf(wnd);
    ASSERT_TRUE(popup);
    EXPECT_EQ(Role(popup.get()), ROLE_SYSTEM_MENUPOPUP);
    ASSERT_EQ(ChildCount(popup.get()), 4);
    EXPECT_EQ(Name(popup.get(), 1), "Open");
    EXPECT_EQ(Role(popup.get(), 1), ROLE_SYSTEM_MENUITEM);
    EXPECT_EQ(Shortcut(popup.get(), 1), "O");
    EXPECT_TRUE(State(popup.get(), 1) & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(Name(popup.get(), 2), "Recent");
    EXPECT_TRUE(State(popup.get(), 2) & STATE_SYSTEM_HASPOPUP);
    EXPECT_EQ(DefaultAction(popup.get(), 2), "Open");
    EXPECT_EQ(Role(popup.get(), 3), ROLE_SYSTEM_SEPARATOR);
    EXPECT_EQ(Name(popup.get(), 4), "Exit");
    EXPECT_EQ(Shortcut(popup.get(), 4), "Alt+F4");
    EXPECT_EQ(DefaultAction(popup.get(), 4), "Execute");

    // Moving down by keyboard announces the focus on the item.
    gEvents.clear();
    Press(frame->Form(), VK_DOWN);
    ASSERT_EQ(w->HotItem, 1);
    EXPECT_EQ(Count(EVENT_OBJECT_FOCUS, wnd, 2), 1);
    EXPECT_TRUE(State(popup.get(), 2) & STATE_SYSTEM_FOCUSED);
    VARIANT focus;
    VariantInit(&focus);
    ASSERT_EQ(popup->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(focus.lVal, 2);

    // The default action of an item runs it and the menu closes.
    ASSERT_EQ(popup->accDoDefaultAction(Id(4)), S_OK);
    ui::Pump(20);
    EXPECT_EQ(Clicked, (std::vector<std::string>{"E&xit"}));
    EXPECT_FALSE(engine->Visible);
    // The popup's own end is raised too, but the window is freed at once and
    // Wine drops events of windows gone before delivery: the activation's
    // end is raised on the form, which stays.
    EXPECT_EQ(Count(EVENT_SYSTEM_MENUEND, frame->Form()->Handle()), 1);
}

TEST_F(FormAccessTest, MessageBoxIsADialogWithItsTextAndButtons) {
    LoadModern();
    auto* messages = new TvlSkinMessage(nullptr);
    messages->SetSkinData(Skin);
    messages->SetCtrlSkinData(Skin);
    bool read = false;
    ui::OnNextModal([&](TForm* f) {
        // Whatever is read, the box is answered "No" so that the test goes on.
        TAccPtr box = ClientOf(f->Handle());
        long no = box ? FindChild(box.get(), "No") : 0;
        TAccPtr noButton = no ? Child(box.get(), no) : nullptr;
        if (!noButton) {
            ui::Answer(f, "No");
            return;
        }
        EXPECT_EQ(Role(box.get()), ROLE_SYSTEM_DIALOG);
        EXPECT_EQ(Description(box.get()), "Delete the project?");
        EXPECT_NE(FindChild(box.get(), "Delete the project?", ROLE_SYSTEM_STATICTEXT), 0);
        EXPECT_NE(FindChild(box.get(), "Yes"), 0);
        EXPECT_EQ(Role(noButton.get()), ROLE_SYSTEM_PUSHBUTTON);
        read = true;
        EXPECT_EQ(noButton->accDoDefaultAction(Id(CHILDID_SELF)), S_OK);
    });
    int result = messages->ShowMessageBox("Delete the project?", mtConfirmation, mbYes | mbNo);
    EXPECT_TRUE(read);
    EXPECT_EQ(result, vlMessageTexts::ButtonResult(1));
    delete messages;
}

TEST_F(FormAccessTest, MenuBarItemsOpenTheirPopupsAndTheKeyboardIsFollowed) {
    TFakeTimerDriver timers;
    TServiceOverride<TTimerDriver> useTimers(timers);
    TvlLacquer* frame = MakeForm(true, 500, 300);
    TForm* form = frame->Form();
    auto* menu = new TMainMenu(form);
    TMenuItem* file = AddItem(form, menu->RootItem(), "&File");
    AddItem(form, file, "&New");
    AddItem(form, file, "E&xit");
    AddItem(form, menu->RootItem(), "&Help");
    auto* bar = new TvlSkinMainMenuBar(form, form);
    bar->SetSkinData(Skin);
    frame->SetMainMenuBar(bar);
    bar->SetMainMenu(menu);
    bar->HandleNeeded();
    form->Realign();
    ui::Pump(10);

    TAccPtr items = ClientOf(bar->Handle());
    ASSERT_TRUE(items);
    long fileId = FindChild(items.get(), "File", ROLE_SYSTEM_MENUITEM);
    long helpId = FindChild(items.get(), "Help", ROLE_SYSTEM_MENUITEM);
    ASSERT_TRUE(fileId != 0 && helpId != 0);
    EXPECT_EQ(Role(items.get()), ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(Shortcut(items.get(), fileId), "Alt+F");
    EXPECT_TRUE(State(items.get(), fileId) & STATE_SYSTEM_HASPOPUP);
    EXPECT_FALSE(State(items.get(), helpId) & STATE_SYSTEM_HASPOPUP);
    EXPECT_EQ(DefaultAction(items.get(), fileId), "Open");
    EXPECT_EQ(DefaultAction(items.get(), helpId), "Execute");
    EXPECT_TRUE(Within(Location(items.get(), fileId), WindowRect(bar->Handle())));

    // Alt and Right move along the bar; each step is announced.
    gEvents.clear();
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(Count(EVENT_OBJECT_FOCUS, bar->Handle(), fileId), 1);
    EXPECT_TRUE(State(items.get(), fileId) & STATE_SYSTEM_FOCUSED);
    Press(form, VK_RIGHT);
    EXPECT_EQ(Count(EVENT_OBJECT_FOCUS, bar->Handle(), helpId), 1);
    EXPECT_TRUE(State(items.get(), helpId) & STATE_SYSTEM_FOCUSED);
    Press(form, VK_ESCAPE);

    // The default action opens the item's popup, named after it.
    ASSERT_EQ(items->accDoDefaultAction(Id(fileId)), S_OK);
    ui::Pump(20);
    TvlSkinMenu* engine = Engine(frame);
    ASSERT_TRUE(engine->Visible);
    TAccPtr popup = ClientOf(engine->Window(0)->Handle());
    ASSERT_TRUE(popup);
    EXPECT_EQ(Role(popup.get()), ROLE_SYSTEM_MENUPOPUP);
    EXPECT_EQ(Name(popup.get()), "File");
    EXPECT_NE(FindChild(popup.get(), "Exit", ROLE_SYSTEM_MENUITEM), 0);
    Press(form, VK_ESCAPE);
    Press(form, VK_ESCAPE);
    EXPECT_FALSE(engine->Visible);
}

TEST_F(FormAccessTest, MDITabsArePageTabsOfTheirChildren) {
    TvlLacquer* frame = MakeForm(true, 500, 300);
    TForm* form = frame->Form();
    auto* tabs = new TvlSkinMDITabsBar(form, form);
    tabs->SetSkinData(Skin);
    tabs->SetBounds(0, 0, 450, 21);
    tabs->HandleNeeded();
    std::vector<TForm*> children;
    for (const char* caption : {"Plan", "Notes"}) {
        auto* child = new TForm(Application, caption, 200, 100, bsSizeable, 0);
        child->Position = poDesigned;
        Forms.push_back(child);
        children.push_back(child);
        tabs->AddTab(child);
    }
    tabs->SetActiveChild(children[0]);
    ui::Pump(10);

    TAccPtr list = ClientOf(tabs->Handle());
    ASSERT_TRUE(list);
    EXPECT_EQ(Role(list.get()), ROLE_SYSTEM_PAGETABLIST);
    ASSERT_EQ(ChildCount(list.get()), 2);
    // One tab per child in the bar's order, left to right, the active one selected.
    for (long id : {1L, 2L}) {
        EXPECT_EQ(Name(list.get(), id), children[static_cast<size_t>(id - 1)]->Caption());
        EXPECT_EQ(Role(list.get(), id), ROLE_SYSTEM_PAGETAB);
        EXPECT_EQ((State(list.get(), id) & STATE_SYSTEM_SELECTED) != 0, id == 1) << id;
        EXPECT_TRUE(Within(Location(list.get(), id), WindowRect(tabs->Handle()))) << id;
    }
    EXPECT_LT(Location(list.get(), 1).left, Location(list.get(), 2).left);

    // Switching to a tab shows its child and marks it.
    ASSERT_EQ(list->accDoDefaultAction(Id(2)), S_OK);
    ui::Pump(20);
    EXPECT_TRUE(IsWindowVisible(children[1]->Handle()));
    EXPECT_TRUE(State(list.get(), 2) & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(State(list.get(), 1) & STATE_SYSTEM_SELECTED);
}
