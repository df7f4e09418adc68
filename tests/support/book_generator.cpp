#include "support/book_generator.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <system_error>

namespace bench {

const std::array<std::string_view, kFieldCount> kAttributeNames = {
    "LastName",  "FirstName", "MiddleInitial", "Title",       "Address1",  "Address2",
    "City",      "Country",   "State",         "ZipCode",     "Company",   "Department",
    "Position",  "Manager",   "Additional1",   "Additional2", "HomePhone", "HomeExt",
    "WorkPhone", "WorkExt",   "CellPhone",     "CellExt",     "Pager",     "PagerCard",
    "PagerExt",  "FaxPhone",  "FaxExt",        "Email1",      "Email2",    "Web1",
    "Web2",      "Notes",
};

const std::array<std::string_view, kFieldCount> kHeaderWords = {
    "LASTNAME",    "FIRSTNAME",   "MI",        "TITLE",    "ADDRESS1",   "ADDRESS2", "CITY",
    "COUNTRY",     "STATE",       "ZIPCODE",   "COMPANY",  "DEPARTMENT", "POSITION", "MANAGER",
    "ADDITIONAL1", "ADDITIONAL2", "HOMEPHONE", "HOMEEXT",  "WORKPHONE",  "WORKEXT",  "CELLPHONE",
    "CELLEXT",     "PAGER",       "PAGERCARD", "PAGEREXT", "FAXPHONE",   "FAXEXT",   "EMAIL1",
    "EMAIL2",      "WEB1",        "WEB2",      "NOTES",
};

namespace {

// SplitMix64: tiny, fast and fully specified, so the data never depends on
// the standard library's distributions (whose output differs between
// implementations).
class Rng {
public:
    explicit Rng(std::uint64_t state) : m_state(state) {}

    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n) for n > 0.
    std::uint32_t Below(std::uint32_t n) {
        return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32);
    }
    int Between(int low, int high) { return low + static_cast<int>(Below(high - low + 1)); }
    // True with a probability of perMille / 1000.
    bool Chance(int perMille) { return Below(1000) < static_cast<std::uint32_t>(perMille); }
    template <typename T>
    const T& Pick(std::span<const T> items) {
        return items[Below(static_cast<std::uint32_t>(items.size()))];
    }

private:
    std::uint64_t m_state;
};

// A text as shown, and the ASCII form used in e-mail and web addresses.
struct Name {
    std::string_view text;
    std::string_view ascii;
};

struct Place {
    std::string_view city;
    std::string_view state;
};

enum class StreetStyle { NumberFirst, NumberLast, EastAsian };

struct Locale {
    int weight;
    std::span<const std::string_view> countries;  // as written in the owner's book
    std::span<const Name> firstNames;
    std::span<const Name> lastNames;
    std::span<const Place> places;
    std::span<const std::string_view> streets;
    std::span<const Name> companies;
    StreetStyle style;
    bool familyNameFirst;
    bool middleInitials;
    std::string_view zipPattern;    // '#' any digit, '%' 2-9, '@' letter
    std::string_view phonePattern;  // the same
    std::string_view webSuffix;
};

// ---- United States -------------------------------------------------------
constexpr std::string_view kUsCountries[] = {"USA", "United States", "U.S.A."};
constexpr Name kUsFirst[] = {
    {"James", "james"},
    {"Mary", "mary"},
    {"Robert", "robert"},
    {"Patricia", "patricia"},
    {"John", "john"},
    {"Jennifer", "jennifer"},
    {"Michael", "michael"},
    {"Linda", "linda"},
    {"David", "david"},
    {"Elizabeth", "elizabeth"},
    {"William", "william"},
    {"Barbara", "barbara"},
    {"Richard", "richard"},
    {"Susan", "susan"},
    {"Joseph", "joseph"},
    {"Jessica", "jessica"},
    {"Thomas", "thomas"},
    {"Sarah", "sarah"},
    {"Christopher", "christopher"},
    {"Karen", "karen"},
    {"Daniel", "daniel"},
    {"Nancy", "nancy"},
    {"Matthew", "matthew"},
    {"Lisa", "lisa"},
    {"Anthony", "anthony"},
    {"Betty", "betty"},
    {"Mark", "mark"},
    {"Sandra", "sandra"},
    {"Ashley", "ashley"},
    {"Renée", "renee"},
    {"Zoë", "zoe"},
    {"José", "jose"},
    {"Chloé", "chloe"},
    {"Mary Ann", "maryann"},
    {"Billy Joe", "billyjoe"},
};
constexpr Name kUsLast[] = {
    {"Smith", "smith"},
    {"Johnson", "johnson"},
    {"Williams", "williams"},
    {"Brown", "brown"},
    {"Jones", "jones"},
    {"Garcia", "garcia"},
    {"Miller", "miller"},
    {"Davis", "davis"},
    {"Rodriguez", "rodriguez"},
    {"Martinez", "martinez"},
    {"Hernandez", "hernandez"},
    {"Lopez", "lopez"},
    {"Gonzalez", "gonzalez"},
    {"Wilson", "wilson"},
    {"Anderson", "anderson"},
    {"Taylor", "taylor"},
    {"Moore", "moore"},
    {"Jackson", "jackson"},
    {"Lee", "lee"},
    {"Thompson", "thompson"},
    {"White", "white"},
    {"Harris", "harris"},
    {"Clark", "clark"},
    {"Lewis", "lewis"},
    {"Walker", "walker"},
    {"Young", "young"},
    {"King", "king"},
    {"Wright", "wright"},
    {"Nguyen", "nguyen"},
    {"Hill", "hill"},
    {"O'Brien", "obrien"},
    {"McDonald", "mcdonald"},
    {"Van der Berg", "vanderberg"},
    {"Smith-Jones", "smithjones"},
    {"St. James", "stjames"},
};
constexpr Place kUsPlaces[] = {
    {"New York", "NY"},    {"Los Angeles", "CA"},   {"Chicago", "IL"},      {"Houston", "TX"},
    {"Phoenix", "AZ"},     {"Philadelphia", "PA"},  {"San Antonio", "TX"},  {"San Diego", "CA"},
    {"Dallas", "TX"},      {"San Jose", "CA"},      {"Austin", "TX"},       {"Jacksonville", "FL"},
    {"Columbus", "OH"},    {"Charlotte", "NC"},     {"Indianapolis", "IN"}, {"Seattle", "WA"},
    {"Denver", "CO"},      {"Boston", "MA"},        {"Nashville", "TN"},    {"Portland", "OR"},
    {"Springfield", "IL"}, {"Madison", "WI"},       {"Santa Fe", "NM"},     {"Coeur d'Alene", "ID"},
    {"Cañon City", "CO"},  {"Winston-Salem", "NC"},
};
constexpr std::string_view kUsStreets[] = {
    "Main St",
    "Oak Ave",
    "Maple Dr",
    "Washington Blvd",
    "Park Ave",
    "2nd St",
    "Elm St",
    "Lakeview Rd",
    "Sunset Blvd",
    "Cedar Ln",
    "Highland Ave",
    "Pine St",
    "Church St",
    "Market St",
    "Mill Rd",
    "River Rd",
    "Martin Luther King Jr. Blvd",
    "County Road 12",
    "N. Broadway",
};
constexpr Name kEnglishCompanies[] = {
    {"Northwind Traders", "northwind"},
    {"Blue Ridge Consulting", "blueridge"},
    {"Summit Logistics, Inc.", "summitlog"},
    {"Harbor Dental Group", "harbordental"},
    {"Pioneer Software LLC", "pioneersoft"},
    {"Cedar & Pine Realty", "cedarpine"},
    {"Atlas Manufacturing Co.", "atlasmfg"},
    {"Silver Lake Bakery", "silverlakebakery"},
    {"Redwood Insurance Agency", "redwoodins"},
    {"Keystone Partners", "keystonepartners"},
    {"Brightwater Labs", "brightwater"},
    {"Meadowbrook Veterinary Clinic", "meadowbrookvet"},
    {"O'Malley's Hardware", "omalleys"},
    {"Smith, Jones & Associates", "sja-law"},
    {"Tri-County Electric", "tricounty"},
    {"First Community Bank", "fcbank"},
    {"Greenfield School District", "greenfield-k12"},
    {"St. Mary's Hospital", "stmarys"},
};

