#include "skin/form/vlSkinHint.h"

#include <algorithm>
#include <vector>

#include "core/Gdi.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "toolkit/Forms.h"

namespace {
constexpr UINT_PTR HintTimerId = 1;
}  // namespace

// ---- cursor height ----

int CursorHeightFromMask(const unsigned char* bits, int stride, int width, int height, int hotSpotY) {
    if (!bits || width <= 0 || stride <= 0 || height < width) return -1;
    auto lowest = [&](int top, unsigned char blank) {
        for (int row = top + width - 1; row >= top; --row)
            for (int b = 0; b < (width + 7) / 8; ++b)
                if (bits[static_cast<size_t>(row) * static_cast<size_t>(stride) + static_cast<size_t>(b)] != blank)
                    return row - top + 1;
        return 0;
    };
    int rows = lowest(0, 0xFF);
    if (rows == 0 && height >= 2 * width) rows = lowest(width, 0x00);
    if (rows == 0) return -1;
    return rows - hotSpotY;
}

int CurrentCursorHeight() {
    int fallback = GetSystemMetrics(SM_CYCURSOR);
    HCURSOR cursor = GetCursor();
    ICONINFO info{};
    if (!cursor || !GetIconInfo(cursor, &info)) return fallback;
    // Both bitmaps are the caller's to free.
    TGdiBitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAP bm{};
    if (!mask || !GetObjectA(mask.Handle(), sizeof bm, &bm) || bm.bmBitsPixel != 1) return fallback;
    std::vector<unsigned char> bits(static_cast<size_t>(bm.bmWidthBytes) * static_cast<size_t>(bm.bmHeight));
    if (!GetBitmapBits(mask.Handle(), static_cast<LONG>(bits.size()), bits.data())) return fallback;
    int height = CursorHeightFromMask(bits.data(), bm.bmWidthBytes, bm.bmWidth, bm.bmHeight,
                                      static_cast<int>(info.yHotspot));
    return height < 0 ? fallback : height;
}

// ---- TvlSkinHintWindow ----

TvlSkinHintWindow::TvlSkinHintWindow(TComponent* owner) : TCustomControl(owner, nullptr) {
    SetVisible(false);
}

void TvlSkinHintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP;  // no border
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

void TvlSkinHintWindow::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT: m.Result = 0; break;  // the paint covers everything
        case WM_MOUSEACTIVATE: m.Result = MA_NOACTIVATE; break;
        case WM_NCHITTEST: m.Result = HTTRANSPARENT; break;
        default: TCustomControl::WndProc(m); break;
    }
}

TvlSkinHint* TvlSkinHintWindow::InCharge() const {
    TComponent* holder = Application && Application->MainForm ? Application->MainForm : nullptr;
    if (!holder) {
        auto* own = dynamic_cast<TvlSkinHint*>(Owner());
        return own && own->Active() ? own : nullptr;
    }
    for (int i = 0; i < holder->ComponentCount(); ++i)
        if (auto* hint = dynamic_cast<TvlSkinHint*>(holder->Components(i)); hint && hint->Active()) return hint;
    return nullptr;
}

const TvlSkinData* TvlSkinHintWindow::UsableSkin() const {
    TvlSkinHint* hint = InCharge();
    const TvlSkinData* skin = hint ? hint->SkinData() : nullptr;
    if (!skin || skin->IsEmpty()) return nullptr;
    int index = skin->HintWindow.WindowPictureIndex;
    if (index < 0 || index >= static_cast<int>(skin->PictureList.size())) return nullptr;
    return skin->PictureList[static_cast<size_t>(index)].Empty() ? nullptr : skin;
}

TFont TvlSkinHintWindow::HintFont() const {
    TvlSkinHint* hint = InCharge();
    const TvlSkinData* skin = UsableSkin();
    TFont font = hint ? hint->DefaultFont : TFont("Arial", 14);
    if (skin && hint && hint->UseSkinFont)
        font = TFont(skin->HintWindow.FontName, skin->HintWindow.FontHeight, skin->HintWindow.FontStyle,
                     skin->HintWindow.FontColor);
    const TvlSkinData* any = hint ? hint->SkinData() : nullptr;
    if (any && any->ResourceStrData()) font.SetCharSet(any->ResourceStrData()->CharSet);
    return font;
}

