// Frame geometry, size limits, region, hit testing and painting.
#include "skin/form/Lacquer.h"

#include <algorithm>
#include <stdexcept>

#include "core/Errors.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/form/LacquerParts.h"

using namespace vlFrameParts;

int vlFrameParts::SystemMetricForDpi(int index, int dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const ForDpi forDpi = [] {
        HMODULE user = GetModuleHandleA("user32.dll");
        return user ? reinterpret_cast<ForDpi>(reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetricsForDpi")))
                    : nullptr;
    }();
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
    return ScaleForDpi(GetSystemMetrics(index), dpi);
}

int TvlLacquer::FrameDpi() const { return WindowDpi(FormWindow()); }

int TvlLacquer::BuiltInCaptionHeight() const { return ScaleForDpi(ToolWindow() ? 15 : 19, FrameDpi()); }

int TvlLacquer::BuiltInButtonSize() const { return ScaleForDpi(ToolWindow() ? 13 : 17, FrameDpi()); }

// ---- Size limits and geometry ----------------------------------------------

int TvlLacquer::MinimumWidth() const {
    if (FSkinActive) {
        int w = SkinData()->MainPicture.Width;
        return FFrameWindowState != fwsMinimized && MinWidth > w ? MinWidth : w;
    }
    return MinWidth > 0 ? MinWidth : 120;
}

int TvlLacquer::MinimumHeight() const {
    int h = FSkinActive ? SkinData()->MainPicture.Height - SkinData()->ClientRect.Height()
                        : BuiltInCaptionHeight() + 2 * ScaleForDpi(kBuiltInBorder, FrameDpi());
    return !FRollUpState && FFrameWindowState != fwsMinimized && MinHeight > h ? MinHeight : h;
}

int TvlLacquer::MaximumWidth() const {
    TRect a = GetMonitorArea(FormWindow(), !MaximizeOnFullScreen);
    return MaxWidth != 0 && MaxWidth < a.Width() ? MaxWidth : a.Width();
}

int TvlLacquer::MaximumHeight() const {
    TRect a = GetMonitorArea(FormWindow(), !MaximizeOnFullScreen);
    return MaxHeight != 0 && MaxHeight < a.Height() ? MaxHeight : a.Height();
}

void TvlLacquer::UpdateGeometry() {
    TvlSkinData* sd = SkinData();
    if (!FSkinActive || !sd) return;
    int pw = sd->MainPicture.Width, ph = sd->MainPicture.Height;
    int dx = FFormWidth - pw, dy = FFormHeight - ph;
    TvlFrameCuts cuts{sd->LTPoint, sd->RTPoint, sd->LBPoint, sd->RBPoint, sd->ClientRect};
    FFitted = FitFrameCuts(vlClampCuts(cuts), pw, ph, FFormWidth, FFormHeight);
    FCaptionRect = sd->CaptionRect;
    if (!AllZero(FCaptionRect)) FCaptionRect.Right += dx;
    FButtonsRect = sd->ButtonsRect;
    if (!AllZero(FButtonsRect) && FButtonsRect.Left > pw / 2) FButtonsRect = Offset(FButtonsRect, dx, 0);
    FHitLT = sd->HitTestLTPoint;
    FHitRT = {sd->HitTestRTPoint.X + dx, sd->HitTestRTPoint.Y};
    FHitLB = {sd->HitTestLBPoint.X, sd->HitTestLBPoint.Y + dy};
    FHitRB = {sd->HitTestRBPoint.X + dx, sd->HitTestRBPoint.Y + dy};
    FMaskRect = sd->MaskRectArea;
    FMaskRect.Right += dx;
    FMaskRect.Bottom += dy;
}

TRect TvlLacquer::FrameClientRect() const {
    if (FSkinActive) return FFitted.CR;
    int ch = BuiltInCaptionHeight(), border = ScaleForDpi(kBuiltInBorder, FrameDpi());
    return {border, ch + border, FFormWidth - border, FFormHeight - border};
}

void TvlLacquer::MapObjectRect(TvlActiveSkinObject* o) const {
    TvlSkinData* sd = SkinData();
    int pw = sd->MainPicture.Width, ph = sd->MainPicture.Height;
    int dx = FFormWidth - pw, dy = FFormHeight - ph;
    TRect LT{0, 0, sd->LTPoint.X, sd->LTPoint.Y}, RT{sd->RTPoint.X, 0, pw, sd->RTPoint.Y},
        LB{0, sd->LBPoint.Y, sd->LBPoint.X, ph}, RB{sd->RBPoint.X, sd->RBPoint.Y, pw, ph};
    const TRect& s = o->SkinRect;
    auto within = [&](const TRect& area) {
        return s.Left >= area.Left && s.Top >= area.Top && s.Right <= area.Right && s.Bottom <= area.Bottom;
    };
    TRect r = s;
    if (within(LT)) {
    } else if (within(RT)) {
        r = Offset(s, dx, 0);
    } else if (within(LB)) {
        r = Offset(s, 0, dy);
    } else if (within(RB)) {
        r = Offset(s, dx, dy);
    } else {
        bool tlLT = LT.Contains(s.Left, s.Top), tlLB = LB.Contains(s.Left, s.Top), tlRT = RT.Contains(s.Left, s.Top);
        bool brRB = RB.Contains(s.Right, s.Bottom), brRT = RT.Contains(s.Right, s.Bottom),
             brLB = LB.Contains(s.Right, s.Bottom);
        if (tlLT && brRB) {
            r.Right += dx;
            r.Bottom += dy;
        } else if (tlLT && brRT) {
            r.Right += dx;
        } else if (tlLB && brRB) {
            r.Right += dx;
            r = Offset(r, 0, dy);
        } else if (tlLT && brLB) {
            r.Bottom += dy;
        } else if (tlRT && brRB) {
            r = Offset(r, dx, 0);
            r.Bottom += dy;
        }
    }
    o->ObjectRect = r;
}

void TvlLacquer::LayoutObjects() {
    if (!FSkinActive) return;
    TvlSkinData* sd = SkinData();
    for (auto& o : FObjects)
        if (!o->SkinRectInAPicture) MapObjectRect(o.get());
    bool ownRow = !AllZero(sd->ButtonsRect);
    TRect row = ownRow ? FButtonsRect : FCaptionRect;
    if (AllZero(sd->ButtonsRect) && AllZero(sd->CaptionRect)) return;
    int offset = sd->ButtonsOffset;
    TvlSkinCaptionObject* caption = nullptr;
    for (auto& o : FObjects)
        if ((caption = dynamic_cast<TvlSkinCaptionObject*>(o.get()))) break;
    auto commandOf = [](TvlActiveSkinObject* o, TvlStdCommand& c) {
        if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o)) {
            c = b->Command;
            return true;
        }
        if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o)) {
            c = a->Command;
            return true;
        }
        return false;
    };
    auto sizeOf = [&](TvlActiveSkinObject* o) {
        TvlStdCommand c;
        if (ShowIcon && commandOf(o, c) && c == cmSysMenu)
            return SIZE{SystemMetricForDpi(SM_CXSMICON, FrameDpi()), SystemMetricForDpi(SM_CYSMICON, FrameDpi())};
        return SIZE{o->SkinRect.Width(), o->SkinRect.Height()};
    };
    std::vector<TvlActiveSkinObject*> order;
    for (TvlStdCommand want : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
        for (auto& o : FObjects) {
            TvlStdCommand c;
            if (o->SkinRectInAPicture && o->Visible && commandOf(o.get(), c) && c == want) {
                order.push_back(o.get());
                break;
            }
        }
    for (auto& o : FObjects) {
        TvlStdCommand c;
        if (o->SkinRectInAPicture && o->Visible && commandOf(o.get(), c) && c == cmDefault) order.push_back(o.get());
    }
    TvlActiveSkinObject* sys = nullptr;
    for (auto& o : FObjects) {
        TvlStdCommand c;
        if (o->SkinRectInAPicture && o->Visible && commandOf(o.get(), c) && c == cmSysMenu) {
            sys = o.get();
            break;
        }
    }
    if (!sd->ButtonsInLeft) {
        int x = row.Right;
        for (TvlActiveSkinObject* o : order) {
            SIZE s = sizeOf(o);
            x -= s.cx;
            o->ObjectRect = {x, row.Top, x + s.cx, row.Top + s.cy};
            x -= offset;
        }
        if (!ownRow && caption) caption->ObjectRect.Right = x + offset;
        if (sys) {
            SIZE s = sizeOf(sys);
            int left = FCaptionRect.Left;
            int top = FCaptionRect.Top + FCaptionRect.Height() / 2 - s.cy / 2;
            sys->ObjectRect = {left, top, left + s.cx, top + s.cy};
            // The running x minus the offset: the button's right edge.
            if (caption) caption->ObjectRect.Left = left + s.cx;
        }
    } else {
        int x = row.Left;
        if (!ownRow && sys) order.push_back(sys);
        for (TvlActiveSkinObject* o : order) {
            SIZE s = sizeOf(o);
            o->ObjectRect = {x, row.Top, x + s.cx, row.Top + s.cy};
            x += s.cx + offset;
        }
        if (!ownRow && caption) caption->ObjectRect.Left = x + offset;
    }
}

