#include "crash/SocketAddress.h"

#include <cstdio>

bool ParseServerAddress(const std::string& text, uint32_t& ip, int& port) {
    unsigned a, b, c, d, p = 53;
    char tail = 0;
    int n = std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u:%5u%c", &a, &b, &c, &d, &p, &tail);
    if (n != 4 && n != 5) return false;
    if (n == 4 && text.find(':') != std::string::npos) return false;
    if (a > 255 || b > 255 || c > 255 || d > 255 || p == 0 || p > 65535) return false;
    ip = a << 24 | b << 16 | c << 8 | d;
    port = static_cast<int>(p);
    return true;
}

std::string ConnectedLogLine(uint32_t ip, int port) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Connected to %d.%d.%d.%d port %d", static_cast<int>(ip >> 24),
                  static_cast<int>((ip >> 16) & 255), static_cast<int>((ip >> 8) & 255), static_cast<int>(ip & 255),
                  port);
    return buffer;
}
