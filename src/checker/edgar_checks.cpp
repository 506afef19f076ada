#include "checker/edgar_checks.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/text_encoding.h"
#include "text/text_scan.h"

namespace tarlo {

namespace {

constexpr std::size_t npos = std::string_view::npos;

struct Scan {
    std::string_view searched;
    const char* description;
    const char* code;
    const char* severity;
    const char* fix;
};

constexpr const char* kSymbolWindow = " - check Special Symbol window";

// Office markup. A scan runs only when its text occurs with exactly this
// capitalisation; it then reports every occurrence in any capitalisation.
const std::array<Scan, 5> kMarkupScans{{
    {"<o:", "Unacceptable Microsoft code", "<o:", "Error", "Edgarize or manually remove code"},
    {"</o:", "Unacceptable Microsoft element", "</o:", "Error", "Edgarize or manually remove code"},
    {"Mso", "Unacceptable Microsoft element", "mso", "Error", "Edgarize or manually remove"},
    {"<w:", "Unacceptable Microsoft element", "<w:", "Error", "Edgarize or manually remove code"},
    {"</w:", "Unacceptable Microsoft element", "</w:", "Error", "Edgarize or manually remove code"},
}};

struct CharacterScan {
    char32_t character;
    const char* code;
    const char* severity;
    std::string fix;
};

// The numbers in the advice are the Windows-1252 codes that the symbol
// palette inserts.
const std::vector<CharacterScan>& CharacterScans() {
    static const std::vector<CharacterScan> scans{
        {0x201C, "''", "Error", "Edgarize or manually replace with a straight quote"},
        {0x201D, "''", "Error", "Edgarize or manually replace with a straight quote"},
        {0x2019, "'", "Warning", "Edgarize or manually replace with a straight apostrophe"},
        {0x2026, "...", "Error",
         "Edgarize or manually replace ellipsis ligature (...) with three periods"},
        {0x00A9, "\u00A9", "Error",
         std::string("Delete or replace with (C) or code &#169;") + kSymbolWindow},
        {0x00AE, "\u00AE", "Error",
         std::string("Delete or replace with (R) or code &#174;") + kSymbolWindow},
        {0x00F7, "\u00F7", "Error",
         std::string("Delete or replace with / or code &#247;") + kSymbolWindow},
        {0x2122, "\u2122", "Error",
         std::string("Delete or replace with (TM) or code &#153;") + kSymbolWindow},
        {0x00D7, "\u00D7", "Error",
         std::string("Delete or replace with X or code &#215;") + kSymbolWindow},
        {0x00A3, "\u00A3", "Error",
         std::string("Delete or replace with (Pound) or code &#163;") + kSymbolWindow},
        {0x00A7, "\u00A7", "Error",
         std::string("Delete or replace with (Section) or code &#167;") + kSymbolWindow},
        {0x00A5, "\u00A5", "Error",
         std::string("Delete or replace with (Yen) or code &#165;") + kSymbolWindow},
        {0x20AC, "\u20AC", "Error",
         std::string("Delete or replace with (Euro) or code &#128;") + kSymbolWindow},
        {0x00A2, "\u00A2", "Error",
         std::string("Delete or replace with code &#162;") + kSymbolWindow},
        {0x2018, "\u2018", "Error",
         std::string("Delete or replace with ' or code &#145;") + kSymbolWindow},
        {0x2030, "\u2030", "Error", "Delete or replace with code &#137;"},
        {0x00E6, "\u00E6", "Error",
         std::string("Delete or replace with (ae) or code &#230;") + kSymbolWindow},
        {0x00BC, "\u00BC", "Error",
         std::string("Delete or replace with 1/4 or replace with code &#188;") + kSymbolWindow},
        {0x2013, "-", "Error",
         std::string("Replace with minus sign or code &#150;") + kSymbolWindow},
        {0x2014, "\u2014", "Warning",
         std::string("Replace with two minus signs or code &#151;") + kSymbolWindow},
        {0x00BD, "\u00BD", "Error", std::string("Replace with 1/2 or code &#189;") + kSymbolWindow},
        {0x00B6, "\u00B6", "Error",
         std::string("Delete or replace with code &#182;") + kSymbolWindow},
        {0x00B7, "\u00B7", "Error", std::string("Replace with o or code &#183;") + kSymbolWindow},
        {0x00BE, "\u00BE", "Error", std::string("Replace with 3/4 or code &#190;") + kSymbolWindow},
        {0x00B5, "\u00B5", "Error",
         std::string("Delete or replace with code &#181;") + kSymbolWindow},
        {0x2020, "\u2020", "Error",
         std::string("Delete or replace with code &#134;") + kSymbolWindow},
        {0x2021, "\u2021", "Error",
         std::string("Delete or replace with code &#135;") + kSymbolWindow},
        {0x00B1, "\u00B1", "Error",
         std::string("Delete or replace with code &#177;") + kSymbolWindow},
    };
    return scans;
}

// The only letter among the scanned characters with a partner in the other
// case; a search without regard to case finds both.
constexpr char32_t kSmallAe = 0x00E6;
constexpr char32_t kCapitalAe = 0x00C6;

// The code point of the UTF-8 sequence at i, or 0 with a length of 1. Only
// the sequence's shape counts: the scanned characters are two and three
// bytes long, and a byte that starts no sequence is stepped over alone.
char32_t DecodeAt(std::string_view t, std::size_t i, std::size_t& length) {
    char32_t cp = 0;
    length = Utf8SequenceAt(t, i, cp);
    if (length != 0) return cp;
    length = 1;
    return 0;
}

// Where one scanned character was found: each offset as its distance from
// the one before, in groups of seven bits. A scanned character takes at least
// two bytes, so the list stays under half the text's size however many there
// are, where a pair of numbers per find would be eight times it.
class FoundOffsets {
  public:
    void Add(std::size_t offset) {
        std::size_t gap = offset - last_;
        last_ = offset;
        while (gap >= 0x80) {
            bytes_.push_back(static_cast<char>((gap & 0x7F) | 0x80));
            gap >>= 7;
        }
        bytes_.push_back(static_cast<char>(gap));
    }

