// The formatter on arbitrary bytes: it ends, it only adds or removes blanks,
// tabs and line breaks (every other byte keeps its order), valid UTF-8 stays
// valid, it gives what the plain formatter of the tests gives, and its
// result formats unchanged wherever nothing in the text is known to change
// on a second formatting.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codeview/html_formatter.h"
#include "text/text_encoding.h"
// A target is built from one file: the plain formatter comes in whole.
#include "../codeview/format_reference.cpp"

namespace {

std::string Visible(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out.push_back(c);
    }
    return out;
}

bool HasVerbatimName(const std::string& s) {
    std::string lower = s;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* name : {"<pre", "<xmp", "<listing", "<plaintext", "<textarea"}) {
        if (lower.find(name) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string html(reinterpret_cast<const char*>(data), size);
    const std::string out = tarlo::FormatHtml(html);
    if (Visible(out) != Visible(html)) std::abort();
    if (tarlo::IsValidUtf8(html) && !tarlo::IsValidUtf8(out)) std::abort();
    // The indenter alone never drops or reorders a byte of its input.
    const std::string indented = tarlo::IndentHtml(html);
    if (Visible(indented) != Visible(html)) std::abort();
    // Streamed, the result is the same text.
    std::string streamed;
    tarlo::FormatHtmlTo(html, [&](std::string_view piece) { streamed.append(piece); });
    if (streamed != out) std::abort();
    // Without line breaks, tabs or preformatted elements, the blank rules
    // applied line by line give what they give over the whole indented text.
    if (html.find_first_of("\r\n\t") == std::string::npos && !HasVerbatimName(html) &&
        out != tarlo::TidyTagSpaces(indented)) {
        std::abort();
    }
    if (out != tarlo::reference::FormatHtml(html)) std::abort();
    if (!tarlo::reference::KnownToReformatDifferently(html) && tarlo::FormatHtml(out) != out) {
        std::abort();
    }
    return 0;
}
