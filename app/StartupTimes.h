#pragma once
// Where start-up goes, for the benchmark of the running program: when the
// environment names a file in PLANDESK_STARTUP_TIMES, each mark notes the
// performance counter (in milliseconds, the clock the benchmark's driver
// reads too) and the main thread's processor time, and the marks are written
// there, one "name ms cpu-ms" a line, when the program ends. Without it a
// mark costs one test of a flag.
void StartupMark(const char* name);
void WriteStartupTimes();
