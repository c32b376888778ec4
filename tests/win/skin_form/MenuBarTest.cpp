// The skinned main menu bar and the MDI tab bar on a test form: layout with
// and without an element, the overflow marker, mouse and keyboard tracking,
// shortcuts, child buttons; tab widths, hot tracking, the child's system
// menu and reordering by dragging.
#include "tests/win/skin_form/MenuFixture.h"

#include "core/WindowServices.h"
#include "skin/form/vlSkinMDITabs.h"
#include "skin/form/vlSkinMenuBar.h"

namespace {

class MenuBarTest : public MenuTest {
protected:
    struct TBar {
        TvlLacquer* Frame;
        TvlSkinMainMenuBar* Bar;
        TMainMenu* Menu;
    };
    TBar MakeBar(bool skinned, int width = 500) {
        TvlLacquer* frame = MakeForm(skinned, width, 300);
        TForm* form = frame->Form();
        auto* menu = new TMainMenu(form);
        auto add = [&](TMenuItem* parent, const std::string& caption) { return AddItem(form, parent, caption); };
        TMenuItem* file = add(menu->RootItem(), "&File");
        add(file, "&New")->ShortCut = TextToShortCut("Ctrl+N");
        add(file, "&Open");
        add(file, "-");
        add(file, "E&xit");
        add(add(menu->RootItem(), "&Edit"), "&Undo");
        add(add(menu->RootItem(), "&View"), "&Status bar");
        add(menu->RootItem(), "&Help");
        auto* bar = new TvlSkinMainMenuBar(form, form);
        bar->Name = "vlSkinMainMenuBar1";
        bar->SetSkinData(skinned ? Skin : nullptr);
        frame->SetMainMenuBar(bar);
        bar->SetMainMenu(menu);
        bar->HandleNeeded();
        form->Realign();
        ui::Pump(10);
        return {frame, bar, menu};
    }
    static void Move(TvlSkinMainMenuBar* bar, int item) {
        const TRect& r = bar->Item(item)->ObjectRect;
        SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }
    static void PressItem(TvlSkinMainMenuBar* bar, int item) {
        const TRect& r = bar->Item(item)->ObjectRect;
        LPARAM at = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, at);
        PostMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
        ui::Pump();
    }
};

}  // namespace

TEST_F(MenuBarTest, BuiltInLayoutAndLook) {
    TFakeTimers timers;
    TBar b = MakeBar(false);
    TvlSkinMainMenuBar* bar = b.Bar;
    EXPECT_EQ(bar->Height(), 22);
    EXPECT_EQ(bar->Top(), 0);
    EXPECT_EQ(bar->Width(), b.Frame->Form()->ClientWidth());
    ASSERT_EQ(bar->ItemCount(), 4);
    EXPECT_EQ(bar->ItemsRect().Left, 2);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Left, 2);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Top, 2);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Height(), 18);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(bar->Item(i)->ObjectRect.Left, bar->Item(i - 1)->ObjectRect.Right);
    EXPECT_FALSE(bar->Scroll());
    TvlFBitmap look;
    bar->ComposeLook(look);
    EXPECT_EQ(look.Pixel(1, 1), ColorToRGB(clBtnFace));
    // Hovering an item gives it the navy border and the light fill.
    Move(bar, 1);
    EXPECT_EQ(bar->ActiveObject(), 1);
    bar->ComposeLook(look);
    const TRect& edit = bar->Item(1)->ObjectRect;
    EXPECT_EQ(look.Pixel(edit.Left, edit.Top), 0x00800000u);
    EXPECT_EQ(look.Pixel(edit.Left + 2, edit.Top + 2), 13811126u);
}

