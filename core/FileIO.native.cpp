#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

intptr_t CreateFileForWriting(const std::string& path, std::string& error) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) error = std::strerror(errno);
    return fd;
}

bool WriteToFile(intptr_t file, const std::string& bytes, std::string& error) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(static_cast<int>(file), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = std::strerror(n < 0 ? errno : EIO);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool FlushFileToDisk(intptr_t file, std::string& error) {
    if (fsync(static_cast<int>(file)) == 0) return true;
    error = std::strerror(errno);
    return false;
}

bool CloseFile(intptr_t file, std::string& error) {
    if (close(static_cast<int>(file)) == 0) return true;
    error = std::strerror(errno);
    return false;
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

bool MakeFolder(const std::string& path, std::string& error) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    struct stat info;
    if (errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
    error = std::strerror(errno);
    return false;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool RemoveFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool MoveFolder(const std::string& from, const std::string& to, std::string& error) {
    struct stat info;
    if (stat(to.c_str(), &info) == 0) {
        error = "exists";
        return false;
    }
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& name : ListFolder(folder)) {
        struct stat info;
        if (name != "." && name != ".." && stat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            names.push_back(name);
    }
    return names;
}

std::optional<int64_t> FileWriteTime(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<int64_t>(info.st_mtime);
}

}  // namespace platform
