// The standard file-error report: from a system error number (errno) and an
// optional file name to a sentence such as "home.qxd was not found.".
//
// Each cause has its own report text in the string table, at
// kStrFileErrorFirst + cause.  A report without a file name speaks of
// "an unnamed file".
#pragma once

#include <string>
#include <string_view>

namespace resources {

enum class FileErrorCause {
    kNone = 0,
    kGeneric,
    kFileNotFound,
    kBadPath,
    kTooManyOpenFiles,
    kAccessDenied,
    kInvalidFile,
    kRemoveCurrentDir,
    kDirectoryFull,
    kBadSeek,
    kHardIO,
    kSharingViolation,
    kLockViolation,
    kDiskFull,
    kEndOfFile,
};

// The cause that best describes a system error number; 0 gives kNone and
// numbers without a closer match give kGeneric.
FileErrorCause FileErrorCauseFromErrno(int errorNumber);

// String-table number of the report for a cause.
int FileErrorReportId(FileErrorCause cause);

// The report text with `fileName` (or "an unnamed file" when it is empty).
std::string FileErrorReport(FileErrorCause cause, std::string_view fileName);
std::string FileErrorReportForErrno(int errorNumber, std::string_view fileName);

}  // namespace resources