TEST_F(MenuBarTest, SkinnedElementGivesHeightItemsRectAndItemWidths) {
    TFakeTimers timers;
    LoadModern();
    // The built-in skin has no menu bar: one is added from its pictures.
    auto element = std::make_unique<TvlDataSkinMainMenuBar>("mainmenubar");
    element->PictureIndex = Skin->PopupWindow.WindowPictureIndex;
    element->SkinRect = {0, 0, 60, 24};
    element->ItemsRect = {4, 1, 56, 23};
    element->MenuBarItem = "mbitem";
    Skin->SkinControls.push_back(std::move(element));
    auto item = std::make_unique<TvlDataSkinMainMenuBarItem>("mbitem");
    const TvlDataSkinMenuItem* menuItem = nullptr;
    for (auto& o : Skin->SkinObjects)
        if (auto* m = dynamic_cast<const TvlDataSkinMenuItem*>(o.get())) menuItem = m;
    ASSERT_NE(menuItem, nullptr);
    item->ActivePictureIndex = menuItem->ActivePictureIndex;
    item->SkinRect = menuItem->SkinRect;
    item->ActiveSkinRect = menuItem->ActiveSkinRect;
    item->TextRect = {6, 0, 54, 22};
    item->ItemLeftOffset = item->ItemRightOffset = 6;
    item->FontColor = 1, item->ActiveFontColor = 2;
    Skin->SkinObjects.push_back(std::move(item));
    TBar b = MakeBar(true);
    TvlSkinMainMenuBar* bar = b.Bar;
    EXPECT_EQ(bar->Height(), 24);
    EXPECT_EQ(bar->ItemsRect().Left, 4);
    EXPECT_EQ(bar->ItemsRect().Right, 56 + bar->Width() - 60);
    ASSERT_NE(bar->Item(0)->Data, nullptr);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Left, 4);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Top, 1);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Height(), 22);
    EXPECT_EQ(bar->Item(1)->ObjectRect.Left, bar->Item(0)->ObjectRect.Right);
    TvlFBitmap look;
    bar->ComposeLook(look);
    ui::SaveScreenshot(bar->Handle(), "menubar-modern-skinned");
}

TEST_F(MenuBarTest, ItemsThatDoNotFitGoToTheMarkersPopup) {
    TFakeTimers timers;
    TBar b = MakeBar(true, 400);
    for (int i = 1; i <= 8; ++i) {
        auto* item = new TMenuItem(b.Frame->Form(), "More " + std::to_string(i));
        b.Menu->Add(item);
        item->Add(new TMenuItem(b.Frame->Form(), "Sub"));
    }
    b.Bar->Rebuild();
    TvlSkinMainMenuBar* bar = b.Bar;
    EXPECT_TRUE(bar->Scroll());
    int shown = 0;
    for (int i = 0; i < bar->ItemCount(); ++i) {
        if (bar->Item(i)->Shown) {
            ++shown;
            EXPECT_LE(bar->Item(i)->ObjectRect.Right, bar->ItemsRect().Right - 5);
        } else {
            EXPECT_FALSE(bar->Item(i)->Enabled);
        }
    }
    ASSERT_GT(shown, 0);
    ASSERT_LT(shown, 12);
    // A click on the marker opens the rest.
    TRect m = bar->MarkerRect();
    LPARAM at = MAKELPARAM((m.Left + m.Right) / 2, (m.Top + m.Bottom) / 2);
    SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
    TvlSkinMenu* engine = b.Frame->Menus()->SkinMenu();
    ASSERT_TRUE(engine->Visible);
    TvlSkinPopupWindow* w = engine->Window(0);
    EXPECT_EQ(w->ItemCount(), 12 - shown);
    EXPECT_EQ(w->Item(0)->MenuItem, b.Menu->Items()[static_cast<size_t>(shown)]);
    Press(b.Frame->Form(), VK_ESCAPE);
}

