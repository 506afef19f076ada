#include "editor/document_files.h"

#include <cstdio>

#include "text/text_encoding.h"
#include "text/text_transfer.h"

namespace tarlo {

std::string DocumentFileBytes(std::string_view codeText) {
    std::string bytes = EncodeDocumentBytes(codeText);
    bytes += "\r\n";
    return bytes;
}

namespace {

// Which UTF-16 a file is written in, told by its byte-order mark; 0 for none.
// ("Unicode" in Windows editors means UTF-16 little-endian with the mark.)
int Utf16Order(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return 0;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE) return 1;  // little-endian
    if (b0 == 0xFE && b1 == 0xFF) return 2;  // big-endian
    return 0;
}

std::string Utf16ToUtf8(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? static_cast<char32_t>(a | (b << 8))
                            : static_cast<char32_t>((a << 8) | b);
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        // A surrogate without its partner is not a character.
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace

std::string DocumentTextFromBytes(std::string_view bytes) {
    const int order = Utf16Order(bytes);
    std::string text =
        ToCrLf(order != 0 ? Utf16ToUtf8(bytes, order == 1) : DecodeDocumentBytes(bytes));
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
        text.resize(text.size() - 2);
    }
    return text;
}

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
