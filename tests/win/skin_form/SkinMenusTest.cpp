// The skinned popup menus on real windows: metrics with and without the
// skin, placement beside and above the anchor, scrolling a long menu, the
// submenu delay, mouse and keyboard, dismissal, marks and glyphs, the
// system and tray menus, and what a closed menu leaves behind.
#include "tests/win/skin_form/MenuFixture.h"

#include <algorithm>

#include "core/WindowServices.h"
#include "skin/data/vlUtils.h"

namespace {

uint32_t Rgb(TColor c) { return ColorToRGB(c); }

// A bitmap of one colour for an image list.
HBITMAP SolidBitmap(int w, int h, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return b;
}

}  // namespace

TEST(MenuPlacement, BelowBesideAndAboveTheAnchor) {
    const TRect work{0, 0, 1000, 800};
    constexpr int kAny = -9999;  // not looked at in this case
    struct Case {
        const char* What;
        TRect Anchor;
        int Height;
        bool Submenu, Up, Scroll;
        int X, Y, Overlapping;  // Overlapping: 0, 1 or kAny
    };
    const Case cases[] = {
        {"below a point", {100, 100, 100, 100}, 90, false, false, false, 100, 100, kAny},
        {"moved left to end at the right edge", {950, 100, 950, 100}, 90, false, false, false, 880, kAny, kAny},
        {"near the bottom, from the lower half: above", {100, 760, 100, 760}, 90, false, false, false, kAny, 670, 0},
        {"too tall for the upper half: ends at the bottom, overlapping",
         {100, 300, 200, 320}, 600, false, false, false, 201, 200, 1},
        {"upward when asked", {10, 300, 60, 320}, 90, false, true, false, kAny, 210, kAny},
        {"below when the upper half has no room above", {10, 50, 60, 70}, 90, false, true, false, kAny, 70, kAny},
        {"a submenu lines its first item up with the parent item",
         {200, 100, 300, 122}, 90, true, false, false, 301, 96, kAny},
        {"a submenu goes left when the right has no room", {800, 100, 900, 122}, 90, true, false, false, 679, kAny,
         kAny},
        {"a menu as tall as the work area starts at its top", {10, 400, 10, 400}, 800, false, false, true, kAny, 0,
         kAny},
    };
    for (const Case& c : cases) {
        auto p = vlMenus::PlaceWindow(c.Anchor, work, 120, c.Height, 4, c.Submenu, c.Up, c.Scroll, false);
        if (c.X != kAny) EXPECT_EQ(p.X, c.X) << c.What;
        if (c.Y != kAny) EXPECT_EQ(p.Y, c.Y) << c.What;
        if (c.Overlapping != kAny) EXPECT_EQ(p.Overlapping, c.Overlapping == 1) << c.What;
    }
}

TEST(MenuKeys, UpAndDownWrapAndStopAfterOneCycle) {
    auto all = [](int) { return true; };
    EXPECT_EQ(vlMenus::NextSelectable(-1, 5, true, all), 0);
    EXPECT_EQ(vlMenus::NextSelectable(-1, 5, false, all), 4);
    EXPECT_EQ(vlMenus::NextSelectable(4, 5, true, all), 0);
    EXPECT_EQ(vlMenus::NextSelectable(0, 5, false, all), 4);
    auto notOne = [](int i) { return i != 1; };
    EXPECT_EQ(vlMenus::NextSelectable(0, 5, true, notOne), 2);
    EXPECT_EQ(vlMenus::NextSelectable(2, 5, false, notOne), 0);
    int asked = 0;
    EXPECT_EQ(vlMenus::NextSelectable(-1, 5, true, [&](int) { return ++asked, false; }), -1);
    EXPECT_EQ(asked, 5);
    EXPECT_EQ(vlMenus::NextSelectable(-1, 0, true, all), -1);
}

TEST(MenuShortCuts, TextsBothWays) {
    EXPECT_EQ(ShortCutToText(TextToShortCut("Alt+F4")), "Alt+F4");
    EXPECT_EQ(ShortCutToText(TextToShortCut("Ctrl+F4")), "Ctrl+F4");
    EXPECT_EQ(TextToShortCut("Ctrl+C"), 'C' | scCtrl);
    EXPECT_EQ(ShortCutToText('V' | scCtrl | scShift), "Shift+Ctrl+V");
    EXPECT_EQ(ShortCutToText(VK_DELETE), "Del");
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
    EXPECT_EQ(ShortCutToText(scNone), "");
}