// ---- Canada --------------------------------------------------------------
constexpr std::string_view kCaCountries[] = {"Canada"};
constexpr Name kCaFirst[] = {
    {"Jean-François", "jeanfrancois"},
    {"Geneviève", "genevieve"},
    {"Émilie", "emilie"},
    {"Marc-André", "marcandre"},
    {"Olivia", "olivia"},
    {"Liam", "liam"},
    {"Noah", "noah"},
    {"Charlotte", "charlotte"},
    {"Béatrice", "beatrice"},
};
constexpr Name kCaLast[] = {
    {"Tremblay", "tremblay"}, {"Gagnon", "gagnon"},     {"Roy", "roy"},     {"Côté", "cote"},
    {"Bouchard", "bouchard"}, {"Gauthier", "gauthier"}, {"Morin", "morin"}, {"Lavoie", "lavoie"},
    {"MacLeod", "macleod"},   {"Campbell", "campbell"},
};
constexpr Place kCaPlaces[] = {
    {"Toronto", "ON"}, {"Montréal", "QC"}, {"Vancouver", "BC"},      {"Québec", "QC"},
    {"Ottawa", "ON"},  {"Calgary", "AB"},  {"Trois-Rivières", "QC"},
};
constexpr std::string_view kCaStreets[] = {
    "rue Sainte-Catherine", "boul. René-Lévesque", "Yonge St", "Bay St", "rue Saint-Jean",
};

// ---- United Kingdom ------------------------------------------------------
constexpr std::string_view kUkCountries[] = {"United Kingdom", "UK", "England", "Scotland"};
constexpr Name kUkFirst[] = {
    {"Oliver", "oliver"}, {"Amelia", "amelia"}, {"Harry", "harry"},     {"Isla", "isla"},
    {"George", "george"}, {"Emily", "emily"},   {"Siobhán", "siobhan"}, {"Niamh", "niamh"},
    {"Rhys", "rhys"},     {"Dafydd", "dafydd"}, {"Eilidh", "eilidh"},   {"Alistair", "alistair"},
};
constexpr Name kUkLast[] = {
    {"Evans", "evans"},       {"Roberts", "roberts"},
    {"Hughes", "hughes"},     {"O'Connor", "oconnor"},
    {"Wright", "wright"},     {"Fitzgerald", "fitzgerald"},
    {"Lloyd", "lloyd"},       {"MacGregor", "macgregor"},
    {"Patel", "patel"},       {"Ó Súilleabháin", "osullivan"},
    {"Ffoulkes", "ffoulkes"},
};
constexpr Place kUkPlaces[] = {
    {"London", ""},
    {"Manchester", "Greater Manchester"},
    {"Birmingham", "West Midlands"},
    {"Leeds", "West Yorkshire"},
    {"Glasgow", ""},
    {"Edinburgh", "Midlothian"},
    {"Cardiff", "South Glamorgan"},
    {"Bristol", ""},
    {"Oxford", "Oxfordshire"},
    {"Bury St Edmunds", "Suffolk"},
};
constexpr std::string_view kUkStreets[] = {
    "High Street", "Station Road",  "Church Lane", "Victoria Road",
    "The Green",   "Queen's Drive", "Mill Lane",   "King's Parade",
};

