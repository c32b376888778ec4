#pragma once
// The page control's tab scroller: two arrow buttons side by side that step
// a position between Min and Max. It offers exactly what the page control
// uses of an up-down (Min, Max, Position, Increment, OnChange, SkinData,
// SkinDataName), so the page control can take the skinned up-down instead
// by changing TvlTabScrollerControl below.
#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinControls.h"

class TvlTabScroller : public TvlSkinCustomControl {
public:
    TvlTabScroller(TComponent* owner, TWinControl* parent);

    int Min = 0, Max = 0, Increment = 1;
    int Position() const { return FPosition; }
    // Kept within Min … Max; no event.
    void SetPosition(int value);
    // The user stepped the position.
    TNotifyEvent OnChange;

    // Steps down (the left button) or up (the right one), as a click does.
    void Step(bool up);
    // Which button is pressed: -1 none, 0 left, 1 right.
    int Pressed() const { return FPressed; }

    void ReadElement() override;
    // The scroller keeps the size its page control gives it.
    void AdjustToSkinSize(int& width, int& height) override {}

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    void OnMouse(TMessage& m) override;
    void OnCaptureChanged(TMessage& m) override;

private:
    int ButtonAt(int x) const { return x < Width() / 2 ? 0 : 1; }
    TvlDataSkinUpDownControl* FData = nullptr;  // owned by the skin
    int FPosition = 0;
    int FPressed = -1, FHot = -1;
};

// The control the page control makes for its scroller.
using TvlTabScrollerControl = TvlTabScroller;
