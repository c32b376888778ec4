#pragma once
// IID_IAccessible, held here: taken from the import libraries it depends on
// their order on the link line (oleacc's import library also carries the
// name, as a thunk, and LresultFromObject then refuses the interface).
// Readers in other programs include this header alone.
#include <windows.h>

inline constexpr IID vlIID_IAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