// ---- Germany -------------------------------------------------------------
constexpr std::string_view kDeCountries[] = {"Germany", "Deutschland", "D"};
constexpr Name kDeFirst[] = {
    {"Jürgen", "juergen"},       {"Käthe", "kaethe"},  {"Günter", "guenter"},
    {"Jörg", "joerg"},           {"Uwe", "uwe"},       {"Sabine", "sabine"},
    {"Ursula", "ursula"},        {"Björn", "bjoern"},  {"Anja", "anja"},
    {"Lukas", "lukas"},          {"Sophie", "sophie"}, {"Maximilian", "maximilian"},
    {"Hans-Peter", "hanspeter"},
};
constexpr Name kDeLast[] = {
    {"Müller", "mueller"},  {"Schmidt", "schmidt"},    {"Schneider", "schneider"},
    {"Fischer", "fischer"}, {"Weber", "weber"},        {"Meyer", "meyer"},
    {"Wagner", "wagner"},   {"Becker", "becker"},      {"Schäfer", "schaefer"},
    {"Koch", "koch"},       {"Schröder", "schroeder"}, {"Krüger", "krueger"},
    {"Weiß", "weiss"},      {"Groß", "gross"},         {"von Hohenstein", "vonhohenstein"},
};
constexpr Place kDePlaces[] = {
    {"Berlin", ""},
    {"Hamburg", ""},
    {"München", "Bayern"},
    {"Köln", "Nordrhein-Westfalen"},
    {"Frankfurt am Main", "Hessen"},
    {"Stuttgart", "Baden-Württemberg"},
    {"Düsseldorf", "Nordrhein-Westfalen"},
    {"Leipzig", "Sachsen"},
    {"Nürnberg", "Bayern"},
    {"Göttingen", "Niedersachsen"},
};
constexpr std::string_view kDeStreets[] = {
    "Hauptstraße", "Bahnhofstraße", "Gartenweg",       "Schulstraße", "Lindenallee",
    "Königsplatz", "Am Mühlbach",   "Friedrichstraße", "Grüner Weg",
};
constexpr Name kDeCompanies[] = {
    {"Müller Maschinenbau GmbH", "mueller-mb"},        {"Bäckerei Schröder", "baeckerei-schroeder"},
    {"Rheinland Versicherungen AG", "rheinland-vers"}, {"Weiß & Söhne KG", "weiss-soehne"},
    {"Zahnarztpraxis Dr. Krüger", "praxis-krueger"},
};

// ---- France --------------------------------------------------------------
constexpr std::string_view kFrCountries[] = {"France"};
constexpr Name kFrFirst[] = {
    {"Jean", "jean"},     {"Marie", "marie"},       {"Pierre", "pierre"},
    {"Hélène", "helene"}, {"François", "francois"}, {"Françoise", "francoise"},
    {"Amélie", "amelie"}, {"Gaël", "gael"},         {"Loïc", "loic"},
    {"Théo", "theo"},     {"Léa", "lea"},           {"Noël", "noel"},
};
constexpr Name kFrLast[] = {
    {"Martin", "martin"},
    {"Bernard", "bernard"},
    {"Dubois", "dubois"},
    {"Durand", "durand"},
    {"Leroy", "leroy"},
    {"Moreau", "moreau"},
    {"Lefèvre", "lefevre"},
    {"Girard", "girard"},
    {"André", "andre"},
    {"Mercier", "mercier"},
    {"Guérin", "guerin"},
    {"Chevalier", "chevalier"},
    {"de La Tour d'Auvergne", "delatour"},
};
constexpr Place kFrPlaces[] = {
    {"Paris", "Île-de-France"},
    {"Marseille", "Provence-Alpes-Côte d'Azur"},
    {"Lyon", "Auvergne-Rhône-Alpes"},
    {"Toulouse", "Occitanie"},
    {"Orléans", "Centre-Val de Loire"},
    {"Besançon", "Bourgogne-Franche-Comté"},
    {"Nîmes", "Occitanie"},
};
constexpr std::string_view kFrStreets[] = {
    "rue de la République", "boulevard Saint-Germain", "rue du Général-de-Gaulle",
    "place de l'Église",    "chemin des Écoliers",     "avenue Jean-Jaurès",
};
constexpr Name kFrCompanies[] = {
    {"Boulangerie Lefèvre", "boulangerie-lefevre"},
    {"Société d'Études Techniques", "set-etudes"},
    {"Cabinet Rousseau & Associés", "cabinet-rousseau"},
};

// ---- Spain ---------------------------------------------------------------
constexpr std::string_view kEsCountries[] = {"Spain", "España"};
constexpr Name kEsFirst[] = {
    {"José", "jose"},     {"María", "maria"}, {"Sofía", "sofia"}, {"Martín", "martin"},
    {"Lucía", "lucia"},   {"Ramón", "ramon"}, {"Inés", "ines"},   {"Joaquín", "joaquin"},
    {"Begoña", "begona"}, {"Íñigo", "inigo"}, {"Ángel", "angel"}, {"María José", "mariajose"},
};
constexpr Name kEsLast[] = {
    {"García", "garcia"},
    {"Fernández", "fernandez"},
    {"González", "gonzalez"},
    {"Rodríguez", "rodriguez"},
    {"López", "lopez"},
    {"Sánchez", "sanchez"},
    {"Pérez", "perez"},
    {"Jiménez", "jimenez"},
    {"Muñoz", "munoz"},
    {"Álvarez", "alvarez"},
    {"Peña", "pena"},
    {"Ibáñez", "ibanez"},
    {"García de la Fuente", "garciadelafuente"},
};
constexpr Place kEsPlaces[] = {
    {"Madrid", "Madrid"},     {"Barcelona", "Cataluña"}, {"Sevilla", "Andalucía"},
    {"Málaga", "Andalucía"},  {"Bilbao", "País Vasco"},  {"A Coruña", "Galicia"},
    {"Córdoba", "Andalucía"},
};
constexpr std::string_view kEsStreets[] = {
    "Calle Mayor",     "Avenida de la Constitución", "Plaza de España", "Calle del Carmen",
    "Paseo de Gracia",
};
constexpr Name kEsCompanies[] = {
    {"Construcciones Peña S.L.", "construcciones-pena"},
    {"Librería Muñoz", "libreria-munoz"},
    {"Telecomunicaciones Ibéricas S.A.", "teliberica"},
};

