#include "crash/LogItem.h"

#include <algorithm>

#include "core/StringList.h"
#include "crash/LineBreaks.h"

namespace {
std::string ItemPrefix(size_t section, size_t item, const std::string& name) {
    return "  " + std::to_string(section) + "." + std::to_string(item) + " " + name;
}

// A value never spans lines in the report: line breaks inside it would make
// the stored text unreadable as items (and could fake the report separator).
std::string OneLine(const std::string& value) { return ReplaceLineBreaks(value, " "); }
}  // namespace

void TLogItem::AddSection(const std::string& title) { FSections.push_back({OneLine(title), {}}); }

void TLogItem::AddItem(const std::string& name, const std::string& value) {
    if (FSections.empty()) AddSection("");
    FSections.back().Items.push_back({OneLine(name), OneLine(value)});
}

std::string TLogItem::Text() const {
    std::string out;
    for (size_t s = 0; s < FSections.size(); ++s) {
        const Section& section = FSections[s];
        if (s > 0) out += "\r\n\r\n";
        std::string title = section.Title + ":";
        out += title + "\r\n" + std::string(title.size(), '-');
        size_t width = 0;
        for (size_t i = 0; i < section.Items.size(); ++i)
            width = std::max(width, ItemPrefix(s + 1, i + 1, section.Items[i].Name).size());
        for (size_t i = 0; i < section.Items.size(); ++i) {
            std::string prefix = ItemPrefix(s + 1, i + 1, section.Items[i].Name);
            prefix.resize(width, ' ');
            out += "\r\n" + prefix + ": " + section.Items[i].Value;
        }
    }
    return out;
}

TLogItem TLogItem::Parse(const std::string& text) {
    TLogItem result;
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        bool underlined = i + 1 < lines.size() && !lines[i + 1].empty() &&
                          lines[i + 1].find_first_not_of('-') == std::string::npos &&
                          lines[i + 1].size() == line.size();
        if (underlined && !line.empty() && line.back() == ':') {
            result.FSections.push_back({line.substr(0, line.size() - 1), {}});
            ++i;
            continue;
        }
        if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || result.FSections.empty()) continue;
        size_t space = line.find(' ', 2);
        size_t colon = line.find(": ", space == std::string::npos ? 2 : space);
        if (space == std::string::npos || colon == std::string::npos) continue;
        std::string name = line.substr(space + 1, colon - space - 1);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        result.FSections.back().Items.push_back({name, line.substr(colon + 2)});
    }
    return result;
}

bool TLogItem::SameAs(const TLogItem& other) const {
    if (FSections.size() != other.FSections.size()) return false;
    for (size_t s = 0; s < FSections.size(); ++s) {
        const Section &a = FSections[s], &b = other.FSections[s];
        if (a.Title != b.Title || a.Items.size() != b.Items.size()) return false;
        for (size_t i = 0; i < a.Items.size(); ++i)
            if (a.Items[i].Name != b.Items[i].Name || a.Items[i].Value != b.Items[i].Value) return false;
    }
    return true;
}
