#pragma once
// The ordered list of (text, object) entries that holds the planner's data:
// insertion order, never sorted, duplicates allowed. Removing an entry never
// frees its object; whoever removes it frees the object first.
#include <string>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

class TStringList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Strings(int index) const { return FItems.at(index).Text; }
    void SetString(int index, const std::string& text) { FItems.at(index).Text = text; }
    TObject* Objects(int index) const { return FItems.at(index).Object; }
    void SetObject(int index, TObject* object) { FItems.at(index).Object = object; }

    int Add(const std::string& text) { return AddObject(text, nullptr); }
    int AddObject(const std::string& text, TObject* object);
    void Insert(int index, const std::string& text, TObject* object = nullptr);
    void Delete(int index);
    void Clear() { FItems.clear(); }
    void Assign(const TStringList& other) { FItems = other.FItems; }

    // First entry whose text equals `text` without regard to letter case, or -1.
    int IndexOf(const std::string& text) const;
    // IndexOf for each of `texts`, in one pass over the list.
    std::vector<int> IndexesOf(const std::vector<std::string>& texts) const;

    // Line-based text: every line ends with CR LF when written; reading
    // splits at CR LF, lone CR or lone LF, and a NUL byte ends the text.
    std::string Text() const;
    void SetText(const std::string& text);

private:
    struct Item {
        std::string Text;
        TObject* Object = nullptr;
    };
    std::vector<Item> FItems;
};

// Splits text into lines by the rules of TStringList::SetText.
std::vector<std::string> SplitLines(const std::string& text);
