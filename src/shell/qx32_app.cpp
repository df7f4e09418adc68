#include "shell/qx32_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "addresslist/address_list_view.h"
#include "addresslist/column_layout.h"
#include "document/qx32_doc.h"
#include "entries/entries_controller.h"
#include "platform/app_services.h"
#include "platform/dialogs.h"
#include "platform/doc_manager.h"
#include "platform/file_drop.h"
#include "platform/profile.h"
#include "platform/recent_file_list.h"
#include "platform/string_resource.h"
#include "print/print_commands.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"
#include "resources/version.h"
#include "settings/settings_keys.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "shell/about_dlg.h"
#include "shell/artwork.h"
#include "shell/browser_command.h"
#include "shell/file_type_registration.h"
#include "shell/help_viewer.h"
#include "shell/link_static.h"
#include "shell/main_frame.h"
#include "shell/shell_dialogs.h"
#include "syncui/sync_controller.h"

namespace shell {

namespace {

struct CommandLine {
    bool ok = true;
    bool help = false;
    bool version = false;
    bool print = false;
    QString printer;  // --print-to: the printer; empty for the default one
    QString pdf;      // --pdf: the file that receives the pages
    QString book;
    QString error;
};

void DefineOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription("Quillbox: a desktop address book.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        QCommandLineOption({"p", "print"}, "Print BOOK on the default printer and quit."));
    parser.addOption(QCommandLineOption("print-to", "Print BOOK on PRINTER and quit.", "PRINTER"));
    parser.addOption(QCommandLineOption(
        "pdf", "Write the printed pages of BOOK to the PDF file OUT and quit; no window opens.",
        "OUT"));
    parser.addPositionalArgument(
        "BOOK",
        "The address book (.qxd) to open. Without one, the last book is reopened when "
        "\"Last Address Book\" is on in the preferences.",
        "[BOOK]");
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    DefineOptions(parser);
    CommandLine line;
    if (!parser.parse(arguments)) {
        line.ok = false;
        line.error = parser.errorText();
        return line;
    }
    line.help = parser.isSet("help");
    line.version = parser.isSet("version");
    line.print = parser.isSet("print") || parser.isSet("print-to") || parser.isSet("pdf");
    line.printer = parser.value("print-to");
    line.pdf = parser.value("pdf");
    if (parser.isSet("pdf") && (parser.isSet("print") || parser.isSet("print-to"))) {
        line.ok = false;
        line.error = "--pdf cannot be combined with --print or --print-to.";
        return line;
    }
    const QStringList books = parser.positionalArguments();
    if (books.size() > 1) {
        line.ok = false;
        line.error = "Only one address book can be named.";
    } else if (!books.isEmpty()) {
        line.book = books.first();
    }
    if (line.print && line.book.isEmpty() && line.ok) {
        line.ok = false;
        line.error = "Printing needs the address book to print.";
    }
    return line;
}

// Help, the version and mistakes are answered on the terminal: the exit
// code, or nothing when the program goes on.
std::optional<int> AnswerOnTheTerminal(const CommandLine& line) {
    if (!line.ok) {
        std::fprintf(stderr, "quillbox: %s\n\n%s", qPrintable(line.error),
                     qPrintable(CQX32App::CommandLineHelp()));
        return 2;
    }
    if (line.help) {
        std::fputs(qPrintable(CQX32App::CommandLineHelp()), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("Quillbox %s\n", resources::kVersion);
        return 0;
    }
    return std::nullopt;
}

}  // namespace

QString CQX32App::CommandLineHelp() {
    QCommandLineParser parser;
    DefineOptions(parser);
    return parser.helpText();
}

bool CQX32App::AnswersOnTheTerminal(const QStringList& arguments) {
    const CommandLine line = ParseCommandLine(arguments);
    // A text that does not parse may still hold the toolkit's own options
    // (-style, -display), which only the window program's start takes away.
    return line.ok && (line.help || line.version);
}

CQX32App::CQX32App(AppOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)) {}

CQX32App::~CQX32App() {
    platform::SetStatusTextSink(nullptr);
    platform::SetStatusProgressSink(nullptr);
    // The view goes with the frame; nothing may reach it afterwards.
    if (m_pDoc) {
        m_pDoc->SetAddressList(nullptr);
    }
    m_pSync.reset();
    m_pEntries.reset();
    m_pDocManager.reset();
    m_pFrame.reset();
}

void CQX32App::ShowStatusText(int id) {
    if (m_bStarting || !m_pFrame || !resources::HasString(id)) {
        return;
    }
    m_pFrame->ShowStatusText(id);
}

void CQX32App::ShowStatusProgress(int id, int percent) {
    if (m_bStarting || !m_pFrame) {
        return;
    }
    m_pFrame->ShowStatusProgress(id, percent);
}

void CQX32App::OnDropFiles(const QStringList& paths) {
    QStringList cards;
    QStringList books;
    for (const QString& path : paths) {
        (entries::IsVCardFileName(path) ? cards : books) << path;
    }
    if (!books.isEmpty() && !m_pDocManager->OnDropFiles(books)) {
        return;
    }
    for (const QString& path : cards) {
        m_pEntries->VCardImport().ImportVCard(path);
    }
}

bool CQX32App::InitInstance(const QStringList& arguments) {
    PlaceSettingsFile();
    // The command line is read before any window exists, so that --help and
    // mistakes need none.
    const CommandLine line = ParseCommandLine(arguments);
    if (std::optional<int> exitCode = AnswerOnTheTerminal(line)) {
        m_nExitCode = *exitCode;
        return false;
    }
    LoadRecentFileList();
    if (!CreateWindowAndDocument()) {
        platform::ShowMessageBox(platform::ResourceString(resources::kStrCannotCreateDoc),
                                 platform::MessageIcon::kError);
        m_nExitCode = 1;
        return false;
    }
    if (m_options.registerFileType) {
        RegisterFileType(m_strProgramPath);
    }
    const ShowCommand show = FirstShowCommand();
    if (!OpenStartingBook(line.book, line.pdf.isEmpty())) {
        m_nExitCode = 1;
        return false;
    }
    if (line.print) {
        return PrintAndExit(line.book, line.printer, line.pdf);
    }
    ShowMainWindow(show);
    if (line.book.isEmpty()) {
        ReopenLastBook();
    }
    m_pFrame->Router().UpdateAll();
    return true;
}

void CQX32App::PlaceSettingsFile() {
    m_strProgramPath = m_options.programPath.isEmpty() ? QCoreApplication::applicationFilePath()
                                                       : m_options.programPath;
    // Beside the program (or where QUILLBOX_INI says).
    m_strSettingsPath = QString::fromStdString(
        settings::SettingsFilePath(QFile::encodeName(m_strProgramPath).toStdString()));
    m_pSettings = std::make_unique<settings::SettingsStore>(
        QFile::encodeName(m_strSettingsPath).toStdString());
    m_pProfile = std::make_unique<platform::ProfileOf<settings::SettingsStore>>(*m_pSettings);
}

void CQX32App::LoadRecentFileList() {
    int recentCount = 0;
    if (settings::Read(*m_pSettings, settings::kUseMRU) != 0) {
        recentCount = std::clamp(settings::Read(*m_pSettings, settings::kNumMRU), 0,
                                 resources::kMaxRecentFiles);
    }
    m_pRecentFiles = std::make_unique<platform::RecentFileList>(m_pProfile.get(), recentCount);
    m_pRecentFiles->ReadList();
}

ShowCommand CQX32App::FirstShowCommand() const {
    const bool startHidden = settings::Read(*m_pSettings, settings::kStartMinimized) != 0;
    return startHidden ? ShowCommand::kHide : ShowCommand::kNormal;
}

bool CQX32App::OpenStartingBook(const QString& book, bool reportFailure) {
    if (book.isEmpty()) {
        return m_pDocManager->OnFileNew();
    }
    // Writing a PDF runs without a window or a user: a failure is told on
    // the error output instead of in a message box.
    const platform::OpenMode mode =
        reportFailure ? platform::OpenMode::kReportFailure : platform::OpenMode::kSilent;
    if (m_pDocManager->OpenDocumentFile(book, mode) != platform::OpenResult::kOpened) {
        if (!reportFailure) {
            std::fprintf(stderr, "quillbox: Cannot open %s.\n", qPrintable(book));
        }
        return false;
    }
    return true;
}

void CQX32App::ShowMainWindow(ShowCommand show) {
    m_pFrame->ShowFirstTime(show);
    // Keys such as Ins, Enter and Del are meant for the list, not the
    // quick-find box that comes first in the window's focus chain.
    m_pView->setFocus(Qt::OtherFocusReason);
    // Status texts from now on; dropped books open, dropped vCards import.
    m_bStarting = false;
    auto* drops = new platform::FileDropHandler(
        m_pFrame.get(), [this](const QStringList& paths) { OnDropFiles(paths); });
    // A contact dragged out of another program comes as vCard data.
    drops->AcceptData(
        [](const QMimeData& data) { return entries::VCardDataOf(data).has_value(); },
        [this](const QMimeData& data) { m_pEntries->VCardImport().ImportDroppedData(data); });
    m_pFrame->update();
}

void CQX32App::ReopenLastBook() {
    if (settings::Read(*m_pSettings, settings::kUseLastBook) == 0) {
        return;
    }
    QString last = m_pDoc->LoadBookInUse();
    if (!last.isEmpty()) {
        ShowStatusText(resources::kStrLoadingBook);
        // A book that no longer opens leaves the new one in place.
        m_pDocManager->OpenDocumentFile(last, platform::OpenMode::kSilent);
    }
}

bool CQX32App::CreateWindowAndDocument() {
    m_pDoc = std::make_unique<document::CQX32Doc>(*m_pProfile);
    m_pFrame = std::make_unique<CMainFrame>(*m_pSettings);
    if (!m_pFrame->Create()) {
        return false;
    }
    m_pView = new addresslist::CQX32View(*m_pSettings, m_pFrame.get());
    m_pView->setObjectName("addressList");
    m_pFrame->SetView(m_pView);
    m_pDoc->SetAddressList(&m_pView->Model());
    connect(m_pDoc.get(), &platform::CDocument::initialUpdate, m_pView,
            [this] { m_pView->OnInitialUpdate(m_pDoc->Staged()); });
    connect(m_pDoc.get(), &platform::CDocument::reloaded, m_pView,
            [this] { m_pView->OnReloadUpdate(m_pDoc->Staged()); });

    platform::CommandRouter& router = m_pFrame->Router();
    m_pView->AttachCommandRouter(router);
    m_pView->Commands().OnCommand(resources::kCmdPreferences, [this] { OnPreferences(); });
    m_pPrint = std::make_unique<print::CPrintCommands>(*m_pView);
    m_pPrint->Register(m_pView->Commands());
    m_pPrint->SetBookPath([this] { return m_pDoc->PathName(); });
    // Add, Edit, Copy, Delete, Find, the contact actions, undo and redo go
    // to the view; the imports and exports to the document.
    m_pEntries = std::make_unique<entries::CEntriesController>(*m_pView, *m_pProfile, m_pDoc.get(),
                                                               m_pDoc->Database());
    m_pEntries->RegisterViewCommands(m_pView->Commands());
    m_pEntries->RegisterDocumentCommands(m_pDoc->Commands());
    if (CQuickFindToolBar* toolBar = m_pFrame->ToolBar()) {
        m_pEntries->History().SetMirror(&toolBar->HistoryMirror());
        toolBar->SetQuickFindHandler(
            [this](const QString& text) { m_pEntries->FindCommands().QuickFind(text); });
        toolBar->SetFocusReturn(m_pView);
        // The box searches the Find dialog's field and says which.
        auto showField = [box = toolBar->QuickFindBox()](int field) {
            if (box != nullptr) {
                box->SetSearchField(
                    platform::ResourceString(resources::kStrFieldLabelFirst + field));
            }
        };
        showField(m_pEntries->FindDialog().m_nSearchField);
        connect(&m_pEntries->FindDialog(), &entries::CFindDlg::searchFieldChanged, toolBar,
                showField);
    }
    // File / Synchronize...: a document command; progress in the status bar.
    m_pSync = std::make_unique<syncui::CSyncController>(*m_pDoc, m_pEntries->Undo(), *m_pProfile,
                                                        m_pFrame.get(), m_pFrame->StatusBarWidget(),
                                                        m_pFrame->Pane(0));
    m_pSync->RegisterDocumentCommands(m_pDoc->Commands());
    m_pDoc->Attach(router);
    m_pDocManager = std::make_unique<platform::CDocManager>(*m_pDoc, m_pRecentFiles.get());
    m_pDocManager->SetDialogParent(m_pFrame.get());
    m_pDocManager->Attach(router);
    m_pFrame->SetDocument(m_pDoc.get(), m_pDocManager.get());
    RegisterCommands();

    platform::SetStatusTextSink([this](int id) { ShowStatusText(id); });
    platform::SetStatusProgressSink(
        [this](int id, int percent) { ShowStatusProgress(id, percent); });
    return true;
}

void CQX32App::RegisterCommands() {
    m_commands.OnCommand(resources::kCmdAppAbout, [this] { OnAppAbout(); });
    m_commands.OnCommand(resources::kCmdHelpTopics, [this] { OnHelp(); });
    m_commands.OnCommand(resources::kCmdAppExit, [this] {
        if (m_pFrame) {
            m_pFrame->close();
        }
    });
    m_pFrame->Router().AddTarget(m_commands, platform::RouteLevel::kApplication);
}

bool CQX32App::PrintAndExit(const QString& path, const QString& printer, const QString& pdf) {
    QString error;
    const bool printed = pdf.isEmpty() ? print::PrintViewToPrinter(*m_pView, printer, &error)
                                       : print::PrintViewToPdf(*m_pView, pdf, &error);
    if (!printed) {
        if (pdf.isEmpty()) {
            ReportError(nullptr, QStringLiteral("Cannot print %1.\n%2").arg(path, error));
        } else {
            std::fprintf(stderr, "quillbox: Cannot print %s: %s\n", qPrintable(path),
                         qPrintable(error));
        }
        m_nExitCode = 1;
    }
    return false;
}

void CQX32App::ExitInstance() {
    if (m_pRecentFiles) {
        m_pRecentFiles->WriteList();
    }
}

void CQX32App::OnPreferences() {
    preferences::PreferencesColumns columns;
    columns.widths = m_pView->ColumnWidths();
    columns.defaultWidths = addresslist::kDefaultColumnWidths;
    columns.format.parseOrder = addresslist::ParseColumnOrder;
    columns.format.format = [](const preferences::ColumnArray& values) {
        return addresslist::FormatColumnValues(values);
    };
    columns.applyWidths = [this](const preferences::ColumnArray& widths) {
        m_pView->OnPreferencesAccepted(widths);
    };
    preferences::RunPreferences(m_pFrame.get(), *m_pSettings, columns, m_runPreferences);
}

void CQX32App::OnAppAbout() {
    CAboutDlg about(m_pFrame.get());
    about.exec();
}

QString CQX32App::HelpFilePath() const {
    QFileInfo program(m_strProgramPath);
    const QString name = program.completeBaseName() + ".html";
    const QStringList candidates = {
        program.absoluteDir().filePath(name),
        QDir::cleanPath(program.absolutePath() + "/../share/doc/quillbox/" + name),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return QString();
}

void CQX32App::OnHelp() {
    QString path = HelpFilePath();
    if (path.isEmpty()) {
        QFileInfo program(m_strProgramPath);
        ReportError(m_pFrame.get(),
                    QStringLiteral("The help file %1 was not found.")
                        .arg(program.absoluteDir().filePath(program.completeBaseName() + ".html")));
        return;
    }
    if (OpenSucceeded(OpenHyperlink(QUrl::fromLocalFile(path).toString()))) {
        return;
    }
    // Nothing on this desktop opens the manual: show it ourselves.
    if (!m_pHelpViewer) {
        m_pHelpViewer = new CHelpViewer(m_pFrame.get());
    }
    m_pHelpViewer->ShowManual(path);
}

}  // namespace shell
