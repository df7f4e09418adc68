#include "addressbook/vcard_mapping.h"

#include <gtest/gtest.h>

#include "addressbook/entry_identity.h"
#include "addressbook/extra_description.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "addressbook/vector_address_list.h"
#include "test_support.h"

namespace addressbook {
namespace {

using testing::Describe;

// The entry of one card, given its lines between BEGIN and END.
CAddressEntry Imported(const std::string& version, const std::vector<std::string>& lines,
                       VCardImportReport* report = nullptr) {
    std::string text = "BEGIN:VCARD\r\nVERSION:" + version + "\r\nUID:u\r\n";
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    text += "END:VCARD\r\n";
    StagedEntries staged;
    VCardImportReport own;
    EXPECT_EQ(ImportVCardEntriesFromBytes(text, staged, report ? *report : own), 1) << text;
    return staged.entries.empty() ? CAddressEntry() : *staged.entries.front();
}

struct MappingCase {
    const char* version;
    std::vector<std::string> card;
    std::vector<std::string> entry;  // UID=u left out
};

// The fields in field order, the UID, then the extra data in its order.
void Check(const MappingCase& c) {
    std::vector<std::string> expected;
    std::vector<std::string> extra = {"UID=u"};
    for (const std::string& line : c.entry) {
        (line.rfind("vCard", 0) == 0 ? extra : expected).push_back(line);
    }
    expected.insert(expected.end(), extra.begin(), extra.end());
    EXPECT_EQ(Describe(Imported(c.version, c.card)), expected) << ::testing::PrintToString(c.card);
}

// Names and organizations, phones by type with extensions, then addresses,
// mail, web, notes and managers.
TEST(VCardMapping, CardsGiveTheirFields) {
    const MappingCase cases[] = {
        {"3.0",
         {"N:Doe;John;Q.;Dr.;", "FN:Dr. John Q. Doe", "ORG:Acme;Sales", "TITLE:Boss"},
         {"LastName=Doe", "FirstName=John", "MiddleInitial=Q.", "Title=Dr.", "Company=Acme",
          "Department=Sales", "Position=Boss"}},
        // The suffix and further units stay in the forms; FN names its fields.
        {"3.0",
         {"N:Doe;John;;;Jr.", "FN:John Doe\\, Jr.", "ORG:Acme;Sales;West"},
         {"LastName=Doe", "FirstName=John", "Company=Acme", "Department=Sales",
          "vCardForm=FN:{FirstName} {LastName}\\, Jr.",
          "vCardForm=N:{LastName};{FirstName};{MiddleInitial};{Title};Jr.",
          "vCardForm=ORG:{Company};{Department};West"}},
        // Without N: FN is the last name, unless it repeats the company.
        {"2.1", {"FN:Cher"}, {"LastName=Cher"}},
        {"3.0", {"FN:Acme", "ORG:Acme"}, {"Company=Acme"}},
        {"3.0", {"N:;;;;", "FN:Jane Roe", "ORG:Acme"}, {"LastName=Jane Roe", "Company=Acme"}},
        {"4.0", {"FN:a@b.org", "EMAIL:a@b.org"}, {"Email1=a@b.org"}},
        // A display name of its own, kept as a form without fields.
        {"3.0",
         {"N:Doe;Jane;;;", "FN:Mom"},
         {"LastName=Doe", "FirstName=Jane", "vCardForm=FN:Mom"}},
        // Several values of a component are one text; escapes are read.
        {"3.0", {"N:O\\;Brien;Ann,Marie"}, {"LastName=O;Brien", "FirstName=Ann,Marie"}},
        {"2.1",
         {"TEL;WORK;VOICE:555-0100 x12", "TEL;HOME:555-0101", "TEL;CELL:555-0102",
          "TEL;PAGER:555-0103", "TEL;WORK;FAX:555-0104"},
         {"HomePhone=555-0101", "WorkPhone=555-0100", "WorkExt=12", "CellPhone=555-0102",
          "Pager=555-0103", "FaxPhone=555-0104", "vCardForm=TEL;TYPE=WORK;TYPE=FAX:{FaxPhone}"}},
        {"4.0",
         {"TEL;VALUE=uri;TYPE=work,voice:tel:+1-555-0100;ext=7",
          "TEL;TYPE=cell:tel:+1-555-0199;phone-context=x"},
         {"WorkPhone=+1-555-0100", "WorkExt=7", "CellPhone=+1-555-0199",
          "vCardForm=TEL;TYPE=cell:tel:{CellPhone};phone-context=x"}},
        // Other ways of writing an extension; a second home phone is extra.
        {"3.0",
         {"TEL;TYPE=HOME:555 0100 ext. 44", "TEL;TYPE=HOME:555 0200", "TEL:555 0300",
          "TEL;TYPE=WORK:Box 5"},
         {"HomePhone=555 0100", "HomeExt=44", "WorkPhone=Box 5",
          "vCardForm=TEL;TYPE=HOME:{HomePhone} ext. {HomeExt}", "vCard=TEL;TYPE=HOME:555 0200",
          "vCard=TEL:555 0300"}},
        // Untyped goes home when home is free; typed ones come first.
        {"3.0",
         {"TEL:111", "TEL;TYPE=HOME,VOICE:222", "TEL;TYPE=IPHONE:333"},
         {"HomePhone=222", "CellPhone=333", "vCardForm=TEL;TYPE=IPHONE:{CellPhone}",
          "vCard=TEL:111"}},
        {"3.0",
         {"ADR;TYPE=WORK:;;1 Work Rd;Oslo;;;NO", "ADR:;;2 Plain St;Rome;;;IT",
          "ADR;TYPE=HOME:;;3 Home Ave\\nFlat 4;Paris;IDF;75001;FR"},
         {"Address1=3 Home Ave", "Address2=Flat 4", "City=Paris", "Country=FR", "State=IDF",
          "ZipCode=75001", "vCard=ADR;TYPE=WORK:;;1 Work Rd;Oslo;;;NO",
          "vCard=ADR:;;2 Plain St;Rome;;;IT"}},
        {"3.0",
         {"ADR:PO Box 9;Suite 1;5 Main St;Bonn;;;DE"},
         {"Address1=5 Main St", "Address2=Suite 1", "City=Bonn", "Country=DE",
          "vCardForm=ADR:PO Box 9;{Address2};{Address1};{City};{State};{ZipCode};{Country}"}},
        // The preferred addresses come first; the third is extra.
        {"3.0",
         {"EMAIL;TYPE=INTERNET:a@x.org", "EMAIL;TYPE=INTERNET:b@x.org",
          "EMAIL;TYPE=INTERNET,PREF:c@x.org", "URL:http://one", "URL:http://two",
          "URL:http://three"},
         {"Email1=c@x.org", "Email2=a@x.org", "Web1=http://one", "Web2=http://two",
          "vCardForm=EMAIL;TYPE=INTERNET,PREF:{Email1}", "vCard=EMAIL;TYPE=INTERNET:b@x.org",
          "vCard=URL:http://three"}},
        {"3.0",
         {"NOTE:one\\ntwo\\, three", "TITLE:", "NOTE:again"},
         {"Notes=one<p>two, three", "vCard=NOTE:again"}},
        {"3.0",
         {"item2.X-ABRELATEDNAMES:Big Boss", "item2.X-ABLabel:_$!<Manager>!$_",
          "X-EVOLUTION-ASSISTANT:Helper", "X-MS-MANAGER:Second"},
         {"Manager=Big Boss", "vCardForm=item2.X-ABRELATEDNAMES:{Manager}",
          "vCard=item2.X-ABLabel:_$!<Manager>!$_", "vCard=X-EVOLUTION-ASSISTANT:Helper",
          "vCard=X-MS-MANAGER:Second"}},
        {"3.0",
         {"X-ANDROID-CUSTOM:vnd.android.cursor.item/relation;Chief;7;;;;;;;;;;;;;"},
         {"Manager=Chief",
          "vCardForm=X-ANDROID-CUSTOM:vnd.android.cursor.item/relation;{Manager};7;;;;;;;;;;;;;"}},
        {"3.0",
         {"X-QUILLBOX-ADDITIONAL1:one", "X-QUILLBOX-ADDITIONAL2:two", "X-QUILLBOX-PAGERCARD:3",
          "X-KADDRESSBOOK-X-ManagersName:M"},
         {"Manager=M", "Additional1=one", "Additional2=two", "PagerCard=3",
          "vCardForm=X-KADDRESSBOOK-X-ManagersName:{Manager}"}},
    };
    for (const MappingCase& c : cases) {
        Check(c);
    }
}

// Cases the fuzzer found: the entry of a card must come back the same from
// the card the export writes of it.
TEST(VCardMapping, ExportOfAnImportedCardGivesTheSameEntry) {
    const std::vector<std::string> cards[] = {
        {"URL:http\\\\\\://x", "URL:a\\,b"},           // backslashes in web addresses
        {"TEL:5\\, x12", "TEL;TYPE=WORK:5;6 ext. 7"},  // an escaped comma before "x"
        {"ADR:pobox\\"},                               // a lone backslash at the end
        {"NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=X-UNKNOWN:=E9="},
    };
    for (const std::vector<std::string>& card : cards) {
        const CAddressEntry entry = Imported("3.0", card);
        StagedEntries staged;
        VCardImportReport report;
        ASSERT_EQ(
            ImportVCardEntriesFromBytes(VCardText(entry, vcard::Version::V30, ""), staged, report),
            1);
        EXPECT_EQ(Describe(*staged.entries.front()), Describe(entry))
            << ::testing::PrintToString(card);
    }
}

TEST(VCardMapping, ExportWritesTheFieldsInEachVersion) {
    CAddressEntry entry;
    const std::pair<int, const char*> fields[] = {
        {LastName, "Doe"},      {FirstName, "Jane"},    {Company, "A, B; C"},
        {Address1, "1 Main"},   {Address2, "Flat 2"},   {City, "Oslo"},
        {HomePhone, "+47-555"}, {HomeExt, "12"},        {CellPhone, "(555) 01 02"},
        {Email1, "j@x.org"},    {Web1, "http://x/a,b"}, {Notes, "one<p>two"},
        {Manager, "Boss"},      {PagerCard, "c"},       {Additional2, "z"},
    };
    for (const auto& [field, text] : fields) {
        entry.SetField(field, text);
    }
    std::vector<std::string> lines;
    vcard::CardLines(entry, vcard::Version::V30, "urn:uuid:1", lines);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "BEGIN:VCARD", "VERSION:3.0", "PRODID:-//Quillbox//Quillbox//EN",
                  "UID:urn:uuid:1", "FN:Jane Doe", "N:Doe;Jane;;;", "ORG:A\\, B\\; C",
                  "X-MANAGER:Boss", "ADR;TYPE=HOME:;;1 Main\\nFlat 2;Oslo;;;",
                  "TEL;TYPE=HOME,VOICE:+47-555 x12", "TEL;TYPE=CELL,VOICE:(555) 01 02",
                  "X-QUILLBOX-PAGERCARD:c", "EMAIL;TYPE=INTERNET:j@x.org", "URL:http://x/a,b",
                  "NOTE:one\\ntwo", "X-QUILLBOX-ADDITIONAL2:z", "END:VCARD"}));
    lines.clear();
    vcard::CardLines(entry, vcard::Version::V40, "urn:uuid:1", lines);
    EXPECT_EQ(lines[1], "VERSION:4.0");
    EXPECT_EQ(lines[9], "TEL;VALUE=uri;TYPE=home,voice:tel:+47-555;ext=12");
    EXPECT_EQ(lines[10], "TEL;TYPE=cell,voice:(555) 01 02");  // no URI with blanks
    EXPECT_EQ(lines[12], "EMAIL:j@x.org");

    // Folding, and the name of an entry without one: N stays out of 4.0.
    CAddressEntry company;
    company.SetField(Company, std::string(100, 'c'));
    const std::string text = VCardText(company, vcard::Version::V40, "u");
    EXPECT_NE(text.find("FN:" + std::string(72, 'c') + "\r\n " + std::string(28, 'c') + "\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("\r\nN:"), std::string::npos);
    EXPECT_NE(VCardText(company, vcard::Version::V30, "u").find("\r\nN:;;;;\r\n"),
              std::string::npos);
}

TEST(VCardMapping, FormsFollowEditedFieldsAndGiveWayWhenIncomplete) {
    CAddressEntry entry = Imported("3.0", {"N:Doe;John;;;Jr.", "FN:Dr. John Doe Jr.",
                                           "item1.TEL;TYPE=HOME:555", "item1.X-ABLabel:Main"});
    entry.SetField(FirstName, "Jim");
    entry.SetField(Title, "Prof.");
    std::vector<std::string> lines;
    vcard::CardLines(entry, vcard::Version::V30, "", lines);
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("N:Doe;Jim;;Prof.;Jr.")) << ::testing::PrintToString(lines);
    EXPECT_TRUE(has("FN:Dr. Jim Doe Jr."));  // "Dr." was not the title when imported
    EXPECT_TRUE(has("item1.TEL;TYPE=HOME:555"));
    // The form has no place for an extension: the phone is written plainly.
    entry.SetField(HomeExt, "9");
    lines.clear();
    vcard::CardLines(entry, vcard::Version::V30, "", lines);
    EXPECT_TRUE(has("TEL;TYPE=HOME,VOICE:555 x9"));
    EXPECT_FALSE(has("item1.TEL;TYPE=HOME:555"));
}

