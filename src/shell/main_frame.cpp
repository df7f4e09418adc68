#include "shell/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QVBoxLayout>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include <string>

#include "platform/doc_manager.h"
#include "platform/document.h"
#include "platform/menu_builder.h"
#include "platform/status_prompter.h"
#include "platform/string_resource.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/string_table.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "shell/artwork.h"
#include "shell/caption_bar.h"
#include "shell/frame_texts.h"
#include "shell/lock_keys.h"
#include "shell/quick_find_toolbar.h"
#include "shell/shell_dialogs.h"
#include "shell/tray_icon.h"

namespace shell {

namespace {

// One strip of the window's sizing border: dragging it resizes the window
// from its edges.
class ResizeHandle : public QWidget {
public:
    ResizeHandle(Qt::Edges edges, QWidget* parent) : QWidget(parent), m_edges(edges) {
        const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
        const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
        if (horizontal && vertical) {
            const bool falling =
                edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
            setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
        } else {
            setCursor(horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
        }
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) {
            return;
        }
        QWindow* handle = window()->windowHandle();
        if (handle != nullptr && handle->startSystemResize(m_edges)) {
            return;
        }
        // The window system cannot resize by itself: follow the mouse.
        m_bManual = true;
        m_startPos = event->globalPosition().toPoint();
        m_startGeometry = window()->geometry();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!m_bManual) {
            return;
        }
        QPoint delta = event->globalPosition().toPoint() - m_startPos;
        QRect g = m_startGeometry;
        QSize minimum = window()->minimumSizeHint().expandedTo(QSize(200, 120));
        if (m_edges & Qt::LeftEdge) {
            g.setLeft(std::min(g.left() + delta.x(), g.right() - minimum.width()));
        }
        if (m_edges & Qt::RightEdge) {
            g.setRight(std::max(g.right() + delta.x(), g.left() + minimum.width()));
        }
        if (m_edges & Qt::TopEdge) {
            g.setTop(std::min(g.top() + delta.y(), g.bottom() - minimum.height()));
        }
        if (m_edges & Qt::BottomEdge) {
            g.setBottom(std::max(g.bottom() + delta.y(), g.top() + minimum.height()));
        }
        window()->setGeometry(g);
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_bManual = false; }

private:
    Qt::Edges m_edges;
    bool m_bManual = false;
    QPoint m_startPos;
    QRect m_startGeometry;
};

constexpr Qt::Edges kHandleEdges[8] = {
    Qt::TopEdge,
    Qt::BottomEdge,
    Qt::LeftEdge,
    Qt::RightEdge,
    Qt::TopEdge | Qt::LeftEdge,
    Qt::TopEdge | Qt::RightEdge,
    Qt::BottomEdge | Qt::LeftEdge,
    Qt::BottomEdge | Qt::RightEdge,
};

}  // namespace

