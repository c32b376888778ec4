#include "app/StartupTimes.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TStartupTimes {
    std::string File;
    struct TMark {
        const char* Name;
        double Ms, CpuMs;
    };
    std::vector<TMark> Marks;
    TStartupTimes() {
        char path[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("PLANDESK_STARTUP_TIMES", path, sizeof path);
        if (n > 0 && n < sizeof path) File = path;
    }
};

TStartupTimes& Times() {
    static TStartupTimes times;
    return times;
}

// The thread's own processor time, which waiting for a busy machine leaves out.
double CpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto ms = [](FILETIME t) { return static_cast<double>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

double NowMs() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

void StartupMark(const char* name) {
    TStartupTimes& times = Times();
    if (!times.File.empty()) times.Marks.push_back({name, NowMs(), CpuMs()});
}

void WriteStartupTimes() {
    TStartupTimes& times = Times();
    if (times.File.empty()) return;
    if (FILE* f = std::fopen(times.File.c_str(), "w")) {
        for (const auto& mark : times.Marks) std::fprintf(f, "%s %.3f %.3f\n", mark.Name, mark.Ms, mark.CpuMs);
        std::fclose(f);
    }
}
