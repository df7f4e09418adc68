#include "addresslist/address_list_model.h"

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "addresslist/case_fold.h"
#include "addresslist/field_scan.h"
#include "addresslist/sort_order.h"

namespace addresslist {

using addressbook::CAddressEntry;

namespace {

// Below this many rows a second thread for the sort keys costs more than it
// saves.
constexpr int kRowsForTwoThreads = 20000;

void CheckRow(int row, std::size_t count) {
    if (row < 0 || static_cast<std::size_t>(row) >= count) {
        throw std::out_of_range("address list row out of range");
    }
}

}  // namespace

std::string FoldForSort(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    AppendCaseFolded(text, key);
    return key;
}

AddressListModel::AddressListModel(const ColumnTexts& labels, QObject* parent)
    : QAbstractTableModel(parent), m_labels(labels), m_headers(labels) {
    RecomputeFieldCache();
}

AddressListModel::~AddressListModel() = default;

int AddressListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int AddressListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant AddressListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        const int field = m_fieldAt[static_cast<std::size_t>(index.column())];
        if (field < 0) {
            return QString();
        }
        const std::string_view text =
            m_rows[static_cast<std::size_t>(index.row())]->GetField(field);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::TextAlignmentRole) {
        return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant AddressListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_headers[static_cast<std::size_t>(section)];
    }
    if (role == Qt::TextAlignmentRole) {
        return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags AddressListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

const CAddressEntry& AddressListModel::EntryAt(int row) const {
    CheckRow(row, m_rows.size());
    return *m_rows[static_cast<std::size_t>(row)];
}

CAddressEntry& AddressListModel::MutableEntryAt(int row) {
    CheckRow(row, m_rows.size());
    DropSortKeys();
    return *m_rows[static_cast<std::size_t>(row)];
}

bool AddressListModel::AppendEntry(std::unique_ptr<CAddressEntry> entry) {
    return InsertEntry(RowCount(), std::move(entry));
}

bool AddressListModel::InsertEntry(int row, std::unique_ptr<CAddressEntry> entry) {
    if (!entry || row < 0 || row > RowCount()) {
        return false;
    }
    if (m_nRowLimit >= 0 && RowCount() >= m_nRowLimit) {
        return false;
    }
    DropSortKeys();
    if (m_bBulk) {
        m_rows.insert(m_rows.begin() + row, std::move(entry));
        return true;
    }
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, std::move(entry));
    endInsertRows();
    return true;
}

void AddressListModel::SetRedraw(bool on) {
    if (!on && !m_bBulk) {
        beginResetModel();
        m_bBulk = true;
    } else if (on && m_bBulk) {
        m_bBulk = false;
        endResetModel();
    }
}

void AddressListModel::ReserveRows(int count) {
    if (count > 0) {
        m_rows.reserve(m_rows.size() + static_cast<std::size_t>(count));
    }
}

void AddressListModel::ResortList() {
    if (m_resortHandler) {
        m_resortHandler();
    }
}

void AddressListModel::RefreshRow(int row) {
    CheckRow(row, m_rows.size());
    if (!m_bBulk) {
        emit dataChanged(index(row, 0), index(row, kColumnCount - 1), {Qt::DisplayRole});
    }
}

bool AddressListModel::RemoveRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    DropSortKeys();
    if (!m_bBulk) {
        beginRemoveRows(QModelIndex(), row, row);
    }
    m_rows.erase(m_rows.begin() + row);
    if (!m_bBulk) {
        endRemoveRows();
    }
    return true;
}