CMainFrame::CMainFrame(settings::SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::FramelessWindowHint), m_settings(settings) {
    setObjectName("mainFrame");
    setWindowIcon(AppIcon());
    m_pRouter = new platform::CommandRouter(this, this);
    m_clockTimer.setInterval(kClockPeriodMs);
    connect(&m_clockTimer, &QTimer::timeout, this, &CMainFrame::UpdateClock);
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create() {
    // The message pane exists first so that the menus can show their prompts.
    m_panes[0] = new QLabel(this);
    m_panes[0]->setObjectName("messagePane");
    m_pPrompter = new platform::StatusPrompter(m_panes[0], this, this);

    // Title bar and menu bar share the area above the toolbars.
    auto* top = new QWidget(this);
    top->setObjectName("captionAndMenu");
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    m_pCaption = new CCaptionBar(this);
    topLayout->addWidget(m_pCaption);
    m_pMenuBar = platform::BuildMenuBar(resources::LoadMenu(resources::kMenuMain), *m_pRouter, top,
                                        m_pPrompter);
    if (m_pMenuBar == nullptr) {
        return false;
    }
    topLayout->addWidget(m_pMenuBar);
    setMenuWidget(top);
    for (int i = 0; i < 8; ++i) {
        m_resizeHandles[static_cast<std::size_t>(i)] = new ResizeHandle(kHandleEdges[i], this);
    }
    UpdateBorder();

    // Without a stored placement the window opens at a comfortable size in
    // the middle of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect available = screen->availableGeometry();
        QSize size(std::min(900, available.width() * 4 / 5),
                   std::min(620, available.height() * 4 / 5));
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
    }

    // A window started minimized is represented by its tray icon from the
    // start (whatever "RememberTray" says); its tooltip is the title of the
    // moment, before any book is shown.  Without a notification area the
    // window starts minimized on the taskbar instead (ShowFirstTime).
    m_pTray = new CTrayIcon(this, MakeTrayIcon());
    m_pTrayMenu = platform::BuildPopupMenu(resources::LoadMenu(resources::kMenuTray)[0], *m_pRouter,
                                           this, m_pPrompter);
    m_pTray->SetMenu(m_pTrayMenu);
    if (settings::Read(m_settings, settings::kStartMinimized) != 0 && m_pTray->IsAvailable()) {
        m_pTray->AddIcon(Title());
    }

    if (settings::Read(m_settings, settings::kRememberWin) != 0) {
        if (std::optional<WindowPlacement> placement = ReadPlacement()) {
            if (IsTrayShown()) {
                placement->showCmd = WindowPlacement::kShowHide;
            }
            ApplyPlacement(*placement);
        }
    }

    if (!CreateToolBar()) {
        return false;
    }
    m_pToolBar->SetFlat(settings::Read(m_settings, settings::kFlatbar) != 0);
    if (!CreateStatusBar()) {
        return false;
    }
    RegisterCommands();
    UpdateTitle();

    m_clockTimer.start();
    UpdateClock();
    UpdateLockKeys();
    qApp->installEventFilter(this);
    return true;
}

bool CMainFrame::CreateToolBar() {
    m_pToolBar = new CQuickFindToolBar("Quillbox ToolBar", this);
    m_pToolBar->setObjectName("mainToolBar");
    m_pToolBar->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    int image = 0;
    int slot = 0;
    QAction* quickFindSlot = nullptr;
    for (int id : resources::MainToolbarButtons()) {
        if (id == 0) {
            QAction* separator = m_pToolBar->addSeparator();
            if (slot == resources::kQuickFindSlot) {
                // Where the quick-find box will stand.
                quickFindSlot = separator;
            }
        } else {
            QAction* action = m_pRouter->Action(id);
            if (action == nullptr || image >= kToolbarImageCount) {
                return false;
            }
            action->setIcon(ToolbarIcon(image++));
            action->setIconVisibleInMenu(false);
            m_pToolBar->addAction(action);
        }
        ++slot;
    }
    if (!m_pToolBar->CreateQuickFindBox(quickFindSlot)) {
        return false;
    }
    m_pToolBar->SetRouter(m_pRouter, m_pPrompter);
    SetQuickFindBox(m_pToolBar->QuickFindBox());
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    return image == kToolbarImageCount;
}

bool CMainFrame::CreateStatusBar() {
    m_pStatusBar = new QStatusBar(this);
    m_pStatusBar->setObjectName("statusBar");
    m_pStatusBar->setSizeGripEnabled(false);
    std::span<const int> panes = resources::StatusBarPanes();
    if (panes.size() != m_panes.size()) {
        return false;
    }
    m_panes[0]->setText(platform::ResourceString(resources::kStrIdleMessage));
    m_panes[0]->setMinimumWidth(40);
    m_pStatusBar->addWidget(m_panes[0], 1);
    const char* names[] = {"messagePane", "capPane", "numPane", "scrlPane", "clockPane"};
    for (std::size_t i = 1; i < panes.size(); ++i) {
        auto* pane = new QLabel(platform::ResourceString(panes[i]), m_pStatusBar);
        pane->setObjectName(names[i]);
        pane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        if (i < 4) {
            // The indicators keep their width when their key is off.
            pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 12);
        }
        m_pStatusBar->addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    setStatusBar(m_pStatusBar);
    return true;
}

