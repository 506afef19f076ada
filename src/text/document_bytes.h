#pragma once
// A document's bytes on disk and the text the editor holds for them. What a
// file was written in (its encoding, byte-order mark, line breaks and how it
// ends) is kept beside the text as its `FileForm`, so that opening a filing
// and saving it without an edit writes back the very same bytes.
#include <string>
#include <string_view>

#include "text/line_breaks.h"

namespace tarlo {

enum class FileEncoding {
    // A new document, or a file of plain ASCII: Windows-1252 when every
    // character has a byte there, else UTF-8.
    Either,
    Utf8,
    Utf8WithMark,
    // Older filings; a character the code page lacks makes the file UTF-8.
    Windows1252,
    Utf16LittleEndian,
    Utf16BigEndian,
};

struct FileForm {
    FileEncoding encoding = FileEncoding::Either;
    // What a new line break in the document is written as (Enter in the code
    // view, a refresh, the formatter, the clean-up, an inserted snippet).
    LineBreak lineBreak = LineBreak::CrLf;
    // The line break the file ends with, which the code view does not show;
    // a new document's file ends with CR LF.
    std::string finalBreak = "\r\n";

    bool operator==(const FileForm& o) const {
        return encoding == o.encoding && lineBreak == o.lineBreak && finalBreak == o.finalBreak;
    }
};

struct DocumentRead {
    std::string text;
    FileForm form;
};

// The text for a file's bytes, each line break as the file has it and the
// file's last line break taken off (it is in the form): decoded as UTF-16
// when the bytes start with its byte-order mark, else as UTF-8 when they are
// valid UTF-8, else as Windows-1252.
DocumentRead ReadDocumentBytes(std::string_view bytes);
// The same, the text only.
std::string DocumentTextFromBytes(std::string_view bytes);

// The bytes of the text in the form: its encoding, then the final break.
// ReadDocumentBytes(DocumentFileBytes(text, form)) gives back text and form.
std::string DocumentFileBytes(std::string_view text, const FileForm& form = FileForm{});

// Which UTF-16 the bytes are written in, told by their byte-order mark:
// 1 little-endian, 2 big-endian, 0 none (or an odd number of bytes).
int Utf16Order(std::string_view bytes);

}  // namespace tarlo
