// Writes its arguments, one a line, to recorded-args.txt beside itself; the
// file appears complete or not at all. The show command it was started with
// goes to recorded-show.txt first.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    {
        std::ofstream out(folder + "recorded-show.txt", std::ios::binary);
        out << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? static_cast<int>(startup.wShowWindow) : -1);
    }
    {
        std::ofstream out(folder + "recorded-args.tmp", std::ios::binary);
        for (int i = 1; i < __argc; ++i) out << __argv[i] << "\n";
    }
    MoveFileExA((folder + "recorded-args.tmp").c_str(), (folder + "recorded-args.txt").c_str(),
                MOVEFILE_REPLACE_EXISTING);
    return 0;
}
