// FindHistory: the recent search strings, newest first, at most ten, with no
// two equal (exact, case-sensitive comparison).  Never saved.
//
// The toolbar's quick-find box shows the same strings in the same order:
// every change to the history is applied to a mirror at the same index, so
// the box never has to be refilled.  ComboHistoryMirror mirrors into a
// QComboBox.
#pragma once

#include <QComboBox>
#include <QPointer>
#include <QString>
#include <QStringList>

namespace entries {

class IFindHistoryMirror {
public:
    virtual ~IFindHistoryMirror() = default;
    virtual void InsertItem(int index, const QString& text) = 0;
    virtual void RemoveItem(int index) = 0;
    // Makes item `index` the current one (its text shows in the box).
    virtual void SelectItem(int index) = 0;
    // Shows `text` in the box's edit field (the Find command's text).
    virtual void SetEditText(const QString& text) = 0;
};

class FindHistory {
public:
    static constexpr int kMaxItems = 10;

    const QStringList& Items() const { return m_items; }
    int Count() const { return static_cast<int>(m_items.size()); }

    // The mirror (not owned; null for none).  It should hold the current
    // items already.
    void SetMirror(IFindHistoryMirror* mirror) { m_pMirror = mirror; }
    IFindHistoryMirror* Mirror() const { return m_pMirror; }

    // An empty text is ignored.  A text already present moves to the front
    // (the mirror deletes its item and inserts it at 0, selected).  A new
    // text goes to the front; with ten texts already, the oldest one is
    // dropped first (the mirror deletes item 9).
    void Add(const QString& text);

private:
    QStringList m_items;
    IFindHistoryMirror* m_pMirror = nullptr;
};

class ComboHistoryMirror final : public IFindHistoryMirror {
public:
    explicit ComboHistoryMirror(QComboBox* combo) : m_pCombo(combo) {}
    void InsertItem(int index, const QString& text) override;
    void RemoveItem(int index) override;
    void SelectItem(int index) override;
    void SetEditText(const QString& text) override;

private:
    QPointer<QComboBox> m_pCombo;
};

}  // namespace entries
