#include "carddav/discovery.h"

#include <set>

#include "carddav/multistatus_request.h"
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
    answer.response = client.Send(XmlRequest("PROPFIND", url, PropfindCollectionBody(), depth));
    const QString what = QStringLiteral("address books");
    if (answer.response.status != 207 && !HttpFailure(answer.response, what)) {
        answer.failure = MakeFailure(FailureKind::kNotAnAddressBook,
                                     "The server does not answer as a CardDAV server does.");
    } else {
        answer.failure = ReadMultistatus(answer.response, what, answer.status);
    }
    return answer;
}

// The answer about the URL asked for itself.
const DavResponse* Self(const Answer& answer) {
    return SelfResponse(answer.status, answer.response.url);
}

void Add(Discovery& found, std::set<QString>& seen, const QUrl& url, const DavResponse& item) {
    if (seen.insert(NormalizedHref(url, url.path())).second) {
        found.books.push_back(FoundAddressBook{url, CollectionName(item, url)});
    }
}

// A failure that stops the search at once, whatever else might be tried.
bool Stops(const Failure& failure) {
    return failure.kind == FailureKind::kAuthentication ||
           failure.kind == FailureKind::kCertificate || failure.kind == FailureKind::kNetwork ||
           failure.kind == FailureKind::kCancelled || failure.kind == FailureKind::kUsage;
}

// The answer about the address itself; at a server's root, the well-known
// address first, whose redirect leads to the service.
Answer AskStart(DavClient& client, const QUrl& start) {
    if (start.path().isEmpty() || start.path() == QLatin1String("/")) {
        QUrl wellKnown = start;
        wellKnown.setPath(QStringLiteral("/.well-known/carddav"));
        Answer answer = Propfind(client, wellKnown, "0");
        if (!answer.failure || Stops(answer.failure)) {
            return answer;
        }
    }
    return Propfind(client, start, "0");
}

// The address book home sets that `self` names, or else the principal it
// names; else the collection itself (perhaps a home set).  `stop` is set
// when asking the principal failed in a way that ends the search.
std::vector<QUrl> HomeSets(DavClient& client, const QUrl& context, const DavResponse* self,
                           Failure& stop) {
    QStringList homes = self != nullptr ? self->addressBookHomeSet : QStringList();
    if (homes.isEmpty() && self != nullptr && !self->currentUserPrincipal.isEmpty()) {
        const QUrl principal = ResolveHref(context, self->currentUserPrincipal.front());
        const Answer answer = Propfind(client, principal, "0");
        if (answer.failure && Stops(answer.failure)) {
            stop = answer.failure;
            return {};
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
        homeUrls.push_back(context);
    }
    return homeUrls;
}

}  // namespace

Discovery FindAddressBooks(DavClient& client, const QUrl& start) {
    Discovery found;
    const Answer first = AskStart(client, start);
    if (first.failure) {
        found.failure = first.failure;
        return found;
    }
    const QUrl& context = first.response.url;
    std::set<QString> seen;
    const DavResponse* self = Self(first);
    if (self != nullptr && self->addressBook) {
        Add(found, seen, context, *self);
        return found;
    }
    const std::vector<QUrl> homeUrls = HomeSets(client, context, self, found.failure);
    if (found.failure) {
        return found;
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
