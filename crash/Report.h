#pragma once
// What is known about one failure, and its report text.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "crash/LogItem.h"

struct TStackEntry {
    uint64_t Address = 0;
    std::string Module;         // file name of the module holding the address
    uint64_t ModuleOffset = 0;  // address - module base, stable across runs
    std::string Unit, Procedure;
    int Line = 0;  // 0 when unknown
};
using TVesperStackList = std::vector<TStackEntry>;

struct TModuleEntry {
    std::string Name, Path, Version;
    uint64_t Base = 0, Size = 0;
};
using TVesperModulesList = std::vector<TModuleEntry>;

struct TThreadEntry {
    uint32_t Id = 0;
    bool Main = false;
    TVesperStackList CreationStack;
};
using TVesperThreadsList = std::vector<TThreadEntry>;

struct TReportData {
    std::string Application, Version;
    std::string Date, Time, UpTime;
    uint32_t ProcessId = 0;
    std::string ExceptionClass, ExceptionMessage;
    TStackEntry Address;  // where it was raised
    uint32_t ThreadId = 0;
    std::string ActiveControlClass, ActiveControlText;
    std::vector<std::pair<std::string, std::string>> Registers;
    TVesperStackList Stack, CreationStack;
    TVesperModulesList Modules;
    TVesperThreadsList Threads;
    std::vector<std::pair<std::string, std::string>> System;
    std::string UserMessage;            // steps to reproduce, when the user wrote some
    std::vector<std::string> Warnings;  // the reporter's own, such as failed hooks
};

// Section and item names as the options rename them: the name the report
// writes by default -> the name to write instead. Names not listed stay.
struct TReportNames {
    std::map<std::string, std::string> Renamed;
    std::string operator()(const std::string& name) const {
        auto it = Renamed.find(name);
        return it == Renamed.end() ? name : it->second;
    }
};

TLogItem BuildReport(const TReportData& data, const TReportNames& names = {});

// "[WARNING] - Code: %s - Address: %s - Message: "%s"".
std::string WarningText(const std::string& code, uint64_t address, const std::string& message);

// One stack entry as report text: "module+offset unit - procedure (line n)".
std::string StackEntryText(const TStackEntry& entry);

// The part of a report that tells one fault from another: the exception and
// its call stack, without the values that change between two occurrences.
// `names` must be those the reports were written with.
TLogItem DuplicateKey(const TLogItem& report, const TReportNames& names = {});

// Removes a top entry repeated by the next one (the raise address named both
// by the exception record and by the stack walk).
void DropDuplicatedTop(TVesperStackList& stack);
