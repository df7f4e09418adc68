// RemoteAddressBook: one CardDAV address book as the server side of a sync
// (booksync::IRemoteSide).
//
// - Open() checks that the URL is an address book (resourcetype
//   addressbook), reads its display name and whether it offers
//   sync-collection (RFC 6578).
// - List() asks for the changes since the token of the last sync when the
//   server offers that (and for every member with an empty token, or when
//   the token is no longer valid); otherwise, or when the report is
//   refused, it compares ETags from a PROPFIND of depth 1.
// - Fetch() fetches cards with addressbook-multiget, kBatchSize at a time
//   (ClientOptions::parallel batches in flight); a batch whose answer is
//   too large is fetched again one card at a time, and a card larger than
//   kMaxCardBytes is not taken.
// - Put() and Delete() send PUT with If-Match or If-None-Match: * and
//   DELETE with If-Match, ClientOptions::parallel at a time.
// A 5xx answer, a lost connection or a refused login stop the sync (the
// work done until then is kept); any other refusal concerns its card only.
#pragma once

#include <QString>
#include <QUrl>

#include "booksync/sync_sides.h"
#include "carddav/dav_client.h"

namespace carddav {

class RemoteAddressBook final : public booksync::IRemoteSide {
public:
    static constexpr int kBatchSize = 100;
    static constexpr qsizetype kMaxCardBytes = qsizetype{16} << 20;

    RemoteAddressBook(DavClient& client, QUrl url);

    booksync::Failure Open();
    const QUrl& Url() const { return m_url; }
    // The display name, or the last part of the path when it has none.
    const QString& DisplayName() const { return m_strName; }

    booksync::Failure List(const std::string& token,
                           const std::map<std::string, std::string>& known,
                           booksync::RemoteListing& listing) override;
    booksync::Failure Fetch(const std::vector<std::string>& hrefs,
                            const std::function<void(const booksync::FetchedCard&)>& each) override;
    booksync::Failure Put(const std::vector<booksync::PutRequest>& puts,
                          const std::function<void(const booksync::PutRequest&,
                                                   const booksync::ItemResult&)>& done) override;
    booksync::Failure Delete(const std::vector<booksync::DeleteRequest>& deletes,
                             const std::function<void(const booksync::DeleteRequest&,
                                                      const booksync::ItemResult&)>& done) override;
    std::string HrefForNewCard(const std::string& uid, int attempt) override;

private:
    // The listing from sync-collection; nothing when the server refused the
    // report (then PROPFIND is used).
    std::optional<booksync::Failure> ListChanges(const std::string& token,
                                                 const std::map<std::string, std::string>& known,
                                                 booksync::RemoteListing& listing);
    booksync::Failure ListMembers(booksync::RemoteListing& listing);
    QString Href(const QString& href) const;
    template <typename Request>
    booksync::Failure SendItems(
        const std::vector<Request>& items, const std::function<HttpRequest(const Request&)>& make,
        const std::function<void(const Request&, const booksync::ItemResult&)>& done);

    DavClient& m_client;
    QUrl m_url;
    QString m_strPath;  // the address book's normalized path
    QString m_strName;
    bool m_bSyncCollection = false;
};

// Makes an address book at `url` named `displayName` (extended MKCOL).
booksync::Failure CreateAddressBook(DavClient& client, const QUrl& url, const QString& displayName);
// Deletes the collection at `url` with everything in it.
booksync::Failure DeleteCollection(DavClient& client, const QUrl& url);

}  // namespace carddav
