#pragma once
// The skinned static and container controls: panel and group box, bevel,
// splitter, standard and link labels, and the progress gauge.
#include <functional>
#include <string>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinControls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

enum TvlPanelBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };

class TvlSkinPanel : public TvlSkinCustomControl {
public:
    explicit TvlSkinPanel(TComponent* owner, TWinControl* parent, TvlPanelBorderStyle border = bvFrame);

    TvlPanelBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TvlPanelBorderStyle v);
    bool CaptionMode() const { return FCaptionMode; }
    void SetCaptionMode(bool v);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    void SetDefaultCaptionHeight(int v);
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment v);
    bool AutoEnabledControls = true;
    bool CheckedMode() const { return FCheckedMode; }
    void SetCheckedMode(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool RollUpMode() const { return FRollUpMode; }
    void SetRollUpMode(bool v);
    bool RollUpState() const { return FRollUpState; }
    void SetRollUpState(bool v);
    int RealHeight() const { return FRealHeight; }
    TNotifyEvent OnChecked, OnChangeRollUpState;
    // The caption glyph: a strip of NumGlyphs cells (the second one shown
    // while the panel is disabled), Spacing pixels before the caption.
    const TvlFBitmap& Glyph() const { return FGlyph; }
    void SetGlyph(const TvlFBitmap& glyph);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int n);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);

    RECT LayoutRect() const override;
    void ReadElement() override;
    void SkinChanged() override;
    void SetCaption(const std::string& text) override;
    // Where the caption bar is, for clicks on its check box and arrow.
    TRect CaptionRect() const;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    void OnMouse(TMessage& m) override;

private:
    void DrawCaption(TvlFBitmap& bitmap, TRect area, const TFont& font, TColor colour, TAlignment alignment,
                     bool inset);
    bool TiledClientOnly() const;
    int RolledHeight() const;

    TvlDataSkinPanelControl FData{""};
    bool FHasData = false;
    TvlPanelBorderStyle FBorderStyle;
    bool FCaptionMode = false, FCheckedMode = false, FChecked = false, FRollUpMode = false, FRollUpState = false;
    int FRealHeight = -1;
    int FDefaultCaptionHeight = 22;
    TAlignment FDefaultAlignment = taLeftJustify;
    TvlFBitmap FGlyph;
    int FNumGlyphs = 1, FSpacing = 2;
    TRect FSkinCaptionRect;
};

class TvlSkinGroupBox : public TvlSkinPanel {
public:
    TvlSkinGroupBox(TComponent* owner, TWinControl* parent, const std::string& caption);
};

enum TvlBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TvlBevelStyle { bsLowered, bsRaised };

class TvlSkinBevel : public TvlSkinBase<TGraphicControl> {
public:
    TvlSkinBevel(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    TvlBevelShape Shape = bsBox;
    TvlBevelStyle Style = bsLowered;
    bool DividerMode = false;
    bool HearsSkinChanging() const override { return false; }
    void Paint(TCanvas& canvas) override;
    void ReadElement() override;
    TColor LightColor() const { return FLight; }
    TColor DarkColor() const { return FDark; }

private:
    TColor FLight = clBtnHighlight, FDark = clBtnShadow;
};

// The splitter drawn from its element; its thickness follows the element.
class TvlSkinSplitter : public TvlSkinElement<TSplitter> {
public:
    TvlSkinSplitter(TComponent* owner, TWinControl* parent, int width);
    int DefaultSize = 10;
    void SetSkinData(TvlSkinData* skinData) override;
    void SkinChanged() override;

protected:
    void PaintWindow(TCanvas& canvas) override;

private:
    TvlSkinLook FLook;
};

enum TvlTextLayout { tlTop, tlCenter, tlBottom };

class TvlSkinStdLabel : public TvlSkinElement<TLabel> {
public:
    TvlSkinStdLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
    // The label's own font for the plain look (the toolkit's face and size).
    TFont DefaultFont;
    bool UseSkinFont = true;
    // "&" marks the accelerator and is not shown; "&&" shows one.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    // Breaks the text into lines at the label's width; an automatic size
    // then keeps the width and takes the lines' height.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    // Where the text sits vertically in the label.
    TvlTextLayout Layout() const { return FLayout; }
    void SetLayout(TvlTextLayout v);

    void SetSkinData(TvlSkinData* skinData) override;
    void SkinChanged() override;
    bool HearsSkinChanging() const override { return false; }
    TFont TextFont() const override;
    std::string MeasuredText() const override;
    void AdjustSize() override;
    void Paint(TCanvas& canvas) override;

protected:
    // The element's text colour, or the font's without an element.
    virtual TColor TextColour() const;
    const TvlDataSkinStdLabelControl* Element() const;
    // The text's lines and placement as DrawText takes them.
    unsigned TextFlags() const;

private:
    bool FShowAccelChar = true, FWordWrap = false;
    TvlTextLayout FLayout = tlTop;
};

class TvlSkinLinkLabel : public TvlSkinStdLabel {
public:
    TvlSkinLinkLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
    std::string URL;
    TColor DefaultActiveFontColor = 0xFF0000;  // pure blue
    bool MouseOver() const { return FMouseOver; }
    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;
    TFont TextFont() const override;

protected:
    TColor TextColour() const override;

private:
    bool FMouseOver = false;
};

class TvlSkinGauge : public TvlSkinCustomControl {
public:
    TvlSkinGauge(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    int MinValue() const { return FMin; }
    int MaxValue() const { return FMax; }
    int Value() const { return FValue; }
    void SetMinValue(int v);
    void SetMaxValue(int v);
    void SetValue(int v);
    bool Vertical() const { return FVertical; }
    void SetVertical(bool v);
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool v);
    const std::string& ProgressText() const { return FProgressText; }
    void SetProgressText(const std::string& text);
    bool ShowProgressText() const { return FShowProgressText; }
    void SetShowProgressText(bool v);
    bool ShowPercent() const { return FShowPercent; }
    void SetShowPercent(bool v);
    // round((value - min) / (max - min) * 100), halves to even; 0 when the bounds meet.
    int Percent() const;
    std::string Text() const;
    // The bar's part of an area.
    TRect ProgressRect(const TRect& area) const;

    void ReadElement() override;
    void AdjustToSkinSize(int& width, int& height) override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    bool LookOnErase(HDC dc) const override { return !Painting(); }

private:
    double Fraction() const;
    void DrawText(TvlFBitmap& bitmap, const TFont& font, TColor colour);
    void ComposeBar(TvlFBitmap& bar, int width, int height) const;

    TvlDataSkinGaugeControl FData{""};
    bool FHasData = false;
    TRect FProgressArea;
    int FMin = 0, FMax = 100, FValue = 50;
    std::string FProgressText;
    bool FVertical = false, FUseSkinSize = true, FShowProgressText = false, FShowPercent = false;
};
