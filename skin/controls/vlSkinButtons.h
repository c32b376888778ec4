#pragma once
// The skinned push button and the check and radio box. Both answer the
// native button messages (BM_CLICK, BM_GETCHECK, BM_SETCHECK, BM_GETSTATE,
// WM_GETDLGCODE), so that automation and assistive tools treat them as
// buttons; the caption is the window text.
#include <memory>
#include <string>

#include "skin/controls/vlButtonParts.h"
#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlMorphLooks.h"
#include "skin/data/vlSkinControls.h"
#include "toolkit/ActnList.h"
#include "toolkit/ExtCtrls.h"

enum TvlButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Where the glyph and the caption go in `target` (see TvlSkinButton::Layout).
struct TvlGlyphPlacement {
    TPoint Glyph;
    TPoint Text;
};
TvlGlyphPlacement PlaceGlyphAndCaption(const TRect& target, int glyphWidth, int glyphHeight, int textWidth,
                                       int textHeight, int margin, int spacing, TvlButtonLayout layout);
// The cell of a glyph strip to show (1 normal, 2 disabled, 3 down, 4 hot).
int GlyphCell(int numGlyphs, bool enabled, bool down, bool hot);

struct TvlGlyphLook {
    TvlFBitmap* Strip;
    int NumGlyphs, Margin, Spacing;
    TvlButtonLayout Layout;
};
// Glyph cell and caption laid out in `area`, moved by a pixel when pressed.
void DrawGlyphAndText(HDC dc, const TvlGlyphLook& glyph, const std::string& caption, const TRect& area,
                      const TFont& font, TColor colour, int cell, bool shifted);
// One state of a skinned button (TvlSkinButton, TvlSkinSpeedButton): the
// element's picture at `source`, then glyph cell and caption in its client
// part, in the element's caption colour for the state.
template <class Button>
void DrawButtonState(const Button& button, TvlFBitmap& bitmap, const TvlDataSkinButtonControl& data,
                     const TRect& source, const TvlGlyphLook& glyph, const std::string& caption, bool active,
                     bool down);

class TvlSkinButton : public TvlSkinCustomControl {
public:
    TvlSkinButton(TComponent* owner, TWinControl* parent);
    TvlSkinButton(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top, int width,
                  int height);
    ~TvlSkinButton() override;

    bool RepeatMode = false;
    int RepeatInterval = 100;
    bool AllowAllUp = false;
    int ModalResult = 0;

    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool Default() const { return FDefault; }
    void SetDefault(bool value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool value);

    // The glyph strip of NumGlyphs cells; its bottom-left pixel is transparent.
    TvlFBitmap Glyph;
    void SetGlyph(const TvlFBitmap& glyph);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int n);
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    TvlButtonLayout Layout() const { return FLayout; }
    void SetLayout(TvlButtonLayout v);

    // The click as every input path makes it: OnClick, or without one the
    // action.
    virtual void ButtonClick();
    void Click() override { ButtonClick(); }
    bool DialogChar(char key) override;
    bool TakesDialogKey(unsigned short key) const override;

    // The button shows its action's caption, state and image (as the glyph,
    // while it has none of its own) and runs it when clicked.
    TAction* Action() const { return FActionLink.Action(); }
    void SetAction(TAction* action) { FActionLink.SetAction(action); }

    // State, for tests and for the look.
    bool MouseOver() const { return FMouseOver; }
    bool DefaultActive() const { return FDefaultActive; }
    double MorphFactor() const { return FMorphFactor; }
    bool MorphTimerRunning() const { return FMorphTimer != nullptr; }
    bool RepeatTimerRunning() const { return FRepeatTimer != nullptr; }
    // One tick of the morph timer.
    void MorphStep();

    void ReadElement() override;
    void SkinChanged() override;
    void SetEnabled(bool v) override;
    void SetCaption(const std::string& text) override;