// ---- Russia --------------------------------------------------------------
constexpr std::string_view kRuCountries[] = {"Russia", "Россия"};
constexpr Name kRuFirst[] = {
    {"Александр", "aleksandr"}, {"Сергей", "sergey"}, {"Дмитрий", "dmitry"}, {"Андрей", "andrey"},
    {"Алексей", "aleksey"},     {"Елена", "elena"},   {"Ольга", "olga"},     {"Наталья", "natalya"},
    {"Татьяна", "tatyana"},     {"Анна", "anna"},     {"Юлия", "yulia"},     {"Фёдор", "fedor"},
};
constexpr Name kRuLast[] = {
    {"Иванов", "ivanov"},   {"Смирнов", "smirnov"},    {"Кузнецов", "kuznetsov"},
    {"Попов", "popov"},     {"Васильев", "vasiliev"},  {"Петров", "petrov"},
    {"Соколов", "sokolov"}, {"Михайлов", "mikhailov"}, {"Новиков", "novikov"},
    {"Фёдоров", "fedorov"}, {"Морозов", "morozov"},    {"Волков", "volkov"},
};
constexpr Place kRuPlaces[] = {
    {"Москва", ""},
    {"Санкт-Петербург", ""},
    {"Новосибирск", "Новосибирская обл."},
    {"Екатеринбург", "Свердловская обл."},
    {"Казань", "Республика Татарстан"},
    {"Нижний Новгород", "Нижегородская обл."},
};
constexpr std::string_view kRuStreets[] = {
    "ул. Ленина", "пр. Мира", "ул. Пушкина", "Садовая ул.", "наб. реки Мойки", "ул. Гагарина",
};
constexpr Name kRuCompanies[] = {
    {"ООО «Север»", "sever"},
    {"АО «Техносервис»", "technoservice"},
    {"ИП Иванов А. С.", "ip-ivanov"},
};

// ---- Japan ---------------------------------------------------------------
constexpr std::string_view kJpCountries[] = {"Japan", "日本"};
constexpr Name kJpFirst[] = {
    {"太郎", "taro"},     {"花子", "hanako"}, {"健", "ken"},       {"翔太", "shota"},
    {"さくら", "sakura"}, {"陽菜", "hina"},   {"大輔", "daisuke"}, {"由美", "yumi"},
    {"誠", "makoto"},     {"恵", "megumi"},
};
constexpr Name kJpLast[] = {
    {"佐藤", "sato"},      {"鈴木", "suzuki"},   {"高橋", "takahashi"}, {"田中", "tanaka"},
    {"伊藤", "ito"},       {"渡辺", "watanabe"}, {"山本", "yamamoto"},  {"中村", "nakamura"},
    {"小林", "kobayashi"}, {"加藤", "kato"},
};
constexpr Place kJpPlaces[] = {
    {"渋谷区", "東京都"}, {"大阪市", "大阪府"}, {"横浜市", "神奈川県"}, {"名古屋市", "愛知県"},
    {"札幌市", "北海道"}, {"京都市", "京都府"}, {"福岡市", "福岡県"},
};
constexpr std::string_view kJpStreets[] = {"道玄坂", "本町", "栄", "大通西", "中央", "桜木町"};
constexpr Name kJpCompanies[] = {
    {"株式会社さくら商事", "sakura-shoji"},
    {"東洋電機株式会社", "toyo-denki"},
    {"山田製作所", "yamada-ss"},
};

// ---- China ---------------------------------------------------------------
constexpr std::string_view kCnCountries[] = {"China", "中国", "P.R. China"};
constexpr Name kCnFirst[] = {
    {"伟", "wei"}, {"芳", "fang"}, {"娜", "na"},   {"秀英", "xiuying"},
    {"敏", "min"}, {"静", "jing"}, {"丽", "li"},   {"强", "qiang"},
    {"磊", "lei"}, {"军", "jun"},  {"洋", "yang"}, {"艳", "yan"},
};
constexpr Name kCnLast[] = {
    {"王", "wang"}, {"李", "li"},   {"张", "zhang"},    {"刘", "liu"},
    {"陈", "chen"}, {"杨", "yang"}, {"黄", "huang"},    {"赵", "zhao"},
    {"吴", "wu"},   {"周", "zhou"}, {"欧阳", "ouyang"},
};
constexpr Place kCnPlaces[] = {
    {"北京市", ""},       {"上海市", ""},       {"广州市", "广东省"}, {"深圳市", "广东省"},
    {"成都市", "四川省"}, {"杭州市", "浙江省"}, {"武汉市", "湖北省"},
};
constexpr std::string_view kCnStreets[] = {"建国路", "南京东路", "中山大道", "人民路", "解放路"};
constexpr Name kCnCompanies[] = {
    {"北京新星科技有限公司", "xinxing-tech"},
    {"上海东方贸易有限公司", "dongfang-trade"},
    {"深圳华南电子", "huanan-elec"},
};

