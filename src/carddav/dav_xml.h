// The XML of WebDAV (RFC 4918), CardDAV (RFC 6352) and sync-collection
// (RFC 6578): the request bodies the client sends, and the reader of the
// 207 Multi-Status answers.
//
// Answers are outside input.  They are read with QXmlStreamReader, which
// fetches nothing from outside; a document type declaration is refused
// outright, so no entity is ever expanded, and the caller bounds the size
// of a body before it gets here.  Only what the client asks for is read;
// every other element is skipped.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace carddav {

inline constexpr char kDavNs[] = "DAV:";
inline constexpr char kCardDavNs[] = "urn:ietf:params:xml:ns:carddav";

// One <response> of a multistatus.
struct DavResponse {
    QString href;    // the first <href>, as written (a path or a URL)
    int status = 0;  // the response's own <status> (404 for a card gone), 0 when none

    // Properties given with a 2xx status.
    QString etag;
    QString displayName;
    QString contentType;
    bool collection = false;
    bool addressBook = false;
    bool principal = false;
    QStringList currentUserPrincipal;  // hrefs
    QStringList addressBookHomeSet;    // hrefs
    QStringList supportedReports;      // local names: "sync-collection", ...
    bool hasAddressData = false;
    QByteArray addressData;  // UTF-8
};

struct Multistatus {
    std::vector<DavResponse> responses;
    QString syncToken;  // the sync-collection answer's new token
};

// Reads a multistatus body.  False, with `error` in plain words, when it is
// not one: not well-formed, a DTD, another root element.  `cutOff`, when
// given, tells a document that ends before its root element does (an
// answer whose connection was lost on the way).
bool ParseMultistatus(const QByteArray& body, Multistatus& out, QString& error,
                      bool* cutOff = nullptr);

// The status code of a status line, "HTTP/1.1 404 Not Found" -> 404; 0 when
// there is none.
int StatusCodeOf(QStringView statusLine);

// ---- Request bodies ----
// PROPFIND of what tells a principal, a home set and an address book apart.
QByteArray PropfindCollectionBody();
// PROPFIND (Depth 1) of the members of an address book and their ETags.
QByteArray PropfindEtagsBody();
// REPORT sync-collection since `token` (empty: the first, every member).
QByteArray SyncCollectionBody(const QString& token);
// REPORT addressbook-multiget of `hrefs` (paths), with ETags and cards.
QByteArray MultigetBody(const QStringList& hrefs);
// Extended MKCOL (RFC 5689) of an address book named `displayName`.
QByteArray MkcolAddressBookBody(const QString& displayName);

}  // namespace carddav
