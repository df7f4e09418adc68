// Window sync benchmark: File / Synchronize... in the real program with a
// CardDAV address book, the account answered by a script, and the longest
// stall of the window's event loop while the sync runs and while its changes
// reach the list, seen by a heartbeat timer of 5 ms.  A stall is the time
// between two beats; the window cannot repaint or take a click during it.
//
//   QUILLBOX_PASSWORD=... QT_QPA_PLATFORM=offscreen
//   quillbox_sync_window_bench BOOK ADDRESS_BOOK_URL USER
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "addresslist/address_list_view.h"
#include "document/qx32_doc.h"
#include "platform/test_dialogs.h"
#include "resources/command_ids.h"
#include "shell/main_frame.h"
#include "shell/qx32_app.h"
#include "syncui/sync_controller.h"

int main(int argc, char** argv) {
    const char* password = std::getenv("QUILLBOX_PASSWORD");
    if (argc != 4 || password == nullptr) {
        std::fprintf(stderr, "usage: QUILLBOX_PASSWORD=... %s BOOK URL USER\n", argv[0]);
        return 2;
    }
    qputenv("QUILLBOX_INI", "/tmp/quillbox-sync-window-bench.INI");
    std::remove("/tmp/quillbox-sync-window-bench.INI");
    QApplication application(argc, argv);
    shell::CQX32App app(shell::AppOptions{QString(), false});
    if (!app.InitInstance({QString::fromLocal8Bit(argv[0]), QString::fromLocal8Bit(argv[1])})) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    platform::TestDialogs dialogs;
    platform::ScopedDialogs scoped(dialogs);
    dialogs.QueueDialog([&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("serverAddress")->setText(QString::fromLocal8Bit(argv[2]));
        dialog.findChild<QLineEdit*>("userName")->setText(QString::fromLocal8Bit(argv[3]));
        dialog.findChild<QLineEdit*>("password")->setText(QString::fromLocal8Bit(password));
        dialog.findChild<QPushButton*>("syncNow")->click();
        return dialog.result();
    });

    QElapsedTimer sinceBeat;
    qint64 longestStall = 0;
    long beats = 0;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    bool started = false;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceBeat.restart());
        ++beats;
        // The beat after the sync's end (its changes made) ends the run;
        // exit() rather than quit(), which would first ask the main window
        // to close.
        if (started && !app.Sync()->IsSyncing()) {
            QCoreApplication::exit(0);
        }
    });

    const int rowsBefore = app.View()->Model().RowCount();
    QElapsedTimer total;
    QTimer::singleShot(0, [&] {
        total.start();
        sinceBeat.start();
        heartbeat.start();
        app.MainFrame()->Router().Execute(resources::kCmdFileSynchronize);
        started = true;
        if (!app.Sync()->IsSyncing()) {
            std::fprintf(stderr, "no sync started: %s\n",
                         dialogs.LastMessage().toUtf8().constData());
            QCoreApplication::exit(1);
        }
    });
    const int status = QApplication::exec();
    heartbeat.stop();
    const qint64 elapsed = total.elapsed();
    longestStall = std::max(longestStall, sinceBeat.elapsed());
    std::printf("rows before, after         %d, %d\n", rowsBefore, app.View()->Model().RowCount());
    std::printf("sync through the window    %lld ms\n", static_cast<long long>(elapsed));
    std::printf("longest event-loop stall   %lld ms (%ld beats)\n",
                static_cast<long long>(longestStall), beats);
    std::printf("summary                    %s\n", app.Sync()->LastSummary().toUtf8().constData());
    if (!dialogs.Messages().empty()) {
        std::printf("message                    %s\n", dialogs.LastMessage().toUtf8().constData());
    }
    app.Document()->SetModifiedFlag(false);
    app.ExitInstance();
    return status;
}
