#include "resources/file_errors.h"

#include <cerrno>

#include "resources/string_table.h"

namespace resources {

FileErrorCause FileErrorCauseFromErrno(int errorNumber) {
    switch (errorNumber) {
        case 0:
            return FileErrorCause::kNone;
        case ENOENT:
        case ENXIO:
            return FileErrorCause::kFileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return FileErrorCause::kBadPath;
        case EMFILE:
        case ENFILE:
            return FileErrorCause::kTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return FileErrorCause::kAccessDenied;
        case EBADF:
            return FileErrorCause::kInvalidFile;
        case EMLINK:
            return FileErrorCause::kDirectoryFull;
        case ESPIPE:
            return FileErrorCause::kBadSeek;
        case EIO:
            return FileErrorCause::kHardIO;
        case EBUSY:
        case ETXTBSY:
            return FileErrorCause::kSharingViolation;
        case ENOLCK:
        case EDEADLK:
            return FileErrorCause::kLockViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return FileErrorCause::kDiskFull;
        default:
            return FileErrorCause::kGeneric;
    }
}

int FileErrorReportId(FileErrorCause cause) {
    return kStrFileErrorFirst + static_cast<int>(cause);
}

std::string FileErrorReport(FileErrorCause cause, std::string_view fileName) {
    std::string_view name = fileName.empty() ? LoadString(kStrUnnamedFile) : fileName;
    return FormatString(LoadString(FileErrorReportId(cause)), {name});
}

std::string FileErrorReportForErrno(int errorNumber, std::string_view fileName) {
    return FileErrorReport(FileErrorCauseFromErrno(errorNumber), fileName);
}

}  // namespace resources
