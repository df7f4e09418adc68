#include "shell/about_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/version.h"
#include "shell/artwork.h"
#include "shell/link_static.h"

namespace shell {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("aboutDialog");
    setWindowTitle("About Quillbox");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* version =
        new QLabel(QStringLiteral("Quillbox Version %1").arg(resources::kVersion), this);
    version->setObjectName("versionLabel");
    auto* by = new QLabel("by", this);
    auto* author = new QLabel(kAuthorName, this);
    author->setObjectName("authorLabel");

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(by);
    texts->addWidget(author);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* group = new QGroupBox(this);
    m_pEmailLink = new CLinkStatic(QString("Email: ") + kAuthorEmail, group);
    m_pEmailLink->setObjectName("emailLink");
    m_pHomePageLink = new CLinkStatic(kHomePageUrl, group);
    m_pHomePageLink->setObjectName("homePageLink");
    auto* links = new QVBoxLayout(group);
    links->addWidget(m_pEmailLink, 0, Qt::AlignLeft);
    links->addWidget(m_pHomePageLink, 0, Qt::AlignLeft);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The links keep the usual link colour, turn red once opened, are not
    // underlined and show a pointing hand.
    for (CLinkStatic* link : {m_pEmailLink, m_pHomePageLink}) {
        link->SetColours(link->LinkColour(), QColor(255, 0, 0));
        link->SetUnderline(false);
        link->SetLinkCursor(Qt::PointingHandCursor);
    }
    m_pEmailLink->SetUrl(QString("mailto:") + kAuthorEmail);
    m_pHomePageLink->SetUrl(kHomePageUrl);
    buttons->button(QDialogButtonBox::Ok)->setIcon(QIcon());
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

}  // namespace shell
