// Thread creation followed through the program's imports of CreateThread and
// _beginthreadex, so that every thread's report names the stack that
// created it.
#include <windows.h>

#include <cstring>
#include <memory>

#include "crash/Handling.h"
#include "crash/Report.h"

namespace {
using TCreateThread = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD, LPDWORD);
using TCrtStart = unsigned(__stdcall*)(void*);
using TBeginThreadEx = uintptr_t(__cdecl*)(void*, unsigned, TCrtStart, void*, unsigned, unsigned*);

TCreateThread g_createThread = nullptr;
TBeginThreadEx g_beginThreadEx = nullptr;

template <class TStartRoutine>
struct TStart {
    TStartRoutine Start;
    void* Parameter;
    std::vector<uint64_t> Stack;
};

std::vector<uint64_t> CreatorStack() {
    void* frames[48];
    USHORT n = RtlCaptureStackBackTrace(2, 48, frames, nullptr);
    std::vector<uint64_t> stack;
    for (USHORT i = 0; i < n && frames[i]; ++i) stack.push_back(reinterpret_cast<uint64_t>(frames[i]));
    return stack;
}

template <class TStartRoutine, class TResult>
TResult RunStart(void* parameter) {
    std::unique_ptr<TStart<TStartRoutine>> start(static_cast<TStart<TStartRoutine>*>(parameter));
    SetCreationStack(GetCurrentThreadId(), std::move(start->Stack));
    TStartRoutine routine = start->Start;
    void* argument = start->Parameter;
    start.reset();
    return routine(argument);
}

DWORD WINAPI CreateThreadStart(void* parameter) { return RunStart<LPTHREAD_START_ROUTINE, DWORD>(parameter); }
unsigned __stdcall BeginThreadStart(void* parameter) { return RunStart<TCrtStart, unsigned>(parameter); }

HANDLE WINAPI HookedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                 LPVOID parameter, DWORD flags, LPDWORD id) {
    auto* record = new TStart<LPTHREAD_START_ROUTINE>{start, parameter, CreatorStack()};
    HANDLE thread = g_createThread(security, stackSize, CreateThreadStart, record, flags, id);
    if (!thread) delete record;
    return thread;
}

uintptr_t __cdecl HookedBeginThreadEx(void* security, unsigned stackSize, TCrtStart start, void* parameter,
                                      unsigned flags, unsigned* id) {
    auto* record = new TStart<TCrtStart>{start, parameter, CreatorStack()};
    uintptr_t thread = g_beginThreadEx(security, stackSize, BeginThreadStart, record, flags, id);
    if (!thread) delete record;
    return thread;
}

// Replaces the program's import of `name` from `dll`; the original address
// goes to `original`. False when the program does not import it.
bool PatchImport(const char* dll, const char* name, void* hook, void** original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return false;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
         ++import) {
        if (_stricmp(reinterpret_cast<char*>(base + import->Name), dll) != 0 || !import->OriginalFirstThunk) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) continue;
            DWORD protection;
            if (!VirtualProtect(&addresses->u1.Function, sizeof(void*), PAGE_READWRITE, &protection)) {
                AddInstallWarning(WarningText("Hook", reinterpret_cast<uint64_t>(&addresses->u1.Function),
                                              std::string("Cannot hook the procedure \"") + name + "\"."));
                return false;
            }
            *original = reinterpret_cast<void*>(addresses->u1.Function);
            addresses->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
            VirtualProtect(&addresses->u1.Function, sizeof(void*), protection, &protection);
            return true;
        }
    }
    return false;
}
}  // namespace

void HookThreadCreation() {
    PatchImport("kernel32.dll", "CreateThread", reinterpret_cast<void*>(HookedCreateThread),
                reinterpret_cast<void**>(&g_createThread));
    PatchImport("msvcrt.dll", "_beginthreadex", reinterpret_cast<void*>(HookedBeginThreadEx),
                reinterpret_cast<void**>(&g_beginThreadEx));
}
