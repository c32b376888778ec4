#pragma once
// The element data a skinned control copies from its skin: the element's
// look rectangle, its cut points and client rect, the same fitted to the
// control's size, its picture and mask, and the stretch mode that follows
// from them. Drawing the look at any size and mapping places inside it to
// the control's coordinates work from these alone.
#include <string>

#include "core/Geometry.h"
#include "core/PixelImage.h"
#include "skin/data/vlFBitmap.h"

class TvlSkinData;
class TvlDataSkinControl;

enum TvlStretchMode { smNone = -1, smFixed = 0, smBoth = 1, smHorizontal = 2, smVertical = 3 };

struct TvlSkinLook {
    int ElementIndex = -1;
    // The element record; owned by the skin data and valid until its next change.
    TvlDataSkinControl* Element = nullptr;
    TRect SkinRect;
    TPoint LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint;
    TRect SkinClientRect;
    TPoint ScaledLeftTop, ScaledRightTop, ScaledLeftBottom, ScaledRightBottom;
    TRect ScaledClientRect;
    const TPixelImage* Picture = nullptr;  // not owned
    const TPixelImage* MaskBitmap = nullptr;
    TvlStretchMode StretchMode = smNone;

    // Finds the first element named exactly `name` in the skin (none without
    // a skin or with an empty one). With `copyGeometry` (custom controls) the
    // element's look, points, client rect and pictures are copied too.
    void ReadElement(const TvlSkinData* skin, const std::string& name, bool copyGeometry);
    bool HasElement() const { return ElementIndex >= 0; }
    template <class Record>
    Record* ElementAs() const {
        return dynamic_cast<Record*>(Element);
    }

    // Fits a requested size to the element and sets the scaled points: a
    // fixed element keeps the look's size, a horizontal one its height, a
    // vertical one its width.
    void AdjustToSkinSize(int& width, int& height);
    // A place given in look coordinates, moved and grown as the look is for
    // a control of width × height.
    TRect MapSkinRect(const TRect& r, int width, int height) const;
    // Renders `source` of the picture to width × height by the stretch mode
    // (a fixed look sizes the bitmap to the source); no picture draws nothing.
    void DrawSkinPicture(TvlFBitmap& bitmap, const TPixelImage* picture, const TRect& source, int width,
                         int height) const;
    // The cut points and client rect, as given and as fitted.
    struct TCuts {
        TPoint LT, RT, LB, RB;
        TRect CR;
    };
    TCuts SkinCuts() const { return {LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint, SkinClientRect}; }
    TCuts ScaledCuts() const {
        return {ScaledLeftTop, ScaledRightTop, ScaledLeftBottom, ScaledRightBottom, ScaledClientRect};
    }
};
