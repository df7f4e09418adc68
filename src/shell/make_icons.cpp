// quillbox-make-icons DIR: writes the application icon as
// DIR/<size>x<size>/apps/quillbox.png for the installed icon theme.
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "shell/artwork.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillbox-make-icons DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 64, 128}) {
        QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) || !shell::AppIconImage(size).save(dir + "/quillbox.png")) {
            std::fprintf(stderr, "quillbox-make-icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
