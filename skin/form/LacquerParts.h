#pragma once
// What the frame component's own files share (Lacquer.cpp, LacquerMessages.cpp,
// LacquerStates.cpp, LacquerGeometry.cpp, vlCaptionObjects.cpp).
#include <windows.h>

#include "core/DisplayScale.h"

#include <string>
#include <vector>

#include "skin/controls/vlLookPieces.h"
#include "skin/controls/vlTextPen.h"
#include "skin/form/Lacquer.h"

namespace vlFrameParts {

using namespace vlLookPieces;

// Every frame alive, to find the minimized frames of other forms.
inline std::vector<TvlLacquer*>& AllFrames() {
    static std::vector<TvlLacquer*> frames;
    return frames;
}

// The built-in frame's border at 96 DPI.
inline constexpr int kBuiltInBorder = 3;

// A system metric at `dpi`: the platform's own for that DPI where it has
// GetSystemMetricsForDpi, else the 96-DPI metric scaled.
int SystemMetricForDpi(int index, int dpi);

inline uint32_t Rgb(TColor c) { return ColorToRGB(c); }

inline std::string WindowText(HWND w) {
    int n = GetWindowTextLengthA(w);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(w, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

}  // namespace vlFrameParts