TEST_F(MenuBarTest, MouseOpensAndMovesAlongTheBarAndAClickOnTheOpenItemCloses) {
    TFakeTimers timers;
    TBar b = MakeBar(true);
    TvlSkinMainMenuBar* bar = b.Bar;
    TvlLacquer* frame = b.Frame;
    int hooks = Application->MessageHookCount();
    int entered = 0, exited = 0;
    frame->OnMainMenuEnter = [&](TObject*) { ++entered; };
    frame->OnMainMenuExit = [&](TObject*) { ++exited; };
    PressItem(bar, 0);
    TvlSkinMenu* engine = frame->Menus()->SkinMenu();
    ASSERT_TRUE(engine->Visible);
    EXPECT_TRUE(bar->Item(0)->Down);
    EXPECT_TRUE(frame->Menus()->TrackingMenuBar());
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(Captions(engine->Window(0)), (std::vector<std::string>{"&New", "&Open", "-", "E&xit"}));
    // Below the item.
    RECT r;
    GetWindowRect(engine->Window(0)->Handle(), &r);
    POINT origin{0, 0};
    ClientToScreen(bar->Handle(), &origin);
    EXPECT_EQ(r.left, origin.x + bar->Item(0)->ObjectRect.Left);
    EXPECT_EQ(r.top, origin.y + bar->Item(0)->ObjectRect.Bottom);
    // The mouse alone moves the open menu to the next item.
    Move(bar, 1);
    ASSERT_TRUE(engine->Visible);
    EXPECT_FALSE(bar->Item(0)->Down);
    EXPECT_TRUE(bar->Item(1)->Down);
    EXPECT_EQ(Captions(engine->Window(0)), (std::vector<std::string>{"&Undo"}));
    EXPECT_EQ(entered, 1);
    // A click on the open item closes its menu and main-menu mode.
    PressItem(bar, 1);
    EXPECT_FALSE(engine->Visible);
    EXPECT_FALSE(frame->Menus()->TrackingMenuBar());
    EXPECT_FALSE(bar->Item(1)->Down);
    EXPECT_EQ(exited, 1);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    // An item without sub-items runs its command.
    PressItem(bar, 3);
    EXPECT_EQ(Clicked, (std::vector<std::string>{"&Help"}));
    EXPECT_FALSE(frame->Menus()->TrackingMenuBar());
    // Choosing in a bar's menu runs the item and ends main-menu mode.
    PressItem(bar, 0);
    ClickItem(engine->Window(0), 1);
    EXPECT_EQ(Clicked.back(), "&Open");
    EXPECT_FALSE(frame->Menus()->TrackingMenuBar());
    EXPECT_FALSE(bar->MenuBarEngaged());
    EXPECT_EQ(Application->MessageHookCount(), hooks);
}

TEST_F(MenuBarTest, AltRightRightEnterOpensTheThirdItemsMenu) {
    TFakeTimers timers;
    TBar b = MakeBar(true);
    TForm* form = b.Frame->Form();
    TvlSkinMainMenuBar* bar = b.Bar;
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);  // Alt alone
    EXPECT_TRUE(b.Frame->Menus()->TrackingMenuBar());
    EXPECT_EQ(bar->ActiveObject(), 0);
    Press(form, VK_RIGHT);
    Press(form, VK_RIGHT);
    EXPECT_EQ(bar->ActiveObject(), 2);
    Press(form, VK_RETURN);
    TvlSkinMenu* engine = b.Frame->Menus()->SkinMenu();
    ASSERT_TRUE(engine->Visible);
    EXPECT_EQ(Captions(engine->Window(0)), (std::vector<std::string>{"&Status bar"}));
    // Right moves along the bar: "&Help" has no menu, so none is open.
    Press(form, VK_RIGHT);
    EXPECT_EQ(bar->ActiveObject(), 3);
    EXPECT_FALSE(engine->Visible);
    EXPECT_TRUE(b.Frame->Menus()->TrackingMenuBar());
    Press(form, VK_RIGHT);  // wraps to "&File"
    EXPECT_EQ(bar->ActiveObject(), 0);
    Press(form, VK_DOWN);  // opens it
    ASSERT_TRUE(engine->Visible);
    Press(form, VK_LEFT);  // wraps to "&Help", which has no menu to open
    EXPECT_EQ(bar->ActiveObject(), 3);
    EXPECT_FALSE(engine->Visible);
    Press(form, VK_LEFT);
    EXPECT_EQ(bar->ActiveObject(), 2);
    Press(form, VK_RETURN);
    ASSERT_TRUE(engine->Visible);
    EXPECT_TRUE(bar->Item(2)->Down);
    Press(form, VK_ESCAPE);
    EXPECT_FALSE(engine->Visible);
    EXPECT_FALSE(b.Frame->Menus()->TrackingMenuBar());
    // Alt with a letter opens that item; its menu's letter chooses.
    PostMessageA(form->Handle(), WM_SYSCHAR, 'f', 1 << 29);
    ui::Pump();
    ASSERT_TRUE(engine->Visible);
    EXPECT_TRUE(bar->Item(0)->Down);
    Press(form, 'X');
    EXPECT_EQ(Clicked.back(), "E&xit");
    EXPECT_FALSE(engine->Visible);
    EXPECT_FALSE(b.Frame->Menus()->TrackingMenuBar());
    // Shortcuts of the main menu work without opening it.
    {
        ui::TKeysHeld control({VK_CONTROL});
        PostMessageA(form->Handle(), WM_KEYDOWN, 'N', 1);
        ui::Pump();
    }
    EXPECT_EQ(Clicked.back(), "&New");
    EXPECT_FALSE(engine->Visible);
}

