#pragma once
// Skin messages: window messages whose first parameter is the skin data and
// whose second is 1000; the messages between the menu engine and the
// controls that open menus; and the one relay by which a skin change
// reaches every form and, depth-first, the skinned controls on it.
#include <windows.h>

#include "skin/data/vlSkinData.h"
#include "toolkit/Controls.h"

constexpr UINT WM_SKINCHANGING = WM_USER + 201;
constexpr UINT WM_SKINCHANGED = WM_USER + 202;
constexpr UINT WM_SKINCHANGED_MDI = WM_USER + 203;
constexpr UINT WM_SKINSTRINGSCHANGED = WM_USER + 250;
constexpr LPARAM SkinMessageParam = 1000;

// What the menu engine tells the control that opened a menu: the menus
// closed, and an item ran (both parameters zero).
constexpr UINT WM_CLOSESKINMENUS = WM_USER + 204;
constexpr UINT WM_SKINMENUITEMDONE = WM_USER + 205;
// Sent to a form by a control whose own popup menu should open through the
// form's skinned menu engine; LParam is a TPopupMenuRequest*. Answered 1
// when the menu shows: it then runs asynchronously and tells the control
// WM_SKINMENUITEMDONE after an item ran.
constexpr UINT TM_POPUPMENU = WM_APP + 0x3E01;
class TPopupMenu;
struct TPopupMenuRequest {
    TPopupMenu* Menu = nullptr;
    TWinControl* Control = nullptr;
    TComponent* SkinData = nullptr;  // the skin for the menu; null: the form's menu skin
    int X = 0, Y = 0;
};

// The window message that carries a skin data's notice.
UINT SkinNoticeMessage(TvlSkinNotice notice);

// Walks the controls of `root` depth-first (root included) and calls
// SkinChanging (changing = true) or SkinChanged on every skinned control
// whose skin data is `sender`, or on every one when `sender` is null.
void RelaySkinChange(TControl* root, const TvlSkinData* sender, bool changing);

// The same for the components `owner` owns that are not controls (menus,
// hints and the like that take part in skin changes), depth-first.
void RelaySkinChangeToComponents(TComponent* owner, const TvlSkinData* sender, bool changing);

// Sends a notice to the sender's owner form first, then to every other form
// of the application in creation order; after each form has handled it, a
// change reaches the form's skinned controls, with or without a frame.
void SendSkinNoticeToForms(TvlSkinData& sender, TvlSkinNotice notice);

// After `form` was laid out again at `dpi`: each skin its controls wear is
// read at that DPI, or, already at it, gives them its sizes and fonts again
// (the layout scaled those with everything else).
class TForm;
void BringSkinsToDpi(TForm& form, int dpi);

// Makes every skin data deliver its notices to the forms, and every form
// relay a change or changing notice without a skin (first parameter 0),
// sent to it straight, to all its skinned controls and components
// (idempotent).
void InstallSkinMessages();
