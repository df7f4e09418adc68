// quillbox: the address book window program.
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include "resources/version.h"
#include "shell/artwork.h"
#include "shell/qx32_app.h"

namespace {

void NameTheApplication() {
    QCoreApplication::setApplicationName("Quillbox");
    QCoreApplication::setApplicationVersion(QString::fromLatin1(resources::kVersion));
    QCoreApplication::setOrganizationName("Quillbox");
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    // Help and the version are answered on the terminal, so they work where
    // no display is.
    if (shell::CQX32App::AnswersOnTheTerminal(arguments)) {
        QCoreApplication terminal(argc, argv);
        NameTheApplication();
        shell::CQX32App app;
        app.InitInstance(QCoreApplication::arguments());
        return app.ExitCode();
    }

    QApplication application(argc, argv);
    NameTheApplication();
    QApplication::setDesktopFileName("quillbox");
    QApplication::setWindowIcon(shell::AppIcon());

    shell::CQX32App app;
    if (!app.InitInstance(QApplication::arguments())) {
        return app.ExitCode();
    }
    int status = QApplication::exec();
    app.ExitInstance();
    return status;
}
