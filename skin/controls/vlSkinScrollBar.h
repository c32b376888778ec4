#pragma once
// The skinned scroll bar: a free-standing control with two arrow buttons, a
// track and a thumb drawn from a "hscrollbar", "vscrollbar" or
// "bothhscrollbar" element (or a plain look). The skinned list, tree and
// memo link to external bars of this kind and keep them in step.
#include <memory>
#include <string>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinControls.h"
#include "toolkit/ExtCtrls.h"

enum TvlScrollBarKind { sbHorizontal, sbVertical };

class TvlSkinScrollBar : public TvlSkinCustomControl {
public:
    using TPart = TvlSkinPart;
    enum { ptThumb = 0, ptUp = 1, ptDown = 2 };
    // What a held button or track repeats.
    enum TRepeat { rpNone = 0, rpDownButton = 1, rpUpButton = 2, rpPageBack = 3, rpPageForward = 4 };
    static constexpr UINT_PTR kRepeatTimer = 1;
    static constexpr UINT kFirstDelay = 500, kRepeatDelay = 50;

    TvlSkinScrollBar(TComponent* owner, TWinControl* parent, TvlScrollBarKind kind = sbHorizontal);
    ~TvlSkinScrollBar() override;

    TvlScrollBarKind Kind() const { return FKind; }
    void SetKind(TvlScrollBarKind kind);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    int PageSize() const { return FPageSize; }
    void SetMin(int v);
    void SetMax(int v);
    void SetPosition(int v);
    void SetPageSize(int v);
    // All four at once, without OnChange (the views keep their bars in step).
    void SetRange(int min, int max, int pageSize, int position);
    int SmallChange = 1;
    int LargeChange = 1;

    bool Both() const { return FBoth; }
    void SetBoth(bool v);
    std::string BothSkinDataName = "bothhscrollbar";
    int BothMarkerWidth() const { return FBothMarkerWidth; }
    void SetBothMarkerWidth(int v);
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool v);

    TNotifyEvent OnChange, OnUpButtonClick, OnDownButtonClick, OnPageUp, OnPageDown, OnLastChange;
    // The view this bar scrolls (not owned; the view clears it when it goes):
    // the wheel over the bar goes to it.
    TWinControl* WheelControl = nullptr;

    // The layout of the parts and the thumb at the current size and range.
    void CalcGeometry();
    const TPart& Part(int i) const { return FParts[i]; }
    const TRect& Track() const { return FTrack; }
    TRepeat Repeating() const { return FRepeat; }
    bool Dragging() const { return FDragging; }
    int CapturedPart() const { return FCaptured; }

    void ReadElement() override;
    void SetEnabled(bool v) override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    // Someone else asking for this bar's look (a parent composing its
    // picture) gets it; our own paint covers every pixel anyway.
    bool LookOnErase(HDC dc) const override { return dc && !Painting() && WindowFromDC(dc) != Handle(); }
    void OnMouse(TMessage& m) override;
    void PressLost() override { Release(); }
    void OnMouseWheel(TMessage& m) override;
    void OnKey(TMessage& m) override;
    void OnTimer(TMessage& m) override;
    void FocusChanged(bool focused) override { Invalidate(); }
    UINT DialogCode() override;
    void WndProc(TMessage& m) override;

private:
    bool Horizontal() const { return FKind == sbHorizontal; }
    int Along(int x, int y) const { return Horizontal() ? x : y; }
    int Clamped(int v) const;
    void Step(int delta);
    void UpClick();
    void DownClick();
    void PageBack();
    void PageForward();
    void StartRepeat(TRepeat code, UINT ms);
    void StopRepeat();
    void Press(int x, int y);
    void Release();
    void Hover(int x, int y);
    void DragTo(int x, int y);
    int PartAt(int x, int y) const;
    void ThumbLength(int trackLength, int& length) const;

    TvlScrollBarKind FKind;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
    bool FBoth = false;
    std::string FNameBeforeBoth;
    int FBothMarkerWidth = 19;
    bool FCanFocused = false;

    TvlDataSkinScrollBarControl FData{""};
    bool FHasData = false;
    bool FSwapButtons = false;  // the element draws its "down" button at the end

    TPart FParts[3];
    TRect FTrack;
    int FFirstCentre = 0, FLastCentre = 0, FThumbOffset = 0;
    int FHovered = -1, FCaptured = -1;
    bool FDragging = false;
    int FDragStart = 0, FDragOffset = 0, FDragPosition = 0;
    TRepeat FRepeat = rpNone;
    bool FFirstTick = false;
    bool FPressed = false;
    POINT FLastPoint{-1, -1};
    bool FPaused = false;  // a held button whose pointer went off it
    std::unique_ptr<TWindowTimer> FTimer;
};
