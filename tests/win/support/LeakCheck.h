#pragma once
// Leak check for window tests: the GDI objects the program's owners hold and
// the window timers alive before a scenario must be alive after it, no more.
// The platform's own per-process GDI count is not available under every
// platform the tests run on, so the counts come from the owners themselves.
//
//   TLeakCheck leaks;
//   ... open and close a dialog ...
//   leaks.ExpectNone("the options dialog");
#include <string>

#include "core/Gdi.h"

class TLeakCheck {
public:
    TLeakCheck();
    // Takes the counts again as the new starting point.
    void Restart();
    // What differs from the start, one "bitmap: 3 -> 4" clause per kind;
    // empty when nothing does.
    std::string Differences() const;
    // A GoogleTest failure naming the scenario and the differences.
    void ExpectNone(const std::string& scenario) const;

private:
    TGdiCounts FGdi;
    int FTimers = 0;
};

// Windows of the calling thread that still exist: the top-level ones, and
// those with all their descendants. Scenarios compare them before and after.
int ThreadTopLevelWindowCount();
int ThreadWindowCount();