TEST_F(MenuTest, TreeMenuMetricsWithTheSkin) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TvlSkinPopupMenu* menu = TreeMenu(frame->Form());
    TvlSkinMenu* engine = PopUp(frame, menu);
    ASSERT_TRUE(engine->Visible);
    ASSERT_EQ(engine->WindowCount(), 1);
    TvlSkinPopupWindow* w = engine->Window(0);
    EXPECT_EQ(Captions(w), (std::vector<std::string>{"New Category", "-", "New Project", "Edit", "Delete"}));
    ASSERT_TRUE(w->HasSkin());
    // The skin's item is 22 high, its divider 7; the window frame adds 8.
    std::vector<int> heights;
    for (int i = 0; i < w->ItemCount(); ++i) heights.push_back(w->Item(i)->ItemBounds.Height());
    EXPECT_EQ(heights, (std::vector<int>{22, 7, 22, 22, 22}));
    EXPECT_EQ(w->Height(), 4 * 22 + 7 + 8);
    EXPECT_EQ(w->Item(0)->ItemBounds.Top, 4);
    // "New Category" is preselected, as by the keyboard.
    EXPECT_EQ(w->HotItem, 0);
    EXPECT_TRUE(w->Item(0)->Active);
    EXPECT_TRUE(w->Item(0)->Preselected);
    RECT r;
    GetWindowRect(w->Handle(), &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    // Shown topmost, never activated; the frame's hook is in the loop.
    EXPECT_TRUE(GetWindowLongA(w->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(w->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(SendMessageA(w->Handle(), WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), frame->Form()->Handle());
    EXPECT_TRUE(frame->Menus()->InMenu());
    // The window's pixels are the skin's: the highlighted item uses the
    // active look, the others the normal one.
    TvlFBitmap look;
    w->Compose(look);
    const TvlDataSkinMenuItem* data = w->MenuItemData;
    const TPixelImage& picture = Skin->PictureList[static_cast<size_t>(data->ActivePictureIndex)];
    auto source = [&](int x, int y) {
        const uint8_t* p = picture.Pixels.data() + y * picture.Stride() + x * 3;
        return static_cast<uint32_t>(p[2] | (p[1] << 8) | (p[0] << 16));
    };
    EXPECT_EQ(look.Pixel(4 + 2, 4 + 2), source(data->ActiveSkinRect.Left + 2, data->ActiveSkinRect.Top + 2));
    EXPECT_EQ(look.Pixel(4 + 2, 4 + 22 + 7 + 2), source(data->SkinRect.Left + 2, data->SkinRect.Top + 2));
}

TEST_F(MenuTest, BuiltInLookWithoutTheSkin) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(false);
    TvlSkinPopupMenu* menu = TreeMenu(frame->Form());
    menu->Items()[3]->Checked = true;  // "Edit"
    menu->Items()[4]->Checked = true;  // "Delete", a radio item
    menu->Items()[4]->RadioItem = true;
    TvlSkinPopupWindow* w = PopUp(frame, menu)->Window(0);
    ASSERT_FALSE(w->HasSkin());
    std::vector<int> heights;
    for (int i = 0; i < w->ItemCount(); ++i) heights.push_back(w->Item(i)->ItemBounds.Height());
    EXPECT_EQ(heights, (std::vector<int>{20, 4, 20, 20, 20}));
    EXPECT_EQ(w->Height(), 4 * 20 + 4 + 4);
    TvlFBitmap look;
    w->Compose(look);
    // The ring, the image column and the highlighted first item.
    EXPECT_EQ(look.Pixel(0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(look.Pixel(1, 40), Rgb(clWindow));
    EXPECT_EQ(look.Pixel(5, 2 + 20 + 4 + 5), Rgb(clBtnFace));
    EXPECT_EQ(look.Pixel(w->Width() - 6, 2 + 20 + 4 + 5), Rgb(clWindow));
    EXPECT_EQ(look.Pixel(2, 2), 0x00800000u);  // navy border
    EXPECT_EQ(look.Pixel(10, 10), 13811126u);
    // The separator's line at half its height, from the image column on.
    EXPECT_EQ(look.Pixel(30, 2 + 20 + 2), Rgb(clBtnShadow));
    EXPECT_EQ(look.Pixel(10, 2 + 20 + 2), Rgb(clBtnFace));
    // The check mark of "Edit" and the filled circle of "Delete".
    const TRect& edit = w->Item(3)->ItemBounds;
    int x = edit.Left + 2 + 3, middle = edit.Top + 2 + (edit.Height() - 4) / 2;
    EXPECT_EQ(look.Pixel(x, middle - 4 + 5), Rgb(clWindowText));
    EXPECT_EQ(look.Pixel(x + 2, middle - 4 + 7), Rgb(clWindowText));
    const TRect& del = w->Item(4)->ItemBounds;
    middle = del.Top + 2 + (del.Height() - 4) / 2;
    EXPECT_EQ(look.Pixel(x, middle - 3 + 2), Rgb(clWindowText));
    EXPECT_EQ(look.Pixel(x + 3, middle - 3), Rgb(clWindowText));
    EXPECT_EQ(look.Pixel(x, middle - 3), Rgb(clBtnFace));
}

TEST_F(MenuTest, ImagesShortcutsSubmenuArrowsAndDefaultItems) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(false);
    TvlSkinPopupMenu* menu = NestedMenu(frame->Form());
    auto* images = new TImageList(frame->Form(), 16, 16);
    HBITMAP red = SolidBitmap(16, 16, RGB(255, 0, 0));
    images->Add(red);
    DeleteObject(red);
    menu->Popup(300, 200);
    int plainWidth = Engine(frame)->Window(0)->Width();
    Engine(frame)->CloseAll();
    menu->Items()[3]->Default = true;  // "E&xit  Alt+F4", the widest
    menu->Popup(300, 200);
    // A default item is drawn in bold, which is wider.
    EXPECT_GT(Engine(frame)->Window(0)->Width(), plainWidth);
    Engine(frame)->CloseAll();

    menu->SetImages(images);
    menu->Items()[0]->ImageIndex = 0;
    TvlSkinPopupWindow* w = PopUp(frame, menu)->Window(0);
    EXPECT_EQ(w->ImageColumnWidth, 16 + 5);
    TvlFBitmap look;
    w->Compose(look);
    const TRect& open = w->Item(0)->ItemBounds;
    int middle = open.Top + 2 + (open.Height() - 4) / 2;
    EXPECT_EQ(look.Pixel(open.Left + 2 + 2 + 8, middle), 0x000000FFu);  // the red image
    // "&Recent" has sub-items: a right-pointing arrow at the right end.
    const TRect& recent = w->Item(1)->ItemBounds;
    int ax = recent.Right - 2 - 7, ay = recent.Top + 2 + (recent.Height() - 4) / 2 - 4;
    EXPECT_EQ(look.Pixel(ax, ay), Rgb(clWindowText));
    EXPECT_EQ(look.Pixel(ax, ay + 7), Rgb(clWindowText));
    EXPECT_EQ(look.Pixel(ax + 3, ay + 3), Rgb(clWindowText));
    EXPECT_NE(look.Pixel(ax + 3, ay + 1), Rgb(clWindowText));
    // The shortcut widens the item: its text and two blanks are measured.
    EXPECT_EQ(ShortCutToText(w->Item(3)->MenuItem->ShortCut), "Alt+F4");
}

TEST_F(MenuTest, OpensAboveTheAnchorNearTheScreenBottom) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TvlSkinPopupMenu* menu = TreeMenu(frame->Form());
    menu->Popup(300, 980);
    TvlSkinPopupWindow* w = Engine(frame)->Window(0);
    RECT r;
    GetWindowRect(w->Handle(), &r);
    EXPECT_EQ(r.bottom, 980);
    EXPECT_EQ(r.left, 300);
    // From the upper half a menu that does not fit below ends at the bottom.
    Engine(frame)->CloseAll();
    WorkArea = {0, 0, 1280, 300};
    menu->Popup(300, 140);
    w = Engine(frame)->Window(0);
    GetWindowRect(w->Handle(), &r);
    EXPECT_EQ(r.top, 140);
    WorkArea = {0, 0, 1280, 200};
    Engine(frame)->CloseAll();
    menu->Popup(300, 99);
    GetWindowRect(Engine(frame)->Window(0)->Handle(), &r);
    EXPECT_EQ(r.bottom, 200);
    // From the lower half it goes above.
    Engine(frame)->CloseAll();
    menu->Popup(300, 120);
    GetWindowRect(Engine(frame)->Window(0)->Handle(), &r);
    EXPECT_EQ(r.bottom, 120);
}

TEST_F(MenuTest, LongMenuScrollsOneItemPer100Milliseconds) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    frame->MaxMenuItemsInWindow = 5;
    TvlSkinPopupMenu* menu = LongMenu(frame->Form(), 8);
    menu->Popup(300, 100);
    TvlSkinPopupWindow* w = Engine(frame)->Window(0);
    EXPECT_TRUE(w->Scroll);
    EXPECT_TRUE(w->ScrollLimited);
    EXPECT_EQ(w->ShownCount, 5);
    EXPECT_EQ(w->Height(), 5 * 22 + 8 + 20);
    // Five items between two 10-pixel bands.
    EXPECT_EQ(w->Item(0)->ItemBounds.Top, 4 + 10);
    EXPECT_TRUE(w->Item(4)->Visible);
    EXPECT_FALSE(w->Item(5)->Visible);
    // Resting on the bottom band scrolls until the last item shows.
    MoveTo(w, w->Width() / 2, w->Height() - 4 - 5);
    EXPECT_EQ(w->ScrollDirection, 2);
    EXPECT_EQ(timers.Interval(w->Handle(), 1), 100u);
    int ticks = 0;
    while (timers.Fire(w->Handle(), 1) && ticks < 20) ++ticks;
    EXPECT_EQ(w->FirstShownIndex, 3);
    EXPECT_TRUE(w->Item(7)->Visible);
    EXPECT_FALSE(w->Item(2)->Visible);
    EXPECT_EQ(ticks, 4);  // three steps, then the timer stops
    EXPECT_EQ(w->ScrollDirection, 0);
    EXPECT_EQ(timers.Interval(w->Handle(), 1), 0u);
    // The top band scrolls back.
    MoveTo(w, w->Width() / 2, 4 + 5);
    EXPECT_EQ(w->ScrollDirection, 1);
    while (timers.Fire(w->Handle(), 1)) {
    }
    EXPECT_EQ(w->FirstShownIndex, 0);
    // The keyboard scrolls too: End shows the last page, Home the first.
    Press(frame->Form(), VK_END);
    EXPECT_EQ(w->HotItem, 7);
    EXPECT_TRUE(w->Item(7)->Visible);
    Press(frame->Form(), VK_DOWN);  // wraps to the top
    EXPECT_EQ(w->HotItem, 0);
    EXPECT_TRUE(w->Item(0)->Visible);
    EXPECT_EQ(w->FirstShownIndex, 0);
    Press(frame->Form(), VK_UP);  // wraps to the last page
    EXPECT_EQ(w->HotItem, 7);
    EXPECT_TRUE(w->Item(7)->Visible);
}

TEST_F(MenuTest, AMenuTallerThanTheWorkAreaScrollsFromItsTop) {
    TFakeTimers timers;
    WorkArea = {0, 0, 1280, 200};
    TvlLacquer* frame = MakeForm(false);
    TvlSkinPopupMenu* menu = LongMenu(frame->Form(), 20);
    menu->Popup(300, 150);
    TvlSkinPopupWindow* w = Engine(frame)->Window(0);
    EXPECT_TRUE(w->Scroll);
    EXPECT_FALSE(w->ScrollLimited);
    EXPECT_EQ(w->Height(), 200);
    RECT r;
    GetWindowRect(w->Handle(), &r);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.left, 301);  // beside the point
}

