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
    int DefaultCaptionHeight = 22;
    TAlignment DefaultAlignment = taLeftJustify;
    bool AutoEnabledControls = true;
    bool CheckedMode() const { return FCheckedMode; }
    void SetCheckedMode(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool RollUpMode = false;
    bool RollUpState() const { return FRollUpState; }
    void SetRollUpState(bool v);
    int RealHeight() const { return FRealHeight; }
    TNotifyEvent OnChecked, OnChangeRollUpState;

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

    TvlDataSkinPanelControl FData{""};
    bool FHasData = false;
    TvlPanelBorderStyle FBorderStyle;
    bool FCaptionMode = false, FCheckedMode = false, FChecked = false, FRollUpState = false;
    int FRealHeight = -1;
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

class TvlSkinStdLabel : public TvlSkinElement<TLabel> {
public:
    TvlSkinStdLabel(TComponent* owner, TWinControl* parent, const std::string& caption, int left, int top);
    TFont DefaultFont;
    bool UseSkinFont = true;
    void SetSkinData(TvlSkinData* skinData) override;
    void SkinChanged() override;
    bool HearsSkinChanging() const override { return false; }
    TFont TextFont() const override;
    std::string MeasuredText() const override { return Caption().empty() ? std::string(" ") : Caption(); }
    void Paint(TCanvas& canvas) override;

protected:
    // The element's text colour, or the font's without an element.
    virtual TColor TextColour() const;
    const TvlDataSkinStdLabelControl* Element() const;
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
    bool Vertical = false;
    bool UseSkinSize = true;
    const std::string& ProgressText() const { return FProgressText; }
    void SetProgressText(const std::string& text);
    bool ShowProgressText = false, ShowPercent = false;
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
    void OnEraseBkgnd(TMessage& m) override;

private:
    double Fraction() const;
    void DrawText(TvlFBitmap& bitmap, const TFont& font, TColor colour);
    void ComposeBar(TvlFBitmap& bar, int width, int height) const;

    TvlDataSkinGaugeControl FData{""};
    bool FHasData = false;
    TRect FProgressArea;
    int FMin = 0, FMax = 100, FValue = 50;
    std::string FProgressText;
};
