// The flat toolbar, the quick-find box and the drop-down menus.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <vector>

#include "entries/find_history.h"
#include "platform/command_router.h"
#include "resources/command_ids.h"
#include "shell/quick_find_toolbar.h"
#include "shell/tool_bar_ex.h"

namespace shell {
namespace {

// A window with the toolbar: New, Open, a separator, the quick-find slot,
// Find, Dial, Email and Web, all through one command router.
class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.resize(700, 200);
        m_router = new platform::CommandRouter(&m_window, &m_window);
        m_router->SetIdleUpdates(false);
        m_bar = new CQuickFindToolBar("Quillbox ToolBar", &m_window);
        for (int id : {resources::kCmdFileNew, resources::kCmdFileOpen}) {
            m_bar->addAction(m_router->Action(id));
        }
        m_bar->addSeparator();
        QAction* slot = m_bar->addSeparator();
        for (int id : {resources::kCmdEditFind, resources::kCmdDialMenu, resources::kCmdEmailMenu,
                       resources::kCmdWebMenu}) {
            m_bar->addAction(m_router->Action(id));
        }
        ASSERT_TRUE(m_bar->CreateQuickFindBox(slot));
        m_bar->SetRouter(m_router);
        m_bar->SetBeepHandler([this] { ++m_beeps; });
        m_bar->SetQuickFindHandler([this](const QString& text) { m_searches.push_back(text); });
        // Stands for the address list: it takes the focus and no keys.
        m_list = new QWidget(&m_window);
        m_list->setObjectName("list");
        m_list->setFocusPolicy(Qt::StrongFocus);
        m_window.setCentralWidget(m_list);
        m_window.addToolBar(m_bar);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_bar->SetFocusReturn(m_list);
        m_history.SetMirror(&m_bar->HistoryMirror());
    }

    QStringList ComboItems() const {
        QStringList items;
        for (int i = 0; i < Combo()->count(); ++i) {
            items << Combo()->itemText(i);
        }
        return items;
    }
    CQuickFindCombo* Combo() const { return m_bar->QuickFindBox(); }
    QLineEdit* Edit() const { return Combo()->lineEdit(); }

    QMainWindow m_window;
    platform::CommandRouter* m_router = nullptr;
    CQuickFindToolBar* m_bar = nullptr;
    QWidget* m_list = nullptr;
    entries::FindHistory m_history;
    int m_beeps = 0;
    QStringList m_searches;
};

TEST_F(ToolbarTest, FlatLookSwitchesAndDropsTheHotButton) {
    EXPECT_TRUE(m_bar->IsFlat());
    m_bar->OnMouseMove(m_bar->ButtonRect(0).center());
    EXPECT_EQ(m_bar->HotButton(), 0);
    struct Step {
        bool flat;
        bool autoRaise;
    };
    for (Step step : {Step{false, false}, Step{false, false}, Step{true, true}}) {
        m_bar->SetFlat(step.flat);
        EXPECT_EQ(m_bar->IsFlat(), step.flat);
        auto* button = qobject_cast<QToolButton*>(m_bar->widgetForAction(m_bar->actions()[0]));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->autoRaise(), step.autoRaise);
        EXPECT_EQ(m_bar->HotButton(), -1);  // no hot frame survives a switch
    }
}

TEST_F(ToolbarTest, HotTrackingAndTheHotTimer) {
    m_router->UpdateAll();
    QPoint cursor;
    m_bar->SetCursorSource([&cursor] { return cursor; });
    const int dial = 5;  // New, Open, separator, box, Find, Dial
    m_router->Action(resources::kCmdFileOpen)->setEnabled(false);
    m_router->Action(resources::kCmdDialMenu)->setEnabled(true);
    ASSERT_TRUE(m_bar->ButtonRect(dial).isValid()) << m_bar->width();
    struct Case {
        const char* what;
        QPoint at;
        int hot;
    };
    const Case cases[] = {
        {"enabled button", m_bar->ButtonRect(dial).center(), dial},
        {"disabled button shows no frame", m_bar->ButtonRect(1).center(), -1},
        {"back on a button", m_bar->ButtonRect(dial).topLeft(), dial},
        {"the quick-find box is no button", Combo()->geometry().center(), -1},
    };
    for (const Case& c : cases) {
        m_bar->OnMouseMove(c.at);
        EXPECT_EQ(m_bar->HotButton(), c.hot) << c.what;
        EXPECT_TRUE(m_bar->HotTimerRunning()) << c.what;
    }
    m_bar->OnMouseMove(m_bar->ButtonRect(dial).center());
    cursor = m_bar->mapToGlobal(m_bar->ButtonRect(dial).center());
    m_bar->OnHotTimer();  // still over the bar
    EXPECT_EQ(m_bar->HotButton(), dial);
    cursor = m_bar->mapToGlobal(QPoint(0, m_bar->height() + 5));
    m_bar->OnHotTimer();  // left the bar
    EXPECT_EQ(m_bar->HotButton(), -1);
    EXPECT_FALSE(m_bar->HotTimerRunning());
}

