#pragma once
// What the refresh needs to know about the code that built the page, so that
// turning the page back into code changes nothing the user did not change:
// whether the code is XHTML (and the page must be an XML document), the text
// before and after the root element that no page keeps, which table sections
// the code wrote itself, and whether it spelt "^" as a reference.
#include <string>
#include <string_view>

namespace tarlo {

// True when the code starts (after blanks and comments) with an XML
// declaration, or its root element declares the XHTML namespace.
bool ClaimsXhtml(std::string_view code);

struct PageSource {
    bool xhtml = false;
    // The blanks, comments, DOCTYPE and processing instructions before the
    // root element; empty when anything else stands there.
    std::string prolog;
    // XHTML: the blanks and comments after the root element's end tag. A
    // filing in its EDGAR wrapper (<DOCUMENT>, <TYPE>, ... <TEXT> before the
    // <html> element, </TEXT></DOCUMENT> after it) keeps the wrapper as its
    // prolog and epilog: the page shows the HTML document inside.
    std::string epilog;
    // The table sections the code wrote itself; the HTML parser adds tbody
    // to every table that has none.
    bool hadTbody = false;
    bool hadThead = false;
    bool hadTfoot = false;
    // The code wrote "^" as a reference (&#94;, &#x5e;, &Hat;).
    bool hadCaretReference = false;
};

PageSource DescribePageSource(std::string_view code);

// The part of the code the page shows: the whole code, or the <html> element
// inside an EDGAR wrapper.
std::string_view PageContent(std::string_view code);

// The refresh's whole conversion of the page's serialisation (outer HTML of
// an HTML page, XML serialisation of an XHTML page) into code text: the
// prolog and epilog put back, inferred table sections left out (HTML), "^"
// written as &#94; where the code wrote it so, non-ASCII characters written
// as numeric references (Windows-1252 numbers for 128-159 in HTML, code
// points in XHTML, where those numbers would be control characters), and
// line feeds made CR LF.
std::string PageToCode(std::string_view pageHtml, const PageSource& source);

// The same conversion of one element's markup as the page serialises it,
// without prolog and epilog: what the whole conversion makes of that
// element.
std::string PageElementToCode(std::string_view elementHtml, const PageSource& source);

}  // namespace tarlo