// Weights add up to 100.
const Locale kLocales[] = {
    {52, kUsCountries, kUsFirst, kUsLast, kUsPlaces, kUsStreets, kEnglishCompanies,
     StreetStyle::NumberFirst, false, true, "%####", "(%##) %##-####", ".com"},
    {5, kCaCountries, kCaFirst, kCaLast, kCaPlaces, kCaStreets, kEnglishCompanies,
     StreetStyle::NumberFirst, false, true, "@#@ #@#", "(%##) %##-####", ".ca"},
    {8, kUkCountries, kUkFirst, kUkLast, kUkPlaces, kUkStreets, kEnglishCompanies,
     StreetStyle::NumberFirst, false, true, "@@# #@@", "+44 %# #### ####", ".co.uk"},
    {8, kDeCountries, kDeFirst, kDeLast, kDePlaces, kDeStreets, kDeCompanies,
     StreetStyle::NumberLast, false, false, "#####", "+49 %## #######", ".de"},
    {6, kFrCountries, kFrFirst, kFrLast, kFrPlaces, kFrStreets, kFrCompanies,
     StreetStyle::NumberFirst, false, false, "#####", "+33 % ## ## ## ##", ".fr"},
    {6, kEsCountries, kEsFirst, kEsLast, kEsPlaces, kEsStreets, kEsCompanies,
     StreetStyle::NumberLast, false, false, "#####", "+34 %## ### ###", ".es"},
    {5, kRuCountries, kRuFirst, kRuLast, kRuPlaces, kRuStreets, kRuCompanies,
     StreetStyle::NumberLast, false, false, "%#####", "+7 %## %##-##-##", ".ru"},
    {5, kJpCountries, kJpFirst, kJpLast, kJpPlaces, kJpStreets, kJpCompanies,
     StreetStyle::EastAsian, true, false, "###-####", "+81 %-####-####", ".co.jp"},
    {5, kCnCountries, kCnFirst, kCnLast, kCnPlaces, kCnStreets, kCnCompanies,
     StreetStyle::EastAsian, true, false, "%#####", "+86 %# #### ####", ".cn"},
};

constexpr std::string_view kTitles[] = {"Mr.",  "Mrs.", "Ms.",      "Dr.", "Prof.",
                                        "Rev.", "Hon.", "Dr. med.", "Sr.", "Mme"};
constexpr std::string_view kSecondLines[] = {
    "Suite 200",      "Apt. 4B", "P.O. Box 1234", "Floor 3", "Building C, Room 101",
    "c/o Front Desk", "Unit 7"};
constexpr std::string_view kDepartments[] = {
    "Sales",      "Accounting",       "Engineering", "Human Resources",
    "Purchasing", "Marketing",        "IT",          "Legal",
    "Operations", "Customer Service", "R&D",         "Research & Development"};
constexpr std::string_view kPositions[] = {"Sales Manager",
                                           "Accountant",
                                           "Software Engineer",
                                           "Director of Operations",
                                           "Office Manager",
                                           "CEO",
                                           "Vice President, Marketing",
                                           "Attorney",
                                           "Nurse",
                                           "Teacher",
                                           "Account Executive",
                                           "Owner",
                                           "Sr. Buyer",
                                           "Consultant",
                                           "Project Lead"};
constexpr std::string_view kFreeMail[] = {"mail.example.com", "post.example.net",
                                          "inbox.example.org", "home.example.net"};

constexpr std::string_view kSentences[] = {
    R"(Met at the "Spring Expo" in 1997.)",
    R"(Prefers e-mail over phone, especially on weekdays.)",
    R"(Call after 5pm; cell phone is off during meetings.)",
    R"(Sent the proposal, waiting for feedback.)",
    R"(Shared files are on \\fileserver\shared\clients\)",
    R"(Birthday: March 12. Likes dark chocolate, jazz and "old movies".)",
    R"(Referred by Dr. Chen, see notes from 2003.)",
    R"(Old address: 12 Elm St, Apt. 4, Springfield.)",
    R"(Scanned contract: C:\Documents\Contracts\2019\signed.pdf)",
    R"(Kids: Anna (8), Tom (11).)",
    R"(Allergic to peanuts, remember for the holiday party.)",
    R"(Owes us $250 for the "deluxe" package, invoice #4471.)",
    R"(Speaks German, French and a little Japanese.)",
    R"(Gate code 4#12*, ring twice.)",
    R"(Prefers to be called "Bob", not Robert.)",
    R"(Wedding anniversary in June, send a card.)",
    R"(Met in Café Müller, Köln, after the trade fair.)",
    R"(打ち合わせは毎週月曜日の午前十時からです。)",
    R"(Встреча в офисе по вторникам, после обеда.)",
    R"(会议改到下周三下午三点。)",
    R"(Told the "¿Dónde está la biblioteca?" joke at the conference.)",
    R"(Uses the pattern ^\d{3}-\d{4}$ to check phone numbers.)",
    R"(Do NOT call on Sundays.)",
    R"(Lent her the cookbook "Soups & Stews", vol. 1, 2 & 3.)",
    R"(Regular customer since 1994, always pays on time, very friendly.)",
    R"(Asked about the 50% discount; said "maybe next quarter".)",
    R"(Moved from Boston to Denver in the spring, new address above.)",
    R"(Plays tennis on Thursday evenings at the club.)",
    R"(Needs the invoices in PDF, not paper.)",
    R"(Son studies at the university in Göteborg.)",
};

std::string_view PickText(Rng& rng, std::span<const std::string_view> items) {
    return rng.Pick(items);
}

// '#' any digit, '%' a digit 2-9, '@' an upper-case letter; anything else as is.
std::string FillPattern(Rng& rng, std::string_view pattern) {
    std::string out;
    out.reserve(pattern.size());
    for (char ch : pattern) {
        if (ch == '#') {
            out += static_cast<char>('0' + rng.Below(10));
        } else if (ch == '%') {
            out += static_cast<char>('2' + rng.Below(8));
        } else if (ch == '@') {
            out += static_cast<char>('A' + rng.Below(26));
        } else {
            out += ch;
        }
    }
    return out;
}

