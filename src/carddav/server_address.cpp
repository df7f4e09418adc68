#include "carddav/server_address.h"

#include <QHostAddress>

namespace carddav {

std::optional<QUrl> UrlFromUserText(const QString& text, QString& error) {
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        error = QStringLiteral("Enter the address of the server.");
        return std::nullopt;
    }
    if (!trimmed.contains(QStringLiteral("://"))) {
        trimmed.prepend(QStringLiteral("https://"));
    }
    QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        error = QStringLiteral("\"%1\" is not a server address.").arg(text.trimmed());
        return std::nullopt;
    }
    if (url.path().isEmpty()) {
        url.setPath(QStringLiteral("/"));
    }
    if (!IsAllowedUrl(url, error)) {
        return std::nullopt;
    }
    // A password in the address would end up in the book and the settings.
    url.setUserInfo(QString());
    url.setFragment(QString());
    return url;
}

bool IsLoopbackHost(const QString& host) {
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool IsAllowedUrl(const QUrl& url, QString& error) {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https")) {
        return true;
    }
    if (scheme == QLatin1String("http")) {
        if (IsLoopbackHost(url.host())) {
            return true;
        }
        error = QStringLiteral(
                    "The address %1 is not encrypted (http://). Quillbox sends passwords only "
                    "over https://, except to a server on this computer.")
                    .arg(url.toString(QUrl::RemoveUserInfo));
        return false;
    }
    error = QStringLiteral("The address %1 is neither https:// nor http://.")
                .arg(url.toString(QUrl::RemoveUserInfo));
    return false;
}

QUrl ResolveHref(const QUrl& base, const QString& href) {
    return base.resolved(QUrl(href.trimmed()));
}

QString NormalizedHref(const QUrl& base, const QString& href) {
    // Decoded, then encoded again: "%7e" and "~" name the same resource.
    return QString::fromLatin1(QUrl::toPercentEncoding(
        ResolveHref(base, href).path(QUrl::FullyDecoded), "/:@!$&'()*+,;=~"));
}

bool SameResource(const QUrl& a, const QUrl& b) {
    return a.host() == b.host() && NormalizedHref(a, a.path()) == NormalizedHref(b, b.path());
}

QString HostPortOf(const QUrl& url) {
    const int defaultPort = url.scheme().toLower() == QLatin1String("https") ? 443 : 80;
    return url.host().toLower() + QLatin1Char(':') + QString::number(url.port(defaultPort));
}

}  // namespace carddav
