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
int& MoveFailIndex() {
    static int index = -1;
    return index;
}

struct TSystemFileCalls : TFileCalls {
    intptr_t Create(const std::string& path, std::string& error) override {
        return platform::CreateFileForWriting(path, error);
    }
    bool Write(intptr_t file, const std::string& bytes, std::string& error) override {
        return platform::WriteToFile(file, bytes, error);
    }
    bool Flush(intptr_t file, std::string& error) override { return platform::FlushFileToDisk(file, error); }
    bool Close(intptr_t file, std::string& error) override { return platform::CloseFile(file, error); }
    bool Move(const std::string& from, const std::string& to, std::string& error) override {
        return platform::MoveOverFile(from, to, error);
    }
};

TFileCalls*& CallsOverride() {
    static TFileCalls* calls = nullptr;
    return calls;
}

TFileCalls& Calls() { return CallsOverride() ? *CallsOverride() : SystemFileCalls(); }

// `error` is the text of the call that failed: a full disk may show only
// when the data is forced out or the file is closed.
bool WriteWholeFile(const std::string& path, const std::string& bytes, bool flush, std::string& error) {
    TFileCalls& calls = Calls();
    intptr_t file = calls.Create(path, error);
    if (file == -1) return false;
    bool ok = calls.Write(file, bytes, error) && (!flush || calls.Flush(file, error));
    std::string closeError;
    if (!calls.Close(file, closeError) && ok) {
        error = closeError;
        ok = false;
    }
    return ok;
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
    // Read into place in one go where the size is known: growing the text
    // piece by piece copies it several times, which under Wine costs as much
    // as the reading for a large plan. A size beyond any plan (what some
    // systems answer for a folder) is read in pieces.
    long size = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    if (std::fseek(f, 0, SEEK_SET) != 0) size = -1;
    if (size > 0 && size <= (256l << 20)) {
        data.resize(static_cast<size_t>(size));
        data.resize(std::fread(data.data(), 1, data.size(), f));
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
    bool failed = std::ferror(f) != 0;
    int error = errno;
    std::fclose(f);
    if (failed) throw EFOpenError(path, SystemErrorText(error));
    return data;
}

TFileCalls& SystemFileCalls() {
    static TSystemFileCalls calls;
    return calls;
}

void SetFileCallsForTesting(TFileCalls* calls) { CallsOverride() = calls; }

TFileSetWriter::~TFileSetWriter() {
    for (const Pending& p : FPending) std::remove(p.Temp.c_str());
}

void TFileSetWriter::FailWriteForTesting(int index) {
    FailIndex() = index;
    WriteCounter() = 0;
}

void TFileSetWriter::FailMoveForTesting(int index) { MoveFailIndex() = index; }

void TFileSetWriter::Add(const std::string& path, const std::string& bytes) {
    Pending p{path, path + ".saving"};
    FPending.push_back(p);
    std::string error;
    bool ok = WriteWholeFile(p.Temp, bytes, true, error);
    if (FailIndex() >= 0 && WriteCounter()++ == FailIndex()) {
        FailIndex() = -1;
        ok = false;
        error = SystemErrorText(ENOSPC);
    }
    if (!ok) throw EFCreateError(path, error);
}

void TFileSetWriter::Commit() {
    // Every file is complete on disk. The old files get a second name first
    // (a copy where the file system has no links), so that when a later move
    // fails, say over a file another program holds open, the files already
    // replaced can be put back.
    std::vector<std::string> previous(FPending.size());
    auto dropPrevious = [&] {
        for (const std::string& name : previous)
            if (!name.empty()) std::remove(name.c_str());
    };
    for (size_t i = 0; i < FPending.size(); ++i) {
        const std::string& path = FPending[i].Path;
        if (!FileExists(path)) continue;
        previous[i] = path + ".previous";
        std::remove(previous[i].c_str());
        if (platform::LinkFile(path, previous[i])) continue;
        std::string reason;
        try {
            std::optional<std::string> old = ReadFileIfExists(path);
            // Only a failed save reads it back, at once: not forced out.
            if (!old)
                previous[i].clear();
            else if (!WriteWholeFile(previous[i], *old, false, reason) && reason.empty())
                reason = SystemErrorText(EIO);
        } catch (const EFOpenError& e) {
            reason = e.Message();
        }
        if (!reason.empty()) {
            dropPrevious();
            throw EFCreateError(path, reason);
        }
    }

    size_t moved = 0;
    std::string error;
    for (; moved < FPending.size(); ++moved) {
        if (static_cast<int>(moved) == MoveFailIndex()) {
            MoveFailIndex() = -1;
            error = SystemErrorText(EACCES);
            break;
        }
        if (!Calls().Move(FPending[moved].Temp, FPending[moved].Path, error)) break;
    }
    if (moved < FPending.size()) {
        std::string failed = FPending[moved].Path;
        for (size_t j = 0; j < moved; ++j) {
            const std::string& path = FPending[j].Path;
            std::string restoreError;
            if (previous[j].empty()) {
                std::remove(path.c_str());  // it did not exist before
            } else if (Calls().Move(previous[j], path, restoreError)) {
                previous[j].clear();
            } else {
                error += ". The previous contents of \"" + path + "\" are kept in \"" + previous[j] + "\"";
                previous[j].clear();
            }
        }
        dropPrevious();
        throw EFCreateError(failed, error);
    }
    FPending.clear();
    dropPrevious();
}
