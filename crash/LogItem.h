#pragma once
// One crash report as text: numbered sections of numbered "name: value"
// items, the form in which reports are stored in the log file and mailed.
#include <string>
#include <vector>

class TLogItem {
public:
    struct Item {
        std::string Name, Value;
    };
    struct Section {
        std::string Title;
        std::vector<Item> Items;
    };

    // Starts a new section; items added afterwards belong to it.
    void AddSection(const std::string& title);
    void AddItem(const std::string& name, const std::string& value);

    const std::vector<Section>& Sections() const { return FSections; }

    // The report text, lines separated by CR LF, without a trailing line end.
    std::string Text() const;

    // Reads a report written by Text() back into sections and items; lines
    // that are neither titles nor items are ignored.
    static TLogItem Parse(const std::string& text);

    // True when both reports hold the same sections with the same items.
    bool SameAs(const TLogItem& other) const;

private:
    std::vector<Section> FSections;
};
