// CPropInfo: the five-page editor sheet of one entry, used by Add, Edit and
// Copy.
//
// Pages and their boxes, in tab order (each box's object name is its
// control id, below, so that tests and the window find it):
//   "Addresses" CPropAdd:    First Name, Last Name, M.I., Title, Address 1,
//                            Address 2, City, State, Zip Code, Country
//   "Business"  CPropComp:   Company, Department, Position, Manager,
//                            Additional 1, Additional 2
//   "Phones"    CPropPhone:  Home Phone and its Ext., Work Phone and Ext.,
//                            Pager Phone and Ext., Pager Code, Fax Phone and
//                            Ext., Cellular Phone and Ext.
//   "Online"    CPropOnline: E-Mail 1, E-Mail 2, Web Page 1, Web Page 2
//   "Notes"     CPropNote:   the multi-line box (Enter starts a new line;
//                            line breaks as described in notes_text.h)
//   "More"      CPropMore:   read-only: what the entry holds beyond the 32
//                            fields, in plain words (DescribeExtraData); only
//                            for an entry that has something to show
//
// Each page keeps one string member per box.  The members are put into the
// boxes when the sheet is filled and read back from them on OK; there is no
// validation and no length limit.  The sheet offers only OK and Cancel.
//
// A field whose box still holds exactly the text it was filled with keeps
// its stored bytes on OK, so a text that is not valid UTF-8 (the box shows
// such bytes as replacement characters) survives an edit of other fields.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/field_table.h"
#include "platform/property_sheet.h"

class QPlainTextEdit;

namespace entries {

// Control ids of the editor's boxes.
inline constexpr int kIdFirstName = 1000;
inline constexpr int kIdLastName = 1002;
inline constexpr int kIdAddress1 = 1003;
inline constexpr int kIdAddress2 = 1004;
inline constexpr int kIdCity = 1005;
inline constexpr int kIdState = 1006;
inline constexpr int kIdCountry = 1007;
inline constexpr int kIdHomePhone = 1008;
inline constexpr int kIdZipCode = 1009;
inline constexpr int kIdWorkPhone = 1010;
inline constexpr int kIdEmail1 = 1011;
inline constexpr int kIdPager = 1012;
inline constexpr int kIdEmail2 = 1013;
inline constexpr int kIdPagerCard = 1014;
inline constexpr int kIdWeb1 = 1015;
inline constexpr int kIdFaxPhone = 1016;
inline constexpr int kIdMiddleInitial = 1017;
inline constexpr int kIdWeb2 = 1018;
inline constexpr int kIdCellPhone = 1019;
inline constexpr int kIdTitle = 1020;
inline constexpr int kIdHomeExt = 1021;
inline constexpr int kIdNotes = 1022;
inline constexpr int kIdWorkExt = 1023;
inline constexpr int kIdPagerExt = 1024;
inline constexpr int kIdFaxExt = 1025;
inline constexpr int kIdCellExt = 1026;
inline constexpr int kIdAdditional2 = 1095;
inline constexpr int kIdAdditional1 = 1144;
inline constexpr int kIdCompany = 1162;
inline constexpr int kIdDepartment = 1163;
inline constexpr int kIdPosition = 1164;
inline constexpr int kIdManager = 1165;
// The read-only list of the "More" page.
inline constexpr int kIdExtraData = 1170;

// One box of a page.
struct PageBox {
    int controlId;
    int field;
    const char* label;  // the caption in front of the box (empty: none)
    bool sameRow;       // placed to the right of the previous box
};

class CPropPage : public platform::CPropertyPage {
    Q_OBJECT

public:
    CPropPage(const QString& title, std::span<const PageBox> boxes, QWidget* parent = nullptr);

    std::span<const PageBox> Boxes() const { return m_boxes; }
    bool HasField(int field) const;

    // The string member of `field` (a field of this page).
    QString& Member(int field);
    const QString& Member(int field) const;

    // Members to boxes (`save` false) or boxes to members (`save` true).
    void DoDataExchange(bool save);
    // OK: every box into its member.
    bool OnOK() override;

    // The widget of the box for `field`.
    QWidget* BoxOf(int field) const;

private:
    int Slot(int field) const;

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

// The "More" page: one line per item of the entry's extra data.
class CPropMore final : public platform::CPropertyPage {
    Q_OBJECT

public:
    explicit CPropMore(QWidget* parent = nullptr);

    void SetLines(const std::vector<std::string>& lines);
    // The lines shown.
    QStringList Lines() const;

private:
    QPlainTextEdit* m_pBox;
};

class CPropInfo final : public platform::CPropertySheet {
    Q_OBJECT

public:
    // `captionId`: kStrAddEntryCaption, kStrEditEntryCaption or
    // kStrCopyEntryCaption.
    explicit CPropInfo(int captionId, QWidget* parent = nullptr);

    // Entry to sheet: fields 0..30 as they are, Notes with its "<p>" line
    // breaks shown as lines.  Fills the members and the boxes, and shows the
    // "More" page when the entry holds anything beyond its fields.
    void LoadFromEntry(const addressbook::CAddressEntry& entry);
    // Sheet to entry: the members (as read on OK) into all 32 fields; the
    // entry's extra data is left as it is.
    void StoreToEntry(addressbook::CAddressEntry& entry) const;

    // The member that shows `field`, as a plain text (Notes in the editor's
    // form).  Change it before the sheet is shown, then call UpdateBoxes.
    QString& Member(int field);
    void UpdateBoxes();

    // The five pages of the fields, in tab order.
    std::span<CPropPage* const> Pages() const { return m_pages; }
    // The "More" page after them, or null when the sheet shows none.
    CPropMore* MorePage() const { return m_pMore; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    CPropPage* PageOf(int field) const;

    std::array<CPropPage*, 5> m_pages{};
    CPropMore* m_pMore = nullptr;
    // What LoadFromEntry put into each member, and the stored bytes it came
    // from.
    std::array<QString, addressbook::kFieldCount> m_loadedText;
    std::array<std::string, addressbook::kFieldCount> m_loadedBytes;
    std::array<bool, addressbook::kFieldCount> m_loaded{};
};

}  // namespace entries
