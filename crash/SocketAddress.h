#pragma once
// Addresses of the servers the sender talks to, shared by both platforms'
// sockets.
#include <cstdint>
#include <string>

// "a.b.c.d" or "a.b.c.d:port" (port 53 when not given).
bool ParseServerAddress(const std::string& text, uint32_t& ip, int& port);

// "Connected to %d.%d.%d.%d port %d" for an address in host byte order.
std::string ConnectedLogLine(uint32_t ip, int port);
