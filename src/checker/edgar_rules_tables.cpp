// The element and character-reference lists of the EDGAR rules check, from
// EDGAR Filer Manual Volume II, 5.2.2 (HTML documents) and 5.2.5 (Inline XBRL
// documents), as EDGAR's acceptance checks apply them.
#include "checker/edgar_rules_tables.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace tarlo::edgar_tables {

namespace {

using NameSet = std::unordered_set<std::string_view>;

const NameSet& HtmlAllowed() {
    static const NameSet set = [] {
        NameSet s{"a", "address", "b", "big", "blockquote", "body", "br", "caption", "center",
                  "cite", "code", "dd", "dfn", "dir", "div", "dl", "dt", "em", "font", "h1", "h2",
                  "h3", "h4", "h5", "h6", "head", "hr", "html", "i", "img", "isindex", "kbd", "li",
                  "menu", "meta", "ol", "p", "pre", "samp", "small", "strike", "strong", "sub",
                  "sup", "table", "td", "th", "title", "tr", "tt", "u", "ul", "var",
                  // EDGAR's own tags: revision marks, pages, the submission
                  // header's names, and the f1..f99 footnote marks.
                  "listing", "plaintext", "xmp", "page", "exibitindex", "r", "segments", "segment",
                  "module", "name", "cik", "ccc"};
        static std::string footnotes[99];
        for (int i = 1; i <= 99; ++i) {
            footnotes[i - 1] = "f" + std::to_string(i);
            s.insert(footnotes[i - 1]);
        }
        return s;
    }();
    return set;
}

const NameSet& HtmlRefused() {
    static const NameSet set{
        "abbrev",  "acronym", "applet",  "area",     "au",      "banner",  "base",     "basefont",
        "bgsound", "blink",   "col",     "colgroup", "credit",  "del",     "embed",    "fig",
        "fn",      "form",    "frame",   "frameset", "input",   "ins",     "lang",     "lh",
        "map",     "marquee", "nextid",  "nobr",     "noembed", "noframe", "noframes", "note",
        "object",  "option",  "overlay", "param",    "person",  "q",       "range",    "s",
        "script",  "select",  "spot",    "style",    "tab",     "tbody",   "textarea", "tfoot",
        "thead",   "wbr",     "empty"};
    return set;
}

const NameSet& Xhtml() {
    static const NameSet set{
        "html",     "head",   "title",  "base",       "meta",    "link",     "style",  "script",
        "noscript", "body",   "div",    "p",          "h1",      "h2",       "h3",     "h4",
        "h5",       "h6",     "ul",     "ol",         "li",      "dl",       "dt",     "dd",
        "address",  "hr",     "pre",    "blockquote", "ins",     "del",      "a",      "span",
        "bdo",      "br",     "em",     "strong",     "dfn",     "code",     "samp",   "kbd",
        "var",      "cite",   "abbr",   "acronym",    "q",       "sub",      "sup",    "tt",
        "i",        "b",      "big",    "small",      "object",  "param",    "img",    "map",
        "area",     "form",   "label",  "input",      "select",  "optgroup", "option", "textarea",
        "fieldset", "legend", "button", "table",      "caption", "thead",    "tfoot",  "tbody",
        "colgroup", "col",    "tr",     "th",         "td",      "ruby",     "rbc",    "rtc",
        "rb",       "rt",     "rp"};
    return set;
}

const NameSet& XhtmlBlocked() {
    static const NameSet set{"acronym",  "area",    "atob",          "base",       "bdo",
                             "button",   "cite",    "col",           "colgroup",   "dd",
                             "del",      "embed",   "fieldset",      "form",       "function",
                             "input",    "ins",     "label",         "legend",     "map",
                             "noscript", "onclick", "oncontextmenu", "ondblclick", "onfocus",
                             "onload",   "object",  "option",        "param",      "q",
                             "script",   "select",  "style",         "textarea"};
    return set;
}

const NameSet& XhtmlEmpty() {
    static const NameSet set{"area", "base", "basefont", "br", "col", "frame", "hr", "img", "input",
                             "isindex", "link", "meta", "param", "td", "tr",
                             // XBRL elements that never hold anything.
                             "relationship", "schemaRef", "linkbaseRef", "roleRef", "arcroleRef"};
    return set;
}

const std::unordered_map<std::string_view, std::uint32_t>& Entities() {
    static const std::unordered_map<std::string_view, std::uint32_t> map = [] {
        std::unordered_map<std::string_view, std::uint32_t> m;
        // 160..255 in order.
        static const char* const latin1[] = {
            "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
            "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
            "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
            "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
            "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
            "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
            "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
            "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
            "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
            "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
            "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
            "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
        for (std::uint32_t i = 0; i < 96; ++i) m.emplace(latin1[i], 160 + i);
        // Capital and small Greek letters; 930 and 962 are not capitals.
        static const char* const greek[] = {
            "Alpha", "Beta",   "Gamma",   "Delta", "Epsilon", "Zeta",    "Eta",  "Theta", "Iota",
            "Kappa", "Lambda", "Mu",      "Nu",    "Xi",      "Omicron", "Pi",   "Rho",   nullptr,
            "Sigma", "Tau",    "Upsilon", "Phi",   "Chi",     "Psi",     "Omega"};
        static const char* const small[] = {
            "alpha", "beta",   "gamma",   "delta", "epsilon", "zeta",    "eta",  "theta", "iota",
            "kappa", "lambda", "mu",      "nu",    "xi",      "omicron", "pi",   "rho",   "sigmaf",
            "sigma", "tau",    "upsilon", "phi",   "chi",     "psi",     "omega"};
        for (std::uint32_t i = 0; i < 25; ++i) {
            if (greek[i]) m.emplace(greek[i], 913 + i);
            m.emplace(small[i], 945 + i);
        }
        static const std::pair<const char*, std::uint32_t> others[] = {
            {"quot", 34},
            {"amp", 38},
            {"lt", 60},
            {"gt", 62},
            {"apos", 39},
            {"OElig", 338},
            {"oelig", 339},
            {"Scaron", 352},
            {"scaron", 353},
            {"Yuml", 376},
            {"circ", 710},
            {"tilde", 732},
            {"ensp", 8194},
            {"emsp", 8195},
            {"thinsp", 8201},
            {"zwnj", 8204},
            {"zwj", 8205},
            {"lrm", 8206},
            {"rlm", 8207},
            {"ndash", 8211},
            {"mdash", 8212},
            {"lsquo", 8216},
            {"rsquo", 8217},
            {"sbquo", 8218},
            {"ldquo", 8220},
            {"rdquo", 8221},
            {"bdquo", 8222},
            {"dagger", 8224},
            {"Dagger", 8225},
            {"permil", 8240},
            {"lsaquo", 8249},
            {"rsaquo", 8250},
            {"euro", 8364},
            {"fnof", 402},
            {"thetasym", 977},
            {"upsih", 978},
            {"piv", 982},
            {"bull", 8226},
            {"hellip", 8230},
            {"prime", 8242},
            {"Prime", 8243},
            {"oline", 8254},
            {"frasl", 8260},
            {"weierp", 8472},
            {"image", 8465},
            {"real", 8476},
            {"trade", 8482},
            {"alefsym", 8501},
            {"larr", 8592},
            {"uarr", 8593},
            {"rarr", 8594},
            {"darr", 8595},
            {"harr", 8596},
            {"crarr", 8629},
            {"lArr", 8656},
            {"uArr", 8657},
            {"rArr", 8658},
            {"dArr", 8659},
            {"hArr", 8660},
            {"forall", 8704},
            {"part", 8706},
            {"exist", 8707},
            {"empty", 8709},
            {"nabla", 8711},
            {"isin", 8712},
            {"notin", 8713},
            {"ni", 8715},
            {"prod", 8719},
            {"sum", 8721},
            {"minus", 8722},
            {"lowast", 8727},
            {"radic", 8730},
            {"prop", 8733},
            {"infin", 8734},
            {"ang", 8736},
            {"and", 8743},
            {"or", 8744},
            {"cap", 8745},
            {"cup", 8746},
            {"int", 8747},
            // EDGAR's list spells "therefore" without its digit; the usual
            // spelling is accepted as well.
            {"there", 8756},
            {"there4", 8756},
            {"sim", 8764},
            {"cong", 8773},
            {"asymp", 8776},
            {"ne", 8800},
            {"equiv", 8801},
            {"le", 8804},
            {"ge", 8805},
            {"sub", 8834},
            {"sup", 8835},
            {"nsub", 8836},
            {"sube", 8838},
            {"supe", 8839},
            {"oplus", 8853},
            {"otimes", 8855},
            {"perp", 8869},
            {"sdot", 8901},
            {"lceil", 8968},
            {"rceil", 8969},
            {"lfloor", 8970},
            {"rfloor", 8971},
            {"lang", 9001},
            {"rang", 9002},
            {"loz", 9674},
            {"spades", 9824},
            {"clubs", 9827},
            {"hearts", 9829},
            {"diams", 9830}};
        for (const auto& [name, cp] : others) m.emplace(name, cp);
        return m;
    }();
    return map;
}

}  // namespace

bool IsHtmlAllowedElement(std::string_view lowerName) {
    return HtmlAllowed().count(lowerName) != 0;
}
bool IsHtmlRefusedElement(std::string_view lowerName) {
    return HtmlRefused().count(lowerName) != 0;
}
bool IsXhtmlElement(std::string_view name) {
    return Xhtml().count(name) != 0;
}
bool IsXhtmlBlockedElement(std::string_view name) {
    return XhtmlBlocked().count(name) != 0;
}
bool IsXhtmlEmptyElement(std::string_view name) {
    return XhtmlEmpty().count(name) != 0;
}

std::uint32_t EdgarEntityCodePoint(std::string_view name) {
    const auto& m = Entities();
    const auto it = m.find(name);
    return it == m.end() ? 0 : it->second;
}

}  // namespace tarlo::edgar_tables
