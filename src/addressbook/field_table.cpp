#include "addressbook/field_table.h"

namespace addressbook {

const std::array<FieldInfo, kFieldCount> kFields = {{
    {"LastName", "Last Name", "Last Name", "ImportLastname", "ExportLastname", "LASTNAME"},
    {"FirstName", "First Name", "First Name", "ImportFirstname", "ExportFirstname", "FIRSTNAME"},
    {"MiddleInitial", "M.I.", "Middle Initial", "ImportMI", "ExportMI", "MI"},
    {"Title", "Title", "Title", "ImportTitle", "ExportTitle", "TITLE"},
    {"Address1", "Address 1", "Address 1", "ImportAddress1", "ExportAddress1", "ADDRESS1"},
    {"Address2", "Address 2", "Address 2", "ImportAddress2", "ExportAddress2", "ADDRESS2"},
    {"City", "City", "City", "ImportCity", "ExportCity", "CITY"},
    {"Country", "Country", "Country", "ImportCountry", "ExportCountry", "COUNTRY"},
    {"State", "State", "State", "ImportState", "ExportState", "STATE"},
    {"ZipCode", "ZipCode", "ZipCode", "ImportZip", "ExportZip", "ZIPCODE"},
    {"Company", "Company", "Company", "ImportComp", "ExportComp", "COMPANY"},
    {"Department", "Department", "Department", "ImportDept", "ExportDept", "DEPARTMENT"},
    {"Position", "Position", "Position", "ImportPosn", "ExportPosn", "POSITION"},
    {"Manager", "Manager", "Manager", "ImportMgr", "ExportMgr", "MANAGER"},
    {"Additional1", "Additional 1", "Additional 1", "ImportCAdd1", "ExportCAdd1", "ADDITIONAL1"},
    {"Additional2", "Additional 2", "Additional 2", "ImportCAdd2", "ExportCAdd2", "ADDITIONAL2"},
    {"HomePhone", "Home Phone", "Home Phone", "ImportHomePhone", "ExportHomePhone", "HOMEPHONE"},
    {"HomeExt", "Home Ext.", "Home Ext.", "ImportHomeExt", "ExportHomeExt", "HOMEEXT"},
    {"WorkPhone", "Work Phone", "Work Phone", "ImportWorkPhone", "ExportWorkPhone", "WORKPHONE"},
    {"WorkExt", "Work Ext.", "Work Ext.", "ImportWorkExt", "ExportWorkExt", "WORKEXT"},
    {"CellPhone", "Cell Phone", "Cell Phone", "ImportCellPhone", "ExportCellPhone", "CELLPHONE"},
    {"CellExt", "Cell Ext.", "Cell Ext.", "ImportCellExt", "ExportCellExt", "CELLEXT"},
    {"Pager", "Pager", "Pager", "ImportPager", "ExportPager", "PAGER"},
    {"PagerCard", "Pager Card", "Pager Card", "ImportPagerCard", "ExportPagerCard", "PAGERCARD"},
    {"PagerExt", "Pager Ext.", "Pager Ext.", "ImportPagerExt", "ExportPagerExt", "PAGEREXT"},
    {"FaxPhone", "Fax Phone", "Fax Phone", "ImportFaxPhone", "ExportFaxPhone", "FAXPHONE"},
    {"FaxExt", "Fax Ext.", "Fax Ext.", "ImportFaxExt", "ExportFaxExt", "FAXEXT"},
    {"Email1", "Email 1", "Email 1", "ImportEmail1", "ExportEmail1", "EMAIL1"},
    {"Email2", "Email 2", "Email 2", "ImportEmail2", "ExportEmail2", "EMAIL2"},
    {"Web1", "Web 1", "Web 1", "ImportWeb1", "ExportWeb1", "WEB1"},
    {"Web2", "Web 2", "Web 2", "ImportWeb2", "ExportWeb2", "WEB2"},
    {"Notes", "Notes", "Notes", "ImportNotes", "ExportNotes", "NOTES"},
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
