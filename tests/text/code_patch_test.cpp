// The code-to-page patch: which element a code edit rebuilds in the page,
// and where the edit cannot be confined to one element and the page takes
// the code whole.
#include "text/code_patch.h"

#include <gtest/gtest.h>

namespace tarlo {
namespace {

// "path name html" of the patch, or "(whole)".
std::string PatchOf(const std::string& before, const std::string& after, bool xhtml = false) {
    const HtmlSyntax syntax = xhtml ? HtmlSyntax::Xhtml : HtmlSyntax::Html;
    const auto patch = PatchForCodeEdit(before, SourceMap::Build(before, syntax), after,
                                        SourceMap::Build(after, syntax), xhtml);
    if (!patch) return "(whole)";
    std::string out;
    for (const int step : patch->path) out += std::to_string(step) + "/";
    return out + " " + patch->name + " " + patch->html;
}

// The same text with `from` replaced by `to` (the first time it stands there).
std::string Edited(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

const std::string kPage =
    "<!DOCTYPE html>\n<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>\n"
    "<P CLASS=a>one <B>two</B></P>\n"
    "<TABLE><TR><TD>1</TD><TD ALIGN=right>2</TD></TR></TABLE>\n"
    "<DIV><!-- note --><BR></DIV>\n"
    "<UL><LI>x<LI>y</UL>\n"
    "</BODY></HTML>";

TEST(CodePatchTest, AnEditInsideOneElementRebuildsTheSmallestTrustedOne) {
    // Text in a cell of a table whose body the parser makes.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, ">2<", ">22<")),
              "0/1/1/0/0/1/ td <TD ALIGN=right>22</TD>");
    // Text in a paragraph, and inside its bold word.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "one ", "one, ")),
              "0/1/0/ p <P CLASS=a>one, <B>two</B></P>");
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "two", "three")), "0/1/0/0/ b <B>three</B>");
    // An attribute value, and a comment (its element is the one around it).
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "ALIGN=right", "ALIGN=left")),
              "0/1/1/0/0/1/ td <TD ALIGN=left>2</TD>");
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, " note ", " later ")),
              "0/1/2/ div <DIV><!-- later --><BR></DIV>");
    // A void element is its own patch; so is a title in the head.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "<BR>", "<BR CLEAR=all>")),
              "0/1/2/0/ br <BR CLEAR=all>");
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, ">t<", ">title<")), "0/0/0/ title <TITLE>title</TITLE>");
}

TEST(CodePatchTest, EditsThatReachBeyondOneElementTakeThePageWhole) {
    // Tags unbalanced: the bold word left open goes on after its paragraph.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "</B>", "")), "(whole)");
    // A paragraph opened in a paragraph closes it: the element is not the same.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "one", "o<P>ne")), "(whole)");
    // Items closed by what follows them have no end tag of their own, and the
    // list's body is then not as written.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, ">x<", ">xx<")), "(whole)");
    // The prolog, text straight in the body, the body's own tag.
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "<!DOCTYPE html>", "<!DOCTYPE HTML>")), "(whole)");
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "<BODY>\n", "<BODY>\nhi")), "(whole)");
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, "<BODY>", "<BODY BGCOLOR=red>")), "(whole)");
    // A tag renamed at both ends, and a comment left open.
    EXPECT_EQ(PatchOf(kPage, Edited(Edited(kPage, "<B>", "<I>"), "</B>", "</I>")),
              "0/1/0/ p <P CLASS=a>one <I>two</I></P>");
    EXPECT_EQ(PatchOf(kPage, Edited(kPage, " note -->", " note")), "(whole)");
    // Nothing changed: nothing to patch.
    EXPECT_EQ(PatchOf(kPage, kPage), "(whole)");
}

TEST(CodePatchTest, XhtmlElementsClosedByThemselvesAreTheirOwnPatch) {
    const std::string page =
        "<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><head/><body>"
        "<div><ix:nonFraction name=\"a\">12</ix:nonFraction><td/></div></body></html>";
    EXPECT_EQ(PatchOf(page, Edited(page, ">12<", ">13<"), true),
              "0/1/0/0/ ix:nonFraction <ix:nonFraction name=\"a\">13</ix:nonFraction>");
    EXPECT_EQ(PatchOf(page, Edited(page, "<td/>", "<td />"), true), "0/1/0/1/ td <td />");
    // Not well-formed: the page's kind may change, so it is taken whole.
    EXPECT_EQ(PatchOf(page, Edited(page, "</ix:nonFraction>", "</ix:nonfraction>"), true),
              "(whole)");
}

}  // namespace
}  // namespace tarlo
