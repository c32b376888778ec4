#pragma once
// Pictures for image lists in tests: a square of one colour on a ground of
// another, added to the list as its next image.
#include <windows.h>

#include "toolkit/ComCtrls.h"

inline void AddSquareImage(TImageList* images, COLORREF square, COLORREF ground) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16}, inner{4, 4, 12, 12};
    HBRUSH groundBrush = CreateSolidBrush(ground), squareBrush = CreateSolidBrush(square);
    FillRect(dc, &all, groundBrush);
    FillRect(dc, &inner, squareBrush);
    SelectObject(dc, old);
    DeleteObject(groundBrush);
    DeleteObject(squareBrush);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    images->Add(bitmap);
    DeleteObject(bitmap);
}
