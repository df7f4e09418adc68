#include <gtest/gtest.h>

#include <set>

#include "addressbook/field_table.h"

namespace addressbook {
namespace {

TEST(FieldTable, IrregularNamesAreExact) {
    struct Row {
        int index;
        std::string_view attribute, label, selectLabel, importKey, exportKey, header;
    };
    const Row rows[] = {
        {0, "LastName", "Last Name", "Last Name", "ImportLastname", "ExportLastname", "LASTNAME"},
        {2, "MiddleInitial", "M.I.", "Middle Initial", "ImportMI", "ExportMI", "MI"},
        {9, "ZipCode", "ZipCode", "ZipCode", "ImportZip", "ExportZip", "ZIPCODE"},
        {14, "Additional1", "Additional 1", "Additional 1", "ImportCAdd1", "ExportCAdd1",
         "ADDITIONAL1"},
        {17, "HomeExt", "Home Ext.", "Home Ext.", "ImportHomeExt", "ExportHomeExt", "HOMEEXT"},
        {31, "Notes", "Notes", "Notes", "ImportNotes", "ExportNotes", "NOTES"},
    };
    for (const Row& row : rows) {
        const FieldInfo& field = FieldAt(row.index);
        EXPECT_EQ(field.attribute, row.attribute);
        EXPECT_EQ(field.label, row.label) << row.attribute;
        EXPECT_EQ(field.selectLabel, row.selectLabel) << row.attribute;
        EXPECT_EQ(field.importKey, row.importKey) << row.attribute;
        EXPECT_EQ(field.exportKey, row.exportKey) << row.attribute;
        EXPECT_EQ(field.header, row.header) << row.attribute;
        EXPECT_EQ(FieldIndexFromAttribute(row.attribute, 31 - row.index), row.index);
    }
    EXPECT_EQ(FieldIndexFromAttribute("lastname"), -1);  // case-sensitive
    EXPECT_EQ(FieldIndexFromAttribute("Last Name"), -1);
}

// The key order lists every key once; both sections share the key stems.
// Labels and attributes are unique, since fields are found by them.
TEST(FieldTable, KeyOrderAndUniqueNames) {
    const char* const stems[kFieldCount] = {
        "Address1", "Address2",  "CellPhone", "City",      "Country", "Email1",   "Email2",
        "FaxPhone", "FaxExt",    "Firstname", "HomePhone", "HomeExt", "Lastname", "MI",
        "Notes",    "Pager",     "PagerCard", "PagerExt",  "State",   "Title",    "Web1",
        "Web2",     "WorkPhone", "WorkExt",   "Zip",       "CellExt", "Comp",     "Dept",
        "Posn",     "Mgr",       "CAdd1",     "CAdd2"};
    std::set<std::string_view> labels, attributes;
    for (int k = 0; k < kFieldCount; ++k) {
        EXPECT_EQ(FieldAt(kImportKeyOrder[k]).importKey, "Import" + std::string(stems[k]));
        EXPECT_EQ(FieldAt(kExportKeyOrder[k]).exportKey, "Export" + std::string(stems[k]));
        labels.insert(FieldAt(k).label);
        attributes.insert(FieldAt(k).attribute);
    }
    EXPECT_EQ(labels.size(), 32u);
    EXPECT_EQ(attributes.size(), 32u);
}

}  // namespace
}  // namespace addressbook
