#include "sync_command.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "booksync/book_link.h"
#include "booksync/book_side.h"
#include "carddav/server_address.h"
#include "carddav/sync_run.h"
#include "tool_books.h"

namespace quillbox::tool {

namespace {

struct SyncOptions {
    std::string url;
    std::string user;
    std::string passwordFile;
    std::vector<std::string> acceptedCertificates;
    std::string book;
};

bool ParseOptions(const std::vector<std::string>& args, SyncOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) { return TakeOptionValue(args, i, out, error); };
        std::string certificate;
        if (arg == "--url") {
            if (!value(options.url)) {
                return false;
            }
        } else if (arg == "--user") {
            if (!value(options.user)) {
                return false;
            }
        } else if (arg == "--password-file") {
            if (!value(options.passwordFile)) {
                return false;
            }
        } else if (arg == "--accept-certificate") {
            if (!value(certificate)) {
                return false;
            }
            options.acceptedCertificates.push_back(certificate);
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1) {
        error = "sync takes one book";
        return false;
    }
    options.book = positional[0];
    return true;
}

// The password: the file's first line, or QUILLBOX_PASSWORD.  A file that
// others may read is refused, as ssh refuses such a key.
bool ReadPassword(const SyncOptions& options, std::string& password, std::string& error) {
    if (options.passwordFile.empty()) {
        const char* fromEnvironment = std::getenv("QUILLBOX_PASSWORD");
        if (fromEnvironment == nullptr || *fromEnvironment == '\0') {
            error = "give the password in QUILLBOX_PASSWORD or with --password-file";
            return false;
        }
        password = fromEnvironment;
        return true;
    }
    struct stat info {};
    if (stat(options.passwordFile.c_str(), &info) != 0) {
        error = "cannot read the password file " + options.passwordFile;
        return false;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        error = "the password file " + options.passwordFile +
                " may be read by others; make it private (chmod 600)";
        return false;
    }
    std::ifstream in(options.passwordFile, std::ios::binary);
    if (!in || !std::getline(in, password)) {
        error = "cannot read the password file " + options.passwordFile;
        return false;
    }
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    return true;
}

// "ab:cd:..." or "ABCD..." as CertificateInfo::digest writes it.
QString DigestText(const std::string& given) {
    QString hex = QString::fromStdString(given).remove(QLatin1Char(':')).toUpper();
    QString digest;
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        digest += (i > 0 ? QStringLiteral(":") : QString()) + hex.mid(i, 2);
    }
    return digest;
}

}  // namespace

int RunSync(const std::vector<std::string>& args) {
    SyncOptions options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        return UsageError(error);
    }
    clausedb::CExprDatabase db;
    addressbook::VectorAddressList list;
    std::optional<addressbook::CExtraData> clause;
    const OpenResult opened = OpenBook(options.book, db, list, &clause);
    if (opened != OpenResult::Opened) {
        return ExitFor(opened);
    }
    const std::optional<booksync::BookLink> link =
        clause ? booksync::ReadBookLink(*clause) : std::nullopt;
    if (options.url.empty() && !link) {
        return UsageError(options.book + " is not linked to an address book: give --url");
    }
    if (options.user.empty() && link && (options.url.empty() || options.url == link->url)) {
        options.user = link->user;
    }
    if (options.user.empty()) {
        return UsageError("give the user name with --user");
    }
    std::string password;
    if (!ReadPassword(options, password, error)) {
        return UsageError(error);
    }

    // The network needs the toolkit's application object and event loop.
    int argc = 1;
    char name[] = "quillbox-tool";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);

    carddav::SyncRequest request;
    request.url = QString::fromStdString(options.url);
    request.user = QString::fromStdString(options.user);
    request.password = QString::fromStdString(password);
    request.link = link;
    request.entries.reserve(static_cast<std::size_t>(list.RowCount()));
    for (int row = 0; row < list.RowCount(); ++row) {
        request.entries.push_back(list.EntryAt(row));
    }
    std::vector<addressbook::CAddressEntry> entries = request.entries;
    if (!options.acceptedCertificates.empty()) {
        QString urlError;
        if (const std::optional<QUrl> parsed =
                carddav::UrlFromUserText(carddav::AddressText(request), urlError)) {
            for (const std::string& digest : options.acceptedCertificates) {
                request.trustedCertificates[carddav::HostPortOf(*parsed)] << DigestText(digest);
            }
        }
    }
    carddav::SyncOutcome outcome = carddav::RunSync(std::move(request));

    const booksync::Failure& failure = outcome.report.failure;
    if (outcome.untrustedCertificate) {
        const carddav::CertificateInfo& certificate = *outcome.untrustedCertificate;
        std::fprintf(stderr,
                     "quillbox-tool: the certificate of %s is not trusted.\n"
                     "  Issued to: %s\n  Issued by: %s\n  SHA-256:   %s\n"
                     "Give --accept-certificate %s to trust it.\n",
                     qPrintable(certificate.hostPort), qPrintable(certificate.subject),
                     qPrintable(certificate.issuer), qPrintable(certificate.digest),
                     qPrintable(certificate.digest));
    }
    if (outcome.link) {
        // Whatever was done is kept, also after a sync that stopped.
        addressbook::VectorAddressList after;
        for (addressbook::CAddressEntry& entry : booksync::EntriesAfterSync(
                 std::move(entries), std::move(outcome.changes), std::move(outcome.added))) {
            after.AppendEntry(std::make_unique<addressbook::CAddressEntry>(std::move(entry)));
        }
        const addressbook::CExtraData linkClause = booksync::WriteBookLink(*outcome.link);
        if (!SaveBook(after, db, options.book, &linkClause)) {
            return kExitUsage;
        }
    }
    std::FILE* out = failure ? stderr : stdout;
    std::fprintf(out, "%s\n", qPrintable(outcome.summary));
    if (failure) {
        return failure.IsRefusal() ? kExitRefused : kExitUsage;
    }
    return outcome.report.refusedSome ? kExitRefused : kExitOk;
}

}  // namespace quillbox::tool
