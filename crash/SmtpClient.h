#pragma once
// The SMTP conversation that delivers a report mail (TVesperClientSMTP).
#include <string>
#include <vector>

#include "crash/Socket.h"

struct TSmtpAccount {
    std::string Host;  // server to talk to (already resolved from MX when needed)
    int Port = 25;
    std::string UserName, Password;  // AUTH LOGIN when either is set
    std::string Sender, Recipient;
};

class TVesperClientSMTP {
public:
    TVesperClientSMTP(ISocket& socket, std::string localHostName);

    // Delivers `message` (CR LF lines). Any failure raises Exception whose
    // message ends with the socket log; the socket is closed either way.
    void Send(const TSmtpAccount& account, const std::string& message);

    // "Socket log:" and one line per event, command and reply.
    std::string SocketLog() const;

private:
    void Command(const std::string& line, std::initializer_list<int> expected);
    int ReadReply();
    std::string ReadLine();

    ISocket& FSocket;
    std::string FLocalHostName;
    std::string FBuffer;
    std::vector<std::string> FLog;
};

// The body of the DATA command: the message with lines starting with "."
// doubled, so that no line of it can end the data early.
std::string DotStuffed(const std::string& message);
