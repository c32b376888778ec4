#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA, which would rename ours.
#undef ReplaceFile

#include <algorithm>

#include "core/FileIO.h"

namespace platform {

namespace {
std::string LastErrorText() {
    char* text = nullptr;
    DWORD n =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n ? std::string(text, n) : std::string("Unknown error");
    if (text) LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    return s;
}
}  // namespace

std::string ExecutableFolder() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, n);
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

intptr_t CreateFileForWriting(const std::string& path, std::string& error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastErrorText();
        return -1;
    }
    return reinterpret_cast<intptr_t>(file);
}

bool WriteToFile(intptr_t file, const std::string& bytes, std::string& error) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30)), written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(file), bytes.data() + done, chunk, &written, nullptr) || !written) {
            error = LastErrorText();
            return false;
        }
        done += written;
    }
    return true;
}

bool FlushFileToDisk(intptr_t file, std::string& error) {
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(file))) return true;
    error = LastErrorText();
    return false;
}

// The one owner of a written file's handle is TFileSetWriter's write, which
// closes it on every path.
bool CloseFile(intptr_t file, std::string& error) {
    if (CloseHandle(reinterpret_cast<HANDLE>(file))) return true;
    error = LastErrorText();
    return false;
}

bool MoveOverFile(const std::string& from, const std::string& to, std::string& error) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    error = LastErrorText();
    return false;
}

bool LinkFile(const std::string& existing, const std::string& newName) {
    return CreateHardLinkA(newName.c_str(), existing.c_str(), nullptr) != 0;
}

std::vector<std::string> ListFolder(const std::string&) { return {}; }

bool FileSystemIsCaseSensitive() { return false; }

bool MakeFolder(const std::string& path, std::string& error) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD code = GetLastError();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (code == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    SetLastError(code);
    error = LastErrorText();
    return false;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

bool MoveFolder(const std::string& from, const std::string& to, std::string& error) {
    if (MoveFileExA(from.c_str(), to.c_str(), 0)) return true;
    error = LastErrorText();
    return false;
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::optional<int64_t> FileWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    const uint64_t ticks = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    // 100-nanosecond steps since 1601.
    return static_cast<int64_t>(ticks / 10000000ull) - 11644473600ll;
}

}  // namespace platform
