// The page-to-code conversion and the document encodings on arbitrary bytes:
// valid text comes out ASCII-only, no byte sequence is ever lost, and a file
// read and written back without an edit gives its own bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/document_bytes.h"
#include "text/text_encoding.h"
#include "text/text_transfer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Any file reads as valid UTF-8 and writes back to the same bytes.
    const std::string text = tarlo::DecodeDocumentBytes(bytes);
    if (!tarlo::IsValidUtf8(text)) std::abort();
    if (tarlo::IsValidUtf8(bytes)) {
        const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
        if (!bom && text != bytes) std::abort();
    } else if (tarlo::EncodeDocumentBytes(text) != bytes) {
        std::abort();
    }

    // Open then Save: the same bytes, line breaks and end included (UTF-16
    // aside, where a lone surrogate is no character to keep).
    const tarlo::DocumentRead read = tarlo::ReadDocumentBytes(bytes);
    if (tarlo::Utf16Order(bytes) == 0 && tarlo::DocumentFileBytes(read.text, read.form) != bytes) {
        std::abort();
    }

    // Valid text becomes ASCII; every line feed is preceded by a carriage return.
    const std::string code = tarlo::PageHtmlToCode(text);
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (static_cast<unsigned char>(code[i]) >= 0x80) std::abort();
        if (code[i] == '\n' && (i == 0 || code[i - 1] != '\r')) std::abort();
    }
    return 0;
}
