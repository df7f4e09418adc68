// The setting of the entry tests: a real address list view over a
// throwaway settings file, the controller with every command, dialogs
// answered from a script, message boxes and file dialogs answered by
// TestDialogs, URLs recorded instead of opened, and the status texts
// recorded.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addressbook/address_entry.h"
#include "addresslist/address_list_view.h"
#include "clausedb/expr_database.h"
#include "entries/contact_actions.h"
#include "entries/entries_controller.h"
#include "entries/entry_list_ui.h"
#include "platform/app_services.h"
#include "platform/document.h"
#include "platform/profile.h"
#include "platform/test_dialogs.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"

namespace entries::testing {

using Fields = std::vector<std::pair<int, std::string>>;

class RecordingOpener final : public IUrlOpener {
public:
    bool OpenUrl(const QUrl& url) override {
        urls.push_back(url.toString());
        return answer;
    }
    std::vector<QString> urls;
    bool answer = true;
};

// Answers modal dialogs in order.  A step gets the dialog, may fill its
// boxes and press its buttons, and returns the dialog's result.  A dialog
// with no step left is cancelled and counted.
class DialogScript {
public:
    using Step = std::function<int(QDialog&)>;

    // Fills a dialog of type T, then presses OK (its accept()).
    template <class T>
    void Accept(std::function<void(T&)> fill = {}) {
        m_steps.push_back([fill](QDialog& dialog) {
            T* typed = qobject_cast<T*>(&dialog);
            EXPECT_NE(typed, nullptr) << "unexpected dialog " << dialog.objectName().toStdString();
            if (typed == nullptr) {
                return static_cast<int>(QDialog::Rejected);
            }
            if (fill) {
                fill(*typed);
            }
            typed->accept();
            return typed->result();
        });
    }
    // Inspects a dialog of type T, then presses Cancel.
    template <class T>
    void Cancel(std::function<void(T&)> look = {}) {
        m_steps.push_back([look](QDialog& dialog) {
            T* typed = qobject_cast<T*>(&dialog);
            EXPECT_NE(typed, nullptr) << "unexpected dialog " << dialog.objectName().toStdString();
            if (typed != nullptr && look) {
                look(*typed);
            }
            dialog.reject();
            return static_cast<int>(QDialog::Rejected);
        });
    }
    void Then(Step step) { m_steps.push_back(std::move(step)); }

    int Run(QDialog& dialog) {
        ++m_nShown;
        if (m_steps.empty()) {
            ++m_nUnexpected;
            return QDialog::Rejected;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        return step(dialog);
    }

    int Shown() const { return m_nShown; }
    int Unexpected() const { return m_nUnexpected; }
    int Left() const { return static_cast<int>(m_steps.size()); }

private:
    std::deque<Step> m_steps;
    int m_nShown = 0;
    int m_nUnexpected = 0;
};

// A sample vCard file of tests/data/vcard.
inline std::string VCardDataFile(const std::string& name) {
    return std::string(QUILLBOX_TEST_DATA_DIR) + "/vcard/" + name;
}

// How often `needle` occurs in `text`.
inline int CountOf(const std::string& text, const std::string& needle) {
    int n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

inline addressbook::CAddressEntry MakeEntry(const Fields& fields) {
    addressbook::CAddressEntry entry;
    for (const auto& [field, text] : fields) {
        entry.SetField(field, text);
    }
    return entry;
}

class EntriesTest : public ::testing::Test {
protected:
    EntriesTest()
        : m_store(m_folder.File("test.INI")), m_profile(m_store), m_scopedDialogs(m_messages) {
        // Rows stay in the order they were added unless a test sorts.
        Write(settings::kRememberSort, 0);
        platform::SetStatusTextSink([this](int id) { m_status.push_back(id); });
        platform::SetStatusProgressSink(
            [this](int id, int percent) { m_progress.emplace_back(id, percent); });
    }

    ~EntriesTest() override {
        EXPECT_EQ(m_script.Unexpected(), 0) << "a dialog appeared that no step answered";
        platform::SetStatusTextSink({});
        platform::SetStatusProgressSink({});
    }

    // Made on first use, so that settings written before take effect.
    CEntriesController& Controller() {
        if (!m_controller) {
            m_view = std::make_unique<addresslist::CQX32View>(m_store);
            m_list = std::make_unique<CViewEntryListUi>(*m_view);
            m_list->SetBringForwardHandler([this] { ++m_nBroughtForward; });
            m_controller = std::make_unique<CEntriesController>(*m_list, m_profile, &m_document,
                                                                m_db, &m_opener);
            m_controller->SetDialogRunner([this](QDialog& dialog) { return m_script.Run(dialog); });
        }
        return *m_controller;
    }
    IEntryListUi& List() {
        Controller();
        return *m_list;
    }
    addresslist::CQX32View& View() {
        Controller();
        return *m_view;
    }
    // Drops the list and the controller, so that a case starts from nothing
    // with the settings written since.
    void Fresh() {
        m_controller.reset();
        m_list.reset();
        m_view.reset();
        m_messages.Clear();
    }

    // Rows added straight to the list, as loading a book does.
    void AddRows(const std::vector<Fields>& rows) {
        for (const Fields& fields : rows) {
            ASSERT_TRUE(List().AppendEntry(
                std::make_unique<addressbook::CAddressEntry>(MakeEntry(fields))));
        }
    }
    // One row per text, each text in `field`.
    void AddTexts(int field, const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            AddRows({{{field, text}}});
        }
    }
    std::vector<std::string> Column(int field) {
        std::vector<std::string> texts;
        for (int row = 0; row < List().RowCount(); ++row) {
            texts.emplace_back(List().EntryAt(row).GetField(field));
        }
        return texts;
    }

    void Write(const settings::IntSetting& key, int value) {
        m_store.SetInt(key.section, key.key, value);
    }
    void Write(const settings::StringSetting& key, const std::string& value) {
        m_store.SetString(key.section, key.key, value);
    }
    int Read(const settings::IntSetting& key) {
        return m_store.GetInt(key.section, key.key, key.defaultValue);
    }
    // A file of the test's folder.
    std::string File(const std::string& name) { return m_folder.File(name); }
    QString Path(const std::string& name) { return QString::fromStdString(File(name)); }

    testsupport::TempFolder m_folder;
    settings::SettingsStore m_store;
    platform::ProfileOf<settings::SettingsStore> m_profile;
    platform::TestDialogs m_messages;
    platform::ScopedDialogs m_scopedDialogs;
    platform::CDocument m_document;
    clausedb::CExprDatabase m_db;
    RecordingOpener m_opener;
    DialogScript m_script;
    int m_nBroughtForward = 0;
    std::vector<int> m_status;                    // status texts shown, by string number
    std::vector<std::pair<int, int>> m_progress;  // progress shown: string number, percent
    std::unique_ptr<addresslist::CQX32View> m_view;
    std::unique_ptr<CViewEntryListUi> m_list;
    std::unique_ptr<CEntriesController> m_controller;
};

}  // namespace entries::testing
