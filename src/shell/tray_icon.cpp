#include "shell/tray_icon.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

#include "shell/artwork.h"

namespace shell {

namespace {

TrayFactory& FactorySlot() {
    static TrayFactory factory;
    return factory;
}

}  // namespace

QString TrayTooltip(const QString& title) {
    if (title.size() <= kTrayTooltipMax) {
        return title;
    }
    qsizetype length = kTrayTooltipMax;
    if (title.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return title.left(length);
}

// ---- QtTrayIcon ----

QtTrayIcon::QtTrayIcon() : m_pIcon(std::make_unique<QSystemTrayIcon>(AppIcon())) {
    QObject::connect(m_pIcon.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         switch (reason) {
                             case QSystemTrayIcon::Trigger:
                                 Clicked(Click::kLeft);
                                 break;
                             case QSystemTrayIcon::Context:
                                 Clicked(Click::kRight);
                                 break;
                             default:
                                 Clicked(Click::kOther);
                                 break;
                         }
                     });
}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::Add(const QString& tooltip) {
    m_pIcon->setToolTip(tooltip);
    m_pIcon->show();
}

void QtTrayIcon::Remove() {
    m_pIcon->hide();
}

void QtTrayIcon::SetMenu(QMenu* menu) {
    // The desktop opens the menu on a right click itself.
    m_pIcon->setContextMenu(menu);
}

void SetTrayFactoryForTesting(TrayFactory factory) {
    FactorySlot() = std::move(factory);
}

std::unique_ptr<ITrayIcon> MakeTrayIcon() {
    if (FactorySlot()) {
        return FactorySlot()();
    }
    return std::make_unique<QtTrayIcon>();
}

// ---- CTrayIcon ----

CTrayIcon::CTrayIcon(QWidget* window, std::unique_ptr<ITrayIcon> icon)
    : QObject(window), m_pWindow(window), m_pIcon(std::move(icon)) {
    m_pIcon->SetClickHandler([this](ITrayIcon::Click click) { OnClick(click); });
}

CTrayIcon::~CTrayIcon() {
    RemoveIcon();
}

void CTrayIcon::AddIcon(const QString& title) {
    m_pIcon->Add(TrayTooltip(title));
    if (!m_bShown && qApp != nullptr) {
        m_bQuitOnLastClosed = QApplication::quitOnLastWindowClosed();
        QApplication::setQuitOnLastWindowClosed(false);
    }
    m_bShown = true;
}

void CTrayIcon::RemoveIcon() {
    if (!m_bShown) {
        return;
    }
    m_pIcon->Remove();
    m_bShown = false;
    if (qApp != nullptr) {
        QApplication::setQuitOnLastWindowClosed(m_bQuitOnLastClosed);
    }
}

void CTrayIcon::HideWindow(const QString& title, Qt::WindowStates restoreState) {
    m_restoreState = restoreState & ~Qt::WindowMinimized;
    AddIcon(title);
    if (m_pWindow) {
        m_pWindow->hide();
        // Hidden, the window records the state it is to come back in.  Only
        // the record changes: asking the window system to leave the
        // minimized state would map the hidden window again on X11.
        m_pWindow->overrideWindowState(m_restoreState);
    }
}

void CTrayIcon::ShowWindow() {
    if (m_pWindow) {
        m_pWindow->setWindowState(m_restoreState & ~Qt::WindowMinimized);
        m_pWindow->show();
        m_pWindow->raise();
        m_pWindow->activateWindow();
    }
    RemoveIcon();
}

void CTrayIcon::SetMenu(QMenu* menu) {
    m_pIcon->SetMenu(menu);
}

void CTrayIcon::OnClick(ITrayIcon::Click click) {
    // A right click opens the menu (the icon does that itself); moves,
    // presses and double clicks do nothing.
    if (click == ITrayIcon::Click::kLeft && m_bShown) {
        ShowWindow();
    }
}

}  // namespace shell
