#include "entries/entries_controller.h"

#include <QDialog>

#include "addresslist/address_list_view.h"
#include "platform/command_router.h"
#include "platform/document.h"

namespace entries {

CEntriesController::CEntriesController(IEntryListUi& list, platform::IProfile& profile,
                                       platform::CDocument* document, clausedb::CExprDatabase& db,
                                       IUrlOpener* opener)
    : m_list(list),
      m_profile(profile),
      m_db(db),
      m_opener(opener != nullptr ? *opener : m_desktopOpener) {
    Init(document);
}

CEntriesController::CEntriesController(addresslist::CQX32View& view, platform::IProfile& profile,
                                       platform::CDocument* document, clausedb::CExprDatabase& db)
    : m_pViewList(std::make_unique<CViewEntryListUi>(view)),
      m_list(*m_pViewList),
      m_profile(profile),
      m_db(db),
      m_opener(m_desktopOpener) {
    Init(document);
}

CEntriesController::~CEntriesController() = default;

void CEntriesController::Init(platform::CDocument* document) {
    m_pUndo = std::make_unique<CEntryUndo>(m_list);
    if (document != nullptr) {
        m_pUndo->AttachDocument(*document);
    }
    // Made without a parent and kept, so its settings last while the
    // program runs.
    m_pFindDlg = std::make_unique<CFindDlg>();
    m_pTelephony = std::make_unique<CTelephony>(m_opener);

    EntryServices services;
    services.list = &m_list;
    services.profile = &m_profile;
    services.undo = m_pUndo.get();
    services.runDialog = [this](QDialog& dialog) {
        return m_runner ? m_runner(dialog) : dialog.exec();
    };
    m_pEntryCommands = std::make_unique<CEntryCommands>(services);
    m_pFindCommands = std::make_unique<CFindCommands>(services, *m_pFindDlg, m_history);
    m_pContactActions = std::make_unique<CContactActions>(services, m_opener, *m_pTelephony);
    m_pDuplicates = std::make_unique<CDuplicateCommands>(services);
    m_pImport = std::make_unique<ImportDelimitedCommand>(services, m_db);
    m_pExport = std::make_unique<ExportDelimitedCommand>(services);
    m_pVCardImport = std::make_unique<ImportVCardCommand>(services);
    m_pVCardExport = std::make_unique<ExportVCardCommand>(services);
    m_pVCardClipboard = std::make_unique<CVCardClipboard>(services, *m_pVCardImport);
    // A vCard file chosen for a delimited import is offered to the vCard
    // import instead.
    m_pImport->SetVCardImportHandler(
        [vcard = m_pVCardImport.get()](const QString& path) { vcard->ImportVCard(path); });
}

void CEntriesController::SetDialogRunner(DialogRunner runner) {
    m_runner = std::move(runner);
}

void CEntriesController::RegisterViewCommands(platform::CommandTarget& target) {
    m_pEntryCommands->Register(target);
    m_pFindCommands->Register(target);
    m_pContactActions->Register(target);
    m_pDuplicates->Register(target);
    m_pVCardClipboard->Register(target);
    target.OnCommand(kCmdEditUndo, [this] { m_pUndo->Stack().undo(); });
    target.OnCommand(kCmdEditRedo, [this] { m_pUndo->Stack().redo(); });
    target.OnUpdate(kCmdEditUndo,
                    [this](platform::CCmdUI& ui) { ui.Enable(m_pUndo->Stack().canUndo()); });
    target.OnUpdate(kCmdEditRedo,
                    [this](platform::CCmdUI& ui) { ui.Enable(m_pUndo->Stack().canRedo()); });
}

void CEntriesController::RegisterDocumentCommands(platform::CommandTarget& target) {
    RegisterDelimitedCommands(target, *m_pImport, *m_pExport);
    RegisterVCardCommands(target, *m_pVCardImport, *m_pVCardExport);
}

}  // namespace entries
