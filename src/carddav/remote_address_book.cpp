#include "carddav/remote_address_book.h"

#include <QSet>
#include <set>

#include "addressbook/sha1.h"
#include "carddav/multistatus_request.h"
#include "carddav/server_address.h"

namespace carddav {

using booksync::Failure;
using booksync::FailureKind;
using booksync::ItemResult;
using booksync::MakeFailure;

namespace {

constexpr int kMaxSyncRounds = 100;
const QByteArray kCardType = "text/vcard; charset=utf-8";

// The result of one upload or deletion, or the failure that stops them all.
std::optional<Failure> ItemFailure(const HttpResponse& response, ItemResult& result) {
    if (response.failure) {
        return response.failure;
    }
    const int status = response.status;
    result.httpStatus = status;
    if (status >= 200 && status < 300) {
        result.kind = ItemResult::Kind::kDone;
        result.etag = response.etag.toStdString();
    } else if (status == 412) {
        result.kind = ItemResult::Kind::kPreconditionFailed;
    } else if (status == 404 || status == 410) {
        result.kind = ItemResult::Kind::kNotFound;
    } else if (status == 401 || status >= 500) {
        return HttpFailure(response, QStringLiteral("the card"));
    } else {
        result.kind = ItemResult::Kind::kRefused;
        result.message = QString::fromUtf8(response.reason).toStdString();
    }
    return std::nullopt;
}

}  // namespace

RemoteAddressBook::RemoteAddressBook(DavClient& client, QUrl url)
    : m_client(client), m_url(std::move(url)) {}

QString RemoteAddressBook::Href(const QString& href) const {
    return NormalizedHref(m_url, href);
}

Failure RemoteAddressBook::Open() {
    const HttpResponse response =
        m_client.Send(XmlRequest("PROPFIND", m_url, PropfindCollectionBody(), "0"));
    const QString address = m_url.toString(QUrl::RemoveUserInfo);
    if (response.status == 404 || response.status == 405) {
        return MakeFailure(FailureKind::kNotAnAddressBook,
                           QStringLiteral("There is no address book at %1 (HTTP %2).")
                               .arg(address)
                               .arg(response.status)
                               .toStdString(),
                           response.status);
    }
    Multistatus status;
    if (Failure failure = ReadMultistatus(response, QStringLiteral("the address book"), status)) {
        return failure;
    }
    // The answer for the collection itself (a server may add others).
    m_url = response.url;
    m_strPath = Href(m_url.path());
    const DavResponse* self = SelfResponse(status, m_url);
    if (self == nullptr || !self->addressBook) {
        return MakeFailure(FailureKind::kNotAnAddressBook,
                           QStringLiteral("%1 is not an address book.").arg(address).toStdString());
    }
    if (!m_strPath.endsWith(QLatin1Char('/'))) {
        m_strPath += QLatin1Char('/');
        m_url.setPath(m_url.path() + QLatin1Char('/'));
    }
    m_strName = CollectionName(*self, m_url);
    m_bSyncCollection = self->supportedReports.contains(QStringLiteral("sync-collection"));
    return Failure();
}

// ---- Listing ----

Failure RemoteAddressBook::List(const std::string& token,
                                const std::map<std::string, std::string>& known,
                                booksync::RemoteListing& listing) {
    listing = booksync::RemoteListing();
    if (m_bSyncCollection) {
        if (std::optional<Failure> failure = ListChanges(token, known, listing)) {
            return *failure;
        }
        // The report was refused: the members and their ETags, then.
        m_bSyncCollection = false;
        listing = booksync::RemoteListing();
    }
    return ListMembers(listing);
}

std::optional<Failure> RemoteAddressBook::ListChanges(
    const std::string& startToken, const std::map<std::string, std::string>& known,
    booksync::RemoteListing& listing) {
    QString token = QString::fromStdString(startToken);
    std::map<QString, std::string> members;  // href -> ETag
    if (!token.isEmpty()) {
        for (const auto& [href, etag] : known) {
            members[QString::fromStdString(href)] = etag;
        }
    }
    for (int round = 0; round < kMaxSyncRounds; ++round) {
        const HttpResponse response =
            m_client.Send(XmlRequest("REPORT", m_url, SyncCollectionBody(token), "0"));
        if (response.failure) {
            return response.failure;
        }
        const int status = response.status;
        if (status != 207 && status != 401 && status >= 400 && status < 500) {
            if (token.isEmpty()) {
                return std::nullopt;  // the server does not take the report after all
            }
            // The token is too old or unknown: every member again.
            token.clear();
            members.clear();
            continue;
        }
        if (status == 501) {
            return std::nullopt;
        }
        Multistatus changes;
        if (Failure failure = ReadMultistatus(response, QStringLiteral("the changes"), changes)) {
            return failure;
        }
        bool truncated = false;
        for (const DavResponse& change : changes.responses) {
            const QString href = Href(change.href);
            if (href == m_strPath || href.endsWith(QLatin1Char('/'))) {
                truncated |= change.status == 507;
                continue;
            }
            if (change.status == 404 || change.status == 410) {
                members.erase(href);
            } else {
                members[href] = change.etag.toStdString();
            }
        }
        token = changes.syncToken;
        if (!truncated) {
            for (const auto& [href, etag] : members) {
                listing.items.push_back(booksync::RemoteItem{href.toStdString(), etag});
            }
            listing.syncToken = token.toStdString();
            return Failure();
        }
    }
    return MakeFailure(FailureKind::kBadResponse,
                       "The server kept sending the changes in parts without an end.");
}

Failure RemoteAddressBook::ListMembers(booksync::RemoteListing& listing) {
    const HttpResponse response =
        m_client.Send(XmlRequest("PROPFIND", m_url, PropfindEtagsBody(), "1"));
    Multistatus members;
    if (Failure failure = ReadMultistatus(response, QStringLiteral("the cards"), members)) {
        return failure;
    }
    std::set<QString> seen;
    for (const DavResponse& member : members.responses) {
        const QString href = Href(member.href);
        if (href == m_strPath || member.collection || member.status >= 300 ||
            !seen.insert(href).second) {
            continue;
        }
        listing.items.push_back(
            booksync::RemoteItem{href.toStdString(), member.etag.toStdString()});
    }
    return Failure();
}

// ---- Fetching ----

Failure RemoteAddressBook::Fetch(const std::vector<std::string>& hrefs,
                                 const std::function<void(const booksync::FetchedCard&)>& each) {
    std::vector<QStringList> batches;
    for (std::size_t i = 0; i < hrefs.size(); ++i) {
        if (i % kBatchSize == 0) {
            batches.emplace_back();
        }
        batches.back() << QString::fromStdString(hrefs[i]);
    }
    // Batches whose answer was larger than the client takes, fetched again
    // one card at a time.
    std::vector<QStringList> oversized;
    Failure failure;
    while (!batches.empty() && !failure) {
        std::vector<HttpRequest> requests;
        for (const QStringList& batch : batches) {
            requests.push_back(XmlRequest("REPORT", m_url, MultigetBody(batch), "0"));
        }
        m_client.SendAll(requests, [&](std::size_t index, HttpResponse& response) {
            const QStringList& batch = batches[index];
            if (response.failure.kind == FailureKind::kBadResponse && response.status == 0) {
                if (batch.size() > 1) {
                    for (const QString& href : batch) {
                        oversized.push_back({href});
                    }
                } else {
                    each(booksync::FetchedCard{batch.front().toStdString(), "", "", 413});
                }
                return true;
            }
            Multistatus cards;
            failure = ReadMultistatus(response, QStringLiteral("the cards"), cards);
            if (failure) {
                return false;
            }
            const QSet<QString> asked(batch.begin(), batch.end());
            for (const DavResponse& card : cards.responses) {
                const QString href = Href(card.href);
                if (!asked.contains(href)) {
                    continue;
                }
                if (card.status == 404 || card.status == 410) {
                    each(booksync::FetchedCard{href.toStdString(), "", "", card.status});
                } else if (card.hasAddressData && card.addressData.size() > kMaxCardBytes) {
                    each(booksync::FetchedCard{href.toStdString(), "", "", 413});
                } else if (card.hasAddressData) {
                    each(booksync::FetchedCard{href.toStdString(), card.etag.toStdString(),
                                               card.addressData.toStdString(), 0});
                }
            }
            return true;
        });
        batches = std::move(oversized);
        oversized.clear();
    }
    return failure;
}

// ---- Uploads and deletions ----

template <typename Item>
Failure RemoteAddressBook::SendItems(
    const std::vector<Item>& items, const std::function<HttpRequest(const Item&)>& make,
    const std::function<void(const Item&, const ItemResult&)>& done) {
    std::vector<HttpRequest> requests;
    requests.reserve(items.size());
    for (const Item& item : items) {
        requests.push_back(make(item));
    }
    Failure failure;
    m_client.SendAll(requests, [&](std::size_t index, HttpResponse& response) {
        ItemResult result;
        if (std::optional<Failure> stop = ItemFailure(response, result)) {
            failure = std::move(*stop);
            return false;
        }
        done(items[index], result);
        return true;
    });
    return failure;
}

Failure RemoteAddressBook::Put(
    const std::vector<booksync::PutRequest>& puts,
    const std::function<void(const booksync::PutRequest&, const ItemResult&)>& done) {
    return SendItems<booksync::PutRequest>(
        puts,
        [this](const booksync::PutRequest& put) {
            HttpRequest request{"PUT",
                                ResolveHref(m_url, QString::fromStdString(put.href)),
                                QByteArray::fromStdString(put.text),
                                kCardType,
                                {}};
            if (put.ifMatch.empty()) {
                request.headers.append({QByteArray("If-None-Match"), QByteArray("*")});
            } else {
                request.headers.append(
                    {QByteArray("If-Match"), QByteArray::fromStdString(put.ifMatch)});
            }
            return request;
        },
        done);
}

Failure RemoteAddressBook::Delete(
    const std::vector<booksync::DeleteRequest>& deletes,
    const std::function<void(const booksync::DeleteRequest&, const ItemResult&)>& done) {
    return SendItems<booksync::DeleteRequest>(
        deletes,
        [this](const booksync::DeleteRequest& del) {
            HttpRequest request{
                "DELETE", ResolveHref(m_url, QString::fromStdString(del.href)), {}, {}, {}};
            if (!del.ifMatch.empty()) {
                request.headers.append(
                    {QByteArray("If-Match"), QByteArray::fromStdString(del.ifMatch)});
            }
            return request;
        },
        done);
}

std::string RemoteAddressBook::HrefForNewCard(const std::string& uid, int attempt) {
    // The UID itself where it makes a plain file name (without the
    // "urn:uuid:" in front), else its SHA-1.
    std::string name = uid.rfind("urn:uuid:", 0) == 0 ? uid.substr(9) : uid;
    const bool plain = !name.empty() && name.size() <= 100 && name[0] != '.' &&
                       name.find_first_not_of(
                           "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                           "0123456789-_.@") == std::string::npos;
    if (!plain) {
        name = addressbook::Sha1Hex(uid);
    }
    if (attempt > 0) {
        name += "-" + std::to_string(attempt);
    }
    return m_strPath.toStdString() + name + ".vcf";
}

Failure CreateAddressBook(DavClient& client, const QUrl& url, const QString& displayName) {
    HttpRequest request = XmlRequest("MKCOL", url, MkcolAddressBookBody(displayName), nullptr);
    return HttpFailure(client.Send(request), QStringLiteral("the new address book"));
}

Failure DeleteCollection(DavClient& client, const QUrl& url) {
    const HttpResponse response = client.Send(HttpRequest{"DELETE", url, {}, {}, {}});
    if (response.status == 404) {
        return Failure();
    }
    return HttpFailure(response, QStringLiteral("the address book"));
}

}  // namespace carddav