void CMainFrame::RegisterCommands() {
    using namespace resources;
    m_commands.OnCommand(kCmdSaveWindowSize, [this] { OnSaveWindowSize(); });
    m_commands.OnCommand(kCmdViewFlatToolbar, [this] { OnViewFlatToolbar(); });
    m_commands.OnUpdate(kCmdViewFlatToolbar,
                        [this](platform::CCmdUI& ui) { ui.SetCheck(m_pToolBar->IsFlat()); });
    m_commands.OnCommand(kCmdViewStatusBar, [this] { OnViewStatusBar(); });
    m_commands.OnUpdate(kCmdViewStatusBar,
                        [this](platform::CCmdUI& ui) { ui.SetCheck(!m_pStatusBar->isHidden()); });
    m_commands.OnCommand(kCmdViewToolbar, [this] { OnViewToolbar(); });
    m_commands.OnUpdate(kCmdViewToolbar,
                        [this](platform::CCmdUI& ui) { ui.SetCheck(!m_pToolBar->isHidden()); });
    m_commands.OnCommand(kCmdTrayShow, [this] { OnTrayShow(); });
    m_commands.OnCommand(kCmdTrayExit, [this] { OnTrayExit(); });
    m_commands.OnCommand(kCmdQuickFindFocus, [this] { OnQuickFindFocus(); });
    m_commands.OnUpdate(kCmdQuickFindFocus,
                        [this](platform::CCmdUI& ui) { ui.Enable(m_pQuickFind != nullptr); });
    m_pRouter->AddTarget(m_commands, platform::RouteLevel::kFrame);
}

void CMainFrame::SetDocument(platform::CDocument* document, platform::CDocManager* manager) {
    if (m_pDocument) {
        disconnect(m_pDocument, nullptr, this, nullptr);
    }
    m_pDocument = document;
    m_pDocManager = manager;
    if (document != nullptr) {
        connect(document, &platform::CDocument::titleChanged, this, &CMainFrame::UpdateTitle);
    }
    UpdateTitle();
}

void CMainFrame::SetView(QWidget* view) {
    setCentralWidget(view);
}

QString CMainFrame::Title() const {
    std::string path = m_pDocument ? m_pDocument->PathName().toStdString() : std::string();
    return QString::fromStdString(FrameTitle(resources::LoadString(resources::kStrAppTitle), path,
                                             resources::LoadString(resources::kStrUntitled)));
}

void CMainFrame::UpdateTitle() {
    QString title = Title();
    if (title != windowTitle()) {
        setWindowTitle(title);
    }
}

void CMainFrame::ShowStatusText(int id) {
    if (m_pPrompter != nullptr && resources::HasString(id)) {
        m_pPrompter->ShowStringId(id);
    }
}

void CMainFrame::ShowStatusProgress(int id, int percent) {
    if (m_pPrompter != nullptr && resources::HasString(id)) {
        m_pPrompter->ShowText(platform::ResourceString(id) + QStringLiteral(" %1%").arg(percent));
    }
}

std::optional<WindowPlacement> CMainFrame::ReadPlacement() const {
    std::string text = settings::Read(m_settings, settings::kWindowPos);
    if (text.empty()) {
        return std::nullopt;
    }
    return ParseWindowPlacement(text);
}

WindowPlacement CMainFrame::CurrentPlacement() const {
    WindowPlacement p;
    const bool maximized = isMaximized();
    QRect normal = geometry();
    if (maximized || isMinimized()) {
        QRect restored = normalGeometry();
        if (restored.isValid()) {
            normal = restored;
        }
    }
    p.flags = maximized ? WindowPlacement::kRestoreToMaximized : 0;
    p.showCmd = maximized ? WindowPlacement::kShowMaximized : WindowPlacement::kShowNormal;
    if (maximized) {
        p.maxX = geometry().x();
        p.maxY = geometry().y();
    }
    p.left = normal.x();
    p.top = normal.y();
    p.right = normal.x() + normal.width();
    p.bottom = normal.y() + normal.height();
    return p;
}

void CMainFrame::SavePlacement() {
    if (isMinimized()) {
        return;
    }
    settings::Write(m_settings, settings::kWindowPos, FormatWindowPlacement(CurrentPlacement()));
}

