#pragma once
// The ordered list of (text, object) entries that holds the planner's data:
// insertion order, never sorted, duplicates allowed. Removing an entry never
// frees its object; whoever removes it frees the object first.
#include <memory>
#include <string>
#include <string_view>
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

// A list whose entries own their objects: it takes an object over when it is
// added and frees it when its entry is deleted, the list cleared or gone.
template <class T>
class TOwnedList : public TStringList {
public:
    TOwnedList() = default;
    TOwnedList(const TOwnedList&) = delete;
    TOwnedList& operator=(const TOwnedList&) = delete;
    ~TOwnedList() { ClearOwned(); }

    T* Item(int index) const { return static_cast<T*>(Objects(index)); }
    T* AddOwned(const std::string& name, std::unique_ptr<T>&& object) {
        T* added = object.get();
        AddObject(name, added);
        object.release();
        return added;
    }
    void DeleteOwned(int index) {
        std::unique_ptr<T> object(Item(index));
        Delete(index);
    }
    void ClearOwned() {
        for (int i = 0; i < Count(); ++i) delete Item(i);
        Clear();
    }
};

// Splits text into lines by the rules of TStringList::SetText.
std::vector<std::string> SplitLines(const std::string& text);

// Calls `onLine` with every line of `text` by the rules above (CR LF,
// lone CR or lone LF end a line; no extra empty line after a final break; a
// NUL byte ends the text), without copying the lines.
template <class OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine) {
    size_t end = text.find('\0');
    if (end == std::string_view::npos) end = text.size();
    size_t i = 0;
    while (i < end) {
        size_t start = i;
        while (i < end && text[i] != '\r' && text[i] != '\n') ++i;
        onLine(text.substr(start, i - start));
        if (i < end) i += (text[i] == '\r' && i + 1 < end && text[i + 1] == '\n') ? 2 : 1;
    }
}
