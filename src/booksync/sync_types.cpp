#include "booksync/sync_types.h"

#include <utility>

namespace booksync {

bool Failure::IsRefusal() const {
    switch (kind) {
        case FailureKind::kAuthentication:
        case FailureKind::kNotAnAddressBook:
        case FailureKind::kRefused:
        case FailureKind::kServerError:
        case FailureKind::kBadResponse:
        case FailureKind::kMassDeletion:
            return true;
        case FailureKind::kNone:
        case FailureKind::kCancelled:
        case FailureKind::kUsage:
        case FailureKind::kNetwork:
        case FailureKind::kCertificate:
            return false;
    }
    return false;
}

Failure MakeFailure(FailureKind kind, std::string message, int httpStatus) {
    return Failure{kind, httpStatus, std::move(message)};
}

Failure CancelledFailure() {
    return MakeFailure(FailureKind::kCancelled, "The synchronization was cancelled.");
}

}  // namespace booksync