void CMainFrame::ApplyPlacement(const WindowPlacement& p) {
    if (p.Width() <= 0 || p.Height() <= 0 || p.Width() > QWIDGETSIZE_MAX ||
        p.Height() > QWIDGETSIZE_MAX) {
        return;  // no window can take that size
    }
    QRect normal(p.left, p.top, static_cast<int>(p.Width()), static_cast<int>(p.Height()));
    // A rectangle that no screen shows any more (a monitor was removed)
    // keeps its size but moves onto the primary screen.
    bool onScreen = false;
    for (QScreen* screen : QGuiApplication::screens()) {
        onScreen = onScreen || screen->availableGeometry().intersects(normal);
    }
    if (!onScreen && QGuiApplication::primaryScreen() != nullptr) {
        normal.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    }
    setGeometry(normal);
    m_bShowMaximized = p.showCmd == WindowPlacement::kShowMaximized;
}

void CMainFrame::ShowFirstTime(ShowCommand command) {
    switch (command) {
        case ShowCommand::kHide:
            // Hidden windows come back through the tray icon; without one the
            // window starts minimized instead, so that it can still be reached.
            if (!IsTrayShown()) {
                showMinimized();
            } else {
                m_pTray->SetRestoreState(m_bShowMaximized ? Qt::WindowMaximized
                                                          : Qt::WindowNoState);
            }
            break;
        case ShowCommand::kMinimized:
            showMinimized();
            break;
        case ShowCommand::kNormal:
            if (m_bShowMaximized) {
                showMaximized();
            } else {
                show();
            }
            break;
    }
}

void CMainFrame::OnSaveWindowSize() {
    SavePlacement();
    ReportInformation(this, "The window size has been saved.");
}

void CMainFrame::OnViewFlatToolbar() {
    m_pToolBar->SetFlat(!m_pToolBar->IsFlat());
    settings::Write(m_settings, settings::kFlatbar, m_pToolBar->IsFlat() ? 1 : 0);
}

void CMainFrame::OnViewStatusBar() {
    m_pStatusBar->setVisible(m_pStatusBar->isHidden());
}

void CMainFrame::OnViewToolbar() {
    m_pToolBar->setVisible(m_pToolBar->isHidden());
}

void CMainFrame::OnQuickFindFocus() {
    if (m_pQuickFind) {
        m_pQuickFind->setFocus(Qt::ShortcutFocusReason);
    }
}

void CMainFrame::UpdateClock() {
    QLabel* pane = m_panes[4];
    if (m_pStatusBar == nullptr || pane == nullptr) {
        return;
    }
    QTime now = QTime::currentTime();
    QString text = QString::fromStdString(ClockText(now.hour(), now.minute()));
    int frame = pane->frameWidth() * 2 + pane->margin() * 2;
    pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(text) + frame + 4);
    pane->setText(text);
    pane->repaint();
}