std::string Digits(Rng& rng, int low, int high) {
    std::string out;
    int count = rng.Between(low, high);
    for (int i = 0; i < count; ++i) {
        out += static_cast<char>((i == 0 ? '1' : '0') + rng.Below(i == 0 ? 9 : 10));
    }
    return out;
}

const Locale& PickLocale(Rng& rng) {
    int roll = static_cast<int>(rng.Below(100));
    for (const Locale& locale : kLocales) {
        if (roll < locale.weight) {
            return locale;
        }
        roll -= locale.weight;
    }
    return kLocales[0];
}

std::string StreetAddress(Rng& rng, const Locale& locale) {
    std::string street(PickText(rng, locale.streets));
    std::string number = std::to_string(rng.Between(1, rng.Chance(700) ? 250 : 12000));
    switch (locale.style) {
        case StreetStyle::NumberFirst:
            return number + " " + street;
        case StreetStyle::NumberLast:
            if (rng.Chance(300)) {
                return street + ", " + number + "/" + std::to_string(rng.Between(1, 40));
            }
            return street + " " + number;
        case StreetStyle::EastAsian: {
            // One draw per statement: the order in which the operands of +
            // are evaluated is unspecified, and the data must not depend on
            // the compiler.
            const int block = rng.Between(1, 30);
            const int house = rng.Between(1, 20);
            return street + std::to_string(rng.Between(1, 9)) + "-" + std::to_string(block) + "-" +
                   std::to_string(house);
        }
    }
    return street;
}

std::string Notes(Rng& rng) {
    int sentences;
    int roll = static_cast<int>(rng.Below(1000));
    if (roll < 520) {
        sentences = 1;
    } else if (roll < 860) {
        sentences = rng.Between(2, 4);
    } else if (roll < 985) {
        sentences = rng.Between(5, 12);
    } else {
        sentences = rng.Between(25, 60);  // the occasional long history
    }
    std::string out;
    for (int i = 0; i < sentences; ++i) {
        if (i > 0) {
            // The program stores a line break of a note as "<p>".
            out += rng.Chance(250) ? "<p>" : " ";
        }
        out += PickText(rng, kSentences);
    }
    return out;
}

std::string EmailLocalPart(Rng& rng, const Name& first, const Name& last) {
    switch (rng.Below(6)) {
        case 0:
            return std::string(first.ascii) + "." + std::string(last.ascii);
        case 1:
            return std::string(first.ascii.substr(0, 1)) + std::string(last.ascii);
        case 2:
            return std::string(first.ascii) + std::string(last.ascii.substr(0, 1));
        case 3:
            return std::string(first.ascii) + "_" + std::string(last.ascii) + Digits(rng, 2, 2);
        case 4:
            return std::string(first.ascii);
        default:
            return std::string(last.ascii) + Digits(rng, 1, 4);
    }
}

}  // namespace

