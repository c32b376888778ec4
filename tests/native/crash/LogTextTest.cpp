#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/Errors.h"
#include "core/FileIO.h"
#include "crash/LineBreaks.h"
#include "crash/LogFile.h"
#include "crash/LogItem.h"
#include "crash/Options.h"
#include "crash/Report.h"
#include "crash/SymbolTable.h"

#include <zlib.h>

namespace {
std::string TempFolder(const char* name) {
    auto dir = std::filesystem::temp_directory_path() / ("plandesk_crash_" + std::string(name));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
}

std::string ReadAll(const std::string& path) { return ReadFileIfExists(path).value_or(""); }

std::string Report(const std::string& message, const std::string& time = "10:00:00", uint32_t thread = 1,
                   const TReportNames& names = {}) {
    TReportData d;
    d.Application = "plandesk.exe";
    d.Date = "2026-12-09";
    d.Time = time;
    d.ExceptionClass = "EAccessViolation";
    d.ExceptionMessage = message;
    d.Address = {0x140001234, "plandesk.exe", 0x1234, "FMain", "TfrmMain::btnAddClick", 42};
    d.ThreadId = thread;
    d.Stack = {d.Address, {0x140005678, "plandesk.exe", 0x5678, "Forms", "TApplication::Run", 0}};
    d.Threads = {{thread, true, {}}};
    return BuildReport(d, names).Text();
}
}  // namespace

TEST(LogItem, SectionsAndAlignedItems) {
    TLogItem log;
    log.AddSection("General");
    log.AddItem("Date", "2026-12-09");
    log.AddItem("Application", "plandesk.exe");
    log.AddSection("Stack");
    for (int i = 0; i < 10; ++i) log.AddItem("X", std::to_string(i));
    std::string text = log.Text();
    const std::string head =
        "General:\r\n"
        "--------\r\n"
        "  1.1 Date       : 2026-12-09\r\n"
        "  1.2 Application: plandesk.exe\r\n"
        "\r\n"
        "Stack:\r\n"
        "------";
    EXPECT_EQ(text.substr(0, head.size()), head);
    // Item 2.10 is one character longer; the other names are padded to it.
    EXPECT_NE(text.find("\r\n  2.9 X : 8\r\n  2.10 X: 9"), std::string::npos) << text;
    EXPECT_NE(text.back(), '\n');

    TLogItem parsed = TLogItem::Parse(text);
    ASSERT_EQ(parsed.Sections().size(), 2u);
    EXPECT_EQ(parsed.Sections()[0].Items[1].Name, "Application");
    EXPECT_EQ(parsed.Sections()[1].Items[9].Value, "9");
    EXPECT_TRUE(parsed.SameAs(log));
}

TEST(LogItem, LineBreaksInValuesStayOnOneLine) {
    TLogItem log;
    log.AddSection("Exception");
    log.AddItem("Message", "first\r\n\r\n\r\n\r\nsecond\nthird");
    EXPECT_EQ(log.Text(), "Exception:\r\n----------\r\n  1.1 Message: first    second third");
}

// CR LF, a lone CR and a lone LF are one break each; LF CR is two.
TEST(LineBreaks, EachKindIsOneBreak) {
    const struct {
        const char *Text, *Replacement, *Expected;
    } cases[] = {
        {"a\r\nb\rc\nd", "|", "a|b|c|d"}, {"a\n\rb", "|", "a||b"},       {"\r\n\r\r\n", "<>", "<><><>"},
        {"end\r", "\r\n", "end\r\n"},     {"no break", "|", "no break"}, {"", "|", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplaceLineBreaks(c.Text, c.Replacement), c.Expected) << c.Text;
}

TEST(LogFile, LocationRule) {
    EXPECT_EQ(LogFilePath("", "C:\\Apps\\plandesk.exe"), "C:\\Apps\\plandesk.vlf");
    EXPECT_EQ(LogFilePath("D:\\Logs", "C:\\Apps\\plandesk.exe"), "D:\\Logs\\plandesk.vlf");
    EXPECT_EQ(LogFilePath("D:\\Logs\\", "C:\\Apps\\plandesk.exe"), "D:\\Logs\\plandesk.vlf");
    EXPECT_EQ(LogFilePath("D:\\Logs\\errors.VLF", "C:\\Apps\\plandesk.exe"), "D:\\Logs\\errors.VLF");
    EXPECT_EQ(LogFilePath("errors.vlf", "C:\\Apps\\plandesk.exe"), "C:\\Apps\\errors.vlf");
    EXPECT_EQ(LogFilePath("logs", "/opt/app/plandesk.exe"), "/opt/app/logs/plandesk.vlf");
    EXPECT_EQ(LogFilePath("D:\\x.vlf.txt", "C:\\Apps\\plandesk.exe"), "D:\\x.vlf.txt\\plandesk.vlf");
}

TEST(LogFile, ReportsEndWithFourLineEndsAndTheOldestIsDropped) {
    std::string path = TempFolder("limit") + "p.vlf";
    TLogFile log(path, 3);
    for (int i = 1; i <= 5; ++i) log.Add("report " + std::to_string(i) + "\r\n");
    EXPECT_EQ(ReadAll(path), "report 3\r\n\r\n\r\n\r\nreport 4\r\n\r\n\r\n\r\nreport 5\r\n\r\n\r\n\r\n");
    EXPECT_FALSE(FileExists(path + ".saving"));
    std::vector<std::string> reports = log.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], "report 3");

    // A report text with its own run of blank lines stays one report.
    log.Add("a\r\n\r\n\r\n\r\n\r\nb");
    reports = log.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2], "a\r\n\r\nb");
}