TEST(VCardMapping, ReportSaysWhatWasKeptAndSkipped) {
    StagedEntries staged;
    VCardImportReport report;
    const std::string cards =
        "BEGIN:VCARD\nVERSION:3.0\nN:A;;;;Sr.\nBDAY:1980-04-01\nPHOTO;ENCODING=b:AAAA\n"
        "EMAIL:1@x\nEMAIL:2@x\nEMAIL:3@x\nEND:VCARD\n"
        "BEGIN:VCARD\nFN:B\nBDAY:2000-01-01\nbroken line\nEND:VCARD\n"
        "BEGIN:VCARD\nFN:C\n";
    EXPECT_EQ(ImportVCardEntriesFromBytes(cards, staged, report), 2);
    EXPECT_EQ(ImportReportText(report, "f.vcf"),
              "2 addresses imported. Kept as extra data: BDAY 2, PHOTO 1, a name suffix 1, a "
              "third e-mail 1. Skipped: 1 card (line 15, no END:VCARD), 1 line (line 13, no "
              "colon).");
    EXPECT_EQ(ImportVCardEntriesFromBytes("no cards\n", staged, report), 0);
    EXPECT_EQ(ImportReportText(report, "f.vcf"),
              "No contacts found in f.vcf. Ignored: 1 line outside any card.");
    EXPECT_TRUE(staged.entries.empty());
}

