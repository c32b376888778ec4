#pragma once
// The skin package's 32-bit integers: four bytes, least significant first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline void PutInt32(std::string& out, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

// The integer at `at`; the caller has checked that four bytes are there.
inline int32_t GetInt32(std::string_view bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}
