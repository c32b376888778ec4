#pragma once
// Application hints: the tooltip window, and what the application needs to
// show a control's Hint once the mouse has rested on it for the hint pause
// (TApplication's hint members are defined in Hints.cpp).
#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/Controls.h"

// What the show-hint event may change about a hint about to show.
struct THintInfo {
    TControl* HintControl = nullptr;
    POINT HintPos{};    // screen point of the window's top-left corner
    RECT CursorRect{};  // screen rectangle of the control
    int HideTimeout = 0;  // milliseconds until the hint goes again
};
using TShowHintEvent = std::function<void(std::string& hintStr, bool& canShow, THintInfo& info)>;

// The tooltip window: a borderless topmost popup that never takes the
// activation or the mouse.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner);

    // Shows `text` with the window's top-left corner at the rectangle's.
    virtual void ActivateHint(const RECT& rect, const std::string& text);
    // Hides the window without activating any other.
    virtual void HideHint();
    // The window size a text needs.
    virtual SIZE HintSize(const std::string& text) const;
    bool Showing() const { return HandleAllocated() && IsWindowVisible(Handle()); }
    const std::string& Text() const { return FText; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& m) override;
    void PaintWindow(TCanvas& canvas) override;
    void OnTimer(TMessage& m) override;
    // Shows the window at (x, y) with the size, topmost and not activated.
    void ShowAt(int x, int y, SIZE size);

    std::string FText;
};

using THintWindowClass = std::function<THintWindow*(TComponent* owner)>;

// The window class of hint windows; with the drop shadow the platform gives
// tooltips (from version 5.1 on) or without.
const char* HintWindowClassName(bool dropShadow);
// The id of the application's hint timer on its hint window.
constexpr UINT_PTR kApplicationHintTimer = 0x4854;

// How far below the hot spot the visible part of a cursor reaches, from its
// monochrome mask (AND half over XOR half, each `width` rows of `stride`
// bytes); -1 when the mask tells nothing.
int CursorHeightFromMask(const unsigned char* bits, int stride, int width, int height, int hotSpotY);
// The same for the current cursor, or the platform's cursor height.
int CurrentCursorHeight();
