#pragma once
// Sibling classes of the toolkit's own window class with more class styles
// (class styles belong to a class, so each set of them is a class of its
// own). A control whose CreateParams names one is still an own-class
// control: windowless children, own painting, the toolkit's procedure.
#include <windows.h>

// Registers the sibling with `extraStyle` once and gives its name.
const char* OwnWindowClassWithStyle(UINT extraStyle);
