// JSON text for the dump command.
#pragma once

#include <string>
#include <string_view>

namespace quillbox::tool {

// Appends `text` (UTF-8) as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace quillbox::tool
