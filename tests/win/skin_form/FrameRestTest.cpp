// What the frame and its popups do beyond drawing: caption objects that open
// menus, live translucency, the frame's own shortcut handler, skin notices to
// components, the tray icon's default item and focus, and popup menus'
// accelerators and morph ticks. Real messages on test forms throughout.
#include "tests/win/skin_form/MenuFixture.h"

#include "core/WindowServices.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/form/vlTrayIcon.h"
#include "tests/win/support/FakeServices.h"

namespace {

class FrameRest : public MenuTest {
protected:
    // A free push button cut like the system-menu button, and a "cmdefault"
    // animation.
    void AddMenuObjects() {
        const TvlDataSkinStdButton* sys = nullptr;
        for (auto& o : Skin->SkinObjects)
            if (o->ElementName == "sysmenubutton") sys = dynamic_cast<const TvlDataSkinStdButton*>(o.get());
        ASSERT_NE(sys, nullptr);
        auto button = std::make_unique<TvlDataSkinButton>(static_cast<const TvlDataSkinButton&>(*sys));
        button->ElementName = "menubutton";
        // First in the list: it sits over the caption, and the first object
        // under the mouse is the one it meets.
        Skin->SkinObjects.insert(Skin->SkinObjects.begin(), std::move(button));
        auto anim = std::make_unique<TvlDataSkinAnimate>("menuanim");
        static_cast<TvlDataSkinObject&>(*anim) = static_cast<const TvlDataSkinObject&>(*sys);
        anim->ElementName = "menuanim";
        anim->ActiveSkinRect = sys->SkinRect;
        anim->ButtonStyle = true;
        anim->Command = cmDefault;
        Skin->SkinObjects.push_back(std::move(anim));
    }
    template <class T>
    static T* Find(TvlLacquer* f, const std::string& id) {
        for (auto& o : f->Objects())
            if (o->IDName == id) return dynamic_cast<T*>(o.get());
        return nullptr;
    }
    static RECT Bounds(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return r;
    }
    // Press and release on an object, as the mouse does it.
    static void ClickObject(TvlLacquer* frame, TvlActiveSkinObject* o) {
        HWND w = frame->Form()->Handle();
        RECT r = Bounds(w);
        int x = (o->ObjectRect.Left + o->ObjectRect.Right) / 2, y = (o->ObjectRect.Top + o->ObjectRect.Bottom) / 2;
        frame->UpdateActiveObject(x, y, true);
        SendMessageA(w, WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(r.left + x, r.top + y));
        SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
        ui::Pump();
    }
    TMenuItem* ObjectMenu(TForm* form) {
        auto* root = new TMenuItem(form, "Views");
        for (const char* caption : {"&Tasks", "&Calendar", "-", "&Options"}) AddItem(form, root, caption);
        return root;
    }
};

TEST_F(FrameRest, CaptionObjectsOpenTheirMenusBesideThemselves) {
    TFakeTimers timers;
    for (bool graphite : {false, true}) {
        SCOPED_TRACE(graphite ? "Graphite" : "Modern");
        if (graphite) LoadGraphite(); else LoadModern();
        AddMenuObjects();
        TvlLacquer* frame = ShowFramedForm("Menus", true, bsSizeable, 420, 260, [](TvlLacquer* f) {
            f->OnActivateCustomObject = [](const std::string&, bool& visible) { visible = true; };
        });
        TForm* form = frame->Form();
        HWND w = form->Handle();
        SendMessageA(w, WM_NCACTIVATE, TRUE, 0);
        auto* button = Find<TvlSkinButtonObject>(frame, "menubutton");
        auto* anim = Find<TvlSkinAnimateObject>(frame, "menuanim");
        auto* close = Find<TvlActiveSkinObject>(frame, "closebutton");
        ASSERT_NE(button, nullptr);
        ASSERT_NE(anim, nullptr);
        ASSERT_TRUE(anim->Visible);
        // The free button sits in the caption row, left of the laid-out buttons.
        int width = button->ObjectRect.Width();
        button->ObjectRect = {anim->ObjectRect.Left - width - 4, close->ObjectRect.Top, anim->ObjectRect.Left - 4,
                              close->ObjectRect.Top + button->ObjectRect.Height()};
        SendMessageA(w, WM_NCPAINT, 1, 0);
        TMenuItem* views = ObjectMenu(form);
        button->SetMenuItem(views);
        TvlSkinMenu* engine = Engine(frame);

        // A button with a menu opens it below itself and stays down while it is open.
        ClickObject(frame, button);
        ASSERT_TRUE(engine->Visible);
        EXPECT_TRUE(button->Down);
        RECT m = Bounds(engine->Window(0)->Handle()), r = Bounds(w);
        EXPECT_EQ(m.left, r.left + button->ObjectRect.Left);
        EXPECT_EQ(m.top, r.top + button->ObjectRect.Bottom);
        EXPECT_EQ(Captions(engine->Window(0)), (std::vector<std::string>{"&Tasks", "&Calendar", "-", "&Options"}));
        ui::SaveScreenArea(RECT{r.left, r.top, std::max(r.right, m.right), std::max(r.bottom, m.bottom)},
                           std::string("caption-button-menu-") + (graphite ? "graphite" : "modern"));
        Press(form, 'C');
        EXPECT_EQ(Clicked.back(), "&Calendar");
        EXPECT_FALSE(engine->Visible);
        EXPECT_FALSE(button->Down) << "the button comes up with its menu";

        // PopupUp: above the button, where there is room for it.
        SetWindowPos(w, nullptr, 50, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r = Bounds(w);
        button->PopupUp = true;
        ClickObject(frame, button);
        ASSERT_TRUE(engine->Visible);
        m = Bounds(engine->Window(0)->Handle());
        EXPECT_EQ(m.bottom, r.top + button->ObjectRect.Top);
        engine->CloseAll();
        button->PopupUp = false;
        EXPECT_FALSE(button->Down);
        SetWindowPos(w, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r = Bounds(w);

        // A "cmdefault" animation opens its menu item on release.
        anim->SetMenuItem(views);
        ClickObject(frame, anim);
        ASSERT_TRUE(engine->Visible);
        m = Bounds(engine->Window(0)->Handle());
        EXPECT_EQ(m.left, r.left + anim->ObjectRect.Left);
        EXPECT_EQ(m.top, r.top + anim->ObjectRect.Bottom);
        engine->CloseAll();

        // A "cmsysmenu" animation: the system menu beside the object, not at the cursor.
        SetCursorPos(5, 5);
        anim->Command = cmSysMenu;
        POINT at{};
        frame->Menus()->SystemMenuPopup = [&](const std::vector<TvlSysMenuItem>&, POINT p) {
            at = p;
            return std::string();
        };
        ClickObject(frame, anim);
        EXPECT_EQ(at.x, r.left + anim->ObjectRect.Left);
        EXPECT_EQ(at.y, r.top + anim->ObjectRect.Bottom);
        frame->Menus()->SystemMenuPopup = nullptr;
        anim->Command = cmDefault;

        // A menu item that goes is forgotten; an item without sub-items opens nothing.
        delete views;
        EXPECT_EQ(button->MenuItem, nullptr);
        EXPECT_EQ(anim->MenuItem, nullptr);
        TMenuItem* lone = new TMenuItem(form, "Lone");
        button->SetMenuItem(lone);
        ClickObject(frame, button);
        EXPECT_FALSE(engine->Visible);
        EXPECT_FALSE(button->Down);

        // 200 menus opened and closed leave nothing behind.
        TMenuItem* again = ObjectMenu(form);
        button->SetMenuItem(again);
        ClickObject(frame, button);
        engine->CloseAll();
        ui::Pump();
        TSceneCheck scene;
        for (int i = 0; i < 200; ++i) {
            ClickObject(frame, button);
            ASSERT_TRUE(engine->Visible);
            engine->CloseAll();
        }
        ui::Pump();
        scene.ExpectNone("caption-object menus opened and closed");
    }
}

TEST_F(FrameRest, AlphaChangesTakeEffectAtOnceAndSizingRepaintsATranslucentFrame) {
    TFakeLayeredWindows layered;
    TServiceOverride<TLayeredWindows> useLayered(layered);
    TvlLacquer* frame = MakeForm(true);
    HWND w = frame->Form()->Handle();
    frame->SetAlphaBlendValue(150);
    EXPECT_TRUE(layered.Calls.empty()) << "the value waits for AlphaBlend";
    frame->SetAlphaBlend(true);
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(layered.Alphas(), std::vector<int>{150});
    frame->SetAlphaBlendValue(90);
    EXPECT_EQ(layered.Alphas().back(), 90);

    // A size change repaints the frame of a translucent window; inside the
    // full-drag loop WM_SIZING has done the work and WM_SIZE adds none.
    int composed = frame->FrameCompositions();
    SendMessageA(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(380, 260));
    EXPECT_GT(frame->FrameCompositions(), composed);
    BOOL full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    SendMessageA(w, WM_ENTERSIZEMOVE, 0, 0);
    composed = frame->FrameCompositions();
    SendMessageA(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(380, 260));
    EXPECT_EQ(frame->FrameCompositions(), composed);
    SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);

    frame->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
    size_t calls = layered.Calls.size();
    frame->SetAlphaBlendValue(10);
    EXPECT_EQ(layered.Calls.size(), calls) << "no opacity while blending is off";

    ui::Pump();
    TSceneCheck scene;
    for (int i = 0; i < 100; ++i) {
        frame->SetAlphaBlend(i % 2 == 0);
        frame->SetAlphaBlendValue(static_cast<uint8_t>(100 + i));
    }
    frame->SetAlphaBlend(false);
    ui::Pump();
    scene.ExpectNone("100 alpha changes");
}

TEST_F(FrameRest, MainMenuWithoutABarGetsShortcutsAndAltAcceleratorsOnce) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    auto* menu = new TMainMenu(form);
    TMenuItem* file = AddItem(form, menu->RootItem(), "&File");
    AddItem(form, file, "&New")->ShortCut = TextToShortCut("Ctrl+N");
    AddItem(form, file, "E&xit");
    AddItem(form, menu->RootItem(), "&Refresh");
    frame->SetMainMenu(menu);

    MSG msg{form->Handle(), WM_KEYDOWN, 'N', 1, 4242, {}};
    {
        ui::TKeysHeld control({VK_CONTROL});
        PostMessageA(form->Handle(), WM_KEYDOWN, 'N', 1);
        ui::Pump();
        // The same event handed to the handler again is reported unhandled once.
        EXPECT_TRUE(frame->IsShortCut(msg));
        EXPECT_FALSE(frame->IsShortCut(msg));
        EXPECT_TRUE(frame->IsShortCut(msg));
    }
    EXPECT_EQ(Clicked, (std::vector<std::string>{"&New", "&New", "&New"}));
    msg.wParam = 'Q';
    EXPECT_FALSE(frame->IsShortCut(msg)) << "no item has the key";

    // Alt with a letter: an item without sub-items runs, one with them opens.
    PostMessageA(form->Handle(), WM_SYSCHAR, 'r', 1 << 29);
    ui::Pump();
    EXPECT_EQ(Clicked.back(), "&Refresh");
    PostMessageA(form->Handle(), WM_SYSCHAR, 'f', 1 << 29);
    ui::Pump();
    ASSERT_TRUE(Engine(frame)->Visible);
    EXPECT_EQ(Captions(Engine(frame)->Window(0)), (std::vector<std::string>{"&New", "E&xit"}));
    Press(form, 'X');
    EXPECT_EQ(Clicked.back(), "E&xit");
    EXPECT_FALSE(Engine(frame)->Visible);

    // Keys of another window are not the form's.
    auto* other = new TForm(Application, "Other", 100, 100);
    Forms.push_back(other);
    other->Show();
    MSG elsewhere{other->Handle(), WM_SYSCHAR, 'r', 1 << 29, 1, {}};
    EXPECT_FALSE(frame->IsShortCut(elsewhere));
}

// A component that takes part in skin changes without being a control.
class TSkinListener : public TComponent, public TvlSkinAware {
public:
    TSkinListener(TComponent* owner, TvlSkinData* skin) : TComponent(owner), FSkin(skin) {}
    TvlSkinData* SkinData() const override { return FSkin; }
    void SkinChanging() override { ++Changing; }
    void SkinChanged() override { ++Changed; }
    int Changing = 0, Changed = 0;

private:
    TvlSkinData* FSkin;
};

TEST_F(FrameRest, SkinNoticesReachComponentsAndStartTheMouseTimer) {
    TFakeTimers timers;
    TvlLacquer* frame = MakeForm(true);
    auto* mine = new TSkinListener(frame->Form(), Skin);
    TvlSkinData other(nullptr);
    auto* theirs = new TSkinListener(frame->Form(), &other);
    frame->HoverTimer().Stop();
    LoadGraphite();
    EXPECT_EQ(mine->Changing, 1);
    EXPECT_EQ(mine->Changed, 1);
    EXPECT_EQ(theirs->Changed, 0) << "another skin's notice is not theirs";
    EXPECT_TRUE(frame->HoverTimer().Enabled()) << "applying a skin starts the mouse timer";
    EXPECT_EQ(timers.Interval(frame->Form()->Handle(), frame->HoverTimer().Id()), 50u);
}

TEST_F(FrameRest, TrayIconDefaultItemAutoPopupAndLoading) {
    TFakeTimers timers;
    struct TShell : TNotifyIcons {
        int Adds = 0;
        bool Notify(DWORD message, NOTIFYICONDATAA&) override {
            if (message == NIM_ADD) ++Adds;
            return true;
        }
    } shell;
    TServiceOverride<TNotifyIcons> useShell(shell);
    TvlLacquer* frame = MakeForm(false);
    TForm* form = frame->Form();
    auto* tray = new TvlTrayIcon(form);
    EXPECT_FALSE(tray->IsLoaded());
    ui::Pump();
    EXPECT_TRUE(tray->IsLoaded()) << "the component read its state without a call to Loaded";
    EXPECT_EQ(shell.Adds, 1);

    auto* menu = new TPopupMenu(form);
    int popups = 0;
    menu->Presenter = [&](TPopupMenu*, int, int) { ++popups; };
    AddItem(form, menu->RootItem(), "Show");
    AddItem(form, menu->RootItem(), "Open")->Default = true;
    AddItem(form, menu->RootItem(), "Later")->Default = true;
    tray->PopupMenu = menu;
    SendMessageA(tray->NotifyWindow(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Clicked, std::vector<std::string>{"Open"}) << "the lowest default item";
    SendMessageA(tray->NotifyWindow(), WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu->PopupComponent(), tray);
    menu->AutoPopup = false;
    SendMessageA(tray->NotifyWindow(), WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    SendMessageA(tray->NotifyWindow(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(popups, 1) << "a menu that does not pop up by itself stays shut";
    EXPECT_EQ(Clicked.size(), 1u);
    menu->AutoPopup = true;
    tray->PopupByLeftButton = true;
    SendMessageA(tray->NotifyWindow(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(Clicked.size(), 1u) << "the left button opens the menu instead";

    delete tray;
}

TEST_F(FrameRest, PopupAcceleratorsAndMorphTicks) {
    TFakeTimers timers;
    LoadModernWithMorphingItems();
    TvlLacquer* frame = MakeForm(true);
    TForm* form = frame->Form();
    auto* menu = new TvlSkinPopupMenu(form);
    AddItem(form, menu->RootItem(), "&Open");
    AddItem(form, menu->RootItem(), "-");
    AddItem(form, menu->RootItem(), "&Print")->Enabled = false;
    AddItem(form, menu->RootItem(), "&Preview");
    TvlSkinPopupWindow* w = PopUp(frame, menu)->Window(0);
    ASSERT_NE(w, nullptr);
    // A disabled item keeps its letter: the key stops there and runs nothing.
    Press(form, 'P');
    EXPECT_TRUE(Clicked.empty());
    EXPECT_TRUE(Engine(frame)->Visible);
    EXPECT_EQ(w->HotItem, 2);

    // Morph ticks repaint the items that change, not the whole window.
    MoveToItem(w, 3);
    int composed = w->Compositions();
    int ticks = 0;
    while (timers.Fire(w->Handle(), w->BlendTimer.Id()) && ticks < 20) ++ticks;
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(w->Item(3)->MorphFactor, 1);
    EXPECT_EQ(w->Compositions(), composed);
    HDC dc = GetDC(w->Handle());
    const TRect& b = w->Item(3)->ItemBounds;
    COLORREF shown = GetPixel(dc, b.Left + 2, (b.Top + b.Bottom) / 2);
    ReleaseDC(w->Handle(), dc);
    TvlFBitmap whole;
    w->Compose(whole);
    EXPECT_EQ(static_cast<uint32_t>(shown), whole.Pixel(b.Left + 2, (b.Top + b.Bottom) / 2));
    Press(form, 'O');
    EXPECT_EQ(Clicked, std::vector<std::string>{"&Open"});
}

}  // namespace
