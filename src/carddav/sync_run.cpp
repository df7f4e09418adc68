#include "carddav/sync_run.h"

#include "booksync/sync_engine.h"
#include "booksync/sync_summary.h"
#include "carddav/discovery.h"
#include "carddav/remote_address_book.h"
#include "carddav/server_address.h"

namespace carddav {

using booksync::FailureKind;
using booksync::MakeFailure;

namespace {

// "... is not an address book.  Address books found there: A (url), B (url)."
std::string WithAddressBooksFound(DavClient& client, const QUrl& url, std::string message) {
    const Discovery found = FindAddressBooks(client, url);
    if (found.books.empty()) {
        return message;
    }
    message += " Address books found there:";
    for (std::size_t i = 0; i < found.books.size(); ++i) {
        message += (i > 0 ? ", " : " ") + found.books[i].name.toStdString() + " (" +
                   found.books[i].url.toString(QUrl::RemoveUserInfo).toStdString() + ")";
    }
    return message + ".";
}

}  // namespace

QString AddressText(const SyncRequest& request) {
    return request.url.isEmpty() && request.link ? QString::fromStdString(request.link->url)
                                                 : request.url;
}

SyncOutcome RunSync(SyncRequest request) {
    SyncOutcome outcome;
    booksync::SyncReport& report = outcome.report;
    auto finish = [&outcome](const QString& name) -> SyncOutcome& {
        outcome.addressBookName = name;
        outcome.summary =
            QString::fromStdString(booksync::SummaryText(outcome.report, name.toStdString()));
        return outcome;
    };
    auto progress = [&request](booksync::SyncPhase phase) {
        if (request.progress) {
            request.progress(booksync::SyncProgress{phase, 0, 0});
        }
    };

    const QString text = AddressText(request);
    QString error;
    const std::optional<QUrl> url = UrlFromUserText(text, error);
    if (!url) {
        report.failure = MakeFailure(FailureKind::kUsage, error.toStdString());
        return finish(text);
    }
    if (request.password.isEmpty()) {
        report.failure = MakeFailure(FailureKind::kUsage, "No password was given.");
        return finish(text);
    }

    progress(booksync::SyncPhase::kConnecting);
    DavClient client(request.user, request.password, request.trustedCertificates, request.cancel,
                     request.client);
    RemoteAddressBook remote(client, *url);
    if (booksync::Failure failure = remote.Open()) {
        if (failure.kind == FailureKind::kNotAnAddressBook) {
            failure.message = WithAddressBooksFound(client, *url, failure.message);
        }
        report.failure = std::move(failure);
        outcome.untrustedCertificate = client.UntrustedCertificate();
        // Named as the user knows it: the linked address book's name.
        const bool linked =
            request.link && !request.link->name.empty() &&
            UrlFromUserText(QString::fromStdString(request.link->url), error) == url;
        return finish(linked ? QString::fromStdString(request.link->name) : url->host());
    }

    // The same address book as before, or another one.
    const std::string linkedUrl = remote.Url().toString().toStdString();
    const bool sameBook = request.link && (request.link->url == linkedUrl ||
                                           request.link->url == url->toString().toStdString());
    booksync::BookSide side(std::move(request.entries),
                            sameBook ? request.link->known : booksync::SyncStatus(),
                            booksync::BookSide::Options{sameBook, request.conflictDate});
    booksync::SyncEngine engine(side, remote);
    engine.SetProgressHandler(request.progress);
    if (request.cancel != nullptr) {
        engine.SetCancelCheck([cancel = request.cancel] { return cancel->load(); });
    }
    report = engine.Run(sameBook ? request.link->syncToken : std::string());

    booksync::BookLink link;
    link.url = linkedUrl;
    link.user = request.user.toStdString();
    link.name = remote.DisplayName().toStdString();
    link.syncToken = engine.TokenToKeep();
    link.known = engine.Status();
    outcome.link = std::move(link);
    outcome.changes = side.TakeChanges();
    outcome.added = side.TakeAdded();
    outcome.untrustedCertificate = client.UntrustedCertificate();
    return finish(remote.DisplayName());
}

}  // namespace carddav