TEST_F(MenuTest, HoveredSubmenuOpensAfter500MillisecondsAClickOpensItAtOnce) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TvlSkinPopupMenu* menu = NestedMenu(frame->Form());
    TvlSkinMenu* engine = PopUp(frame, menu);
    TvlSkinPopupWindow* w = engine->Window(0);
    MoveToItem(w, 1);  // "&Recent"
    EXPECT_EQ(w->HotItem, 1);
    EXPECT_EQ(engine->WaitItem(), w->Item(1));
    EXPECT_EQ(timers.Interval(w->Handle(), engine->SubmenuDelayTimer().Id()), 500u);
    EXPECT_EQ(engine->WindowCount(), 1);
    timers.Fire(w->Handle(), engine->SubmenuDelayTimer().Id());
    ASSERT_EQ(engine->WindowCount(), 2);
    EXPECT_EQ(engine->WaitItem(), nullptr);
    EXPECT_EQ(timers.Interval(w->Handle(), engine->SubmenuDelayTimer().Id()), 0u);
    TvlSkinPopupWindow* sub = engine->Window(1);
    EXPECT_EQ(Captions(sub), (std::vector<std::string>{"&First", "&Second"}));
    EXPECT_TRUE(w->Item(1)->Down);
    // Beside the parent item, its first item level with it.
    RECT r;
    GetWindowRect(sub->Handle(), &r);
    TRect parent = w->ItemScreenRect(1);
    EXPECT_EQ(r.left, parent.Right + 1);
    EXPECT_EQ(r.top + sub->Item(0)->ItemBounds.Top, parent.Top);
    EXPECT_EQ(sub->HotItem, 0);  // preselected
    // Another item closes the submenu; a pending wait goes with it.
    MoveToItem(w, 1);
    MoveToItem(w, 0);
    EXPECT_EQ(engine->WindowCount(), 1);
    EXPECT_FALSE(w->Item(1)->Down);
    MoveToItem(w, 1);
    EXPECT_NE(engine->WaitItem(), nullptr);
    engine->CloseFrom(1);
    EXPECT_EQ(engine->WaitItem(), nullptr);
    EXPECT_EQ(timers.Interval(w->Handle(), engine->SubmenuDelayTimer().Id()), 0u);
    // A click opens it at once, and a click in the submenu runs the item.
    ClickItem(w, 1);
    ASSERT_EQ(engine->WindowCount(), 2);
    ClickItem(engine->Window(1), 1);
    // The item with sub-items runs its command too, each time it opens.
    EXPECT_EQ(Clicked, (std::vector<std::string>{"&Recent", "&Recent", "&Second"}));
    EXPECT_FALSE(engine->Visible);
    EXPECT_FALSE(frame->Menus()->InMenu());
}

