#include "text/line_breaks.h"

namespace tarlo {

std::string_view LineBreakText(LineBreak kind) {
    switch (kind) {
        case LineBreak::Lf:
            return "\n";
        case LineBreak::Cr:
            return "\r";
        case LineBreak::CrLf:
            break;
    }
    return "\r\n";
}

LineBreak DominantLineBreak(std::string_view text) {
    std::size_t crlf = 0;
    std::size_t lf = 0;
    std::size_t cr = 0;
    for (std::size_t at = text.find_first_of("\r\n"); at != std::string_view::npos;
         at = text.find_first_of("\r\n", at + 1)) {
        if (text[at] == '\n') {
            ++lf;
        } else if (at + 1 < text.size() && text[at + 1] == '\n') {
            ++crlf;
            ++at;
        } else {
            ++cr;
        }
    }
    if (lf > crlf && lf >= cr) return LineBreak::Lf;
    if (cr > crlf && cr > lf) return LineBreak::Cr;
    return LineBreak::CrLf;
}

std::string WithLineBreaks(std::string_view text, LineBreak kind) {
    const std::string_view brk = LineBreakText(kind);
    std::string out;
    out.reserve(text.size() + text.size() / 64);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t at = text.find_first_of("\r\n", i);
        if (at == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, at - i));
        out.append(brk);
        i = at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
    }
    return out;
}

std::string_view FinalLineBreak(std::string_view text) {
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") return text.substr(text.size() - 2);
    if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) return text.substr(text.size() - 1);
    return {};
}

}  // namespace tarlo
