#pragma once
// The report log file (".vlf"): reports one after the other, each ending with
// four CR LF pairs, at most a configured number of them.
#include <string>
#include <vector>

#include "crash/Report.h"

// The log file for an output path option: a path ending in ".vlf" is the log
// file itself; anything else names a folder (the program's folder when empty,
// relative paths taken from there) that holds the program's file name with
// the extension ".vlf".
std::string LogFilePath(const std::string& outputPath, const std::string& programFile);

class TLogFile {
public:
    static constexpr const char* ReportEnd = "\r\n\r\n\r\n\r\n";

    // maxReports 0 keeps every report.
    TLogFile(std::string path, int maxReports);

    // The stored reports in file order, without their terminators.
    std::vector<std::string> Reports() const;

    // True when a stored report describes the same fault as `report`: the
    // same exception and call stack, compared field by field. `names` are
    // those the reports were written with.
    bool HasDuplicate(const std::string& report, const TReportNames& names = {}) const;

    // Appends a report. When the file already holds the maximum, the oldest
    // reports are dropped and the file is rewritten through a temporary file
    // beside it, so that a failure during the rewrite loses nothing.
    void Add(const std::string& report);

private:
    std::string FPath;
    int FMaxReports;
};
