#pragma once
// Pictures for the picture control and the application icon, by file
// extension: bitmap (.bmp), icon (.ico), metafile (.emf, .wmf), JPEG (.jpg,
// .jpeg, .jpe, .jfif) and GIF (.gif, its first frame). Windows build only.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Gdi.h"

// A registered picture format: the extension it is chosen by, its
// description, and how a file of it becomes a bitmap.
struct TPictureFormat {
    std::string Extension;  // lower case, no dot
    std::string Description;
    std::function<TGdiBitmap(const std::string& path)> Load;
};
// The formats in the order they were registered (the built-in ones first);
// registering an extension again replaces its format.
const std::vector<TPictureFormat>& PictureFormats();
void RegisterPictureFormat(const TPictureFormat& format);

// Loads the picture file at `path` into a new bitmap, in the format that the
// extension of `formatName` names (the file itself may be named otherwise).
// Raises Exception for an unknown extension, a missing file or a picture
// that cannot be read.
TGdiBitmap LoadPictureBitmap(const std::string& path, const std::string& formatName);

// The lower-cased extension of a file name, without the dot ("" when none).
std::string PictureExtension(const std::string& fileName);
