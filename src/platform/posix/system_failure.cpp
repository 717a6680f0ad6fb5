#include "platform/failure.h"

#include <cerrno>

namespace tovaro {

Failure SystemFailure(int err)
{
    const auto kind = [err] {
        switch (err) {
        case ENOENT:
            return FailureKind::NotFound;
        case EACCES:
        case EPERM:
            return FailureKind::NoPermission;
        case EISDIR:
            return FailureKind::IsFolder;
        case ENOTDIR:
            return FailureKind::NotFolder;
        case EROFS:
            return FailureKind::ReadOnlyFileSystem;
        case ENOSPC:
            return FailureKind::NoSpace;
        case EDQUOT:
            return FailureKind::QuotaExceeded;
        case ENAMETOOLONG:
            return FailureKind::NameTooLong;
        case EIO:
            return FailureKind::InputOutput;
        case EFBIG:
            return FailureKind::TooLarge;
        case ELOOP:
            return FailureKind::LinkLoop;
        case EBUSY:
        case ETXTBSY:
            return FailureKind::Busy;
        case EMFILE:
        case ENFILE:
            return FailureKind::TooManyOpenFiles;
        case ENOMEM:
            return FailureKind::OutOfMemory;
        case EINVAL:
            return FailureKind::InvalidName;
        case EXDEV:
            return FailureKind::OtherFileSystem;
        case EEXIST:
            return FailureKind::AlreadyExists;
        case EAGAIN:
            return FailureKind::TemporarilyUnavailable;
        case ESTALE:
            return FailureKind::StaleNetworkFile;
        case ENXIO:
        case ENODEV:
            return FailureKind::DeviceUnavailable;
        default:
            return FailureKind::OtherSystemError;
        }
    }();
    return { kind, err };
}

} // namespace tovaro
