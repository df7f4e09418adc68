#include "shell/link_static.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "shell/browser_command.h"
#include "shell/shell_dialogs.h"

namespace shell {

namespace {

std::optional<QString> RunHelperProgram(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        return std::nullopt;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The folders that hold desktop entries, most important first.
QStringList ApplicationFolders() {
    QStringList folders;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome)) {
        dataHome = QDir::homePath() + "/.local/share";
    }
    folders << dataHome + "/applications";
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty()) {
        dataDirs = "/usr/local/share:/usr/share";
    }
    for (const QString& dir : dataDirs.split(':', Qt::SkipEmptyParts)) {
        folders << dir + "/applications";
    }
    return folders;
}

std::optional<QString> ReadDesktopEntryFile(const QString& desktopId) {
    if (desktopId.contains('/') || !desktopId.endsWith(".desktop")) {
        return std::nullopt;
    }
    // "vendor-app.desktop" may also live at "vendor/app.desktop".
    QStringList names{desktopId};
    QString nested = desktopId;
    for (int dash = nested.indexOf('-'); dash > 0; dash = nested.indexOf('-', dash + 1)) {
        QString candidate = nested;
        candidate[dash] = '/';
        names << candidate;
    }
    for (const QString& folder : ApplicationFolders()) {
        for (const QString& name : names) {
            QFile file(folder + '/' + name);
            if (file.open(QIODevice::ReadOnly)) {
                return QString::fromUtf8(file.readAll());
            }
        }
    }
    return std::nullopt;
}

int StartProgramDetached(const QString& program, const QStringList& arguments) {
    QString path = program;
    if (!program.contains('/')) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty()) {
            return kOpenFileNotFound;
        }
    }
    QFileInfo info(path);
    if (!info.exists()) {
        return kOpenFileNotFound;
    }
    if (!info.isExecutable() || info.isDir()) {
        return kOpenAccessDenied;
    }
    return QProcess::startDetached(path, arguments) ? kOpenSucceeded : kOpenOutOfResources;
}

std::function<int(const QString&)>& OpenerOverride() {
    static std::function<int(const QString&)> opener;
    return opener;
}

}  // namespace

HyperlinkHooks SystemHyperlinkHooks() {
    HyperlinkHooks hooks;
    hooks.openUrl = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
    hooks.runHelper = RunHelperProgram;
    hooks.readDesktopEntry = ReadDesktopEntryFile;
    hooks.startDetached = StartProgramDetached;
    return hooks;
}

int OpenHyperlink(const QString& url, const HyperlinkHooks& hooks) {
    if (hooks.openUrl(url)) {
        return kOpenSucceeded;
    }
    // The desktop gives no reason; the usual one is that nothing is set up
    // to open such a link.
    const int desktopResult = kOpenNoAssociation;

    // Only a URL with a scheme goes to the browser: it cannot start with '-'
    // and so cannot pass for one of the browser's options.
    QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty()) {
        return desktopResult;
    }
    QString desktopId;
    if (std::optional<QString> out =
            hooks.runHelper("xdg-settings", {"get", "default-web-browser"})) {
        desktopId = out->trimmed();
    }
    if (desktopId.isEmpty()) {
        if (std::optional<QString> out =
                hooks.runHelper("xdg-mime", {"query", "default", "x-scheme-handler/http"})) {
            desktopId = out->trimmed();
        }
    }
    if (desktopId.isEmpty()) {
        return desktopResult;
    }
    std::optional<QString> entry = hooks.readDesktopEntry(desktopId);
    if (!entry) {
        return desktopResult;
    }
    std::optional<std::string> exec = DesktopEntryExec(entry->toStdString());
    if (!exec) {
        return desktopResult;
    }
    std::optional<BrowserLaunch> launch = PrepareBrowserLaunch(*exec, url.toStdString());
    if (!launch) {
        return desktopResult;
    }
    QStringList arguments;
    for (const std::string& argument : launch->arguments) {
        arguments << QString::fromStdString(argument);
    }
    return hooks.startDetached(QString::fromStdString(launch->program), arguments);
}

int OpenHyperlink(const QString& url) {
    if (OpenerOverride()) {
        return OpenerOverride()(url);
    }
    return OpenHyperlink(url, SystemHyperlinkHooks());
}

void CLinkStatic::SetOpenerForTesting(std::function<int(const QString& url)> opener) {
    OpenerOverride() = std::move(opener);
}

CLinkStatic::CLinkStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
    m_strUrl = text;
    setTextFormat(Qt::PlainText);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(m_strUrl);
    UpdateLook();
}

void CLinkStatic::SetUrl(const QString& url) {
    m_strUrl = url;
    if (text().isEmpty()) {
        setText(url);
    }
    setToolTip(url);
    FitToText();
}

void CLinkStatic::SetColours(const QColor& link, const QColor& visited) {
    m_linkColour = link;
    m_visitedColour = visited;
    UpdateLook();
}

void CLinkStatic::SetVisited(bool visited) {
    m_bVisited = visited;
    UpdateLook();
}

void CLinkStatic::SetUnderline(bool underline) {
    m_bUnderline = underline;
    UpdateLook();
}

void CLinkStatic::SetLinkCursor(const QCursor& cursor) {
    setCursor(cursor);
}

void CLinkStatic::SetAdjustToFit(bool adjust) {
    m_bAdjustToFit = adjust;
    setSizePolicy(adjust ? QSizePolicy::Fixed : QSizePolicy::Preferred,
                  adjust ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    FitToText();
}

void CLinkStatic::UpdateLook() {
    m_bUpdating = true;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, TextColour());
    setPalette(pal);
    QFont f = font();
    f.setUnderline(m_bUnderline);
    setFont(f);
    m_bUpdating = false;
    FitToText();
    update();
}

void CLinkStatic::FitToText() {
    if (!m_bAdjustToFit) {
        return;
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    adjustSize();
    updateGeometry();
}

void CLinkStatic::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (!m_bUpdating && event->type() == QEvent::FontChange) {
        FitToText();
    }
}

void CLinkStatic::OnClicked() {
    int result = OpenHyperlink(m_strUrl);
    m_bVisited = OpenSucceeded(result);
    UpdateLook();
    if (!m_bVisited) {
        QApplication::beep();
        ReportWarning(this, QString::fromStdString(HyperlinkErrorMessage(result)));
    }
    emit Opened(result);
}

void CLinkStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_bPressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void CLinkStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_bPressed) {
        m_bPressed = false;
        event->accept();
        if (rect().contains(event->position().toPoint())) {
            OnClicked();
        }
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void CLinkStatic::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        OnClicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

}  // namespace shell
