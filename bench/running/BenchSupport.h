#pragma once
// What the running-program driver needs besides windows: a clock, medians,
// whole files, and the system libraries a program imports.
#include <string>
#include <vector>

inline constexpr double kWaitMs = 600000;
inline constexpr double kPopupWaitMs = 20000;  // what the slowest program before this benchmark needed, with room

double NowMs();
double Median(std::vector<double> values);
[[noreturn]] void Fail(const std::string& what);

void WriteBytes(const std::string& path, const std::string& bytes);
// Empty when the file cannot be opened.
std::string ReadBytes(const std::string& path);
// The DLL names in a program's import directory.
std::vector<std::string> ImportedLibraries(const std::string& program);
