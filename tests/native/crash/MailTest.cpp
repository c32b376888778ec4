#include <gtest/gtest.h>
#include <zlib.h>

#include <deque>

#include "crash/DnsQuery.h"
#include "crash/MailMessage.h"
#include "crash/PngEncoder.h"
#include "crash/SmtpClient.h"

TEST(Mail, Base64) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("f"), "Zg==");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(Base64Encode("foob"), "Zm9vYg==");
    EXPECT_EQ(Base64Encode(std::string("\xff\x00\xfe", 3)), "/wD+");
}

TEST(Mail, MessageLayout) {
    TMailMessage m;
    m.Date = MailDate(1796812800);  // 2026-12-09 10:40:00 UTC
    m.Sender = "app@example.test";
    m.Recipient = "dev@example.test";
    m.Subject = "Error report";
    m.Body = "line 1\nline 2";
    m.Attachments = {{"plandesk.vlf", std::string(100, 'x')}, {"Screenshot.png", "PNG"}};
    std::string text = BuildMailMessage(m);
    const std::string head =
        "Date: Wed, 09 Dec 2026 10:40:00 +0000\r\n"
        "From: <app@example.test>\r\n"
        "Subject: Error report\r\n"
        "To: <dev@example.test>\r\n"
        "Content-Type: multipart/mixed; boundary=\"=_xcjvnxkbhvfkxzhfdbvzldjhfv\";\r\n"
        "MIME-Version: 1.0\r\n"
        "X-Priority: 1\r\n"
        "X-Library: VesperLog 4.6\r\n"
        "\r\n"
        "This is a multi-part message in MIME format\r\n"
        "\r\n"
        "--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Transfer-Encoding: 7bit\r\n"
        "\r\n"
        "line 1\r\nline 2\r\n"
        "--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: application/octet-stream; name=\"plandesk.vlf\"\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=\"plandesk.vlf\"\r\n"
        "\r\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    // 100 bytes are 136 base64 characters: one full line of 76 and one of 60.
    std::string rest = text.substr(head.size());
    EXPECT_EQ(rest.find("\r\n"), 76u);
    EXPECT_EQ(rest.find("\r\n", 78), 78u + 60);
    EXPECT_NE(text.find("Content-Type: image/png; name=\"Screenshot.png\"\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 36), "\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

namespace {
// Plays the server's side from a script of expected command and reply pairs.
class TScriptedSocket : public ISocket {
public:
    std::deque<std::pair<std::string, std::string>> Script;  // expected client line, server reply
    std::string Received;
    bool Closed = false;

    std::string Connect(const std::string& host, int port) override {
        Host = host;
        Port = port;
        Pending = "220 ready\r\n";
        return "Connected to 127.0.0.1 port " + std::to_string(port);
    }
    void Send(const std::string& bytes) override {
        Received += bytes;
        size_t end;
        while (!Script.empty() && (end = Received.find(Script.front().first)) != std::string::npos) {
            Received.erase(0, end + Script.front().first.size());
            Pending += Script.front().second;
            Script.pop_front();
        }
    }
    std::string Receive() override {
        if (Pending.empty()) throw ESocketError("Socket timeout.");
        std::string out = Pending.substr(0, 5);  // replies arrive in pieces
        Pending.erase(0, 5);
        return out;
    }
    void Close() override { Closed = true; }

    std::string Host, Pending;
    int Port = 0;
};
}  // namespace

TEST(Smtp, ConversationWithLogin) {
    TScriptedSocket s;
    s.Script = {{"EHLO pc\r\n", "250-hello\r\n250 AUTH LOGIN\r\n"},
                {"RSET\r\n", "250 ok\r\n"},
                {"AUTH LOGIN\r\n", "334 VXNlcm5hbWU6\r\n"},
                {"dXNlcg==\r\n", "334 UGFzc3dvcmQ6\r\n"},
                {"c2VjcmV0\r\n", "235 ok\r\n"},
                {"MAIL FROM:<a@x.test>\r\n", "250 ok\r\n"},
                {"RCPT TO:<b@y.test>\r\n", "251 forwarded\r\n"},
                {"DATA\r\n", "354 go\r\n"},
                {"Subject: s\r\n\r\n..hidden\r\nend\r\n.\r\n", "250 queued\r\n"}};
    TVesperClientSMTP smtp(s, "pc");
    smtp.Send({"mail.y.test", 2525, "user", "secret", "a@x.test", "b@y.test"}, "Subject: s\r\n\r\n.hidden\r\nend\r\n");
    EXPECT_TRUE(s.Script.empty());
    EXPECT_TRUE(s.Closed);
    EXPECT_EQ(s.Host, "mail.y.test");
    EXPECT_EQ(s.Port, 2525);
    std::string log = smtp.SocketLog();
    EXPECT_EQ(log.substr(0, 45), "Socket log:\r\nConnected to 127.0.0.1 port 2525");
    EXPECT_EQ(log.find("c2VjcmV0"), std::string::npos) << "the password stays out of the log";
}

TEST(Smtp, UnexpectedReplyStopsWithTheLog) {
    TScriptedSocket s;
    s.Script = {{"HELO pc\r\n", "250 hi\r\n"},
                {"RSET\r\n", "250 ok\r\n"},
                {"MAIL FROM:<a@x.test>\r\n", "250 ok\r\n"},
                {"RCPT TO:<b@y.test>\r\n", "550 no such user\r\n"}};
    TVesperClientSMTP smtp(s, "pc");
    try {
        smtp.Send({"h", 25, "", "", "a@x.test", "b@y.test"}, "x\r\n");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("Socket log:"), std::string::npos);
        EXPECT_NE(e.Message().find("< 550 no such user"), std::string::npos);
        EXPECT_EQ(e.Message().find("DATA"), std::string::npos);
    }
    EXPECT_TRUE(s.Closed);

    TScriptedSocket silent;
    TVesperClientSMTP quiet(silent, "pc");
    silent.Script = {{"HELO pc\r\n", ""}};
    try {
        quiet.Send({"h", 25, "", "", "a@x.test", "b@y.test"}, "x\r\n");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message().substr(0, 15), "Socket timeout.");
    }
}

TEST(Png, CrcAndPixelsSurviveTheRoundTrip) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    const int w = 7, h = 5, stride = 24;
    std::vector<uint8_t> bgr(stride * h);
    for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 37 + i / 5);
    std::string png = EncodePng(bgr.data(), w, h, stride);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    ASSERT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
    // Every chunk's CRC covers its type and data.
    size_t pos = 8;
    std::string idat;
    while (pos < png.size()) {
        uint32_t len =
            uint8_t(png[pos]) << 24 | uint8_t(png[pos + 1]) << 16 | uint8_t(png[pos + 2]) << 8 | uint8_t(png[pos + 3]);
        uint32_t crc = Crc32(png.data() + pos + 4, len + 4);
        const char* c = png.data() + pos + 8 + len;
        EXPECT_EQ(crc, uint32_t(uint8_t(c[0]) << 24 | uint8_t(c[1]) << 16 | uint8_t(c[2]) << 8 | uint8_t(c[3])));
        if (png.compare(pos + 4, 4, "IDAT") == 0) idat += png.substr(pos + 8, len);
        pos += 12 + len;
    }
    std::vector<uint8_t> raw((w * 3 + 1) * h);
    uLongf size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(idat.data()), idat.size()), Z_OK);
    ASSERT_EQ(size, raw.size());
    // Undo the filters and compare with the source pixels.
    std::vector<uint8_t> prior(w * 3, 0), row(w * 3);
    for (int y = 0; y < h; ++y) {
        const uint8_t* f = &raw[y * (w * 3 + 1)];
        for (int i = 0; i < w * 3; ++i) {
            int a = i >= 3 ? row[i - 3] : 0, b = prior[i], c = i >= 3 ? prior[i - 3] : 0, p = a + b - c;
            int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            int pred[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
            ASSERT_LT(f[0], 5);
            row[i] = static_cast<uint8_t>(f[1 + i] + pred[f[0]]);
        }
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(row[x * 3], bgr[y * stride + x * 3 + 2]);
            EXPECT_EQ(row[x * 3 + 2], bgr[y * stride + x * 3]);
        }
        prior = row;
    }
    EXPECT_THROW(EncodePng(bgr.data(), 0, 1, 3), Exception);
    EXPECT_THROW(EncodePng(bgr.data(), 9, 1, 24), Exception);
}

