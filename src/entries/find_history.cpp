#include "entries/find_history.h"

#include <QComboBox>

namespace entries {

void FindHistory::Add(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    const auto index = m_items.indexOf(text);
    if (index >= 0) {
        m_items.removeAt(index);
        m_items.prepend(text);
        if (m_pMirror != nullptr) {
            m_pMirror->RemoveItem(static_cast<int>(index));
            m_pMirror->InsertItem(0, text);
            m_pMirror->SelectItem(0);
        }
        return;
    }
    if (m_items.size() >= kMaxItems) {
        m_items.removeLast();
        if (m_pMirror != nullptr) {
            m_pMirror->RemoveItem(kMaxItems - 1);
        }
    }
    m_items.prepend(text);
    if (m_pMirror != nullptr) {
        m_pMirror->InsertItem(0, text);
    }
}

void ComboHistoryMirror::InsertItem(int index, const QString& text) {
    if (m_pCombo) {
        // Keep what the user is typing: inserting into an editable combo box
        // may replace the edit text.
        const QString editText = m_pCombo->currentText();
        m_pCombo->insertItem(index, text);
        if (m_pCombo->isEditable()) {
            m_pCombo->setEditText(editText);
        }
    }
}

void ComboHistoryMirror::RemoveItem(int index) {
    if (m_pCombo) {
        const QString editText = m_pCombo->currentText();
        m_pCombo->removeItem(index);
        if (m_pCombo->isEditable()) {
            m_pCombo->setEditText(editText);
        }
    }
}

void ComboHistoryMirror::SelectItem(int index) {
    if (m_pCombo) {
        m_pCombo->setCurrentIndex(index);
    }
}

void ComboHistoryMirror::SetEditText(const QString& text) {
    if (m_pCombo && m_pCombo->isEditable()) {
        m_pCombo->setEditText(text);
    }
}

}  // namespace entries