TEST_F(MenuBarTest, ChildButtonsOfAMaximizedChild) {
    TFakeTimers timers;
    TBar b = MakeBar(false);
    TvlSkinMainMenuBar* bar = b.Bar;
    auto* child = new TForm(Application, "Child", 200, 100, bsSizeable, 0);
    Forms.push_back(child);
    auto* childFrame = new TvlLacquer(child);
    childFrame->SetBorderIcons(vlbiSystemMenu | vlbiMaximize);  // no minimize
    child->Show();
    bar->ShowChildButtons(child);
    ASSERT_EQ(bar->ChildButtonCount(), 4);
    std::vector<std::string> visible;
    for (int i = 0; i < 4; ++i)
        if (bar->Objects()[static_cast<size_t>(i)]->Visible) visible.push_back(bar->Objects()[static_cast<size_t>(i)]->IDName);
    EXPECT_EQ(visible, (std::vector<std::string>{"sysmenubutton", "closebutton", "maxbutton"}));
    const TRect items = bar->ItemsRect();
    const TRect& sys = bar->Objects()[0]->ObjectRect;
    const TRect& close = bar->Objects()[1]->ObjectRect;
    const TRect& max = bar->Objects()[2]->ObjectRect;
    EXPECT_EQ(sys.Left, 2);
    EXPECT_EQ(sys.Width(), 18);  // a square of the items rectangle's height
    EXPECT_EQ(close.Right, bar->Width() - 2);
    EXPECT_EQ(max.Right, close.Left - 2);
    EXPECT_EQ(items.Left, sys.Right + 2);
    EXPECT_EQ(bar->Item(0)->ObjectRect.Left, items.Left);
    // The system-menu button shows the child's menu at once.
    LPARAM at = MAKELPARAM((sys.Left + sys.Right) / 2, (sys.Top + sys.Bottom) / 2);
    SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(b.Frame->Menus()->SkinMenu()->Visible);
    EXPECT_EQ(Captions(b.Frame->Menus()->SkinMenu()->Window(0)).back(), "&Close");
    Press(b.Frame->Form(), VK_ESCAPE);
    // Close acts on release over it.
    at = MAKELPARAM((close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2);
    SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(IsWindowVisible(child->Handle()));
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(IsWindowVisible(child->Handle()));
    bar->HideChildButtons();
    EXPECT_EQ(bar->ChildButtonCount(), 0);
    EXPECT_EQ(bar->ItemsRect().Left, 2);
}

// ---- The MDI tab bar -------------------------------------------------------------------

namespace {
class TabsTest : public MenuTest {
protected:
    TvlSkinMDITabsBar* MakeTabs(TvlLacquer* frame, int children, int width = 450) {
        TForm* form = frame->Form();
        auto* tabs = new TvlSkinMDITabsBar(form, form);
        tabs->SetBounds(0, 0, width, 21);
        tabs->HandleNeeded();
        for (int i = 0; i < children; ++i) {
            auto* child = new TForm(Application, "Child " + std::to_string(i + 1), 200, 100, bsSizeable, 0);
            child->Position = poDesigned;
            Forms.push_back(child);
            Children.push_back(child);
            tabs->AddTab(child);
        }
        return tabs;
    }
    static void Drag(TvlSkinMDITabsBar* tabs, int fromX, int toX) {
        SendMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, 10));
        SendMessageA(tabs->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(toX, 10));
        SendMessageA(tabs->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(toX, 10));
    }
    std::vector<TForm*> Children;
};
}  // namespace

