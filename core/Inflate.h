#pragma once
// zlib streams packed and unpacked whole, for the program's stored data (skin
// packages, the reporter's options and symbol table).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The unpacked bytes, or nothing when the stream is damaged, stops short or
// would grow past `maxSize` bytes.
std::optional<std::string> InflateAll(std::string_view compressed, size_t maxSize);

// The bytes packed at the highest level, or nothing when zlib runs out of
// memory.
std::optional<std::string> DeflateAll(std::string_view raw);
