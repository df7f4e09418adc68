// Standard reports: file errors, integer validation, and the file dialogs'
// filters and default extension.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <cerrno>

#include "platform/data_exchange.h"
#include "platform/dialogs.h"
#include "platform/file_error_report.h"
#include "platform/test_dialogs.h"
#include "qt_printers.h"

namespace {

TEST(FileErrorReport, TextForEachKindOfFailure) {
    struct Case {
        int error;
        QString file;
        QString expected;
    };
    const Case cases[] = {
        {ENOENT, "/books/a.qxd", "/books/a.qxd was not found."},
        {EROFS, "a.qxd", "Access to a.qxd was denied."},
        {EDQUOT, "a.qxd", "Disk full while accessing a.qxd."},
        {ENOTDIR, "a.qxd", "a.qxd contains an invalid path."},
        {EXDEV, "a.qxd", "An unexpected error occurred while accessing a.qxd."},
        {0, "a.qxd", "An unknown error occurred while accessing a.qxd."},
        {ENOENT, "", "an unnamed file was not found."},
        {EACCES, "", "Access to an unnamed file was denied."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::FileErrorText(c.error, c.file), c.expected) << c.error;
    }
}

TEST(FileErrorReport, ShownAsAnErrorBox) {
    platform::TestDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    platform::ReportFileError(EACCES);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.LastMessage(), "Access to an unnamed file was denied.");
    EXPECT_EQ(dialogs.Messages()[0].icon, platform::MessageIcon::kError);
    EXPECT_EQ(dialogs.Messages()[0].buttons, platform::MessageButtons::kOk);
}

TEST(IntegerCheck, AcceptsDecimalIntegersOnly) {
    struct Case {
        QString text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"42", 42},
        {"  -7\t", -7},
        {"+3", 3},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"0x10", std::nullopt},
        {"1.5", std::nullopt},
        {QString::fromUtf8("\u0663"), std::nullopt},  // an Arabic-Indic digit
    };
    for (const Case& c : cases) {
        platform::IntegerCheck check = platform::CheckInteger(c.text);
        EXPECT_EQ(check.value, c.value) << c.text.toStdString();
        EXPECT_EQ(check.message, c.value ? "" : "Please enter an integer.") << c.text.toStdString();
    }
}

TEST(IntegerCheck, RangeMessageNamesTheLimits) {
    struct Case {
        QString text;
        int min, max;
        std::optional<int> value;
        QString message;
    };
    const Case cases[] = {
        {"1", 1, 8, 1, ""},
        {"8", 1, 8, 8, ""},
        {"9", 1, 8, std::nullopt, "Please enter an integer between 1 and 8."},
        {"0", 1, 8, std::nullopt, "Please enter an integer between 1 and 8."},
        {"-3", -5, -2, -3, ""},
        {"-1", -5, -2, std::nullopt, "Please enter an integer between -5 and -2."},
        {"abc", 1, 8, std::nullopt, "Please enter an integer."},
        {"500", 0, 300, std::nullopt, "Please enter an integer between 0 and 300."},
    };
    for (const Case& c : cases) {
        platform::IntegerCheck check = platform::CheckIntegerInRange(c.text, c.min, c.max);
        EXPECT_EQ(check.value, c.value) << c.text.toStdString();
        EXPECT_EQ(check.message, c.message) << c.text.toStdString();
    }
}

TEST(IntegerCheck, AtMost) {
    struct Case {
        QString text;
        std::optional<int> value;
        QString message;
    };
    const Case cases[] = {
        {"1000", 1000, ""},
        {"-2147483648", -2147483647 - 1, ""},
        {"1001", std::nullopt, "Please enter an integer no greater than 1000."},
        {"x", std::nullopt, "Please enter an integer."},
    };
    for (const Case& c : cases) {
        platform::IntegerCheck check = platform::CheckIntegerAtMost(c.text, 1000);
        EXPECT_EQ(check.value, c.value) << c.text.toStdString();
        EXPECT_EQ(check.message, c.message) << c.text.toStdString();
    }
}

TEST(IntegerCheck, RefusalShowsAWarningAndReturnsToTheBox) {
    platform::TestDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    QWidget page;
    auto* layout = new QVBoxLayout(&page);
    auto* other = new QLineEdit(&page);
    auto* count = new QLineEdit(&page);
    layout->addWidget(other);
    layout->addWidget(count);
    page.show();
    QApplication::setActiveWindow(&page);
    other->setFocus();

    count->setText("9");
    EXPECT_EQ(platform::ExchangeInteger(count, 1, 8), std::nullopt);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.LastMessage(), "Please enter an integer between 1 and 8.");
    EXPECT_EQ(dialogs.Messages()[0].icon, platform::MessageIcon::kWarning);
    EXPECT_EQ(count->selectedText(), "9");
    EXPECT_TRUE(count->hasFocus());

    count->setText("4");
    EXPECT_EQ(platform::ExchangeInteger(count, 1, 8), 4);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
}

TEST(FileDialogs, FiltersBecomeQtNameFilters) {
    struct Case {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"Quillbox Files (*.qxd)|*.qxd|All Files (*.*)|*.*||",
         {"Quillbox Files (*.qxd *.QXD)", "All Files (*)"}},
        {"CSV Files (*.txt;*.csv)|*.txt; *.csv|All Files (*.*)|*.*||",
         {"CSV Files (*.txt *.TXT *.csv *.CSV)", "All Files (*)"}},
        {"Plain|*.x||", {"Plain (*.x *.X)"}},
        {"Empty|  ||Other|*.o||", {}},  // an empty pattern list is skipped; "||" ends
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ConvertFileFilter(c.filter), c.expected) << c.filter.toStdString();
    }
}

TEST(FileDialogs, DefaultExtensionOnlyWhenNoneTyped) {
    struct Case {
        QString path, extension, expected;
    };
    const Case cases[] = {
        {"/books/home", "qxd", "/books/home.qxd"},
        {"/books/home.txt", "qxd", "/books/home.txt"},
        {"/my.books/home", "qxd", "/my.books/home.qxd"},
        {"home", "csv", "home.csv"},
        {"/books/", "qxd", "/books/"},
        {"/books/home", "", "/books/home"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::AppendDefaultExtension(c.path, c.extension), c.expected);
    }
}

TEST(FileDialogs, TestDialogsAnswerSafelyWhenNothingIsQueued) {
    platform::TestDialogs dialogs;
    using platform::MessageAnswer;
    using platform::MessageButtons;
    const std::pair<MessageButtons, MessageAnswer> cases[] = {
        {MessageButtons::kOk, MessageAnswer::kOk},
        {MessageButtons::kOkCancel, MessageAnswer::kCancel},
        {MessageButtons::kYesNo, MessageAnswer::kNo},
        {MessageButtons::kYesNoCancel, MessageAnswer::kCancel},
    };
    for (const auto& [buttons, answer] : cases) {
        EXPECT_EQ(dialogs.ShowMessage(nullptr, {"?", "", platform::MessageIcon::kNone, buttons}),
                  answer);
    }
    EXPECT_EQ(dialogs.GetOpenFileName(nullptr, {}), std::nullopt);
}

}  // namespace