TEST_F(TabsTest, WidthsForSevenAndThreeChildren) {
    TvlLacquer* frame = MakeForm(false, 600, 300);
    TvlSkinMDITabsBar* tabs = MakeTabs(frame, 7);
    tabs->LayoutTabs();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tabs->Tab(i)->Rect.Left, i * 64);
        EXPECT_EQ(tabs->Tab(i)->Rect.Width(), 64);
    }
    EXPECT_EQ(tabs->Tab(6)->Rect.Left, 384);
    EXPECT_EQ(tabs->Tab(6)->Rect.Right, 450);
    for (int i = 6; i >= 3; --i) tabs->RemoveTab(Children[static_cast<size_t>(i)]);
    tabs->LayoutTabs();
    ASSERT_EQ(tabs->TabCount(), 3);
    EXPECT_EQ(tabs->Tab(2)->Rect.Left, 200);
    EXPECT_EQ(tabs->Tab(2)->Rect.Right, 300);
    // The rest of the bar shows the background only.
    TvlFBitmap look;
    tabs->ComposeLook(look);
    EXPECT_EQ(look.Pixel(400, 10), ColorToRGB(clBtnFace));
    // All four edges of a tab count as inside.
    EXPECT_EQ(tabs->TabAt(100, 0), 0);
    EXPECT_EQ(tabs->TabAt(300, 20), 2);
    EXPECT_EQ(tabs->TabAt(301, 10), -1);
}

TEST_F(TabsTest, DraggingTheFirstTabReordersByTheCentres) {
    TvlLacquer* frame = MakeForm(false, 600, 300);
    TvlSkinMDITabsBar* tabs = MakeTabs(frame, 4, 450);
    auto order = [&] {
        std::vector<int> o;
        for (int i = 0; i < tabs->TabCount(); ++i)
            for (size_t c = 0; c < Children.size(); ++c)
                if (tabs->Tab(i)->Child == Children[c]) o.push_back(static_cast<int>(c));
        return o;
    };
    Drag(tabs, 50, 50 + 151);  // right edge at 251: past the third tab's centre
    EXPECT_EQ(order(), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_FALSE(tabs->Dragging());
    for (TForm* c : Children) c->Hide();
    // Back to the start, then to a right edge of 350.
    Drag(tabs, 250, 50);
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3}));
    Drag(tabs, 50, 50 + 250);
    EXPECT_EQ(order(), (std::vector<int>{1, 2, 0, 3}));
    Drag(tabs, 250, 50);
    Drag(tabs, 50, 50 + 150);  // right edge at 250: second
    EXPECT_EQ(order(), (std::vector<int>{1, 0, 2, 3}));
    Drag(tabs, 150, 50);
    Drag(tabs, 50, 50 + 51);  // right edge at 151: second
    EXPECT_EQ(order(), (std::vector<int>{1, 0, 2, 3}));
    Drag(tabs, 150, 50);
    Drag(tabs, 50, 50 + 50);  // right edge at 150: it stays
    EXPECT_EQ(order(), (std::vector<int>{0, 1, 2, 3}));
    // A click activates the child.
    SendMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
    SendMessageA(tabs->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
    EXPECT_TRUE(tabs->Tab(1)->Active);
    EXPECT_FALSE(tabs->Tab(0)->Active);
    EXPECT_TRUE(IsWindowVisible(Children[1]->Handle()));
}

