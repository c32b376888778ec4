#pragma once
// The reporter's options (TVesperModuleOptions), stored in the program as the
// resource "VLDATA": "Key=Value" lines, scrambled, then zlib-compressed.
#include <string>
#include <utility>
#include <vector>

#include "crash/Report.h"

enum class TSendMode { None, Smtp, MailClient };
enum class TAfterReport { Continue, Terminate, Restart };

struct TVesperModuleOptions {
    std::string OutputPath;  // log file or its folder, see LogFilePath
    int MaxReports = 20;     // 0 keeps every report
    bool SaveDuplicates = false;
    bool ShowDialog = true;
    bool AttachScreenshot = false;
    bool CopyToClipboard = false;
    TAfterReport AfterReport = TAfterReport::Continue;
    int FreezeTimeout = 0;  // seconds; 0 disables the watchdog
    std::string FreezeMessage = "The application seems to be frozen.";

    TSendMode SendMode = TSendMode::None;
    std::string MailTo, MailFrom, MailSubject = "Error report";
    std::string SmtpHost;  // empty: the MX of MailTo's domain
    int SmtpPort = 25;
    std::string SmtpUserName, SmtpPassword;
    std::vector<std::string> DnsServers;  // empty: the system's

    std::string DialogCaption = "Application error";
    std::string DialogMessage = "An error has occurred in the application.";
    std::string SupportMessage = "Please send the log file \"%s\" to the program's support address.";

    // Per-class handling: an exception of a listed class makes no report and
    // shows only its message (none when empty).
    bool HandleListedClasses = false;
    std::vector<std::pair<std::string, std::string>> ClassMessages;

    // "ReportName.<name>=<text>": the report's section and item names in the
    // program's own words.
    TReportNames ReportNames;
};

// The running program's set (TVesperModuleOptionsEx): the one the freeze
// watchdog follows, and the one used for a module without a set of its own.
struct TVesperModuleOptionsEx : TVesperModuleOptions {
    TVesperModuleOptionsEx() = default;
    explicit TVesperModuleOptionsEx(const TVesperModuleOptions& options) : TVesperModuleOptions(options) {}
};

// Options from their "Key=Value" text. Unknown keys are ignored; a malformed
// value leaves the default.
TVesperModuleOptions ParseOptionsText(const std::string& text);

// The stored form and back. DecodeStoredOptions raises Exception when the
// data cannot be unpacked.
std::string EncodeStoredOptions(const std::string& text);
TVesperModuleOptions DecodeStoredOptions(const std::string& stored);
