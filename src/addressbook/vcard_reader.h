// Reads vCard files (versions 2.1, 3.0 and 4.0) as phones, webmail and
// address books write them, card by card, in bounded memory.
//
// - The text may be UTF-8 (with or without a byte-order mark), UTF-16 with a
//   byte-order mark, or 8-bit text in the CHARSET of each property (Latin-1
//   or Windows-1252 when none is given); lines end with CR LF, LF or CR.
// - Folded lines (a line end followed by a space or a tab) are joined, and
//   so are the soft line breaks ("=" at a line end) of QUOTED-PRINTABLE
//   values, unless the next line starts a property of a known name (some
//   writers end a value with "="); each property is then decoded
//   (vcard_syntax.h).
// - Blank lines between and inside cards, and several cards in one file, are
//   read; lines outside BEGIN:VCARD ... END:VCARD are counted and ignored.
//
// What cannot be read is skipped and reported with its line number:
// - a card without END:VCARD (the file ends, or the next BEGIN:VCARD comes
//   first) is skipped whole, since its end may be lost;
// - a line without a colon is skipped; its card is read without it;
// - a property longer than kMaxPropertyBytes once unfolded is skipped, and is
//   never held in memory whole;
// - a card of more than kMaxCardProperties properties or kMaxCardBytes bytes
//   is skipped whole.
// So a file of any size is read holding one card at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/vcard_syntax.h"

namespace addressbook::vcard {

inline constexpr std::size_t kMaxPropertyBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxCardProperties = 10000;
inline constexpr std::size_t kMaxCardBytes = std::size_t{64} << 20;

struct Card {
    std::vector<Property> properties;  // in file order, BEGIN, END and blank lines left out
    int line = 0;                      // line of BEGIN:VCARD
    std::string version;               // the VERSION value, empty when none
};

// Something the reader skipped: where, and why ("no END:VCARD", "no colon",
// "PHOTO longer than 16 MB").
struct ReadProblem {
    int line;
    std::string reason;
};

struct ReadProblems {
    std::vector<ReadProblem> skippedCards;
    std::vector<ReadProblem> skippedLines;
    int linesOutsideCards = 0;  // lines with text outside any card

    bool Empty() const {
        return skippedCards.empty() && skippedLines.empty() && linesOutsideCards == 0;
    }
};

class CVCardReader {
public:
    // Called with each complete card, in file order; it may take the
    // card's properties (the card is not used again).
    using CardFn = std::function<void(Card& card)>;
    // Called by ReadFile after each block with the bytes read so far and the
    // file's size, so that a window can show how far a long read has come.
    using ProgressFn = std::function<void(std::uint64_t done, std::uint64_t total)>;

    CVCardReader();
    ~CVCardReader();
    CVCardReader(const CVCardReader&) = delete;
    CVCardReader& operator=(const CVCardReader&) = delete;

    // Reads the file at `path` block by block.  False, with ErrorText() and
    // ErrorNumber() set, when it cannot be opened or reading fails part-way
    // (the cards read before were handed out all the same).
    bool ReadFile(const std::string& path, const CardFn& onCard, const ProgressFn& onProgress = {});
    // The same from bytes in memory.
    void ReadBytes(std::string_view bytes, const CardFn& onCard);

    // What was skipped by the last read.
    const ReadProblems& Problems() const { return m_problems; }
    const std::string& ErrorText() const { return m_strError; }
    int ErrorNumber() const { return m_nErrno; }

    // Test seams: the size of the reading blocks, and a smaller property
    // limit (0: the normal sizes).
    static void SetBlockSizeForTesting(std::size_t bytes);
    static void SetMaxPropertyBytesForTesting(std::size_t bytes);

private:
    struct State;

    ReadProblems m_problems;
    std::string m_strError;
    int m_nErrno = 0;
};

}  // namespace addressbook::vcard
