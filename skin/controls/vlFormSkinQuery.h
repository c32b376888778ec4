#pragma once
// Asked of a form: the skin its frame component wears (the frame answers
// with the skin data, 0 when it has none; a form without a frame answers 0).
#include <windows.h>

class TvlSkinData;

constexpr UINT TM_FORMSKIN = WM_APP + 0x3E26;

inline TvlSkinData* FormSkin(HWND form) {
    return form ? reinterpret_cast<TvlSkinData*>(SendMessageA(form, TM_FORMSKIN, 0, 0)) : nullptr;
}