TEST_F(MenuTest, KeyboardOnly) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    TvlSkinPopupMenu* menu = NestedMenu(form);
    menu->Items()[0]->Enabled = false;  // "&Open"
    int hooks = Application->MessageHookCount();
    menu->Popup(300, 200);
    EXPECT_EQ(Application->MessageHookCount(), hooks + 1);
    TvlSkinMenu* engine = Engine(frame);
    TvlSkinPopupWindow* w = engine->Window(0);
    EXPECT_EQ(w->HotItem, 1);  // the first enabled item
    Press(form, VK_DOWN);
    EXPECT_EQ(w->HotItem, 3);  // past the separator
    Press(form, VK_DOWN);
    EXPECT_EQ(w->HotItem, 1);  // wraps past the disabled item
    Press(form, VK_UP);
    EXPECT_EQ(w->HotItem, 3);
    Press(form, VK_HOME);
    EXPECT_EQ(w->HotItem, 1);
    Press(form, VK_END);
    EXPECT_EQ(w->HotItem, 3);
    Press(form, VK_UP);
    Press(form, VK_RIGHT);  // opens "&Recent" with its first item preselected
    ASSERT_EQ(engine->WindowCount(), 2);
    EXPECT_EQ(engine->Window(1)->HotItem, 0);
    Press(form, VK_DOWN);
    EXPECT_EQ(engine->Window(1)->HotItem, 1);
    Press(form, VK_LEFT);
    EXPECT_EQ(engine->WindowCount(), 1);
    EXPECT_FALSE(w->Item(1)->Down);
    Press(form, VK_RETURN);  // Enter on "&Recent" opens it again
    ASSERT_EQ(engine->WindowCount(), 2);
    Press(form, VK_ESCAPE);
    EXPECT_EQ(engine->WindowCount(), 1);
    EXPECT_TRUE(engine->Visible);
    // An accelerator letter chooses at once: "E&xit".
    Press(form, 'X');
    EXPECT_EQ(Clicked, (std::vector<std::string>{"&Recent", "&Recent", "E&xit"}));
    EXPECT_FALSE(engine->Visible);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    // A disabled item's letter does nothing; Escape from the last window closes.
    menu->Popup(300, 200);
    Press(form, 'O');
    EXPECT_TRUE(engine->Visible);
    Press(form, VK_ESCAPE);
    EXPECT_FALSE(engine->Visible);
    EXPECT_FALSE(frame->Menus()->InMenu());
    EXPECT_EQ(Application->MessageHookCount(), hooks);
}