TEST(LogFile, FailedRewriteKeepsEveryReport) {
    std::string path = TempFolder("rewrite") + "p.vlf";
    TLogFile log(path, 2);
    log.Add("one");
    log.Add("two");
    std::string before = ReadAll(path);
    TFileSetWriter::FailWriteForTesting(0);
    EXPECT_THROW(log.Add("three"), EFCreateError);
    EXPECT_EQ(ReadAll(path), before);
    log.Add("three");
    EXPECT_EQ(ReadAll(path), "two\r\n\r\n\r\n\r\nthree\r\n\r\n\r\n\r\n");
}

TEST(LogFile, ReportCutShortIsKeptAndSeparated) {
    std::string path = TempFolder("cut") + "p.vlf";
    { std::ofstream(path, std::ios::binary) << "whole\r\n\r\n\r\n\r\nhalf a rep"; }
    TLogFile log(path, 10);
    log.Add("next");
    EXPECT_EQ(ReadAll(path), "whole\r\n\r\n\r\n\r\nhalf a rep\r\n\r\n\r\n\r\nnext\r\n\r\n\r\n\r\n");
}

TEST(LogFile, DuplicatesIgnoreTimeAndThread) {
    std::string path = TempFolder("dup") + "p.vlf";
    TLogFile log(path, 10);
    log.Add(Report("Access violation"));
    EXPECT_TRUE(log.HasDuplicate(Report("Access violation", "11:30:00", 7)));
    EXPECT_FALSE(log.HasDuplicate(Report("Other message")));
    std::string otherStack = Report("Access violation");
    otherStack.replace(otherStack.find("TApplication::Run"), 3, "XYZ");
    EXPECT_FALSE(log.HasDuplicate(otherStack));
}

TEST(Report, SectionsAndDuplicatedTop) {
    TVesperStackList stack = {
        {0x10, "a.exe", 0x10, "", "", 0}, {0x10, "a.exe", 0x10, "", "", 0}, {0x20, "a.exe", 0x20, "", "", 0}};
    DropDuplicatedTop(stack);
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[1].Address, 0x20u);

    TLogItem log = TLogItem::Parse(Report("boom"));
    std::vector<std::string> titles;
    for (const auto& s : log.Sections()) titles.push_back(s.Title);
    ASSERT_EQ(titles, (std::vector<std::string>{"Application", "Exception", "Active control", "Call stack", "Modules",
                                                "Threads", "System"}));
    ASSERT_GE(log.Sections()[1].Items.size(), 3u);
    ASSERT_FALSE(log.Sections()[5].Items.empty());
    EXPECT_EQ(log.Sections()[1].Items[2].Value, "plandesk.exe+00001234 FMain - TfrmMain::btnAddClick (line 42)");
    EXPECT_EQ(log.Sections()[5].Items[0].Value, "main thread, failed");

    TReportData d;
    d.Warnings = {WarningText("Hook", 0x1234, "Cannot hook a null procedure (\"_invalid_parameter\").")};
    TLogItem built = BuildReport(d);
    ASSERT_FALSE(built.Sections().empty());
    ASSERT_FALSE(built.Sections()[0].Items.empty());
    EXPECT_EQ(built.Sections()[0].Items.back().Value,
              "[WARNING] - Code: Hook - Address: 0000000000001234 - Message: \"Cannot hook a null procedure "
              "(\"_invalid_parameter\").\"");
}

