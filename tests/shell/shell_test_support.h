// Helpers for the window tests: a throwaway folder with its own settings
// file, generated books, and the dialogs seam answered in advance.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <string>

#include "addressbook/book_file.h"
#include "addressbook/field_table.h"
#include "addressbook/vector_address_list.h"
#include "clausedb/expr_database.h"
#include "platform/test_dialogs.h"
#include "settings/settings_store.h"
#include "shell/main_frame.h"
#include "shell/qx32_app.h"

QT_BEGIN_NAMESPACE
// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace shell::testing {

// Writes a book of `count` entries, "Name <n>" in Last Name and a city, to
// `path`.
inline bool WriteGeneratedBook(const QString& path, int count) {
    addressbook::VectorAddressList list;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<addressbook::CAddressEntry>();
        entry->SetField(0, "Name " + std::to_string(i));
        entry->SetField(1, "First");
        entry->SetField(6, i % 2 == 0 ? "Springfield" : "Shelbyville");
        list.AppendEntry(std::move(entry));
    }
    clausedb::CExprDatabase db;
    return addressbook::SaveBook(list, db, QFile::encodeName(path).toStdString());
}

inline bool WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// A folder with a settings file named by QUILLBOX_INI, and test dialogs
// installed for the fixture's lifetime.
class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_strIni = m_dir.filePath("quillbox.INI");
        qputenv("QUILLBOX_INI", QFile::encodeName(m_strIni));
        m_settings = std::make_unique<settings::SettingsStore>(m_strIni.toStdString());
        m_scoped = std::make_unique<platform::ScopedDialogs>(m_dialogs);
    }
    void TearDown() override {
        m_scoped.reset();
        qunsetenv("QUILLBOX_INI");
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    settings::SettingsStore& Settings() { return *m_settings; }
    std::string Setting(const char* section, const char* key) {
        return m_settings->GetString(section, key, "<absent>");
    }

    QTemporaryDir m_dir;
    QString m_strIni;
    std::unique_ptr<settings::SettingsStore> m_settings;
    platform::TestDialogs m_dialogs;
    std::unique_ptr<platform::ScopedDialogs> m_scoped;
};

// The whole program, started over the fixture's folder without registering
// the file type.
class AppFixture : public ShellFixture {
protected:
    void TearDown() override {
        m_app.reset();
        ShellFixture::TearDown();
    }
    // Starts the program with `arguments` after the program name.
    bool Start(const QStringList& arguments = {}) {
        m_app = std::make_unique<CQX32App>(
            AppOptions{.programPath = Path("quillbox"), .registerFileType = false});
        return m_app->InitInstance(QStringList{"quillbox"} + arguments);
    }
    CMainFrame* Frame() { return m_app->MainFrame(); }
    bool Run(int id) { return Frame()->Router().Execute(id); }

    std::unique_ptr<CQX32App> m_app;
};

}  // namespace shell::testing
