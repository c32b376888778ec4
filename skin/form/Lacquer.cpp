#include "skin/form/Lacquer.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "core/Errors.h"
#include "skin/access/vlHighContrast.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlEffects.h"
#include "skin/data/vlRegion.h"
#include "skin/data/vlUtils.h"
#include "skin/controls/vlSkinRelay.h"
#include "skin/form/LacquerParts.h"
#include "skin/form/vlSkinMDITabs.h"
#include "skin/form/vlSkinMenuBar.h"
#include "skin/form/vlSkinMenus.h"

using namespace vlFrameParts;

// ---- Portable helpers ----------------------------------------------------

namespace vlFrame {

bool PointInRects(const std::vector<TRect>& rects, int x, int y) {
    for (const TRect& r : rects)
        if (r.Contains(x, y)) return true;
    return false;
}

TPoint SnapToArea(int left, int top, int w, int h, const TRect& area, int m) {
    if (std::abs(left - area.Left) < m) left = area.Left;
    if (std::abs(top - area.Top) < m) top = area.Top;
    if (std::abs(left + w - area.Right) < m) left = area.Right - w;
    if (std::abs(top + h - area.Bottom) < m) top = area.Bottom - h;
    return {left, top};
}

TPoint FreeMinimizedSlot(const TRect& area, int w, int h, const std::function<bool(TPoint)>& occupied) {
    // A size below 1 would never move on: count it as 1, and stop after as
    // many slots as the area holds in any case.
    w = std::max(w, 1);
    h = std::max(h, 1);
    TPoint p{area.Left, area.Bottom - h};
    long long slots = (static_cast<long long>(std::max(1, area.Width() / w)) + 1) *
                      (static_cast<long long>(std::max(1, area.Height() / h)) + 1);
    slots = std::min<long long>(slots, 100000);
    for (long long i = 0; i < slots && occupied(p); ++i) {
        p.X += w;
        if (p.X + w > area.Right) {
            p.X = area.Left;
            p.Y -= h;
            if (p.Y < area.Top) return {area.Left, area.Bottom - h};
        }
    }
    return p;
}

std::vector<TRect> FrameStrips(int w, int h, const TRect& client) {
    int top = std::clamp(client.Top, 0, h), bottom = std::clamp(client.Bottom, top, h);
    int left = std::clamp(client.Left, 0, w), right = std::clamp(client.Right, left, w);
    return {TRect{0, 0, w, top}, TRect{0, top, left, bottom}, TRect{right, top, w, bottom}, TRect{0, bottom, w, h}};
}

void ApplyEffectToStrips(TvlFBitmap& frame, const TRect& client, int effect) {
    for (const TRect& strip : FrameStrips(frame.Width(), frame.Height(), client)) {
        if (strip.IsEmpty()) continue;
        TvlEffectBmp piece;
        piece.CreateBlank(strip.Width(), strip.Height());
        CopyPiece(piece, 0, 0, frame.View(), strip);
        piece.ApplyInactiveEffect(effect);
        CopyPiece(frame, strip.Left, strip.Top, piece.View(), {0, 0, strip.Width(), strip.Height()});
    }
}

}  // namespace vlFrame

// ---- The frame -----------------------------------------------------------

