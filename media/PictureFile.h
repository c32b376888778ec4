#pragma once
// Pictures for the picture control and the application icon, by file
// extension: bitmap (.bmp), icon (.ico), JPEG (.jpg, .jpeg, .jpe, .jfif)
// and GIF (.gif, its first frame). Windows build only.
#include <windows.h>

#include <string>

#include "core/Gdi.h"

// Loads the picture file at `path` into a new bitmap, in the format that the
// extension of `formatName` names (the file itself may be named otherwise).
// Raises Exception for an unknown extension, a missing file or a picture
// that cannot be read.
TGdiBitmap LoadPictureBitmap(const std::string& path, const std::string& formatName);

// The lower-cased extension of a file name, without the dot ("" when none).
std::string PictureExtension(const std::string& fileName);
