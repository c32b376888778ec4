#pragma once
// Whole-file reads and writes in the program's folder, and a set of files
// replaced together.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The folder of the running program, with a trailing separator. Tests point
// it elsewhere with SetProgramFolderOverride.
std::string ProgramFolder();
void SetProgramFolderOverride(const std::string& folder);

// The path of `name` in `folder`; on a case-sensitive file system an existing
// file whose name differs only in letter case is the same file.
std::string ResolveFileName(const std::string& folder, const std::string& name);

bool FileExists(const std::string& path);

// Whole contents, or nothing when the file does not exist. A file that exists
// but cannot be read raises EFOpenError.
std::optional<std::string> ReadFileIfExists(const std::string& path);

// Writes a set of files so that either all of them are replaced or none is:
// each is written to a temporary file beside it and forced to the disk, and
// only when every one was written completely are they moved over the old
// files (a power cut after a move then finds the new contents, not an empty
// file the system had not yet written out). Should one of those
// moves fail, the files already replaced get their old contents back. A
// failure raises EFCreateError and removes the temporary files.
class TFileSetWriter {
public:
    ~TFileSetWriter();
    void Add(const std::string& path, const std::string& bytes);
    void Commit();

    // For tests: makes the write, or the move over the old file, of the n-th
    // file (0-based) fail.
    static void FailWriteForTesting(int index);
    static void FailMoveForTesting(int index);

private:
    struct Pending {
        std::string Path, Temp;
    };
    std::vector<Pending> FPending;
};

// The file system calls a save makes, in the order it makes them. Each
// answers false (Create: -1) with the system's text of what failed in
// `error`. Tests put their own in front of the system's to see the order of
// the calls and to make one of them fail.
class TFileCalls {
public:
    virtual ~TFileCalls() = default;
    // Creates the file, or empties an existing one.
    virtual intptr_t Create(const std::string& path, std::string& error) = 0;
    virtual bool Write(intptr_t file, const std::string& bytes, std::string& error) = 0;
    // Forces what was written to the disk.
    virtual bool Flush(intptr_t file, std::string& error) = 0;
    virtual bool Close(intptr_t file, std::string& error) = 0;
    virtual bool Move(const std::string& from, const std::string& to, std::string& error) = 0;
};
// The system's calls.
TFileCalls& SystemFileCalls();
// The calls TFileSetWriter makes from now on; nullptr: the system's again.
void SetFileCallsForTesting(TFileCalls* calls);

// Platform services behind the functions above.
namespace platform {
std::string ExecutableFolder();
intptr_t CreateFileForWriting(const std::string& path, std::string& error);
bool WriteToFile(intptr_t file, const std::string& bytes, std::string& error);
bool FlushFileToDisk(intptr_t file, std::string& error);
bool CloseFile(intptr_t file, std::string& error);
bool MoveOverFile(const std::string& from, const std::string& to, std::string& error);
// A second name for an existing file; false where the file system has none.
bool LinkFile(const std::string& existing, const std::string& link);
std::vector<std::string> ListFolder(const std::string& folder);
bool FileSystemIsCaseSensitive();
// Folders for kept copies of the data files. MakeFolder succeeds when the
// folder exists already; RemoveFolder removes an empty folder.
bool MakeFolder(const std::string& path, std::string& error);
bool RemoveFile(const std::string& path);
bool RemoveFolder(const std::string& path);
// Renames a folder; fails when `to` exists.
bool MoveFolder(const std::string& from, const std::string& to, std::string& error);
// The names of the folders inside `folder` ("." and ".." left out).
std::vector<std::string> ListSubfolders(const std::string& folder);
// When the file was last written, in seconds since 1970 (UTC); nothing when
// it does not exist.
std::optional<int64_t> FileWriteTime(const std::string& path);
}  // namespace platform
