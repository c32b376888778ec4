// The frame's caption objects and inactive look on real windows: border
// icons changed under a skin, the inactive effect over strips and morphing
// captions, and hover morphs that repaint one object only.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "skin/data/vlEffects.h"
#include "skin/data/vlResourceStr.h"
#include "skin/form/Lacquer.h"
#include "tests/win/skin_form/FrameFixture.h"
#include "tests/win/support/UiDriver.h"

namespace {

class FrameLook : public FrameFormTest {
protected:
    TvlLacquer* MakeFrame(unsigned icons = 0, bool setIcons = false) {
        return ShowFramedForm("Frame look", true, bsSizeable, 420, 280, [&](TvlLacquer* frame) {
            if (setIcons) frame->SetBorderIcons(icons);
        });
    }
    // An active frame in the built-in skin, or in "Graphite".
    TvlLacquer* ActiveFrame(bool graphite) {
        if (graphite) LoadGraphite();
        TvlLacquer* frame = MakeFrame();
        Activate(frame, true);
        return frame;
    }
    static void Activate(TvlLacquer* f, bool active) {
        SendMessageA(f->Form()->Handle(), WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    }
    static void Repaint(TvlLacquer* f) { SendMessageA(f->Form()->Handle(), WM_NCPAINT, 1, 0); }
    template <class T>
    static T* Find(TvlLacquer* f, const std::string& id = {}) {
        for (auto& o : f->Objects())
            if (auto* t = dynamic_cast<T*>(o.get()); t && (id.empty() || o->IDName == id)) return t;
        return nullptr;
    }
    static bool SamePixels(const TvlFBitmap& a, const TvlFBitmap& b, const TRect& r) {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
        return true;
    }
};

TEST_F(FrameLook, BorderIconsOnASkinnedFrameKeepTheSkinsObjects) {
    TvlLacquer* frame = MakeFrame();
    Activate(frame, true);
    ASSERT_NE(Find<TvlSkinCaptionObject>(frame), nullptr);
    frame->SetBorderIcons(vlbiSystemMenu | vlbiMinimize);
    // The skin's caption and buttons stay, laid out where the skin puts them.
    ASSERT_NE(Find<TvlSkinCaptionObject>(frame), nullptr) << "the caption text went with the skin's objects";
    auto* close = Find<TvlSkinStdButtonObject>(frame, "closebutton");
    auto* max = Find<TvlSkinStdButtonObject>(frame, "maxbutton");
    ASSERT_NE(close, nullptr);
    ASSERT_NE(max, nullptr);
    EXPECT_TRUE(close->SkinSupport);
    EXPECT_GT(close->ObjectRect.Width(), 1);
    EXPECT_FALSE(max->Visible);
    // The same picture as a frame that had those icons before the skin came.
    TvlLacquer* other = ShowFramedForm("Frame look", true, bsSizeable, 420, 280, [](TvlLacquer* f) {
        f->SetBorderIcons(vlbiSystemMenu | vlbiMinimize);
    });
    Activate(other, true);
    Activate(frame, true);
    EXPECT_TRUE(frame->FrameBitmap() == other->FrameBitmap());
    // Without a skin the built-in buttons follow the icons as before.
    frame->SetSkinData(nullptr);
    frame->SetBorderIcons(vlbiSystemMenu);
    EXPECT_EQ(Find<TvlSkinCaptionObject>(frame), nullptr);
    EXPECT_FALSE(Find<TvlSkinStdButtonObject>(frame, "minbutton")->Visible);
    EXPECT_TRUE(Find<TvlSkinStdButtonObject>(frame, "closebutton")->Visible);
}

TEST_F(FrameLook, InactiveEffectFiltersEachStripOnceAndNeverTheClient) {
    TvlLacquer* frame = MakeFrame();
    Activate(frame, false);
    auto* caption = Find<TvlSkinCaptionObject>(frame);
    ASSERT_NE(caption, nullptr);
    // A caption half way through its morph, with an active look of its own.
    auto morphing = [&] {
        caption->ObjectPicture = &Skin->MainPicture;
        caption->ActiveSkinRect = caption->SkinRect;
        caption->Morphing = true;
        caption->Active = false;
        caption->MorphFactor = 0.4;
    };
    Skin->AutoRenderingInActiveImage = false;
    morphing();
    Repaint(frame);
    TvlFBitmap plain = frame->FrameBitmap();
    const TRect cr = frame->FittedCuts().CR;
    const int W = plain.Width(), H = plain.Height();

    // Inverting twice would give the plain caption back.
    Skin->AutoRenderingInActiveImage = true;
    Skin->InActiveEffect = ieInvert;
    morphing();
    Repaint(frame);
    TvlFBitmap inverted = frame->FrameBitmap();
    const TRect at = caption->ObjectRect;
    ASSERT_FALSE(at.IsEmpty());
    int wrong = 0;
    for (int y = at.Top; y < at.Bottom; ++y)
        for (int x = at.Left; x < at.Right; ++x)
            if (inverted.Pixel(x, y) != (plain.Pixel(x, y) ^ 0xFFFFFF)) ++wrong;
    EXPECT_EQ(wrong, 0) << "the morphing caption is inverted once, with its strip";
    EXPECT_EQ(inverted.Pixel(0, H - 1), plain.Pixel(0, H - 1) ^ 0xFFFFFF);

    // The split blur of each strip on its own: no seam of client pixels.
    caption->Morphing = false;
    caption->MorphFactor = 0;
    Skin->AutoRenderingInActiveImage = false;
    Repaint(frame);
    plain = frame->FrameBitmap();
    Skin->AutoRenderingInActiveImage = true;
    Skin->InActiveEffect = ieSplitBlur;
    Repaint(frame);
    const TvlFBitmap& blurred = frame->FrameBitmap();
    const TRect strips[] = {{0, 0, W, cr.Top}, {0, cr.Top, cr.Left, cr.Bottom}, {cr.Right, cr.Top, W, cr.Bottom},
                            {0, cr.Bottom, W, H}};
    for (const TRect& s : strips) {
        ASSERT_FALSE(s.IsEmpty());
        TvlEffectBmp expected;
        expected.SetSize(s.Width(), s.Height());
        CopyPiece(expected, 0, 0, plain.View(), s);
        expected.SplitBlur(1);
        int differ = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x)
                if (blurred.Pixel(s.Left + x, s.Top + y) != expected.Pixel(x, y)) ++differ;
        EXPECT_EQ(differ, 0) << "strip " << s.Left << "," << s.Top << " – " << s.Right << "," << s.Bottom;
    }
    Skin->AutoRenderingInActiveImage = false;
}

TEST_F(FrameLook, HoverMorphComposesTheButtonOnlyAndEndsAsTheWholeFrame) {
    for (bool graphite : {false, true}) {
        SCOPED_TRACE(graphite ? "Graphite" : "Modern");
        TvlLacquer* frame = ActiveFrame(graphite);
        HWND w = frame->Form()->Handle();
        auto* close = Find<TvlSkinStdButtonObject>(frame, "closebutton");
        ASSERT_NE(close, nullptr);
        ASSERT_TRUE(close->Morphing);
        TvlFBitmap before = frame->FrameBitmap();
        int composed = frame->FrameCompositions();
        TRect at = close->ObjectRect;
        frame->UpdateActiveObject((at.Left + at.Right) / 2, (at.Top + at.Bottom) / 2, true);
        for (int i = 0; i < 5; ++i) SendMessageA(w, WM_TIMER, frame->BlendTimer().Id(), 0);
        EXPECT_EQ(close->MorphFactor, 1.0);
        EXPECT_EQ(frame->FrameCompositions(), composed) << "five morph steps composed the whole frame";
        TvlFBitmap hovered = frame->FrameBitmap();
        EXPECT_FALSE(SamePixels(before, hovered, at)) << "the button shows its hover look";
        // Outside the button nothing changed, and the whole frame composed now
        // is what the steps left.
        TRect left{0, 0, at.Left, hovered.Height()};
        EXPECT_TRUE(SamePixels(before, hovered, left));
        Repaint(frame);
        EXPECT_EQ(frame->FrameCompositions(), composed + 1);
        EXPECT_TRUE(frame->FrameBitmap() == hovered);
        // The window shows the step's pixels.
        RECT wr;
        GetWindowRect(w, &wr);
        HDC dc = GetWindowDC(w);
        COLORREF shown = GetPixel(dc, at.Left + at.Width() / 2, at.Top + at.Height() / 2);
        ReleaseDC(w, dc);
        EXPECT_EQ(shown, hovered.Pixel(at.Left + at.Width() / 2, at.Top + at.Height() / 2));
        // An inactive frame whose effect runs over whole strips composes them.
        Skin->AutoRenderingInActiveImage = true;
        Activate(frame, false);
        composed = frame->FrameCompositions();
        close->MouseLeave();
        SendMessageA(w, WM_TIMER, frame->BlendTimer().Id(), 0);
        EXPECT_GT(frame->FrameCompositions(), composed);
        Skin->AutoRenderingInActiveImage = false;
    }
}

// A frame paint reaches every pixel of the frame and none of the client
// area, whole and in part (a caption button's repaint).
TEST_F(FrameLook, AFramePaintCoversTheFrameAndLeavesTheClientArea) {
    for (bool graphite : {false, true}) {
        SCOPED_TRACE(graphite ? "Graphite" : "Modern");
        TvlLacquer* frame = ActiveFrame(graphite);
        HWND w = frame->Form()->Handle();
        ui::Pump(20);
        RECT wr, cr;
        GetWindowRect(w, &wr);
        GetClientRect(w, &cr);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&cr), 2);
        OffsetRect(&cr, -wr.left, -wr.top);
        const COLORREF mark = RGB(255, 0, 255);
        auto markWindow = [&] {
            HDC dc = GetWindowDC(w);
            RECT all{0, 0, wr.right - wr.left, wr.bottom - wr.top};
            HBRUSH brush = CreateSolidBrush(mark);
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            ReleaseDC(w, dc);
        };
        // Every third pixel of `area`: the frame's own where the frame is, the
        // mark in the client area; pixels outside the window's shape are skipped.
        auto check = [&](const TRect& area) {
            const TvlFBitmap& picture = frame->FrameBitmap();
            HRGN shape = CreateRectRgn(0, 0, 0, 0);
            const bool shaped = GetWindowRgn(w, shape) != ERROR;
            HDC dc = GetWindowDC(w);
            int wrong = 0, client = 0, seen = 0;
            for (int y = area.Top; y < area.Bottom; y += 3)
                for (int x = area.Left; x < area.Right; x += 3) {
                    COLORREF shown = GetPixel(dc, x, y);
                    if (shown == CLR_INVALID || (shaped && !PtInRegion(shape, x, y))) continue;
                    ++seen;
                    POINT p{x, y};
                    if (PtInRect(&cr, p)) {
                        client += shown != mark;
                    } else {
                        wrong += shown != picture.Pixel(x, y);
                    }
                }
            ReleaseDC(w, dc);
            DeleteObject(shape);
            EXPECT_GT(seen, 0);
            EXPECT_EQ(wrong, 0) << "frame pixels not painted";
            EXPECT_EQ(client, 0) << "client pixels painted over";
        };
        markWindow();
        Repaint(frame);
        check({0, 0, wr.right - wr.left, wr.bottom - wr.top});
        // A hover step repaints its button only, over the client area's edge too.
        auto* close = Find<TvlSkinStdButtonObject>(frame, "closebutton");
        ASSERT_NE(close, nullptr);
        markWindow();
        TRect at = close->ObjectRect;
        frame->UpdateActiveObject((at.Left + at.Right) / 2, (at.Top + at.Bottom) / 2, true);
        for (int i = 0; i < 5; ++i) SendMessageA(w, WM_TIMER, frame->BlendTimer().Id(), 0);
        check(at);
        close->MouseLeave();
        ui::Pump(300);
    }
}

