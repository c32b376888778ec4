#include "crash/StackWalk.h"

#include <tlhelp32.h>

#include <fstream>
#include <string>

#include "core/Gdi.h"
#include "crash/SymbolTable.h"

namespace {
TSymbolTable& SymbolStore() {
    static TSymbolTable table;
    return table;
}

// The table is read on a thread of its own, below normal priority, once
// the program has had the time to show its first window (the reading took
// the processor from the start on a machine of two cores), and still long
// before almost any failure. A report wants it at once: the reading starts
// then if it has not, at normal priority, and the report waits for it to
// end; a failure of the reading thread itself names no procedures.
constexpr DWORD kSymbolReadingDelayMs = 3000;
HANDLE g_symbolReader = nullptr;  // owned for the life of the process
DWORD g_symbolReaderId = 0;
HANDLE g_symbolsWanted = nullptr;  // owned for the life of the process

const TSymbolTable& ProgramSymbols() {
    static const TSymbolTable none;
    if (g_symbolReader) {
        if (GetCurrentThreadId() == g_symbolReaderId) return none;
        SetThreadPriority(g_symbolReader, THREAD_PRIORITY_NORMAL);
        if (g_symbolsWanted) SetEvent(g_symbolsWanted);
        WaitForSingleObject(g_symbolReader, INFINITE);
    }
    return SymbolStore();
}

bool Readable(uint64_t address, size_t size) {
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) || info.State != MEM_COMMIT) return false;
    if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
    return address + size <= reinterpret_cast<uint64_t>(info.BaseAddress) + info.RegionSize;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, n);
}

std::string FileName(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

namespace {
void ReadProgramSymbols() {
    // Only the table at the end is read: the program file may be large, and
    // reading all of it slowed every start and grew the working set.
    std::ifstream file(ModulePath(nullptr), std::ios::binary | std::ios::ate);
    const std::streamoff end = file.tellg();
    const std::streamoff trailer = 4 + static_cast<std::streamoff>(std::string(SymbolTableMarker).size());
    if (!file || end < trailer) return;
    std::string tail(static_cast<size_t>(trailer), '\0');
    if (!file.seekg(end - trailer).read(tail.data(), trailer)) return;
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<uint8_t>(tail[i]);
    if (size > end - trailer) return;
    tail.resize(static_cast<size_t>(trailer) + size);
    if (!file.seekg(end - trailer - size).read(tail.data(), tail.size())) return;
    SymbolStore().LoadFromFileTail(tail);
}
}  // namespace

void LoadProgramSymbols() {
    if (g_symbolReader) return;
    g_symbolsWanted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_symbolReader = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            if (g_symbolsWanted) WaitForSingleObject(g_symbolsWanted, kSymbolReadingDelayMs);
            ReadProgramSymbols();
            return 0;
        },
        nullptr, CREATE_SUSPENDED, &g_symbolReaderId);
    if (!g_symbolReader) {
        ReadProgramSymbols();  // no thread to spare: read it now
        return;
    }
    SetThreadPriority(g_symbolReader, THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(g_symbolReader);
}

std::vector<uint64_t> WalkStack(CONTEXT context, int maxFrames) {
    std::vector<uint64_t> frames;
    for (int i = 0; i < maxFrames && context.Rip; ++i) {
        frames.push_back(context.Rip);
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
        if (!function) {
            // Code without unwind data (a leaf, an assembly helper such as the
            // stack probe, or a wild jump): the nearest stack slot holding an
            // address of code with unwind data is taken as the return address.
            if (!imageBase && i > 0) break;
            bool found = false;
            for (int slot = 0; slot < 64 && !found; ++slot) {
                uint64_t at = context.Rsp + slot * 8;
                if (!Readable(at, 8)) break;
                DWORD64 candidate = *reinterpret_cast<DWORD64*>(at), base = 0;
                if (candidate && RtlLookupFunctionEntry(candidate, &base, nullptr)) {
                    context.Rip = candidate;
                    context.Rsp = at + 8;
                    found = true;
                }
            }
            if (!found) break;
            continue;
        }
        void* handlerData = nullptr;
        DWORD64 establisher = 0;
        if (!Readable(context.Rsp, 8)) break;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData, &establisher,
                         nullptr);
    }
    return frames;
}

TStackEntry ResolveAddress(uint64_t address) {
    TStackEntry e;
    e.Address = address;
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(address), &module))
        return e;
    e.Module = FileName(ModulePath(module));
    e.ModuleOffset = address - reinterpret_cast<uint64_t>(module);
    if (module == GetModuleHandleA(nullptr)) {
        TSymbolInfo info = ProgramSymbols().Find(e.ModuleOffset);
        e.Unit = info.Unit;
        e.Procedure = info.Procedure;
        e.Line = info.Line;
    }
    return e;
}

TVesperStackList ResolveStack(const std::vector<uint64_t>& addresses) {
    TVesperStackList stack;
    for (size_t i = 0; i < addresses.size(); ++i) {
        TStackEntry e = ResolveAddress(i == 0 ? addresses[i] : addresses[i] - 1);
        e.Address = addresses[i];
        e.ModuleOffset += i == 0 ? 0 : 1;
        stack.push_back(e);
    }
    return stack;
}

std::string FileVersion(const std::string& path) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (!size) return {};
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
        return {};
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

TVesperModulesList LoadedModules() {
    TVesperModulesList modules;
    TKernelHandle owner(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId()));
    if (!owner) return modules;
    HANDLE snapshot = owner.Handle();
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Module32First(snapshot, &entry); ok; ok = Module32Next(snapshot, &entry)) {
        TModuleEntry m;
        m.Name = entry.szModule;
        m.Path = entry.szExePath;
        m.Base = reinterpret_cast<uint64_t>(entry.modBaseAddr);
        m.Size = entry.modBaseSize;
        m.Version = FileVersion(m.Path);
        modules.push_back(m);
    }
    return modules;
}
