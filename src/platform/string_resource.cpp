#include "platform/string_resource.h"

#include <string_view>

#include "resources/string_table.h"

namespace platform {

QString ResourceString(int id) {
    const std::string_view text = resources::LoadString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace platform
