// The formatter on arbitrary bytes: it ends, it only adds or removes blanks,
// tabs and line breaks (every other byte keeps its order), and valid UTF-8
// stays valid.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codeview/mod_format.h"
#include "editor/text_encoding.h"

namespace {

std::string Visible(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out.push_back(c);
    }
    return out;
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
    return 0;
}
