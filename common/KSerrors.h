// The error classes every part of the core raises. Messages are fixed texts;
// callers at the top (the command-line tool, the wizard) show them.
#pragma once

#include <stdexcept>
#include <string>

namespace ks {

// General error: a message only. The template language raises it with its
// fixed English messages.
class EKSError : public std::runtime_error {
public:
    explicit EKSError(const std::string& message) : std::runtime_error(message) {}
};

// A text that should be a number is not one.
class EConvertError : public EKSError {
public:
    using EKSError::EKSError;
};

// An input/output error of the text-file routines.
class EInOutError : public EKSError {
public:
    using EKSError::EKSError;
};

// Writing to a stream failed (also: writing to a stream that never opened).
class EWriteError : public EKSError {
public:
    using EKSError::EKSError;
};

// An internal invariant failed; the message names the unit.
class EAssertionFailed : public EKSError {
public:
    using EKSError::EKSError;
};

} // namespace ks
