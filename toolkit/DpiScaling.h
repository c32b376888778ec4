#pragma once
// Layout lengths across display scales. A length is written for 96 DPI and
// shown at the DPI of its window; the 96-DPI value is kept beside the shown
// one, so that going to another scale and back gives the same pixels again.
#include "core/DisplayScale.h"

// One length of a layout: its value at 96 DPI, and the value it came out as
// at its last scaling (a skin may fit a size, a label fits its text). While
// the shown value is still that one, the 96-DPI value stands; a value
// changed since (the user dragged a splitter, the program moved a control)
// becomes the new 96-DPI value.
struct TDesignLength {
    int Design = 0;
    int Shown = 0;
    bool Settled = false;

    int Rescale(int shown, int fromDpi, int toDpi) {
        TakeDesign(shown, fromDpi);
        return ScaleForDpi(Design, toDpi);
    }
    // The same for a font's height, which rounds as fonts do.
    int RescaleFont(int shown, int fromDpi, int toDpi) {
        TakeDesign(shown, fromDpi);
        return ScaleFontForDpi(Design, toDpi);
    }
    void TakeDesign(int shown, int fromDpi) {
        if (!Settled || shown != Shown) Design = fromDpi == kDesignDpi ? shown : MulDiv(shown, kDesignDpi, fromDpi);
    }
    // What the scaled value came out as.
    void Settle(int shown) {
        Shown = shown;
        Settled = true;
    }
};

// The lengths a control keeps across scales: its edges, each as its
// distance to the side of the parent it is tied to (scaling edges rather than
// sizes keeps touching controls touching); for an aligned control, whose
// place its parent gives, its size across the side it is aligned to; and its
// font's height.
struct TControlDesign {
    TDesignLength Left, Top, Right, Bottom;
    TDesignLength Size;
    TDesignLength FontHeight;
};
