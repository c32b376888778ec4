// A library with its own copy of the reporter, loaded by crash_child.exe,
// whose exported ExceptionManager must take the library's exceptions.
#include <stdexcept>

#include "core/ExceptionHook.h"

extern "C" __declspec(dllexport) int RaiseInPlugin() {
    try {
        throw std::runtime_error("raised in the plugin");
    } catch (const std::exception& e) {
        ExceptionManagerFunc manager = GetExceptionManager();
        return manager && !manager(&e, nullptr) ? 10 : 11;
    }
}