TEST_F(TabsTest, HotTrackingRightClickMenusAndTheSkinnedLook) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true, 600, 300);
    TvlSkinMDITabsBar* tabs = MakeTabs(frame, 3);
    for (TForm* c : Children) new TvlLacquer(c);
    tabs->SetSkinData(Skin);
    EXPECT_EQ(tabs->Height(), 26);  // the skin's tab height
    std::vector<std::string> events;
    tabs->OnTabMouseEnter = [&](TvlMDITab* t) { events.push_back("enter " + t->Child->Caption()); };
    tabs->OnTabMouseLeave = [&](TvlMDITab* t) { events.push_back("leave " + t->Child->Caption()); };
    tabs->OnTabMouseDown = [&](TMouseButton b, TShiftState, TvlMDITab* t) {
        events.push_back(std::string(b == mbRight ? "right " : "left ") + t->Child->Caption());
    };
    SendMessageA(tabs->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 10));
    SendMessageA(tabs->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 10));
    EXPECT_EQ(tabs->HotTab(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"enter Child 1", "leave Child 1", "enter Child 2"}));
    // Without SupportChildMenus no menu, but the event.
    tabs->SupportChildMenus = false;
    frame->SetMDITabsBar(tabs);
    SendMessageA(tabs->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 10));
    EXPECT_FALSE(frame->Menus()->SkinMenu()->Visible);
    EXPECT_EQ(events.back(), "right Child 2");
    tabs->SupportChildMenus = true;
    SendMessageA(tabs->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 10));
    ASSERT_TRUE(frame->Menus()->SkinMenu()->Visible);
    EXPECT_EQ(Captions(frame->Menus()->SkinMenu()->Window(0)).back(), "&Close");
    Press(frame->Form(), VK_ESCAPE);
    // The skinned tab: the active child's look from the skin's picture.
    tabs->SetActiveChild(Children[0]);
    TvlFBitmap look;
    tabs->ComposeLook(look);
    int e = Skin->FindControlIndex("tab");
    auto* data = dynamic_cast<const TvlDataSkinTabControl*>(Skin->SkinControls[static_cast<size_t>(e)].get());
    const TPixelImage& picture = Skin->PictureList[static_cast<size_t>(data->PictureIndex)];
    const uint8_t* p = picture.Pixels.data() + (data->ActiveTabRect.Top + 1) * picture.Stride() +
                       (data->ActiveTabRect.Left + 1) * 3;
    EXPECT_EQ(look.Pixel(1, 1), static_cast<uint32_t>(p[2] | (p[1] << 8) | (p[0] << 16)));
    ui::SaveScreenshot(tabs->Handle(), "mditabs-modern");
}

TEST_F(MenuBarTest, ScreenshotsInBothSkins) {
    for (const char* skin : {"modern", "graphite"}) {
        if (std::string(skin) == "graphite") LoadGraphite();
        TBar b = MakeBar(true);
        auto* tabs = new TvlSkinMDITabsBar(b.Frame->Form(), b.Frame->Form());
        tabs->SetAlign(alBottom);
        tabs->SetSkinData(Skin);
        for (int i = 0; i < 3; ++i) {
            auto* child = new TForm(Application, "Document " + std::to_string(i + 1), 100, 50, bsSizeable, 0);
            Forms.push_back(child);
            tabs->AddTab(child);
        }
        tabs->SetActiveChild(Forms.back());
        tabs->HandleNeeded();
        b.Frame->Form()->Realign();
        PressItem(b.Bar, 0);
        ui::SaveScreenshot(b.Frame->Form()->Handle(), std::string("menubar-") + skin + "-form");
        ui::SaveScreenshot(b.Frame->Menus()->SkinMenu()->Window(0)->Handle(), std::string("menubar-") + skin + "-menu");
        b.Frame->Menus()->SkinMenu()->CloseAll();
    }
}
