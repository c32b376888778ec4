#include <windows.h>

#include "core/DisplayScale.h"
#include "skin/data/vlSkinData.h"

namespace {
std::string RcData(const char* name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return {};
    HGLOBAL data = LoadResource(module, resource);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return {};
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, resource));
}
}  // namespace

std::string BuiltInSkinStream() { return RcData("VL_BUILTIN_SKIN"); }

std::string BuiltInSkinStream(int dpi) { return RcData(("VL_BUILTIN_SKIN_" + std::to_string(dpi)).c_str()); }

int SkinStartDpi() { return SystemDpi(); }