void CMainFrame::UpdateLockKeys() {
    if (m_pStatusBar == nullptr) {
        return;
    }
    LockKeyState state = QueryLockKeys();
    const bool on[3] = {state.caps, state.num, state.scroll};
    const int ids[3] = {resources::kIndicatorCaps, resources::kIndicatorNum,
                        resources::kIndicatorScroll};
    for (int i = 0; i < 3; ++i) {
        QLabel* pane = m_panes[static_cast<std::size_t>(i + 1)];
        // A key that is off (or a keyboard that cannot tell) leaves the pane
        // empty.
        QString text = state.known && on[i] ? platform::ResourceString(ids[i]) : QString();
        if (pane->text() != text) {
            pane->setText(text);
        }
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    m_clockTimer.stop();
    if (settings::Read(m_settings, settings::kRememberWin) != 0) {
        SavePlacement();
    }
    const bool wasInTray = IsTrayShown();
    if (m_pTray != nullptr) {
        m_pTray->RemoveIcon();
    }
    if (m_pDocManager && !m_pDocManager->SaveModified()) {
        // The user kept the window: its clock goes on, and a window that was
        // in the tray comes back rather than staying hidden with no icon.
        m_clockTimer.start();
        if (m_pTray != nullptr && (wasInTray || isHidden())) {
            m_pTray->ShowWindow();
        }
        event->ignore();
        return;
    }
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock ||
            key->key() == Qt::Key_ScrollLock) {
            QTimer::singleShot(0, this, &CMainFrame::UpdateLockKeys);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::ActivationChange:
            if (m_pCaption != nullptr) {
                m_pCaption->SetActive(isActiveWindow());
            }
            if (isActiveWindow()) {
                UpdateLockKeys();
            }
            break;
        case QEvent::EnabledChange:
            if (m_pCaption != nullptr) {
                m_pCaption->SetActive(isActiveWindow());
            }
            break;
        case QEvent::WindowStateChange:
            if (isMinimized() &&
                HideToTray(static_cast<QWindowStateChangeEvent*>(event)->oldState())) {
                return;
            }
            UpdateBorder();
            if (m_pCaption != nullptr) {
                m_pCaption->Refresh();
            }
            break;
        case QEvent::WindowTitleChange:
            if (m_pCaption != nullptr) {
                m_pCaption->Refresh();
            }
            break;
        default:
            break;
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::UpdateBorder() {
    // A maximized window has no sizing border.
    const bool sizable = !(isMaximized() || isFullScreen());
    const int border = sizable ? kBorderWidth : 0;
    setContentsMargins(border, border, border, border);
    for (QWidget* handle : m_resizeHandles) {
        if (handle != nullptr) {
            handle->setVisible(sizable);
        }
    }
    PlaceResizeHandles();
    update();
}

void CMainFrame::PlaceResizeHandles() {
    if (m_resizeHandles[0] == nullptr) {
        return;
    }
    const int b = kBorderWidth;
    const int corner = 16;
    const int w = width();
    const int h = height();
    // Edges first (top, bottom, left, right), then the corner squares
    // (top-left, top-right, bottom-left, bottom-right).
    const QRect rects[8] = {
        QRect(corner, 0, w - 2 * corner, b),  QRect(corner, h - b, w - 2 * corner, b),
        QRect(0, corner, b, h - 2 * corner),  QRect(w - b, corner, b, h - 2 * corner),
        QRect(0, 0, corner, corner),          QRect(w - corner, 0, corner, corner),
        QRect(0, h - corner, corner, corner), QRect(w - corner, h - corner, corner, corner),
    };
    for (int i = 0; i < 8; ++i) {
        QWidget* handle = m_resizeHandles[static_cast<std::size_t>(i)];
        handle->setGeometry(rects[i]);
        if (i >= 4) {
            // A corner takes the mouse only on its two border strips, so that
            // the widgets inside the window stay reachable.
            const bool top = i == 4 || i == 5;
            const bool left = i == 4 || i == 6;
            QRegion shape(QRect(0, top ? 0 : corner - b, corner, b));
            shape += QRect(left ? 0 : corner - b, 0, b, corner);
            handle->setMask(shape);
        }
        handle->raise();
    }
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    PlaceResizeHandles();
}

void CMainFrame::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    const QMargins margins = contentsMargins();
    if (margins.left() <= 0) {
        return;
    }
    // A raised sizing border: light outside top-left, dark outside
    // bottom-right, the window colour between.
    QPainter painter(this);
    const QRect r = rect();
    const QPalette& pal = palette();
    QRegion border = QRegion(r).subtracted(QRegion(r.marginsRemoved(margins)));
    painter.setClipRegion(border);
    painter.fillRect(r, pal.color(QPalette::Window));
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(pal.color(QPalette::Shadow));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
}

// ---- Tray ----

bool CMainFrame::IsTrayShown() const {
    return m_pTray != nullptr && m_pTray->IsShown();
}

bool CMainFrame::HideToTray(Qt::WindowStates oldState) {
    // Without a notification area the window minimizes to the taskbar, so
    // that it can always be reached.
    if (m_pTray == nullptr || IsTrayShown() || !m_pTray->IsAvailable() ||
        settings::Read(m_settings, settings::kRememberTray) == 0) {
        return false;
    }
    UpdateTitle();
    m_pTray->HideWindow(Title(), oldState);
    return true;
}

void CMainFrame::OnTrayShow() {
    m_pTray->ShowWindow();
}

void CMainFrame::OnTrayExit() {
    m_pTray->RemoveIcon();
    hide();
    if (m_pDocManager && !m_pDocManager->SaveModified()) {
        // Cancelled, or the book could not be saved: nothing is thrown away.
        m_pTray->ShowWindow();
        return;
    }
    m_clockTimer.stop();
    if (m_quit) {
        m_quit(0);
    } else {
        QCoreApplication::exit(0);
    }
}

}  // namespace shell
