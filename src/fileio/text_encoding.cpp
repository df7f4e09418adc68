#include "text_encoding.h"

#include <bit>
#include <cstdint>

namespace fileio {
namespace {

// Code points of bytes 0x80..0x9F in Windows-1252.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    Utf16Decoder decoder(bigEndian);
    decoder.Feed(bytes, out);
    decoder.Finish(out);
    return out;
}

}  // namespace

void Utf16Decoder::Unit(char16_t unit, std::string& out) {
    if (m_nHigh != 0) {
        const char16_t high = m_nHigh;
        m_nHigh = 0;
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (unit - 0xDC00));
            return;
        }
        AppendUtf8(out, 0xFFFD);  // a high surrogate without its pair
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        m_nHigh = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        AppendUtf8(out, 0xFFFD);  // lone low surrogate
    } else {
        AppendUtf8(out, unit);
    }
}

void Utf16Decoder::Feed(std::string_view bytes, std::string& out) {
    auto unitOf = [this](unsigned char b0, unsigned char b1) {
        return static_cast<char16_t>(m_bBigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    std::size_t i = 0;
    if (m_nOddByte >= 0 && !bytes.empty()) {
        Unit(unitOf(static_cast<unsigned char>(m_nOddByte), static_cast<unsigned char>(bytes[0])),
             out);
        m_nOddByte = -1;
        i = 1;
    }
    for (; i + 1 < bytes.size(); i += 2) {
        Unit(unitOf(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1])),
             out);
    }
    if (i < bytes.size()) {
        m_nOddByte = static_cast<unsigned char>(bytes[i]);
    }
}

void Utf16Decoder::Finish(std::string& out) {
    if (m_nHigh != 0) {
        AppendUtf8(out, 0xFFFD);
        m_nHigh = 0;
    }
    m_nOddByte = -1;
}

std::size_t DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsAscii(std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        __builtin_memcpy(&word, bytes.data() + i, 8);
        if ((word & 0x8080808080808080ULL) != 0) {
            return false;
        }
    }
    for (; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Fast path over plain ASCII, 32 bytes at a time, then eight, then
        // straight to the first byte with its high bit set.
        constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
        while (end - p >= 32) {
            std::uint64_t words[4];
            __builtin_memcpy(words, p, 32);
            if ((words[0] | words[1] | words[2] | words[3]) & kHighBits) {
                break;
            }
            p += 32;
        }
        while (end - p >= 8) {
            std::uint64_t word;
            __builtin_memcpy(&word, p, 8);
            if ((word & kHighBits) != 0) {
                if constexpr (std::endian::native == std::endian::little) {
                    p += std::countr_zero(word & kHighBits) >> 3;
                }
                break;
            }
            p += 8;
        }
        while (p < end && *p < 0x80) {
            ++p;
        }
        if (p >= end) {
            break;
        }
        const unsigned char c = *p;
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if ((p[k] & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;  // overlong form, beyond Unicode, or a surrogate
        }
        p += extra + 1;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else if (c < 0xA0) {
            AppendUtf8(out, kHighControls[c - 0x80]);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

void DecodeToUtf8(std::string& text) {
    auto startsWith = [&](std::string_view prefix) {
        return std::string_view(text).substr(0, prefix.size()) == prefix;
    };
    if (startsWith("\xEF\xBB\xBF")) {
        text.erase(0, 3);
    } else if (startsWith("\xFF\xFE")) {
        text = Utf16ToUtf8(std::string_view(text).substr(2), false);
        return;
    } else if (startsWith("\xFE\xFF")) {
        text = Utf16ToUtf8(std::string_view(text).substr(2), true);
        return;
    }
    if (!IsValidUtf8(text)) {
        text = Windows1252ToUtf8(text);
    }
}

}  // namespace fileio