TvlLacquer::TvlLacquer(TComponent* owner) : TWindowProcWrapper(owner), FForm(dynamic_cast<TForm*>(owner)) {
    if (!FForm) throw Exception("The frame component belongs on a form");
    Name = "vlLacquer";
    AllFrames().push_back(this);
    FMenus = new TvlFormMenus(this, FForm, this, this);
    FMenus->SkinMenu()->OnItemHint = [this](const std::string& hint) {
        if (hint.empty())
            HideObjectHint();
        else if (ShowObjectHint)
            FMenus->ShowObjectHint(hint);
    };
    FShortCuts = new TMessageHook(this, [this](MSG& msg) { return IsShortCut(msg); });
    CreateBuiltInButtons();
    Attach(FForm);
    if (FForm->HandleAllocated()) {
        HWND w = FForm->Handle();
        SetWindowLongPtrA(
            w, GWL_STYLE,
            GetWindowLongPtrA(w, GWL_STYLE) & ~(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TvlLacquer::~TvlLacquer() {
    *FAlive = false;
    // The engine closes its menus when it goes, after this frame's part of the object.
    FMenus->SkinMenu()->OnItemHint = nullptr;
    auto& all = AllFrames();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    StopTimers();
    HWND w = FormWindow();
    if (w && GetCapture() == w && FCaptureObject >= 0) ReleaseCapture();
    FObjects.clear();
    if (w && !FForm->Destroying()) {
        // The form goes on without the frame: its region (the system's) is
        // removed and its own caption comes back.
        if (FFrameRegion) SetWindowRgn(w, nullptr, TRUE);
        FFrameRegion = nullptr;
        LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE) | WS_CAPTION;
        if (FForm->BorderIcons() & biSystemMenu) style |= WS_SYSMENU;
        SetWindowLongPtrA(w, GWL_STYLE, style);
        Detach();
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND TvlLacquer::FormWindow() const {
    return Target() && FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
}

void TvlLacquer::Notification(TComponent* component, bool removing) {
    TWindowProcWrapper::Notification(component, removing);
    if (!removing) return;
    FTrayIcon.Removed(component);
    FMainMenu.Removed(component);
    if (component == FMainMenuBar) FMainMenuBar = nullptr;
    if (component == FMDITabsBar) FMDITabsBar = nullptr;
    for (auto& o : FObjects)
        if (o->MenuItem == component) o->MenuItem = nullptr;
    if (FSkinData.Removed(component)) {
        FSkinActive = false;
        FObjects.clear();
        FHotObjectIndex = FCaptureObject = -1;
        if (!Destroying() && FForm && !FForm->Destroying()) ApplySkin();
    }
}

void TvlLacquer::SetSkinData(TvlSkinData* skinData) {
    FSkinData.Set(skinData);
    FMenus->SetSkinData(skinData);
    ApplySkin();
}

void TvlLacquer::SetBorderIcons(TvlBorderIcons icons) {
    FBorderIcons = icons;
    // The objects are made again from what the frame wears, so that a skin
    // keeps its own caption and buttons.
    FreeObjects();
    if (FSkinActive)
        CreateSkinObjects();
    else
        CreateBuiltInButtons();
    if (FormWindow()) PaintFrame();
}

void TvlLacquer::SetMainMenuBar(TvlSkinMainMenuBar* bar) {
    if (FMainMenuBar == bar) return;
    if (FMainMenuBar) RemoveFreeNotification(FMainMenuBar);
    FMainMenuBar = bar;
    if (bar) FreeNotification(bar);
    FMenus->SetMainMenuBar(bar);
}

void TvlLacquer::SetMDITabsBar(TvlSkinMDITabsBar* bar) {
    if (FMDITabsBar) RemoveFreeNotification(FMDITabsBar);
    FMDITabsBar = bar;
    if (bar) {
        FreeNotification(bar);
        bar->SetLacquer(FMenus);
    }
}

void TvlLacquer::MenusShown(bool shown) {
    if (shown) {
        if (OnSkinMenuOpen) OnSkinMenuOpen(this);
        return;
    }
    // The first button held down by its menu comes back up.
    for (auto& o : FObjects)
        if (auto* b = dynamic_cast<TvlSkinButtonObject*>(o.get()); b && b->Down && b->MenuOpen) {
            b->MenuOpen = false;
            b->SetDown(false);
            break;
        }
    if (OnSkinMenuClose) OnSkinMenuClose(this);
}

void TvlLacquer::MainMenuModeChanged(bool entered) {
    TNotifyEvent& event = entered ? OnMainMenuEnter : OnMainMenuExit;
    if (event) event(this);
}

bool TvlLacquer::Sizeable() const {
    return FForm->BorderStyle() == bsSizeable || FForm->BorderStyle() == bsSizeToolWin;
}

bool TvlLacquer::ToolWindow() const {
    return FForm->BorderStyle() == bsToolWindow || FForm->BorderStyle() == bsSizeToolWin;
}

bool TvlLacquer::IsFrameActive() const { return FFrameActive; }

std::string TvlLacquer::ResText(const char* key, const char* fallback) const {
    // With a resource-string component its text is used, even an empty one;
    // the built-in text only without one.
    TvlSkinData* sd = SkinData();
    if (sd && sd->ResourceStrData()) return sd->ResourceStrData()->LookupText(key);
    return fallback;
}

unsigned char TvlLacquer::CaptionCharSet() const {
    TvlSkinData* sd = SkinData();
    return sd && sd->ResourceStrData() ? sd->ResourceStrData()->CharSet : DefCaptionFont.CharSet();
}

void TvlLacquer::StopTimers() {
    FHoverTimer.Stop();
    FBlendTimer.Stop();
    FAnimateTimer.Stop();
    FFadeTimer.Stop();
}

void TvlLacquer::HideObjectHint() {
    if (ShowObjectHint) FMenus->HideObjectHint();
}

// ---- Objects of the frame --------------------------------------------------

void TvlLacquer::FreeObjects() {
    // The objects go: nothing may point at them any more, and a mouse capture
    // taken for one of them goes with it.
    HWND w = FormWindow();
    if (FCaptureObject >= 0 && w && GetCapture() == w) ReleaseCapture();
    FHotObjectIndex = -1;
    FCaptureObject = -1;
    FObjects.clear();
}

void TvlLacquer::CreateBuiltInButtons() {
    FreeObjects();
    const std::pair<const char*, TvlStdCommand> buttons[] = {
        {"closebutton", cmClose},   {"maxbutton", cmMaximize},    {"minbutton", cmMinimize},
        {"rollupbutton", cmRollUp}, {"sysmenubutton", cmSysMenu}, {"traybutton", cmMinimizeToTray}};
    for (auto& [name, command] : buttons)
        FObjects.push_back(std::make_unique<TvlSkinStdButtonObject>(this, nullptr, name, command));
    ApplyBorderIcons();
}

namespace {
// The command of a standard button or animation object; none for the others.
std::optional<TvlStdCommand> CommandOf(TvlActiveSkinObject* object) {
    if (auto* b = dynamic_cast<TvlSkinStdButtonObject*>(object)) return b->Command;
    if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(object)) return a->Command;
    return std::nullopt;
}
}  // namespace

void TvlLacquer::ApplyBorderIcons() {
    for (auto& o : FObjects) {
        std::optional<TvlStdCommand> standard = CommandOf(o.get());
        if (!standard) continue;
        TvlStdCommand command = *standard;
        if (HideCaptionButtons) {
            o->Enabled = false;
            if (o->SkinRectInAPicture) o->Visible = false;
            continue;
        }
        bool keep = true;
        switch (command) {
            case cmDefault: {
                bool visible = false;
                if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
                keep = visible;
                break;
            }
            case cmClose: keep = true; break;
            case cmMaximize: keep = FBorderIcons & vlbiMaximize; break;
            case cmMinimize: keep = FBorderIcons & vlbiMinimize; break;
            case cmRollUp: keep = FBorderIcons & vlbiRollUp; break;
            case cmSysMenu: keep = FBorderIcons & vlbiSystemMenu; break;
            case cmMinimizeToTray: keep = FBorderIcons & vlbiMinimizeToTray; break;
        }
        if (!keep) {
            o->Visible = false;
            o->Enabled = false;
            continue;
        }
        auto* b = dynamic_cast<TvlSkinStdButtonObject*>(o.get());
        if (b && b->SkinSupport && b->SkinRect.IsEmpty()) {
            o->Enabled = false;
            if (o->SkinRectInAPicture) o->Visible = false;
        }
    }
    RefreshHints();
}

void TvlLacquer::RefreshHints() {
    if (!UseDefaultObjectHint || !SkinData()) return;
    for (auto& o : FObjects) {
        std::optional<TvlStdCommand> standard = CommandOf(o.get());
        if (!standard) continue;
        TvlStdCommand command = *standard;
        switch (command) {
            case cmClose: o->Hint = ResText("CLOSEBUTTON_HINT", "Close"); break;
            case cmMaximize: o->Hint = ResText("MAXBUTTON_HINT", "Maximize"); break;
            case cmMinimize: o->Hint = ResText("MINBUTTON_HINT", "Minimize"); break;
            case cmSysMenu: o->Hint = ResText("MENUBUTTON_HINT", "System menu"); break;
            case cmRollUp: o->Hint = ResText("ROLLUPBUTTON_HINT", "Roll Up"); break;
            case cmMinimizeToTray: o->Hint = ResText("TRAYBUTTON_HINT", "Minimize to Tray"); break;
            default: break;
        }
    }
}

bool TvlLacquer::ResetObjectsDisplay() {
    bool changed = false;
    for (auto& o : FObjects) {
        if (auto* a = dynamic_cast<TvlSkinAnimateObject*>(o.get())) {
            changed |= a->PointerInside || a->Active || a->Frame != 1;
            a->PointerInside = a->Active = false;
            a->Frame = 1;
        } else if (!dynamic_cast<TvlSkinCaptionObject*>(o.get())) {
            changed |= o->Active || o->PointerInside || o->MorphFactor != 0;
            o->Active = o->PointerInside = false;
            o->MorphFactor = 0;
        }
    }
    return changed;
}

void TvlLacquer::CreateSkinObjects() {
    FreeObjects();
    for (auto& rec : SkinData()->SkinObjects) {
        const TvlDataSkinObject* d = rec.get();
        if (dynamic_cast<const TvlDataSkinMenuItem*>(d) || dynamic_cast<const TvlDataSkinMainMenuItem*>(d) ||
            dynamic_cast<const TvlDataSkinMainMenuBarButton*>(d))
            continue;
        if (auto* s = dynamic_cast<const TvlDataSkinStdButton*>(d))
            FObjects.push_back(std::make_unique<TvlSkinStdButtonObject>(this, s));
        else if (auto* b = dynamic_cast<const TvlDataSkinButton*>(d))
            FObjects.push_back(std::make_unique<TvlSkinButtonObject>(this, b));
        else if (auto* c = dynamic_cast<const TvlDataSkinCaption*>(d))
            FObjects.push_back(std::make_unique<TvlSkinCaptionObject>(this, c));
        else if (auto* a = dynamic_cast<const TvlDataSkinAnimate*>(d))
            FObjects.push_back(std::make_unique<TvlSkinAnimateObject>(this, a));
        else if (dynamic_cast<const TvlDataUserObject*>(d))
            FObjects.push_back(std::make_unique<TvlUserObject>(this, d));
    }
    ApplyBorderIcons();
}

void TvlLacquer::FitWindowToSkin() {
    HWND w = FormWindow();
    // The window is never smaller than the frame allows.
    RECT wr;
    GetWindowRect(w, &wr);
    int width = wr.right - wr.left, height = wr.bottom - wr.top;
    int newW = std::max(width, MinimumWidth()), newH = std::max(height, MinimumHeight());
    if (FRollUpState || FFrameWindowState == fwsMinimized) newH = MinimumHeight();
    if (FFrameWindowState == fwsMinimized) newW = MinimumWidth();
    if (newW != width || newH != height)
        SetFormBounds(wr.left, wr.top, newW, newH);
    else
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(w, &wr);
    FFormWidth = wr.right - wr.left;
    FFormHeight = wr.bottom - wr.top;
}

void TvlLacquer::ApplySkin() {
    FHotObjectIndex = -1;
    HWND w = FormWindow();
    if (FCaptureObject >= 0 && w && GetCapture() == w) ReleaseCapture();
    FCaptureObject = -1;
    TvlSkinData* sd = SkinData();
    FSkinActive = sd && !sd->IsEmpty() && !sd->MainPicture.Empty() && !vlSkinStepsAside();
    if (FSkinActive) {
        CreateSkinObjects();
    } else {
        CreateBuiltInButtons();
        RemoveRegion();
    }
    if (!w) return;
    FitWindowToSkin();
    if (FSkinActive) UpdateFrame();
    if (IsOnScreen(w)) RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    UpdateCaptionActivation(true);
    // The mouse may rest on an object of the new frame already.
    FHoverTimer.Start(w);
    if (OnChangeSkinData) OnChangeSkinData(this);
    if (ClientWidth > 0 || ClientHeight > 0)
        FForm->SetClientSize(ClientWidth > 0 ? ClientWidth : FForm->ClientWidth(),
                             ClientHeight > 0 ? ClientHeight : FForm->ClientHeight());
}

void TvlLacquer::UpdateCaptionActivation(bool repaint) {
    if (TakeCaptionActivation(repaint) && repaint && FormWindow()) PaintFrame();
    TellActivation();
}

void TvlLacquer::RepaintForActivation() {
    TakeCaptionActivation(true);
    // A window just shown has its whole frame to paint at the WM_NCPAINT
    // that follows: painting it here too would copy it to the screen twice.
    if (FComposedActive.has_value()) PaintFrame();
    TellActivation();
}

bool TvlLacquer::TakeCaptionActivation(bool morph) {
    for (auto& o : FObjects) {
        auto* c = dynamic_cast<TvlSkinCaptionObject*>(o.get());
        if (!c) continue;
        bool active = IsFrameActive();
        if (c->Active == active) return false;
        c->Active = active;
        if (!c->Morphing) return true;
        if (morph)
            StartMorphTimer();
        else
            c->MorphFactor = active ? 1 : 0;
        return true;
    }
    return false;
}

void TvlLacquer::TellActivation() {
    if (IsFrameActive()) {
        if (OnActivate) OnActivate(this);
    } else if (OnDeActivate) {
        OnDeActivate(this);
    }
}

