// The clean-up on arbitrary text: it always ends, keeps the text valid UTF-8
// (it only ever cuts at markup characters), opens with the plain root tag
// (and the empty title where the text has no title of its own) unless that
// takes the place of the text's own root tag, writes every line break as
// CR LF, leaves no ellipsis character and no bare "<TD>", and gives what the
// plain clean-up of the tests gives. Its Inline XBRL form also ends on any
// text, writes ASCII with CR LF breaks, and has nothing left to clean in
// what it wrote.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cleanup/edgarize.h"
#include "cleanup/edgarize_ixbrl.h"
#include "cleanup/edgarize_rules.h"
#include "text/text_encoding.h"
// A target is built from one file: the plain clean-up comes in whole.
#include "../cleanup/edgarize_reference.cpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text =
        tarlo::DecodeDocumentBytes(std::string(reinterpret_cast<const char*>(data), size));

    // Work whose every tick is due: the statistics line comes as often as it can.
    struct Watched : tarlo::LongWork {
        std::size_t before = 0;
        std::size_t reports = 0;
        unsigned long long lastSize = 0;
        bool Tick() override { return true; }
        void Figures(std::string_view line) override {
            unsigned long long was = 0;
            unsigned long long now = 0;
            const std::string text(line);
            if (std::sscanf(text.c_str(), "Code Size : Before %llu -> Now %llu", &was, &now) != 2) {
                std::abort();
            }
            // The output only grows while the loop runs.
            if (now < lastSize || was > before) std::abort();
            lastSize = now;
            ++reports;
        }
    } work;
    work.before = text.size();
    const std::string cleaned = tarlo::Edgarize(text, work);
    if (work.reports == 0) std::abort();

    if (!tarlo::IsValidUtf8(cleaned)) std::abort();
    // The plain root tag opens the result, unless it takes the place of the
    // text's own root tag further on, in a text without a head (tags inside
    // comments are none).
    using tarlo::edgarize_rules::FindStartTagOutsideComments;
    const std::size_t root = FindStartTagOutsideComments(text, "<html");
    const bool rootInPlace = FindStartTagOutsideComments(text, "<head") == std::string::npos &&
                             root != std::string::npos && text.find('>', root) != std::string::npos;
    if (!rootInPlace && cleaned.rfind("<html>\r\n", 0) != 0) std::abort();
    if (cleaned.find("\u2026") != std::string::npos) std::abort();
    if (cleaned.find("<TD>") != std::string::npos) std::abort();
    if (cleaned != tarlo::reference::Edgarize(text)) std::abort();
    // Every line break of the result is CR LF: no bare CR, no bare LF.
    for (std::size_t i = 0; i < cleaned.size(); ++i) {
        if (cleaned[i] == '\r' && (i + 1 == cleaned.size() || cleaned[i + 1] != '\n')) std::abort();
        if (cleaned[i] == '\n' && (i == 0 || cleaned[i - 1] != '\r')) std::abort();
    }

    // Outside preformatted text every run of line breaks is one CR.
    const std::string collapsed = tarlo::CollapseLineBreaks(text);
    if (collapsed.find('\n') != std::string::npos) std::abort();
    if (collapsed.find("\r\r") != std::string::npos) std::abort();
    if (collapsed.size() > text.size()) std::abort();

    const std::string kept = tarlo::EdgarizeInlineXbrl(text);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (static_cast<unsigned char>(kept[i]) >= 0x80) std::abort();
        if (kept[i] == '\r' && (i + 1 == kept.size() || kept[i + 1] != '\n')) std::abort();
        if (kept[i] == '\n' && (i == 0 || kept[i - 1] != '\r')) std::abort();
    }
    if (tarlo::EdgarizeInlineXbrl(kept) != kept) std::abort();
    return 0;
}