Contact MakeContact(std::uint64_t seed, std::uint64_t index) {
    // Mix seed and index once, so neighbouring contacts share no state.
    Rng rng(Rng(seed ^ (index * 0xD1B54A32D192ED03ULL)).Next());
    Contact c;
    const Locale& locale = PickLocale(rng);

    // 7% of entries are a business rather than a person; people name them by
    // putting the firm's name in the last-name column.
    const bool organisation = rng.Chance(70);
    const bool business = organisation || rng.Chance(380);
    const Name& company = rng.Chance(700) ? rng.Pick(locale.companies)
                                          : rng.Pick(std::span<const Name>(kEnglishCompanies));
    const Name& first = rng.Pick(locale.firstNames);
    const Name& last = rng.Pick(locale.lastNames);

    if (organisation) {
        c[kLastName] = company.text;
    } else {
        if (rng.Chance(985)) {
            c[kLastName] = last.text;
        }
        if (rng.Chance(900)) {
            c[kFirstName] = first.text;
        }
        if (locale.middleInitials && rng.Chance(200)) {
            c[kMiddleInitial] = std::string(1, static_cast<char>('A' + rng.Below(26)));
        }
        if (rng.Chance(120)) {
            c[kTitle] = PickText(rng, kTitles);
        }
    }

    const Place& place = rng.Pick(locale.places);
    const bool home = &locale == &kLocales[0];  // the owner's own country
    if (rng.Chance(400)) {
        c[kAddress1] = StreetAddress(rng, locale);
        if (rng.Chance(180)) {
            c[kAddress2] = PickText(rng, kSecondLines);
        }
        if (rng.Chance(950)) {
            c[kCity] = place.city;
        }
        if (rng.Chance(850)) {
            c[kState] = place.state;
        }
        if (rng.Chance(900)) {
            c[kZipCode] = FillPattern(rng, locale.zipPattern);
            if (home && rng.Chance(150)) {
                c[kZipCode] += FillPattern(rng, "-####");
            }
        }
        if (rng.Chance(home ? 250 : 900)) {
            c[kCountry] = PickText(rng, locale.countries);
        }
    } else if (rng.Chance(120)) {
        c[kCity] = place.city;
    }

    if (business && !organisation) {
        c[kCompany] = company.text;
        if (rng.Chance(250)) {
            c[kDepartment] = PickText(rng, kDepartments);
        }
        if (rng.Chance(500)) {
            c[kPosition] = PickText(rng, kPositions);
        }
        if (rng.Chance(80)) {
            const Name& manager = rng.Pick(locale.lastNames);
            c[kManager] =
                std::string(rng.Pick(locale.firstNames).text) + " " + std::string(manager.text);
        }
    }
    if (rng.Chance(40)) {
        c[kAdditional1] = rng.Chance(500)
                              ? "Assistant: " + std::string(rng.Pick(locale.firstNames).text)
                              : "Customer #" + Digits(rng, 5, 7);
        if (rng.Chance(250)) {
            c[kAdditional2] = "Birthday: " + FillPattern(rng, "19##-0%-1#");
        }
    }

    if (!organisation && rng.Chance(450)) {
        c[kHomePhone] = FillPattern(rng, locale.phonePattern);
        if (rng.Chance(20)) {
            c[kHomeExt] = Digits(rng, 1, 3);
        }
    }
    if (business && rng.Chance(800)) {
        c[kWorkPhone] = FillPattern(rng, locale.phonePattern);
        if (rng.Chance(300)) {
            c[kWorkExt] = Digits(rng, 2, 5);
        }
    }
    if (!organisation && rng.Chance(500)) {
        c[kCellPhone] = FillPattern(rng, locale.phonePattern);
        if (rng.Chance(10)) {
            c[kCellExt] = Digits(rng, 1, 3);
        }
    }
    if (rng.Chance(30)) {
        c[kPager] = FillPattern(rng, locale.phonePattern);
        if (rng.Chance(400)) {
            c[kPagerCard] = rng.Chance(500) ? "PIN " + Digits(rng, 4, 6) : Digits(rng, 6, 8);
        }
        if (rng.Chance(200)) {
            c[kPagerExt] = Digits(rng, 2, 4);
        }
    }
    if (business && rng.Chance(250)) {
        c[kFaxPhone] = FillPattern(rng, locale.phonePattern);
        if (rng.Chance(50)) {
            c[kFaxExt] = Digits(rng, 2, 4);
        }
    }

    const std::string slug(company.ascii);
    if (rng.Chance(organisation ? 700 : 650)) {
        if (organisation) {
            c[kEmail1] =
                (rng.Chance(500) ? "info@" : "sales@") + slug + std::string(locale.webSuffix);
        } else if (business && rng.Chance(500)) {
            c[kEmail1] =
                EmailLocalPart(rng, first, last) + "@" + slug + std::string(locale.webSuffix);
        } else {
            const std::string local = EmailLocalPart(rng, first, last);
            c[kEmail1] = local + "@" + std::string(PickText(rng, kFreeMail));
        }
        if (rng.Chance(200)) {
            const std::string local = EmailLocalPart(rng, first, last);
            c[kEmail2] = local + "@" + std::string(PickText(rng, kFreeMail));
        }
    }
    if (rng.Chance(business ? 280 : 60)) {
        switch (rng.Below(3)) {
            case 0:
                c[kWeb1] = "http://www." + slug + std::string(locale.webSuffix) + "/";
                break;
            case 1:
                c[kWeb1] = "https://" + slug + std::string(locale.webSuffix) +
                           "/contact?lang=en&id=" + Digits(rng, 3, 6);
                break;
            default:
                c[kWeb1] = "http://home.example.net/~" + std::string(last.ascii) + "/";
                break;
        }
        if (rng.Chance(150)) {
            c[kWeb2] = "www." + std::string(first.ascii) + std::string(last.ascii) + ".net";
        }
    }
    if (rng.Chance(280)) {
        c[kNotes] = Notes(rng);
    }
    return c;
}

int CountFilled(const Contact& contact) {
    int filled = 0;
    for (const std::string& field : contact) {
        filled += field.empty() ? 0 : 1;
    }
    return filled;
}

void AppendBookClause(const Contact& contact, std::string& out, bool crlf) {
    const std::string_view comma = crlf ? ",\r\n" : ",\n";
    const std::string_view end = crlf ? ").\r\n\r\n" : ").\n\n";
    out += "contact(";
    for (int i = 0; i < kFieldCount; ++i) {
        if (i > 0) {
            out += "  ";
        }
        out += '\'';
        out += kAttributeNames[i];
        out += "' = \"";
        for (char ch : contact[i]) {
            if (ch == '"' || ch == '\\') {
                out += '\\';
            }
            if (ch == '\n' && crlf) {
                out += '\r';
            }
            out += ch;
        }
        out += '"';
        out += i + 1 < kFieldCount ? comma : end;
    }
}

namespace {

template <typename Texts>
void AppendQuotedLine(const Texts& texts, char separator, std::string& out) {
    for (const auto& text : texts) {
        out += '"';
        for (char ch : std::string_view(text)) {
            if (ch == '\n') {
                out += '\r';
            } else if (ch == '"' || ch == '\\') {
                out += '\\';
            }
            out += ch;
        }
        out += '"';
        out += separator;
    }
    out += "\r\n";
}

void AppendAbookField(std::string_view key, std::string_view value, std::string& out) {
    if (value.empty()) {
        return;
    }
    out += key;
    out += '=';
    // abook keeps one field per line; a line break would end the value.
    for (char ch : value) {
        out += (ch == '\n' || ch == '\r') ? ' ' : ch;
    }
    out += '\n';
}

std::string WithExtension(const std::string& phone, const std::string& ext) {
    return ext.empty() || phone.empty() ? phone : phone + " x" + ext;
}

}  // namespace

void AppendDelimitedLine(const Contact& contact, char separator, std::string& out) {
    AppendQuotedLine(contact, separator, out);
}

void AppendDelimitedHeader(char separator, std::string& out) {
    AppendQuotedLine(kHeaderWords, separator, out);
}

