#include "bench/running/BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot create " + path);
    DWORD written = 0;
    bool ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) Fail("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::vector<std::string> ImportedLibraries(const std::string& program) {
    std::string image = ReadBytes(program);
    auto at = [&](size_t offset, size_t size) {
        if (offset > image.size() || size > image.size() - offset) Fail("unexpected layout of " + program);
        return image.data() + offset;
    };
    uint32_t peOffset;
    std::memcpy(&peOffset, at(0x3c, 4), 4);
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, at(peOffset, sizeof nt), sizeof nt);
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    size_t sectionTable = peOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    std::memcpy(sections.data(), at(sectionTable, sections.size() * sizeof(IMAGE_SECTION_HEADER)),
                sections.size() * sizeof(IMAGE_SECTION_HEADER));
    auto fileOffset = [&](uint32_t rva) -> size_t {
        for (const auto& s : sections)
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        Fail("unexpected layout of " + program);
    };
    std::vector<std::string> names;
    uint32_t imports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t d = fileOffset(imports);; d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, at(d, sizeof descriptor), sizeof descriptor);
        if (!descriptor.Name) break;
        names.emplace_back(at(fileOffset(descriptor.Name), 1));
    }
    return names;
}
