#pragma once
// Skinned hints: TvlSkinHintWindow is a tooltip window composed from the
// skin's [HINTWINDOW] picture and record, shaped by its mask and optionally
// translucent; TvlSkinHint is the component that makes it the application's
// tooltip window and also shows a hint of its own at the mouse cursor after
// the hint pause, hiding it again after the hide pause.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/Component.h"
#include "skin/data/vlCompose.h"
#include "skin/data/vlSkinData.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Hints.h"

class TvlSkinHint;

// The application's tooltip window once a TvlSkinHint has taken the hints
// over, and the window of the component's own cursor hints.
class TvlSkinHintWindow : public THintWindow {
public:
    explicit TvlSkinHintWindow(TComponent* owner);

    // Shows `text` with the window's top-left corner at the rectangle's,
    // moved left or up when it would pass the screen's right or bottom edge.
    // Nothing is shown without an active hint component in charge.
    void ActivateHint(const RECT& rect, const std::string& text) override;

    // The first active hint component of the main form (or, without a main
    // form, the window's own owner when it is one and active).
    TvlSkinHint* InCharge() const;
    // The skin data when its hint record can be drawn, else null.
    const TvlSkinData* UsableSkin() const;
    // The window size for a text.
    SIZE HintSize(const std::string& text) const override;
    bool HasRegion() const { return FHasRegion; }
    bool Layered() const { return FLayered; }
    // The font the text is written in: the skin's or DefaultFont, with the
    // resource strings' character set, else DefaultFont's.
    TFont HintFont() const;

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;
    void OnTimer(TMessage& m) override;

private:
    SIZE TextSize(const std::string& text) const;

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
    // Runs before every hint shows, the application's too; clearing
    // `canShow` stops it.
    TShowHintEvent OnShowHint;

    // Shows a hint at `rect` now (the tooltip path).
    void ShowHint(const RECT& rect, std::string text);
    // After the application's hint pause the text shows below the mouse
    // cursor; after its hide pause it goes.
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
    // The application's show-hint event runs this component's.
    void RouteShowHint();
    TComponentRef<TvlSkinData> FSkinData{this};
    TvlSkinHintWindow* FWindow = nullptr;  // owned through the component tree
    std::unique_ptr<TWindowTimer> FTimer;
    bool FActive = false, FShowing = false;
    std::string FText;
};
