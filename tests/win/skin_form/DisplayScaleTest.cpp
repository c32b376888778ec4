// The skin, the frame and the menus at another display scale: a window at
// 144 DPI on Wine's 96-DPI display, through the fixed DPI service.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/DisplayScale.h"
#include "skin/controls/vlSkinButtons.h"
#include "skin/data/vlSkinScale.h"
#include "tests/win/skin_form/MenuFixture.h"

namespace {

class DisplayScale : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        UseBuiltInSkin(*Stored);
    }

    // A skinned frame of 400 × 300 at the DPI the service says now.
    TvlLacquer* MakeFrame(bool skinned) {
        return ShowFramedForm("Scale test", skinned, bsSizeable, 400, 300, [](TvlLacquer*) {});
    }
    // The platform's message for a window moved to a monitor of `dpi`, with
    // the window's own rectangle suggested.
    static void MoveToDpi(TvlLacquer* f, int dpi) {
        RECT r = Bounds(f);
        SendMessageA(f->Form()->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
        // The new skin's hover timer stops once it finds no pointer over the frame.
        ui::Pump(150);
    }
    // The client area's offset in the window and its size, as the platform
    // laid it out after the frame's WM_NCCALCSIZE.
    static RECT ClientInWindow(TvlLacquer* f) {
        HWND w = f->Form()->Handle();
        RECT client, window;
        GetClientRect(w, &client);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&client), 2);
        GetWindowRect(w, &window);
        return {client.left - window.left, client.top - window.top, client.right - window.left,
                client.bottom - window.top};
    }
    static TvlActiveSkinObject* Object(TvlLacquer* f, const std::string& id) {
        for (auto& o : f->Objects())
            if (o->IDName == id) return o.get();
        return nullptr;
    }
    static std::vector<TRect> ObjectRects(TvlLacquer* f) {
        std::vector<TRect> rects;
        for (auto& o : f->Objects()) rects.push_back(o->ObjectRect);
        return rects;
    }
    // The frame's own pixels, around the client part (whose pixels are not
    // the frame's).
    static std::vector<uint32_t> FramePixels(TvlLacquer* f) {
        const TvlFBitmap& b = f->FrameBitmap();
        TRect client = f->FrameClientRect();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) pixels.push_back(client.Contains(x, y) ? 0 : b.Pixel(x, y));
        return pixels;
    }
    static std::vector<int> ItemHeights(TvlSkinPopupWindow* w) {
        std::vector<int> heights;
        for (int i = 0; i < w->ItemCount(); ++i) heights.push_back(w->Item(i)->ItemBounds.Height());
        return heights;
    }

    TFixedDisplayDpi Dpi{kDesignDpi};
    TServiceOverride<TDisplayDpi> UseDpi{Dpi};
};

