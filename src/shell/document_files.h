#pragma once
// What the document commands compute without a window: which names count as
// HTML documents, the attachment name taken from the window caption, the
// e-mail body, and whether a file can be opened as a document at all. The
// bytes a document is read from and written as are text/document_bytes.h's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/document_bytes.h"

namespace tarlo {

// The product name that starts the two captions of a document without a file.
inline constexpr std::string_view kProductName = "Tarlo";
inline constexpr std::string_view kStartCaption = "Tarlo - The best HTML editor for coders.";
inline constexpr std::string_view kNewCaption =
    "Tarlo - The best HTML editor for EDGAR specialists.";
inline constexpr std::string_view kWebAddress = "https://tarlo.example.org";

// The largest file the editor opens. A filing is a few megabytes, rarely tens;
// anything far beyond that would hold both views for minutes.
inline constexpr std::uint64_t kMaxDocumentBytes = 64ULL * 1024 * 1024;

// A name ending in ".htm" or ".html", compared case-sensitively: only those
// become the document's own path when opened.
bool IsHtmlDocumentName(std::string_view path);

// A caption that starts with the product name is one of the captions of a
// document that has no file yet.
bool CaptionHasNoFile(std::string_view caption);

// The document's file name: the caption after its last path separator, at
// most 99 characters. Nothing when there is no separator or no name after it.
std::optional<std::string> AttachmentNameFromCaption(std::string_view caption);

// The message text that goes with an attached document.
std::string EmailBody();

enum class OpenCheck { Ok, TooLarge, Binary };

// Whether a file of this size with this content can be opened as a document.
// A NUL byte never occurs in an HTML document (UTF-16 text with its byte-order
// mark aside) but in nearly every binary file.
OpenCheck CheckDocumentFile(std::uint64_t size, std::string_view head);

// "12.3 MB": a size as a person reads it.
std::string MegabytesText(std::uint64_t bytes);

}  // namespace tarlo
