#include "carddav/dav_xml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace carddav {

namespace {

bool Is(const QXmlStreamReader& xml, const char* ns, const char* name) {
    return xml.namespaceUri() == QLatin1String(ns) && xml.name() == QLatin1String(name);
}

// The text of the current element, child elements included, trimmed.
QString TrimmedText(QXmlStreamReader& xml) {
    return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
}

// Reads the children of the current element, calling `child` at each start
// element; a child that `child` leaves unread is skipped whole.
template <typename Fn>
void ForEachChild(QXmlStreamReader& xml, Fn&& child) {
    while (xml.readNextStartElement()) {
        if (!child()) {
            xml.skipCurrentElement();
        }
    }
}

// The <href> children of the current element.
QStringList Hrefs(QXmlStreamReader& xml) {
    QStringList hrefs;
    ForEachChild(xml, [&] {
        if (Is(xml, kDavNs, "href")) {
            hrefs << TrimmedText(xml);
            return true;
        }
        return false;
    });
    return hrefs;
}

void ReadResourceType(QXmlStreamReader& xml, DavResponse& response) {
    ForEachChild(xml, [&] {
        response.collection |= Is(xml, kDavNs, "collection");
        response.addressBook |= Is(xml, kCardDavNs, "addressbook");
        response.principal |= Is(xml, kDavNs, "principal");
        return false;
    });
}

// <supported-report-set><supported-report><report><X/></report>...
void ReadSupportedReports(QXmlStreamReader& xml, DavResponse& response) {
    ForEachChild(xml, [&] {
        if (!Is(xml, kDavNs, "supported-report")) {
            return false;
        }
        ForEachChild(xml, [&] {
            if (!Is(xml, kDavNs, "report")) {
                return false;
            }
            ForEachChild(xml, [&] {
                response.supportedReports << xml.name().toString();
                return false;
            });
            return true;
        });
        return true;
    });
}

// The properties of one <prop> into `props`.
void ReadProp(QXmlStreamReader& xml, DavResponse& props) {
    ForEachChild(xml, [&] {
        if (Is(xml, kDavNs, "getetag")) {
            props.etag = TrimmedText(xml);
        } else if (Is(xml, kDavNs, "displayname")) {
            props.displayName = TrimmedText(xml);
        } else if (Is(xml, kDavNs, "getcontenttype")) {
            props.contentType = TrimmedText(xml);
        } else if (Is(xml, kDavNs, "resourcetype")) {
            ReadResourceType(xml, props);
        } else if (Is(xml, kDavNs, "current-user-principal")) {
            props.currentUserPrincipal = Hrefs(xml);
        } else if (Is(xml, kCardDavNs, "addressbook-home-set")) {
            props.addressBookHomeSet = Hrefs(xml);
        } else if (Is(xml, kDavNs, "supported-report-set")) {
            ReadSupportedReports(xml, props);
        } else if (Is(xml, kCardDavNs, "address-data")) {
            props.hasAddressData = true;
            // The card's own text, line ends and all (not trimmed).
            props.addressData =
                xml.readElementText(QXmlStreamReader::IncludeChildElements).toUtf8();
        } else {
            return false;
        }
        return true;
    });
}

// Takes the properties of a 2xx <propstat> into `response`.
void Merge(const DavResponse& props, DavResponse& response) {
    auto take = [](const auto& value, auto& into) {
        if (!value.isEmpty()) {
            into = value;
        }
    };
    take(props.etag, response.etag);
    take(props.displayName, response.displayName);
    take(props.contentType, response.contentType);
    take(props.currentUserPrincipal, response.currentUserPrincipal);
    take(props.addressBookHomeSet, response.addressBookHomeSet);
    take(props.supportedReports, response.supportedReports);
    response.collection |= props.collection;
    response.addressBook |= props.addressBook;
    response.principal |= props.principal;
    if (props.hasAddressData) {
        response.hasAddressData = true;
        response.addressData = props.addressData;
    }
}

void ReadPropstat(QXmlStreamReader& xml, DavResponse& response) {
    DavResponse props;
    int status = 0;
    ForEachChild(xml, [&] {
        if (Is(xml, kDavNs, "prop")) {
            ReadProp(xml, props);
        } else if (Is(xml, kDavNs, "status")) {
            status = StatusCodeOf(TrimmedText(xml));
        } else {
            return false;
        }
        return true;
    });
    if (status >= 200 && status < 300) {
        Merge(props, response);
    }
}

DavResponse ReadResponse(QXmlStreamReader& xml) {
    DavResponse response;
    ForEachChild(xml, [&] {
        if (Is(xml, kDavNs, "href")) {
            const QString href = TrimmedText(xml);
            if (response.href.isEmpty()) {
                response.href = href;
            }
        } else if (Is(xml, kDavNs, "status")) {
            response.status = StatusCodeOf(TrimmedText(xml));
        } else if (Is(xml, kDavNs, "propstat")) {
            ReadPropstat(xml, response);
        } else {
            return false;
        }
        return true;
    });
    return response;
}

}  // namespace

