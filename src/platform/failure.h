// Why a step on the file system failed, by kind rather than in words: each system's layer maps
// its own error numbers to these kinds, and the core alone decides what to tell the user.
#pragma once

#include <utility>

namespace tovaro {

enum class FailureKind {
    None,
    NotFound,
    NoPermission,
    IsFolder,
    NotFolder, ///< a part of the path is no folder
    ReadOnlyFileSystem,
    WriteProtected, ///< the medium itself refuses writing
    NoSpace,
    QuotaExceeded,
    NameTooLong,
    InvalidName,
    InputOutput,
    TooLarge,
    LinkLoop,
    Busy,
    UsedByOtherProgram,
    TooManyOpenFiles,
    OutOfMemory,
    OtherFileSystem,
    AlreadyExists,
    TemporarilyUnavailable,
    StaleNetworkFile,
    NetworkPathNotFound,
    NetworkInterrupted,
    DeviceUnavailable,
    DeviceNotReady,
    ForeignLink, ///< a link on the way to the page belongs to another user
    NotRegular, ///< the page is a device, a pipe or a socket
    NotAFile, ///< a file to read is a device, a pipe or a socket
    FolderName, ///< the page's name ends with a separator
    OtherSystemError, ///< none of these; `code` holds the system's number
};

/// Why a step failed, or no failure. A function that returns one expects it to be looked at.
struct [[nodiscard]] Failure {
    FailureKind kind = FailureKind::None;
    int code = 0; ///< the system's own error number, where the system reported the failure

    explicit operator bool() const { return kind != FailureKind::None; }
};

/// A value, or why there is none.
template <class T> class [[nodiscard]] OrFailure {
public:
    OrFailure(T value)
        : value_(std::move(value))
    {
    }
    /// `failure` is a failure, not None.
    OrFailure(Failure failure)
        : failure_(failure)
    {
    }
    bool Ok() const { return !failure_; }
    explicit operator bool() const { return Ok(); }
    T& operator*() { return value_; }
    const T& operator*() const { return value_; }
    T* operator->() { return &value_; }
    const T* operator->() const { return &value_; }
    const Failure& failure() const { return failure_; }

private:
    T value_ {};
    Failure failure_;
};

/// The failure that an error number of the running system stands for (`errno` on Linux,
/// `GetLastError()` on Windows).
Failure SystemFailure(int code);

} // namespace tovaro