void TvlLacquer::BuiltInCaptionLayout() {
    int dpi = FrameDpi();
    int ch = BuiltInCaptionHeight(), button = BuiltInButtonSize(), border = ScaleForDpi(kBuiltInBorder, dpi);
    int top = ScaleForDpi(4, dpi);
    FCaptionRect = {border, border, FFormWidth - border, ch};
    int x = FFormWidth - border;
    for (TvlStdCommand want : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
        for (auto& o : FObjects) {
            auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
            if (b && b->Visible && b->SkinRectInAPicture && b->Command == want) {
                x -= button;
                b->ObjectRect = {x, top, x + button, top + button};
                break;
            }
        }
    FCaptionRect.Right = x;
    for (auto& o : FObjects) {
        auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
        if (b && b->Visible && b->Command == cmSysMenu) {
            int w = button, h = button;
            if (ShowIcon) {
                w = SystemMetricForDpi(SM_CXSMICON, dpi);
                h = SystemMetricForDpi(SM_CYSMICON, dpi);
                if (w == 0 || h == 0) {
                    w = SystemMetricForDpi(SM_CXSIZE, dpi);
                    h = SystemMetricForDpi(SM_CYSIZE, dpi);
                }
            }
            b->ObjectRect = {FCaptionRect.Left, top, FCaptionRect.Left + w, top + h};
            FCaptionRect.Left += w;
            break;
        }
    }
}

void TvlLacquer::UpdateFrame() {
    if (!FSkinActive) return;
    UpdateGeometry();
    LayoutObjects();
    UpdateRegion();
    if (!FFrameRegion && FormWindow()) PaintFrame();
}

// ---- Region ----------------------------------------------------------------

void TvlLacquer::RemoveRegion() {
    HWND w = FormWindow();
    // The system owns a region it was given and deletes it when it is replaced.
    if (FFrameRegion && w) SetWindowRgn(w, nullptr, TRUE);
    FFrameRegion = nullptr;
    FMaskRects.clear();
    FRegionData.clear();
}

void TvlLacquer::UpdateRegion() {
    HWND w = FormWindow();
    TvlSkinData* sd = SkinData();
    if (!w) return;
    if (!FSkinActive || !sd || sd->MainMask.Empty()) {
        RemoveRegion();
        return;
    }
    TvlFrameCuts cuts{sd->LTPoint, sd->RTPoint, sd->LBPoint, sd->RBPoint, sd->MaskRectArea};
    TvlFrameCuts target = FFitted;
    target.CR = FMaskRect;
    std::vector<uint8_t> data =
        ComposeFrameRegionData(PictureView(sd->MainMask), vlClampCuts(cuts), FFormWidth, FFormHeight, target);
    if (data.empty()) {
        RemoveRegion();
        return;
    }
    // The same region again (a size message for the size the window has)
    // is left as it is: setting it repaints the whole window.
    if (FFrameRegion && data == FRegionData) return;
    HRGN region =
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
    if (!region) return;
    // The new region replaces the old one in one call; from then on both are
    // the system's (it deletes the old one itself).
    if (!SetWindowRgn(w, region, TRUE)) {
        DeleteObject(region);
        return;
    }
    FFrameRegion = region;
    FMaskRects = RegionDataRects(data);
    FRegionData = std::move(data);
}

bool TvlLacquer::PointInMask(int x, int y) const { return vlFrame::PointInRects(FMaskRects, x, y); }

// ---- Hit testing -------------------------------------------------------------

bool TvlLacquer::InCaptionObject(int x, int y) const {
    for (auto& o : FObjects)
        if (o->Visible && dynamic_cast<TvlSkinCaptionObject*>(o.get()) && o->ObjectRect.Contains(x, y)) return true;
    return false;
}

int TvlLacquer::HitTest(int x, int y) {
    if (FFormWidth == 0 || FFormHeight == 0) {
        RECT wr;
        if (HWND w = FormWindow()) {
            GetWindowRect(w, &wr);
            FFormWidth = wr.right - wr.left;
            FFormHeight = wr.bottom - wr.top;
        }
    }
    int W = FFormWidth, H = FFormHeight;
    if (!FSkinActive) {
        BuiltInCaptionLayout();
        if (FFrameWindowState == fwsNormal && !FRollUpState && Sizeable()) {
            if (FHotObjectIndex >= 0) return HTOBJECT;
            int edge = ScaleForDpi(2, FrameDpi());
            bool l = x <= edge, r = x >= W - edge, t = y <= edge, b = y >= H - edge;
            if (l && t) return HTTOPLEFT;
            if (r && t) return HTTOPRIGHT;
            if (l && b) return HTBOTTOMLEFT;
            if (r && b) return HTBOTTOMRIGHT;
            if (l) return HTLEFT;
            if (t) return HTTOP;
            if (r) return HTRIGHT;
            if (b) return HTBOTTOM;
        }
        if (FCaptionRect.Contains(x, y)) return HTCAPTION;
        if (FrameClientRect().Contains(x, y)) return HTCLIENT;
        return HTOBJECT;
    }
    UpdateGeometry();
    LayoutObjects();
    const TRect& cr = FFitted.CR;
    if (FRollUpState || FFrameWindowState == fwsMinimized) return InCaptionObject(x, y) ? HTCAPTION : HTOBJECT;
    if (FHotObjectIndex >= 0 && !InCaptionObject(x, y) && !cr.Contains(x, y) && !FSizeMoveActive) return HTOBJECT;
    auto inner = [&]() {
        if (cr.Contains(x, y)) return static_cast<int>(HTCLIENT);
        return InCaptionObject(x, y) ? static_cast<int>(HTCAPTION) : HTOBJECT;
    };
    if (FFrameWindowState != fwsMaximized && Sizeable()) {
        int bw = SkinData()->BorderWidth;
        const POINT probes[] = {{x - bw, y}, {x, y - bw}, {x + bw, y}, {x, y + bw}};
        bool nearEdge = false;
        if (FMaskRects.empty()) {
            for (POINT p : probes)
                if (!TRect{0, 0, W, H}.Contains(p.x, p.y)) nearEdge = true;
        } else if (!FMaskRect.Contains(x, y)) {
            for (POINT p : probes)
                if (!PointInMask(p.x, p.y)) nearEdge = true;
        }
        if (!nearEdge) return inner();
        if (x <= FHitLT.X && y <= FHitLT.Y) return HTTOPLEFT;
        if (x >= FHitRT.X && y <= FHitRT.Y) return HTTOPRIGHT;
        if (x <= FHitLB.X && y >= FHitLB.Y) return HTBOTTOMLEFT;
        if (x >= FHitRB.X && y >= FHitRB.Y) return HTBOTTOMRIGHT;
        if (TRect{FHitLT.X, 0, FHitRT.X, cr.Top}.Contains(x, y)) return HTTOP;
        if (TRect{FHitLB.X, cr.Bottom, FHitRB.X, H}.Contains(x, y)) return HTBOTTOM;
        if (TRect{0, FHitLT.Y, cr.Left, FHitLB.Y}.Contains(x, y)) return HTLEFT;
        if (TRect{cr.Right, FHitRT.Y, W, FHitRB.Y}.Contains(x, y)) return HTRIGHT;
    }
    return inner();
}

// ---- Painting ----------------------------------------------------------------

bool TvlLacquer::InactiveEffectShown() const {
    TvlSkinData* sd = SkinData();
    return FSkinActive && !IsFrameActive() && sd && sd->AutoRenderingInActiveImage;
}

void TvlLacquer::ComposeSkinFrame() {
    TvlSkinData* sd = SkinData();
    int W = FFormWidth, H = FFormHeight;
    const TPixelImage& pic =
        IsFrameActive() || sd->MainInactivePicture.Empty() ? sd->MainPicture : sd->MainInactivePicture;
    TvlFrameCuts cuts{sd->LTPoint, sd->RTPoint, sd->LBPoint, sd->RBPoint, sd->ClientRect};
    ComposeBorder(vlClampCuts(cuts), {0, 0, pic.Width, pic.Height}, PictureView(pic), W, H, FFitted,
                  {sd->LeftStretch, sd->TopStretch, sd->RightStretch, sd->BottomStretch}, FFrameBitmap);
    std::vector<TRect> strips = vlFrame::FrameStrips(W, H, FFitted.CR);
    FFrameBase.resize(strips.size());
    for (size_t i = 0; i < strips.size(); ++i) {
        const TRect& strip = strips[i];
        FFrameBase[i].Place = strip;
        FFrameBase[i].Pixels.SetSizeForOverwrite(std::max(strip.Width(), 0), std::max(strip.Height(), 0));
        if (!strip.IsEmpty()) CopyPiece(FFrameBase[i].Pixels, 0, 0, FFrameBitmap.View(), strip);
    }
    FFrameBaseWidth = W;
    FFrameBaseHeight = H;
    for (auto& o : FObjects)
        if (o->Visible) o->Draw(FFrameBitmap, false);
    if (InactiveEffectShown()) vlFrame::ApplyEffectToStrips(FFrameBitmap, FFitted.CR, sd->InActiveEffect);
}

void TvlLacquer::ComposeBuiltInFrame() {
    int dpi = FrameDpi();
    int W = FFormWidth, H = FFormHeight, ch = BuiltInCaptionHeight(), border = ScaleForDpi(kBuiltInBorder, dpi);
    auto px = [dpi](int value) { return ScaleForDpi(value, dpi); };
    if (FObjects.empty()) CreateBuiltInButtons();
    BuiltInCaptionLayout();
    FFrameBitmap.SetSizeForOverwrite(W, H);
    uint32_t face = Rgb(clBtnFace);
    FillBox(FFrameBitmap, {border, border, W - border, border + ch}, face);
    int L = FCaptionRect.Left - border, R = FCaptionRect.Right - border;
    // The grip lines stay one pixel apart at every scale; only their extent grows.
    for (int y = px(2); y <= ch - px(4); ++y)
        HLine(FFrameBitmap, border + L + px(2), border + R - px(3), border + y,
              Rgb((y - px(2)) % 2 == 0 ? clBtnHighlight : clBtnShadow));
    std::string text = WindowText(FormWindow());
    if (!text.empty() && R > L) {
        const TFont& f = IsFrameActive() ? DefCaptionFont : DefInActiveCaptionFont;
        TFont font(f.Name(), px(f.Height()), f.Style());
        font.SetCharSet(CaptionCharSet());
        TvlTextPen pen(FFrameBitmap, font);
        text =
            FitTextWithEllipsis(text, R - L, [&](const std::string& s) { return static_cast<int>(pen.Extent(s).cx); });
        SIZE size = pen.Extent(text);
        int pad = px(5);
        int x = L + (R - L) / 2 - (size.cx + pad) / 2;
        int y = ch / 2 - size.cy / 2;
        GdiFlush();
        TRect box{border + x, border, border + x + size.cx + pad, border + ch};
        box.Left = std::max(box.Left, border);
        box.Right = std::min(box.Right, W - border);
        FillBox(FFrameBitmap, box, face);
        pen.Out(border + x + px(3), border + y, text, Rgb(f.Color()), &box);
    }
    for (auto& o : FObjects)
        if (o->Visible) o->Draw(FFrameBitmap, false);
    // Rings inward from the window's edge, one pixel each: the two shaded
    // ones, then face up to the border's width.
    const std::pair<TColor, TColor> rings[] = {{clSysBase | COLOR_3DLIGHT, clSysBase | COLOR_3DDKSHADOW},
                                               {clBtnHighlight, clBtnShadow},
                                               {clBtnFace, clBtnFace}};
    for (int i = 0; i < border; ++i) {
        const auto& ring = rings[std::min(i, 2)];
        uint32_t tl = Rgb(ring.first), br = Rgb(ring.second);
        HLine(FFrameBitmap, i, W - i, H - 1 - i, br);
        VLine(FFrameBitmap, W - 1 - i, i, H - i, br);
        HLine(FFrameBitmap, i, W - 1 - i, i, tl);
        VLine(FFrameBitmap, i, i, H - 1 - i, tl);
    }
}

void TvlLacquer::PaintFrame(const TRect* clip) {
    HWND w = FormWindow();
    if (!w || !IsWindow(w)) return;
    RECT wr;
    GetWindowRect(w, &wr);
    FFormWidth = wr.right - wr.left;
    FFormHeight = wr.bottom - wr.top;
    if (FFormWidth < 1 || FFormHeight < 1) return;
    // A hidden window shows nothing; showing it paints the frame anew.
    if (!IsWindowVisible(w)) {
        FComposedActive.reset();
        return;
    }
    TRect client;
    ++FFrameCompositions;
    if (FSkinActive) {
        // Below the minimum size the previous contents stay.
        if (FFormWidth < MinimumWidth() || FFormHeight < MinimumHeight()) return;
        UpdateGeometry();
        LayoutObjects();
        ComposeSkinFrame();
        client = FFitted.CR;
    } else {
        ComposeBuiltInFrame();
        client = FrameClientRect();
    }
    FComposedActive = IsFrameActive();
    CopyFrameToWindow(w, client, clip ? *clip : TRect{0, 0, FFormWidth, FFormHeight});
}

// The strips around the client area one by one: under Wine a copy clipped
// to the window less its client area costs twice as much as the strips.
void TvlLacquer::CopyFrameToWindow(HWND w, const TRect& client, const TRect& area) {
    HDC dc = GetWindowDC(w);
    if (!dc) return;
    for (const TRect& strip : vlFrame::FrameStrips(FFrameBitmap.Width(), FFrameBitmap.Height(), client)) {
        TRect part = Intersect(strip, area);
        if (!part.IsEmpty())
            BitBlt(dc, part.Left, part.Top, part.Width(), part.Height(), FFrameBitmap.Canvas(), part.Left, part.Top,
                   SRCCOPY);
    }
    ReleaseDC(w, dc);
}

void TvlLacquer::RepaintObject(TvlActiveSkinObject* object) {
    if (!FormWindow()) return;
    TRect r = object->ObjectRect;
    if (!PaintFramePart(r)) PaintFrame(&r);
}

bool TvlLacquer::PaintFramePart(const TRect& area) {
    HWND w = FormWindow();
    if (!w || area.IsEmpty()) return false;
    RECT wr;
    GetWindowRect(w, &wr);
    int W = wr.right - wr.left, H = wr.bottom - wr.top;
    // A frame of another size, or one whose inactive effect runs over whole
    // strips, is composed anew.
    if (W != FFormWidth || H != FFormHeight || FFrameBitmap.Width() != W || FFrameBitmap.Height() != H ||
        InactiveEffectShown())
        return false;
    TRect r{std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, W), std::min(area.Bottom, H)};
    if (r.IsEmpty()) return true;
    if (FSkinActive) {
        if (FFrameBaseWidth != W || FFrameBaseHeight != H) return false;
        for (const TFrameBaseStrip& strip : FFrameBase) {
            const TRect& p = strip.Place;
            TRect part = Intersect(r, p);
            if (!part.IsEmpty())
                CopyPiece(FFrameBitmap, part.Left, part.Top, strip.Pixels.View(),
                          {part.Left - p.Left, part.Top - p.Top, part.Right - p.Left, part.Bottom - p.Top});
        }
    }
    // Every object over the area, in list order, as the whole frame draws them.
    for (auto& o : FObjects) {
        const TRect& b = o->ObjectRect;
        if (o->Visible && b.Left < r.Right && r.Left < b.Right && b.Top < r.Bottom && r.Top < b.Bottom)
            o->Draw(FFrameBitmap, false);
    }
    GdiFlush();
    CopyFrameToWindow(w, FSkinActive ? FFitted.CR : FrameClientRect(), r);
    return true;
}

