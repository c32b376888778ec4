#pragma once
// Whole-file reads and writes in the program's folder, and a set of files
// replaced together.
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
// each is written to a temporary file beside it, and only when every one was
// written completely are they moved over the old files. Should one of those
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

// Platform services behind the functions above.
namespace platform {
std::string ExecutableFolder();
bool MoveOverFile(const std::string& from, const std::string& to, std::string& error);
// A second name for an existing file; false where the file system has none.
bool LinkFile(const std::string& existing, const std::string& link);
std::vector<std::string> ListFolder(const std::string& folder);
bool FileSystemIsCaseSensitive();
}  // namespace platform
