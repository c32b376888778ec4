#pragma once
// A pair of step buttons ("hupdown" or "vupdown" element) that move a
// position within a range; held down they repeat. The page control's tab
// scroller uses one.
#include <memory>

#include "skin/controls/vlSkinControlBase.h"
#include "skin/data/vlSkinControls.h"
#include "toolkit/ExtCtrls.h"

enum TvlUpDownOrientation { udHorizontal, udVertical };

class TvlSkinUpDown : public TvlSkinCustomControl {
public:
    using TPart = TvlSkinPart;
    enum { ptUp = 0, ptDown = 1 };
    static constexpr UINT_PTR kRepeatTimer = 1;
    static constexpr UINT kFirstDelay = 500, kRepeatDelay = 100, kResumeDelay = 50;

    TvlSkinUpDown(TComponent* owner, TWinControl* parent, TvlUpDownOrientation orientation = udHorizontal);
    ~TvlSkinUpDown() override;

    TvlUpDownOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TvlUpDownOrientation v);
    bool UseSkinSize = true;
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    void SetMin(int v);
    void SetMax(int v);
    // A position outside Min … Max is ignored, not clamped.
    void SetPosition(int v);
    int Increment = 1;
    TNotifyEvent OnChange, OnUpButtonClick, OnDownButtonClick;

    void CalcGeometry();
    // Without UseSkinSize the owner's size stays (the page control's scroller).
    void AdjustToSkinSize(int& width, int& height) override {
        if (UseSkinSize) TvlSkinCustomControl::AdjustToSkinSize(width, height);
    }
    const TPart& Part(int i) const { return FParts[i]; }
    bool Repeating() const { return FTimer != nullptr; }
    void SetEnabled(bool v) override;

protected:
    void PaintDefault(TvlFBitmap& bitmap) override;
    void PaintSkin(TvlFBitmap& bitmap) override;
    void OnMouse(TMessage& m) override;
    void PressLost() override { Release(false, -1, -1); }
    void OnTimer(TMessage& m) override;

private:
    int PartAt(int x, int y) const;
    void PaintResizeButtons(TvlFBitmap& bitmap);
    void Step(int part);
    void StartTimer(UINT ms);
    void Release(bool click, int x, int y);

    TvlUpDownOrientation FOrientation;
    int FMin = 0, FMax = 100, FPosition = 0;
    TPart FParts[2];
    int FHovered = -1, FCaptured = -1;
    bool FFirstTick = false;
    std::unique_ptr<TWindowTimer> FTimer;
};
