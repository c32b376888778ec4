#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/FileIO.h"

namespace platform {

std::string ExecutableFolder() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

bool MoveOverFile(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

bool LinkFile(const std::string& existing, const std::string& newName) {
    return link(existing.c_str(), newName.c_str()) == 0;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (dirent* e = readdir(dir)) names.emplace_back(e->d_name);
    closedir(dir);
    return names;
}

bool FileSystemIsCaseSensitive() { return true; }

}  // namespace platform