std::string AbookName(const Contact& c, std::uint64_t index) {
    const std::string& first = c[kFirstName];
    const std::string& last = c[kLastName];
    std::string name;
    if (!first.empty() && !last.empty()) {
        const bool latin = static_cast<unsigned char>(first[0]) < 0xE0;  // not CJK
        if (!latin) {
            name = last + first;
        } else if (!c[kMiddleInitial].empty()) {
            name = first + " " + c[kMiddleInitial] + ". " + last;
        } else {
            name = first + " " + last;
        }
    } else {
        name = !last.empty() ? last : first;
    }
    if (name.empty()) {
        name = !c[kCompany].empty() ? c[kCompany] : c[kEmail1];
    }
    if (name.empty()) {
        name = "Contact " + std::to_string(index + 1);
    }
    return name;
}

void AppendAbookPreamble(std::string& out) {
    out += "# abook addressbook file\n\n[format]\nprogram=abook\nversion=0.6.1\n\n\n";
}

void AppendAbookEntry(const Contact& c, std::uint64_t index, std::string& out) {
    out += '[';
    out += std::to_string(index);
    out += "]\n";
    AppendAbookField("name", AbookName(c, index), out);
    std::string email = c[kEmail1];
    if (!c[kEmail2].empty()) {
        email += (email.empty() ? "" : ",") + c[kEmail2];
    }
    AppendAbookField("email", email, out);
    AppendAbookField("address", c[kAddress1], out);
    AppendAbookField("address2", c[kAddress2], out);
    AppendAbookField("city", c[kCity], out);
    AppendAbookField("state", c[kState], out);
    AppendAbookField("zip", c[kZipCode], out);
    AppendAbookField("country", c[kCountry], out);
    AppendAbookField("phone", WithExtension(c[kHomePhone], c[kHomeExt]), out);
    AppendAbookField("workphone", WithExtension(c[kWorkPhone], c[kWorkExt]), out);
    AppendAbookField("fax", WithExtension(c[kFaxPhone], c[kFaxExt]), out);
    AppendAbookField("mobile", WithExtension(c[kCellPhone], c[kCellExt]), out);
    AppendAbookField("url", c[kWeb1], out);
    AppendAbookField("notes", c[kNotes], out);
    // abook keeps five free fields; these carry the business data.
    AppendAbookField("custom1", c[kCompany], out);
    AppendAbookField("custom2", c[kTitle], out);
    AppendAbookField("custom3", c[kDepartment], out);
    AppendAbookField("custom4", c[kPosition], out);
    AppendAbookField("custom5", c[kManager], out);
    out += '\n';
}

BookPaths PathsFor(const std::string& folder, std::uint64_t count) {
    const std::string stem = folder + "/book-" + std::to_string(count);
    return {stem + ".qxd", stem + ".csv", stem + ".tdf", stem + ".abook"};
}

namespace {

// One output file, written under "<path>.tmp" and renamed into place.
class OutputFile {
public:
    explicit OutputFile(std::string path) : m_path(std::move(path)), m_temp(m_path + ".tmp") {
        m_stream.open(m_temp, std::ios::binary | std::ios::trunc);
    }
    ~OutputFile() {
        if (!m_committed) {
            m_stream.close();
            std::error_code ignored;
            std::filesystem::remove(m_temp, ignored);
        }
    }

    std::string& Buffer() { return m_buffer; }
    // Writes the buffer out once it is large enough (or when `force`).
    void Flush(bool force = false) {
        if (force || m_buffer.size() >= (4u << 20)) {
            m_stream.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
            m_written += m_buffer.size();
            m_buffer.clear();
        }
    }
    bool Commit(std::uint64_t& size, std::string& error) {
        Flush(true);
        m_stream.close();
        if (!m_stream) {
            error = "cannot write " + m_temp;
            return false;
        }
        std::error_code ec;
        std::filesystem::rename(m_temp, m_path, ec);
        if (ec) {
            error = "cannot rename " + m_temp + ": " + ec.message();
            return false;
        }
        m_committed = true;
        size = m_written;
        return true;
    }

private:
    std::string m_path;
    std::string m_temp;
    std::ofstream m_stream;
    std::string m_buffer;
    std::uint64_t m_written = 0;
    bool m_committed = false;
};

}  // namespace

bool WriteBookFiles(const std::string& folder, std::uint64_t count, std::uint64_t seed,
                    BookSizes& sizes, std::string& error) {
    const BookPaths paths = PathsFor(folder, count);
    OutputFile book(paths.book);
    OutputFile csv(paths.csv);
    OutputFile tdf(paths.tdf);
    OutputFile abook(paths.abook);
    sizes = BookSizes{};

    AppendDelimitedHeader(',', csv.Buffer());
    AppendDelimitedHeader('\t', tdf.Buffer());
    AppendAbookPreamble(abook.Buffer());
    for (std::uint64_t i = 0; i < count; ++i) {
        const Contact contact = MakeContact(seed, i);
        sizes.filledFields += static_cast<std::uint64_t>(CountFilled(contact));
        AppendBookClause(contact, book.Buffer());
        AppendDelimitedLine(contact, ',', csv.Buffer());
        AppendDelimitedLine(contact, '\t', tdf.Buffer());
        AppendAbookEntry(contact, i, abook.Buffer());
        book.Flush();
        csv.Flush();
        tdf.Flush();
        abook.Flush();
    }
    return book.Commit(sizes.book, error) && csv.Commit(sizes.csv, error) &&
           tdf.Commit(sizes.tdf, error) && abook.Commit(sizes.abook, error);
}

std::string MakeBookText(std::uint64_t count, std::uint64_t seed, bool crlf) {
    std::string text;
    for (std::uint64_t i = 0; i < count; ++i) {
        AppendBookClause(MakeContact(seed, i), text, crlf);
    }
    return text;
}

std::string MakeDelimitedText(std::uint64_t count, std::uint64_t seed, char separator) {
    std::string text;
    AppendDelimitedHeader(separator, text);
    for (std::uint64_t i = 0; i < count; ++i) {
        AppendDelimitedLine(MakeContact(seed, i), separator, text);
    }
    return text;
}

}  // namespace bench
