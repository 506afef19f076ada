// The one-pass colouring on arbitrary bytes: runs cover the text in order,
// comments come out plain, and on text built from HTML pieces every byte
// takes the role the literal regular-expression route gives it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "../codeview/colour_reference.cpp"
#include "../codeview/replace_text.cpp"
#include "codeview/html_colorizer.h"

namespace {

// Pieces of HTML the literal route treats specially; one input byte picks one.
const char* const kPieces[] = {"<",   ">",   "=",    " ",    "\"",       "'",    "5",
                               "42",  "a",   "word", "_x",   "\r\n",     "\r",   "\n",
                               "\t",  "{",   "}",    "\\",   "<!--",     "-->",  "-",
                               ":",   ".",   "<p>",  "</p>", "<td ",     "=\"",  "\xc3\xa9",
                               "\\r", "par", "x=5",  "!",    " width=1", "<br/>"};

void CheckRuns(const std::string& text) {
    const std::vector<tarlo::RoleRun> runs = tarlo::ColourRoles(text);
    const std::vector<tarlo::ColourRole> perByte = tarlo::ColourRolesPerByte(text);
    if (perByte.size() != text.size()) std::abort();
    std::size_t at = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].start != at || runs[i].length == 0) std::abort();
        if (i > 0 && runs[i].role == runs[i - 1].role) std::abort();  // merged
        for (std::size_t k = at; k < at + runs[i].length; ++k) {
            if (perByte[k] != runs[i].role) std::abort();
        }
        at += runs[i].length;
    }
    if (at != text.size()) std::abort();
    // Every comment, "<!--", at least one character, up to its first "-->",
    // is plain.
    for (std::size_t open = text.find("<!--"); open != std::string::npos;) {
        const std::size_t close = text.find("-->", open + 5);
        if (close == std::string::npos) break;
        for (std::size_t k = open; k < close + 3; ++k) {
            if (perByte[k] != tarlo::ColourRole::Plain) std::abort();
        }
        open = text.find("<!--", close + 3);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckRuns(std::string(reinterpret_cast<const char*>(data), size));
    if (size > 200) return 0;
    std::string built;
    for (std::size_t i = 0; i < size; ++i) {
        built += kPieces[data[i] % (sizeof(kPieces) / sizeof(kPieces[0]))];
    }
    CheckRuns(built);
    if (tarlo::ColourRolesPerByte(built) != tarlo::test::ReferenceRoles(built)) std::abort();
    return 0;
}