TEST_F(MenuTest, UpAndDownInAMenuOfDisabledItemsStop) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(false);
    // An empty edit's menu with an empty clipboard.
    auto* menu = new TvlSkinPopupMenu(frame->Form());
    for (const char* caption : {"Undo", "-", "Cut", "Copy", "Paste", "Delete"})
        menu->Add(new TMenuItem(frame->Form(), caption))->Enabled = false;
    TvlSkinPopupWindow* w = PopUp(frame, menu)->Window(0);
    EXPECT_EQ(w->HotItem, -1);
    Press(frame->Form(), VK_DOWN);
    Press(frame->Form(), VK_UP);
    Press(frame->Form(), VK_RETURN);
    EXPECT_EQ(w->HotItem, -1);
    EXPECT_TRUE(Engine(frame)->Visible);
    Press(frame->Form(), VK_ESCAPE);
    EXPECT_FALSE(Engine(frame)->Visible);
}

TEST_F(MenuTest, AClickOutsideOrTheFocusLeavingClosesTheMenu) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    auto* list = new TEdit(form, form, 10, 10, 100, 24);
    list->HandleNeeded();
    TvlSkinPopupMenu* menu = TreeMenu(form);
    int hooks = Application->MessageHookCount();
    // A click on a control of the form.
    menu->Popup(300, 200);
    ASSERT_TRUE(Engine(frame)->Visible);
    PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ui::Pump();
    EXPECT_FALSE(Engine(frame)->Visible);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    // A click on the frame.
    menu->Popup(300, 200);
    PostMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTNOWHERE, 0);
    ui::Pump();
    EXPECT_FALSE(Engine(frame)->Visible);
    // The form losing the activation.
    menu->Popup(300, 200);
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(Engine(frame)->Visible);
    EXPECT_FALSE(frame->Menus()->InMenu());
    // Another window of the application taking the focus.
    auto* other = new TForm(Application, "Other", 100, 80, bsDialog, 0);
    Forms.push_back(other);
    menu->Popup(300, 200);
    ASSERT_TRUE(Engine(frame)->Visible);
    other->Show();
    ui::Pump(20);
    EXPECT_FALSE(Engine(frame)->Visible);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    // A click on the menu itself keeps it open.
    menu->Popup(300, 200);
    SendMessageA(Window(frame, 0), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    EXPECT_TRUE(Engine(frame)->Visible);
}

