// The DNS answer comes from the network: the MX parser must take any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "crash/DnsQuery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string packet(reinterpret_cast<const char*>(data), size);
    uint16_t id = size >= 2 ? static_cast<uint16_t>(data[0] << 8 | data[1]) : 0;
    for (const TMxRecord& mx : ParseMxAnswer(packet, id))
        if (mx.Host.size() > 255) __builtin_trap();
    return 0;
}
