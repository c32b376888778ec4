#include "skin/data/vlSkinLook.h"

#include "skin/data/vlCompose.h"
#include "skin/data/vlSkinData.h"

namespace {
const TPixelImage* PictureAt(const TvlSkinData& skin, int index) {
    if (index < 0 || index >= static_cast<int>(skin.PictureList.size())) return nullptr;
    return &skin.PictureList[static_cast<size_t>(index)];
}

// A rect's right and bottom are exclusive, so its far corner may lie on a zone's far edge: the
// zones here take in their right and bottom edges.
bool Inside(const TPoint& p, const TRect& zone) {
    return TRect{zone.Left, zone.Top, zone.Right + 1, zone.Bottom + 1}.Contains(p.X, p.Y);
}

bool Inside(const TRect& r, const TRect& zone) {
    return Inside(TPoint{r.Left, r.Top}, zone) && Inside(TPoint{r.Right, r.Bottom}, zone);
}

TRect Moved(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
}  // namespace

void TvlSkinLook::ReadElement(const TvlSkinData* skin, const std::string& name, bool copyGeometry) {
    ElementIndex = -1;
    Element = nullptr;
    if (!skin || skin->IsEmpty()) return;
    ElementIndex = skin->FindControlIndex(name);
    if (ElementIndex < 0) return;
    Element = skin->SkinControls[static_cast<size_t>(ElementIndex)].get();
    if (!copyGeometry) return;
    auto* custom = dynamic_cast<const TvlDataSkinCustomControl*>(Element);
    if (!custom) {
        StretchMode = smFixed;
        Picture = MaskBitmap = nullptr;
        return;
    }
    SkinRect = custom->SkinRect;
    LeftTopPoint = custom->LTPoint;
    RightTopPoint = custom->RTPoint;
    LeftBottomPoint = custom->LBPoint;
    RightBottomPoint = custom->RBPoint;
    SkinClientRect = custom->ClientRect;
    Picture = PictureAt(*skin, custom->PictureIndex);
    MaskBitmap = PictureAt(*skin, custom->MaskPictureIndex);
    if (SkinRect.IsEmpty())
        StretchMode = smNone;
    else if (RightBottomPoint.X != 0 && RightBottomPoint.Y != 0)
        StretchMode = smBoth;
    else if (RightTopPoint.X != 0 || RightTopPoint.Y != 0)
        StretchMode = smHorizontal;
    else if (LeftBottomPoint.X != 0 || LeftBottomPoint.Y != 0)
        StretchMode = smVertical;
    else
        StretchMode = smFixed;
}

void TvlSkinLook::AdjustToSkinSize(int& width, int& height) {
    int dW = width - SkinRect.Width(), dH = height - SkinRect.Height();
    switch (StretchMode) {
        case smNone: break;
        case smFixed:
            if (!HasElement()) break;
            width = SkinRect.Width();
            height = SkinRect.Height();
            ScaledClientRect = SkinClientRect;
            break;
        case smBoth:
            ScaledLeftTop = LeftTopPoint;
            ScaledRightTop = {RightTopPoint.X + dW, RightTopPoint.Y};
            ScaledLeftBottom = {LeftBottomPoint.X, LeftBottomPoint.Y + dH};
            ScaledRightBottom = {RightBottomPoint.X + dW, RightBottomPoint.Y + dH};
            ScaledClientRect = {SkinClientRect.Left, SkinClientRect.Top, SkinClientRect.Right + dW,
                                SkinClientRect.Bottom + dH};
            break;
        case smHorizontal:
            height = SkinRect.Height();
            ScaledLeftTop = LeftTopPoint;
            ScaledRightTop = {RightTopPoint.X + dW, RightTopPoint.Y};
            ScaledClientRect = {SkinClientRect.Left, SkinClientRect.Top, SkinClientRect.Right + dW,
                                SkinClientRect.Bottom};
            break;
        case smVertical:
            width = SkinRect.Width();
            ScaledLeftTop = LeftTopPoint;
            ScaledLeftBottom = {LeftBottomPoint.X, LeftBottomPoint.Y + dH};
            ScaledClientRect = {SkinClientRect.Left, SkinClientRect.Top, SkinClientRect.Right,
                                SkinClientRect.Bottom + dH};
            break;
    }
}

TRect TvlSkinLook::MapSkinRect(const TRect& r, int width, int height) const {
    int dW = width - SkinRect.Width(), dH = height - SkinRect.Height();
    const TPoint& LT = LeftTopPoint;
    const TPoint& RT = RightTopPoint;
    const TPoint& LB = LeftBottomPoint;
    const TPoint& RB = RightBottomPoint;
    switch (StretchMode) {
        case smBoth: {
            int sw = SkinRect.Width(), sh = SkinRect.Height();
            TRect leftTop{0, 0, LT.X, LT.Y}, rightTop{RT.X, 0, sw, RT.Y}, leftBottom{0, LB.Y, LB.X, sh},
                rightBottom{RB.X, RB.Y, sw, sh};
            if (Inside(r, leftTop)) return r;
            if (Inside(r, rightTop)) return Moved(r, dW, 0);
            if (Inside(r, leftBottom)) return Moved(r, 0, dH);
            if (Inside(r, rightBottom)) return Moved(r, dW, dH);
            TPoint tl{r.Left, r.Top}, br{r.Right, r.Bottom};
            if (Inside(tl, leftTop) && Inside(br, rightBottom)) return {r.Left, r.Top, r.Right + dW, r.Bottom + dH};
            if (Inside(tl, leftTop) && Inside(br, rightTop)) return {r.Left, r.Top, r.Right + dW, r.Bottom};
            if (Inside(tl, leftBottom) && Inside(br, rightBottom))
                return Moved({r.Left, r.Top, r.Right + dW, r.Bottom}, 0, dH);
            if (Inside(tl, leftTop) && Inside(br, leftBottom)) return {r.Left, r.Top, r.Right, r.Bottom + dH};
            if (Inside(tl, rightTop) && Inside(br, rightBottom))
                return {r.Left + dW, r.Top, r.Right + dW, r.Bottom + dH};
            return r;
        }
        case smHorizontal:
            if (r.Left <= LT.X && r.Right >= RT.X) return {r.Left, r.Top, r.Right + dW, r.Bottom};
            if (r.Left >= RT.X && r.Right > RT.X) return Moved(r, dW, 0);
            return r;
        case smVertical:
            if (r.Top <= LT.Y && r.Bottom >= LB.Y) return {r.Left, r.Top, r.Right, r.Bottom + dH};
            if (r.Top >= LB.Y && r.Bottom > LB.Y) return Moved(r, 0, dH);
            return r;
        default: return r;
    }
}

void TvlSkinLook::DrawSkinPicture(TvlFBitmap& bitmap, const TPixelImage* picture, const TRect& source, int width,
                                  int height) const {
    if (!picture || picture->Empty()) return;
    TvlPixelView view = PictureView(*picture);
    switch (StretchMode) {
        case smFixed:
            bitmap.SetSize(source.Width(), source.Height());
            CopyPiece(bitmap, 0, 0, view, source);
            break;
        case smBoth: {
            TvlFrameCuts cuts{LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint, SkinClientRect};
            TvlFrameCuts target{ScaledLeftTop, ScaledRightTop, ScaledLeftBottom, ScaledRightBottom, ScaledClientRect};
            ComposeTiledImage(cuts, source, view, width, height, target, true, bitmap);
            break;
        }
        case smHorizontal:
            ComposeHorizontal(LeftTopPoint.X, SkinRect.Width() - RightTopPoint.X, source, view, width, bitmap);
            break;
        case smVertical:
            ComposeVertical(LeftTopPoint.Y, SkinRect.Height() - LeftBottomPoint.Y, source, view, height, bitmap);
            break;
        case smNone: break;
    }
}
