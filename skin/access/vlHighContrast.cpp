#include "skin/access/vlHighContrast.h"

namespace {
bool gSteppedAside = false;
bool gRead = false;
std::function<void()>& Handler() {
    static std::function<void()> handler;
    return handler;
}
}  // namespace

bool TSystemSystemSettings::HighContrast() {
    HIGHCONTRASTA hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

template <>
TSystemSettings& SystemService<TSystemSettings>() {
    static TSystemSystemSettings settings;
    return settings;
}

bool vlSkinStepsAside() {
    if (!gRead) {
        gRead = true;
        gSteppedAside = Service<TSystemSettings>().HighContrast();
    }
    return gSteppedAside;
}

void vlRefreshHighContrast() {
    bool was = vlSkinStepsAside();
    gSteppedAside = Service<TSystemSettings>().HighContrast();
    if (was != gSteppedAside && Handler()) Handler()();
}

void vlSetHighContrastHandler(std::function<void()> handler) { Handler() = std::move(handler); }