TEST_F(DisplayScale, SkinDataReadsTheDrawnScaleAndComesBackExactly) {
    // The built-in skin carries its drawings for 150 % and 200 % apart from
    // the 96-DPI stream, and no others.
    EXPECT_FALSE(BuiltInSkinStream(144).empty());
    EXPECT_FALSE(BuiltInSkinStream(192).empty());
    EXPECT_TRUE(BuiltInSkinStream(120).empty());

    TvlSkinData base(nullptr);
    base.LoadStoredSkin(Stored.get());
    ASSERT_EQ(base.Dpi(), 96);
    ASSERT_FALSE(base.IsEmpty());

    // A skin data takes the DPI of the display when it first loads.
    Dpi.SetDpi(144);
    LoadModern();
    ASSERT_EQ(Skin->Dpi(), 144);
    ASSERT_FALSE(Skin->IsEmpty());
    EXPECT_EQ(Skin->MainPicture.Width, base.MainPicture.Width * 3 / 2);
    EXPECT_EQ(Skin->MainPicture.Height, base.MainPicture.Height * 3 / 2);
    ASSERT_EQ(Skin->PictureList.size(), base.PictureList.size());
    for (size_t i = 0; i < base.PictureList.size(); ++i) {
        EXPECT_EQ(Skin->PictureList[i].Width, ScaleSkinLength(base.PictureList[i].Width, 144)) << i;
        EXPECT_EQ(Skin->PictureList[i].Height, ScaleSkinLength(base.PictureList[i].Height, 144)) << i;
    }
    auto scaled = [](const TRect& r) {
        return TRect{ScaleSkinLength(r.Left, 144), ScaleSkinLength(r.Top, 144), ScaleSkinLength(r.Right, 144),
                     ScaleSkinLength(r.Bottom, 144)};
    };
    EXPECT_EQ(Skin->ClientRect, scaled(base.ClientRect));
    EXPECT_EQ(Skin->CaptionRect, scaled(base.CaptionRect));
    EXPECT_EQ(Skin->ButtonsRect, scaled(base.ButtonsRect));
    ASSERT_EQ(Skin->SkinControls.size(), base.SkinControls.size());
    for (size_t i = 0; i < base.SkinControls.size(); ++i)
        EXPECT_EQ(Skin->SkinControls[i]->SkinRect, scaled(base.SkinControls[i]->SkinRect))
            << base.SkinControls[i]->ElementName;

    // A scale between the drawn ones comes from the next larger drawing.
    Skin->SetDpi(120);
    EXPECT_EQ(Skin->MainPicture.Width, ScaleSkinLength(base.MainPicture.Width, 120));
    EXPECT_EQ(Skin->ClientRect, (TRect{ScaleSkinLength(base.ClientRect.Left, 120),
                                       ScaleSkinLength(base.ClientRect.Top, 120),
                                       ScaleSkinLength(base.ClientRect.Right, 120),
                                       ScaleSkinLength(base.ClientRect.Bottom, 120)}));

    // Back at 96 DPI every picture and length is the 96-DPI skin's.
    Skin->SetDpi(96);
    EXPECT_EQ(Skin->MainPicture.Pixels, base.MainPicture.Pixels);
    EXPECT_EQ(Skin->MainMask.Pixels, base.MainMask.Pixels);
    for (size_t i = 0; i < base.PictureList.size(); ++i)
        EXPECT_EQ(Skin->PictureList[i].Pixels, base.PictureList[i].Pixels) << i;
    EXPECT_EQ(Skin->ClientRect, base.ClientRect);
    EXPECT_EQ(Skin->PopupWindow.ItemsRect, base.PopupWindow.ItemsRect);

    // A package file is read again from its own bytes; a skin that failed to
    // load is not read again at another DPI.
    Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE);
    int graphiteWidth = Skin->MainPicture.Width;
    Skin->SetDpi(192);
    EXPECT_EQ(Skin->MainPicture.Width, graphiteWidth * 2);
    TvlCompressedStoredSkin broken(nullptr, "not a zlib stream");
    EXPECT_ANY_THROW(Skin->LoadStoredSkin(&broken));
    EXPECT_NO_THROW(Skin->SetDpi(144));
    EXPECT_TRUE(Skin->IsEmpty());
}

