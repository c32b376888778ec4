// Builds skin packages from skin folders and lists what a package holds.
//
//   skinpack build <folder>/<description> <package file>   package file (header + zlib stream), with
//                                                          the scaled skins of <folder>/dpi<N>/ appended
//   skinpack stream <folder>/<description> <stream file>   the zlib stream alone, as a form stores it
//   skinpack list <package file>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "core/FileIO.h"
#include "skin/data/vlSkinData.h"
#include "skin/data/vlSkinScale.h"

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw EFCreateError(path, "write failed");
}

std::string Size(const TPixelImage& image) {
    return image.Empty() ? "absent" : std::to_string(image.Width) + " x " + std::to_string(image.Height);
}

int Build(const std::string& description, const std::string& output, bool wrap) {
    TvlCompressedStoredSkin stored;
    stored.BuildFromDescription(description);
    if (stored.IsDataEmpty()) {
        std::cerr << "skinpack: " << description
                  << " lacks one of [VERSION], [PICTURES], [FORMINFO], [SKINOBJECTS], [SKINCONTROLS]\n";
        return 1;
    }
    // Loading it back proves the package is one the program can read.
    TvlSkinData check;
    check.LoadStoredSkin(&stored);
    if (!wrap) {
        WriteBytes(output, stored.CompressedData());
        return 0;
    }
    std::filesystem::path path(description);
    std::vector<std::pair<int, std::string>> scaled;
    for (int dpi : SkinGeneratedDpis) {
        std::filesystem::path folder = path.parent_path() / ScaledSkinFolder(dpi);
        if (!std::filesystem::exists(folder / path.filename())) continue;
        TvlCompressedStoredSkin scaledSkin;
        scaledSkin.BuildFromDescription((folder / path.filename()).string());
        if (!scaledSkin.IsDataEmpty()) scaled.emplace_back(dpi, scaledSkin.DecompressTo());
    }
    if (scaled.empty()) {
        WriteBytes(output, MakeSkinPackageFile(stored.CompressedData()));
        return 0;
    }
    std::string raw = AppendScaledSkins(stored.DecompressTo(), scaled);
    for (const auto& entry : scaled) ReadSkinPackageForDpi(raw, entry.first);  // each scale reads back
    WriteBytes(output, MakeSkinPackageFile(DeflateSkinStream(raw)));
    return 0;
}

int List(const std::string& path) {
    TvlCompressedStoredSkin stored;
    stored.LoadCompressedFile(path);
    if (stored.IsDataEmpty()) {
        std::cout << path << ": file version above 3, not read\n";
        return 1;
    }
    std::string raw = stored.DecompressTo();
    std::optional<TvlSkinPackage> package = ReadSkinPackage(raw);
    if (!package) {
        std::cout << path << ": package version 4 or above, not read\n";
        return 1;
    }
    TvlSkinData skin;
    skin.LoadStoredSkin(&stored);
    std::cout << "package:            " << path << "\n"
              << "compressed bytes:   " << stored.CompressedData().size() << "\n"
              << "uncompressed bytes: " << raw.size() << "\n"
              << "version:            " << package->Version << "\n"
              << "skin name:          " << skin.SkinName << "\n"
              << "frame picture:      " << Size(skin.MainPicture) << "\n"
              << "inactive picture:   " << Size(skin.MainInactivePicture) << "\n"
              << "mask:               " << Size(skin.MainMask) << "\n"
              << "pictures:           " << skin.PictureList.size() << "\n";
    for (size_t i = 0; i < skin.PictureList.size(); ++i)
        std::cout << "  " << i << ": " << (i < skin.PictureNames.size() ? skin.PictureNames[i] : "") << " "
                  << Size(skin.PictureList[i]) << "\n";
    std::cout << "description bytes:  " << package->Text.substr(0, package->Text.find('\0')).size() << "\n";
    for (int dpi : ScaledSkinDpis(raw)) {
        TvlSkinPackage scaled = *ReadSkinPackageForDpi(raw, dpi);
        std::cout << "scaled for " << dpi << " DPI:  frame picture " << Size(scaled.MainPicture) << "\n";
    }
    std::cout << "skin objects:       " << skin.SkinObjects.size() << "\n";
    for (const auto& o : skin.SkinObjects) std::cout << "  " << o->ElementName << "\n";
    std::cout << "skin controls:      " << skin.SkinControls.size() << "\n";
    for (const auto& c : skin.SkinControls) std::cout << "  " << c->ElementName << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    try {
        if ((command == "build" || command == "stream") && argc == 4)
            return Build(argv[2], argv[3], command == "build");
        if (command == "list" && argc == 3) return List(argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "skinpack: " << e.what() << "\n";
        return 1;
    }
    std::cerr << "usage: skinpack build <description> <package file>\n"
                 "       skinpack stream <description> <stream file>\n"
                 "       skinpack list <package file>\n";
    return 2;
}
