#pragma once

#include <stdexcept>
#include <string>

namespace framequill {

// Every failure the program reports is an exception whose what() is the text the user sees.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EFOpenError : public Error {
public:
    explicit EFOpenError(const std::string& path) : Error("Cannot open file " + path) {}
};

class EFCreateError : public Error {
public:
    explicit EFCreateError(const std::string& path) : Error("Cannot create file " + path) {}
};

class EWriteError : public Error {
public:
    EWriteError() : Error("Stream write error") {}
};

class EConvertError : public Error {
public:
    explicit EConvertError(const std::string& text) : Error("'" + text + "' is not a valid integer value") {}
};

} // namespace framequill