namespace {
std::string MxAnswer(uint16_t id, uint16_t flags = 0x8180) {
    std::string query = BuildMxQuery(id, "example.test");
    std::string a = query;
    a[2] = static_cast<char>(flags >> 8);
    a[3] = static_cast<char>(flags);
    a[7] = 2;  // two answers
    // Each: name pointer to the question (offset 12), MX, IN, TTL, data.
    a += std::string("\xc0\x0c\x00\x0f\x00\x01\x00\x00\x0e\x10\x00\x0a\x00\x14\x05mail2\xc0\x0c", 22);
    a += std::string("\xc0\x0c\x00\x0f\x00\x01\x00\x00\x0e\x10\x00\x09\x00\x0a\x04mail\xc0\x0c", 21);
    return a;
}

class TFakeDns : public IDatagramSocket {
public:
    std::vector<std::string> Asked;
    bool WrongId = false;
    std::string Exchange(const std::string& server, const std::string& request, int) override {
        Asked.push_back(server);
        uint16_t id = static_cast<uint16_t>(uint8_t(request[0]) << 8 | uint8_t(request[1]));
        if (server == "10.0.0.1") return {};
        return MxAnswer(WrongId ? id + 1 : id);
    }
};
}  // namespace

TEST(Dns, QueryAndAnswer) {
    EXPECT_EQ(BuildMxQuery(0x1234, "example.test."), std::string("\x12\x34\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00\x07"
                                                                 "example\x04test\x00\x00\x0f\x00\x01",
                                                                 30));
    EXPECT_THROW(BuildMxQuery(1, "a..b"), Exception);
    EXPECT_THROW(BuildMxQuery(1, std::string(64, 'a') + ".test"), Exception);

    auto records = ParseMxAnswer(MxAnswer(7), 7);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Host, "mail.example.test");
    EXPECT_EQ(records[0].Preference, 10);
    EXPECT_EQ(records[1].Host, "mail2.example.test");
    EXPECT_TRUE(ParseMxAnswer(MxAnswer(7), 8).empty());
    EXPECT_TRUE(ParseMxAnswer(MxAnswer(7, 0x8183), 7).empty());  // NXDOMAIN
    std::string answer = MxAnswer(7);
    for (size_t cut = 0; cut < answer.size(); ++cut) EXPECT_TRUE(ParseMxAnswer(answer.substr(0, cut), 7).size() < 2);
    std::string loop = answer;
    loop[loop.size() - 2] = '\xc0';
    loop[loop.size() - 1] = static_cast<char>(loop.size() - 2);  // a pointer to itself
    EXPECT_NO_THROW(ParseMxAnswer(loop, 7));
}

TEST(Dns, ResolveAsksEachServerInTurn) {
    TFakeDns dns;
    EXPECT_EQ(ResolveMailExchanger("dev@example.test", {"10.0.0.1", "10.0.0.2:5353"}, dns), "mail.example.test");
    EXPECT_EQ(dns.Asked, (std::vector<std::string>{"10.0.0.1", "10.0.0.2:5353"}));
    dns.WrongId = true;
    try {
        ResolveMailExchanger("dev@example.test", {}, dns);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot resolve the \"example.test\" MX record.");
    }
    EXPECT_EQ(dns.Asked.back(), "8.8.8.8");
}
