#pragma once

// The bridge's exceptions: a worksheet entry point that catches one of these returns no value at all, which
// the host takes as "try again later" (abort, stack overflow, an uncalculated argument) or a broken record.

#include <exception>
#include <string>

#include "src/Messages.h"

namespace xll {

class XlfException : public std::exception {
public:
    explicit XlfException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class XlfExceptionAbort : public XlfException {
public:
    XlfExceptionAbort() : XlfException(messages::Abort) {}
};

class XlfExceptionStackOverflow : public XlfException {
public:
    XlfExceptionStackOverflow() : XlfException(messages::StackOverflow) {}
};

class XlfExceptionUncalculated : public XlfException {
public:
    XlfExceptionUncalculated() : XlfException(messages::Uncalculated) {}
};

} // namespace xll
