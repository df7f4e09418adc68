// Server addresses: what the user typed made a URL, which URLs a request
// may go to, and hrefs (the paths a server names its resources by).
//
// Passwords travel only over HTTPS, whose certificates are checked; plain
// http:// is allowed only to this machine (the loopback addresses), where
// the tests and a local server need it.
#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace carddav {

// The URL of a server address as the user typed it: "dav.example.org" and
// "dav.example.org/jane" mean https://.  Nothing, with `error` in words,
// when it cannot be one.
std::optional<QUrl> UrlFromUserText(const QString& text, QString& error);

// Whether `host` is this machine: "localhost", 127.0.0.0/8, ::1.
bool IsLoopbackHost(const QString& host);

// Whether requests may go to `url`: https://, or http:// to this machine.
// Otherwise false, with `error` saying why in words a user understands.
bool IsAllowedUrl(const QUrl& url, QString& error);

// `href` (a path or a whole URL) resolved against `base`.
QUrl ResolveHref(const QUrl& base, const QString& href);
// The path of `href` resolved against `base`, percent-encoded the one way,
// so that the same resource always gives the same text.
QString NormalizedHref(const QUrl& base, const QString& href);
// Whether `a` and `b` name the same resource: the same host and path.
bool SameResource(const QUrl& a, const QUrl& b);

// "dav.example.org:443": what a trusted certificate is remembered for.
QString HostPortOf(const QUrl& url);

}  // namespace carddav
