#include "entries/vcard_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "addressbook/vcard_export.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "entries/vcard_commands.h"
#include "platform/command_router.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

QMimeData* MakeVCardMimeData(const QByteArray& cards) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/vcard"), cards);
    data->setData(QStringLiteral("text/x-vcard"), cards);
    data->setText(QString::fromUtf8(cards));
    return data;
}

std::vector<int> CVCardClipboard::RowsToCopy() const {
    const IEntryListUi& list = *m_services.list;
    std::vector<int> rows = list.SelectedRows();
    if (rows.size() > 1) {
        return rows;
    }
    const int row = list.SelectedRow();
    return row >= 0 ? std::vector<int>{row} : std::vector<int>{};
}

void CVCardClipboard::OnCopyAsVCard() {
    const std::vector<int> rows = RowsToCopy();
    if (rows.empty()) {
        return;
    }
    const IEntryListUi& list = *m_services.list;
    const std::vector<std::string> uids = ExportUidsOf(list, rows);
    std::string cards;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        cards += addressbook::VCardText(list.EntryAt(rows[i]), addressbook::vcard::Version::V30,
                                        uids[i]);
    }
    QGuiApplication::clipboard()->setMimeData(
        MakeVCardMimeData(QByteArray(cards.data(), static_cast<qsizetype>(cards.size()))));
    // The cards are out with these UIDs: the entries keep them.
    m_services.undo->StoreUids(rows, uids);
}

bool CVCardClipboard::CanPaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && VCardDataOf(*data).has_value();
}

void CVCardClipboard::OnPaste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const std::optional<QByteArray> cards = data != nullptr ? VCardDataOf(*data) : std::nullopt;
    if (cards) {
        m_import.ImportVCardBytes(*cards, false, true, resources::kCmdEditPaste,
                                  ResourceString(resources::kStrClipboardName));
    }
}

void CVCardClipboard::Register(platform::CommandTarget& target) {
    target.OnCommand(resources::kCmdEditCopyAsVCard, [this] { OnCopyAsVCard(); });
    target.OnCommand(resources::kCmdEditPaste, [this] { OnPaste(); });
    target.OnUpdate(resources::kCmdEditCopyAsVCard, [this](platform::CCmdUI& ui) {
        ui.Enable(m_services.list->SelectedRow() >= 0);
    });
    target.OnUpdate(resources::kCmdEditPaste, [](platform::CCmdUI& ui) { ui.Enable(CanPaste()); });
}

}  // namespace entries
