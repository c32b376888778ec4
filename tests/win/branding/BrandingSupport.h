#pragma once
// Shared by the branding tests: test pictures, a stand-in browser registered
// as the shell's web-page command, and small GIFs built byte by byte.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/native/media/GIFBuilder.h"
#include "tests/win/support/UiDriver.h"

namespace branding {

inline std::string ExeFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// A picture from the tests' data folder (copied beside the test program).
inline std::string DataFile(const std::string& name) { return ui::ReadFile(ExeFolder() + "data\\" + name); }

// A GIF of `width` × `height` whose frames each fill the screen with one
// colour index and show for `delays` hundredths of a second.
inline std::string PlainGIF(int width, int height, const std::vector<int>& delays) {
    GIFBuilder b(width, height);
    b.Application("NETSCAPE2.0", std::string("\x01\x01\x00", 3));  // asks for one repetition
    for (size_t i = 0; i < delays.size(); ++i)
        b.GraphicControl(1, delays[i])
            .Image(0, 0, width, height,
                   std::vector<uint8_t>(static_cast<size_t>(width) * height, static_cast<uint8_t>(1 + i % 3)));
    return b.Trailer();
}

// Registers `command` as HKEY_CLASSES_ROOT\htmlfile\shell\open\command for
// the lifetime of the object, then puts back what was there.
class BrowserCommand {
public:
    explicit BrowserCommand(const std::string& command) {
        RegCreateKeyExA(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr);
        char old[1024];
        DWORD size = sizeof old, type = 0;
        FHadValue =
            RegQueryValueExA(FKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS &&
            type == REG_SZ;
        if (FHadValue) FOld.assign(old, size ? size - 1 : 0);
        Set(command);
        DeleteFileA(RecordPath().c_str());
    }
    ~BrowserCommand() {
        if (FHadValue)
            Set(FOld);
        else
            RegDeleteValueA(FKey, nullptr);
        RegCloseKey(FKey);
        DeleteFileA(RecordPath().c_str());
    }
    // The stand-in browser's command line, quoted as browsers register it.
    static std::string Recorder() { return ExeFolder() + "args_recorder.exe"; }
    static std::string RecordPath() { return ExeFolder() + "recorded-args.txt"; }
    // The show command of the last start (read after Recorded()).
    static std::string RecordedShow() { return ui::ReadFile(ExeFolder() + "recorded-show.txt"); }
    // The arguments the stand-in browser got, one a line; empty when it was
    // not started within `milliseconds`.
    static std::string Recorded(int milliseconds = 5000) {
        DWORD start = GetTickCount();
        while (!ui::FileExistsAt(RecordPath())) {
            if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) return "";
            ui::Pump(20);
        }
        return ui::ReadFile(RecordPath());
    }

private:
    void Set(const std::string& value) {
        RegSetValueExA(FKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }
    static constexpr const char* kKey = "htmlfile\\shell\\open\\command";
    HKEY FKey = nullptr;
    bool FHadValue = false;
    std::string FOld;
};

}  // namespace branding
