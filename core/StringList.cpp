#include "core/StringList.h"

#include <unordered_map>

#include "core/TextCompare.h"

int TStringList::AddObject(const std::string& text, TObject* object) {
    FItems.push_back({text, object});
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& text, TObject* object) {
    if (index < 0 || index > Count()) index = Count();
    FItems.insert(FItems.begin() + index, Item{text, object});
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    FItems.erase(FItems.begin() + index);
}

int TStringList::IndexOf(const std::string& text) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(FItems[i].Text, text)) return i;
    return -1;
}

std::vector<int> TStringList::IndexesOf(const std::vector<std::string>& texts) const {
    std::vector<int> found(texts.size(), -1);
    std::unordered_map<std::string, std::vector<size_t>> wanted;  // key -> positions in `texts`
    for (size_t i = 0; i < texts.size(); ++i) wanted[AnsiTextKey(texts[i])].push_back(i);
    for (int i = 0; i < Count() && !wanted.empty(); ++i) {
        auto it = wanted.find(AnsiTextKey(FItems[i].Text));
        if (it == wanted.end()) continue;
        for (size_t position : it->second) found[position] = i;
        wanted.erase(it);  // the first entry wins
    }
    return found;
}

std::string TStringList::Text() const {
    std::string out;
    size_t size = 0;
    for (const Item& it : FItems) size += it.Text.size() + 2;
    out.reserve(size);
    for (const Item& it : FItems) {
        out += it.Text;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text) {
    FItems.clear();
    for (std::string& line : SplitLines(text)) FItems.push_back({std::move(line), nullptr});
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}
