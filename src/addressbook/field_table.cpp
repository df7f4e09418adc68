#include "addressbook/field_table.h"

namespace addressbook {

const std::array<FieldInfo, kFieldCount> kFields = {{
    {"LastName", "Last Name", "Last Name", "LASTNAME"},
    {"FirstName", "First Name", "First Name", "FIRSTNAME"},
    {"MiddleInitial", "M.I.", "Middle Initial", "MI"},
    {"Title", "Title", "Title", "TITLE"},
    {"Address1", "Address 1", "Address 1", "ADDRESS1"},
    {"Address2", "Address 2", "Address 2", "ADDRESS2"},
    {"City", "City", "City", "CITY"},
    {"Country", "Country", "Country", "COUNTRY"},
    {"State", "State", "State", "STATE"},
    {"ZipCode", "ZipCode", "ZipCode", "ZIPCODE"},
    {"Company", "Company", "Company", "COMPANY"},
    {"Department", "Department", "Department", "DEPARTMENT"},
    {"Position", "Position", "Position", "POSITION"},
    {"Manager", "Manager", "Manager", "MANAGER"},
    {"Additional1", "Additional 1", "Additional 1", "ADDITIONAL1"},
    {"Additional2", "Additional 2", "Additional 2", "ADDITIONAL2"},
    {"HomePhone", "Home Phone", "Home Phone", "HOMEPHONE"},
    {"HomeExt", "Home Ext.", "Home Ext.", "HOMEEXT"},
    {"WorkPhone", "Work Phone", "Work Phone", "WORKPHONE"},
    {"WorkExt", "Work Ext.", "Work Ext.", "WORKEXT"},
    {"CellPhone", "Cell Phone", "Cell Phone", "CELLPHONE"},
    {"CellExt", "Cell Ext.", "Cell Ext.", "CELLEXT"},
    {"Pager", "Pager", "Pager", "PAGER"},
    {"PagerCard", "Pager Card", "Pager Card", "PAGERCARD"},
    {"PagerExt", "Pager Ext.", "Pager Ext.", "PAGEREXT"},
    {"FaxPhone", "Fax Phone", "Fax Phone", "FAXPHONE"},
    {"FaxExt", "Fax Ext.", "Fax Ext.", "FAXEXT"},
    {"Email1", "Email 1", "Email 1", "EMAIL1"},
    {"Email2", "Email 2", "Email 2", "EMAIL2"},
    {"Web1", "Web 1", "Web 1", "WEB1"},
    {"Web2", "Web 2", "Web 2", "WEB2"},
    {"Notes", "Notes", "Notes", "NOTES"},
}};

// Both sections list their keys in the same order: Address1, Address2,
// CellPhone, City, Country, Email1, Email2, FaxPhone, FaxExt, Firstname,
// HomePhone, HomeExt, Lastname, MI, Notes, Pager, PagerCard, PagerExt, State,
// Title, Web1, Web2, WorkPhone, WorkExt, Zip, CellExt, Comp, Dept, Posn, Mgr,
// CAdd1, CAdd2.
namespace {
constexpr std::array<int, kFieldCount> kSettingsKeyOrder = {
    Address1,  Address2,  CellPhone, City,       Country,  Email1,        Email2,      FaxPhone,
    FaxExt,    FirstName, HomePhone, HomeExt,    LastName, MiddleInitial, Notes,       Pager,
    PagerCard, PagerExt,  State,     Title,      Web1,     Web2,          WorkPhone,   WorkExt,
    ZipCode,   CellExt,   Company,   Department, Position, Manager,       Additional1, Additional2,
};

}  // namespace

const std::array<int, kFieldCount> kImportKeyOrder = kSettingsKeyOrder;
const std::array<int, kFieldCount> kExportKeyOrder = kSettingsKeyOrder;

int FieldIndexFromAttribute(std::string_view name) {
    return FieldIndexFromAttribute(name, 0);
}

int FieldIndexFromAttribute(std::string_view name, int hint) {
    if (hint < 0 || hint >= kFieldCount) {
        hint = 0;
    }
    for (int step = 0; step < kFieldCount; ++step) {
        int index = hint + step;
        if (index >= kFieldCount) {
            index -= kFieldCount;
        }
        if (kFields[static_cast<std::size_t>(index)].attribute == name) {
            return index;
        }
    }
    return -1;
}

}  // namespace addressbook
