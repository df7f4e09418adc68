// Shows the address list with generated entries, to look at it:
//   quillbox_addresslist_demo [rows]
// The settings go to a temporary file, so the user's settings stay untouched.
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "addressbook/field_table.h"
#include "addresslist/address_list_view.h"
#include "settings/settings_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(0, std::atoi(argv[1])) : 300;
    QTemporaryDir folder;
    settings::SettingsStore store(folder.filePath("demo.INI").toStdString());

    static const std::array<const char*, 8> kLast = {
        "Smith", "adams", "O'Brien", "Müller", "Nguyen", "García", "Ødegaard", "Baker & Sons"};
    static const std::array<const char*, 6> kFirst = {"Jane", "John", "Ann",
                                                      "Zoë",  "Li",   "Maximilian"};
    static const std::array<const char*, 5> kCity = {"Springfield", "Oslo", "München", "São Paulo",
                                                     "Llanfairpwllgwyngyll"};
    addresslist::CQX32View view(store);
    auto& model = view.Model();
    model.SetRedraw(false);
    for (int i = 0; i < rows; ++i) {
        auto entry = std::make_unique<addressbook::CAddressEntry>();
        entry->SetField(addressbook::LastName, kLast[i % kLast.size()]);
        entry->SetField(addressbook::FirstName, kFirst[(i / 3) % kFirst.size()]);
        entry->SetField(addressbook::MiddleInitial,
                        std::string(1, static_cast<char>('A' + i % 26)));
        entry->SetField(addressbook::Address1, std::to_string(100 + i) + " Long Avenue, Building " +
                                                   std::to_string(i % 7));
        entry->SetField(addressbook::City, kCity[(i / 2) % kCity.size()]);
        entry->SetField(addressbook::HomePhone, "555-" + std::to_string(1000 + i));
        entry->SetField(addressbook::Email1, "person" + std::to_string(i) + "@example.org");
        entry->SetField(addressbook::Notes, "Met at \"Expo\" 1997<p>second line");
        model.AppendEntry(std::move(entry));
    }
    model.SetRedraw(true);
    view.OnColumnClick(addressbook::LastName);  // sorts descending: the column starts as sort index
    view.OnColumnClick(addressbook::LastName);
    view.SelectRow(3);
    view.resize(1000, 600);
    view.setWindowTitle(QStringLiteral("Address list"));
    view.show();
    view.setFocus();
    return app.exec();
}