TEST(VCardMapping, DescribesTheExtraDataInWords) {
    const CAddressEntry entry = Imported(
        "3.0", {"N:Doe;Jo;;;Jr.", "BDAY:1980-04-01", "NICKNAME:Jo,JD",
                "PHOTO;ENCODING=b;TYPE=JPEG:" + std::string(16384, 'A'), "EMAIL:1@x", "EMAIL:2@x",
                "item3.EMAIL:third@x.org", "item3.X-ABLabel:Office", "CATEGORIES:Friends,Work",
                "X-CUSTOM:" + std::string(120, 'x'), "FN;CHARSET=KOI8-R:\xF0"});
    EXPECT_EQ(DescribeExtraData(entry),
              (std::vector<std::string>{
                  "Name suffix: Jr.", "Birthday: 1980-04-01", "Nickname: Jo, JD",
                  "Photo: 12 KB JPEG", "E-mail (Office): third@x.org", "Categories: Friends, Work",
                  "X-CUSTOM: " + std::string(100, 'x') + "...",
                  "Display name: (in a character set the program cannot show)"}));
}

TEST(EntryIdentity, UidsAreKeptDerivedAndLeftOutOfCopies) {
    CAddressEntry entry;
    entry.SetField(LastName, "Doe");
    EXPECT_FALSE(EntryUid(entry));
    const std::string first = DerivedUid(entry, 0);
    EXPECT_EQ(first, DerivedUid(entry, 0));
    EXPECT_NE(first, DerivedUid(entry, 1));
    EXPECT_EQ(first.size(), 45u);
    EXPECT_EQ(first.substr(0, 9), "urn:uuid:");
    EXPECT_EQ(first[23], '5');  // version 5

    VectorAddressList list;
    for (int i = 0; i < 3; ++i) {
        list.AppendEntry(std::make_unique<CAddressEntry>(entry));
    }
    SetEntryUid(list.MutableEntryAt(2), DerivedUid(entry, 0));  // taken by a stored UID
    const std::vector<std::string> uids = ExportUids(list);
    EXPECT_EQ(uids, ExportUids(list));
    EXPECT_EQ(uids[2], first);
    EXPECT_NE(uids[0], uids[1]);
    EXPECT_NE(uids[0], first);
    EXPECT_NE(uids[1], first);

    CExtraDataBuilder extra;
    extra.AddStringAttribute("vCard", "BDAY:1980-04-01");
    extra.AddStringAttribute("UID", "old");
    extra.AddStringAttribute("SyncTag", "1");
    entry.SetExtra(extra.Build());
    SetEntryUid(entry, "new");
    EXPECT_EQ(Describe(entry), (std::vector<std::string>{"LastName=Doe", "vCard=BDAY:1980-04-01",
                                                         "UID=new", "SyncTag=1"}));
    EXPECT_EQ(Describe(CopyWithoutIdentity(entry)),
              (std::vector<std::string>{"LastName=Doe", "vCard=BDAY:1980-04-01"}));
}

}  // namespace
}  // namespace addressbook