protected:
    void CreateWnd() override;
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    // An erase from outside our own paint gets the look, never a bare background.
    bool LookOnErase(HDC dc) const override { return !Painting(); }
    virtual void DrawStateImage(TvlFBitmap& bitmap, const TRect& source, bool active, bool down);

    void WndProc(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnTimer(TMessage& m) override;
    void FocusChanged(bool focused) override;
    void MouseEnter() override;
    void MouseLeave() override;
    // A default button lights up while the focus is on something that is
    // not another skinned button.
    void FormFocusChanged(TWinControl* focused) override;

private:
    bool Morphing() const;
    bool FocusedToo() const { return Focused() && FCanFocused; }
    bool Active() const { return FMouseOver || FocusedToo(); }
    void Refresh();
    void StartMorph();
    void StopMorph();
    // Something the looks are drawn from has changed: the morph draws them
    // again, and the button is painted.
    void LookChanged();
    void StartRepeat();
    void StopRepeat();
    void DrawGlyphAndCaption(TvlFBitmap& bitmap, const TRect& area, const TFont& font, TColor colour, bool hot,
                             bool down, bool shifted);
    void ActionChanged(const TAction& action);

    template <class B, class C>
    friend void vlButtonParts::StartPress(B&, int, C);
    template <class B, class C, class S>
    friend void vlButtonParts::ReleasePress(B&, int, bool, C, S);

    TvlDataSkinButtonControl FButtonData{""};
    bool FHasButtonData = false;
    bool FCanFocused = true, FDown = false, FDefault = false, FCancel = false;
    int FGroupIndex = 0, FNumGlyphs = 1, FMargin = -1, FSpacing = 1;
    TvlButtonLayout FLayout = blGlyphLeft;
    bool FMouseOver = false, FPressing = false, FDefaultActive = false, FReleaseOnPress = false;
    double FMorphFactor = 0;
    TvlMorphLooks FMorphLooks;
    std::unique_ptr<TWindowTimer> FMorphTimer, FRepeatTimer;
    TActionLink FActionLink{[this](const TAction& a) { ActionChanged(a); }};
};

// The windowless tool-bar button: no focus and no keys. Its click comes on
// release over it, or on press for a grouped button; held with RepeatMode
// it repeats. Its timers run on windows of their own through the timer
// driver, since it has no window.
class TvlSkinSpeedButton : public TvlGraphicSkinCustomControl {
public:
    TvlSkinSpeedButton(TComponent* owner, TWinControl* parent);
    ~TvlSkinSpeedButton() override;

    bool AllowAllUp = false;
    int GroupIndex = 0;
    bool RepeatMode = false;
    int RepeatInterval = 100;
    bool Down() const { return FDown; }
    void SetDown(bool value);
    TvlFBitmap Glyph;
    int NumGlyphs = 1, Margin = -1, Spacing = 1;
    TvlButtonLayout Layout = blGlyphLeft;
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool value);
    int WidthWithCaption = 0, WidthWithoutCaption = 0;
    bool MouseOver() const { return FMouseOver; }
    double MorphFactor() const { return FMorph.Factor; }
    bool MorphTimerRunning() const { return FMorphTimer != nullptr; }
    bool RepeatTimerRunning() const { return FRepeatTimer != nullptr; }
    // One tick of the morph timer.
    void MorphStep();

    TAction* Action() const { return FActionLink.Action(); }
    void SetAction(TAction* action) { FActionLink.SetAction(action); }

    void Click() override;
    void Paint(TCanvas& canvas) override;
    void ReadElement() override;
    void SkinChanged() override;
    void SetEnabled(bool v) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;

