#include "document/qx32_doc.h"

#include <QCursor>  // needed by platform/app_services.h
#include <QFileInfo>

#include "addressbook/address_list.h"
#include "addressbook/book_file.h"
#include "addressbook/vector_address_list.h"
#include "platform/app_services.h"
#include "platform/profile.h"
#include "resources/string_table.h"
#include "settings/settings_keys.h"

namespace document {

namespace {

// Reads are one at a time (the reader's state is process-wide), so one
// record of the current read's first error is enough.
ReaderError g_readerError;

void CollectReaderError(int /*kind*/, std::int32_t line, const char* message) {
    if (g_readerError.count++ == 0) {
        g_readerError.line = line;
        g_readerError.message = message != nullptr ? message : "";
    }
}

}  // namespace

CQX32Doc::CQX32Doc(platform::IProfile& profile, QObject* parent)
    : platform::CDocument(parent), m_profile(profile), m_database(CollectReaderError) {}

CQX32Doc::~CQX32Doc() {
    m_database.RemoveAllClauses();
}

void CQX32Doc::Attach(platform::CommandRouter& router) {
    router.AddTarget(m_commands, platform::RouteLevel::kDocument);
}

const ReaderError& CQX32Doc::LastReaderError() const {
    return g_readerError;
}

QString CQX32Doc::ReaderErrorText(const ReaderError& error) {
    return QStringLiteral("Line %1: %2").arg(error.line).arg(QString::fromStdString(error.message));
}

void CQX32Doc::StoreBookInUse(const QString& path) {
    const auto& key = settings::kBookInUse;
    m_profile.SetString(key.section, key.key, path.toStdString());
}

QString CQX32Doc::LoadBookInUse() const {
    const auto& key = settings::kBookInUse;
    return QString::fromStdString(m_profile.GetString(key.section, key.key, key.defaultValue));
}

bool CQX32Doc::OnNewDocument() {
    if (!platform::CDocument::OnNewDocument()) {
        return false;
    }
    m_database.RemoveAllClauses();
    m_staged.Clear();
    return true;
}

bool CQX32Doc::OnOpenDocument(const QString& path) {
    platform::ShowStatusText(resources::kStrLoadingBook);
    m_database.RemoveAllClauses();
    g_readerError = ReaderError{};
    {
        // The reader reports to the handler of the most recently made
        // database; making one here puts ours back in force even when other
        // databases were made since.
        clausedb::CExprDatabase activateHandler(CollectReaderError);
    }
    bool ok;
    {
        platform::WaitCursor wait;
        // Each contact clause becomes an entry as soon as it is read, so
        // the clauses of a large book never pile up in memory.
        ok = addressbook::ReadBookEntries(m_database, QFile::encodeName(path).toStdString(),
                                          m_staged);
    }
    if (!ok) {
        if (m_database.LastFileErrno() != 0 || !m_database.LastFileError().empty()) {
            if (m_database.LastFileErrno() != 0) {
                SetFailureFromErrno(m_database.LastFileErrno(), path);
            } else {
                SetFailureReason(QString::fromStdString(m_database.LastFileError()));
            }
        } else {
            SetFailureReason(ReaderErrorText(g_readerError));
        }
        // Clauses read before the error are of no use.
        m_database.RemoveAllClauses();
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    StoreBookInUse(path);
    return true;
}

bool CQX32Doc::OnSaveDocument(const QString& path) {
    platform::ShowStatusText(resources::kStrSavingBook);
    m_database.RemoveAllClauses();
    bool ok;
    {
        // One clause per row, each written as soon as it is built.
        platform::WaitCursor wait;
        addressbook::VectorAddressList noRows;
        const addressbook::IAddressList& rows =
            m_pList != nullptr ? *m_pList : static_cast<const addressbook::IAddressList&>(noRows);
        ok = addressbook::SaveBook(rows, m_database, QFile::encodeName(path).toStdString());
    }
    if (!ok) {
        if (m_database.LastFileErrno() != 0) {
            SetFailureFromErrno(m_database.LastFileErrno(), path);
        } else {
            SetFailureReason(QString::fromStdString(m_database.LastFileError()));
        }
        m_database.RemoveAllClauses();
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    m_database.RemoveAllClauses();
    StoreBookInUse(path);
    SetModifiedFlag(false);
    platform::ShowStatusText(resources::kStrIdleMessage);
    return true;
}

}  // namespace document
