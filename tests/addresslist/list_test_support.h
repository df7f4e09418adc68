// Helpers shared by the address list tests: a throwaway settings file,
// entries built from a few fields, a fixed test font and raw mouse events.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <QWidget>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addressbook/address_entry.h"
#include "addresslist/address_list_model.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"

namespace addresslist::testing {

// A settings file of its own in a temporary folder.
class TempSettings {
public:
    TempSettings() : m_store(m_folder.File("test.INI")) {}
    settings::SettingsStore& Store() { return m_store; }

private:
    testsupport::TempFolder m_folder;
    settings::SettingsStore m_store;
};

inline std::unique_ptr<addressbook::CAddressEntry> MakeEntry(
    const std::vector<std::pair<int, std::string>>& fields) {
    auto entry = std::make_unique<addressbook::CAddressEntry>();
    for (const auto& [field, text] : fields) {
        entry->SetField(field, text);
    }
    return entry;
}

// Appends one row per text, each text in `field`.
inline void AppendTexts(AddressListModel& model, int field, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        ASSERT_TRUE(model.AppendEntry(MakeEntry({{field, text}})));
    }
}

// The texts of `field` in row order.
inline std::vector<std::string> FieldColumn(const AddressListModel& model, int field) {
    std::vector<std::string> texts;
    for (int row = 0; row < model.RowCount(); ++row) {
        texts.emplace_back(model.EntryAt(row).GetField(field));
    }
    return texts;
}

// A monospaced font with a fixed pixel size, so that widths are known.
inline QFont TestFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::Monospace);
    return font;
}

// Mouse events sent straight to a widget, with the held buttons given.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void Press(QWidget* target, QPoint pos) {
    SendMouse(target, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}
inline void DragTo(QWidget* target, QPoint pos) {
    SendMouse(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
}
inline void HoverTo(QWidget* target, QPoint pos) {
    SendMouse(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}
inline void Release(QWidget* target, QPoint pos) {
    SendMouse(target, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

}  // namespace addresslist::testing
