#pragma once
// The skinned push button and the check and radio box. Both answer the
// native button messages (BM_CLICK, BM_GETCHECK, BM_SETCHECK, BM_GETSTATE,
// WM_GETDLGCODE), so that automation and assistive tools treat them as
// buttons; the caption is the window text.
#include <memory>
#include <string>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlMorphLooks.h"
#include "skin/data/vlSkinControls.h"
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

    // The click as every input path makes it.
    virtual void ButtonClick();
    void Click() override { ButtonClick(); }
    bool DialogChar(char key) override;

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
    virtual void DrawStateImage(TvlFBitmap& bitmap, const TRect& source, bool active, bool down);

    void WndProc(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnSetFocus(TMessage& m) override;
    void OnKillFocus(TMessage& m) override;
    void OnEraseBkgnd(TMessage& m) override;
    void OnTimer(TMessage& m) override;
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

    TvlDataSkinButtonControl FButtonData{""};
    bool FHasButtonData = false;
    bool FCanFocused = true, FDown = false, FDefault = false, FCancel = false;
    int FGroupIndex = 0, FNumGlyphs = 1, FMargin = -1, FSpacing = 1;
    TvlButtonLayout FLayout = blGlyphLeft;
    bool FMouseOver = false, FPressing = false, FDefaultActive = false, FReleaseOnPress = false;
    double FMorphFactor = 0;
    TvlMorphLooks FMorphLooks;
    std::unique_ptr<TWindowTimer> FMorphTimer, FRepeatTimer;
};

// The windowless tool-bar button: no focus and no keys; its click is the
// toolkit's click on release (on press for a grouped button).
class TvlSkinSpeedButton : public TvlGraphicSkinCustomControl {
public:
    TvlSkinSpeedButton(TComponent* owner, TWinControl* parent);

    bool AllowAllUp = false;
    int GroupIndex = 0;
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

    void Click() override;
    void Paint(TCanvas& canvas) override;
    void ReadElement() override;
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

    TvlDataSkinButtonControl FButtonData{""};
    bool FHasButtonData = false;
    bool FDown = false, FFlat = false, FTransparent = false, FShowCaption = true, FMouseOver = false;
    bool FClickedOnPress = false;
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

    // The click: a check box flips, a radio box turns on.
    void Toggle();
    void Click() override { Toggle(); }
    bool DialogChar(char key) override;

    void ReadElement() override;
    void SkinChanged() override;
    void SetEnabled(bool v) override;
    void SetCaption(const std::string& text) override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    void WndProc(TMessage& m) override;
    void OnMouse(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnSetFocus(TMessage& m) override;
    void OnKillFocus(TMessage& m) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void BoundsChanged() override;

private:
    void ParentBackground(TvlFBitmap& bitmap);
    void DrawFocus(TvlFBitmap& bitmap, RECT around);
    TRect CheckImage() const;

    TvlDataSkinCheckRadioControl FData{""};
    bool FHasData = false;
    bool FChecked = false, FRadio = false, FCanFocused = true, FMouseOver = false;
};
