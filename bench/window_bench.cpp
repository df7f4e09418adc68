// Window benchmarks: the real program's start-up with a book, sorting the
// list by a header click, Find with no hit, File / Save of the book to a
// scratch copy, a delimited import through the
// undo history into the list, its undo and redo, finding duplicates,
// deleting 50,000 selected rows with its undo and redo, a vCard import and
// export through the window's commands, with the process's resident
// memory.  One-shot timings of whole user actions, so a plain program
// rather than a micro benchmark.
//
//   QT_QPA_PLATFORM=offscreen quillbox_window_bench BOOK [CSV] [VCF]
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_import.h"
#include "addressbook/duplicate_finder.h"
#include "addresslist/address_list_view.h"
#include "clausedb/expr_database.h"
#include "document/qx32_doc.h"
#include "entries/entries_controller.h"
#include "entries/entry_undo.h"
#include "entries/find_text.h"
#include "entries/vcard_commands.h"
#include "fileio/atomic_file.h"
#include "platform/test_dialogs.h"
#include "resources/command_ids.h"
#include "shell/main_frame.h"
#include "shell/qx32_app.h"

namespace {

// Where File / Save writes the book, so the books read are never written.
constexpr char kSaveCopy[] = "/tmp/quillbox-window-bench-save.qxd";

// Resident and peak resident memory of this process, in MB.
std::pair<double, double> ResidentMemoryMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    double rss = 0, hwm = 0;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            rss = std::stod(line.substr(6)) / 1024.0;
        } else if (line.rfind("VmHWM:", 0) == 0) {
            hwm = std::stod(line.substr(6)) / 1024.0;
        }
    }
    return {rss, hwm};
}

// Stops the event loop at the first paint of the list.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
    bool painted = false;
};

