#include "crash/SymbolTable.h"

#include <algorithm>
#include <charconv>

#include "core/Inflate.h"
#include "core/StringList.h"

namespace {
// Reads a number after any spaces; returns where it ends, or nullptr (and
// leaves `value` alone) when there is none.
template <class T>
const char* ReadNumber(const char* at, const char* stop, T& value, int base) {
    while (at < stop && *at == ' ') ++at;
    auto [next, error] = std::from_chars(at, stop, value, base);
    return error == std::errc() ? next : nullptr;
}

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
    // The table is read while the program starts, a hundred thousand lines:
    // numbers are read in place by the locale-free reader (the runtime's
    // own looks its locale up for every number).
    FLines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    ForEachLine(text, [&](std::string_view line) {
        if (line.size() < 3 || line[1] != ' ') return;
        const char* const stop = line.data() + line.size();
        unsigned long long first = 0;
        const char* at = ReadNumber(line.data() + 2, stop, first, line[0] == 'U' ? 10 : 16);
        if (!at || at == stop || *at != ' ') return;
        if (line[0] == 'U') {
            if (first != FUnits.size()) return;
            FUnits.emplace_back(at + 1, stop);
        } else if (line[0] == 'P') {
            FProcedures.push_back({first, std::string(at + 1, stop)});
        } else if (line[0] == 'L') {
            // A number that is missing counts as 0.
            long number = 0, unit = 0;
            if (const char* next = ReadNumber(at, stop, number, 10)) at = next;
            ReadNumber(at, stop, unit, 10);
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
