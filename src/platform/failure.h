// Why a step on the file system failed, by kind rather than in words: each system's layer maps
// its own error numbers to these kinds, and the core alone decides what to tell the user.
#pragma once

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
    FolderName, ///< the page's name ends with a separator
    OtherSystemError, ///< none of these; `code` holds the system's number
};

struct Failure {
    FailureKind kind = FailureKind::None;
    int code = 0; ///< the system's own error number, where the system reported the failure

    explicit operator bool() const { return kind != FailureKind::None; }
};

/// The failure that an error number of the running system stands for (`errno` on Linux,
/// `GetLastError()` on Windows).
Failure SystemFailure(int code);

} // namespace tovaro
