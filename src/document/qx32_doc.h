// CQX32Doc: the document of the address book window, standing for the one
// book that is open.
//
// The entries themselves live in the address list (reached through
// IAddressList); the document owns a clause database that holds clauses only
// for the length of one open, save, import or export.  It orders the steps of
// New, Open and Save, remembers the last book in [AddressBookInUse] "File"
// and says why an open or a save failed.
#pragma once

#include "addressbook/book_file.h"

#include <QString>
#include <optional>

#include "clausedb/expr_database.h"
#include "platform/command_router.h"
#include "platform/document.h"

namespace addressbook {
class IAddressList;
}
namespace platform {
class IProfile;
}

namespace document {

class CQX32Doc : public platform::CDocument {
    Q_OBJECT

public:
    // `profile` (not owned) holds the settings.
    explicit CQX32Doc(platform::IProfile& profile, QObject* parent = nullptr);
    ~CQX32Doc() override;

    // The list whose rows a save writes (not owned; may be null until the
    // view exists).
    void SetAddressList(addressbook::IAddressList* list) { m_pList = list; }
    addressbook::IAddressList* AddressList() const { return m_pList; }

    // The staging database; empty between operations.
    clausedb::CExprDatabase& Database() { return m_database; }
    // Entries of the book just opened, until the view's initial update
    // takes them; empty after New.
    addressbook::StagedEntries& Staged() { return m_staged; }

    // The arguments of the book's `carddav` clause (its link to a server
    // address book, booksync/book_link.h): read by Open, written by Save,
    // none after New.  Changing it does not set the modified flag; the sync
    // that changes it does, through its undo step.
    const std::optional<addressbook::CExtraData>& Link() const { return m_link; }
    void SetLink(std::optional<addressbook::CExtraData> link) { m_link = std::move(link); }

    // The document's commands (import and export are added by their
    // handlers); registered at the document level.
    platform::CommandTarget& Commands() { return m_commands; }
    void Attach(platform::CommandRouter& router);

    bool OnNewDocument() override;
    // Shows "Loading Address Book...", reads the book into the database and
    // remembers its path.  On failure the database is emptied again, the
    // rows on screen stay as they were and FailureReason() says why, without
    // naming the book: the system's reason or the reader's first error with
    // its line.
    bool OnOpenDocument(const QString& path) override;
    // Shows "Saving address book...", stores the rows as clauses and writes
    // them safely (the old file survives a failed write).  On success the
    // path is remembered, the modified flag cleared and the idle text shown;
    // on failure FailureReason() gives the system's reason and the modified
    // flag stays.
    bool OnSaveDocument(const QString& path) override;

    // [AddressBookInUse] "File": the last book opened or saved.
    void StoreBookInUse(const QString& path);
    QString LoadBookInUse() const;

    // The reason text for a reader error: "Line 12: syntax error".  Only the
    // first error of a read is shown: the reader often reports one mistake
    // twice.
    static QString ReaderErrorText(const clausedb::SyntaxError& error);

private:
    platform::IProfile& m_profile;
    clausedb::CExprDatabase m_database;
    addressbook::StagedEntries m_staged;
    std::optional<addressbook::CExtraData> m_link;
    addressbook::IAddressList* m_pList = nullptr;
    platform::CommandTarget m_commands;
};

}  // namespace document