TEST_F(DisplayScale, SkinnedFrameAt144FollowsTheScaledDescription) {
    TvlSkinData base(nullptr);
    base.LoadStoredSkin(Stored.get());
    Dpi.SetDpi(144);
    TvlLacquer* frame = MakeFrame(true);
    ASSERT_TRUE(frame->SkinActive());
    ASSERT_EQ(Skin->Dpi(), 144);
    SendMessageA(frame->Form()->Handle(), WM_NCACTIVATE, TRUE, 0);
    // Caption height and border widths: the client rect's edges of the
    // 96-DPI skin, scaled.
    RECT client = ClientInWindow(frame);
    EXPECT_EQ(client.top, ScaleSkinLength(base.ClientRect.Top, 144));
    EXPECT_EQ(client.left, ScaleSkinLength(base.ClientRect.Left, 144));
    EXPECT_EQ(400 - client.right, ScaleSkinLength(base.MainPicture.Width - base.ClientRect.Right, 144));
    EXPECT_EQ(300 - client.bottom, ScaleSkinLength(base.MainPicture.Height - base.ClientRect.Bottom, 144));
    // Each caption button is its 96-DPI size scaled, and a point inside it
    // near each corner is the button's.
    for (const char* id : {"closebutton", "maxbutton", "minbutton"}) {
        TvlActiveSkinObject* button = Object(frame, id);
        if (!button || !button->Visible) continue;
        int index = base.FindObjectIndex(id);
        ASSERT_GE(index, 0) << id;
        const TvlDataSkinObject* data = base.SkinObjects[static_cast<size_t>(index)].get();
        const TRect& r = button->ObjectRect;
        EXPECT_EQ(r.Width(), ScaleSkinLength(data->SkinRect.Right, 144) - ScaleSkinLength(data->SkinRect.Left, 144))
            << id;
        EXPECT_EQ(r.Height(), ScaleSkinLength(data->SkinRect.Bottom, 144) - ScaleSkinLength(data->SkinRect.Top, 144))
            << id;
        for (POINT p : {POINT{r.Left + 1, r.Top + 1}, POINT{r.Right - 2, r.Bottom - 2}}) {
            EXPECT_EQ(Hit(frame, p.x, p.y), HTOBJECT) << id;
            frame->UpdateActiveObject(p.x, p.y, true);
            ASSERT_GE(frame->HotObjectIndex(), 0) << id;
            EXPECT_EQ(frame->Objects()[static_cast<size_t>(frame->HotObjectIndex())].get(), button) << id;
        }
        // Just below it the button no longer answers.
        frame->UpdateActiveObject(r.Left + 1, r.Bottom, true);
        EXPECT_TRUE(frame->HotObjectIndex() < 0 ||
                    frame->Objects()[static_cast<size_t>(frame->HotObjectIndex())].get() != button)
            << id;
    }
    frame->UpdateActiveObject(-1, -1, true);
    // The caption between them moves the window.
    EXPECT_EQ(Hit(frame, 120, client.top / 2), HTCAPTION);
    EXPECT_EQ(Hit(frame, 200, 150), HTCLIENT);
}

TEST_F(DisplayScale, BuiltInFrameAt144) {
    Dpi.SetDpi(144);
    TvlLacquer* frame = MakeFrame(false);
    ASSERT_FALSE(frame->SkinActive());
    // 3 pixels of border and 19 of caption at 96 DPI.
    int border = ScaleForDpi(3, 144), caption = ScaleForDpi(19, 144), button = ScaleForDpi(17, 144);
    EXPECT_EQ(frame->BuiltInCaptionHeight(), caption);
    EXPECT_EQ(frame->BuiltInButtonSize(), button);
    RECT client = ClientInWindow(frame);
    EXPECT_EQ(client.left, border);
    EXPECT_EQ(client.top, border + caption);
    EXPECT_EQ(400 - client.right, border);
    EXPECT_EQ(300 - client.bottom, border);
    TvlActiveSkinObject* close = nullptr;
    for (auto& o : frame->Objects())
        if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get()); b && b->Command == cmClose) close = b;
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->ObjectRect.Width(), button);
    EXPECT_EQ(close->ObjectRect.Height(), button);
    EXPECT_EQ(close->ObjectRect.Right, 400 - border);
    // The sizing edge is as wide as the border's outer rings; the caption
    // moves the window; the close button's whole square is the button's.
    EXPECT_EQ(Hit(frame, ScaleForDpi(2, 144), 150), HTLEFT);
    EXPECT_EQ(Hit(frame, ScaleForDpi(2, 144) + 1, 150), HTOBJECT);
    EXPECT_EQ(Hit(frame, 200, 300 - 1), HTBOTTOM);
    EXPECT_EQ(Hit(frame, 150, border + caption / 2), HTCAPTION);
    SendMessageA(frame->Form()->Handle(), WM_NCACTIVATE, TRUE, 0);
    for (POINT p : {POINT{close->ObjectRect.Left, close->ObjectRect.Top},
                    POINT{close->ObjectRect.Right - 1, close->ObjectRect.Bottom - 1}}) {
        frame->UpdateActiveObject(p.x, p.y, true);
        ASSERT_GE(frame->HotObjectIndex(), 0);
        EXPECT_EQ(frame->Objects()[static_cast<size_t>(frame->HotObjectIndex())].get(), close);
    }
    frame->UpdateActiveObject(close->ObjectRect.Left, close->ObjectRect.Top - 1, true);
    EXPECT_EQ(frame->HotObjectIndex(), -1);
}

