#include "crash/MailMessage.h"

#include <cstdio>
#include <ctime>

#include "core/TimeParts.h"
#include "crash/LineBreaks.h"

namespace {
const char* const Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Attachments as base64 in lines of 76 characters, the longest MIME allows.
std::string Base64Lines(const std::string& bytes) {
    std::string encoded = Base64Encode(bytes), out;
    for (size_t i = 0; i < encoded.size(); i += 76) out += encoded.substr(i, 76) + "\r\n";
    return out;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != tail[i]) return false;
    }
    return true;
}

// The report goes as 7bit text: line ends are CR LF only.
std::string CrLfText(const std::string& text) { return ReplaceLineBreaks(text, "\r\n"); }
}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += Alphabet[v >> 18];
        out += Alphabet[(v >> 12) & 63];
        out += Alphabet[(v >> 6) & 63];
        out += Alphabet[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += Alphabet[v >> 18];
        out += Alphabet[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string MailDate(long long unixTime) {
    static const char* const Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm tm = CalendarParts(static_cast<std::time_t>(unixTime), TClock::Utc);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d +0000", Days[tm.tm_wday], tm.tm_mday,
                  Months[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buffer;
}

std::string BuildMailMessage(const TMailMessage& m) {
    const std::string boundary = MailBoundary;
    std::string out;
    out += "Date: " + m.Date + "\r\n";
    out += "From: <" + m.Sender + ">\r\n";
    out += "Subject: " + m.Subject + "\r\n";
    out += "To: <" + m.Recipient + ">\r\n";
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\";\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "X-Priority: 1\r\n";
    out += "X-Library: VesperLog 4.6\r\n";
    out += "\r\n";
    out += "This is a multi-part message in MIME format\r\n";
    out += "\r\n";
    out += "--" + boundary + "\r\n";
    out += "Content-Type: text/plain\r\n";
    out += "Content-Transfer-Encoding: 7bit\r\n";
    out += "\r\n";
    out += CrLfText(m.Body) + "\r\n";
    for (const TMailAttachment& a : m.Attachments) {
        const char* type = EndsWithNoCase(a.FileName, ".png") ? "image/png" : "application/octet-stream";
        out += "--" + boundary + "\r\n";
        out += std::string("Content-Type: ") + type + "; name=\"" + a.FileName + "\"\r\n";
        out += "Content-Transfer-Encoding: base64\r\n";
        out += "Content-Disposition: attachment; filename=\"" + a.FileName + "\"\r\n";
        out += "\r\n";
        out += Base64Lines(a.Bytes);
    }
    out += "--" + boundary + "--\r\n";
    return out;
}
