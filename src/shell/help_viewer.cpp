#include "shell/help_viewer.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace shell {

CHelpViewer::CHelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Quillbox Help"));
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBrowser);
    layout->addWidget(buttons);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(720, 600);
}

void CHelpViewer::ShowManual(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(path);
    if (m_pBrowser->source() != url) {
        m_pBrowser->setSource(url);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace shell
