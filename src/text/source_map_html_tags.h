#pragma once
// The element names the HTML tree rules know, as fixed name ids: the reader
// interns them first, in this order, so a known tag's id is its enumerator.
// Each carries the parser's categories for it.
#include <cstdint>
#include <string_view>

namespace tarlo::html_tags {

enum : std::uint16_t {
    kVoid = 1,           // no content, no end tag
    kSpecial = 2,        // the parser's "special" elements: an end tag does not pass them
    kFormatting = 4,     // kept in the list of formatting elements
    kScopeBoundary = 8,  // ends the search for an element "in scope"
    kImpliedEnd = 16,    // closed by the end of whatever holds it
    kClosesP = 32,       // a start tag that closes an open p first
    kHeading = 64,
};

// name, id, categories
#define TARLO_HTML_TAGS(X)                             \
    X("html", Html, kSpecial | kScopeBoundary)         \
    X("head", Head, kSpecial)                          \
    X("body", Body, kSpecial)                          \
    X("title", Title, kSpecial)                        \
    X("base", Base, kSpecial | kVoid)                  \
    X("basefont", Basefont, kSpecial | kVoid)          \
    X("bgsound", Bgsound, kSpecial | kVoid)            \
    X("link", Link, kSpecial | kVoid)                  \
    X("meta", Meta, kSpecial | kVoid)                  \
    X("style", Style, kSpecial)                        \
    X("script", Script, kSpecial)                      \
    X("noscript", Noscript, kSpecial)                  \
    X("noframes", Noframes, kSpecial)                  \
    X("template", Template, kSpecial | kScopeBoundary) \
    X("p", P, kSpecial | kImpliedEnd | kClosesP)       \
    X("div", Div, kSpecial | kClosesP)                 \
    X("address", Address, kSpecial | kClosesP)         \
    X("article", Article, kSpecial | kClosesP)         \
    X("aside", Aside, kSpecial | kClosesP)             \
    X("blockquote", Blockquote, kSpecial | kClosesP)   \
    X("center", Center, kSpecial | kClosesP)           \
    X("details", Details, kSpecial | kClosesP)         \
    X("dialog", Dialog, kSpecial | kClosesP)           \
    X("dir", Dir, kSpecial | kClosesP)                 \
    X("dl", Dl, kSpecial | kClosesP)                   \
    X("fieldset", Fieldset, kSpecial | kClosesP)       \
    X("figcaption", Figcaption, kSpecial | kClosesP)   \
    X("figure", Figure, kSpecial | kClosesP)           \
    X("footer", Footer, kSpecial | kClosesP)           \
    X("header", Header, kSpecial | kClosesP)           \
    X("hgroup", Hgroup, kSpecial | kClosesP)           \
    X("main", Main, kSpecial | kClosesP)               \
    X("menu", Menu, kSpecial | kClosesP)               \
    X("nav", Nav, kSpecial | kClosesP)                 \
    X("ol", Ol, kSpecial | kClosesP)                   \
    X("ul", Ul, kSpecial | kClosesP)                   \
    X("section", Section, kSpecial | kClosesP)         \
    X("summary", Summary, kSpecial | kClosesP)         \
    X("search", Search, kSpecial | kClosesP)           \
    X("h1", H1, kSpecial | kHeading)                   \
    X("h2", H2, kSpecial | kHeading)                   \
    X("h3", H3, kSpecial | kHeading)                   \
    X("h4", H4, kSpecial | kHeading)                   \
    X("h5", H5, kSpecial | kHeading)                   \
    X("h6", H6, kSpecial | kHeading)                   \
    X("pre", Pre, kSpecial)                            \
    X("listing", Listing, kSpecial)                    \
    X("form", Form, kSpecial)                          \
    X("li", Li, kSpecial | kImpliedEnd)                \
    X("dd", Dd, kSpecial | kImpliedEnd)                \
    X("dt", Dt, kSpecial | kImpliedEnd)                \
    X("plaintext", Plaintext, kSpecial)                \
    X("button", Button, kSpecial)                      \
    X("a", A, kFormatting)                             \
    X("b", B, kFormatting)                             \
    X("big", Big, kFormatting)                         \
    X("code", Code, kFormatting)                       \
    X("em", Em, kFormatting)                           \
    X("font", Font, kFormatting)                       \
    X("i", I, kFormatting)                             \
    X("s", S, kFormatting)                             \
    X("small", Small, kFormatting)                     \
    X("strike", Strike, kFormatting)                   \
    X("strong", Strong, kFormatting)                   \
    X("tt", Tt, kFormatting)                           \
    X("u", U, kFormatting)                             \
    X("nobr", Nobr, kFormatting)                       \
    X("applet", Applet, kSpecial | kScopeBoundary)     \
    X("marquee", Marquee, kSpecial | kScopeBoundary)   \
    X("object", Object, kSpecial | kScopeBoundary)     \
    X("table", Table, kSpecial | kScopeBoundary)       \
    X("caption", Caption, kSpecial | kScopeBoundary)   \
    X("colgroup", Colgroup, kSpecial)                  \
    X("col", Col, kSpecial | kVoid)                    \
    X("tbody", Tbody, kSpecial)                        \
    X("thead", Thead, kSpecial)                        \
    X("tfoot", Tfoot, kSpecial)                        \
    X("tr", Tr, kSpecial)                              \
    X("td", Td, kSpecial | kScopeBoundary)             \
    X("th", Th, kSpecial | kScopeBoundary)             \
    X("area", Area, kSpecial | kVoid)                  \
    X("br", Br, kSpecial | kVoid)                      \
    X("embed", Embed, kSpecial | kVoid)                \
    X("img", Img, kSpecial | kVoid)                    \
    X("keygen", Keygen, kSpecial | kVoid)              \
    X("wbr", Wbr, kSpecial | kVoid)                    \
    X("input", Input, kSpecial | kVoid)                \
    X("param", Param, kSpecial | kVoid)                \
    X("source", Source, kSpecial | kVoid)              \
    X("track", Track, kSpecial | kVoid)                \
    X("hr", Hr, kSpecial | kVoid)                      \
    X("textarea", Textarea, kSpecial)                  \
    X("xmp", Xmp, kSpecial)                            \
    X("iframe", Iframe, kSpecial)                      \
    X("noembed", Noembed, kSpecial)                    \
    X("select", Select, kSpecial)                      \
    X("optgroup", Optgroup, kImpliedEnd)               \
    X("option", Option, kImpliedEnd)                   \
    X("rb", Rb, kImpliedEnd)                           \
    X("rp", Rp, kImpliedEnd)                           \
    X("rt", Rt, kImpliedEnd)                           \
    X("rtc", Rtc, kImpliedEnd)                         \
    X("math", Math, 0)                                 \
    X("svg", Svg, 0)                                   \
    X("frameset", Frameset, kSpecial)                  \
    X("frame", Frame, kSpecial | kVoid)

#define TARLO_HTML_TAG_ID(name, id, flags) id,
enum : std::uint32_t { TARLO_HTML_TAGS(TARLO_HTML_TAG_ID) kKnownTags };
#undef TARLO_HTML_TAG_ID

#define TARLO_HTML_TAG_NAME(name, id, flags) name,
constexpr std::string_view kHtmlTagNames[] = {TARLO_HTML_TAGS(TARLO_HTML_TAG_NAME)};
#undef TARLO_HTML_TAG_NAME

#define TARLO_HTML_TAG_FLAGS(name, id, flags) static_cast<std::uint16_t>(flags),
constexpr std::uint16_t kHtmlTagFlags[] = {TARLO_HTML_TAGS(TARLO_HTML_TAG_FLAGS)};
#undef TARLO_HTML_TAG_FLAGS

constexpr bool HasFlag(std::uint32_t tag, std::uint16_t flag) {
    return tag < kKnownTags && (kHtmlTagFlags[tag] & flag) != 0;
}

}  // namespace tarlo::html_tags
