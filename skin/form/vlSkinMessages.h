#pragma once
// Skin messages: window messages whose first parameter is the skin data and
// whose second is 1000, and the menu messages without parameters.
#include <windows.h>

#include "skin/data/vlSkinData.h"
#include "toolkit/Controls.h"

constexpr UINT WM_SKINCHANGING = WM_USER + 201;
constexpr UINT WM_SKINCHANGED = WM_USER + 202;
constexpr UINT WM_SKINCHANGED_MDI = WM_USER + 203;
// WM_CLOSESKINMENUS and WM_SKINMENUITEMDONE, which controls receive from
// the menu engine, are declared with the controls (toolkit/Controls.h).
constexpr UINT WM_SKINSTRINGSCHANGED = WM_USER + 250;
constexpr LPARAM SkinMessageParam = 1000;

// The window message that carries a skin data's notice.
UINT SkinNoticeMessage(TvlSkinNotice notice);

// Sends a notice to the sender's owner form first, then to every other form
// of the application in creation order.
void SendSkinNoticeToForms(TvlSkinData& sender, TvlSkinNotice notice);

// Makes every skin data deliver its notices to the forms (idempotent).
void InstallSkinMessages();
