// Shows one dialog of the entry commands with sample contents and saves a
// picture of the whole screen after a moment, for looking at the layouts:
//   quillbox_entries_gallery DIALOG OUTPUT.png
// DIALOG is one of sheet0 .. sheet5 (the editor's pages, sheet5 the "More"
// page of extra data), find, selectfields, empty, vcardexport.  The picture is taken with
// ImageMagick's `import`.
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "addressbook/address_entry.h"
#include "addressbook/field_table.h"
#include "entries/empty_dlg.h"
#include "entries/find_dlg.h"
#include "entries/find_history.h"
#include "entries/prop_info.h"
#include "entries/select_fields_dlg.h"
#include "entries/vcard_export_dlg.h"
#include "resources/string_table.h"

using namespace entries;
using namespace addressbook;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIALOG OUTPUT.png\n", argv[0]);
        return 2;
    }
    const QString which = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    std::unique_ptr<QDialog> dialog;
    FindHistory history;
    if (which.startsWith(QStringLiteral("sheet"))) {
        auto sheet = std::make_unique<CPropInfo>(resources::kStrEditEntryCaption);
        CAddressEntry entry;
        const std::pair<int, const char*> sample[] = {
            {FirstName, "Ann"},
            {LastName, "Smith"},
            {MiddleInitial, "B"},
            {Title, "Dr."},
            {Address1, "12 Main Street"},
            {City, "Springfield"},
            {State, "IL"},
            {ZipCode, "62701"},
            {Country, "USA"},
            {Company, "Acme Corp"},
            {Position, "Engineer"},
            {HomePhone, "(555) 010-2030"},
            {HomeExt, "12"},
            {WorkPhone, "(555) 010-4050"},
            {Email1, "ann@example.com"},
            {Web1, "http://example.com/ann"},
            {Notes, "Met at the fair.<p>Likes tea.<p>Call after 6."},
        };
        for (const auto& [field, text] : sample) {
            entry.SetField(field, text);
        }
        CExtraDataBuilder extra;
        extra.AddStringAttribute("vCard", "BDAY;VALUE=date:1980-04-01");
        extra.AddStringAttribute("vCard", "NICKNAME:Annie");
        extra.AddStringAttribute("vCard", "item1.EMAIL;TYPE=INTERNET:third@example.org");
        extra.AddStringAttribute("vCard", "item1.X-ABLabel:Office");
        extra.AddStringAttribute("vCard", "CATEGORIES:Friends,Work");
        entry.SetExtra(extra.Build());
        sheet->LoadFromEntry(entry);
        sheet->Tabs()->setCurrentIndex(which.mid(5).toInt());
        dialog = std::move(sheet);
    } else if (which == QStringLiteral("find")) {
        auto find = std::make_unique<CFindDlg>();
        history.Add(QStringLiteral("Jones"));
        history.Add(QStringLiteral("Smith"));
        find->m_strFindText = QStringLiteral("Smith");
        find->OnInitDialog(&history);
        dialog = std::move(find);
    } else if (which == QStringLiteral("selectfields")) {
        auto select = std::make_unique<CSelectFieldsDlg>();
        select->m_strFirstLine = QStringLiteral(
            "\"LASTNAME\",\"FIRSTNAME\",\"MI\",\"TITLE\",\"ADDRESS1\",\"ADDRESS2\","
            "\"CITY\",\"COUNTRY\",\"STATE\",\"ZIPCODE\",\"COMPANY\",");
        select->m_nColumn[LastName] = 1;
        select->m_nColumn[FirstName] = 2;
        select->m_nColumn[City] = 7;
        select->UpdateControls();
        dialog = std::move(select);
    } else if (which == QStringLiteral("vcardexport")) {
        dialog = std::make_unique<CVCardExportDlg>();
    } else if (which == QStringLiteral("empty")) {
        auto empty = std::make_unique<CEmptyDlg>();
        empty->m_nAddToEntry = 1;
        empty->UpdateControls();
        dialog = std::move(empty);
    } else {
        std::fprintf(stderr, "unknown dialog\n");
        return 2;
    }
    dialog->show();
    dialog->move(40, 40);
    int status = 0;
    QTimer::singleShot(1500, [&] {
        status = QProcess::execute(QStringLiteral("import"),
                                   {QStringLiteral("-window"), QStringLiteral("root"), output});
        app.quit();
    });
    app.exec();
    return status;
}
