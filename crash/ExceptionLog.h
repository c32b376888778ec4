#pragma once
// The exception reporter: installed while the program's units initialise
// (before any window exists), it turns every exception that reaches the
// application's error display, and what else a process can die of, into a
// report in the log file, shows it and can mail it.
#include <exception>

#include "crash/Options.h"

extern "C" {
// Installs the reporter once; a static initialiser of this library calls it,
// and the library makes the linker keep that initialiser.
void InstallCrashReporter();

// The single entry for every caught exception: reports it and answers
// false, or true to let the caller's standard handling continue (another
// report is already running on this thread, or a host handled it so).
// Exported by name; in a library loaded by a host that exports its own
// ExceptionManager, the call goes to the host's.
#ifdef _WIN32
__declspec(dllexport)
#endif
    bool ExceptionManager(const std::exception* exception, void* address);
}

// Runs `hook` on the report worker once a report is saved and before the
// dialog shows: the program's last chance to keep what the user has not
// saved. The hook must bound its own time; a null hook removes it.
void SetBeforeReportDialog(void (*hook)());

// For tests: runs `hook` on the report worker before its work, and gives up
// a worker that has not saved its report after `stuckMs` milliseconds.
void SetReportWorkHookForTesting(void (*hook)(), unsigned stuckMs);

// For tests: the routine that makes `procedure` jump to `replacement`
// (failures become warnings of every report, see InstallWarnings).
void HookProcedureForTesting(const char* name, void* procedure, void* replacement);

// Replaces the options read from the program's "VLDATA" resource.
void SetCrashReporterOptions(const TVesperModuleOptions& options);
TVesperModuleOptionsEx CrashReporterOptions();
// The options of the module that holds `address`: a library's own stored
// "VLDATA" when it carries one, else the program's.
TVesperModuleOptions ModuleOptionsAt(uint64_t address);
