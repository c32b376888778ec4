#pragma once
// The texts the skin engine shows (system-menu captions, caption-button
// hints, edit menu, message-box buttons, ...), as key=text lines that an
// application may translate or reword.
#include <cstdint>
#include <string>

#include "core/Component.h"
#include "core/StringList.h"

class TvlResourceStrData : public TComponent {
public:
    explicit TvlResourceStrData(TComponent* owner = nullptr);

    // One key=text line each; starts as the 115 built-in lines.
    TStringList ResStrings;
    // Character set the consumers give the fonts of these texts.
    uint8_t CharSet = 1;

    void SetResStrings(const TStringList& lines) { ResStrings.Assign(lines); }
    // The text after the first "=" of the first line whose key equals `key`
    // without regard to letter case, unchanged; empty when no line matches.
    std::string LookupText(const std::string& key) const;
};

// The built-in text of a key: what a consumer shows when its skin data has no
// resource-string component. Empty for an unknown key.
std::string DefaultResourceText(const std::string& key);
