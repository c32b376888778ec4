#pragma once
#include <string>

// Compares two texts without regard to letter case, by the rules of the
// user's locale on Windows; negative, zero or positive like strcmp.
int AnsiCompareText(const std::string& a, const std::string& b);

inline bool AnsiSameText(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

// A key for which two texts have equal keys exactly when AnsiSameText holds
// for them: looking many texts up in a long list compares keys instead of
// comparing every pair.
std::string AnsiTextKey(const std::string& s);

// Removes leading and trailing characters of code 32 or below.
std::string Trim(const std::string& s);

// A letter of A to Z in lower case, any other character as it is: for keys
// and names that are ASCII by definition (the runtime's tolower asks the
// locale every time).
inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
