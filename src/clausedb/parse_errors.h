// The syntax errors of one read of clause text.  Each read is given its own
// record (or none), so reads never hear of each other's errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace clausedb {

// One error: the line of the token where the reader found it, and the
// reader's message ("syntax error", "Unrecognized command.", "yacc stack
// overflow", ...).
struct SyntaxError {
    std::int32_t line = 0;
    std::string message;
    bool operator==(const SyntaxError&) const = default;
};

// The errors of a read, in the order the reader found them.
class ParseErrors {
public:
    // Counts every error and keeps the first `keep` of them (a reader that
    // only shows the first error need not hold them all).
    explicit ParseErrors(std::size_t keep = std::numeric_limits<std::size_t>::max())
        : m_nKeep(keep) {}

    void Add(std::int32_t line, std::string_view message);
    void Clear();

    int Count() const { return m_nCount; }
    const std::vector<SyntaxError>& Errors() const { return m_errors; }

private:
    std::size_t m_nKeep;
    int m_nCount = 0;
    std::vector<SyntaxError> m_errors;
};

}  // namespace clausedb