void TvlLacquer::PaintClientBackground(HDC dc) {
    HWND w = FormWindow();
    RECT cr;
    GetClientRect(w, &cr);
    int cw = cr.right, chh = cr.bottom;
    if (cw < 1 || chh < 1) return;
    TvlSkinData* sd = SkinData();
    TvlFBitmap bg;
    if (FSkinActive) {
        const TPixelImage* pic = &sd->MainPicture;
        TRect piece = sd->ClientRect;
        if (sd->BGPictureIndex >= 0 && sd->BGPictureIndex < static_cast<int>(sd->PictureList.size())) {
            pic = &sd->PictureList[static_cast<size_t>(sd->BGPictureIndex)];
            piece = {0, 0, pic->Width, pic->Height};
        }
        if (!AllZero(piece) && !piece.IsEmpty()) {
            // Without a logo only the part that shows is tiled.
            if (LogoBitMap.Empty()) {
                DrawTiled(dc, {0, 0, cw, chh}, PictureView(*pic), piece);
                return;
            }
            bg.SetSize(cw, chh);
            TilePiece(bg, {0, 0, cw, chh}, PictureView(*pic), piece);
        }
    }
    if (bg.Empty()) {
        bg.SetSize(cw, chh);
        bg.Fill(Rgb(clBtnFace));
    }
    if (!LogoBitMap.Empty()) {
        const TRect whole{0, 0, LogoBitMap.Width(), LogoBitMap.Height()};
        const int x = std::max(0, cw / 2 - LogoBitMap.Width() / 2), y = std::max(0, chh / 2 - LogoBitMap.Height() / 2);
        if (LogoBitMapTransparent)
            CopyPieceTransparent(bg, x, y, LogoBitMap, whole, LogoBitMap.Pixel(0, LogoBitMap.Height() - 1));
        else
            CopyPiece(bg, x, y, LogoBitMap, whole);
    }
    bg.DrawTo(dc, 0, 0);
}
