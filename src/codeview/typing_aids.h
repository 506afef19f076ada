#pragma once
// What the typing aids of the code window decide from the text before the
// caret, and the paragraph indent. `before` is the text in front of the caret.
#include <string>
#include <string_view>

namespace tarlo {

// The caret stands after a "<" that no ">" has closed yet.
bool CaretInTag(std::string_view before);
// The caret stands after a "<!--" that no "-->" has closed yet.
bool CaretInComment(std::string_view before);
// The last double quote before the caret opens a value that follows an "=".
bool CaretInQuotedValue(std::string_view before);

// The paragraph indent: ten non-breaking spaces after every "<P>" (upper
// case, no attributes), then paragraphs that hold only the indent removed.
std::string IndentFirstLines(std::string_view text);

// The case toggle's choice: lower case on odd counts, upper case on even.
inline bool ToggleGivesUpperCase(int caseToggleCount) {
    return caseToggleCount % 2 == 0;
}

}  // namespace tarlo
