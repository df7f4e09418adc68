#include "carddav/multistatus_request.h"

#include <QStringList>

#include "carddav/server_address.h"

namespace carddav {

using booksync::Failure;
using booksync::FailureKind;
using booksync::MakeFailure;

HttpRequest XmlRequest(const char* method, const QUrl& url, QByteArray body, const char* depth) {
    HttpRequest request{method, url, std::move(body), "application/xml; charset=utf-8", {}};
    if (depth != nullptr) {
        request.headers.append({QByteArray("Depth"), QByteArray(depth)});
    }
    return request;
}

Failure ReadMultistatus(const HttpResponse& response, const QString& what, Multistatus& out) {
    if (response.status != 207) {
        Failure failure = HttpFailure(response, what);
        if (!failure) {
            failure = MakeFailure(FailureKind::kBadResponse,
                                  QStringLiteral("The server answered the request for %1 "
                                                 "with HTTP %2 instead of a listing.")
                                      .arg(what)
                                      .arg(response.status)
                                      .toStdString());
        }
        return failure;
    }
    QString error;
    bool cutOff = false;
    if (!ParseMultistatus(response.body, out, error, &cutOff)) {
        if (cutOff) {
            // A compressed answer cut off on its way is not always reported
            // as such; its XML ends too early.
            return MakeFailure(FailureKind::kNetwork,
                               QStringLiteral("The connection to %1 was lost.")
                                   .arg(response.url.host())
                                   .toStdString());
        }
        return MakeFailure(
            FailureKind::kBadResponse,
            QStringLiteral("The server's answer could not be read: %1.").arg(error).toStdString());
    }
    return Failure();
}

const DavResponse* SelfResponse(const Multistatus& status, const QUrl& url) {
    const QString path = NormalizedHref(url, url.path());
    for (const DavResponse& item : status.responses) {
        const QString href = NormalizedHref(url, item.href);
        if (href == path || href == path + QLatin1Char('/') || href + QLatin1Char('/') == path) {
            return &item;
        }
    }
    return status.responses.empty() ? nullptr : &status.responses.front();
}

QString CollectionName(const DavResponse& self, const QUrl& url) {
    if (!self.displayName.isEmpty()) {
        return self.displayName;
    }
    const QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.host() : parts.last();
}

}  // namespace carddav
