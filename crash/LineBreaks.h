#pragma once
// Line breaks in report texts: CR LF, a lone CR and a lone LF each count as
// one break.
#include <string>

// `text` with every line break replaced by `replacement`.
inline std::string ReplaceLineBreaks(const std::string& text, const char* replacement) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += replacement;
        } else {
            out += c;
        }
    }
    return out;
}
