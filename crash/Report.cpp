#include "crash/Report.h"

#include <cstdio>

namespace {
std::string Hex(uint64_t v, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(v));
    return buffer;
}

const char* const ExceptionSection = "Exception";
const char* const StackSection = "Call stack";

void AddStack(TLogItem& log, const TVesperStackList& stack) {
    for (const TStackEntry& entry : stack) log.AddItem(Hex(entry.Address, 16), StackEntryText(entry));
}
}  // namespace

std::string StackEntryText(const TStackEntry& e) {
    std::string text = (e.Module.empty() ? std::string("?") : e.Module) + "+" + Hex(e.ModuleOffset, 8);
    if (!e.Unit.empty()) text += " " + e.Unit;
    if (!e.Procedure.empty()) text += " - " + e.Procedure;
    if (e.Line > 0) text += " (line " + std::to_string(e.Line) + ")";
    return text;
}

TLogItem BuildReport(const TReportData& d) {
    TLogItem log;
    log.AddSection("Application");
    log.AddItem("Name", d.Application);
    if (!d.Version.empty()) log.AddItem("Version", d.Version);
    log.AddItem("Date", d.Date);
    log.AddItem("Time", d.Time);
    if (!d.UpTime.empty()) log.AddItem("Up time", d.UpTime);
    log.AddItem("Process ID", std::to_string(d.ProcessId));
    for (const std::string& warning : d.Warnings) log.AddItem("Warning", warning);

    log.AddSection(ExceptionSection);
    log.AddItem("Class", d.ExceptionClass);
    log.AddItem("Message", d.ExceptionMessage);
    log.AddItem("Address", StackEntryText(d.Address));
    log.AddItem("Thread ID", std::to_string(d.ThreadId));
    if (!d.UserMessage.empty()) log.AddItem("User message", d.UserMessage);

    log.AddSection("Active control");
    log.AddItem("Class", d.ActiveControlClass);
    log.AddItem("Text", d.ActiveControlText);

    log.AddSection(StackSection);
    AddStack(log, d.Stack);
    if (!d.CreationStack.empty()) {
        log.AddItem("Thread created", "");
        AddStack(log, d.CreationStack);
    }

    if (!d.Registers.empty()) {
        log.AddSection("Registers");
        for (const auto& [name, value] : d.Registers) log.AddItem(name, value);
    }

    log.AddSection("Modules");
    for (const TModuleEntry& m : d.Modules)
        log.AddItem(m.Name, Hex(m.Base, 16) + " " + Hex(m.Size, 8) + (m.Version.empty() ? "" : " " + m.Version) + " " +
                                m.Path);

    log.AddSection("Threads");
    for (const TThreadEntry& t : d.Threads) {
        std::string value = t.Main ? "main thread" : "";
        if (t.Id == d.ThreadId) value += value.empty() ? "failed" : ", failed";
        if (!t.CreationStack.empty()) {
            if (!value.empty()) value += ", ";
            value += "created at " + StackEntryText(t.CreationStack.front());
        }
        log.AddItem("Thread " + std::to_string(t.Id), value);
    }

    log.AddSection("System");
    for (const auto& [name, value] : d.System) log.AddItem(name, value);
    return log;
}

std::string WarningText(const std::string& code, uint64_t address, const std::string& message) {
    return "[WARNING] - Code: " + code + " - Address: " + Hex(address, 16) + " - Message: \"" + message + "\"";
}

TLogItem DuplicateKey(const TLogItem& report) {
    TLogItem key;
    for (const TLogItem::Section& s : report.Sections()) {
        if (s.Title != ExceptionSection && s.Title != StackSection) continue;
        key.AddSection(s.Title);
        for (const TLogItem::Item& item : s.Items) {
            if (s.Title == ExceptionSection && (item.Name == "Thread ID" || item.Name == "User message")) continue;
            // Absolute addresses move with the load address; the stack's
            // values carry module-relative ones.
            key.AddItem(s.Title == StackSection ? std::string() : item.Name, item.Value);
        }
    }
    return key;
}

void DropDuplicatedTop(TVesperStackList& stack) {
    if (stack.size() > 1 && stack[0].Address == stack[1].Address) stack.erase(stack.begin());
}