TEST_F(ToolbarTest, DisabledImagesAreEmbossed) {
    const QColor face(192, 192, 192), light(255, 255, 255), shadow(128, 128, 128);
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(0, 0, 255));    // ink
    image.setPixel(1, 0, face.rgb());         // background of the image
    image.setPixel(2, 0, qRgba(0, 0, 0, 0));  // transparent
    QImage out = CToolBarEx::EmbossedImage(image, face, light, shadow).toImage();
    ASSERT_EQ(out.size(), QSize(4, 2));
    struct Case {
        int x, y;
        QRgb expected;
    };
    const Case cases[] = {
        {0, 0, shadow.rgba()},  // the ink in place, in shadow
        {1, 1, light.rgba()},   // and one pixel right and down, in highlight
        {1, 0, qRgba(0, 0, 0, 0)}, {2, 0, qRgba(0, 0, 0, 0)}, {3, 1, qRgba(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(out.pixel(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
}

TEST_F(ToolbarTest, QuickFindBoxStandsInTheSlot) {
    ASSERT_NE(Combo(), nullptr);
    EXPECT_EQ(m_bar->actions().size(), 8);  // the slot's separator is gone
    EXPECT_EQ(m_bar->widgetForAction(m_bar->actions()[3]), Combo());
    EXPECT_EQ(Combo()->width(), 160);
    EXPECT_TRUE(Combo()->isEditable());
    EXPECT_TRUE(Combo()->font().bold());
    EXPECT_FALSE(m_bar->CreateQuickFindBox(nullptr));
}

TEST_F(ToolbarTest, HistoryIsMirroredItemForItem) {
    for (int i = 1; i <= 11; ++i) {
        m_history.Add(QString("text %1").arg(i));
    }
    m_history.Add("text 5");  // already there: moves to the front
    m_history.Add("");        // ignored
    // The history's own rules (ten items, newest first) are the find suite's.
    EXPECT_EQ(ComboItems(), m_history.Items());
    EXPECT_EQ(Combo()->count(), 10);
}

TEST_F(ToolbarTest, QuickFindKeys) {
    Edit()->setFocus();
    struct Case {
        const char* what;
        QString text;
        int selectFrom;  // -1: nothing selected
        Qt::Key key;
        int beeps;
        QStringList searches;
        QString textAfter;
        bool listHasFocus;
    };
    const Case cases[] = {
        {"Enter in an empty box beeps", "", -1, Qt::Key_Return, 1, {}, "", false},
        {"Enter searches", "Smith", -1, Qt::Key_Return, 0, {"Smith"}, "Smith", false},
        {"keypad Enter too", "Jo", -1, Qt::Key_Enter, 0, {"Jo"}, "Jo", false},
        {"Delete clears the selection", "Smithson", 5, Qt::Key_Delete, 0, {}, "Smith", false},
        {"Delete without a selection", "Smith", -1, Qt::Key_Delete, 0, {}, "Smith", false},
        {"Escape returns to the list", "Smith", -1, Qt::Key_Escape, 0, {}, "Smith", true},
    };
    for (const Case& c : cases) {
        Edit()->setFocus();
        Edit()->setText(c.text);
        if (c.selectFrom >= 0) {
            Edit()->setSelection(c.selectFrom, static_cast<int>(c.text.size()) - c.selectFrom);
        } else {
            Edit()->deselect();
        }
        m_beeps = 0;
        m_searches.clear();
        QTest::keyClick(Edit(), c.key);
        EXPECT_EQ(m_beeps, c.beeps) << c.what;
        EXPECT_EQ(m_searches, c.searches) << c.what;
        EXPECT_EQ(Edit()->text(), c.textAfter) << c.what;
        EXPECT_EQ(m_list->hasFocus(), c.listHasFocus) << c.what;
        if (!c.searches.isEmpty()) {
            EXPECT_EQ(Edit()->selectedText(), c.text) << c.what;
        }
    }
}

TEST_F(ToolbarTest, DownOpensTheClosedList) {
    m_history.Add("one");
    m_history.Add("two");
    Edit()->setFocus();
    EXPECT_TRUE(m_bar->HandleQuickFindKey(Qt::Key_Down));
    EXPECT_TRUE(Combo()->view()->isVisible());
    EXPECT_FALSE(m_bar->HandleQuickFindKey(Qt::Key_Down));  // an open list moves on its own
    Combo()->hidePopup();
}

TEST_F(ToolbarTest, WindowShortcutsLeaveTheBoxItsKeys) {
    // A shortcut-override event that the box accepts reaches it as a key
    // press instead of triggering the window's shortcut with the same key.
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool kept;
    };
    const Case cases[] = {
        {"Del", Qt::Key_Delete, Qt::NoModifier, true},
        {"Ins", Qt::Key_Insert, Qt::NoModifier, true},
        {"Enter", Qt::Key_Return, Qt::NoModifier, true},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, true},
        {"Ctrl+V (Paste of the window)", Qt::Key_V, Qt::ControlModifier, true},
        {"Ctrl+Shift+C (Copy as vCard)", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, false},
        {"a letter", Qt::Key_S, Qt::NoModifier, true},
        {"F3 (Find Next)", Qt::Key_F3, Qt::NoModifier, false},
        {"Alt+F3", Qt::Key_F3, Qt::AltModifier, false},
        {"Ctrl+N (New)", Qt::Key_N, Qt::ControlModifier, false},
    };
    for (const Case& c : cases) {
        const QString text = c.mods == Qt::NoModifier && c.key == Qt::Key_S ? "s" : QString();
        QKeyEvent override(QEvent::ShortcutOverride, c.key, c.mods, text);
        override.ignore();
        QApplication::sendEvent(Edit(), &override);
        EXPECT_EQ(override.isAccepted(), c.kept) << c.what;
    }
}

TEST_F(ToolbarTest, DropDownMenus) {
    std::vector<int> shown;
    QPoint shownAt;
    m_bar->SetPopupHandler([&](QMenu& menu, const QPoint& at) {
        shown.clear();
        for (QAction* action : menu.actions()) {
            shown.push_back(platform::CommandRouter::CommandOf(action));
        }
        shownAt = at;
    });
    using namespace resources;
    struct Case {
        int button;
        bool drops;
        std::vector<int> items;
    };
    const Case cases[] = {
        {kCmdDialMenu,
         true,
         {kCmdDialHome, kCmdDialWork, kCmdDialPager, kCmdDialFax, kCmdDialCellular}},
        {kCmdEmailMenu, true, {kCmdEmail1, kCmdEmail2}},
        {kCmdWebMenu, true, {kCmdWeb1, kCmdWeb2}},
        {kCmdEditFind, false, {}},
    };
    for (const Case& c : cases) {
        shown.clear();
        EXPECT_EQ(m_bar->ShowDropDown(c.button), c.drops) << c.button;
        EXPECT_EQ(shown, c.items) << c.button;
        if (c.drops) {
            QWidget* button = m_bar->widgetForAction(m_router->Action(c.button));
            EXPECT_EQ(shownAt, button->mapToGlobal(QPoint(0, button->height()))) << c.button;
        }
    }
    // Releasing the left button over Email opens its menu.
    m_router->UpdateAll();
    m_router->Action(kCmdEmailMenu)->setEnabled(true);
    shown.clear();
    QWidget* email = m_bar->widgetForAction(m_router->Action(kCmdEmailMenu));
    QTest::mouseClick(email, Qt::LeftButton, Qt::NoModifier, email->rect().center());
    EXPECT_EQ(shown, (std::vector<int>{resources::kCmdEmail1, resources::kCmdEmail2}));
}

}  // namespace
}  // namespace shell
