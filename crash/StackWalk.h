#pragma once
// Call stacks, modules and names of addresses in the running process.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "crash/Report.h"

// Return addresses (the first one the current instruction) walked from a
// register context through the unwind tables of x64 code; stops at an
// address outside any module or a stack pointer outside readable memory.
std::vector<uint64_t> WalkStack(CONTEXT context, int maxFrames = 64);

// Addresses resolved to module, unit, procedure and line. Return addresses
// after the first are looked up one byte earlier, inside the call.
TVesperStackList ResolveStack(const std::vector<uint64_t>& addresses);
TStackEntry ResolveAddress(uint64_t address);

TVesperModulesList LoadedModules();

// "major.minor.release.build" from a file's version resource, or empty.
std::string FileVersion(const std::string& path);

// Starts reading the program's own symbol table once, on a thread of its
// own (before any failure, so that the reporter does not read files while
// the process is in trouble); resolving an address waits for it.
void LoadProgramSymbols();