TEST_F(DisplayScale, DpiChangeOnTheWindowScalesTheFrameAndComesBackToThe96Pixels) {
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "built-in");
        Dpi.SetDpi(96);
        TvlLacquer* frame = MakeFrame(skinned);
        HWND w = frame->Form()->Handle();
        SendMessageA(w, WM_NCPAINT, 1, 0);
        RECT client96 = ClientInWindow(frame);
        std::vector<uint32_t> pixels96 = FramePixels(frame);
        std::vector<TRect> objects96 = ObjectRects(frame);
        TSceneCheck check;

        Dpi.SetDpi(144);
        MoveToDpi(frame, 144);
        if (skinned) {
            EXPECT_EQ(Skin->Dpi(), 144);
        }
        RECT client144 = ClientInWindow(frame);
        EXPECT_GT(client144.top, client96.top);
        EXPECT_GT(client144.left, client96.left);
        EXPECT_NE(ObjectRects(frame), objects96);

        Dpi.SetDpi(96);
        MoveToDpi(frame, 96);
        SendMessageA(w, WM_NCPAINT, 1, 0);
        if (skinned) {
            EXPECT_EQ(Skin->Dpi(), 96);
        }
        RECT back = ClientInWindow(frame);
        EXPECT_EQ(back.left, client96.left);
        EXPECT_EQ(back.top, client96.top);
        EXPECT_EQ(back.right, client96.right);
        EXPECT_EQ(back.bottom, client96.bottom);
        EXPECT_EQ(ObjectRects(frame), objects96);
        std::vector<uint32_t> back96 = FramePixels(frame);
        ASSERT_EQ(back96.size(), pixels96.size());
        size_t differing = 0, first = 0;
        for (size_t i = 0; i < back96.size(); ++i)
            if (back96[i] != pixels96[i] && differing++ == 0) first = i;
        EXPECT_EQ(differing, 0u) << "first at x " << first % 400 << ", y " << first / 400;
        check.ExpectNone(skinned ? "skinned frame 96 -> 144 -> 96" : "built-in frame 96 -> 144 -> 96");
    }
}

TEST_F(DisplayScale, PlainCheckBoxDrawsItsBoxAtTheWindowsDpi) {
    const COLORREF shadow = ColorToRGB(clBtnShadow);
    for (int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        Dpi.SetDpi(dpi);
        TvlLacquer* frame = MakeFrame(false);
        auto* box = new TvlSkinCheckRadioBox(frame->Form(), frame->Form(), "", 10, 10, 150, ScaleForDpi(25, dpi));
        box->Flat = false;
        box->SetChecked(true);
        TvlFBitmap look;
        ASSERT_TRUE(box->ComposeLook(look));
        // A 14-pixel box 3 pixels in at 96 DPI, outlined by one pixel.
        int size = ScaleForDpi(14, dpi), left = ScaleForDpi(3, dpi), top = look.Height() / 2 - size / 2;
        int middleX = left + size / 2, middleY = top + size / 2;
        EXPECT_EQ(look.Pixel(left, middleY), shadow);
        EXPECT_EQ(look.Pixel(left + size - 1, middleY), shadow);
        EXPECT_EQ(look.Pixel(middleX, top), shadow);
        EXPECT_EQ(look.Pixel(middleX, top + size - 1), shadow);
        EXPECT_NE(look.Pixel(left - 1, middleY), shadow);
        EXPECT_NE(look.Pixel(left + size, middleY), shadow);
        EXPECT_NE(look.Pixel(middleX, top - 1), shadow);
        EXPECT_EQ(look.Pixel(left + 1, top + 1), ColorToRGB(clWindow));
        // The check mark reaches down towards the box's lower part.
        bool marked = false;
        for (int x = left + 1; x < left + size - 1; ++x)
            marked |= look.Pixel(x, top + size - ScaleForDpi(4, dpi)) == ColorToRGB(clBlack);
        EXPECT_TRUE(marked);
        frame->Form()->Release();
        Forms.pop_back();
        ui::Pump();
    }
}

