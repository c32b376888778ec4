// The mail path against real servers on loopback: Debian's aiosmtpd as the
// SMTP server and dnsmasq answering the MX query; the received message is
// taken apart by Python's standard MIME parser.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/FileIO.h"
#include "crash/DnsQuery.h"
#include "crash/MailSender.h"
#include "crash/PngEncoder.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;

int FreePort(int type) {
    int s = socket(AF_INET, type, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

// A server process of this test, ended when the test ends.
class TServer {
public:
    // Starts `args` and waits up to 20 s for `readyText` in its output, which
    // goes to a file: a pipe closed early would end the server with SIGPIPE.
    TServer(std::vector<std::string> args, const std::string& readyText, const std::string& logFile) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&FPid, argv[0], &actions, nullptr, argv.data(), environ) != 0) FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (FPid > 0 && std::chrono::steady_clock::now() < deadline) {
            FOutput = ReadFileIfExists(logFile).value_or("");
            if (FOutput.find(readyText) != std::string::npos) {
                FReady = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~TServer() {
        if (FPid <= 0) return;
        kill(FPid, SIGTERM);
        int status;
        for (int i = 0; i < 50 && waitpid(FPid, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (waitpid(FPid, &status, WNOHANG) == 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, &status, 0);
        }
    }
    bool Ready() const { return FReady; }
    const std::string& Output() const { return FOutput; }

private:
    pid_t FPid = -1;
    std::string FOutput;
    bool FReady = false;
};

std::string Folder(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("plandesk_smtp_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

std::string Read(const fs::path& path) { return ReadFileIfExists(path.string()).value_or("<missing>"); }

std::string WaitForMessage(const std::string& folder) {
    for (int i = 0; i < 100 && !fs::exists(fs::path(folder) / "1.eml"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return (fs::path(folder) / "1.eml").string();
}

struct TSample {
    std::string Report =
        "Exception:\r\n----------\r\n  1.1 Class  : EAccessViolation\r\n"
        ".a line starting with a dot\r\n.\r\n  1.2 Message: Access violation";
    std::string Log = std::string("Report\r\n\r\n\r\n\r\n") + std::string("\x00\x01\xff binary", 10);
    std::string Png;
    TSample() {
        std::vector<uint8_t> pixels(40 * 30 * 3);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
        Png = EncodePng(pixels.data(), 40, 30, 120);
    }
};

// Sends the sample report and checks what the server received.
void SendAndCheck(TVesperModuleOptions options, const std::string& inbox) {
    TSample sample;
    TMailMessage mail =
        ReportMail(options, sample.Report, {{"plandesk.vlf", sample.Log}, {"Screenshot.png", sample.Png}}, 1796812800);
    auto socket = CreateTcpSocket(30000);
    auto dns = CreateUdpSocket();
    ASSERT_NO_THROW(SendBySmtp(options, mail, *socket, *dns, LocalHostName()));

    std::string message = WaitForMessage(inbox);
    ASSERT_TRUE(fs::exists(message));
    EXPECT_EQ(Read(fs::path(inbox) / "1.envelope"), options.MailFrom + "\n" + options.MailTo + "\n");
    std::string parsed = inbox + "/parsed";
    fs::create_directories(parsed);
    std::string command =
        PLANDESK_SYSTEM_PYTHON " '" PLANDESK_TEST_DATA "/read_mail.py' '" + message + "' '" + parsed + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(Read(fs::path(parsed) / "headers"),
              "Date: Wed, 09 Dec 2026 10:40:00 +0000\n"
              "From: " +
                  options.MailFrom +
                  "\n"
                  "To: " +
                  options.MailTo +
                  "\n"
                  "Subject: " +
                  options.MailSubject +
                  "\n"
                  "MIME-Version: 1.0\nX-Priority: 1\nX-Library: VesperLog 4.6\n"
                  "boundary: =_xcjvnxkbhvfkxzhfdbvzldjhfv\n");
    EXPECT_EQ(Read(fs::path(parsed) / "parts"),
              "text/plain 7bit -\n"
              "application/octet-stream base64 plandesk.vlf\n"
              "image/png base64 Screenshot.png\n");
    // The parser gives the text part with its own line ends.
    std::string body = sample.Report;
    for (size_t at; (at = body.find("\r\n")) != std::string::npos;) body.erase(at, 1);
    EXPECT_EQ(Read(fs::path(parsed) / "body"), body);
    EXPECT_EQ(Read(fs::path(parsed) / "plandesk.vlf"), sample.Log);
    EXPECT_EQ(Read(fs::path(parsed) / "Screenshot.png"), sample.Png);
    std::string check = "pngcheck -q '" + parsed + "/Screenshot.png' >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0) << "pngcheck rejects the screenshot";
}

TVesperModuleOptions MailOptions(int port) {
    TVesperModuleOptions o;
    o.SendMode = TSendMode::Smtp;
    o.SmtpHost = "127.0.0.1";
    o.SmtpPort = port;
    o.MailFrom = "plandesk@example.test";
    o.MailTo = "support@example.test";
    o.MailSubject = "Plandesk error report";
    return o;
}
}  // namespace

TEST(SmtpServer, SendsWithoutLogin) {
    std::string inbox = Folder("plain");
    int port = FreePort(SOCK_STREAM);
    TServer server({PLANDESK_SYSTEM_PYTHON, PLANDESK_TEST_DATA "/smtp_server.py", std::to_string(port), inbox}, "ready",
                   inbox + "/server.log");
    ASSERT_TRUE(server.Ready()) << server.Output();
    SendAndCheck(MailOptions(port), inbox);
    fs::remove_all(inbox);
}

TEST(SmtpServer, SendsWithLoginAndRefusesAWrongPassword) {
    std::string inbox = Folder("login");
    int port = FreePort(SOCK_STREAM);
    TServer server({PLANDESK_SYSTEM_PYTHON, PLANDESK_TEST_DATA "/smtp_server.py", std::to_string(port), inbox,
                    "reporter", "s3cret"},
                   "ready", inbox + "/server.log");
    ASSERT_TRUE(server.Ready()) << server.Output();
    TVesperModuleOptions options = MailOptions(port);
    options.SmtpUserName = "reporter";
    options.SmtpPassword = "wrong";
    auto socket = CreateTcpSocket(30000);
    auto dns = CreateUdpSocket();
    try {
        SendBySmtp(options, ReportMail(options, "r", {}, 0), *socket, *dns, "pc");
        FAIL() << "accepted a wrong password";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("> AUTH LOGIN"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("< 535"), std::string::npos) << e.Message();
    }
    options.SmtpPassword = "s3cret";
    SendAndCheck(options, inbox);
    fs::remove_all(inbox);
}

TEST(SmtpServer, FindsTheServerThroughTheMxRecord) {
    std::string inbox = Folder("mx");
    int smtpPort = FreePort(SOCK_STREAM), dnsPort = FreePort(SOCK_DGRAM);
    TServer smtp({PLANDESK_SYSTEM_PYTHON, PLANDESK_TEST_DATA "/smtp_server.py", std::to_string(smtpPort), inbox},
                 "ready", inbox + "/server.log");
    ASSERT_TRUE(smtp.Ready()) << smtp.Output();
    TServer dns(
        {"dnsmasq", "--keep-in-foreground", "--log-facility=-", "--conf-file=/dev/null", "--pid-file=", "--no-resolv",
         "--no-hosts", "--bind-interfaces", "--listen-address=127.0.0.1", "--port=" + std::to_string(dnsPort),
         "--user=root", "--mx-host=example.test,localhost,10", "--mx-host=example.test,backup.invalid,20"},
        "started", inbox + "/dns.log");
    ASSERT_TRUE(dns.Ready()) << dns.Output();

    std::string server = "127.0.0.1:" + std::to_string(dnsPort);
    auto udp = CreateUdpSocket();
    EXPECT_EQ(ResolveMailExchanger("support@example.test", {server}, *udp), "localhost");
    try {
        ResolveMailExchanger("support@nothing.test", {server}, *udp, 2000);
        FAIL() << "resolved a domain without MX";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot resolve the \"nothing.test\" MX record.");
    }

    TVesperModuleOptions options = MailOptions(smtpPort);
    options.SmtpHost.clear();
    options.DnsServers = {server};
    SendAndCheck(options, inbox);
    fs::remove_all(inbox);
}

TEST(SmtpServer, SocketFailuresHaveTheReportersTexts) {
    auto refused = CreateTcpSocket(1000);
    try {
        refused->Connect("127.0.0.1", FreePort(SOCK_STREAM));
        FAIL() << "connected to a closed port";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Message().rfind("Connection error: \"", 0), 0u) << e.Message();
    }

    // A server that accepts (the system does, from its backlog) but never answers.
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    ASSERT_EQ(listen(listener, 4), 0);
    auto silent = CreateTcpSocket(300);
    EXPECT_EQ(silent->Connect("127.0.0.1", ntohs(a.sin_port)),
              "Connected to 127.0.0.1 port " + std::to_string(ntohs(a.sin_port)));
    try {
        silent->Receive();
        FAIL() << "received from a silent server";
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.Message(), "Socket timeout.");
    }
    silent->Close();
    close(listener);
}
