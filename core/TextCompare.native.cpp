#include "core/TextCompare.h"

// Native builds have no Windows locale: fold ASCII and the Latin-1 letters of
// the Western code page, which is what the Windows comparison does for them.
namespace {
unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}
}  // namespace

std::string AnsiTextKey(const std::string& s) {
    std::string key(s);
    for (char& c : key) c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return key;
}

int AnsiCompareText(const std::string& a, const std::string& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Fold(static_cast<unsigned char>(a[i]));
        unsigned char y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}
