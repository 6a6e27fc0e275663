// The error classes every part of the core raises. Messages are fixed texts;
// callers at the top (the command-line tool, the wizard) show them.
#pragma once

#include <stdexcept>
#include <string>

namespace ks {

// General error: a message only, or the file concerned and the reason. The
// template language raises it with its fixed English messages. A path is
// bytes as the system has it; the reason and the message are texts of the
// program (Windows-1252), so a front end shows the two differently.
class EKSError : public std::runtime_error {
public:
    explicit EKSError(const std::string& message) : std::runtime_error(message), reason_(message) {}
    // what() is "path: reason".
    EKSError(const std::string& path, const std::string& reason)
        : std::runtime_error(path + ": " + reason), path_(path), reason_(reason) {}

    // "" for a message-only error.
    const std::string& Path() const { return path_; }
    // The reason, or the whole message for a message-only error.
    const std::string& Reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
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
