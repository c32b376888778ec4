#pragma once
// Skinned hints: TvlSkinHintWindow is a tooltip window composed from the
// skin's [HINTWINDOW] picture and record, shaped by its mask and optionally
// translucent; TvlSkinHint is the component that owns one, shows a hint of
// its own at the mouse cursor after the hint pause and hides it again after
// the hide pause.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/Component.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlSkinData.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"

class TvlSkinHint;

class TvlSkinHintWindow : public TCustomControl {
public:
    explicit TvlSkinHintWindow(TComponent* owner);

    // Shows `text` with the window's top-left corner at the rectangle's,
    // moved left or up when it would pass the screen's right or bottom edge.
    // Nothing is shown without an active hint component in charge.
    void ActivateHint(const RECT& rect, const std::string& text);
    // Hides the window without activating any other.
    void HideHint();
    bool Showing() const { return HandleAllocated() && IsWindowVisible(Handle()); }
    const std::string& Text() const { return FText; }

    // The first active hint component of the main form (or, without a main
    // form, the window's own owner when it is one and active).
    TvlSkinHint* InCharge() const;
    // The skin data when its hint record can be drawn, else null.
    const TvlSkinData* UsableSkin() const;
    // The window size for a text.
    SIZE HintSize(const std::string& text) const;
    bool HasRegion() const { return FHasRegion; }
    bool Layered() const { return FLayered; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void PaintWindow(TCanvas& canvas) override;
    void OnTimer(TMessage& m) override;

private:
    TFont HintFont() const;
    SIZE TextSize(const std::string& text) const;

    std::string FText;
    TvlFrameCuts FTarget;
    bool FLayered = false;
    int FAlpha = -1;
    bool FHasRegion = false;  // the region itself belongs to the window
};

class TvlSkinHint : public TComponent {
public:
    explicit TvlSkinHint(TComponent* owner);
    ~TvlSkinHint() override;

    TvlSkinData* SkinData() const { return FSkinData.get(); }
    void SetSkinData(TvlSkinData* skinData) { FSkinData.Set(skinData); }
    bool Active() const { return FActive; }
    // One active component at a time: activating this one deactivates the
    // others of the main form.
    void SetActive(bool value);
    bool AlphaBlend = false;
    unsigned char AlphaBlendValue = 0;
    TFont DefaultFont{"Arial", 14};
    bool UseSkinFont = true;
    // The pauses before a hint shows and before it hides again.
    int HintPause = 500, HintHidePause = 2500;
    // Runs before a hint shows; clearing `canShow` stops it.
    std::function<void(std::string& text, bool& canShow)> OnShowHint;

    // Shows a hint at `rect` now (the tooltip path).
    void ShowHint(const RECT& rect, std::string text);
    // After the hint pause the text shows below the mouse cursor; after the
    // hide pause it goes.
    void ShowHintAtCursor(const std::string& text);
    void HideHint();
    TvlSkinHintWindow* HintWindow() const { return FWindow; }
    bool TimerRunning() const { return FTimer != nullptr; }
    // The hint window's timer fired.
    void TimerFired();

protected:
    void Notification(TComponent* component, bool removing) override {
        TComponent::Notification(component, removing);
        if (removing) FSkinData.Removed(component);
    }

private:
    void StartTimer(int milliseconds);
    TComponentRef<TvlSkinData> FSkinData{this};
    TvlSkinHintWindow* FWindow = nullptr;  // owned through the component tree
    std::unique_ptr<TWindowTimer> FTimer;
    bool FActive = false, FShowing = false;
    std::string FText;
};

// How far below the hot spot the visible part of a cursor reaches, from its
// monochrome mask (AND half over XOR half, each `width` rows of `stride`
// bytes); -1 when the mask tells nothing.
int CursorHeightFromMask(const unsigned char* bits, int stride, int width, int height, int hotSpotY);
// The same for the current cursor, or the platform's cursor height.
int CurrentCursorHeight();
