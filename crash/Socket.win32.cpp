#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <vector>

#include "crash/Socket.h"
#include "crash/SocketAddress.h"

namespace {
std::string ErrorText(int code) {
    char* text = nullptr;
    DWORD n =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n ? std::string(text, n) : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    return s;
}

// Winsock is started for the life of each socket object; a socket that is
// closed ends it there, where a failure can still be reported.
class TWinsock {
public:
    TWinsock() {
        WSADATA data;
        int rc = WSAStartup(MAKEWORD(2, 2), &data);
        if (rc != 0) throw ESocketError("Error into WSAStartup: \"" + ErrorText(rc) + "\"");
    }
    ~TWinsock() {
        if (!FCleaned) WSACleanup();
    }
    void Cleanup() {
        if (FCleaned) return;
        FCleaned = true;
        if (WSACleanup() != 0) throw ESocketError("Error into WSACleanup: \"" + ErrorText(WSAGetLastError()) + "\"");
    }

private:
    bool FCleaned = false;
};

class TWinSocket : public ISocket {
public:
    explicit TWinSocket(int timeoutMs) : FTimeoutMs(timeoutMs) {}
    ~TWinSocket() override {
        if (FSocket != INVALID_SOCKET) closesocket(FSocket);
    }

    std::string Connect(const std::string& host, int port) override {
        addrinfo hints{}, *found = nullptr;
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
            throw ESocketError("Connection error: \"" + ErrorText(WSAGetLastError()) + "\"");
        sockaddr_in address = *reinterpret_cast<sockaddr_in*>(found->ai_addr);
        freeaddrinfo(found);
        address.sin_port = htons(static_cast<u_short>(port));
        FSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (FSocket == INVALID_SOCKET) throw ESocketError("Invalid socket: \"" + ErrorText(WSAGetLastError()) + "\".");
        DWORD timeout = static_cast<DWORD>(FTimeoutMs);
        setsockopt(FSocket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        // The time-out covers the connection too: a server that does not
        // answer must not keep the sender waiting for the system's minutes.
        u_long nonBlocking = 1;
        ioctlsocket(FSocket, FIONBIO, &nonBlocking);
        if (connect(FSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            int error = WSAGetLastError();
            if (error != WSAEWOULDBLOCK) throw ESocketError("Connection error: \"" + ErrorText(error) + "\"");
            fd_set write, failed;
            FD_ZERO(&write);
            FD_SET(FSocket, &write);
            FD_ZERO(&failed);
            FD_SET(FSocket, &failed);
            timeval tv{FTimeoutMs / 1000, (FTimeoutMs % 1000) * 1000};
            int ready = select(0, nullptr, &write, &failed, &tv);
            if (ready == 0) throw ESocketError("Socket timeout.");
            int soError = 0, length = sizeof soError;
            getsockopt(FSocket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
            if (ready < 0 || FD_ISSET(FSocket, &failed) || soError)
                throw ESocketError("Connection error: \"" + ErrorText(soError ? soError : WSAGetLastError()) + "\"");
        }
        nonBlocking = 0;
        ioctlsocket(FSocket, FIONBIO, &nonBlocking);
        return ConnectedLogLine(ntohl(address.sin_addr.s_addr), port);
    }

    void Send(const std::string& bytes) override {
        size_t sent = 0;
        while (sent < bytes.size()) {
            int n = send(FSocket, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n <= 0) throw ESocketError("Error into \"send\": \"" + ErrorText(WSAGetLastError()) + "\"");
            sent += static_cast<size_t>(n);
        }
    }

    std::string Receive() override {
        fd_set read;
        FD_ZERO(&read);
        FD_SET(FSocket, &read);
        timeval tv{FTimeoutMs / 1000, (FTimeoutMs % 1000) * 1000};
        int ready = select(0, &read, nullptr, nullptr, &tv);
        if (ready == 0) throw ESocketError("Socket timeout.");
        char buffer[4096];
        int n = ready > 0 ? recv(FSocket, buffer, sizeof buffer, 0) : -1;
        if (n < 0) throw ESocketError("Error into \"recv\": \"" + ErrorText(WSAGetLastError()) + "\"");
        if (n == 0) throw ESocketError("Error into \"recv\": \"connection closed\"");
        return std::string(buffer, static_cast<size_t>(n));
    }

    void Close() override {
        if (FSocket != INVALID_SOCKET) {
            SOCKET s = FSocket;
            FSocket = INVALID_SOCKET;
            if (closesocket(s) != 0)
                throw ESocketError("Cannot close the socket: \"" + ErrorText(WSAGetLastError()) + "\"");
        }
        FWinsock.Cleanup();
    }

private:
    TWinsock FWinsock;
    int FTimeoutMs;
    SOCKET FSocket = INVALID_SOCKET;
};

class TWinDatagramSocket : public IDatagramSocket {
public:
    std::string Exchange(const std::string& server, const std::string& request, int timeoutMs) override {
        uint32_t ip;
        int port;
        if (!ParseServerAddress(server, ip, port)) return {};
        SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (s == INVALID_SOCKET) throw ESocketError("Invalid socket: \"" + ErrorText(WSAGetLastError()) + "\".");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(ip);
        address.sin_port = htons(static_cast<u_short>(port));
        std::string answer;
        if (sendto(s, request.data(), static_cast<int>(request.size()), 0, reinterpret_cast<sockaddr*>(&address),
                   sizeof address) == static_cast<int>(request.size())) {
            fd_set read;
            FD_ZERO(&read);
            FD_SET(s, &read);
            timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
            if (select(0, &read, nullptr, nullptr, &tv) > 0) {
                char buffer[4096];
                int n = recv(s, buffer, sizeof buffer, 0);
                if (n > 0) answer.assign(buffer, static_cast<size_t>(n));
            }
        }
        closesocket(s);
        return answer;
    }

private:
    TWinsock FWinsock;
};
}  // namespace

std::unique_ptr<ISocket> CreateTcpSocket(int timeoutMs) { return std::make_unique<TWinSocket>(timeoutMs); }
std::unique_ptr<IDatagramSocket> CreateUdpSocket() { return std::make_unique<TWinDatagramSocket>(); }

std::string LocalHostName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size) || !name[0]) return "localhost";
    return name;
}

std::vector<std::string> SystemDnsServers() {
    std::vector<std::string> servers;
    ULONG size = 0;
    if (GetNetworkParams(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return servers;
    std::vector<char> buffer(size);
    auto* info = reinterpret_cast<FIXED_INFO*>(buffer.data());
    if (GetNetworkParams(info, &size) != NO_ERROR) return servers;
    for (IP_ADDR_STRING* a = &info->DnsServerList; a; a = a->Next) {
        uint32_t ip;
        int port;
        if (ParseServerAddress(a->IpAddress.String, ip, port)) servers.push_back(a->IpAddress.String);
    }
    return servers;
}
