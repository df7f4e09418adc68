#include "addresslist/list_resources.h"

#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace addresslist {

ColumnTexts LoadColumnLabels() {
    ColumnTexts labels;
    for (int field = 0; field < kColumnCount; ++field) {
        labels[static_cast<std::size_t>(field)] =
            platform::ResourceString(resources::kStrFieldLabelFirst + field);
    }
    return labels;
}

}  // namespace addresslist
