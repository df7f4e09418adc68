#include "carddav/dav_client.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>
#include <memory>

#include "carddav/server_address.h"
#include "resources/version.h"

namespace carddav {

using booksync::FailureKind;
using booksync::MakeFailure;

struct DavClient::InFlight {
    std::size_t index = 0;
    HttpRequest request;  // its URL follows the redirects
    int redirects = 0;
    QNetworkReply* reply = nullptr;
    bool tooLarge = false;
    bool untrusted = false;
    qint64 received = 0;  // of the answer's body, as last reported
    qint64 total = -1;    // its announced length, -1 when unknown
};

namespace {

constexpr int kCancelPollMs = 50;

QString MegabytesOf(qint64 bytes) {
    return QString::number(bytes >> 20);
}

booksync::Failure TransportFailure(QNetworkReply::NetworkError error, const QUrl& url,
                                   const QString& detail) {
    const QString host = url.host();
    switch (error) {
        case QNetworkReply::HostNotFoundError:
            return MakeFailure(FailureKind::kNetwork,
                               QStringLiteral("The server %1 was not found. Check the "
                                              "address and the network connection.")
                                   .arg(host)
                                   .toStdString());
        case QNetworkReply::ConnectionRefusedError:
            return MakeFailure(FailureKind::kNetwork,
                               QStringLiteral("The server %1 refused the connection. Check "
                                              "the address and the port.")
                                   .arg(host)
                                   .toStdString());
        case QNetworkReply::TimeoutError:
        case QNetworkReply::OperationCanceledError:
            return MakeFailure(
                FailureKind::kNetwork,
                QStringLiteral("The server %1 did not answer in time.").arg(host).toStdString());
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::UnknownNetworkError:
        case QNetworkReply::ProxyConnectionClosedError:
            return MakeFailure(
                FailureKind::kNetwork,
                QStringLiteral("The connection to %1 was lost.").arg(host).toStdString());
        case QNetworkReply::SslHandshakeFailedError:
            return MakeFailure(FailureKind::kNetwork,
                               QStringLiteral("No secure connection to %1 could be made: %2")
                                   .arg(host, detail)
                                   .toStdString());
        default:
            return MakeFailure(FailureKind::kNetwork,
                               QStringLiteral("The server %1 could not be reached: %2")
                                   .arg(host, detail)
                                   .toStdString());
    }
}

CertificateInfo Describe(const QUrl& url, const QList<QSslError>& errors,
                         const QSslCertificate& certificate) {
    CertificateInfo info;
    info.hostPort = HostPortOf(url);
    info.subject = certificate.subjectDisplayName();
    info.issuer = certificate.issuerDisplayName();
    info.digest =
        QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
    QStringList problems;
    for (const QSslError& error : errors) {
        problems << error.errorString();
    }
    problems.removeDuplicates();
    info.problems = problems.join(QStringLiteral(" "));
    return info;
}

// Errors of the connection (as opposed to those that stand for an HTTP
// status): the toolkit numbers them below 200.
bool IsTransportError(QNetworkReply::NetworkError error) {
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

DavClient::DavClient(QString user, QString password, QMap<QString, QStringList> trusted,
                     std::atomic<bool>* cancel, ClientOptions options)
    : m_strUser(std::move(user)),
      m_strPassword(std::move(password)),
      m_trusted(std::move(trusted)),
      m_pCancel(cancel),
      m_options(options) {
    // The credentials answer the server's challenge once per request; a
    // second challenge means they were refused.
    QObject::connect(&m_manager, &QNetworkAccessManager::authenticationRequired,
                     [this](QNetworkReply* reply, QAuthenticator* authenticator) {
                         const int asked = reply->property("quillboxChallenges").toInt();
                         reply->setProperty("quillboxChallenges", asked + 1);
                         if (asked == 0) {
                             authenticator->setUser(m_strUser);
                             authenticator->setPassword(m_strPassword);
                         }
                     });
}

DavClient::~DavClient() = default;

bool DavClient::Cancelled() const {
    return m_pCancel != nullptr && m_pCancel->load();
}

void DavClient::Start(InFlight& flight) {
    QNetworkRequest request(flight.request.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(m_options.timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QByteArray("Quillbox/") + resources::kVersion);
    if (!flight.request.body.isEmpty() || !flight.request.contentType.isEmpty()) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, flight.request.contentType);
    }
    for (const auto& [name, value] : flight.request.headers) {
        request.setRawHeader(name, value);
    }
    flight.tooLarge = false;
    flight.untrusted = false;
    flight.received = 0;
    flight.total = -1;
    QNetworkReply* reply =
        m_manager.sendCustomRequest(request, flight.request.method, flight.request.body);
    flight.reply = reply;
    InFlight* pFlight = &flight;
    const qint64 limit = m_options.maxBodyBytes;
    QObject::connect(reply, &QNetworkReply::downloadProgress,
                     [pFlight, limit](qint64 received, qint64 total) {
                         pFlight->received = received;
                         pFlight->total = total;
                         if ((received > limit || total > limit) && pFlight->reply != nullptr) {
                             pFlight->tooLarge = true;
                             pFlight->reply->abort();
                         }
                     });
    QObject::connect(
        reply, &QNetworkReply::sslErrors, [this, pFlight](const QList<QSslError>& errors) {
            QNetworkReply* r = pFlight->reply;
            const QSslCertificate certificate = r->sslConfiguration().peerCertificate();
            CertificateInfo info = Describe(pFlight->request.url, errors, certificate);
            if (!certificate.isNull() && m_trusted.value(info.hostPort).contains(info.digest)) {
                r->ignoreSslErrors(errors);
                return;
            }
            pFlight->untrusted = true;
            m_untrusted = std::move(info);
        });
}

HttpResponse DavClient::Finish(InFlight& flight) {
    QNetworkReply* reply = flight.reply;
    flight.reply = nullptr;
    HttpResponse response;
    response.url = flight.request.url;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    response.status = status.isValid() ? status.toInt() : 0;
    if (Cancelled()) {
        response.failure = booksync::CancelledFailure();
    } else if (flight.tooLarge) {
        response.failure = MakeFailure(FailureKind::kBadResponse,
                                       QStringLiteral("The server's answer is larger than %1 MB.")
                                           .arg(MegabytesOf(m_options.maxBodyBytes))
                                           .toStdString());
    } else if (flight.untrusted && m_untrusted) {
        response.failure =
            MakeFailure(FailureKind::kCertificate,
                        QStringLiteral("The certificate of %1 is not trusted (issued to \"%2\" by "
                                       "\"%3\"): %4")
                            .arg(flight.request.url.host(), m_untrusted->subject,
                                 m_untrusted->issuer, m_untrusted->problems)
                            .toStdString());
    } else if (response.status == 0 || IsTransportError(reply->error())) {
        // No answer, or an answer cut off on its way.
        response.failure =
            TransportFailure(reply->error(), flight.request.url, reply->errorString());
    } else {
        response.reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
        response.body = reply->readAll();
        response.etag = reply->rawHeader("ETag");
        // A connection closed before the announced length arrived is not
        // always reported as an error.
        if (flight.total > 0 && flight.received < flight.total) {
            response.failure = TransportFailure(QNetworkReply::RemoteHostClosedError,
                                                flight.request.url, reply->errorString());
        }
    }
    if (response.failure) {
        response.status = 0;
    }
    response.location = reply->rawHeader("Location");
    reply->deleteLater();
    return response;
}

HttpResponse DavClient::Send(const HttpRequest& request) {
    HttpResponse answer;
    SendAll({request}, [&answer](std::size_t, HttpResponse& response) {
        answer = std::move(response);
        return true;
    });
    return answer;
}

void DavClient::SendAll(const std::vector<HttpRequest>& requests,
                        const std::function<bool(std::size_t, HttpResponse&)>& done) {
    QEventLoop loop;
    std::vector<std::unique_ptr<InFlight>> flights;
    std::size_t next = 0;
    int active = 0;
    bool stopped = false;  // by `done`, or by the cancel flag

    auto abortAll = [&] {
        for (const auto& flight : flights) {
            if (flight->reply != nullptr) {
                flight->reply->abort();
            }
        }
    };
    // Answers a request that cannot be sent (a URL refused) at once.
    auto refuse = [&](std::size_t index, booksync::Failure failure) {
        HttpResponse response;
        response.url = requests[index].url;
        response.failure = std::move(failure);
        if (!done(index, response)) {
            stopped = true;
        }
    };
    std::function<void()> startMore;
    std::function<void(InFlight*)> finished = [&](InFlight* flight) {
        HttpResponse response = Finish(*flight);
        const QByteArray& location = response.location;
        if (!stopped && !response.failure && IsRedirect(response.status) && !location.isEmpty() &&
            flight->redirects < m_options.maxRedirects) {
            const QUrl target = flight->request.url.resolved(QUrl::fromEncoded(location));
            QString error;
            const bool downgrade = flight->request.url.scheme() == QLatin1String("https") &&
                                   target.scheme() != QLatin1String("https");
            if (!downgrade && IsAllowedUrl(target, error)) {
                ++flight->redirects;
                flight->request.url = target;
                if (response.status == 303) {
                    flight->request.method = "GET";
                    flight->request.body.clear();
                }
                Start(*flight);
                QObject::connect(flight->reply, &QNetworkReply::finished, &loop,
                                 [&finished, flight] { finished(flight); });
                return;
            }
            response = HttpResponse();
            response.url = target;
            response.failure = MakeFailure(
                FailureKind::kRefused,
                QStringLiteral("The server sent the request on to an address Quillbox does "
                               "not follow: %1")
                    .arg(downgrade ? QStringLiteral("%1 is not encrypted.")
                                         .arg(target.toString(QUrl::RemoveUserInfo))
                                   : error)
                    .toStdString());
        }
        --active;
        if (!stopped && !done(flight->index, response)) {
            stopped = true;
            abortAll();
        }
        startMore();
        if (active == 0) {
            loop.quit();
        }
    };
    startMore = [&] {
        while (!stopped && next < requests.size() && active < std::max(1, m_options.parallel)) {
            const std::size_t index = next++;
            QString error;
            if (!IsAllowedUrl(requests[index].url, error)) {
                refuse(index, MakeFailure(FailureKind::kUsage, error.toStdString()));
                continue;
            }
            if (Cancelled()) {
                refuse(index, booksync::CancelledFailure());
                stopped = true;
                break;
            }
            auto flight = std::make_unique<InFlight>();
            flight->index = index;
            flight->request = requests[index];
            Start(*flight);
            InFlight* pFlight = flight.get();
            QObject::connect(pFlight->reply, &QNetworkReply::finished, &loop,
                             [&finished, pFlight] { finished(pFlight); });
            flights.push_back(std::move(flight));
            ++active;
        }
    };

    QTimer poll;
    poll.setInterval(kCancelPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (Cancelled() && !stopped) {
            abortAll();
        }
    });
    startMore();
    if (active > 0) {
        poll.start();
        loop.exec();
    }
}

booksync::Failure HttpFailure(const HttpResponse& response, const QString& what) {
    if (response.failure) {
        return response.failure;
    }
    const int status = response.status;
    if (status >= 200 && status < 300) {
        return booksync::Failure();
    }
    const QString code =
        QStringLiteral("HTTP %1%2")
            .arg(status)
            .arg(response.reason.isEmpty() ? QString()
                                           : QLatin1Char(' ') + QString::fromUtf8(response.reason));
    if (status == 401) {
        return MakeFailure(FailureKind::kAuthentication,
                           "The server did not accept the user name or password (HTTP 401).",
                           status);
    }
    if (status == 403) {
        return MakeFailure(
            FailureKind::kRefused,
            QStringLiteral("The server refused access to %1 (%2).").arg(what, code).toStdString(),
            status);
    }
    if (status == 404 || status == 410) {
        return MakeFailure(FailureKind::kRefused,
                           QStringLiteral("The server has no %1 at %2 (%3).")
                               .arg(what, response.url.toString(QUrl::RemoveUserInfo), code)
                               .toStdString(),
                           status);
    }
    if (status >= 500) {
        return MakeFailure(
            FailureKind::kServerError,
            QStringLiteral("The server reported an error (%1).").arg(code).toStdString(), status);
    }
    return MakeFailure(
        FailureKind::kRefused,
        QStringLiteral("The server refused the request for %1 (%2).").arg(what, code).toStdString(),
        status);
}

}  // namespace carddav
