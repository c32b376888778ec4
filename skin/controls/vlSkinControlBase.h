#pragma once
// The four bases of every skinned control: windowed (TvlSkinControl,
// TvlSkinCustomControl) and windowless on their parent
// (TvlGraphicSkinControl, TvlGraphicSkinCustomControl). They find their
// element in the skin by name, fit their size to it, compose their whole
// look off-screen (the skin's picture, or a plain look without an element)
// and copy it in one operation, and follow skin changes.
#include <windows.h>

#include <memory>
#include <string>

#include "core/DisplayScale.h"
#include "skin/controls/vlSkinElement.h"
#include "skin/data/vlSkinLook.h"
#include "toolkit/Controls.h"

// Text of every skinned control is drawn in the character set of the skin's
// resource strings when the skin has them, else in the font's own.
inline void ApplySkinCharSet(const TvlSkinData* skin, TFont& font) {
    if (skin && !skin->IsEmpty() && skin->ResourceStrData()) font.SetCharSet(skin->ResourceStrData()->CharSet);
}

// The DPI a control paints at: that of the nearest window it sits in (its
// own, else its parent's), the system's before any exists.
int ControlDpi(const TControl* control);

// The skin side shared by the windowed and the windowless kinds.
template <class Base>
class TvlSkinBase : public TvlSkinElement<Base> {
public:
    using TvlSkinElement<Base>::TvlSkinElement;

    int ElementIndex() const { return Look.ElementIndex; }
    // A length of the control's own (not the skin's, which comes at scale)
    // at the DPI it paints at.
    int Px(int length) const { return ScaleForDpi(length, ControlDpi(this)); }
    const TvlSkinLook& SkinLook() const { return Look; }

    // Stores the reference; a loaded skin is taken at once.
    void SetSkinData(TvlSkinData* skinData) override {
        TvlSkinElement<Base>::SetSkinData(skinData);
        if (skinData && !skinData->IsEmpty()) SkinChanged();
    }
    void SkinChanging() override {
        Look.ElementIndex = -1;
        Look.Element = nullptr;
    }
    void SkinChanged() override {
        ReadElement();
        this->Invalidate();
    }

    // Looks the element up again (every paint, size change and skin change).
    virtual void ReadElement() { Look.ReadElement(this->SkinData(), this->SkinDataName, false); }
    // The look without an element, and from the element.
    virtual void PaintDefault(TvlFBitmap& bitmap) {}
    virtual void PaintSkin(TvlFBitmap& bitmap) {}
    virtual void UpdateWindowRegion() {}

    // The whole look at the control's size; false when there is nothing to
    // paint (no width or height).
    bool ComposeLook(TvlFBitmap& bitmap) {
        if (this->Width() <= 0 || this->Height() <= 0) return false;
        ReadElement();
        bitmap.SetSize(this->Width(), this->Height());
        if (Look.HasElement())
            PaintSkin(bitmap);
        else
            PaintDefault(bitmap);
        return !bitmap.Empty();
    }

protected:
    // The element's record copied into `data`; false, leaving `data` as it
    // was, when the element is of another kind or, with `needPicture`, has
    // no picture.
    template <class Data>
    bool CopyElementData(Data& data, bool needPicture = false) const {
        auto* element = Look.template ElementAs<Data>();
        if (!element || (needPicture && !Look.Picture)) return false;
        data = *element;
        return true;
    }

    TvlSkinLook Look;
};

// The custom kinds: geometry from the element, a default font and size for
// the plain look, and sizes fitted to the element.
template <class Base>
class TvlSkinCustomBase : public Base {
public:
    template <class... Args>
    explicit TvlSkinCustomBase(Args&&... args) : Base(std::forward<Args>(args)...) {
        // Any change of the font object, however made, reaches the control.
        DefaultFont.OnChange = [this] {
            DefaultFontChanged();
            if (!this->Look.HasElement()) this->Invalidate();
        };
    }

    // The plain look's font; without an element (or with UseSkinFont off)
    // also the skinned look's.
    TFont DefaultFont{"Arial", 14};
    bool UseSkinFont = true;
    int DefaultWidth() const { return FDefaultWidth; }
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultWidth(int v) {
        FDefaultWidth = v;
        if (!this->Look.HasElement() && v > 0) this->SetWidth(v);
    }
    void SetDefaultHeight(int v) {
        FDefaultHeight = v;
        if (!this->Look.HasElement() && v > 0) this->SetHeight(v);
    }
    void SetDefaultFont(const TFont& font) {
        this->Font = font;
        DefaultFont = font;  // tells DefaultFontChanged and repaints
    }
    void SetUseSkinFont(bool v) {
        if (v == UseSkinFont) return;
        UseSkinFont = v;
        this->Invalidate();
    }

    void ReadElement() override { this->Look.ReadElement(this->SkinData(), this->SkinDataName, true); }
    virtual void DefaultFontChanged() {}
    virtual void AdjustToSkinSize(int& width, int& height) { this->Look.AdjustToSkinSize(width, height); }

    // The fitted place of a rectangle given in the element's coordinates.
    TRect MapSkinRect(const TRect& r) const { return this->Look.MapSkinRect(r, this->Width(), this->Height()); }
    void DrawSkinPicture(TvlFBitmap& bitmap, const TPixelImage* picture, const TRect& source) const {
        this->Look.DrawSkinPicture(bitmap, picture, source, this->Width(), this->Height());
    }

