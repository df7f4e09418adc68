// DavClient: the HTTP requests of a CardDAV client over QNetworkAccessManager.
//
// Each call sends its requests and waits for the answers in an event loop
// of its own, so the client is used from one thread (the window runs it on
// a worker thread, the tool on its main thread); several requests may be in
// flight at once (SendAll).  What it adds to the toolkit:
// - only https://, or http:// to this machine (server_address.h), also after
//   a redirect, which it follows itself;
// - the user name and password answer the server's challenge (basic or
//   digest), once per request: asked again, the answer is 401;
// - certificates are checked against the system's trust store; one that is
//   not trusted fails the request and is described (UntrustedCertificate())
//   so that the user can be asked, unless its SHA-256 digest is among those
//   the user accepted for that server;
// - an answer larger than the body limit is cut off and fails;
// - a request that stalls longer than the timeout fails;
// - setting the cancel flag (from any thread) aborts every request.
// The password is never written anywhere, nor part of any message.
#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "booksync/sync_types.h"

namespace carddav {

struct HttpRequest {
    QByteArray method;  // "PROPFIND", "REPORT", "PUT", "DELETE", "MKCOL", "GET"
    QUrl url;
    QByteArray body;
    QByteArray contentType;                        // sent with a body
    QList<QPair<QByteArray, QByteArray>> headers;  // Depth, If-Match, ...
};

struct HttpResponse {
    int status = 0;  // the HTTP status; 0 when there was no answer
    QByteArray reason;
    QByteArray body;
    QByteArray etag;      // the ETag header
    QByteArray location;  // the Location header
    QUrl url;             // the URL that answered, after redirects
    // Set when there was no usable answer: the connection, the certificate,
    // the size, the cancel flag.
    booksync::Failure failure;
};

// A server certificate that the system does not trust.
struct CertificateInfo {
    QString hostPort;  // "dav.example.org:443"
    QString subject;
    QString issuer;
    QString digest;    // SHA-256, hexadecimal bytes separated by colons
    QString problems;  // why it is not trusted, in the toolkit's words
};

struct ClientOptions {
    qint64 maxBodyBytes = qint64{256} << 20;
    int timeoutMs = 60000;
    int maxRedirects = 5;
    int parallel = 4;  // requests in flight at once in SendAll
};

class DavClient {
public:
    // `trusted`: SHA-256 digests (as CertificateInfo::digest) of certificates
    // the user accepted, by "host:port".  `cancel` may be null.
    DavClient(QString user, QString password, QMap<QString, QStringList> trusted,
              std::atomic<bool>* cancel, ClientOptions options = {});
    ~DavClient();
    DavClient(const DavClient&) = delete;
    DavClient& operator=(const DavClient&) = delete;

    HttpResponse Send(const HttpRequest& request);
    // Sends every request, at most options.parallel at a time, and calls
    // `done` with each answer as it comes (with the request's index).  When
    // `done` returns false no further request is started; those in flight
    // are aborted.
    void SendAll(const std::vector<HttpRequest>& requests,
                 const std::function<bool(std::size_t index, HttpResponse& response)>& done);

    // The last certificate that failed a request, when one did.
    const std::optional<CertificateInfo>& UntrustedCertificate() const { return m_untrusted; }

private:
    struct InFlight;
    bool Cancelled() const;
    void Start(InFlight& flight);
    HttpResponse Finish(InFlight& flight);

    QNetworkAccessManager m_manager;
    QString m_strUser;
    QString m_strPassword;
    QMap<QString, QStringList> m_trusted;
    std::atomic<bool>* m_pCancel;
    ClientOptions m_options;
    std::optional<CertificateInfo> m_untrusted;
};

// The failure an HTTP answer means for the request `what` ("the address
// book"), in words: 401 wrong user name or password, 403 refused, 404 not
// found, 5xx a server error with its status.  Nothing for a 2xx answer.
booksync::Failure HttpFailure(const HttpResponse& response, const QString& what);

}  // namespace carddav
