#include "addressbook/column_aliases.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <unordered_map>

#include "addressbook/field_table.h"

namespace addressbook {

namespace {

using K = ColumnKind;
using L = LabelType;
using P = AddressPart;

ColumnMeaning Make(K kind, int field = -1) {
    ColumnMeaning m;
    m.kind = kind;
    m.field = field;
    return m;
}
ColumnMeaning Field(int field) {
    return Make(K::kField, field);
}
ColumnMeaning Tel(int field, L type, std::string_view types) {
    ColumnMeaning m = Make(K::kPhone, field);
    m.type = type;
    m.vcard = types;
    return m;
}
ColumnMeaning Mail(int field) {
    return Make(K::kEmail, field);
}
ColumnMeaning Url(int field) {
    return Make(K::kWeb, field);
}
ColumnMeaning Adr(int field, L type, P part) {
    ColumnMeaning m = Make(K::kAddress, field);
    m.type = type;
    m.part = part;
    return m;
}
ColumnMeaning Kind(K kind) {
    return Make(kind);
}
ColumnMeaning Property(std::string_view name) {
    ColumnMeaning m = Make(K::kProperty);
    m.vcard = name;
    return m;
}
ColumnMeaning BirthPart(std::string_view part) {
    ColumnMeaning m = Make(K::kBirthPart);
    m.vcard = part;
    return m;
}
ColumnMeaning EmailLabel() {
    ColumnMeaning m = Make(K::kLabel);
    m.labels = K::kEmail;
    return m;
}

struct Alias {
    std::vector<std::string_view> names;  // normalized
    ColumnMeaning meaning;
};

// The names other programs give their columns, normalized.
const std::vector<Alias>& Aliases() {
    static const std::vector<Alias> aliases = {
        // Names
        {{"lastname", "surname", "familyname"}, Field(LastName)},
        {{"firstname", "givenname", "forename"}, Field(FirstName)},
        {{"middlename", "additionalname", "middleinitial", "mi", "middle"}, Field(MiddleInitial)},
        {{"title", "nameprefix", "prefix"}, Field(Title)},
        {{"suffix", "namesuffix"}, Kind(K::kNameSuffix)},
        {{"name", "fullname", "displayname", "formattedname", "fileas"}, Kind(K::kFullName)},
        // The home address, and the others
        {{"homestreet", "homeaddress", "street", "streetaddress", "address", "addressline1",
          "street1", "homestreetaddress"},
         Adr(Address1, L::kHome, P::kStreet)},
        {{"homestreet2", "homeaddress2", "addressline2", "street2"},
         Adr(Address2, L::kHome, P::kStreet2)},
        {{"homestreet3", "addressline3", "street3"}, Adr(-1, L::kHome, P::kStreet3)},
        {{"homecity", "city", "town", "locality"}, Adr(City, L::kHome, P::kCity)},
        {{"homestate", "state", "region", "province", "stateprovince"},
         Adr(State, L::kHome, P::kRegion)},
        {{"homepostalcode", "homezip", "homezipcode", "zip", "zipcode", "postalcode", "postcode",
          "zippostalcode"},
         Adr(ZipCode, L::kHome, P::kCode)},
        {{"homecountry", "homecountryregion", "country", "countryregion"},
         Adr(Country, L::kHome, P::kCountry)},
        {{"homeaddresspobox", "pobox"}, Adr(-1, L::kHome, P::kPoBox)},
        {{"businessstreet", "businessaddress", "workstreet", "workaddress"},
         Adr(-1, L::kWork, P::kStreet)},
        {{"businessstreet2", "workaddress2", "workstreet2"}, Adr(-1, L::kWork, P::kStreet2)},
        {{"businessstreet3", "workstreet3"}, Adr(-1, L::kWork, P::kStreet3)},
        {{"businesscity", "workcity"}, Adr(-1, L::kWork, P::kCity)},
        {{"businessstate", "workstate"}, Adr(-1, L::kWork, P::kRegion)},
        {{"businesspostalcode", "businesszip", "workzip", "workzipcode", "workpostalcode"},
         Adr(-1, L::kWork, P::kCode)},
        {{"businesscountryregion", "businesscountry", "workcountry"},
         Adr(-1, L::kWork, P::kCountry)},
        {{"businessaddresspobox"}, Adr(-1, L::kWork, P::kPoBox)},
        {{"otherstreet"}, Adr(-1, L::kOther, P::kStreet)},
        {{"otherstreet2"}, Adr(-1, L::kOther, P::kStreet2)},
        {{"otherstreet3"}, Adr(-1, L::kOther, P::kStreet3)},
        {{"othercity"}, Adr(-1, L::kOther, P::kCity)},
        {{"otherstate"}, Adr(-1, L::kOther, P::kRegion)},
        {{"otherpostalcode"}, Adr(-1, L::kOther, P::kCode)},
        {{"othercountryregion", "othercountry"}, Adr(-1, L::kOther, P::kCountry)},
        {{"otheraddresspobox"}, Adr(-1, L::kOther, P::kPoBox)},
        // Company
        {{"company", "companyname", "organization", "organisation", "organizationname",
          "organization1name", "org"},
         Field(Company)},
        {{"department", "dept", "organizationdepartment", "organization1department"},
         Field(Department)},
        {{"jobtitle", "position", "organizationtitle", "organization1title"}, Field(Position)},
        {{"manager", "managersname", "managername"}, Field(Manager)},
        {{"custom1", "user1"}, Field(Additional1)},
        {{"custom2", "user2"}, Field(Additional2)},
        // Phones
        {{"homephone", "phonehome", "home"}, Tel(HomePhone, L::kHome, "home")},
        {{"phone", "telephone", "phonenumber", "tel"}, Tel(HomePhone, L::kNone, "voice")},
        {{"homephone2"}, Tel(-1, L::kHome, "home")},
        {{"businessphone", "workphone", "officephone", "work", "phonework"},
         Tel(WorkPhone, L::kWork, "work")},
        {{"businessphone2", "workphone2", "companymainphone"}, Tel(-1, L::kWork, "work")},
        {{"mobilephone", "mobile", "mobilenumber", "cellphone", "cell", "cellular", "cellularphone",
          "phonemobile"},
         Tel(CellPhone, L::kCell, "cell")},
        {{"pager", "pagernumber", "beeper"}, Tel(Pager, L::kPager, "pager")},
        {{"businessfax", "workfax"}, Tel(FaxPhone, L::kFax, "work,fax")},
        {{"homefax"}, Tel(FaxPhone, L::kFax, "home,fax")},
        {{"fax", "faxnumber", "faxphone"}, Tel(FaxPhone, L::kFax, "fax")},
        {{"otherfax"}, Tel(-1, L::kFax, "fax")},
        {{"otherphone"}, Tel(-1, L::kOther, "voice")},
        {{"primaryphone"}, Tel(-1, L::kOther, "pref")},
        {{"carphone"}, Tel(-1, L::kOther, "car")},
        {{"isdn"}, Tel(-1, L::kOther, "isdn")},
        {{"assistantsphone"}, Tel(-1, L::kOther, "x-assistant")},
        {{"callback"}, Tel(-1, L::kOther, "x-callback")},
        {{"radiophone"}, Tel(-1, L::kOther, "x-radio")},
        {{"telex"}, Tel(-1, L::kOther, "x-telex")},
        {{"ttytddphone"}, Tel(-1, L::kOther, "textphone")},
        // E-mail and web
        {{"emailaddress", "email", "primaryemail", "mail", "email1", "emailaddress1"},
         Mail(Email1)},
        {{"email2address", "email2", "secondaryemail", "emailaddress2"}, Mail(Email2)},
        {{"email3address", "email3", "emailaddress3"}, Mail(-1)},
        // "E-mail 2 Type" reads as the label of e-mail pair 2.
        {{"emailtype"}, EmailLabel()},
        {{"emaildisplayname", "email2displayname", "email3displayname"}, Kind(K::kEmailName)},
        {{"webpage", "website", "webpage1", "website1", "url", "homepage", "personalwebpage",
          "webaddress", "web", "web1"},
         Url(Web1)},
        {{"webpage2", "website2", "businesswebpage", "web2"}, Url(Web2)},
        {{"notes", "note", "comments", "comment"}, Field(Notes)},
        // vCard properties of their own
        {{"birthday", "birthdate", "dateofbirth", "bday"}, Property("BDAY")},
        {{"anniversary", "weddinganniversary"}, Property("ANNIVERSARY")},
        {{"nickname", "nick"}, Property("NICKNAME")},
        {{"profession"}, Property("ROLE")},
        {{"photo"}, Property("PHOTO")},
        {{"categories", "category", "groupmembership", "labels", "groups", "group"},
         Kind(K::kCategories)},
        {{"birthyear"}, BirthPart("year")},
        {{"birthmonth"}, BirthPart("month")},
    };
    return aliases;
}

// Every normalized name: the aliases first, then each field's export word,
// caption, list label and attribute name where no alias has the name.
const std::unordered_map<std::string, ColumnMeaning>& NameTable() {
    static const std::unordered_map<std::string, ColumnMeaning> table = [] {
        std::unordered_map<std::string, ColumnMeaning> names;
        for (const Alias& alias : Aliases()) {
            for (std::string_view name : alias.names) {
                names.emplace(name, alias.meaning);
            }
        }
        for (int field = 0; field < kFieldCount; ++field) {
            const FieldInfo& info = FieldAt(field);
            for (std::string_view name :
                 {info.header, info.selectLabel, info.label, info.attribute}) {
                names.emplace(NormalizeColumnName(name), Field(field));
            }
        }
        return names;
    }();
    return table;
}

bool IsLetter(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "phone1value" -> {"phone", 1, "value"}; false unless the name is letters,
// a number and letters.
bool SplitNumbered(std::string_view name, std::string_view& kind, int& number,
                   std::string_view& part) {
    std::size_t i = 0;
    while (i < name.size() && IsLetter(name[i])) {
        ++i;
    }
    const std::size_t digits = i;
    number = 0;
    while (i < name.size() && IsDigit(name[i]) && number < 100000) {
        number = number * 10 + (name[i] - '0');
        ++i;
    }
    if (digits == 0 || i == digits || number == 0) {
        return false;
    }
    kind = name.substr(0, digits);
    part = name.substr(i);
    return std::all_of(part.begin(), part.end(), IsLetter);
}

// "Phone 2 - Value", "E-mail 1 - Type", "Address 1 - City".
std::optional<ColumnMeaning> NumberedPair(std::string_view name) {
    std::string_view kindWord;
    std::string_view part;
    int number = 0;
    if (!SplitNumbered(name, kindWord, number, part)) {
        return std::nullopt;
    }
    K kind;
    if (kindWord == "phone") {
        kind = K::kPhone;
    } else if (kindWord == "email") {
        kind = K::kEmail;
    } else if (kindWord == "website") {
        kind = K::kWeb;
    } else if (kindWord == "address") {
        kind = K::kAddress;
    } else {
        return std::nullopt;
    }
    ColumnMeaning meaning = Make(kind);
    meaning.pair = number;
    if (part == "type" || part == "label") {
        meaning.kind = K::kLabel;
        meaning.labels = kind;
        return meaning;
    }
    if (kind != K::kAddress) {
        return part == "value" ? std::optional(meaning) : std::nullopt;
    }
    static const std::unordered_map<std::string_view, P> parts = {
        {"street", P::kStreet},
        {"city", P::kCity},
        {"region", P::kRegion},
        {"postalcode", P::kCode},
        {"country", P::kCountry},
        {"pobox", P::kPoBox},
        {"extendedaddress", P::kExtended},
        {"formatted", P::kFormatted},
    };
    const auto found = parts.find(part);
    if (found == parts.end()) {
        return std::nullopt;
    }
    meaning.part = found->second;
    return meaning;
}

struct LabelWord {
    std::vector<std::string_view> words;  // normalized
    LabelMeaning meaning;
};

const std::vector<LabelWord>& LabelWords() {
    static const std::vector<LabelWord> words = {
        {{"home", "personal", "private", "homephone"}, {L::kHome, true, "home"}},
        {{"work", "business", "office", "workphone", "businessphone", "companymain"},
         {L::kWork, true, "work"}},
        {{"mobile", "cell", "cellular", "mobilephone", "cellphone", "iphone", "workmobile"},
         {L::kCell, true, "cell"}},
        {{"pager", "workpager", "beeper"}, {L::kPager, true, "pager"}},
        {{"fax", "faxnumber", "otherfax"}, {L::kFax, true, "fax"}},
        {{"homefax"}, {L::kFax, true, "home,fax"}},
        {{"workfax", "businessfax"}, {L::kFax, true, "work,fax"}},
        {{"", "main", "other", "voice", "phone", "primary", "pref", "internet", "smtp", "ex",
          "homepage"},
         {L::kNone, true, ""}},
    };
    return words;
}

}  // namespace

std::string NormalizeColumnName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || IsDigit(c) || IsLetter(c)) {
            out += c;
        } else if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

ColumnMeaning MeaningOfColumn(std::string_view name) {
    const std::string normalized = NormalizeColumnName(name);
    const auto& table = NameTable();
    const auto found = table.find(normalized);
    if (found != table.end()) {
        return found->second;
    }
    return NumberedPair(normalized).value_or(ColumnMeaning{});
}

LabelMeaning MeaningOfLabel(std::string_view label) {
    const std::string normalized = NormalizeColumnName(label);
    for (const LabelWord& word : LabelWords()) {
        if (std::find(word.words.begin(), word.words.end(), normalized) != word.words.end()) {
            return word.meaning;
        }
    }
    return {L::kNone, false, ""};
}

ColumnMapping MatchColumns(const std::vector<std::string>& names) {
    ColumnMapping columns{};
    for (std::size_t c = 0; c < names.size(); ++c) {
        const ColumnMeaning meaning = MeaningOfColumn(names[c]);
        if (meaning.field >= 0 && meaning.pair == 0) {
            int& number = columns[static_cast<std::size_t>(meaning.field)];
            if (number == 0) {
                number = static_cast<int>(c) + 1;
            }
        }
    }
    return columns;
}

bool HasBirthParts(const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        return MeaningOfColumn(name).kind == K::kBirthPart;
    });
}

bool IsOwnHeaderWord(std::string_view name) {
    return std::any_of(kFields.begin(), kFields.end(),
                       [name](const FieldInfo& info) { return info.header == name; });
}

bool IsOwnHeader(const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return !name.empty(); }) &&
           std::all_of(names.begin(), names.end(), [](const std::string& name) {
               return name.empty() || IsOwnHeaderWord(name);
           });
}

}  // namespace addressbook
