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

// The outcome with its summary, naming the address book `name`.
SyncOutcome Finished(SyncOutcome outcome, const QString& name) {
    outcome.addressBookName = name;
    outcome.summary =
        QString::fromStdString(booksync::SummaryText(outcome.report, name.toStdString()));
    return outcome;
}

// The address book at `url` as the user knows it: the linked one's name,
// else the server's host name.
QString NameKnownFor(const SyncRequest& request, const QUrl& url) {
    QString error;
    const bool linked = request.link && !request.link->name.empty() &&
                        UrlFromUserText(QString::fromStdString(request.link->url), error) == url;
    return linked ? QString::fromStdString(request.link->name) : url.host();
}

// The sync with the opened address book `remote`, at `url` as given: the
// engine's report, the changes to the book and the link to keep.
void Synchronize(SyncRequest request, const QUrl& url, RemoteAddressBook& remote,
                 SyncOutcome& outcome) {
    // The same address book as before, or another one.
    const std::string linkedUrl = remote.Url().toString().toStdString();
    const bool sameBook = request.link && (request.link->url == linkedUrl ||
                                           request.link->url == url.toString().toStdString());
    booksync::BookSide side(std::move(request.entries),
                            sameBook ? request.link->known : booksync::SyncStatus(),
                            booksync::BookSide::Options{sameBook, request.conflictDate});
    booksync::SyncEngine engine(side, remote);
    engine.SetProgressHandler(request.progress);
    if (request.cancel != nullptr) {
        engine.SetCancelCheck([cancel = request.cancel] { return cancel->load(); });
    }
    outcome.report = engine.Run(sameBook ? request.link->syncToken : std::string());

    booksync::BookLink link;
    link.url = linkedUrl;
    link.user = request.user.toStdString();
    link.name = remote.DisplayName().toStdString();
    link.syncToken = engine.TokenToKeep();
    link.known = engine.Status();
    outcome.link = std::move(link);
    outcome.changes = side.TakeChanges();
    outcome.added = side.TakeAdded();
}

}  // namespace

QString AddressText(const SyncRequest& request) {
    return request.url.isEmpty() && request.link ? QString::fromStdString(request.link->url)
                                                 : request.url;
}

SyncOutcome RunSync(SyncRequest request) {
    SyncOutcome outcome;
    const QString text = AddressText(request);
    QString error;
    const std::optional<QUrl> url = UrlFromUserText(text, error);
    if (!url || request.password.isEmpty()) {
        outcome.report.failure =
            MakeFailure(FailureKind::kUsage, url ? "No password was given." : error.toStdString());
        return Finished(std::move(outcome), text);
    }

    if (request.progress) {
        request.progress(booksync::SyncProgress{booksync::SyncPhase::kConnecting, 0, 0});
    }
    DavClient client(request.user, request.password, request.trustedCertificates, request.cancel,
                     request.client);
    RemoteAddressBook remote(client, *url);
    QString name;
    if (booksync::Failure failure = remote.Open()) {
        if (failure.kind == FailureKind::kNotAnAddressBook) {
            failure.message = WithAddressBooksFound(client, *url, failure.message);
        }
        outcome.report.failure = std::move(failure);
        name = NameKnownFor(request, *url);
    } else {
        Synchronize(std::move(request), *url, remote, outcome);
        name = remote.DisplayName();
    }
    outcome.untrustedCertificate = client.UntrustedCertificate();
    return Finished(std::move(outcome), name);
}

}  // namespace carddav
