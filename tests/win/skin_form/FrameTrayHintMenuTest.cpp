// The frame with its tray icon, its object hints and a system menu of the
// user's: minimize to the tray and back, hints over the caption buttons,
// the window commands merged into the user's menu.
#include "core/WindowServices.h"
#include "skin/form/Lacquer.h"
#include "skin/form/vlSkinMenus.h"
#include "tests/win/skin_widgets/WidgetFixture.h"
#include "tests/win/support/FakeTimerDriver.h"

namespace {
struct TQuietShell : TNotifyIcons {
    int Adds = 0, Deletes = 0;
    bool Notify(DWORD message, NOTIFYICONDATAA&) override {
        Adds += message == NIM_ADD;
        Deletes += message == NIM_DELETE;
        return true;
    }
};

std::vector<std::string> Names(TMenuItem* root) {
    std::vector<std::string> names;
    for (TMenuItem* item : root->Items()) names.push_back(item->Name.empty() ? item->Caption : item->Name);
    return names;
}
}  // namespace

TEST_F(WidgetTest, FrameMinimizesToItsTrayIconAndComesBack) {
    Application->MainForm = Form;
    TQuietShell shell;
    TServiceOverride<TNotifyIcons> useShell(shell);
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(Skin);
    Form->Show();
    ui::Pump(20);
    // Without a tray icon minimizing to the tray does nothing.
    frame->MinimizeToTray();
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));

    auto* icon = new TvlTrayIcon(Form);
    icon->SetIconVisible(true);
    frame->SetTrayIcon(icon);
    EXPECT_FALSE(icon->IconVisible()) << "hidden until the window goes to the tray";
    EXPECT_EQ(icon->PopupMenu, frame->Menus()->TrayMenu());
    int toTray = 0, back = 0;
    frame->OnMinimizeToTray = [&](TObject*) { ++toTray; };
    frame->OnRestoreFromTray = [&](TObject*) { ++back; };

    // The tray button's command, the system menu's item and a minimize with
    // AlwaysMinimizeToTray all go to the tray.
    frame->RunCommand(cmMinimizeToTray);
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_TRUE(icon->MinimizeToTray);
    EXPECT_EQ(toTray, 1);
    // A double click on the icon brings the window back and hides the icon.
    ASSERT_TRUE(icon->OnDblClick);
    icon->OnDblClick(icon);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    EXPECT_FALSE(icon->IconVisible());
    EXPECT_FALSE(icon->MinimizeToTray);
    EXPECT_EQ(back, 1);

    frame->RunSystemMenuItem("LQR_MINTOTRAY");
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    frame->RunSystemMenuItem("TRAY_LQR_RESTORE");
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    frame->AlwaysMinimizeToTray = true;
    frame->AlwaysShowInTray = true;
    frame->RunCommand(cmMinimize);
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    frame->RestoreFromTray();
    EXPECT_TRUE(icon->IconVisible()) << "AlwaysShowInTray keeps the icon";
    EXPECT_EQ(toTray, 3);
    EXPECT_EQ(back, 3);

    // The icon freed first: the frame forgets it.
    delete icon;
    EXPECT_EQ(frame->TrayIcon(), nullptr);
    frame->RunCommand(cmMinimizeToTray);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
}

