#pragma once
// The skin at a display scale. A skin is made for 96 DPI; at another DPI
// every length of its description (rects, cut points, offsets, widths, font
// heights) is scaled by one rule, and its pictures are resampled piece by
// piece between the description's cut lines, so that corners and borders
// stay sharp and transparent-key pixels stay exact.
//
// A package may carry the skin already drawn at other scales: after the
// 96-DPI description comes a NUL byte (where a description's text ends for
// every reader), a marker and, per scale, int32 DPI, int32 length and a whole
// uncompressed package at that scale. A reader that knows nothing of scales
// reads the 96-DPI skin exactly as before.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/PixelImage.h"
#include "skin/data/vlSkinPackage.h"

constexpr int SkinBaseDpi = 96;
// The scales the built-in skins are drawn at besides 96 DPI (150 % and
// 200 %), each in a folder of this name beside the 96-DPI skin.
inline constexpr int SkinGeneratedDpis[] = {144, 192};
inline std::string ScaledSkinFolder(int dpi) { return "dpi" + std::to_string(dpi); }

// A length of the 96-DPI skin at `dpi`, rounded half away from zero. Edges
// are scaled, never sizes, so rectangles that touch at 96 DPI still touch.
int ScaleSkinLength(int value, int dpi);

// The description text with every length scaled to `dpi`; every other byte
// is kept. At 96 DPI the text is returned unchanged.
std::string ScaleSkinDescription(std::string_view text, int dpi);

// The cut lines a description puts on its pictures, in 96-DPI coordinates:
// the vertical lines (rect left/right edges, point x) and the horizontal ones.
struct TvlSkinCuts {
    std::vector<int> X, Y;
};
TvlSkinCuts SkinDescriptionCuts(std::string_view text);

// `picture`, drawn at `fromDpi`, resampled to `toDpi`. Each piece between two
// cut lines is scaled on its own by nearest neighbour, so no output pixel
// takes its colour from across a cut and no new colour appears.
TPixelImage ScaleSkinPicture(const TPixelImage& picture, const TvlSkinCuts& cuts, int fromDpi, int toDpi);

// The 96-DPI package `raw` with the packages of other scales appended
// (pairs of DPI and uncompressed package).
std::string AppendScaledSkins(std::string raw, const std::vector<std::pair<int, std::string>>& scaled);
// The DPIs a package carries besides 96, in the order stored.
std::vector<int> ScaledSkinDpis(std::string_view raw);

// Reads the package for a display of `dpi`: the scale drawn for it, else the
// next larger one scaled down, else the 96-DPI skin scaled. The description
// comes back at that DPI too. Nothing for version 4 and above, as
// ReadSkinPackage; malformed scaled entries raise ESkinPackageError.
std::optional<TvlSkinPackage> ReadSkinPackageForDpi(std::string_view raw, int dpi);
