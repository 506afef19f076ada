#pragma once
// A second, deliberately plain formatter that the tests hold the real one
// to: it builds the flattened text, the indented text and the tidied text
// one after another, each whole, from the rules as they read.
#include <cstddef>
#include <string>

namespace tarlo::reference {

std::string FormatHtml(const std::string& html);

// True for a text whose formatted form may change when formatted again:
// the blank rules take one blank per pass, so two blanks before ">" lose one
// each time; a "<" followed by a blank turns into a tag once the blank goes;
// "/ >" becomes a tag that closes itself; a lone CR and a lone LF with a run
// between them become a CR LF pair once the run goes; and a preformatted
// element's name with a "<" right after it ("<pre<") is followed by a line
// break once formatted, which makes it a preformatted element. Runs of CR LF
// pairs and TABs are read as blanks here, which they may become.
inline bool KnownToReformatDifferently(const std::string& html) {
    std::string s;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '\r' && i + 1 < html.size() && html[i + 1] == '\n') {
            s += ' ';
            ++i;
        } else {
            const char c = html[i] == '\t' ? ' ' : html[i];
            s += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    for (const char* trigger : {"\r", "\n", "  >", "< ", "/ >", "<pre<", "<xmp<", "<listing<",
                                "<plaintext<", "<textarea<"}) {
        if (s.find(trigger) != std::string::npos) return true;
    }
    return false;
}

}  // namespace tarlo::reference