TEST_F(DisplayScale, PopupMenuItemsAt144) {
    TFakeTimers timers;
    TvlSkinData base(nullptr);
    base.LoadStoredSkin(Stored.get());
    Dpi.SetDpi(144);
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "built-in");
        TvlLacquer* frame = MakeForm(skinned);
        TvlSkinPopupMenu* menu = TreeMenu(frame->Form());
        menu->Popup(300, 200);
        TvlSkinPopupWindow* w = Engine(frame)->Window(0);
        if (skinned) {
            ASSERT_TRUE(w->HasSkin());
            const TvlDataSkinMenuItem* item96 = nullptr;
            for (auto& o : base.SkinObjects)
                if ((item96 = dynamic_cast<const TvlDataSkinMenuItem*>(o.get()))) break;
            ASSERT_NE(item96, nullptr);
            auto scaledHeight = [](const TRect& r) {
                return ScaleSkinLength(r.Bottom, 144) - ScaleSkinLength(r.Top, 144);
            };
            int item = scaledHeight(item96->SkinRect), divider = scaledHeight(item96->DividerRect);
            EXPECT_EQ(ItemHeights(w), (std::vector<int>{item, divider, item, item, item}));
        } else {
            ASSERT_FALSE(w->HasSkin());
            // 20 and 4 at 96 DPI, and two pixels of ring on each side.
            EXPECT_EQ(ItemHeights(w), (std::vector<int>{30, 6, 30, 30, 30}));
            EXPECT_EQ(w->Height(), 4 * 30 + 6 + 2 * 3);
        }
        Engine(frame)->CloseAll();
        ui::Pump();
        frame->Form()->Release();
        Forms.pop_back();
        ui::Pump();
    }
}

TEST_F(DisplayScale, ScreenshotsAt150And200Percent) {
    TFakeTimers timers;
    for (int dpi : {144, 192}) {
        for (const char* look : {"modern", "graphite"}) {
            Dpi.SetDpi(dpi);
            Skin->SetDpi(dpi);
            if (std::string(look) == "graphite")
                LoadGraphite();
            else
                LoadModern();
            ASSERT_EQ(Skin->Dpi(), dpi);
            TvlLacquer* frame = MakeForm(true, ScaleForDpi(400, dpi), ScaleForDpi(260, dpi));
            TForm* form = frame->Form();
            TvlSkinPopupMenu* menu = NestedMenu(form);
            RECT r = Bounds(frame);
            menu->Popup(r.left + ScaleForDpi(40, dpi), r.top + ScaleForDpi(60, dpi));
            TvlSkinPopupWindow* w = Engine(frame)->Window(0);
            MoveToItem(w, 1);
            timers.FireAll();
            ui::Pump(20);
            std::string name = std::string("scale_") + look + "_" + std::to_string(dpi);
            ui::SaveScreenshot(form->Handle(), name + "_frame");
            RECT area = r;
            for (int i = 0; i < Engine(frame)->WindowCount(); ++i) {
                RECT m;
                GetWindowRect(Engine(frame)->Window(i)->Handle(), &m);
                UnionRect(&area, &area, &m);
            }
            ui::SaveScreenArea(area, name + "_menu");
            Engine(frame)->CloseAll();
            ui::Pump();
            form->Release();
            Forms.pop_back();
            ui::Pump();
        }
    }
}

}  // namespace
