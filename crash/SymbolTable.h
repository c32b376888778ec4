#pragma once
// Names for addresses in our own program: a table generated at build time
// from the linked program's symbols and line information and appended to the
// program file, so that a release build's reports name unit, procedure and
// line without any outside symbol files.
#include <cstdint>
#include <string>
#include <vector>

struct TSymbolInfo {
    std::string Unit, Procedure;
    int Line = 0;
};

class TSymbolTable {
public:
    // The table's text form (see make_symbols.py): "U index name",
    // "P rva name" and "L rva line unit" lines, each kind in address order.
    void Load(const std::string& text);

    // The table appended to a program file: zlib data, its size (4 bytes,
    // little endian) and the marker "PDSYMTAB". Returns false when the file
    // carries none or it cannot be unpacked.
    bool LoadFromFileTail(const std::string& fileTail);

    // Unit, procedure and line for an address relative to the image base;
    // empty parts when unknown.
    TSymbolInfo Find(uint64_t rva) const;

private:
    struct Procedure {
        uint64_t Rva;
        std::string Name;
    };
    struct Line {
        uint64_t Rva;
        int Number, Unit;
    };
    std::vector<std::string> FUnits;
    std::vector<Procedure> FProcedures;
    std::vector<Line> FLines;
};

inline constexpr const char* SymbolTableMarker = "PDSYMTAB";
