// CPropInfo: the five-page editor sheet of one entry, used by Add, Edit and
// Copy.
//
// Pages and their boxes, in tab order (the number is the box's control id
// and its object name, so that tests and the window find it):
//   "Addresses" CPropAdd:    First Name 1000, Last Name 1002, M.I. 1017,
//                            Title 1020, Address 1 1003, Address 2 1004,
//                            City 1005, State 1006, Zip Code 1009,
//                            Country 1007
//   "Business"  CPropComp:   Company 1162, Department 1163, Position 1164,
//                            Manager 1165, Additional 1 1144,
//                            Additional 2 1095
//   "Phones"    CPropPhone:  Home Phone 1008 / Ext. 1021, Work Phone 1010 /
//                            1023, Pager Phone 1012 / 1024, Pager Code 1014,
//                            Fax Phone 1016 / 1025, Cellular Phone 1019 /
//                            1026
//   "Online"    CPropOnline: E-Mail 1 1011, E-Mail 2 1013, Web Page 1 1015,
//                            Web Page 2 1018
//   "Notes"     CPropNote:   the multi-line box 1022 (Enter starts a new
//                            line; line breaks as described in notes_text.h)
//
// Each page keeps one string member per box.  The members are put into the
// boxes when the sheet is filled and read back from them on OK; there is no
// validation and no length limit.  The sheet offers only OK and Cancel.
//
// A field whose box still holds exactly the text it was filled with keeps
// its stored bytes on OK, so a text that is not valid UTF-8 (the box shows
// such bytes as replacement characters) survives an edit of other fields.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/field_table.h"

class QDialogButtonBox;
class QTabWidget;

namespace entries {

// One box of a page.
struct PageBox {
    int controlId;
    int field;
    const char* label;  // the caption in front of the box (empty: none)
    bool sameRow;       // placed to the right of the previous box
};

class CPropPage : public QWidget {
    Q_OBJECT

public:
    CPropPage(const QString& caption, std::span<const PageBox> boxes, QWidget* parent = nullptr);

    const QString& Caption() const { return m_strCaption; }
    std::span<const PageBox> Boxes() const { return m_boxes; }
    bool HasField(int field) const;

    // The string member of `field` (a field of this page).
    QString& Member(int field);
    const QString& Member(int field) const;

    // Members to boxes (`save` false) or boxes to members (`save` true).
    void DoDataExchange(bool save);

    // The widget of the box for `field`.
    QWidget* BoxOf(int field) const;

private:
    int Slot(int field) const;

    QString m_strCaption;
    std::span<const PageBox> m_boxes;
    std::vector<QString> m_members;
    std::vector<QWidget*> m_widgets;
};

class CPropAdd final : public CPropPage {
    Q_OBJECT
public:
    explicit CPropAdd(QWidget* parent = nullptr);
};
class CPropComp final : public CPropPage {
    Q_OBJECT
public:
    explicit CPropComp(QWidget* parent = nullptr);
};
class CPropPhone final : public CPropPage {
    Q_OBJECT
public:
    explicit CPropPhone(QWidget* parent = nullptr);
};
class CPropOnline final : public CPropPage {
    Q_OBJECT
public:
    explicit CPropOnline(QWidget* parent = nullptr);
};
class CPropNote final : public CPropPage {
    Q_OBJECT
public:
    explicit CPropNote(QWidget* parent = nullptr);
};

class CPropInfo final : public QDialog {
    Q_OBJECT

public:
    // `captionId`: string 174 (Add), 175 (Edit) or 176 (Copy).
    explicit CPropInfo(int captionId, QWidget* parent = nullptr);

    // Entry to sheet: fields 0..30 as they are, Notes with its "<p>" line
    // breaks shown as lines.  Fills the members and the boxes.
    void LoadFromEntry(const addressbook::CAddressEntry& entry);
    // Sheet to entry: the members (as read on OK) into all 32 fields.
    void StoreToEntry(addressbook::CAddressEntry& entry) const;

    // The member that shows `field`, as a plain text (Notes in the editor's
    // form).  Change it before the sheet is shown, then call UpdateBoxes.
    QString& Member(int field);
    void UpdateBoxes();

    // The pages in tab order.
    std::span<CPropPage* const> Pages() const { return m_pages; }
    QTabWidget* Tabs() const { return m_pTabs; }
    QDialogButtonBox* Buttons() const { return m_pButtons; }

public slots:
    // OK: reads every box into its member, then closes.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    CPropPage* PageOf(int field) const;

    QTabWidget* m_pTabs = nullptr;
    QDialogButtonBox* m_pButtons = nullptr;
    std::array<CPropPage*, 5> m_pages{};
    // What LoadFromEntry put into each member, and the stored bytes it came
    // from.
    std::array<QString, addressbook::kFieldCount> m_loadedText;
    std::array<std::string, addressbook::kFieldCount> m_loadedBytes;
    std::array<bool, addressbook::kFieldCount> m_loaded{};
};

}  // namespace entries
