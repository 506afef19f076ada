#include "shell/document_files.h"

#include <cstdio>

namespace tarlo {

namespace {

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

bool IsHtmlDocumentName(std::string_view path) {
    return EndsWith(path, ".htm") || EndsWith(path, ".html");
}

bool CaptionHasNoFile(std::string_view caption) {
    return caption.substr(0, kProductName.size()) == kProductName;
}

std::optional<std::string> AttachmentNameFromCaption(std::string_view caption) {
    const std::size_t sep = caption.find_last_of("\\/");
    if (sep == std::string_view::npos) return std::nullopt;
    std::string_view name = caption.substr(sep + 1);
    // At most 99 characters, never cutting one in half.
    std::size_t chars = 0;
    std::size_t end = 0;
    while (end < name.size() && chars < 99) {
        ++end;
        while (end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) ++end;
        ++chars;
    }
    name = name.substr(0, end);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    return std::string(name);
}

std::string EmailBody() {
    std::string body(5, '\r');
    body.append(47, '_');
    body += '\r';
    body += "Emailed from Tarlo at ";
    body += kWebAddress;
    body += '\r';
    body += "The best HTML editor for coders!";
    return body;
}

OpenCheck CheckDocumentFile(std::uint64_t size, std::string_view head) {
    if (size > kMaxDocumentBytes) return OpenCheck::TooLarge;
    // UTF-16 text has a zero byte in every plain letter: its mark says so.
    if (Utf16Order(head) == 0 && head.find('\0') != std::string_view::npos) {
        return OpenCheck::Binary;
    }
    return OpenCheck::Ok;
}

std::string MegabytesText(std::uint64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return buf;
}

}  // namespace tarlo
