// CEntriesController: everything of this folder for one address list
// window, made once by the window and wired to its command routing.
//
//   CEntriesController entries(view, profile, &document, database);
//   entries.RegisterViewCommands(view.Commands());      // view level
//   entries.RegisterDocumentCommands(document.Commands());
//   entries.History().SetMirror(&quickFindMirror);     // toolbar box
//
// It owns the undo history (tied to the document's modified flag), the find
// dialog and the find history, and the command objects.  The view-level
// commands are Add, Edit, Copy, Delete, Find, Find Next, Find Duplicates,
// the nine contact actions, Undo (kCmdEditUndo, Ctrl+Z), Redo
// (kCmdEditRedo, Ctrl+Y), Copy as vCard and Paste (CVCardClipboard);
// the document-level ones are the delimited and vCard imports and exports.
#pragma once

#include <memory>

#include "entries/contact_actions.h"
#include "entries/delimited_commands.h"
#include "entries/duplicate_commands.h"
#include "entries/entry_commands.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_services.h"
#include "entries/entry_undo.h"
#include "entries/find_commands.h"
#include "entries/find_dlg.h"
#include "entries/find_history.h"
#include "entries/vcard_clipboard.h"
#include "entries/vcard_commands.h"
#include "resources/command_ids.h"

namespace addresslist {
class CQX32View;
}
namespace clausedb {
class CExprDatabase;
}
namespace platform {
class CDocument;
class CommandTarget;
}  // namespace platform

namespace entries {

// Edit menu: "&Undo" (Ctrl+Z) and "&Redo" (Ctrl+Y).
inline constexpr int kCmdEditUndo = resources::kCmdEditUndo;
inline constexpr int kCmdEditRedo = resources::kCmdEditRedo;

class CEntriesController {
public:
    // `list`, `profile`, `document` and `db` (the document's staging
    // database) must outlive the controller; `document` may be null.
    CEntriesController(IEntryListUi& list, platform::IProfile& profile,
                       platform::CDocument* document, clausedb::CExprDatabase& db,
                       IUrlOpener* opener = nullptr);
    ~CEntriesController();

    // The same over the window's list view.
    CEntriesController(addresslist::CQX32View& view, platform::IProfile& profile,
                       platform::CDocument* document, clausedb::CExprDatabase& db);

    void RegisterViewCommands(platform::CommandTarget& target);
    void RegisterDocumentCommands(platform::CommandTarget& target);

    // Installs a dialog runner for every dialog (tests).
    void SetDialogRunner(DialogRunner runner);

    CEntryUndo& Undo() { return *m_pUndo; }
    FindHistory& History() { return m_history; }
    CFindDlg& FindDialog() { return *m_pFindDlg; }
    CEntryCommands& EntryCommands() { return *m_pEntryCommands; }
    CFindCommands& FindCommands() { return *m_pFindCommands; }
    CContactActions& ContactActions() { return *m_pContactActions; }
    CDuplicateCommands& DuplicateCommands() { return *m_pDuplicates; }
    ImportDelimitedCommand& Import() { return *m_pImport; }
    ExportDelimitedCommand& Export() { return *m_pExport; }
    ImportVCardCommand& VCardImport() { return *m_pVCardImport; }
    ExportVCardCommand& VCardExport() { return *m_pVCardExport; }
    CVCardClipboard& VCardClipboard() { return *m_pVCardClipboard; }
    CTelephony& Telephony() { return *m_pTelephony; }

private:
    void Init(platform::CDocument* document);

    std::unique_ptr<CViewEntryListUi> m_pViewList;  // when made over a view
    IEntryListUi& m_list;
    platform::IProfile& m_profile;
    clausedb::CExprDatabase& m_db;
    DesktopUrlOpener m_desktopOpener;
    IUrlOpener& m_opener;
    std::unique_ptr<CEntryUndo> m_pUndo;
    FindHistory m_history;
    std::unique_ptr<CFindDlg> m_pFindDlg;
    std::unique_ptr<CTelephony> m_pTelephony;
    std::unique_ptr<CEntryCommands> m_pEntryCommands;
    std::unique_ptr<CFindCommands> m_pFindCommands;
    std::unique_ptr<CContactActions> m_pContactActions;
    std::unique_ptr<CDuplicateCommands> m_pDuplicates;
    std::unique_ptr<ImportDelimitedCommand> m_pImport;
    std::unique_ptr<ExportDelimitedCommand> m_pExport;
    std::unique_ptr<ImportVCardCommand> m_pVCardImport;
    std::unique_ptr<ExportVCardCommand> m_pVCardExport;
    std::unique_ptr<CVCardClipboard> m_pVCardClipboard;
    DialogRunner m_runner;
};

}  // namespace entries