std::vector<std::unique_ptr<CAddressEntry>> AddressListModel::TakeRows(
    const std::vector<int>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CheckRow(rows[i], m_rows.size());
        if (i > 0 && rows[i] <= rows[i - 1]) {
            throw std::invalid_argument("rows to take out must ascend");
        }
    }
    DropSortKeys();
    std::vector<std::unique_ptr<CAddressEntry>> taken(rows.size());
    const auto takeRange = [&](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i <= last; ++i) {
            taken[i] = std::move(m_rows[static_cast<std::size_t>(rows[i])]);
        }
    };
    if (m_bBulk) {
        // Nobody is told about single rows: hand every entry over, then
        // close up the remaining rows in one pass.
        if (!rows.empty()) {
            takeRange(0, rows.size() - 1);
            std::erase(m_rows, nullptr);
        }
        return taken;
    }
    // Announced run by run from the bottom, so the numbers of the runs still
    // to go stay valid.
    std::size_t end = rows.size();
    while (end > 0) {
        std::size_t first = end - 1;
        while (first > 0 && rows[first - 1] + 1 == rows[first]) {
            --first;
        }
        beginRemoveRows(QModelIndex(), rows[first], rows[end - 1]);
        takeRange(first, end - 1);
        m_rows.erase(m_rows.begin() + rows[first], m_rows.begin() + rows[end - 1] + 1);
        endRemoveRows();
        end = first;
    }
    return taken;
}

bool AddressListModel::InsertRows(const std::vector<int>& rows,
                                  std::vector<std::unique_ptr<CAddressEntry>>& entries) {
    const std::size_t count = m_rows.size();
    if (rows.size() != entries.size()) {
        return false;
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        // Before row rows[k] stand k new rows and rows[k] - k old ones.
        if (!entries[k] || rows[k] < static_cast<int>(k) ||
            static_cast<std::size_t>(rows[k]) - k > count || (k > 0 && rows[k] <= rows[k - 1])) {
            return false;
        }
    }
    if (m_nRowLimit >= 0 && count + rows.size() > static_cast<std::size_t>(m_nRowLimit)) {
        return false;
    }
    DropSortKeys();
    if (m_bBulk) {
        // Nobody is told about single rows: merge old and new rows in one
        // pass.
        std::vector<std::unique_ptr<CAddressEntry>> merged;
        merged.reserve(count + rows.size());
        std::size_t old = 0;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            while (merged.size() < static_cast<std::size_t>(rows[k])) {
                merged.push_back(std::move(m_rows[old++]));
            }
            merged.push_back(std::move(entries[k]));
        }
        while (old < count) {
            merged.push_back(std::move(m_rows[old++]));
        }
        m_rows = std::move(merged);
    } else {
        // Announced run by run from the top: each run's rows are final once
        // the runs above it are in.
        std::size_t first = 0;
        while (first < rows.size()) {
            std::size_t end = first + 1;
            while (end < rows.size() && rows[end] == rows[end - 1] + 1) {
                ++end;
            }
            beginInsertRows(QModelIndex(), rows[first], rows[end - 1]);
            m_rows.insert(m_rows.begin() + rows[first],
                          std::make_move_iterator(entries.begin() + static_cast<long>(first)),
                          std::make_move_iterator(entries.begin() + static_cast<long>(end)));
            endInsertRows();
            first = end;
        }
    }
    entries.clear();
    return true;
}

