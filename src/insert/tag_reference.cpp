#include "insert/tag_reference.h"

namespace tarlo {

namespace {

// "</R>" shares the note of "<R>": both halves of the tag are for the SEC's
// private use only.
constexpr std::string_view kRevisionNote =
    "Note: The <R> tag will not be publicly disseminated; it is for private SEC use only. This "
    "is a legacy SGML tag to be accepted within HTML documents.";

constexpr std::array<TagEntry, kTagEntryCount> kEntries = {{
    {"<HTML>", "Identifies text as an HTML document."},
    {"</HTML>", "Identifies end of text as an HTML document."},
    {"<!-->",
     "Comment: does not appear in browser, only in HTML source. <!--> tag is used to identify an "
     "HTML standard that is used by the HTML text."},
    {"<!DOCTYPE>",
     "Comment: does not appear in browser, only in HTML source. <!DOCTYPE> tag is used to "
     "identify an HTML standard that is used by the HTML text."},
    {"<BODY>", "Signifies the body of the HTML document."},
    {"</BODY>", "Signifies the end of the body of the HTML document."},
    {"<HEAD>", "Signifies header information for HTML document."},
    {"</HEAD>", "Signifies end of header information for HTML document."},
    {"<ISINDEX>", "Signifies document is an index for a search engine."},
    {"<META>",
     "Extended information to be included in document header. Note: The HTTP-EQUIV attribute is "
     "not supported for this tag."},
    {"<TITLE>", "Title of document. It is displayed at the top of the browser."},
    {"</TITLE>", "End of title of document. It is displayed at the top of the browser."},
    {"<A>", "Anchor/Hyperlink."},
    {"</A>", "End of Anchor/Hyperlink."},
    {"<ADDRESS>", "Address: Usually italicized."},
    {"</ADDRESS>", "End of address."},
    {"<B>", "Bold."},
    {"</B>", "End bold."},
    {"<BLOCKQUOTE>", "Block quote: Usually indented."},
    {"</BLOCKQUOTE>", "End block quote: Usually indented."},
    {"<BR>", "Line break."},
    {"<CODE>", "Code."},
    {"<DIR>", "Directory list."},
    {"<DL>", "Definition list: Used with <DT> and <DD>."},
    {"<DT>", "Definition term."},
    {"<DD>", "Definition."},
    {"<EM>", "Emphasized (Bold): Like Strong."},
    {"</EM>", "End Emphasized (Bold): Like Strong."},
    {"<H1>", "Heading 1: Largest."},
    {"</H1>", "End Heading 1."},
    {"<H2>", "Heading 2."},
    {"</H2>", "End Heading 2."},
    {"<H3>", "Heading 3."},
    {"</H3>", "End Heading 3."},
    {"<H4>", "Heading 4."},
    {"</H4>", "End Heading 4."},
    {"<H5>", "Heading 5."},
    {"</H5>", "End Heading 5."},
    {"<H6>", "Heading 6: Smallest."},
    {"</H6>", "End Heading 6."},
    {"<HR>", "Horizontal rule: Displays a thin line across the page separating text."},
    {"<I>", "Italic."},
    {"<KBD>", "Keyboard: Preformatted text."},
    {"<LI>", "List Item: Used by <DIR>, <MENU>, <OL>, and <UL>."},
    {"</LI>", "End List Item."},
    {"<LISTING>", "Listing: Same as <PRE>."},
    {"<MENU>", "Menu list."},
    {"<OL>", "Ordered List: Includes numbers."},
    {"<P>", "Paragraph."},
    {"</P>", "End paragraph."},
    {"<PLAINTEXT>", "Plain text."},
    {"<PRE>", "Preformatted Text."},
    {"<SAMP>", "Sample: Uses fixed width font: Like <PRE>."},
    {"<STRIKE>", "Strikethrough."},
    {"<TT>", "Teletype: Uses fixed width font: Like <PRE>."},
    {"<U>", "Underline."},
    {"<UL>", "Unordered List: Bullets only."},
    {"<VAR>", "Variable: Uses fixed width font: Like <PRE>."},
    {"<XMP>", "Example: Same as <PRE>."},
    {"<BIG>", "Big Text: Increases font size."},
    {"<CAPTION>", "Caption: Can only be used with tables."},
    {"<CENTER>", "Centers elements between tags."},
    {"</CENTER>", "End centering between tags."},
    {"<DFN>", "Definition: Like <I>."},
    {"<DIV>", "Division: Helps separate a document into parts."},
    {"</DIV>", "End Division."},
    {"<FONT>", "Allows alteration of font contained within tags."},
    {"</FONT>", "End font alteration."},
    {"<SMALL>", "Small Text: Decreases font size."},
    {"</SMALL>", "End small text."},
    {"<STRONG>", "Strong Text: Bold font, see <EM>."},
    {"</STRONG>", "End strong text."},
    {"<SUB>", "Subscript."},
    {"</SUB>", "End subscript."},
    {"<SUP>", "Superscript."},
    {"</SUP>", "End superscript."},
    {"<TABLE>",
     "Table Note: No HTML documents with nested <TABLE> tags are to be accepted or disseminated "
     "by EDGAR."},
    {"<TD>", "Table Data or Cell."},
    {"</TD>", "End table data or cell."},
    {"<TH>", "Table Header: Displayed in bold."},
    {"<TR>", "Table Row."},
    {"</TR>", "End table row."},
    {"<PAGE>",
     "SGML tag for page markers (browsers will ignore this tag if present). This is a legacy "
     "SGML tag to be accepted within HTML documents."},
    {"<R>", kRevisionNote},
    {"</R>", kRevisionNote},
}};

}  // namespace

const std::array<TagEntry, kTagEntryCount>& TagReferenceEntries() {
    return kEntries;
}

std::optional<std::string_view> DescribeTag(std::string_view entry) {
    for (const TagEntry& e : kEntries) {
        if (e.text == entry) return e.description;
    }
    return std::nullopt;
}

}  // namespace tarlo