SIZE TvlSkinHintWindow::TextSize(const std::string& text) const {
    HDC screen = GetDC(nullptr);
    TFont font = HintFont();
    RECT r{0, 0, 0, 0};
    {
        SelectGuard selected(screen, font.Handle());
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    }
    ReleaseDC(nullptr, screen);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE TvlSkinHintWindow::HintSize(const std::string& text) const {
    SIZE t = TextSize(text);
    const TvlSkinData* skin = UsableSkin();
    if (!skin) return {t.cx + 4, t.cy + 4};
    const TPixelImage& p = skin->PictureList[static_cast<size_t>(skin->HintWindow.WindowPictureIndex)];
    const TRect& cr = skin->HintWindow.ClientRect;
    return {std::max<LONG>(p.Width, t.cx + cr.Left + p.Width - cr.Right),
            std::max<LONG>(p.Height, t.cy + cr.Top + p.Height - cr.Bottom)};
}

void TvlSkinHintWindow::ActivateHint(const RECT& rect, const std::string& text) {
    TvlSkinHint* hint = InCharge();
    if (!hint) return;
    FText = text;
    SIZE size = HintSize(text);
    const TvlSkinData* skin = UsableSkin();
    if (skin) {
        const TvlDataSkinHintWindow& h = skin->HintWindow;
        const TPixelImage& p = skin->PictureList[static_cast<size_t>(h.WindowPictureIndex)];
        FTarget = FitFrameCuts({h.LTPoint, h.RTPoint, h.LBPoint, h.RBPoint, h.ClientRect}, p.Width, p.Height, size.cx,
                               size.cy);
    }
    int x = rect.left, y = rect.top;
    if (x + size.cx > GetSystemMetrics(SM_CXSCREEN)) x -= size.cx + 2;
    if (y + size.cy > GetSystemMetrics(SM_CYSCREEN)) y -= size.cy + 2;
    HandleNeeded();
    HWND wnd = Handle();
    if (SupportsLayeredWindows()) {
        if (hint->AlphaBlend != FLayered) {
            LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
            SetWindowLongA(wnd, GWL_EXSTYLE, hint->AlphaBlend ? ex | WS_EX_LAYERED : ex & ~WS_EX_LAYERED);
            FLayered = hint->AlphaBlend;
            FAlpha = -1;
        }
        if (hint->AlphaBlend && hint->AlphaBlendValue != FAlpha) {
            SetWindowAlpha(wnd, hint->AlphaBlendValue);
            FAlpha = hint->AlphaBlendValue;
        }
    }
    SetBounds(x, y, size.cx, size.cy);
    // The new region goes to the window first; the window frees the old one.
    const TPixelImage* mask = nullptr;
    if (skin) {
        int m = skin->HintWindow.MaskPictureIndex;
        if (m >= 0 && m < static_cast<int>(skin->PictureList.size()) && !skin->PictureList[static_cast<size_t>(m)].Empty())
            mask = &skin->PictureList[static_cast<size_t>(m)];
    }
    if (mask) {
        const TvlDataSkinHintWindow& h = skin->HintWindow;
        TGdiRegion region(ComposeFrameRegion(PictureView(*mask), {h.LTPoint, h.RTPoint, h.LBPoint, h.RBPoint, h.ClientRect},
                                             size.cx, size.cy, FTarget));
        FHasRegion = region && region.HandToWindow(wnd, true);
    } else if (FHasRegion) {
        SetWindowRgn(wnd, nullptr, TRUE);
        FHasRegion = false;
    }
    SetWindowPos(wnd, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    TControl::SetVisible(true);
    InvalidateRect(wnd, nullptr, FALSE);
}

void TvlSkinHintWindow::HideHint() {
    if (!Showing()) return;
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    TControl::SetVisible(false);
}

void TvlSkinHintWindow::PaintWindow(TCanvas& canvas) {
    int w = ClientWidth(), h = ClientHeight();
    SIZE t = TextSize(FText);
    TFont font = HintFont();
    if (const TvlSkinData* skin = UsableSkin()) {
        const TvlDataSkinHintWindow& hw = skin->HintWindow;
        const TPixelImage& p = skin->PictureList[static_cast<size_t>(hw.WindowPictureIndex)];
        TvlFBitmap look;
        ComposeFrameImage({hw.LTPoint, hw.RTPoint, hw.LBPoint, hw.RBPoint, hw.ClientRect}, TRect{0, 0, p.Width, p.Height},
                          PictureView(p), w, h, FTarget, true,
                          {hw.LeftStretch, hw.TopStretch, hw.RightStretch, hw.BottomStretch}, look);
        if (!look.Empty()) look.DrawTo(canvas.Handle(), 0, 0);
        const TRect& cr = FTarget.CR;
        canvas.Font = font;
        canvas.Font.SetColor(hw.FontColor);
        RECT r{cr.Left + cr.Width() / 2 - t.cx / 2, cr.Top + cr.Height() / 2 - t.cy / 2, 0, 0};
        r.right = r.left + t.cx;
        r.bottom = r.top + t.cy;
        canvas.TextRect(r, FText, DT_LEFT | DT_NOPREFIX);
        return;
    }
    canvas.FillRect(RECT{0, 0, w, h}, clSysBase | COLOR_INFOBK);
    canvas.FrameRect(RECT{0, 0, w, h}, clBtnShadow);
    canvas.Font = font;
    canvas.Font.SetColor(clSysBase | COLOR_INFOTEXT);
    canvas.TextRect(RECT{2, 2, w - 2, h - 2}, FText, DT_LEFT | DT_NOPREFIX);
}

void TvlSkinHintWindow::OnTimer(TMessage& m) {
    if (m.WParam == HintTimerId)
        if (auto* hint = dynamic_cast<TvlSkinHint*>(Owner())) {
            hint->TimerFired();
            return;
        }
    TCustomControl::OnTimer(m);
}

// ---- TvlSkinHint ----

TvlSkinHint::TvlSkinHint(TComponent* owner) : TComponent(owner) {
    FWindow = new TvlSkinHintWindow(this);
    SetActive(true);
}

TvlSkinHint::~TvlSkinHint() { FTimer.reset(); }

void TvlSkinHint::SetActive(bool value) {
    if (value) {
        TComponent* holder = Application && Application->MainForm ? Application->MainForm : Owner();
        for (int i = 0; holder && i < holder->ComponentCount(); ++i)
            if (auto* other = dynamic_cast<TvlSkinHint*>(holder->Components(i)); other && other != this)
                other->FActive = false;
    }
    FActive = value;
}

void TvlSkinHint::ShowHint(const RECT& rect, std::string text) {
    bool canShow = true;
    if (OnShowHint) OnShowHint(text, canShow);
    if (canShow) FWindow->ActivateHint(rect, text);
}

void TvlSkinHint::StartTimer(int milliseconds) {
    FTimer.reset();
    FWindow->HandleNeeded();
    FTimer = std::make_unique<TWindowTimer>(FWindow->Handle(), HintTimerId, static_cast<UINT>(std::max(milliseconds, 1)));
}

void TvlSkinHint::ShowHintAtCursor(const std::string& text) {
    FTimer.reset();
    FText = text;
    FShowing = false;
    StartTimer(HintPause);
}

void TvlSkinHint::TimerFired() {
    if (FShowing) {
        HideHint();
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    p.y += CurrentCursorHeight();
    ShowHint(RECT{p.x, p.y, p.x, p.y}, FText);
    FShowing = true;
    StartTimer(HintHidePause);
}

void TvlSkinHint::HideHint() {
    FTimer.reset();
    FShowing = false;
    FWindow->HideHint();
}