TEST_F(WidgetTest, FrameShowsCaptionButtonHintsThroughItsSkinHint) {
    Application->MainForm = Form;
    TFakeTimers timers;
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(Skin);
    Form->Show();
    ui::Pump(20);
    SendMessageA(Form->Handle(), WM_NCACTIVATE, TRUE, 0);
    auto* hint = new TvlSkinHint(Form);
    hint->SetSkinData(Skin);
    frame->SetSkinHint(hint);
    TvlActiveSkinObject* close = nullptr;
    for (auto& o : frame->Objects())
        if (o->Visible && !o->Hint.empty() && dynamic_cast<TvlSkinStdButtonObject*>(o.get())) close = o.get();
    ASSERT_NE(close, nullptr);
    const TRect r = close->ObjectRect;
    HWND hintWindow = hint->HintWindow()->Handle();

    // Off: hovering shows nothing.
    frame->UpdateActiveObject((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, true);
    EXPECT_EQ(timers.Interval(hintWindow, 1), 0u);
    frame->UpdateActiveObject(-1, -1, true);

    frame->ShowObjectHint = true;
    frame->UpdateActiveObject((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, true);
    EXPECT_NE(timers.Interval(hintWindow, 1), 0u) << "the hint waits for its pause";
    timers.Fire(hintWindow, 1);
    EXPECT_TRUE(hint->HintWindow()->Showing());
    // Leaving the button hides it, and a click on the frame too.
    frame->UpdateActiveObject(-1, -1, true);
    EXPECT_FALSE(hint->HintWindow()->Showing());
    frame->UpdateActiveObject((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, true);
    timers.Fire(hintWindow, 1);
    ASSERT_TRUE(hint->HintWindow()->Showing());
    SendMessageA(Form->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(hint->HintWindow()->Showing());
    EXPECT_EQ(timers.Interval(hintWindow, 1), 0u) << "no hint timer left behind";

    delete hint;
    EXPECT_EQ(frame->SkinHint(), nullptr);
    frame->UpdateActiveObject(-1, -1, true);
    frame->UpdateActiveObject((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, true);  // no hint, no failure
}

TEST_F(WidgetTest, AUserSystemMenuGetsTheWindowCommandsAroundItsItems) {
    auto* frame = new TvlLacquer(Form);
    frame->SetSkinData(Skin);
    Form->Show();
    ui::Pump(20);
    auto* menu = new TvlSkinPopupMenu(Form);
    auto* mine = new TMenuItem(menu->RootItem(), "My command");
    menu->Add(mine);
    auto* stale = new TMenuItem(menu->RootItem(), "Old close");
    stale->Name = "LQR_CLOSE";
    menu->Add(stale);
    frame->SetSystemMenu(menu);

    frame->PopupSystemMenu(100, 100);
    EXPECT_EQ(Names(menu->RootItem()),
              (std::vector<std::string>{"LQR_MINITEM", "LQR_MAXITEM", "LQR_ROLLUP", "My command", "LQR_CLOSE"}));
    EXPECT_EQ(menu->RootItem()->Item(4)->Caption, "&Close") << "the stale item went, the frame's own is last";
    frame->Menus()->SkinMenu()->CloseAll();
    // Opened again in another state: the commands follow it, nothing doubles;
    // Restore comes before Maximize.
    frame->SetFrameWindowState(fwsMinimized);
    frame->PopupSystemMenu(100, 100);
    EXPECT_EQ(Names(menu->RootItem()),
              (std::vector<std::string>{"LQR_RESTORE", "LQR_MAXITEM", "My command", "LQR_CLOSE"}));
    frame->Menus()->SkinMenu()->CloseAll();
    frame->SetFrameWindowState(fwsNormal);

    // Without UseDefaultSysMenu the user's menu shows as it is.
    frame->UseDefaultSysMenu = false;
    menu->RootItem()->Clear();
    menu->Add(new TMenuItem(menu->RootItem(), "Only mine"));
    frame->PopupSystemMenu(100, 100);
    EXPECT_EQ(Names(menu->RootItem()), (std::vector<std::string>{"Only mine"}));
    EXPECT_TRUE(frame->Menus()->SkinMenu()->Visible);
    frame->Menus()->SkinMenu()->CloseAll();

    delete menu;
    EXPECT_EQ(frame->SystemMenu(), nullptr);
    frame->PopupSystemMenu(100, 100);  // the built-in menu again
    EXPECT_TRUE(frame->Menus()->SkinMenu()->Visible);
    frame->Menus()->SkinMenu()->CloseAll();
}