// The vCard commands without their file dialogs: the import (read, stage,
// add as one undo step with the re-sort), its undo and redo, and the export
// of every row, first storing a UID in each entry, then again.
void RunVCard(shell::CQX32App& app, const QString& path) {
    platform::TestDialogs dialogs;  // answers the report messages
    platform::ScopedDialogs scoped(dialogs);
    addresslist::CQX32View* view = app.View();
    entries::CEntriesController& entries = *app.Entries();
    QElapsedTimer timer;
    timer.start();
    entries.VCardImport().ImportVCard(path);
    std::printf("vCard import with resort  %lld ms (%d rows now)\n",
                static_cast<long long>(timer.elapsed()), view->Model().RowCount());
    timer.restart();
    entries.Undo().Stack().undo();
    std::printf("undo of the vCard import  %lld ms (%d rows now)\n",
                static_cast<long long>(timer.elapsed()), view->Model().RowCount());
    timer.restart();
    entries.Undo().Stack().redo();
    std::printf("redo of the vCard import  %lld ms (%d rows now)\n",
                static_cast<long long>(timer.elapsed()), view->Model().RowCount());

    std::vector<int> rows(static_cast<std::size_t>(view->Model().RowCount()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<int>(i);
    }
    for (const char* pass : {"vCard export, UIDs stored", "vCard export again      "}) {
        timer.restart();
        fileio::AtomicFileWriter writer;
        if (writer.Open("/tmp/quillbox-window-bench.vcf")) {
            entries.VCardExport().ExportRows(writer, addressbook::vcard::Version::V30, rows);
        }
        std::printf("%s %lld ms (%s)\n", pass, static_cast<long long>(timer.elapsed()),
                    dialogs.LastMessage().toUtf8().constData());
    }
    std::remove("/tmp/quillbox-window-bench.vcf");
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s BOOK [CSV] [VCF]\n", argv[0]);
        return 2;
    }
    qputenv("QUILLBOX_INI", "/tmp/quillbox-window-bench.INI");
    std::remove("/tmp/quillbox-window-bench.INI");
    {
        // Delete without asking, so the timing is the command's own.
        std::ofstream ini("/tmp/quillbox-window-bench.INI");
        ini << "[Preferences]\nConfirmDelete=0\n";
    }
    QApplication application(argc, argv);
    shell::CQX32App app(shell::AppOptions{QString(), false});
    FirstPaint firstPaint;
    if (!app.InitInstance({QString::fromLocal8Bit(argv[0]), QString::fromLocal8Bit(argv[1])})) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    addresslist::CQX32View* view = app.View();
    view->viewport()->installEventFilter(&firstPaint);
    QApplication::exec();
    const qint64 shownMs = sinceStart.elapsed();
    auto [rssShown, peakShown] = ResidentMemoryMb();
    const int rows = view->Model().RowCount();
    std::printf("rows                      %d\n", rows);
    std::printf("start to first paint      %lld ms\n", static_cast<long long>(shownMs));
    const double bookMb =
        static_cast<double>(std::ifstream(argv[1], std::ios::binary | std::ios::ate).tellg()) /
        (1024.0 * 1024.0);
    std::printf("resident when shown       %.1f MB (peak %.1f MB), %.2fx the file\n", rssShown,
                peakShown, rssShown / bookMb);

    QElapsedTimer timer;
    timer.start();
    view->OnColumnClick(1);  // sort by First Name
    std::printf("sort by a column          %lld ms\n", static_cast<long long>(timer.elapsed()));
    timer.restart();
    view->OnColumnClick(1);  // the same header again: the other direction
    std::printf("sort again, reversed      %lld ms\n", static_cast<long long>(timer.elapsed()));

    timer.restart();
    int hit = entries::FindRow(view->Model(), {"no such text anywhere", 0, 1, false}, 0);
    std::printf("find with no hit          %lld ms (row %d)\n",
                static_cast<long long>(timer.elapsed()), hit);

    // File / Save as the menu runs it, the document's path first pointed at
    // the scratch copy.
    std::remove(kSaveCopy);
    app.Document()->SetPathName(QString::fromLatin1(kSaveCopy));
    timer.restart();
    const bool saved = app.MainFrame()->Router().Execute(resources::kCmdFileSave);
    const qint64 saveMs = timer.elapsed();
    std::ifstream copy(kSaveCopy, std::ios::binary | std::ios::ate);
    std::printf("save from the window      %lld ms (%s, %.1f MB)\n", static_cast<long long>(saveMs),
                saved && copy ? "written" : "NOT written",
                copy ? static_cast<double>(copy.tellg()) / (1024.0 * 1024.0) : 0.0);
    // The save engine alone on the same rows: what the command adds is the
    // difference.
    {
        clausedb::CExprDatabase db;
        timer.restart();
        const bool written = addressbook::SaveBook(view->Model(), db, kSaveCopy);
        std::printf("  the save engine alone   %lld ms (%s)\n",
                    static_cast<long long>(timer.elapsed()), written ? "written" : "NOT written");
    }

    const char* csv = nullptr;
    const char* vcf = nullptr;
    for (int i = 2; i < argc; ++i) {
        (entries::IsVCardFileName(QString::fromLocal8Bit(argv[i])) ? vcf : csv) = argv[i];
    }
    if (csv != nullptr) {
        // The import command's own path without its dialogs: read and stage
        // the lines, then add them to the list as one step of the undo
        // history, which re-sorts the list.
        addressbook::ColumnMapping columns{};
        for (int field = 0; field < 32; ++field) {
            columns[static_cast<std::size_t>(field)] = field + 1;
        }
        timer.restart();
        clausedb::CExprDatabase db;
        addressbook::CDelimitedTextFile file;
        addressbook::StagedEntries staged;
        int count = -1;
        entries::CEntryUndo& undo = app.Entries()->Undo();
        if (file.Open(csv)) {
            count = addressbook::ImportDelimited(file, columns, "\t", ",", db, staged);
            undo.AddEntries("Import", std::move(staged.entries), false);
        }
        std::printf("import with resort        %lld ms (%d lines, %d rows now)\n",
                    static_cast<long long>(timer.elapsed()), count, view->Model().RowCount());
        timer.restart();
        undo.Stack().undo();
        std::printf("undo of the import        %lld ms (%d rows now)\n",
                    static_cast<long long>(timer.elapsed()), view->Model().RowCount());
        timer.restart();
        undo.Stack().redo();
        std::printf("redo of the import        %lld ms (%d rows now)\n",
                    static_cast<long long>(timer.elapsed()), view->Model().RowCount());
    }

    timer.restart();
    const std::size_t groups = addressbook::FindDuplicates(view->Model()).size();
    std::printf("find duplicates           %lld ms (%zu groups)\n",
                static_cast<long long>(timer.elapsed()), groups);

    // Every other row, 50,000 in all, selected and deleted as one step.
    std::vector<int> selected;
    for (int row = 0; row < view->Model().RowCount() && selected.size() < 50000; row += 2) {
        selected.push_back(row);
    }
    timer.restart();
    view->SelectRows(selected, selected.front());
    std::printf("select %zu rows         %lld ms\n", selected.size(),
                static_cast<long long>(timer.elapsed()));
    QCoreApplication::processEvents();
    entries::CEntryUndo& undo = app.Entries()->Undo();
    timer.restart();
    app.Entries()->EntryCommands().OnDelete();
    QCoreApplication::processEvents();
    std::printf("delete the selection      %lld ms (%d rows now)\n",
                static_cast<long long>(timer.elapsed()), view->Model().RowCount());
    timer.restart();
    undo.Stack().undo();
    QCoreApplication::processEvents();
    std::printf("undo of the delete        %lld ms (%d rows now, %zu selected)\n",
                static_cast<long long>(timer.elapsed()), view->Model().RowCount(),
                view->SelectedRows().size());
    timer.restart();
    undo.Stack().redo();
    QCoreApplication::processEvents();
    std::printf("redo of the delete        %lld ms (%d rows now)\n",
                static_cast<long long>(timer.elapsed()), view->Model().RowCount());

    if (vcf != nullptr) {
        RunVCard(app, QString::fromLocal8Bit(vcf));
    }
    auto [rssEnd, peakEnd] = ResidentMemoryMb();
    std::printf("resident at the end       %.1f MB (peak %.1f MB)\n", rssEnd, peakEnd);
    app.Document()->SetModifiedFlag(false);
    app.ExitInstance();
    std::remove(kSaveCopy);
    return 0;
}