TEST_F(MenuTest, NoItemIsUsedAfterItsMenuIsFreed) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    // The handler frees the whole menu and its items while it runs.
    auto* menu = new TvlSkinPopupMenu(form);
    TMenuItem* freeAll = menu->Add(new TMenuItem(menu, "Free"));
    menu->Add(new TMenuItem(menu, "Other"));
    bool ran = false;
    freeAll->OnClick = [&](TObject*) {
        ran = true;
        delete menu;
    };
    auto* invoker = new TEdit(form, form, 10, 10, 100, 24);
    invoker->HandleNeeded();
    UINT done = 0, closed = 0;
    TWindowProcWrapper* spy = nullptr;
    struct Spy : TWindowProcWrapper {
        UINT* Done;
        UINT* Closed;
        Spy(TComponent* o, UINT* d, UINT* c) : TWindowProcWrapper(o), Done(d), Closed(c) {}
        void WrappedWndProc(TMessage& m) override {
            if (m.Msg == WM_SKINMENUITEMDONE) ++*Done;
            if (m.Msg == WM_CLOSESKINMENUS) ++*Closed;
            CallPrevious(m);
        }
    };
    spy = new Spy(form, &done, &closed);
    spy->Attach(invoker);
    menu->PopupFromControl(invoker, 300, 200);
    ASSERT_TRUE(Engine(frame)->Visible);
    EXPECT_EQ(Engine(frame)->InvokingControl(), invoker);
    ClickItem(Engine(frame)->Window(0), 0);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(Engine(frame)->Visible);
    EXPECT_EQ(closed, 1u);
    EXPECT_EQ(done, 1u);  // told after the command ran
    // A menu freed while it shows closes first.
    TvlSkinPopupMenu* second = TreeMenu(form);
    second->Popup(300, 200);
    ASSERT_TRUE(Engine(frame)->Visible);
    delete second;
    EXPECT_FALSE(Engine(frame)->Visible);
    ui::Pump();
    EXPECT_EQ(Engine(frame)->WindowCount(), 0);
    // An item freed while it shows closes the menu too.
    TvlSkinPopupMenu* third = TreeMenu(form);
    third->Popup(300, 200);
    delete third->Items()[2];
    ui::Pump();
    EXPECT_FALSE(Engine(frame)->Visible);
}

TEST_F(MenuTest, FormDestroyedWithAMenuOpenLeavesNothingBehind) {
    TLeakCheck leaks;
    int windows = ThreadTopLevelWindowCount();
    int hooks = Application->MessageHookCount();
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    TvlSkinPopupMenu* menu = NestedMenu(form);
    menu->Popup(300, 200);
    MoveToItem(Engine(frame)->Window(0), 1);  // a submenu wait pending
    ClickItem(Engine(frame)->Window(0), 1);
    ASSERT_EQ(Engine(frame)->WindowCount(), 2);
    Forms.clear();
    form->Release();
    ui::Pump();
    EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    leaks.ExpectNone("a form destroyed with its menu open");
}

TEST_F(MenuTest, AThousandMenusWithASubmenuLeaveNothingBehind) {
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    TvlSkinPopupMenu* menu = NestedMenu(form);
    // One round first, so that fonts and classes made once are in place.
    menu->Popup(300, 200);
    Engine(frame)->CloseAll();
    ui::Pump();
    TLeakCheck leaks;
    int windows = ThreadTopLevelWindowCount();
    int hooks = Application->MessageHookCount();
    for (int i = 0; i < 1000; ++i) {
        TvlSkinPopupWindow* w = PopUp(frame, menu)->Window(0);
        MoveToItem(w, 1);
        ClickItem(w, 1);  // the submenu opens
        if (i % 2)
            Press(form, VK_ESCAPE), Press(form, VK_ESCAPE);
        else
            ClickItem(Engine(frame)->Window(1), 0);
    }
    ui::Pump();
    EXPECT_EQ(Engine(frame)->WindowCount(), 0);
    EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    EXPECT_EQ(Clicked.size(), 1000u + 500u);
    leaks.ExpectNone("1,000 menus with a submenu");
}

TEST_F(MenuTest, SystemMenuThroughTheEngineWithItsGlyphsAndCommands) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    frame->SetBorderIcons(vlbiSystemMenu | vlbiMinimize | vlbiMaximize | vlbiRollUp);
    frame->ApplySkin();
    TForm* form = frame->Form();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    // A right click on the caption.
    PostMessageA(form->Handle(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + 100, r.top + 10));
    ui::Pump();
    TvlSkinMenu* engine = Engine(frame);
    ASSERT_TRUE(engine->Visible);
    TvlSkinPopupWindow* w = engine->Window(0);
    EXPECT_EQ(Captions(w), (std::vector<std::string>{"Mi&nimize", "Ma&ximize", "Ro&llUp", "-", "&Close"}));
    EXPECT_EQ(ShortCutToText(w->Item(4)->MenuItem->ShortCut), "Alt+F4");
    EXPECT_EQ(w->Item(4)->MenuItem->Name, "LQR_CLOSE");
    // The close glyph in front of "&Close".
    TvlFBitmap look;
    w->Compose(look);
    const TvlDataSkinMenuItem* d = w->MenuItemData;
    TRect b = w->Item(4)->ItemBounds;
    int tl = b.Left + d->TextRect.Left, middle = b.Top + d->TextRect.Top + d->TextRect.Height() / 2;
    std::vector<TvlShape> cross = DefaultGlyphShapes(TvlGlyph::Close, tl + 2, middle - 4);
    ASSERT_FALSE(cross.empty());
    EXPECT_EQ(look.Pixel(cross[0].A.X, cross[0].A.Y), d->FontColor);
    // Keyboard: Down to "Ma&ximize" and Enter maximizes.
    Press(form, VK_DOWN);
    Press(form, VK_RETURN);
    EXPECT_FALSE(engine->Visible);
    EXPECT_EQ(frame->FrameWindowState(), fwsMaximized);
    // Now Restore is offered, and its letter restores.
    PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    ui::Pump();
    ASSERT_TRUE(engine->Visible);
    EXPECT_EQ(Captions(engine->Window(0)),
              (std::vector<std::string>{"Mi&nimize", "&Restore", "Ro&llUp", "-", "&Close"}));
    Press(form, 'R');
    EXPECT_EQ(frame->FrameWindowState(), fwsNormal);
    EXPECT_FALSE(frame->Menus()->InMenu());
}

