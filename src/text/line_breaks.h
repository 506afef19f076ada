#pragma once
// Line breaks as a file writes them. A filing keeps the breaks it came with:
// one written on Windows has CR LF, one from a Unix tool bare LF, and a few
// old Mac exports bare CR. Text the editor makes itself (a refresh from the
// page, the formatter, the clean-up, inserted snippets) takes the document's
// own kind, so that saving never changes lines the user did not touch.
#include <string>
#include <string_view>

namespace tarlo {

enum class LineBreak { CrLf, Lf, Cr };

std::string_view LineBreakText(LineBreak kind);

// The kind most of the text's line breaks are, CR LF counted as one break;
// CR LF when the text has none or on a tie (what a new document uses).
LineBreak DominantLineBreak(std::string_view text);

// The text with every line break (CR LF, bare LF, bare CR) written as `kind`.
std::string WithLineBreaks(std::string_view text, LineBreak kind);

// The line break the text ends with ("\r\n", "\n", "\r"), or empty.
std::string_view FinalLineBreak(std::string_view text);

}  // namespace tarlo
