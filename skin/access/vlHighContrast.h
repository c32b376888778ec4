#pragma once
// High contrast: while the system's setting is on, the skin steps aside and
// every window draws its plain look in the system's colours; the switch is
// live (WM_SETTINGCHANGE reaches the access server of each top-level
// window). The setting is read through a replaceable service, like the other
// platform services.
#include <windows.h>

#include <functional>

#include "core/WindowServices.h"

class TSystemSettings {
public:
    virtual ~TSystemSettings() = default;
    virtual bool HighContrast() = 0;
};

class TSystemSystemSettings : public TSystemSettings {
public:
    bool HighContrast() override;
};

template <>
TSystemSettings& SystemService<TSystemSettings>();

// Whether the skin steps aside now (the setting as last read).
bool vlSkinStepsAside();
// Reads the setting again; when it changed, every form takes its new look.
void vlRefreshHighContrast();
// What re-applies the looks (the forms' side registers it).
void vlSetHighContrastHandler(std::function<void()> handler);