    template <typename Visit>
    void ForEach(Visit visit) const {
        std::size_t offset = 0;
        for (std::size_t i = 0; i < bytes_.size();) {
            std::size_t gap = 0;
            int shift = 0;
            unsigned char b = 0;
            do {
                b = static_cast<unsigned char>(bytes_[i++]);
                gap |= static_cast<std::size_t>(b & 0x7F) << shift;
                shift += 7;
            } while ((b & 0x80) != 0);
            offset += gap;
            visit(offset);
        }
    }

  private:
    std::string bytes_;
    std::size_t last_ = 0;
};

class EdgarChecks {
  public:
    EdgarChecks(std::string_view text, const RecordSink& sink, LongWork& work)
        : t_(text), sink_(sink), work_(work) {}

    CheckRun Run() {
        Title();
        work_.Advance();
        work_.Stage("Checking for Microsoft codes...");
        for (const Scan& scan : kMarkupScans) {
            // Occurs(t_, scan.searched) >= 1, without counting them all.
            if (FindExact(t_, scan.searched) != npos) {
                ProblemRecord record{scan.description, scan.code, scan.severity, scan.fix, 0};
                const std::string lower = AsciiLowerCopy(scan.searched);
                for (std::size_t pos = FindFolded(t_, lower, 0); pos != npos;
                     pos = FindFolded(t_, lower, pos + 1)) {
                    Record(record, pos, scan.searched.size());
                }
            }
            work_.Advance();
        }
        work_.Stage("Checking for unacceptable characters...");
        CharacterScansInOnePass();
        return std::move(run_);
    }

  private:
    void Title() {
        const std::size_t open = FindFolded(t_, "<title>", 0);
        const std::size_t close = FindFolded(t_, "</title>", 0);
        if (open == npos || close == npos || close < open) {
            const std::int32_t a = open == npos ? 0 : static_cast<std::int32_t>(open + 1);
            sink_({"Improper or missing code", "<TITLE>", "Error",
                   "Edgarize or add missing code(s)", a});
            run_.focusCode = true;
            if (a >= 1) run_.selection = ByteRange{a - 1, 0};
        }
    }

    // Hands on the scan's record at `pos`; one record per scan, its position
    // changed for each find.
    void Record(ProblemRecord& record, std::size_t pos, std::size_t length) {
        const auto offset = static_cast<std::int32_t>(pos);
        record.Position = offset;
        sink_(record);
        // The search selects the match; the caret then goes just before it,
        // which cannot be done for a match at the very start.
        run_.selection = offset >= 1 ? ByteRange{offset - 1, 0}
                                     : ByteRange{offset, static_cast<std::int32_t>(length)};
        run_.focusCode = true;
    }

    // Every scanned character is found in one reading of the text; the
    // records then follow in the order of the scans.
    void CharacterScansInOnePass() {
        const std::vector<CharacterScan>& scans = CharacterScans();
        std::vector<FoundOffsets> found(scans.size());
        std::vector<bool> exact(scans.size(), false);
        const char* const t = t_.data();
        const std::size_t size = t_.size();
        for (std::size_t i = 0; i < size;) {
            // Eight ASCII bytes at a time: no scanned character starts there.
            if (i + 8 <= size) {
                std::uint64_t word;
                std::memcpy(&word, t + i, sizeof word);
                if ((word & 0x8080808080808080ULL) == 0) {
                    i += 8;
                    continue;
                }
            }
            if (static_cast<unsigned char>(t[i]) < 0xC2) {
                ++i;
                continue;
            }
            std::size_t length = 1;
            const char32_t cp = DecodeAt(t_, i, length);
            const char32_t folded = cp == kCapitalAe ? kSmallAe : cp;
            for (std::size_t s = 0; s < scans.size(); ++s) {
                if (scans[s].character != folded) continue;
                found[s].Add(i);
                if (cp == scans[s].character) exact[s] = true;
                break;
            }
            i += length;
        }
        for (std::size_t s = 0; s < scans.size(); ++s) {
            if (exact[s]) {
                ProblemRecord record{"Unacceptable character", scans[s].code, scans[s].severity,
                                     scans[s].fix, 0};
                found[s].ForEach([&](std::size_t pos) {
                    std::size_t length = 1;
                    DecodeAt(t_, pos, length);
                    Record(record, pos, length);
                });
            }
            // The scan's finds are no longer needed.
            found[s] = FoundOffsets();
            work_.Advance();
        }
    }

    std::string_view t_;
    const RecordSink& sink_;
    LongWork& work_;
    CheckRun run_;
};

}  // namespace

CheckRun RunEdgarChecks(std::string_view text, LongWork& work) {
    CheckRun run;
    const CheckRun moves = RunEdgarChecks(
        text, [&run](const ProblemRecord& record) { run.Add(record); }, work);
    run.selection = moves.selection;
    run.focusCode = moves.focusCode;
    return run;
}

CheckRun RunEdgarChecks(std::string_view text, const RecordSink& sink, LongWork& work) {
    return EdgarChecks(text, sink, work).Run();
}

}  // namespace tarlo