TEST_F(MenuTest, SystemMenuButtonOpensBelowItselfAndComesBackUpWhenTheMenuCloses) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    frame->SetBorderIcons(vlbiSystemMenu | vlbiMinimize | vlbiMaximize);
    frame->ApplySkin();
    TvlSkinButtonObject* button = nullptr;
    for (auto& o : frame->Objects())
        if (o->IDName == "sysmenubutton" && o->Visible) button = dynamic_cast<TvlSkinButtonObject*>(o.get());
    ASSERT_NE(button, nullptr);
    RECT r;
    GetWindowRect(frame->Form()->Handle(), &r);
    int x = (button->ObjectRect.Left + button->ObjectRect.Right) / 2, y = button->ObjectRect.Top + 2;
    SendMessageA(frame->Form()->Handle(), WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(r.left + x, r.top + y));
    SendMessageA(frame->Form()->Handle(), WM_NCLBUTTONUP, HTOBJECT, MAKELPARAM(r.left + x, r.top + y));
    ui::Pump();
    ASSERT_TRUE(frame->Menus()->SkinMenu()->Visible);
    EXPECT_TRUE(button->Down);
    RECT m;
    GetWindowRect(frame->Menus()->SkinMenu()->Window(0)->Handle(), &m);
    EXPECT_EQ(m.left, r.left + button->ObjectRect.Left);
    EXPECT_EQ(m.top, r.top + button->ObjectRect.Bottom);
    Press(frame->Form(), VK_ESCAPE);
    EXPECT_FALSE(frame->Menus()->SkinMenu()->Visible);
    EXPECT_FALSE(button->Down);
}

TEST_F(MenuTest, TrayMenuItemsAndTheirTexts) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TvlSkinPopupMenu* tray = frame->Menus()->TrayMenu();
    ASSERT_EQ(tray->Items().size(), 3u);
    EXPECT_EQ(tray->Items()[0]->Name, "TRAY_LQR_RESTORE");
    EXPECT_EQ(tray->Items()[0]->Caption, "&Restore");
    EXPECT_TRUE(tray->Items()[1]->IsSeparator());
    EXPECT_EQ(tray->Items()[2]->Name, "TRAY_LQR_CLOSE");
    EXPECT_EQ(ShortCutToText(tray->Items()[2]->ShortCut), "Alt+F4");
    tray->Popup(600, 500);
    ASSERT_TRUE(frame->Menus()->SkinMenu()->Visible);
    EXPECT_EQ(frame->Menus()->SkinMenu()->SkinData(), Skin);  // the frame's skin
    Press(frame->Form(), VK_ESCAPE);
}

TEST_F(MenuTest, ResourceStringsReplaceTheMenuTexts) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TvlResourceStrData strings(nullptr);
    strings.ResStrings.Insert(0, "MI_CLOSECAPTION=&Schliessen");
    strings.ResStrings.Insert(0, "MI_RESTORECAPTION=&Wiederherstellen");
    strings.CharSet = 238;  // eastern European
    Skin->SetResourceStrData(&strings);
    ui::Pump();
    frame->PopupSystemMenu(300, 200);
    TvlSkinPopupWindow* w = frame->Menus()->SkinMenu()->Window(0);
    EXPECT_EQ(Captions(w).back(), "&Schliessen");
    EXPECT_EQ(w->ItemFont.CharSet(), 238);
    Press(frame->Form(), VK_ESCAPE);
    // The tray menu is rebuilt when the strings change.
    EXPECT_EQ(frame->Menus()->TrayMenu()->Items()[0]->Caption, "&Wiederherstellen");
    Skin->SetResourceStrData(nullptr);
    ui::Pump();
    EXPECT_EQ(frame->Menus()->TrayMenu()->Items()[0]->Caption, "&Restore");
    frame->PopupSystemMenu(300, 200);
    EXPECT_EQ(Captions(frame->Menus()->SkinMenu()->Window(0)).back(), "&Close");
    EXPECT_EQ(frame->Menus()->SkinMenu()->Window(0)->ItemFont.CharSet(), DEFAULT_CHARSET);
    Press(frame->Form(), VK_ESCAPE);
}

