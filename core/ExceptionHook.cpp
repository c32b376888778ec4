#include "core/ExceptionHook.h"

namespace {
ExceptionManagerFunc g_manager = nullptr;
}

void SetExceptionManager(ExceptionManagerFunc manager) { g_manager = manager; }
ExceptionManagerFunc GetExceptionManager() { return g_manager; }
