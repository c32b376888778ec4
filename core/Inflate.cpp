#include "core/Inflate.h"

#include <zlib.h>

std::optional<std::string> InflateAll(std::string_view compressed, size_t maxSize) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    std::string out;
    // Small blocks keep the copy into `out` within the first-level cache;
    // skin loading measured slower with 16 KB.
    unsigned char buffer[4096];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    int status;
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        size_t produced = sizeof buffer - z.avail_out;
        // Z_BUF_ERROR with no output means the stream stopped short.
        bool failed = status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR ||
                      status == Z_STREAM_ERROR || (status == Z_BUF_ERROR && produced == 0) ||
                      out.size() + produced > maxSize;
        if (failed) {
            inflateEnd(&z);
            return std::nullopt;
        }
        out.append(reinterpret_cast<char*>(buffer), produced);
    } while (status != Z_STREAM_END);
    inflateEnd(&z);
    return out;
}

std::optional<std::string> DeflateAll(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return std::nullopt;
    out.resize(size);
    return out;
}