// The options may give the report's names in other words; the duplicate check
// then goes by those.
TEST(Report, NamesFromTheOptions) {
    TVesperModuleOptions o = ParseOptionsText(
        "ReportName.Exception = Fehler\nReportName.Call stack=Aufrufe\nReportName.Thread ID=Thread-Nr.\n"
        "ReportName.main thread=Hauptthread\nReportName.Thread=Faden\nReportName.Empty=\nReportname.Message=Text\n");
    EXPECT_EQ(o.ReportNames.Renamed.count("Empty"), 0u) << "an empty name keeps the default";
    std::string text = Report("boom", "10:00:00", 1, o.ReportNames);
    TLogItem log = TLogItem::Parse(text);
    ASSERT_EQ(log.Sections().size(), 7u);
    EXPECT_EQ(log.Sections()[1].Title, "Fehler");
    EXPECT_EQ(log.Sections()[1].Items[1].Name, "Text");
    EXPECT_EQ(log.Sections()[1].Items[3].Name, "Thread-Nr.");
    EXPECT_EQ(log.Sections()[3].Title, "Aufrufe");
    EXPECT_EQ(log.Sections()[5].Items[0].Name, "Faden 1");
    EXPECT_EQ(log.Sections()[5].Items[0].Value, "Hauptthread, failed");
    EXPECT_EQ(text.find("Exception"), std::string::npos) << text;

    std::string path = TempFolder("names") + "p.vlf";
    TLogFile file(path, 10);
    file.Add(text);
    EXPECT_TRUE(file.HasDuplicate(Report("boom", "11:00:00", 9, o.ReportNames), o.ReportNames));
    EXPECT_FALSE(file.HasDuplicate(Report("other", "11:00:00", 9, o.ReportNames), o.ReportNames));
    std::string otherStack = Report("boom", "11:00:00", 9, o.ReportNames);
    otherStack.replace(otherStack.find("TApplication::Run"), 3, "XYZ");
    EXPECT_FALSE(file.HasDuplicate(otherStack, o.ReportNames)) << "the renamed stack section is compared";
}

TEST(SymbolTable, FindsProcedureUnitAndLine) {
    TSymbolTable table;
    table.Load(
        "U 0 FMain\nU 1 UProjects\nP 1000 TfrmMain::btnAddClick\nP 1100 LoadProjects\nP 1200 memcpy\n"
        "L 1000 40 0\nL 1010 42 0\nL 1100 7 1\nL 1120 9 1\nL 1180 12 1\n");
    EXPECT_EQ(table.Find(0xFFF).Procedure, "");
    TSymbolInfo info = table.Find(0x1015);
    EXPECT_EQ(info.Procedure, "TfrmMain::btnAddClick");
    EXPECT_EQ(info.Unit, "FMain");
    EXPECT_EQ(info.Line, 42);
    EXPECT_EQ(table.Find(0x1120).Line, 9);
    info = table.Find(0x1250);  // no line rows inside memcpy
    EXPECT_EQ(info.Procedure, "memcpy");
    EXPECT_EQ(info.Unit, "");
    EXPECT_EQ(info.Line, 0);

    std::string text = "U 0 A\nP 10 f\nL 10 3 0\n";
    uLongf size = compressBound(text.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()), text.size());
    packed.resize(size);
    std::string file = "MZ program bytes" + packed + std::string(1, char(size)) + std::string(3, '\0') + "PDSYMTAB";
    ASSERT_TRUE(table.LoadFromFileTail(file));
    EXPECT_EQ(table.Find(0x11).Line, 3);
    EXPECT_FALSE(table.LoadFromFileTail("MZ program bytes"));
    file[file.size() - 12] = char(size + 100);  // a size beyond the data
    EXPECT_FALSE(table.LoadFromFileTail(file));
}

// Any line break ends a row, a row cut short is skipped without reading on
// into the next one, and rows out of address order are sorted, equal
// addresses keeping their order.
TEST(SymbolTable, ReadsEveryLineBreakAndRowsOutOfOrder) {
    TSymbolTable table;
    table.Load("U 0 A\r\nU 1 B\rP 2000 g\nP 1000 f\r\nL 2000 20 1\nL 1000 10 0\nL 1000 11 1\nL 1004\nP 1800\n");
    TSymbolInfo info = table.Find(0x1000);
    EXPECT_EQ(info.Procedure, "f");
    EXPECT_EQ(info.Unit, "B");
    EXPECT_EQ(info.Line, 11);
    info = table.Find(0x1900);
    EXPECT_EQ(info.Procedure, "f");
    EXPECT_EQ(info.Line, 11);
    info = table.Find(0x2004);
    EXPECT_EQ(info.Procedure, "g");
    EXPECT_EQ(info.Unit, "B");
    EXPECT_EQ(info.Line, 20);
}
