#include "core/Errors.h"

#include <cstring>

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : Exception("Cannot open file \"" + path + "\". " + reason) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : Exception("Cannot create file \"" + path + "\". " + reason) {}

std::string SystemErrorText(int error) { return std::strerror(error); }
