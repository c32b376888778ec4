#include "core/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/Errors.h"
#include "core/TextCompare.h"

namespace {
std::string& FolderOverride() {
    static std::string folder;
    return folder;
}
int& FailIndex() {
    static int index = -1;
    return index;
}
int& WriteCounter() {
    static int counter = 0;
    return counter;
}
}  // namespace

std::string ProgramFolder() {
    if (!FolderOverride().empty()) return FolderOverride();
    return platform::ExecutableFolder();
}

void SetProgramFolderOverride(const std::string& folder) {
    std::string f = folder;
    if (!f.empty() && f.back() != '/' && f.back() != '\\') f += '/';
    FolderOverride() = f;
}

std::string ResolveFileName(const std::string& folder, const std::string& name) {
    std::string exact = folder + name;
    if (!platform::FileSystemIsCaseSensitive() || FileExists(exact)) return exact;
    for (const std::string& entry : platform::ListFolder(folder))
        if (AnsiSameText(entry, name)) return folder + entry;
    return exact;
}

bool FileExists(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f) {
        std::fclose(f);
        return true;
    }
    return errno != ENOENT && errno != ENOTDIR;
}

std::optional<std::string> ReadFileIfExists(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        throw EFOpenError(path, SystemErrorText(errno));
    }
    std::string data;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
    bool failed = std::ferror(f) != 0;
    int error = errno;
    std::fclose(f);
    if (failed) throw EFOpenError(path, SystemErrorText(error));
    return data;
}

TFileSetWriter::~TFileSetWriter() {
    for (const Pending& p : FPending) std::remove(p.Temp.c_str());
}

void TFileSetWriter::FailWriteForTesting(int index) {
    FailIndex() = index;
    WriteCounter() = 0;
}

void TFileSetWriter::Add(const std::string& path, const std::string& bytes) {
    Pending p{path, path + ".saving"};
    FILE* f = std::fopen(p.Temp.c_str(), "wb");
    if (!f) throw EFCreateError(path, SystemErrorText(errno));
    FPending.push_back(p);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (FailIndex() >= 0 && WriteCounter()++ == FailIndex()) {
        FailIndex() = -1;
        ok = false;
        error = ENOSPC;
    }
    if (!ok) throw EFCreateError(path, SystemErrorText(error ? error : EIO));
}

void TFileSetWriter::Commit() {
    // Every file is complete on disk; now each replace is one rename.
    while (!FPending.empty()) {
        Pending p = FPending.front();
        std::string error;
        if (!platform::MoveOverFile(p.Temp, p.Path, error)) throw EFCreateError(p.Path, error);
        FPending.erase(FPending.begin());
    }
}
