#include "text/document_bytes.h"

#include "text/text_encoding.h"

namespace tarlo {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

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

std::string Utf8ToUtf16(std::string_view utf8, bool littleEndian) {
    std::string out;
    out.reserve(utf8.size() * 2 + 2);
    auto put = [&](char32_t u) {
        const auto hi = static_cast<char>((u >> 8) & 0xFF);
        const auto lo = static_cast<char>(u & 0xFF);
        out += littleEndian ? lo : hi;
        out += littleEndian ? hi : lo;
    };
    put(0xFEFF);
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        std::size_t len = NextUtf8(utf8, i, cp);
        if (len == 0) {
            // A byte that is no character stands for itself, as reading
            // Windows-1252 would have taken it.
            cp = static_cast<unsigned char>(utf8[i]);
            len = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
        i += len;
    }
    return out;
}

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

int Utf16Order(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return 0;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE) return 1;
    if (b0 == 0xFE && b1 == 0xFF) return 2;
    return 0;
}

DocumentRead ReadDocumentBytes(std::string_view bytes) {
    DocumentRead read;
    FileForm& form = read.form;
    if (const int order = Utf16Order(bytes); order != 0) {
        read.text = Utf16ToUtf8(bytes, order == 1);
        form.encoding = order == 1 ? FileEncoding::Utf16LittleEndian : FileEncoding::Utf16BigEndian;
    } else if (IsValidUtf8(bytes)) {
        if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
            form.encoding = FileEncoding::Utf8WithMark;
            bytes.remove_prefix(kUtf8Mark.size());
        } else {
            form.encoding = IsAscii(bytes) ? FileEncoding::Either : FileEncoding::Utf8;
        }
        read.text.assign(bytes);
    } else {
        read.text = DecodeDocumentBytes(bytes);
        form.encoding = FileEncoding::Windows1252;
    }
    // The last break counts too: a file of one line says its kind there.
    form.lineBreak = DominantLineBreak(read.text);
    form.finalBreak = std::string(FinalLineBreak(read.text));
    read.text.resize(read.text.size() - form.finalBreak.size());
    return read;
}

std::string DocumentTextFromBytes(std::string_view bytes) {
    return ReadDocumentBytes(bytes).text;
}

std::string DocumentFileBytes(std::string_view text, const FileForm& form) {
    std::string bytes;
    switch (form.encoding) {
        case FileEncoding::Either:
        case FileEncoding::Windows1252:
            bytes = EncodeDocumentBytes(text);
            break;
        case FileEncoding::Utf8:
            bytes.assign(text);
            break;
        case FileEncoding::Utf8WithMark:
            bytes.reserve(text.size() + kUtf8Mark.size() + 2);
            bytes.assign(kUtf8Mark);
            bytes.append(text);
            break;
        case FileEncoding::Utf16LittleEndian:
        case FileEncoding::Utf16BigEndian: {
            std::string all(text);
            all += form.finalBreak;
            return Utf8ToUtf16(all, form.encoding == FileEncoding::Utf16LittleEndian);
        }
    }
    bytes += form.finalBreak;
    return bytes;
}

}  // namespace tarlo
