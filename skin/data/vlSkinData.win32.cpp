#include <windows.h>

#include "skin/data/vlSkinData.h"

std::string BuiltInSkinStream() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "VL_BUILTIN_SKIN", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return {};
    HGLOBAL data = LoadResource(module, resource);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return {};
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, resource));
}
