#include "crash/Report.h"

#include <cstdio>

namespace {
std::string Hex(uint64_t v, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(v));
    return buffer;
}

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

TLogItem BuildReport(const TReportData& d, const TReportNames& n) {
    TLogItem log;
    log.AddSection(n("Application"));
    log.AddItem(n("Name"), d.Application);
    if (!d.Version.empty()) log.AddItem(n("Version"), d.Version);
    log.AddItem(n("Date"), d.Date);
    log.AddItem(n("Time"), d.Time);
    if (!d.UpTime.empty()) log.AddItem(n("Up time"), d.UpTime);
    log.AddItem(n("Process ID"), std::to_string(d.ProcessId));
    for (const std::string& warning : d.Warnings) log.AddItem(n("Warning"), warning);

    log.AddSection(n("Exception"));
    log.AddItem(n("Class"), d.ExceptionClass);
    log.AddItem(n("Message"), d.ExceptionMessage);
    log.AddItem(n("Address"), StackEntryText(d.Address));
    log.AddItem(n("Thread ID"), std::to_string(d.ThreadId));
    if (!d.UserMessage.empty()) log.AddItem(n("User message"), d.UserMessage);

    log.AddSection(n("Active control"));
    log.AddItem(n("Class"), d.ActiveControlClass);
    log.AddItem(n("Text"), d.ActiveControlText);

    log.AddSection(n("Call stack"));
    AddStack(log, d.Stack);
    if (!d.CreationStack.empty()) {
        log.AddItem(n("Thread created"), "");
        AddStack(log, d.CreationStack);
    }

    if (!d.Registers.empty()) {
        log.AddSection(n("Registers"));
        for (const auto& [name, value] : d.Registers) log.AddItem(name, value);
    }

    log.AddSection(n("Modules"));
    for (const TModuleEntry& m : d.Modules)
        log.AddItem(m.Name,
                    Hex(m.Base, 16) + " " + Hex(m.Size, 8) + (m.Version.empty() ? "" : " " + m.Version) + " " + m.Path);

    log.AddSection(n("Threads"));
    for (const TThreadEntry& t : d.Threads) {
        std::string value = t.Main ? n("main thread") : "";
        if (t.Id == d.ThreadId) value += (value.empty() ? "" : ", ") + n("failed");
        if (!t.CreationStack.empty()) {
            if (!value.empty()) value += ", ";
            value += n("created at") + " " + StackEntryText(t.CreationStack.front());
        }
        log.AddItem(n("Thread") + " " + std::to_string(t.Id), value);
    }

    log.AddSection(n("System"));
    for (const auto& [name, value] : d.System) log.AddItem(n(name), value);
    return log;
}

std::string WarningText(const std::string& code, uint64_t address, const std::string& message) {
    return "[WARNING] - Code: " + code + " - Address: " + Hex(address, 16) + " - Message: \"" + message + "\"";
}

TLogItem DuplicateKey(const TLogItem& report, const TReportNames& names) {
    const std::string exception = names("Exception"), stack = names("Call stack");
    const std::string threadId = names("Thread ID"), userMessage = names("User message");
    TLogItem key;
    for (const TLogItem::Section& s : report.Sections()) {
        if (s.Title != exception && s.Title != stack) continue;
        key.AddSection(s.Title);
        for (const TLogItem::Item& item : s.Items) {
            if (s.Title == exception && (item.Name == threadId || item.Name == userMessage)) continue;
            // Absolute addresses move with the load address; the stack's
            // values carry module-relative ones.
            key.AddItem(s.Title == stack ? std::string() : item.Name, item.Value);
        }
    }
    return key;
}

void DropDuplicatedTop(TVesperStackList& stack) {
    if (stack.size() > 1 && stack[0].Address == stack[1].Address) stack.erase(stack.begin());
}
