#pragma once
// The baseline of the task list: a bare list view with the same columns and
// check boxes, filled with redraw off. Each step returns its milliseconds.
#include <windows.h>

class TBareList {
public:
    TBareList();
    ~TBareList();

    double Fill(int rows);
    // Pages from the top row to the last, each page painted before the next.
    double Page(int rows);
    double Clear();

private:
    static void Pump();
    HWND FFrame = nullptr, FList = nullptr;
};
