#pragma once
// The report mail: a MIME multipart message with the report as text and the
// log file and screenshot as attachments.
#include <string>
#include <vector>

std::string Base64Encode(const std::string& bytes);

struct TMailAttachment {
    std::string FileName;  // name shown to the recipient
    std::string Bytes;
};

struct TMailMessage {
    std::string Date;  // RFC 5322 date text, see MailDate
    std::string Sender, Recipient, Subject;
    std::string Body;  // the report text
    std::vector<TMailAttachment> Attachments;
};

inline constexpr const char* MailBoundary = "=_xcjvnxkbhvfkxzhfdbvzldjhfv";

// Date header text for a UTC time in seconds since 1970.
std::string MailDate(long long unixTime);

// The whole message, lines separated by CR LF.
std::string BuildMailMessage(const TMailMessage& message);
