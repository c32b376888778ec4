#include "app/PlannerIcons.h"

#include <windows.h>

#include "core/Gdi.h"

namespace {
// Each picture is 16 rows of 16 cells: '.' white, 'k' outline, 'y'/'Y' folder
// yellows, 'g'/'G' book greens, 'w' page white.
const char* const kFolder[16] = {"................", "................", ".kkkkk..........", "kYYYYYk.........",
                                 "kYYYYYYkkkkkkk..", "kYYYYYYYYYYYYYk.", "kyyyyyyyyyyyyyk.", "kyyyyyyyyyyyyyk.",
                                 "kyyyyyyyyyyyyyk.", "kyyyyyyyyyyyyyk.", "kyyyyyyyyyyyyyk.", "kyyyyyyyyyyyyyk.",
                                 "kyyyyyyyyyyyyyk.", "kkkkkkkkkkkkkkk.", "................", "................"};
const char* const kBook[16] = {"................", "...kkkkkkkkkk...", "..kGggggggggk...", "..kGggggggggk...",
                               "..kGggwwwwggk...", "..kGggggggggk...", "..kGggwwwwggk...", "..kGggggggggk...",
                               "..kGggggggggk...", "..kGggggggggk...", "..kGggggggggk...", "..kGggggggggk...",
                               "..kGkkkkkkkkk...", "..kGwwwwwwwwk...", "...kkkkkkkkkk...", "................"};

COLORREF CellColor(char c) {
    switch (c) {
        case 'k': return RGB(90, 70, 20);
        case 'Y': return RGB(255, 222, 110);
        case 'y': return RGB(244, 196, 48);
        case 'G': return RGB(20, 110, 40);
        case 'g': return RGB(46, 160, 67);
        case 'w': return RGB(235, 245, 235);
        default: return RGB(255, 255, 255);
    }
}

void AddPicture(TImageList& images, const char* const rows[16]) {
    unsigned char bits[16 * 16 * 4];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            COLORREF c = CellColor(rows[y][x]);
            unsigned char* p = bits + (y * 16 + x) * 4;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = 0;
        }
    // A bitmap that no device context holds, as the image list requires.
    TGdiBitmap bitmap(CreateBitmap(16, 16, 1, 32, bits));
    images.Add(bitmap.Handle());
}
}  // namespace

void AddPlannerIcons(TImageList& images) {
    AddPicture(images, kFolder);
    AddPicture(images, kBook);
}