private:
    void DrawState(TvlFBitmap& bitmap, const TRect& source, bool active, bool down);
    std::string ShownCaption() const { return FShowCaption ? Caption() : std::string(); }
    // OnClick, or without one the action.
    void DoClick();
    bool Morphing() const;
    void Refresh();
    void StartMorph();
    void StartRepeat();
    void ActionChanged(const TAction& action);

    template <class B, class C>
    friend void vlButtonParts::StartPress(B&, int, C);
    template <class B, class C, class S>
    friend void vlButtonParts::ReleasePress(B&, int, bool, C, S);

    TvlDataSkinButtonControl FButtonData{""};
    bool FHasButtonData = false;
    bool FDown = false, FFlat = false, FTransparent = false, FShowCaption = true, FMouseOver = false;
    bool FPressing = false, FReleaseOnPress = false;
    // The release ran the click already; the toolkit's click after it is not another.
    bool FClickedOnRelease = false;
    vlButtonParts::TvlMorph FMorph;
    // Its two looks during one fade; drawn anew for the next.
    TvlMorphLooks FMorphLooks;
    std::unique_ptr<TTimer> FMorphTimer, FRepeatTimer;
    TActionLink FActionLink{[this](const TAction& a) { ActionChanged(a); }};
};

class TvlSkinCheckRadioBox : public TvlSkinCustomControl {
public:
    TvlSkinCheckRadioBox(TComponent* owner, TWinControl* parent);
    TvlSkinCheckRadioBox(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top,
                         int width, int height);

    bool Flat = true;
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool Radio() const { return FRadio; }
    void SetRadio(bool value);
    int GroupIndex = 0;
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool value);
    bool MouseOver() const { return FMouseOver; }

    // The click: a check box flips, a radio box turns on; then a linked
    // action runs.
    void Toggle();
    void Click() override;
    bool DialogChar(char key) override;
    // An image of the list beside the caption (ImageIndex -1: none).
    TImageList* Images() const { return FImages.get(); }
    void SetImages(TImageList* images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    // Follows its action's caption, state and checked state.
    TAction* Action() const { return FActionLink.Action(); }
    void SetAction(TAction* action) { FActionLink.SetAction(action); }
    double MorphFactor() const { return FMorph.Factor; }
    bool MorphTimerRunning() const { return FMorphTimer != nullptr; }
    void MorphStep();
    // The element's text and check image areas as fitted to the width.
    const TRect& TextArea() const { return FTextArea; }
    const TRect& CheckImageArea() const { return FCheckImageArea; }

    void ReadElement() override;
    void SkinChanged() override;
    void SetEnabled(bool v) override;
    void SetCaption(const std::string& text) override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    // A framed box gets its look on an erase from outside its own paint; a
    // flat one is drawn over its parent's background.
    bool LookOnErase(HDC dc) const override { return !Flat && !Painting(); }
    void WndProc(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void FocusChanged(bool focused) override { Refresh(); }
    void MouseEnter() override;
    void MouseLeave() override;
    void BoundsChanged() override;
    void OnTimer(TMessage& m) override;
    void Notification(TComponent* component, bool removing) override;
    bool FitsToElement() const override { return !Flat; }
    void AdjustToSkinSize(int& width, int& height) override;

private:
    void ParentBackground(TvlFBitmap& bitmap);
    void DrawFocus(TvlFBitmap& bitmap, RECT around);
    TRect CheckImage() const;
    // One look of the non-flat style (normal or active).
    void DrawRendering(TvlFBitmap& bitmap, bool active);
    // Draws the list's image at (x, y) when there is one; its width or 0.
    int DrawListImage(TvlFBitmap& bitmap, int x, int centreY);
    bool Morphing() const;
    void Refresh();
    void ActionChanged(const TAction& action);

    TvlDataSkinCheckRadioControl FData{""};
    bool FHasData = false;
    bool FChecked = false, FRadio = false, FCanFocused = true, FMouseOver = false;
    // The element's text and check image areas fitted to the width.
    TRect FTextArea, FCheckImageArea;
    TComponentRef<TImageList> FImages{this};
    int FImageIndex = 0;
    vlButtonParts::TvlMorph FMorph;
    std::unique_ptr<TWindowTimer> FMorphTimer;
    TActionLink FActionLink{[this](const TAction& a) { ActionChanged(a); }};
};
