#include "fileio/utf8_check.h"

#include "fileio/text_encoding.h"

namespace fileio {
namespace {

// Length of the UTF-8 character that starts with `lead` (1 for ASCII, and
// for bytes that start no character, which the full check then refuses).
std::size_t CharacterLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// How many bytes at the end of `bytes` start a character that they do not
// complete (0 to 3).
std::size_t IncompleteTail(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((b & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        return back < CharacterLength(b) ? back : 0;
    }
    return 0;
}

}  // namespace

bool Utf8StreamCheck::Feed(std::string_view bytes) {
    if (!m_bValid) {
        return false;
    }
    if (m_nPending > 0) {
        // Complete the character the previous piece cut off, then check it.
        const std::size_t need = CharacterLength(static_cast<unsigned char>(m_pending[0]));
        while (m_nPending < need && !bytes.empty()) {
            m_pending[m_nPending++] = bytes.front();
            bytes.remove_prefix(1);
        }
        if (m_nPending < need) {
            return true;
        }
        m_bValid = IsValidUtf8(std::string_view(m_pending, m_nPending));
        m_nPending = 0;
        if (!m_bValid) {
            return false;
        }
    }
    const std::size_t tail = IncompleteTail(bytes);
    m_bValid = IsValidUtf8(bytes.substr(0, bytes.size() - tail));
    for (std::size_t i = bytes.size() - tail; i < bytes.size(); ++i) {
        m_pending[m_nPending++] = bytes[i];
    }
    return m_bValid;
}

}  // namespace fileio
