#include "clausedb/parse_errors.h"

namespace clausedb {

void ParseErrors::Add(std::int32_t line, std::string_view message) {
    ++m_nCount;
    if (m_errors.size() < m_nKeep) {
        m_errors.push_back({line, std::string(message)});
    }
}

void ParseErrors::Clear() {
    m_nCount = 0;
    m_errors.clear();
}

}  // namespace clausedb
