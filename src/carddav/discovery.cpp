#include "carddav/discovery.h"

#include <set>

#include "carddav/dav_xml.h"
#include "carddav/server_address.h"

namespace carddav {

using booksync::Failure;
using booksync::FailureKind;
using booksync::MakeFailure;

namespace {

struct Answer {
    HttpResponse response;
    Multistatus status;
    Failure failure;
};

Answer Propfind(DavClient& client, const QUrl& url, const char* depth) {
    Answer answer;
    HttpRequest request{"PROPFIND",
                        url,
                        PropfindCollectionBody(),
                        "application/xml; charset=utf-8",
                        {{"Depth", depth}}};
    answer.response = client.Send(request);
    if (answer.response.status == 207) {
        QString error;
        if (!ParseMultistatus(answer.response.body, answer.status, error)) {
            answer.failure =
                MakeFailure(FailureKind::kBadResponse,
                            QStringLiteral("The server's answer could not be read: %1.")
                                .arg(error)
                                .toStdString());
        }
    } else {
        answer.failure = HttpFailure(answer.response, QStringLiteral("address books"));
        if (!answer.failure) {
            answer.failure = MakeFailure(FailureKind::kNotAnAddressBook,
                                         "The server does not answer as a CardDAV server does.");
        }
    }
    return answer;
}

// The answer about the URL asked for itself.
const DavResponse* Self(const Answer& answer) {
    const QUrl& url = answer.response.url;
    const QString path = NormalizedHref(url, url.path());
    for (const DavResponse& item : answer.status.responses) {
        QString href = NormalizedHref(url, item.href);
        if (href == path || href == path + QLatin1Char('/') || href + QLatin1Char('/') == path) {
            return &item;
        }
    }
    return answer.status.responses.empty() ? nullptr : &answer.status.responses.front();
}

QString NameOf(const DavResponse& item, const QUrl& url) {
    if (!item.displayName.isEmpty()) {
        return item.displayName;
    }
    const QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.host() : parts.last();
}

void Add(Discovery& found, std::set<QString>& seen, const QUrl& url, const DavResponse& item) {
    if (seen.insert(NormalizedHref(url, url.path())).second) {
        found.books.push_back(FoundAddressBook{url, NameOf(item, url)});
    }
}

// A failure that stops the search at once, whatever else might be tried.
bool Stops(const Failure& failure) {
    return failure.kind == FailureKind::kAuthentication ||
           failure.kind == FailureKind::kCertificate || failure.kind == FailureKind::kNetwork ||
           failure.kind == FailureKind::kCancelled || failure.kind == FailureKind::kUsage;
}

}  // namespace

Discovery FindAddressBooks(DavClient& client, const QUrl& start) {
    Discovery found;
    Answer first;
    const bool root = start.path().isEmpty() || start.path() == QLatin1String("/");
    if (root) {
        QUrl wellKnown = start;
        wellKnown.setPath(QStringLiteral("/.well-known/carddav"));
        first = Propfind(client, wellKnown, "0");
        if (first.failure && Stops(first.failure)) {
            found.failure = first.failure;
            return found;
        }
    }
    if (!root || first.failure) {
        first = Propfind(client, start, "0");
        if (first.failure) {
            found.failure = first.failure;
            return found;
        }
    }
    const QUrl& context = first.response.url;
    std::set<QString> seen;
    const DavResponse* self = Self(first);
    if (self != nullptr && self->addressBook) {
        Add(found, seen, context, *self);
        return found;
    }

    QStringList homes = self != nullptr ? self->addressBookHomeSet : QStringList();
    if (homes.isEmpty() && self != nullptr && !self->currentUserPrincipal.isEmpty()) {
        const QUrl principal = ResolveHref(context, self->currentUserPrincipal.front());
        const Answer answer = Propfind(client, principal, "0");
        if (answer.failure && Stops(answer.failure)) {
            found.failure = answer.failure;
            return found;
        }
        if (const DavResponse* item = answer.failure ? nullptr : Self(answer)) {
            homes = item->addressBookHomeSet;
        }
    }
    std::vector<QUrl> homeUrls;
    for (const QString& home : homes) {
        homeUrls.push_back(ResolveHref(context, home));
    }
    if (homeUrls.empty() && self != nullptr && self->collection) {
        homeUrls.push_back(context);  // perhaps a home set itself
    }
    for (const QUrl& home : homeUrls) {
        const Answer answer = Propfind(client, home, "1");
        if (answer.failure) {
            if (Stops(answer.failure)) {
                found.failure = answer.failure;
                return found;
            }
            continue;
        }
        for (const DavResponse& item : answer.status.responses) {
            if (item.addressBook) {
                Add(found, seen, ResolveHref(answer.response.url, item.href), item);
            }
        }
    }
    if (found.books.empty()) {
        found.failure = MakeFailure(FailureKind::kNotAnAddressBook,
                                    QStringLiteral("No address book was found at %1.")
                                        .arg(start.toString(QUrl::RemoveUserInfo))
                                        .toStdString());
    }
    return found;
}

}  // namespace carddav