    void PaintDefault(TvlFBitmap& bitmap) override { bitmap.Fill(ColorToRGB(clBtnFace)); }
    // An element without a picture has nothing to draw from: the plain look.
    void PaintSkin(TvlFBitmap& bitmap) override {
        if (!this->Look.Picture || this->Look.StretchMode == smNone) {
            PaintDefault(bitmap);
            return;
        }
        DrawSkinPicture(bitmap, this->Look.Picture, this->Look.SkinRect);
    }

    void SkinChanged() override {
        ReadElement();
        if (!this->Look.HasElement()) {
            // The default size is a 96-DPI length.
            int w = FDefaultWidth > 0 ? this->Px(FDefaultWidth) : this->Width();
            int h = FDefaultHeight > 0 ? this->Px(FDefaultHeight) : this->Height();
            if (w != this->Width() || h != this->Height()) this->SetBounds(this->Left(), this->Top(), w, h);
            this->UpdateWindowRegion();
            this->Invalidate();
            return;
        }
        int w = this->Width(), h = this->Height();
        AdjustToSkinSize(w, h);
        if (w != this->Width() || h != this->Height()) {
            this->SetBounds(this->Left(), this->Top(), w, h);
        } else {
            this->UpdateWindowRegion();
            this->Invalidate();
        }
    }

    // Every size request is fitted to the element first.
    void SetBoundsByLayout(int left, int top, int width, int height) override {
        ReadElement();
        bool resized = width != this->Width() || height != this->Height();
        bool adjust = resized && this->Look.HasElement() && FitsToElement();
        if (adjust) AdjustToSkinSize(width, height);
        Base::SetBoundsByLayout(left, top, width, height);
        if (adjust) this->UpdateWindowRegion();
        // The plain look is drawn for the size it has: a new size repaints.
        if (adjust || (resized && !this->Look.HasElement())) this->Invalidate();
    }
    // Whether size requests are fitted to the element (a flat check box
    // draws only pieces of it and keeps any size).
    virtual bool FitsToElement() const { return true; }

    // The font a look draws its text with: the element's or the default one,
    // in the character set of the skin's resource strings when it has them.
    // The element's height is the skin's, at scale already; DefaultFont's is
    // at 96 DPI.
    TFont LookFont(const std::string& name, int height, unsigned style) const {
        if (!UseSkinFont || !this->Look.HasElement()) return PlainFont();
        TFont font(name, height, style);
        ApplySkinCharSet(this->SkinData(), font);
        return font;
    }
    // The plain look's font: DefaultFont at the control's DPI, in the skin's
    // character set.
    TFont PlainFont() const {
        TFont font = DefaultFont;
        font.SetHeight(ScaleFontForDpi(font.Height(), ControlDpi(this)));
        ApplySkinCharSet(this->SkinData(), font);
        return font;
    }

private:
    int FDefaultWidth = 0, FDefaultHeight = 0;
};

class TvlSkinControl : public TvlSkinBase<TCustomControl> {
public:
    using TvlSkinBase::TvlSkinBase;
    ~TvlSkinControl() override;
    bool Painting() const { return FPainting; }
    bool HasWindowRegion() const { return FHasRegion; }
    void UpdateWindowRegion() override;

protected:
    void OnPaint(TMessage& m) override;
    void OnPrintClient(TMessage& m) override;
    // The look and then the windowless children, into `dc`.
    void PaintTo(HDC dc);

    // An erase draws the look into `dc` when LookOnErase says so (someone
    // composing a picture of the control); otherwise it does nothing, as the
    // paint covers every pixel.
    void OnEraseBkgnd(TMessage& m) override;
    virtual bool LookOnErase(HDC dc) const { return false; }
    // After the default handling FocusChanged follows: a look showing the
    // focus repaints.
    void OnSetFocus(TMessage& m) override;
    void OnKillFocus(TMessage& m) override;
    virtual void FocusChanged(bool focused) {}
    // The mouse taken away (a cancel mode, or the capture going to another
    // window) is PressLost: a held part lets go.
    void OnCancelMode(TMessage& m) override;
    void OnCaptureChanged(TMessage& m) override;
    virtual void PressLost() {}

private:
    bool FPainting = false;
    bool FHasRegion = false;  // the region itself belongs to the window
};

class TvlSkinCustomControl : public TvlSkinCustomBase<TvlSkinControl> {
public:
    using TvlSkinCustomBase::TvlSkinCustomBase;
};

class TvlGraphicSkinControl : public TvlSkinBase<TGraphicControl> {
public:
    TvlGraphicSkinControl(TComponent* owner, TWinControl* parent);
    bool HearsSkinChanging() const override { return false; }
    void Paint(TCanvas& canvas) override;
};

class TvlGraphicSkinCustomControl : public TvlSkinCustomBase<TvlGraphicSkinControl> {
public:
    using TvlSkinCustomBase::TvlSkinCustomBase;
};

// A pressable part of a control (an arrow button, a thumb): its place,
// whether the pointer is over it and whether it is held.
struct TvlSkinPart {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
};

// Text drawn on a composed look: a canvas over the bitmap's device context
// with the font and colour set.
TCanvas LookCanvas(TvlFBitmap& bitmap, const TFont& font, TColor colour);
