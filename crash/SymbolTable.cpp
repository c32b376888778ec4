#include "crash/SymbolTable.h"

#include <algorithm>
#include <cstdlib>

#include "core/Inflate.h"
#include "core/StringList.h"

namespace {
// Sorts by address, keeping the order of equal addresses; the generator
// writes each kind in address order already, which is only checked.
template <class T>
void SortByRva(std::vector<T>& items) {
    auto byRva = [](const T& a, const T& b) { return a.Rva < b.Rva; };
    if (!std::is_sorted(items.begin(), items.end(), byRva)) std::stable_sort(items.begin(), items.end(), byRva);
}
}  // namespace

void TSymbolTable::Load(const std::string& text) {
    FUnits.clear();
    FProcedures.clear();
    FLines.clear();
    // The table is read while the program starts: one buffer serves every
    // line (the number readers need a NUL after it) instead of a string per
    // line, which are a hundred thousand allocations.
    std::string line;
    FLines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    ForEachLine(text, [&](std::string_view view) {
        line.assign(view);
        if (line.size() < 3 || line[1] != ' ') return;
        char* end = nullptr;
        const char* p = line.c_str() + 2;
        unsigned long long first = std::strtoull(p, &end, line[0] == 'U' ? 10 : 16);
        if (end == p || *end != ' ') return;
        if (line[0] == 'U') {
            if (first != FUnits.size()) return;
            FUnits.push_back(end + 1);
        } else if (line[0] == 'P') {
            FProcedures.push_back({first, end + 1});
        } else if (line[0] == 'L') {
            char* end2 = nullptr;
            long number = std::strtol(end + 1, &end2, 10);
            long unit = std::strtol(end2, nullptr, 10);
            if (unit >= 0 && static_cast<size_t>(unit) < FUnits.size())
                FLines.push_back({first, static_cast<int>(number), static_cast<int>(unit)});
        }
    });
    // The lookups below rely on address order whatever the generator wrote.
    SortByRva(FProcedures);
    SortByRva(FLines);
}

bool TSymbolTable::LoadFromFileTail(const std::string& tail) {
    const std::string marker = SymbolTableMarker;
    if (tail.size() < marker.size() + 4 || tail.compare(tail.size() - marker.size(), marker.size(), marker) != 0)
        return false;
    size_t at = tail.size() - marker.size() - 4;
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<uint8_t>(tail[at + i]);
    if (size > at) return false;
    std::optional<std::string> text = InflateAll(std::string_view(tail).substr(at - size, size), 256u << 20);
    if (!text) return false;
    Load(*text);
    return true;
}

TSymbolInfo TSymbolTable::Find(uint64_t rva) const {
    TSymbolInfo info;
    auto p = std::upper_bound(FProcedures.begin(), FProcedures.end(), rva,
                              [](uint64_t v, const Procedure& e) { return v < e.Rva; });
    if (p == FProcedures.begin()) return info;
    --p;
    info.Procedure = p->Name;
    auto l = std::upper_bound(FLines.begin(), FLines.end(), rva, [](uint64_t v, const Line& e) { return v < e.Rva; });
    // A line row before the procedure's start belongs to another procedure.
    if (l != FLines.begin() && (l - 1)->Rva >= p->Rva) {
        info.Unit = FUnits[(l - 1)->Unit];
        info.Line = (l - 1)->Number;
    }
    return info;
}
