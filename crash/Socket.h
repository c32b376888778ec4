#pragma once
// The small socket interface the mail sender and the DNS query talk
// through, so that their dialogues can be tested without a network.
#include <memory>
#include <string>
#include <vector>

#include "core/Errors.h"

// A failure of the sender's sockets, in the reporter's own texts
// ("Connection error: "%s"", "Socket timeout.", ...).
class ESocketError : public Exception {
public:
    using Exception::Exception;
};

class ISocket {
public:
    virtual ~ISocket() = default;
    // Connects a stream socket; returns the log line "Connected to %d.%d.%d.%d port %d".
    virtual std::string Connect(const std::string& host, int port) = 0;
    virtual void Send(const std::string& bytes) = 0;
    // Some bytes (at least one); raises ESocketError on time-out or a closed
    // connection.
    virtual std::string Receive() = 0;
    virtual void Close() = 0;
};

class IDatagramSocket {
public:
    virtual ~IDatagramSocket() = default;
    // Sends one datagram to `server` ("a.b.c.d" or "a.b.c.d:port", port 53
    // by default) and returns the first answer, or an empty string when none
    // came within the time-out.
    virtual std::string Exchange(const std::string& server, const std::string& request, int timeoutMs) = 0;
};

// The platform's sockets (Winsock on Windows, POSIX sockets elsewhere).
std::unique_ptr<ISocket> CreateTcpSocket(int timeoutMs);
std::unique_ptr<IDatagramSocket> CreateUdpSocket();

// The name of this machine, for the greeting.
std::string LocalHostName();
// The DNS servers the network configuration names.
std::vector<std::string> SystemDnsServers();
