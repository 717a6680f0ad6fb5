#include "platform/failure.h"

#include "atomic_file_store.h"

#include <windows.h>

namespace tovaro {

Failure SystemFailure(int code)
{
    const auto kind = [code] {
        switch (static_cast<DWORD>(code)) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return FailureKind::NotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return FailureKind::NoPermission;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_USER_MAPPED_FILE:
            return FailureKind::UsedByOtherProgram;
        case windows::kIsAFolderError:
            return FailureKind::IsFolder;
        case ERROR_DIRECTORY:
            return FailureKind::NotFolder;
        case ERROR_WRITE_PROTECT:
            return FailureKind::WriteProtected;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FailureKind::NoSpace;
        case ERROR_NOT_ENOUGH_QUOTA:
            return FailureKind::QuotaExceeded;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return FailureKind::NameTooLong;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            return FailureKind::InvalidName;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
            return FailureKind::InputOutput;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return FailureKind::OutOfMemory;
        case ERROR_TOO_MANY_OPEN_FILES:
            return FailureKind::TooManyOpenFiles;
        case ERROR_NOT_SAME_DEVICE:
            return FailureKind::OtherFileSystem;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return FailureKind::AlreadyExists;
        case ERROR_NOT_READY:
            return FailureKind::DeviceNotReady;
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return FailureKind::NetworkPathNotFound;
        case ERROR_UNEXP_NET_ERR:
        case ERROR_NETNAME_DELETED:
            return FailureKind::NetworkInterrupted;
        case ERROR_CANT_RESOLVE_FILENAME:
            return FailureKind::LinkLoop;
        default:
            return FailureKind::OtherSystemError;
        }
    }();
    return { kind, code };
}

} // namespace tovaro
