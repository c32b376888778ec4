#include "crash/LogFile.h"

#include <cerrno>
#include <cstdio>
#include <optional>

#include "core/Errors.h"
#include "core/FileIO.h"
#include "crash/LogItem.h"
#include "crash/Report.h"

namespace {
bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char a = s[s.size() - tail.size() + i], b = tail[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string FolderOf(const std::string& file) {
    size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string Separator(const std::string& path) {
    return path.find('/') != std::string::npos && path.find('\\') == std::string::npos ? "/" : "\\";
}

// A report with its line ends normalised and no run of blank lines long
// enough to be taken for the end of a report.
std::string Normalised(const std::string& report) {
    std::string out;
    int newlines = 0;
    for (size_t i = 0; i < report.size(); ++i) {
        char c = report[i];
        if (c == '\r' && i + 1 < report.size() && report[i + 1] == '\n') continue;
        if (c == '\r' || c == '\n') {
            if (++newlines < 3) out += "\r\n";
        } else {
            newlines = 0;
            out += c;
        }
    }
    while (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0) out.resize(out.size() - 2);
    return out;
}

void AppendToFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) throw EFCreateError(path, SystemErrorText(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw EFCreateError(path, SystemErrorText(errno));
}
}  // namespace

std::string LogFilePath(const std::string& outputPath, const std::string& programFile) {
    std::string programFolder = FolderOf(programFile);
    std::string path = outputPath;
    if (!path.empty() && !IsAbsolute(path)) path = programFolder + path;
    if (EndsWithNoCase(path, ".vlf")) return path;
    if (path.empty()) path = programFolder;
    if (!path.empty() && !IsSeparator(path.back())) path += Separator(path);
    std::string name = programFile.substr(programFolder.size());
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    return path + name + ".vlf";
}

TLogFile::TLogFile(std::string path, int maxReports) : FPath(std::move(path)), FMaxReports(maxReports) {}

std::vector<std::string> TLogFile::Reports() const {
    std::vector<std::string> reports;
    std::optional<std::string> text = ReadFileIfExists(FPath);
    if (!text) return reports;
    const std::string end = ReportEnd;
    size_t pos = 0;
    while (pos < text->size()) {
        size_t next = text->find(end, pos);
        if (next == std::string::npos) {
            // A report cut short (the program died while writing it) is
            // still kept.
            std::string rest = Normalised(text->substr(pos));
            if (!rest.empty()) reports.push_back(rest);
            break;
        }
        if (next > pos) reports.push_back(text->substr(pos, next - pos));
        pos = next + end.size();
        while (text->compare(pos, 2, "\r\n") == 0) pos += 2;
    }
    return reports;
}

bool TLogFile::HasDuplicate(const std::string& report, const TReportNames& names) const {
    TLogItem key = DuplicateKey(TLogItem::Parse(report), names);
    for (const std::string& stored : Reports())
        if (DuplicateKey(TLogItem::Parse(stored), names).SameAs(key)) return true;
    return false;
}

void TLogFile::Add(const std::string& report) {
    std::string entry = Normalised(report) + ReportEnd;
    std::optional<std::string> current = ReadFileIfExists(FPath);
    std::vector<std::string> reports = Reports();
    bool wellFormed = !current || current->empty() ||
                      (current->size() >= 8 && current->compare(current->size() - 8, 8, ReportEnd) == 0);
    bool full = FMaxReports > 0 && static_cast<int>(reports.size()) >= FMaxReports;
    if (wellFormed && !full) {
        AppendToFile(FPath, entry);
        return;
    }
    size_t first = full ? reports.size() - FMaxReports + 1 : 0;
    std::string text;
    for (size_t i = first; i < reports.size(); ++i) text += reports[i] + ReportEnd;
    text += entry;
    TFileSetWriter writer;
    writer.Add(FPath, text);
    writer.Commit();
}
