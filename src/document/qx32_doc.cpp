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

CQX32Doc::CQX32Doc(platform::IProfile& profile, QObject* parent)
    : platform::CDocument(parent), m_profile(profile) {}

CQX32Doc::~CQX32Doc() {
    m_database.RemoveAllClauses();
}

void CQX32Doc::Attach(platform::CommandRouter& router) {
    router.AddTarget(m_commands, platform::RouteLevel::kDocument);
}

QString CQX32Doc::ReaderErrorText(const clausedb::SyntaxError& error) {
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
    m_link.reset();
    return true;
}

bool CQX32Doc::OnOpenDocument(const QString& path) {
    platform::ShowStatusText(resources::kStrLoadingBook);
    m_database.RemoveAllClauses();
    clausedb::ParseErrors errors(1);  // only the first is shown
    bool ok;
    {
        platform::WaitCursor wait;
        // Each contact clause becomes an entry as soon as it is read, so
        // the clauses of a large book never pile up in memory.
        ok = addressbook::ReadBook(m_database, QFile::encodeName(path).toStdString(), m_staged,
                                   &errors);
    }
    if (!ok) {
        // The message around the reason names the book already.
        if (!m_database.LastFileError().empty()) {
            SetFailureReason(QString::fromStdString(m_database.LastFileError()));
        } else if (!errors.Errors().empty()) {
            SetFailureReason(ReaderErrorText(errors.Errors().front()));
        }
        // Clauses read before the error are of no use.
        m_database.RemoveAllClauses();
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    // The link stays with the document; the entries go to the view.
    m_link = std::move(m_staged.link);
    m_staged.link.reset();
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
        ok = addressbook::SaveBook(rows, m_database, QFile::encodeName(path).toStdString(),
                                   m_link ? &*m_link : nullptr);
    }
    if (!ok) {
        // The system's reason; the message around it names the book.
        SetFailureReason(QString::fromStdString(m_database.LastFileError()));
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
