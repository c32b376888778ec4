#include "crash/Options.h"

#include <zlib.h>

#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "core/Errors.h"
#include "core/Inflate.h"
#include "core/StringList.h"
#include "core/TextCompare.h"

namespace {
bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < 0 || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

void ParseBool(const std::string& text, bool& value) {
    if (text == "1" || AnsiSameText(text, "true") || AnsiSameText(text, "yes")) value = true;
    if (text == "0" || AnsiSameText(text, "false") || AnsiSameText(text, "no")) value = false;
}

// One of several named values; an unknown name leaves `value` as it was.
template <class T>
void ParseChoice(const std::string& text, T& value, std::initializer_list<std::pair<const char*, T>> choices) {
    for (const auto& [name, choice] : choices)
        if (AnsiSameText(text, name)) {
            value = choice;
            return;
        }
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string item = Trim(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!item.empty()) items.push_back(item);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return items;
}
// The texts' scrambling; it is its own inverse.
std::string ScrambleOptionsText(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(out[i] ^ ((0xA5 + i * 7) & 0xFF));
    return out;
}
}  // namespace

TVesperModuleOptions ParseOptionsText(const std::string& text) {
    TVesperModuleOptions o;
    for (const std::string& line : SplitLines(text)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos || line[0] == ';') continue;
        std::string key = Trim(line.substr(0, eq)), value = line.substr(eq + 1);
        if (AnsiSameText(key, "OutputPath"))
            o.OutputPath = value;
        else if (AnsiSameText(key, "MaxReports"))
            ParseInt(value, o.MaxReports);
        else if (AnsiSameText(key, "SaveDuplicates"))
            ParseBool(value, o.SaveDuplicates);
        else if (AnsiSameText(key, "ShowDialog"))
            ParseBool(value, o.ShowDialog);
        else if (AnsiSameText(key, "AttachScreenshot"))
            ParseBool(value, o.AttachScreenshot);
        else if (AnsiSameText(key, "CopyToClipboard"))
            ParseBool(value, o.CopyToClipboard);
        else if (AnsiSameText(key, "AfterReport"))
            ParseChoice(value, o.AfterReport,
                        {{"Terminate", TAfterReport::Terminate},
                         {"Restart", TAfterReport::Restart},
                         {"Continue", TAfterReport::Continue}});
        else if (AnsiSameText(key, "FreezeTimeout"))
            ParseInt(value, o.FreezeTimeout);
        else if (AnsiSameText(key, "FreezeMessage"))
            o.FreezeMessage = value;
        else if (AnsiSameText(key, "SendMode"))
            ParseChoice(value, o.SendMode,
                        {{"SMTP", TSendMode::Smtp}, {"MailClient", TSendMode::MailClient}, {"None", TSendMode::None}});
        else if (AnsiSameText(key, "MailTo"))
            o.MailTo = Trim(value);
        else if (AnsiSameText(key, "MailFrom"))
            o.MailFrom = Trim(value);
        else if (AnsiSameText(key, "MailSubject"))
            o.MailSubject = value;
        else if (AnsiSameText(key, "SmtpHost"))
            o.SmtpHost = Trim(value);
        else if (AnsiSameText(key, "SmtpPort")) {
            int port = 0;
            if (ParseInt(value, port) && port > 0 && port < 65536) o.SmtpPort = port;
        } else if (AnsiSameText(key, "SmtpUserName"))
            o.SmtpUserName = value;
        else if (AnsiSameText(key, "SmtpPassword"))
            o.SmtpPassword = value;
        else if (AnsiSameText(key, "DnsServers"))
            o.DnsServers = SplitList(value);
        else if (AnsiSameText(key, "DialogCaption"))
            o.DialogCaption = value;
        else if (AnsiSameText(key, "DialogMessage"))
            o.DialogMessage = value;
        else if (AnsiSameText(key, "SupportMessage"))
            o.SupportMessage = value;
        else if (AnsiSameText(key, "HandleListedClasses"))
            ParseBool(value, o.HandleListedClasses);
        else if (key.size() > 11 && AnsiSameText(key.substr(0, 11), "ReportName.")) {
            std::string name = Trim(key.substr(11)), text = Trim(value);
            if (!name.empty() && !text.empty()) o.ReportNames.Renamed[name] = text;
        } else if (AnsiSameText(key, "ClassMessage")) {
            size_t bar = value.find('|');
            o.ClassMessages.emplace_back(Trim(value.substr(0, bar)),
                                         bar == std::string::npos ? std::string() : value.substr(bar + 1));
        }
    }
    return o;
}

std::string EncodeStoredOptions(const std::string& text) {
    std::string scrambled = ScrambleOptionsText(text);
    uLongf size = compressBound(static_cast<uLong>(scrambled.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(scrambled.data()),
                  static_cast<uLong>(scrambled.size()), 9) != Z_OK)
        throw Exception("Cannot compress the options.");
    out.resize(size);
    return out;
}

TVesperModuleOptions DecodeStoredOptions(const std::string& stored) {
    std::optional<std::string> text = InflateAll(stored, 1u << 20);
    if (!text) throw Exception("Cannot read the stored options.");
    return ParseOptionsText(ScrambleOptionsText(*text));
}
