#pragma once
// The error types the program raises and reports through the application's
// error handling. Messages are the texts the user sees.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// "Cannot open file "%s". %s"
class EFOpenError : public Exception {
public:
    EFOpenError(const std::string& path, const std::string& reason);
};

// "Cannot create file "%s". %s"
class EFCreateError : public Exception {
public:
    EFCreateError(const std::string& path, const std::string& reason);
};

// Description of the last system error (errno), for the messages above.
std::string SystemErrorText(int error);
