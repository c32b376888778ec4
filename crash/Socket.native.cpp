#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "crash/Socket.h"
#include "crash/SocketAddress.h"

namespace {
std::string ErrorText() { return std::strerror(errno); }

class TPosixSocket : public ISocket {
public:
    explicit TPosixSocket(int timeoutMs) : FTimeoutMs(timeoutMs) {}
    ~TPosixSocket() override {
        if (FSocket >= 0) ::close(FSocket);
    }

    std::string Connect(const std::string& host, int port) override {
        addrinfo hints{}, *found = nullptr;
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
            throw ESocketError("Connection error: \"" + host + "\"");
        sockaddr_in address = *reinterpret_cast<sockaddr_in*>(found->ai_addr);
        freeaddrinfo(found);
        address.sin_port = htons(static_cast<uint16_t>(port));
        FSocket = ::socket(AF_INET, SOCK_STREAM, 0);
        if (FSocket < 0) throw ESocketError("Invalid socket: \"" + ErrorText() + "\".");
        timeval tv{FTimeoutMs / 1000, (FTimeoutMs % 1000) * 1000};
        setsockopt(FSocket, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        // The time-out covers the connection too: a server that does not
        // answer must not keep the sender waiting for the system's minutes.
        int flags = fcntl(FSocket, F_GETFL, 0);
        fcntl(FSocket, F_SETFL, flags | O_NONBLOCK);
        if (::connect(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            if (errno != EINPROGRESS) throw ESocketError("Connection error: \"" + ErrorText() + "\"");
            pollfd p{FSocket, POLLOUT, 0};
            if (::poll(&p, 1, FTimeoutMs) == 0) throw ESocketError("Socket timeout.");
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(FSocket, SOL_SOCKET, SO_ERROR, &error, &length);
            if (error) {
                errno = error;
                throw ESocketError("Connection error: \"" + ErrorText() + "\"");
            }
        }
        fcntl(FSocket, F_SETFL, flags);
        return ConnectedLogLine(ntohl(address.sin_addr.s_addr), port);
    }

    void Send(const std::string& bytes) override {
        size_t sent = 0;
        while (sent < bytes.size()) {
            ssize_t n = ::send(FSocket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) throw ESocketError("Error into \"send\": \"" + ErrorText() + "\"");
            sent += static_cast<size_t>(n);
        }
    }

    std::string Receive() override {
        pollfd p{FSocket, POLLIN, 0};
        int ready = ::poll(&p, 1, FTimeoutMs);
        if (ready == 0) throw ESocketError("Socket timeout.");
        char buffer[4096];
        ssize_t n = ready > 0 ? ::recv(FSocket, buffer, sizeof buffer, 0) : -1;
        if (n < 0) throw ESocketError("Error into \"recv\": \"" + ErrorText() + "\"");
        if (n == 0) throw ESocketError("Error into \"recv\": \"connection closed\"");
        return std::string(buffer, static_cast<size_t>(n));
    }

    void Close() override {
        if (FSocket < 0) return;
        int s = FSocket;
        FSocket = -1;
        if (::close(s) != 0) throw ESocketError("Cannot close the socket: \"" + ErrorText() + "\"");
    }

private:
    int FTimeoutMs;
    int FSocket = -1;
};

class TPosixDatagramSocket : public IDatagramSocket {
public:
    std::string Exchange(const std::string& server, const std::string& request, int timeoutMs) override {
        uint32_t ip;
        int port;
        if (!ParseServerAddress(server, ip, port)) return {};
        int s = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (s < 0) throw ESocketError("Invalid socket: \"" + ErrorText() + "\".");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(ip);
        address.sin_port = htons(static_cast<uint16_t>(port));
        std::string answer;
        if (::sendto(s, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof address) ==
            static_cast<ssize_t>(request.size())) {
            pollfd p{s, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) > 0) {
                char buffer[4096];
                ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
                if (n > 0) answer.assign(buffer, static_cast<size_t>(n));
            }
        }
        ::close(s);
        return answer;
    }
};
}  // namespace

std::unique_ptr<ISocket> CreateTcpSocket(int timeoutMs) { return std::make_unique<TPosixSocket>(timeoutMs); }
std::unique_ptr<IDatagramSocket> CreateUdpSocket() { return std::make_unique<TPosixDatagramSocket>(); }

std::string LocalHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || !name[0]) return "localhost";
    return name;
}

std::vector<std::string> SystemDnsServers() {
    std::vector<std::string> servers;
    std::ifstream conf("/etc/resolv.conf");
    std::string line;
    while (std::getline(conf, line)) {
        std::istringstream words(line);
        std::string key, value;
        uint32_t ip;
        int port;
        if (words >> key >> value && key == "nameserver" && ParseServerAddress(value, ip, port))
            servers.push_back(value);
    }
    return servers;
}
