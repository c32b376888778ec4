// The shipped programs: stripped, small, and their crash reports still name
// unit, procedure and line of our code.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "crash/LogFile.h"
#include "crash/SymbolTable.h"

namespace {
std::string ReadAll(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The section table and export directory of a 64-bit program file.
struct TImage {
    explicit TImage(std::string bytes) : Bytes(std::move(bytes)) {
        if (Bytes.size() < 0x40) return;
        uint32_t pe;
        std::memcpy(&pe, Bytes.data() + 0x3c, 4);
        if (pe + sizeof(IMAGE_NT_HEADERS64) > Bytes.size()) return;
        std::memcpy(&Nt, Bytes.data() + pe, sizeof Nt);
        size_t table = pe + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + Nt.FileHeader.SizeOfOptionalHeader;
        for (int i = 0; i < Nt.FileHeader.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            if (table + (i + 1) * sizeof s > Bytes.size()) return;
            std::memcpy(&s, Bytes.data() + table + i * sizeof s, sizeof s);
            Sections.push_back(s);
        }
    }
    std::string SectionName(const IMAGE_SECTION_HEADER& s) const {
        return std::string(reinterpret_cast<const char*>(s.Name), strnlen(reinterpret_cast<const char*>(s.Name), 8));
    }
    const char* At(uint32_t rva) const {
        for (const auto& s : Sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return Bytes.data() + (rva - s.VirtualAddress + s.PointerToRawData);
        return nullptr;
    }
    // The address, relative to the image base, of a function exported by name.
    uint32_t Export(const std::string& name) const {
        const auto& dir = Nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        const char* at = dir.VirtualAddress ? At(dir.VirtualAddress) : nullptr;
        if (!at) return 0;
        IMAGE_EXPORT_DIRECTORY exports;
        std::memcpy(&exports, at, sizeof exports);
        for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
            uint32_t nameRva, functionRva;
            uint16_t ordinal;
            std::memcpy(&nameRva, At(exports.AddressOfNames + 4 * i), 4);
            std::memcpy(&ordinal, At(exports.AddressOfNameOrdinals + 2 * i), 2);
            std::memcpy(&functionRva, At(exports.AddressOfFunctions + 4 * ordinal), 4);
            if (name == At(nameRva)) return functionRva;
        }
        return 0;
    }
    std::string Bytes;
    IMAGE_NT_HEADERS64 Nt{};
    std::vector<IMAGE_SECTION_HEADER> Sections;
};

// Debug sections keep their long names in the symbol string table, so their
// header names read "/<offset>".
bool HasDebugSections(const TImage& image) {
    for (const auto& s : image.Sections) {
        std::string name = image.SectionName(s);
        if (name.rfind(".debug", 0) == 0 || name.rfind("/", 0) == 0) return true;
    }
    return false;
}
}  // namespace

TEST(ShippedProgram, PlannerIsStrippedSmallAndItsTableNamesItsCode) {
    TImage shipped(ReadAll(PLANDESK_SHIPPED));
    TImage built(ReadAll(PLANDESK_BUILT));
    ASSERT_FALSE(shipped.Sections.empty()) << PLANDESK_SHIPPED;
    ASSERT_FALSE(built.Sections.empty()) << PLANDESK_BUILT;
    EXPECT_TRUE(HasDebugSections(built));
    EXPECT_FALSE(HasDebugSections(shipped));
    // With the whole skin engine about 3.1 MB; the debug build is over ten
    // times that, so the bound still tells a stripped program from one that is not.
    EXPECT_LE(shipped.Bytes.size(), 4u * 1024 * 1024);
    EXPECT_EQ(shipped.Nt.FileHeader.PointerToSymbolTable, 0u);

    // Stripping moves no code: the exported reporter entry is where the
    // table says, in both programs.
    uint32_t entry = shipped.Export("ExceptionManager");
    ASSERT_NE(entry, 0u);
    EXPECT_EQ(built.Export("ExceptionManager"), entry);
    TSymbolTable table;
    ASSERT_TRUE(table.LoadFromFileTail(shipped.Bytes));
    TSymbolInfo info = table.Find(entry + 8);
    EXPECT_NE(info.Procedure.find("ExceptionManager"), std::string::npos) << info.Procedure;
    EXPECT_EQ(info.Unit.rfind("ExceptionLog", 0), 0u) << info.Unit;  // ExceptionLog.win32.cpp
    EXPECT_GT(info.Line, 0);
}

TEST(ShippedProgram, CrashReportOfAStrippedProgramNamesUnitProcedureAndLine) {
    std::string program = ProgramFolder() + "crash_child_shipped.exe";
    ASSERT_FALSE(HasDebugSections(TImage(ReadAll(program))));
    std::string log = ProgramFolder() + "shipped_" + std::to_string(GetCurrentProcessId()) + ".vlf";
    DeleteFileA(log.c_str());
    std::string command = "\"" + program + "\" av \"" + log + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << GetLastError();
    bool finished = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    if (!finished) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(finished) << "the child hangs";
    std::vector<std::string> reports = TLogFile(log, 20).Reports();
    DeleteFileA(log.c_str());
    ASSERT_EQ(reports.size(), 1u);
    // The call stack's first line, such as "4.1 ...: crash_child_shipped.exe+00001537 CrashChild -
    // (anonymous namespace)::CrashByAccessViolation() (line 34)".
    const std::string& report = reports[0];
    size_t at = report.find("4.1 ");
    ASSERT_NE(at, std::string::npos) << report;
    std::string line = report.substr(at, report.find('\n', at) - at);
    size_t unit = line.find("CrashChild - ");
    size_t procedure = line.find("CrashByAccessViolation", unit);
    size_t number = line.find("(line ", procedure);
    EXPECT_TRUE(unit != std::string::npos && procedure != std::string::npos && number != std::string::npos) << report;
}
