// The reporter's settings as the program runs: the options in force, each
// module's stored options, and the warnings collected while installing.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "crash/ExceptionLog.h"
#include "crash/Handling.h"
#include "crash/Options.h"

namespace {
SRWLOCK g_optionsLock = SRWLOCK_INIT;
TVesperModuleOptionsEx* g_options = nullptr;
SRWLOCK g_warningsLock = SRWLOCK_INIT;
std::vector<std::string>* g_warnings = nullptr;
}  // namespace

void AddInstallWarning(const std::string& text) {
    AcquireSRWLockExclusive(&g_warningsLock);
    if (!g_warnings) g_warnings = new std::vector<std::string>;
    g_warnings->push_back(text);
    ReleaseSRWLockExclusive(&g_warningsLock);
}

std::vector<std::string> InstallWarnings() {
    AcquireSRWLockShared(&g_warningsLock);
    std::vector<std::string> copy = g_warnings ? *g_warnings : std::vector<std::string>();
    ReleaseSRWLockShared(&g_warningsLock);
    return copy;
}

void SetCrashReporterOptions(const TVesperModuleOptions& options) {
    AcquireSRWLockExclusive(&g_optionsLock);
    if (g_options)
        *g_options = TVesperModuleOptionsEx(options);
    else
        g_options = new TVesperModuleOptionsEx(options);
    ReleaseSRWLockExclusive(&g_optionsLock);
    if (options.FreezeTimeout > 0) StartFreezeWatch();
}

TVesperModuleOptionsEx CrashReporterOptions() {
    AcquireSRWLockShared(&g_optionsLock);
    TVesperModuleOptionsEx copy = g_options ? *g_options : TVesperModuleOptionsEx();
    ReleaseSRWLockShared(&g_optionsLock);
    return copy;
}

namespace {
std::optional<TVesperModuleOptions> StoredOptionsOf(HMODULE module) {
    HRSRC found = FindResourceA(module, "VLDATA", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) return std::nullopt;
    try {
        return DecodeStoredOptions(std::string(data, SizeofResource(module, found)));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
}  // namespace

TVesperModuleOptions ModuleOptionsAt(uint64_t address) {
    HMODULE module = nullptr;
    if (address &&
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(address), &module) &&
        module != GetModuleHandleA(nullptr))
        if (std::optional<TVesperModuleOptions> own = StoredOptionsOf(module)) return *own;
    return CrashReporterOptions();
}

TVesperModuleOptions StoredProgramOptions() { return StoredOptionsOf(nullptr).value_or(TVesperModuleOptions()); }
