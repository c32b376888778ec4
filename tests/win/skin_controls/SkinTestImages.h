#pragma once
// Pictures for image lists in tests: a square of one colour on a ground of
// another, added to the list as its next image (the ground masked out when
// the list is masked).
#include <windows.h>

#include "toolkit/ComCtrls.h"

inline HBITMAP SquareBitmap(COLORREF square, COLORREF ground) {
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
    return bitmap;
}

inline void AddSquareImage(TImageList* images, COLORREF square, COLORREF ground) {
    HBITMAP bitmap = SquareBitmap(square, ground);
    images->AddMasked(bitmap, ground);
    DeleteObject(bitmap);
}
