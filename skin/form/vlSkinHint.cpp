#include "skin/form/vlSkinHint.h"

#include <algorithm>
#include <vector>

#include "core/DisplayScale.h"
#include "core/Gdi.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "toolkit/Forms.h"

namespace {
constexpr UINT_PTR HintTimerId = 1;

// A hint is drawn at the scale of the skin in charge, which follows the
// windows it wears; without one at the system's.
int HintDpi(const TvlSkinHint* hint) {
    const TvlSkinData* skin = hint ? hint->SkinData() : nullptr;
    return skin && !skin->IsEmpty() && skin->Dpi() > 0 ? skin->Dpi() : SystemDpi();
}
}  // namespace

// ---- TvlSkinHintWindow ----

TvlSkinHintWindow::TvlSkinHintWindow(TComponent* owner) : THintWindow(owner) {}

void TvlSkinHintWindow::CreateParams(TCreateParams& params) {
    THintWindow::CreateParams(params);
    params.WinClassName = HintWindowClassName(IsVersion51());
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
    font.SetHeight(ScaleFontForDpi(font.Height(), HintDpi(hint)));
    unsigned char charSet = font.CharSet();
    if (skin && hint && hint->UseSkinFont)
        font = TFont(skin->HintWindow.FontName, skin->HintWindow.FontHeight, skin->HintWindow.FontStyle,
                     skin->HintWindow.FontColor);
    const TvlSkinData* any = hint ? hint->SkinData() : nullptr;
    font.SetCharSet(any && any->ResourceStrData() ? any->ResourceStrData()->CharSet : charSet);
    return font;
}

SIZE TvlSkinHintWindow::TextSize(const std::string& text) const {
    TMemoryDC measuring = ScreenCompatibleDC();
    HDC screen = measuring.Handle();
    TFont font = HintFont();
    RECT r{0, 0, 0, 0};
    {
        SelectGuard selected(screen, font.Handle());
        DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    }
    return {r.right - r.left, r.bottom - r.top};
}

SIZE TvlSkinHintWindow::HintSize(const std::string& text) const {
    SIZE t = TextSize(text);
    const TvlSkinData* skin = UsableSkin();
    if (!skin) {
        int pad = ScaleForDpi(4, HintDpi(InCharge()));
        return {t.cx + pad, t.cy + pad};
    }
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
    ShowAt(rect.left, rect.top, size);
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
    int inset = ScaleForDpi(2, HintDpi(InCharge()));
    canvas.TextRect(RECT{inset, inset, w - inset, h - inset}, FText, DT_LEFT | DT_NOPREFIX);
}

void TvlSkinHintWindow::OnTimer(TMessage& m) {
    if (m.WParam == HintTimerId)
        if (auto* hint = dynamic_cast<TvlSkinHint*>(Owner())) {
            hint->TimerFired();
            return;
        }
    THintWindow::OnTimer(m);
}

// ---- TvlSkinHint ----

TvlSkinHint::TvlSkinHint(TComponent* owner) : TComponent(owner) {
    FWindow = new TvlSkinHintWindow(this);
    if (Application) {
        // The application's tooltip window is made again, of the skinned class.
        Application->SetHintWindowClass([](TComponent* o) -> THintWindow* { return new TvlSkinHintWindow(o); });
        Application->SetShowHint(!Application->ShowHint());
        Application->SetShowHint(!Application->ShowHint());
        Application->HintShortPause = 100;
    }
    SetActive(true);
}

TvlSkinHint::~TvlSkinHint() {
    FTimer.reset();
    // The application's hints no longer run this component's event.
    if (Application && FActive) Application->OnShowHint = nullptr;
}

void TvlSkinHint::SetActive(bool value) {
    if (value) {
        TComponent* holder = Application && Application->MainForm ? Application->MainForm : Owner();
        for (int i = 0; holder && i < holder->ComponentCount(); ++i)
            if (auto* other = dynamic_cast<TvlSkinHint*>(holder->Components(i)); other && other != this)
                other->FActive = false;
        FActive = true;
        RouteShowHint();
        return;
    }
    if (FActive && Application) Application->OnShowHint = nullptr;
    FActive = false;
}

void TvlSkinHint::RouteShowHint() {
    if (!Application) return;
    Application->OnShowHint = [this](std::string& text, bool& canShow, THintInfo& info) {
        if (OnShowHint) OnShowHint(text, canShow, info);
    };
}

void TvlSkinHint::ShowHint(const RECT& rect, std::string text) {
    bool canShow = true;
    THintInfo info;
    info.HintPos = {rect.left, rect.top};
    info.CursorRect = rect;
    info.HideTimeout = Application ? Application->HintHidePause : 2500;
    if (OnShowHint) OnShowHint(text, canShow, info);
    if (canShow) FWindow->ActivateHint(RECT{info.HintPos.x, info.HintPos.y, info.HintPos.x, info.HintPos.y}, text);
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
    StartTimer(Application ? Application->HintPause : 500);
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
    StartTimer(Application ? Application->HintHidePause : 2500);
}

void TvlSkinHint::HideHint() {
    FTimer.reset();
    FShowing = false;
    FWindow->HideHint();
}
