// The property sheet both editors use: page checks when a page is left and
// on OK, the pages' OK and close notices, and the first control's focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "platform/control_name.h"
#include "platform/property_sheet.h"

namespace platform {
namespace {

// A page with one box that records what the sheet asks of it.
class RecordingPage final : public CPropertyPage {
public:
    RecordingPage(const QString& title, std::vector<std::string>& log)
        : CPropertyPage(title), m_log(log) {
        m_pBox = new QLineEdit(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_pBox);
    }

    bool OnKillActive() override {
        m_log.push_back(Title().toStdString() + " check");
        return acceptValues;
    }
    bool OnOK() override {
        m_log.push_back(Title().toStdString() + " OK");
        return acceptValues;
    }
    void OnDestroyPage() override { m_log.push_back(Title().toStdString() + " closed"); }

    bool acceptValues = true;
    int inits = 0;
    QLineEdit* m_pBox = nullptr;

protected:
    void OnInitPage() override { ++inits; }

private:
    std::vector<std::string>& m_log;
};

class PropertySheetTest : public ::testing::Test {
protected:
    PropertySheetTest() : m_sheet("Sheet") {
        m_first = new RecordingPage("one", m_log);
        m_second = new RecordingPage("two", m_log);
        m_sheet.AddPage(m_first);
        m_sheet.AddPage(m_second);
    }

    std::vector<std::string> m_log;
    CPropertySheet m_sheet;
    RecordingPage* m_first = nullptr;
    RecordingPage* m_second = nullptr;
};

TEST_F(PropertySheetTest, TabsButtonsAndFirstControl) {
    ASSERT_EQ(m_sheet.PageCount(), 2);
    EXPECT_EQ(m_sheet.PageAt(1), m_second);
    EXPECT_EQ(m_sheet.Buttons()->buttons().size(), 2);  // OK and Cancel, no Apply
    EXPECT_NE(FindControl<QWidget>(m_sheet, kIdOk), nullptr);
    EXPECT_NE(FindControl<QWidget>(m_sheet, kIdCancel), nullptr);
    m_sheet.show();
    QApplication::setActiveWindow(&m_sheet);
    EXPECT_EQ(QApplication::focusWidget(), m_first->m_pBox);
    EXPECT_EQ(m_first->inits, 1);
    EXPECT_EQ(m_second->inits, 0);  // pages are set up when first shown
    m_sheet.reject();
}

TEST_F(PropertySheetTest, APageThatRefusesIsNotLeft) {
    m_sheet.show();
    m_first->acceptValues = false;
    m_sheet.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(m_sheet.Tabs()->currentIndex(), 0);
    m_first->acceptValues = true;
    m_sheet.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(m_sheet.Tabs()->currentIndex(), 1);
    EXPECT_EQ(m_second->inits, 1);
    EXPECT_EQ(m_log, (std::vector<std::string>{"one check", "one check"}));
    m_sheet.reject();
}

TEST_F(PropertySheetTest, OkChecksThePageOnShowThenTakesEveryPage) {
    struct Case {
        const char* name;
        bool firstAccepts;
        bool secondAccepts;
        bool closes;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"all agree",
         true,
         true,
         true,
         {"one check", "one OK", "two OK", "one closed", "two closed"}},
        {"the page on show refuses", false, true, false, {"one check"}},
        {"another page refuses", true, false, false, {"one check", "one OK", "two OK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        m_sheet.setResult(QDialog::Rejected);
        m_sheet.show();
        m_first->acceptValues = c.firstAccepts;
        m_second->acceptValues = c.secondAccepts;
        m_sheet.accept();
        EXPECT_EQ(m_sheet.result() == QDialog::Accepted, c.closes);
        EXPECT_EQ(m_log, c.log);
    }
}

TEST_F(PropertySheetTest, CancelClosesEveryPageWithoutTakingValues) {
    m_sheet.show();
    m_sheet.reject();
    EXPECT_EQ(m_log, (std::vector<std::string>{"one closed", "two closed"}));
}

}  // namespace
}  // namespace platform