int StatusCodeOf(QStringView statusLine) {
    // "HTTP/1.1 404 Not Found": the second word.
    const QStringView trimmed = statusLine.trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    if (space < 0) {
        return 0;
    }
    const QStringView code = trimmed.mid(space + 1, 3);
    bool ok = false;
    const int value = code.toInt(&ok);
    return ok && value >= 100 && value <= 599 ? value : 0;
}

bool ParseMultistatus(const QByteArray& body, Multistatus& out, QString& error, bool* cutOff) {
    out = Multistatus();
    if (cutOff != nullptr) {
        *cutOff = false;
    }
    QXmlStreamReader xml(body);
    bool sawRoot = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD) {
            error = QStringLiteral("the server's answer holds a document type declaration");
            return false;
        }
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        if (!Is(xml, kDavNs, "multistatus")) {
            error = QStringLiteral("the server's answer is not a WebDAV multistatus");
            return false;
        }
        sawRoot = true;
        ForEachChild(xml, [&] {
            if (Is(xml, kDavNs, "response")) {
                out.responses.push_back(ReadResponse(xml));
            } else if (Is(xml, kDavNs, "sync-token")) {
                out.syncToken = TrimmedText(xml);
            } else {
                return false;
            }
            return true;
        });
        // Nothing may follow the root element but comments and white space;
        // reading on reports anything else as an error.
    }
    if (xml.hasError()) {
        if (cutOff != nullptr) {
            *cutOff = xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
        }
        error = QStringLiteral("the server's answer is not well-formed XML (%1, line %2)")
                    .arg(xml.errorString())
                    .arg(xml.lineNumber());
        return false;
    }
    if (!sawRoot) {
        error = QStringLiteral("the server's answer is empty");
        return false;
    }
    return true;
}

// ---- Request bodies ----

namespace {

struct PropName {
    const char* ns;
    const char* name;
};

class Body {
public:
    Body() : m_xml(&m_bytes) {
        m_xml.writeStartDocument();
        m_xml.writeNamespace(QLatin1String(kDavNs), QStringLiteral("d"));
        m_xml.writeNamespace(QLatin1String(kCardDavNs), QStringLiteral("c"));
    }
    void Start(const char* ns, const char* name) {
        m_xml.writeStartElement(QLatin1String(ns), QLatin1String(name));
    }
    void Empty(const char* ns, const char* name) {
        m_xml.writeEmptyElement(QLatin1String(ns), QLatin1String(name));
    }
    void Text(const char* ns, const char* name, const QString& text) {
        m_xml.writeTextElement(QLatin1String(ns), QLatin1String(name), text);
    }
    // A <prop> naming the properties asked for.
    void Prop(std::initializer_list<PropName> props) {
        Start(kDavNs, "prop");
        for (const PropName& prop : props) {
            Empty(prop.ns, prop.name);
        }
        End();
    }
    void End() { m_xml.writeEndElement(); }
    QByteArray Finish() {
        m_xml.writeEndDocument();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
};

// A PROPFIND asking for `props`.
QByteArray PropfindBody(std::initializer_list<PropName> props) {
    Body body;
    body.Start(kDavNs, "propfind");
    body.Prop(props);
    body.End();
    return body.Finish();
}

}  // namespace

QByteArray PropfindCollectionBody() {
    return PropfindBody({{kDavNs, "resourcetype"},
                         {kDavNs, "displayname"},
                         {kDavNs, "current-user-principal"},
                         {kCardDavNs, "addressbook-home-set"},
                         {kDavNs, "supported-report-set"}});
}

QByteArray PropfindEtagsBody() {
    return PropfindBody(
        {{kDavNs, "resourcetype"}, {kDavNs, "getetag"}, {kDavNs, "getcontenttype"}});
}

QByteArray SyncCollectionBody(const QString& token) {
    Body body;
    body.Start(kDavNs, "sync-collection");
    body.Text(kDavNs, "sync-token", token);
    body.Text(kDavNs, "sync-level", QStringLiteral("1"));
    body.Prop({{kDavNs, "getetag"}});
    body.End();
    return body.Finish();
}

QByteArray MultigetBody(const QStringList& hrefs) {
    Body body;
    body.Start(kCardDavNs, "addressbook-multiget");
    body.Prop({{kDavNs, "getetag"}, {kCardDavNs, "address-data"}});
    for (const QString& href : hrefs) {
        body.Text(kDavNs, "href", href);
    }
    body.End();
    return body.Finish();
}

QByteArray MkcolAddressBookBody(const QString& displayName) {
    Body body;
    body.Start(kDavNs, "mkcol");
    body.Start(kDavNs, "set");
    body.Start(kDavNs, "prop");
    body.Start(kDavNs, "resourcetype");
    body.Empty(kDavNs, "collection");
    body.Empty(kCardDavNs, "addressbook");
    body.End();
    body.Text(kDavNs, "displayname", displayName);
    body.End();
    body.End();
    body.End();
    return body.Finish();
}

}  // namespace carddav
