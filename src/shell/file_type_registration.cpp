#include "shell/file_type_registration.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <string>

#include "fileio/atomic_file.h"
#include "shell/artwork.h"

namespace shell {

QString MimeTypeXml() {
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-quillbox\">\n"
        "    <comment>Quillbox Document</comment>\n"
        "    <icon name=\"quillbox\"/>\n"
        "    <glob pattern=\"*.qxd\"/>\n"
        "    <glob pattern=\"*.QXD\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

QString QuoteExecArgument(const QString& text) {
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    bool needsQuotes = text.isEmpty();
    for (QChar c : text) {
        if (kReserved.contains(c)) {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes) {
        return text;
    }
    QString quoted = "\"";
    for (QChar c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    // Inside a desktop entry a backslash is itself escaped once more, and a
    // literal '%' is written "%%".
    quoted.replace("\\", "\\\\");
    quoted.replace("%", "%%");
    return quoted;
}

QString DesktopEntry(const QString& programPath) {
    QString program =
        programPath.isEmpty() ? QStringLiteral("quillbox") : QuoteExecArgument(programPath);
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Quillbox\n"
               "GenericName=Address Book\n"
               "Comment=Keep an address book of names, addresses and phone numbers\n"
               "Icon=quillbox\n"
               "Exec=%1 %f\n"
               "Terminal=false\n"
               "MimeType=application/x-quillbox;\n"
               "Categories=Office;ContactManagement;Qt;\n"
               "Actions=Open;Print;\n"
               "\n"
               "[Desktop Action Open]\n"
               "Name=Open\n"
               "Exec=%1 %f\n"
               "\n"
               "[Desktop Action Print]\n"
               "Name=Print\n"
               "Exec=%1 --print %f\n")
        .arg(program);
}

QString UserDataHome() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome)) {
        dataHome = QDir::homePath() + "/.local/share";
    }
    return dataHome;
}

namespace {

QByteArray PngBytes(int size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    AppIconImage(size).save(&buffer, "PNG");
    return bytes;
}

// Writes `contents` to `path` unless the file already holds exactly that.
// Returns true when the file was written.
bool WriteIfChanged(const QString& path, const QByteArray& contents, RegistrationResult& result) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == contents) {
        return false;
    }
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
        !fileio::WriteFileAtomically(
            path.toStdString(),
            std::string(contents.constData(), static_cast<std::size_t>(contents.size())))) {
        result.failed << path;
        return false;
    }
    result.written << path;
    return true;
}

}  // namespace

RegistrationResult RegisterFileType(
    const QString& dataHome, const QString& programPath,
    const std::function<bool(const QString&, const QStringList&)>& startHelper) {
    RegistrationResult result;
    const QString mimeDir = dataHome + "/mime";
    const QString appsDir = dataHome + "/applications";
    bool mimeChanged =
        WriteIfChanged(mimeDir + "/packages/" + kMimeFileName, MimeTypeXml().toUtf8(), result);
    bool desktopChanged = WriteIfChanged(appsDir + '/' + kDesktopFileName,
                                         DesktopEntry(programPath).toUtf8(), result);
    for (int size : {48, 128}) {
        QString dir = QStringLiteral("%1/icons/hicolor/%2x%2/apps").arg(dataHome).arg(size);
        WriteIfChanged(dir + '/' + kIconName + ".png", PngBytes(size), result);
    }
    if (mimeChanged && startHelper("update-mime-database", {mimeDir})) {
        result.helpers << "update-mime-database";
    }
    if (desktopChanged && startHelper("update-desktop-database", {appsDir})) {
        result.helpers << "update-desktop-database";
    }
    return result;
}

RegistrationResult RegisterFileType(const QString& programPath) {
    return RegisterFileType(UserDataHome(), programPath,
                            [](const QString& program, const QStringList& arguments) {
                                QString path = QStandardPaths::findExecutable(program);
                                return !path.isEmpty() && QProcess::startDetached(path, arguments);
                            });
}

}  // namespace shell
