#include "addresslist/list_resources.h"

#include "resources/string_table.h"

namespace addresslist {

QString ResourceText(int id) {
    const std::string_view text = resources::LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

ColumnTexts LoadColumnLabels() {
    ColumnTexts labels;
    for (int field = 0; field < kColumnCount; ++field) {
        labels[static_cast<std::size_t>(field)] =
            ResourceText(resources::kStrFieldLabelFirst + field);
    }
    return labels;
}

}  // namespace addresslist