TEST_F(FrameLook, AnActivationComposesTheFrameOnceAndAHiddenFrameNever) {
    TvlLacquer* frame = MakeFrame();
    HWND w = frame->Form()->Handle();
    auto* caption = Find<TvlSkinCaptionObject>(frame);
    ASSERT_NE(caption, nullptr);
    Activate(frame, false);
    ASSERT_FALSE(caption->Active);
    // The caption takes the new state before the one composition, which
    // shows it; the activation message that follows has nothing to add.
    int composed = frame->FrameCompositions();
    Activate(frame, true);
    EXPECT_TRUE(caption->Active);
    EXPECT_EQ(frame->FrameCompositions(), composed + 1);
    TvlFBitmap active = frame->FrameBitmap();
    SendMessageA(w, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(frame->FrameCompositions(), composed + 1);
    Repaint(frame);
    EXPECT_TRUE(frame->FrameBitmap() == active) << "the one composition missed the caption's active look";
    // A button left hot when the activation comes is put back and shown.
    auto* close = Find<TvlSkinStdButtonObject>(frame, "closebutton");
    ASSERT_NE(close, nullptr);
    close->Active = close->PointerInside = true;
    composed = frame->FrameCompositions();
    SendMessageA(w, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(frame->FrameCompositions(), composed + 1);
    EXPECT_FALSE(close->PointerInside);
    // Hidden, the frame composes nothing; shown again it is whole at once.
    ShowWindow(w, SW_HIDE);
    composed = frame->FrameCompositions();
    Repaint(frame);
    Activate(frame, false);
    Activate(frame, true);
    EXPECT_EQ(frame->FrameCompositions(), composed);
    ShowWindow(w, SW_SHOW);
    ui::Pump(20);
    EXPECT_GT(frame->FrameCompositions(), composed);
    Activate(frame, true);
    EXPECT_TRUE(frame->FrameBitmap() == active);
}

TEST_F(FrameLook, CaptionTextTakesTheResourceStringsCharacterSetElseTheCaptionFonts) {
    TvlLacquer* frame = MakeFrame();
    frame->DefCaptionFont.SetCharSet(RUSSIAN_CHARSET);
    EXPECT_EQ(frame->CaptionCharSet(), RUSSIAN_CHARSET);
    TvlResourceStrData strings(nullptr);
    strings.CharSet = GREEK_CHARSET;
    Skin->SetResourceStrData(&strings);
    EXPECT_EQ(frame->CaptionCharSet(), GREEK_CHARSET);
    Skin->SetResourceStrData(nullptr);
    frame->SetSkinData(nullptr);
    EXPECT_EQ(frame->CaptionCharSet(), RUSSIAN_CHARSET) << "the built-in caption follows the same rule";
}

}  // namespace
