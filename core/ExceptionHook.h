#pragma once
// The single entry through which every caught exception passes before the
// application shows it. The crash reporter installs its manager here at
// start-up; the toolkit calls it first and shows its own message only when
// the manager answers true (or when none is installed).
#include <exception>

using ExceptionManagerFunc = bool (*)(const std::exception* exception, void* address);

void SetExceptionManager(ExceptionManagerFunc manager);
ExceptionManagerFunc GetExceptionManager();
