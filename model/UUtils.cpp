#include "model/UUtils.h"

namespace {
bool IsBlank(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}
}  // namespace

void SplitStringViews(char delimiter, std::string_view text, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != delimiter) continue;
        fields.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    if (start < text.size()) fields.push_back(text.substr(start));
}

void SplitString(char delimiter, const std::string& text, TStringList& list) {
    std::vector<std::string_view> fields;
    SplitStringViews(delimiter, text, fields);
    list.Clear();
    for (std::string_view f : fields) list.Add(std::string(f));
}

void SplitDelimitedText(std::string_view line, char delimiter, char quote, std::vector<std::string>& fields) {
    size_t n = line.find('\0');
    if (n == std::string_view::npos) n = line.size();
    size_t count = 0;
    // Reuses the strings already in `fields` so that a reader calling this
    // for every line does not allocate per field.
    auto next = [&]() -> std::string& {
        if (count == fields.size()) fields.emplace_back();
        std::string& f = fields[count++];
        f.clear();
        return f;
    };
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlank(line[i])) ++i;
    };
    skipBlanks();
    while (i < n) {
        std::string& field = next();
        if (line[i] == quote) {
            ++i;
            while (i < n) {
                size_t q = line.find(quote, i);
                if (q == std::string_view::npos || q >= n) {
                    field.append(line.substr(i, n - i));
                    i = n;
                    break;
                }
                field.append(line.substr(i, q - i));
                if (q + 1 < n && line[q + 1] == quote) {
                    field += quote;
                    i = q + 2;
                } else {
                    i = q + 1;
                    break;
                }
            }
        } else {
            size_t start = i;
            while (i < n && line[i] != delimiter && static_cast<unsigned char>(line[i]) > 32) ++i;
            field.assign(line.substr(start, i - start));
        }
        skipBlanks();
        if (i < n && line[i] == delimiter) {
            if (i + 1 == n) next();
            ++i;
            skipBlanks();
        }
    }
    fields.resize(count);
}

std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}
