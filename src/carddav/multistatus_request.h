// The requests whose answer is a WebDAV multistatus (PROPFIND, REPORT), as
// discovery and the address book both send and read them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include "booksync/sync_types.h"
#include "carddav/dav_client.h"
#include "carddav/dav_xml.h"

namespace carddav {

// A request with an XML body; `depth` (the Depth header) may be null.
HttpRequest XmlRequest(const char* method, const QUrl& url, QByteArray body, const char* depth);

// The multistatus of `response`, or the failure it stands for: the HTTP
// failure (about `what`, "the cards"), another answer than 207, an answer
// that cannot be read, or one cut off on its way (the connection lost).
booksync::Failure ReadMultistatus(const HttpResponse& response, const QString& what,
                                  Multistatus& out);

// The <response> about `url` itself (a server may add others), with or
// without a slash at the end; the first one when none names it.
const DavResponse* SelfResponse(const Multistatus& status, const QUrl& url);

// The collection's display name, or the last part of `url`'s path.
QString CollectionName(const DavResponse& self, const QUrl& url);

}  // namespace carddav