void AddressListModel::Clear() {
    DropSortKeys();
    if (m_bBulk) {
        m_rows.clear();
        return;
    }
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

const QString& AddressListModel::HeaderText(int position) const {
    if (position < 0 || position >= kColumnCount) {
        throw std::out_of_range("address list column out of range");
    }
    return m_headers[static_cast<std::size_t>(position)];
}

void AddressListModel::SetHeaderTexts(const ColumnTexts& headers) {
    m_headers = headers;
    RecomputeFieldCache();
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
    if (!m_bBulk && !m_rows.empty()) {
        emit dataChanged(index(0, 0), index(RowCount() - 1, kColumnCount - 1), {Qt::DisplayRole});
    }
}

void AddressListModel::SetColumnOrder(const ColumnValues& order) {
    ColumnTexts headers;
    for (int p = 0; p < kColumnCount; ++p) {
        const int field = order[static_cast<std::size_t>(p)];
        headers[static_cast<std::size_t>(p)] = (field >= 0 && field < kColumnCount)
                                                   ? m_labels[static_cast<std::size_t>(field)]
                                                   : QString();
    }
    SetHeaderTexts(headers);
}

int AddressListModel::FieldAtPosition(int position) const {
    if (position < 0 || position >= kColumnCount) {
        return -1;
    }
    return m_fieldAt[static_cast<std::size_t>(position)];
}

int AddressListModel::SortFieldAtPosition(int position) const {
    const int field = FieldAtPosition(position);
    if (field >= 0) {
        return field;
    }
    return std::clamp(position, 0, kColumnCount - 1);
}

int AddressListModel::PositionOfField(int field) const {
    if (field < 0 || field >= kColumnCount) {
        return -1;
    }
    const QString& label = m_labels[static_cast<std::size_t>(field)];
    for (int p = 0; p < kColumnCount; ++p) {
        if (m_headers[static_cast<std::size_t>(p)] == label) {
            return p;
        }
    }
    return -1;
}

bool AddressListModel::MoveColumn(int from, int to) {
    if (from < 0 || from >= kColumnCount || to < 0 || to > kColumnCount || to == from ||
        to == from + 1) {
        return false;
    }
    if (!m_bBulk) {
        beginMoveColumns(QModelIndex(), from, from, QModelIndex(), to);
    }
    auto first = m_headers.begin();
    if (to > from) {
        std::rotate(first + from, first + from + 1, first + to);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
    RecomputeFieldCache();
    if (!m_bBulk) {
        endMoveColumns();
    }
    emit headerDataChanged(Qt::Horizontal, std::min(from, to), std::max(from, to - 1));
    return true;
}

void AddressListModel::SortByPosition(int position, bool ascending) {
    const int field = SortFieldAtPosition(position);
    const std::size_t count = m_rows.size();
    if (count < 2) {
        return;
    }
    const bool kept = m_nKeptField == field && m_keptKeys.size() == count;
    if (kept && ascending == m_bKeptAscending) {
        return;  // already in this order: a stable sort moves nothing
    }
    if (!kept) {
        ComputeSortKeys(field);
    }
    ApplyOrder(kept ? ReversedRunsOrder(m_keptKeys) : StableSortOrder(m_keptKeys, ascending));
    m_bKeptAscending = ascending;
}

void AddressListModel::ComputeSortKeys(int field) {
    const int count = RowCount();
    m_keptKeys.assign(static_cast<std::size_t>(count), std::string());
    const auto foldRows = [this, field](int first, int rows) {
        for (FieldScan scan(*this, field, first, 1, rows); !scan.AtEnd(); scan.Next()) {
            m_keptKeys[static_cast<std::size_t>(scan.Row())] = FoldForSort(scan.Text());
        }
    };
    // A large list is folded in two halves at once: the entries are only
    // read, and each half writes its own keys.
    if (count >= kRowsForTwoThreads) {
        const int half = count / 2;
        std::thread secondHalf(foldRows, half, count - half);
        foldRows(0, half);
        secondHalf.join();
    } else {
        foldRows(0, count);
    }
    m_nKeptField = field;
}

void AddressListModel::ApplyOrder(const std::vector<int>& order) {
    const std::size_t count = m_rows.size();
    if (!m_bBulk) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    std::vector<std::unique_ptr<CAddressEntry>> sorted(count);
    std::vector<std::string> sortedKeys(count);
    std::vector<int> newRowOf(count);
    for (std::size_t k = 0; k < count; ++k) {
        const auto old = static_cast<std::size_t>(order[k]);
        sorted[k] = std::move(m_rows[old]);
        sortedKeys[k] = std::move(m_keptKeys[old]);
        newRowOf[old] = static_cast<int>(k);
    }
    m_rows = std::move(sorted);
    m_keptKeys = std::move(sortedKeys);
    if (!m_bBulk) {
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& idx : from) {
            to.append(index(newRowOf[static_cast<std::size_t>(idx.row())], idx.column()));
        }
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
}

void AddressListModel::DropSortKeys() {
    std::vector<std::string>().swap(m_keptKeys);
    m_nKeptField = -1;
}

void AddressListModel::RecomputeFieldCache() {
    for (int p = 0; p < kColumnCount; ++p) {
        m_fieldAt[static_cast<std::size_t>(p)] = -1;
        for (int field = 0; field < kColumnCount; ++field) {
            if (m_headers[static_cast<std::size_t>(p)] ==
                m_labels[static_cast<std::size_t>(field)]) {
                m_fieldAt[static_cast<std::size_t>(p)] = field;
                break;
            }
        }
    }
}

}  // namespace addresslist
