#pragma once
// The caption objects of the skinned frame: caption text, caption buttons
// (free and standard ones), animations and user objects, each cut from the
// skin's [OBJECTS] records or, without a skin, the built-in buttons. They
// draw into the frame's picture and answer the mouse the frame hands them.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/Geometry.h"
#include "skin/data/vlFBitmap.h"
#include "skin/data/vlSkinData.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

class TvlLacquer;
class TMenuItem;

class TvlActiveSkinObject {
public:
    TvlActiveSkinObject(TvlLacquer* parent, const TvlDataSkinObject* data);
    virtual ~TvlActiveSkinObject() = default;

    TvlLacquer* Parent;
    std::string IDName;
    std::string Hint;
    bool SkinRectInAPicture = true;
    TRect SkinRect, ActiveSkinRect, InActiveSkinRect;
    TRect ObjectRect;
    const TPixelImage* Picture = nullptr;        // the skin's main picture
    const TPixelImage* ObjectPicture = nullptr;  // "activepictureindex", or none
    bool Morphing = false;
    TvlMorphKind MorphKind = mkDefault;
    double MorphFactor = 0;
    bool Active = false;
    bool PointerInside = false;
    bool Enabled = true, Visible = true;
    // The menu a free button or an animation opens: MenuItem's sub-items,
    // below the object or, with PopupUp, above it. The frame forgets an item
    // that is destroyed.
    TMenuItem* MenuItem = nullptr;
    bool PopupUp = false;
    void SetMenuItem(TMenuItem* item);

    virtual bool CanMorph() const { return MorphUnderWay(); }
    // Draws into `dest`, which holds the window's pixels from its top-left.
    virtual void Draw(TvlFBitmap& dest, bool update);
    virtual void DblClick() {}
    virtual void MouseDown(int x, int y, TMouseButton button);
    virtual void MouseUp(int x, int y, TMouseButton button);
    virtual void MouseMove(int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Starts the frame's morph timer when morphing, else repaints now.
    void Redraw();
    // Opens MenuItem beside the object; false when it has no sub-items.
    bool OpenMenu();
    // The object's rectangle on the screen.
    TRect ScreenRect() const;

protected:
    bool MorphUnderWay() const;
    // The active rectangle, empty when the object has no active picture.
    TRect ActiveRect() const { return ObjectPicture ? ActiveSkinRect : TRect{}; }
    // Stretches `source` of `picture` to the object's place.
    void CopyToObject(TvlFBitmap& dest, const TPixelImage* picture, const TRect& source) const;
    void DrawMorph(TvlFBitmap& dest, const TPixelImage* normalPicture, const TRect& normal,
                   const TPixelImage* activePicture, const TRect& active) const;
};

class TvlUserObject : public TvlActiveSkinObject {
public:
    using TvlActiveSkinObject::TvlActiveSkinObject;
    void Draw(TvlFBitmap& dest, bool update) override;
};

class TvlSkinButtonObject : public TvlActiveSkinObject {
public:
    TvlSkinButtonObject(TvlLacquer* parent, const TvlDataSkinButton* data);
    TRect DownRect, DisabledLookRect;
    bool Down = false;
    // A button that opens a menu keeps its down look while the menu is open.
    bool MenuOpen = false;
    void SetDown(bool v);
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorph() const override;
};

class TvlSkinStdButtonObject : public TvlSkinButtonObject {
public:
    // Built from a skin record, or (data null) a built-in button.
    TvlSkinStdButtonObject(TvlLacquer* parent, const TvlDataSkinStdButton* data, const std::string& idName = {},
                           TvlStdCommand command = cmDefault);
    TvlStdCommand Command = cmDefault;
    TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
    bool SkinSupport = false;
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void DblClick() override;
    bool CanMorph() const override;

private:
    bool RestoreLook() const;
    bool DrawsIcon() const;
    void DrawIcon(TvlFBitmap& dest) const;
    void DrawBuiltIn(TvlFBitmap& dest) const;
};

class TvlSkinAnimateObject : public TvlActiveSkinObject {
public:
    TvlSkinAnimateObject(TvlLacquer* parent, const TvlDataSkinAnimate* data);
    int CountFrames = 1;
    bool Cycle = false, ButtonStyle = false;
    int TimerInterval = 50;
    TvlStdCommand Command = cmDefault;
    int Frame = 1;
    bool Forward = true;
    int Counter = 25;
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseUp(int x, int y, TMouseButton button) override;
    void DblClick() override;
    // One 25 ms tick of the animation; true when the object repainted.
    bool Tick();
};

class TvlSkinCaptionObject : public TvlActiveSkinObject {
public:
    TvlSkinCaptionObject(TvlLacquer* parent, const TvlDataSkinCaption* data);
    std::string FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    uint32_t FontColor = 0, ActiveFontColor = 0;
    TAlignment Alignment = taCenter;
    TRect CaptionTextRect;
    bool Shadow = false;
    uint32_t ShadowColor = 0, ActiveShadowColor = 0;
    TRect FrameRect, ActiveFrameRect, FrameTextRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
    void Draw(TvlFBitmap& dest, bool update) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, TMouseButton button) override;
    void MouseUp(int x, int y, TMouseButton button) override;

private:
    // The caption text drawn into `dest` with the object's top-left at (ox, oy).
    void DrawText(TvlFBitmap& dest, int ox, int oy, bool active) const;
    // The normal or active caption image at the object's size.
    TvlFBitmap CaptionImage(bool active) const;
};