TEST_F(MenuTest, WithoutAFrameNothingIsShown) {
    auto* form = new TForm(Application, "Bare", 200, 100, bsSizeable, 0);
    Forms.push_back(form);
    form->Show();
    auto* menu = new TvlSkinPopupMenu(form);
    menu->Add(new TMenuItem(form, "Item"));
    bool popped = false;
    menu->OnPopup = [&](TObject*) { popped = true; };
    int windows = ThreadTopLevelWindowCount();
    menu->Popup(100, 100);
    EXPECT_TRUE(popped);
    EXPECT_EQ(ThreadTopLevelWindowCount(), windows);
    EXPECT_EQ(menu->FindMenus(), nullptr);
}

TEST_F(MenuTest, EmptyMenuOpensNothingAndEndsTheBookkeeping) {
    TvlLacquer* frame = MakeForm(true);
    auto* menu = new TvlSkinPopupMenu(frame->Form());
    int hooks = Application->MessageHookCount();
    menu->Popup(100, 100);
    EXPECT_FALSE(frame->Menus()->SkinMenu()->Visible);
    EXPECT_FALSE(frame->Menus()->InMenu());
    EXPECT_EQ(Application->MessageHookCount(), hooks);
    menu->Add(new TMenuItem(frame->Form(), "Hidden"))->Visible = false;
    menu->Popup(100, 100);
    EXPECT_FALSE(frame->Menus()->SkinMenu()->Visible);
}

TEST_F(MenuTest, ScreenshotsInBothSkins) {
    for (const char* skin : {"modern", "graphite"}) {
        SCOPED_TRACE(skin);
        if (std::string(skin) == "graphite") LoadGraphite();
        TvlLacquer* frame = MakeForm(true);
        TvlSkinPopupMenu* menu = NestedMenu(frame->Form());
        menu->Items()[0]->Checked = true;
        menu->Popup(120, 120);
        ClickItem(frame->Menus()->SkinMenu()->Window(0), 1);
        ASSERT_EQ(frame->Menus()->SkinMenu()->WindowCount(), 2);
        ui::SaveScreenshot(frame->Menus()->SkinMenu()->Window(0)->Handle(), std::string("menu-") + skin + "-nested");
        ui::SaveScreenshot(frame->Menus()->SkinMenu()->Window(1)->Handle(), std::string("menu-") + skin + "-submenu");
        frame->Menus()->SkinMenu()->CloseAll();
        frame->PopupSystemMenu(150, 150);
        ui::SaveScreenshot(frame->Menus()->SkinMenu()->Window(0)->Handle(), std::string("menu-") + skin + "-system");
        frame->Menus()->SkinMenu()->CloseAll();
    }
}

TEST_F(MenuTest, TranslucentMenusFadeInOnTheFirstWindowOnly) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TFakeLayeredWindows layered;
    TServiceOverride<TLayeredWindows> useLayered(layered);
    std::vector<std::pair<HWND, int>>& alphas = layered.Calls;
    frame->MenusAlphaBlend = true;
    frame->MenusAlphaBlendAnimation = true;
    frame->MenusAlphaBlendValue = 100;
    TvlSkinPopupMenu* menu = NestedMenu(frame->Form());
    menu->Popup(300, 200);
    HWND first = Window(frame, 0);
    EXPECT_TRUE(GetWindowLongA(first, GWL_EXSTYLE) & WS_EX_LAYERED);
    // 0, then 3, 6, ... 99 and the last step clamped to 100, without pauses.
    ASSERT_EQ(alphas.size(), 1u + 34u);
    EXPECT_EQ(alphas[0].second, 0);
    EXPECT_EQ(alphas[1].second, 3);
    EXPECT_EQ(alphas[33].second, 99);
    EXPECT_EQ(alphas[34].second, 100);
    alphas.clear();
    ClickItem(Engine(frame)->Window(0), 1);  // the submenu: no fade
    ASSERT_EQ(Engine(frame)->WindowCount(), 2);
    ASSERT_EQ(alphas.size(), 1u);
    EXPECT_EQ(alphas[0], std::make_pair(Window(frame, 1), 100));
    Engine(frame)->CloseAll();
}

TEST_F(MenuTest, MorphingItemsBlendInFiveSteps) {
    TFakeTimers timers;
    LoadModernWithMorphingItems();
    TvlLacquer* frame = MakeForm(true);
    TvlSkinPopupMenu* menu = TreeMenu(frame->Form());
    TvlSkinPopupWindow* w = PopUp(frame, menu)->Window(0);
    MoveToItem(w, 2);  // "New Project": the first item fades out, this one in
    EXPECT_EQ(timers.Interval(w->Handle(), w->BlendTimer.Id()), 20u);
    int ticks = 0;
    while (timers.Fire(w->Handle(), w->BlendTimer.Id()) && ticks < 20) ++ticks;
    EXPECT_EQ(ticks, 6);  // five steps, and the tick that finds nothing left
    EXPECT_EQ(w->Item(2)->MorphFactor, 1);
    EXPECT_EQ(w->Item(0)->MorphFactor, 0);
    Engine(frame)->CloseAll();
}
