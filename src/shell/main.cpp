// quillbox: the address book window program.
#include <QApplication>

#include "shell/artwork.h"
#include "shell/qx32_app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quillbox");
    QApplication::setApplicationVersion("1.2");
    QApplication::setOrganizationName("Quillbox");
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
