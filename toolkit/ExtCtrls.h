#pragma once
// Panels, splitters, pictures and timers.
#include <string>

#include "toolkit/Controls.h"

enum TPanelBorder { pbNone, pbRaised, pbFrame };

class TPanel : public TCustomControl {
public:
    TPanel(TComponent* owner, TWinControl* parent, TPanelBorder border = pbNone);
    TPanelBorder Border;
    RECT LayoutRect() const override;

protected:
    void PaintWindow(TCanvas& canvas) override;
};

// Resizes the control aligned just before it by dragging.
class TSplitter : public TCustomControl {
public:
    TSplitter(TComponent* owner, TWinControl* parent, int width);
    int MinSize = 10;
    void ChangeScale(int fromDpi, int toDpi) override;

protected:
    void OnMouse(TMessage& m) override;
    void OnCaptureChanged(TMessage& m) override;

private:
    TControl* FindResized() const;
    int FDragStart = -1, FStartWidth = 0;
    TDesignLength FDesignMinSize;
};

// A picture control showing a bitmap it owns.
class TImage : public TGraphicControl {
public:
    TImage(TComponent* owner, TWinControl* parent, int left, int top, int width, int height);
    bool AutoSize = false;
    void SetBitmap(TGdiBitmap bitmap);
    HBITMAP Bitmap() const { return FBitmap.Handle(); }
    void Paint(TCanvas& canvas) override;

private:
    TGdiBitmap FBitmap;
};

// A timer of a window, running while the object lives; its ticks arrive as
// WM_TIMER with the id. Set through the timer driver, like TTimer.
class TWindowTimer {
public:
    TWindowTimer(HWND window, UINT_PTR id, UINT milliseconds);
    ~TWindowTimer();
    TWindowTimer(const TWindowTimer&) = delete;
    TWindowTimer& operator=(const TWindowTimer&) = delete;

private:
    HWND FWindow;
    UINT_PTR FId;
};

// A window timer; ticks arrive through the message queue. The timer is set
// through the timer driver, which tests replace to fire it themselves.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    int Interval() const { return FInterval; }
    void SetInterval(int ms);
    TNotifyEvent OnTimer;

private:
    void Update();
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    HWND FWindow = nullptr;
    bool FEnabled = true;
    int FInterval = 1000;
};
