#include "crash/SmtpClient.h"

#include <algorithm>

#include "crash/MailMessage.h"

TVesperClientSMTP::TVesperClientSMTP(ISocket& socket, std::string localHostName)
    : FSocket(socket), FLocalHostName(std::move(localHostName)) {}

std::string TVesperClientSMTP::SocketLog() const {
    std::string out = "Socket log:";
    for (const std::string& line : FLog) out += "\r\n" + line;
    return out;
}

std::string TVesperClientSMTP::ReadLine() {
    size_t end;
    while ((end = FBuffer.find('\n')) == std::string::npos) FBuffer += FSocket.Receive();
    std::string line = FBuffer.substr(0, end);
    FBuffer.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// A reply may span several lines ("250-..." continued, "250 ..." last); its
// code is the leading decimal number, -1 when there is none.
int TVesperClientSMTP::ReadReply() {
    for (;;) {
        std::string line = ReadLine();
        FLog.push_back("< " + line);
        if (line.size() > 3 && line[3] == '-') continue;
        size_t digits = 0;
        while (digits < line.size() && digits < 9 && line[digits] >= '0' && line[digits] <= '9') ++digits;
        return digits ? std::stoi(line.substr(0, digits)) : -1;
    }
}

void TVesperClientSMTP::Command(const std::string& line, std::initializer_list<int> expected) {
    if (!line.empty()) {
        FLog.push_back("> " + line);
        FSocket.Send(line + "\r\n");
    }
    int code = ReadReply();
    if (std::find(expected.begin(), expected.end(), code) == expected.end()) throw Exception("Unexpected SMTP answer.");
}

void TVesperClientSMTP::Send(const TSmtpAccount& account, const std::string& message) {
    FLog.clear();
    FBuffer.clear();
    try {
        FLog.push_back(FSocket.Connect(account.Host, account.Port));
        Command("", {220});
        if (!account.UserName.empty() || !account.Password.empty()) {
            Command("EHLO " + FLocalHostName, {250});
            Command("RSET", {250});
            Command("AUTH LOGIN", {334});
            Command(Base64Encode(account.UserName), {334});
            // The password never goes into the log that may be shown or mailed.
            FLog.push_back("> (password)");
            FSocket.Send(Base64Encode(account.Password) + "\r\n");
            Command("", {235});
        } else {
            Command("HELO " + FLocalHostName, {250});
            Command("RSET", {250});
        }
        Command("MAIL FROM:<" + account.Sender + ">", {250});
        Command("RCPT TO:<" + account.Recipient + ">", {250, 251});
        Command("DATA", {354});
        FLog.push_back("> (message, " + std::to_string(message.size()) + " bytes)");
        FSocket.Send(DotStuffed(message));
        Command(".", {250});
        FSocket.Close();
    } catch (const Exception& e) {
        try {
            FSocket.Close();
        } catch (const Exception&) {
        }
        throw Exception(e.Message() + "\r\n" + SocketLog());
    }
}

std::string DotStuffed(const std::string& message) {
    std::string out;
    out.reserve(message.size() + 16);
    bool lineStart = true;
    for (char c : message) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    return out;
}
