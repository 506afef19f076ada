// The source map: the element tree the page builds from the code, each
// element's bytes, and the lookups the sync of the two views uses. Small
// documents for the parser's rules (the trees are the ones the page engine
// builds for them), and the real filings for ranges that land on their tags.
#include "text/source_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/corpus.h"
#include "text/text_scan.h"

namespace tarlo {
namespace {

// The element tree as "name(children)", an implied element marked "*".
std::string Outline(const SourceMap& map, std::uint32_t node = SourceMap::Root()) {
    std::string out;
    for (std::uint32_t c = map.Node(node).firstChild; c != kNoSourceNode;
         c = map.Node(c).nextSibling) {
        if (map.Node(c).kind != SourceNodeKind::Element) continue;
        if (!out.empty()) out += " ";
        out += map.Name(c) + (map.Node(c).implied ? "*" : "");
        const std::string inner = Outline(map, c);
        if (!inner.empty()) out += "(" + inner + ")";
    }
    return out;
}

std::string Outline(std::string_view code, HtmlSyntax syntax = HtmlSyntax::Html) {
    return Outline(SourceMap::Build(code, syntax));
}

std::string_view Bytes(std::string_view code, ByteRange r) {
    return code.substr(r.start, r.length);
}

// What the element at `path` covers, and its end tag ("-" when it has none).
std::string Covers(const SourceMap& map, std::string_view code, const std::vector<int>& path) {
    const std::uint32_t node = map.NodeAtPath(path);
    if (node == kNoSourceNode) return "no element";
    const SourceNode& n = map.Node(node);
    return std::string(Bytes(code, n.whole)) + " | " +
           (n.HasEndTag() ? std::string(Bytes(code, n.endTag)) : "-");
}

TEST(SourceMapTest, HtmlImpliesDocumentPartsAndClosesBlocksAsThePageDoes) {
    const std::string code = "<p>a<br>b<img src=x>c<div>d</div>e</p>";
    const SourceMap map = SourceMap::Build(code, HtmlSyntax::Html);
    EXPECT_EQ(Outline(map), "html*(head* body*(p(br img) div p*))");
    EXPECT_EQ(Covers(map, code, {0}), code + " | -");
    EXPECT_EQ(Covers(map, code, {0, 0}), " | -");  // an implied head holds nothing
    EXPECT_EQ(Covers(map, code, {0, 1, 0}), "<p>a<br>b<img src=x>c | -");
    EXPECT_EQ(Covers(map, code, {0, 1, 0, 0}), "<br> | -");
    EXPECT_EQ(Covers(map, code, {0, 1, 1}), "<div>d</div> | </div>");
    EXPECT_EQ(Covers(map, code, {0, 1, 2}), "</p> | </p>");  // a </p> alone: an empty p
    // Blanks before the first text: the parts the parser makes start after
    // them, each inside the one that holds it.
    const std::string blanks = "\n-";
    const SourceMap b = SourceMap::Build(blanks, HtmlSyntax::Html);
    EXPECT_EQ(Covers(b, blanks, {0}), "- | -");
    EXPECT_EQ(Covers(b, blanks, {0, 1}), "- | -");

    EXPECT_EQ(Outline("<p>one<p>two</p></p>x"), "html*(head* body*(p p p*))");
    // A table closes a paragraph, except in quirks mode (no DOCTYPE).
    EXPECT_EQ(Outline("<p><table><tr><td>x</table>"),
              "html*(head* body*(p(table(tbody*(tr(td))))))");
    EXPECT_EQ(Outline("<!DOCTYPE html><p><table><tr><td>x</table>"),
              "html*(head* body*(p table(tbody*(tr(td)))))");
    EXPECT_EQ(Outline("<h1>a<h2>b</h3>c"), "html*(head* body*(h1 h2))");
    EXPECT_EQ(Outline("<meta charset=utf-8><title>a<b>c</title><p>x</body></html><p>after"),
              "html*(head*(meta title) body*(p p))");
    // Stray end tags are ignored; an EDGAR wrapper nests the document in it.
    const std::string wrapped =
        "<DOCUMENT><TYPE>X<TEXT><html><head><title>t</title></head><body><p>a</p></span></body>"
        "</html></TEXT></DOCUMENT>";
    const SourceMap w = SourceMap::Build(wrapped, HtmlSyntax::Html);
    EXPECT_EQ(Outline(w), "html*(head* body*(document(type(text(title p)))))");
    EXPECT_EQ(Covers(w, wrapped, {0, 1, 0, 0, 0}),
              "<TEXT><html><head><title>t</title></head><body><p>a</p></span></body></html></TEXT>"
              " | </TEXT>");
    // Raw text holds no elements.
    EXPECT_EQ(Outline("<script>if (a<b) x = '<p>';</script><textarea><b></textarea>"),
              "html*(head*(script) body*(textarea))");
}

TEST(SourceMapTest, HtmlClosesListItemsAndCellsBySiblings) {
    EXPECT_EQ(Outline("<ul><li>a<li>b<ul><li>c</ul><li>d</ul>"),
              "html*(head* body*(ul(li li(ul(li)) li)))");
    EXPECT_EQ(Outline("<dl><dt>a<dd>b<dt>c</dl>"), "html*(head* body*(dl(dt dd dt)))");
    EXPECT_EQ(Outline("<select><option>a<option>b<optgroup><option>c</select><p>d"),
              "html*(head* body*(select(option option optgroup(option)) p))");
    const std::string code = "<table><tr><td>a<td>b<tr><th>c</table><td>x";
    const SourceMap map = SourceMap::Build(code, HtmlSyntax::Html);
    EXPECT_EQ(Outline(map), "html*(head* body*(table(tbody*(tr(td td) tr(th)))))");
    EXPECT_EQ(Covers(map, code, {0, 1, 0, 0}), "<tr><td>a<td>b<tr><th>c | -");  // tbody
    EXPECT_EQ(Covers(map, code, {0, 1, 0, 0, 0, 1}), "<td>b | -");
    EXPECT_EQ(Covers(map, code, {0, 1, 0, 0, 1}), "<tr><th>c | -");
    EXPECT_EQ(Outline("<table><td>a</table>"), "html*(head* body*(table(tbody*(tr*(td)))))");
    EXPECT_EQ(Outline("<table><caption>c<tr><td>a</table><p>z"),
              "html*(head* body*(table(caption tbody*(tr(td))) p))");
    EXPECT_EQ(Outline("<table><tr><td><table><tr><td>in</table>out</td></tr></table>"),
              "html*(head* body*(table(tbody*(tr(td(table(tbody*(tr(td)))))))))");
    EXPECT_EQ(SourceMap::Build(code, HtmlSyntax::Html).UncertainPlaces(), 0);
}

TEST(SourceMapTest, HtmlCarriesFormattingOverAndMarksWhatMoves) {
    // A font left open at a paragraph's end opens again, as copies.
    const std::string code = "<p><font>a</p><p>b</p>c";
    const SourceMap map = SourceMap::Build(code, HtmlSyntax::Html);
    EXPECT_EQ(Outline(map), "html*(head* body*(p(font) p(font*) font*))");
    EXPECT_EQ(Covers(map, code, {0, 1, 0, 0}), "<font>a | -");
    EXPECT_EQ(Covers(map, code, {0, 1, 1, 0}), "b | -");
    EXPECT_EQ(map.UncertainPlaces(), 0);
    EXPECT_EQ(Outline("<b><b><b><b>x</p>y"), "html*(head* body*(b(b(b(b(p*))))))");
    EXPECT_EQ(Outline("<a href=x>1<a href=y>2</a>3"), "html*(head* body*(a a))");
    // The line break right after <pre> is no content, so it opens nothing.
    EXPECT_EQ(Outline("<p><font>a</p><pre>\r\n</pre>"), "html*(head* body*(p(font) pre))");
    // Misnested deeper than three formatting elements: the page leaves the
    // rest open (strong opens again before the object).
    EXPECT_EQ(Outline("<a href=x><b><strong></b><h2><font size=2><b><font size=3><dt></a></h1>"
                      "<object>"),
              "html*(head* body*(a(b(strong)) h2(a*(strong*(font(b(font)))) "
              "font*(b*(font*(dt(a*))))) strong*(font*(b*(font*(object))))))");
    // Misnested blocks move: the tree is the page's, its bytes are not.
    const SourceMap moved = SourceMap::Build("<b>1<p>2</b>3</p>4", HtmlSyntax::Html);
    EXPECT_EQ(Outline(moved), "html*(head* body*(b p(b*)))");
    EXPECT_GT(moved.UncertainPlaces(), 0);
    // Text and tags in a table outside its cells go in front of the table.
    const SourceMap fostered =
        SourceMap::Build("<table><font><tr><td>x</td></tr></font></table>", HtmlSyntax::Html);
    EXPECT_EQ(Outline(fostered), "html*(head* body*(font table(tbody*(tr(td)))))");
    EXPECT_GT(fostered.UncertainPlaces(), 0);
    EXPECT_GT(SourceMap::Build("<table>text<tr><td>x</table>", HtmlSyntax::Html).UncertainPlaces(),
              0);
}

// Each text node's bytes, in tree order, between "[" and "]".
std::string Texts(std::string_view code, HtmlSyntax syntax = HtmlSyntax::Html) {
    const SourceMap map = SourceMap::Build(code, syntax);
    std::string out;
    std::vector<std::uint32_t> pending{SourceMap::Root()};
    while (!pending.empty()) {
        const std::uint32_t node = pending.back();
        pending.pop_back();
        if (map.Node(node).kind == SourceNodeKind::Text) {
            out += "[" + std::string(Bytes(code, map.Node(node).whole)) + "]";
        }
        std::vector<std::uint32_t> children;
        for (std::uint32_t c = map.Node(node).firstChild; c != kNoSourceNode;
             c = map.Node(c).nextSibling) {
            children.push_back(c);
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return out;
}

TEST(SourceMapTest, TextRunsAreThePagesTextNodes) {
    // Text around an ignored tag is one node; so is a "<" that starts no tag
    // with the text after it, which a table then moves in front of itself.
    EXPECT_EQ(Texts("<p>a</b>b<p>c"), "[a</b>b][c]");
    EXPECT_EQ(Texts("<table><\n<div>x</div></table>"), "[<\n][x]");
    // Blanks before the body stay in the head or go; a table keeps blanks.
    EXPECT_EQ(Texts("\n<html> <head> <title>t</title> </head> <p>a</p>\n"), "[ ][t][ ][ ][a][\n]");
    EXPECT_EQ(Texts("<table>\n<tr> <td>1</td>\n</tr></table>"), "[\n][ ][1][\n]");
    // The line break after <pre> is no text; a list box ignores the tags
    // it cannot hold, and reads on after them as markup.
    EXPECT_EQ(Texts("<pre>\r\nx</pre><pre>\n</pre>"), "[x]");
    EXPECT_EQ(Texts("<select><xmp><i></xmp>a</select>"), "[a]");
    EXPECT_EQ(Outline("<listing><b>x</b></listing>"), "html*(head* body*(listing(b)))");
    EXPECT_EQ(Texts("<title>a<b>c</TITLE><textarea>\n<p></textarea>"), "[a<b>c][<p>]");
    // XHTML keeps the blanks inside the root and none outside it; a style
    // holds markup there, and "<b{}" is broken markup where the tree stops.
    EXPECT_EQ(
        Texts("<?xml version='1.0'?>\n<html> <style>a<b{}</style></html>\n", HtmlSyntax::Xhtml),
        "[ ][a]");
}

TEST(SourceMapTest, XhtmlIsTheXmlTreeAndSaysWhereItIsNotWellFormed) {
    const std::string code =
        "<?xml version='1.0'?>\n<html xmlns='http://www.w3.org/1999/xhtml'><body><table><tr>"
        "<td/><td>a<ix:nonFraction>1</ix:nonFraction></td></tr></table><P>x</P></body></html>\n";
    const SourceMap map = SourceMap::Build(code, HtmlSyntax::Xhtml);
    EXPECT_FALSE(map.Problem().has_value());
    EXPECT_EQ(Outline(map), "html(body(table(tr(td td(ix:nonFraction))) P))");
    EXPECT_EQ(Covers(map, code, {0, 0, 0, 0, 0}), "<td/> | -");
    EXPECT_EQ(Covers(map, code, {0, 0, 0, 0, 1, 0}),
              "<ix:nonFraction>1</ix:nonFraction> | </ix:nonFraction>");

    auto problemAt = [](std::string_view text) {
        const SourceMap m = SourceMap::Build(text, HtmlSyntax::Xhtml);
        return m.Problem() ? m.Problem()->at : -1;
    };
    EXPECT_EQ(problemAt("<html><p>a</P></html>"), 10);
    EXPECT_EQ(problemAt("<html><p>a</p>"), 14);              // never closed
    EXPECT_EQ(problemAt("<html>a&nbsp;b</html>"), 7);        // no such entity in XML
    EXPECT_EQ(problemAt("<html>a &amp; b</html><p/>"), 22);  // a second root
    EXPECT_EQ(problemAt("<html>a < b</html>"), 8);
    EXPECT_EQ(problemAt("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"x\">"
                        "<html>&nbsp;</html>"),
              -1);
}

TEST(SourceMapTest, FindsTheEnclosingElementAndWalksPaths) {
    const std::string code = "<div><p>one <b>two</b></p><p>three</p></div>";
    const SourceMap map = SourceMap::Build(code, HtmlSyntax::Html);
    auto at = [&](std::string_view what, int extra = 0) {
        const int start = static_cast<int>(code.find(what));
        const std::uint32_t node =
            map.EnclosingElement(ByteRange{start, static_cast<int>(what.size()) + extra});
        return node == kNoSourceNode ? std::string("none") : map.Name(node);
    };
    EXPECT_EQ(at("two"), "b");
    EXPECT_EQ(at("one"), "p");
    EXPECT_EQ(at("<b>two</b>"), "b");
    EXPECT_EQ(at("two</b></p><p>th"), "div");  // across two paragraphs
    EXPECT_EQ(at("three"), "p");
    EXPECT_EQ(at("</div>"), "div");
    EXPECT_EQ(at("</div>", 1), "none");  // past the end of the text
    const std::uint32_t b = map.NodeAtPath({0, 1, 0, 0, 0});
    ASSERT_NE(b, kNoSourceNode);
    EXPECT_EQ(map.Name(b), "b");
    EXPECT_EQ(map.PathOf(b), (std::vector<int>{0, 1, 0, 0, 0}));
    EXPECT_EQ(map.NodeAtPath({0, 1, 0, 2}), kNoSourceNode);
    EXPECT_EQ(map.NodeAtPath({0, 1, 0, -1}), kNoSourceNode);
}

// What the sync relies on in any map: nodes in the order of their bytes (the
// enclosing lookup needs it), each certain node inside its certain parent and
// before its next sibling, start and end tags where the code has them, and
// lookups that find every element by its start tag and its path.
void ExpectSound(const SourceMap& map, std::string_view code) {
    int previousStart = 0;
    for (std::uint32_t i = 1; i < map.Nodes().size(); ++i) {
        const SourceNode& n = map.Node(i);
        ASSERT_GE(n.whole.start, previousStart) << i;
        previousStart = n.whole.start;
        const SourceNode& parent = map.Node(n.parent);
        if (!n.uncertain && !parent.uncertain) {
            ASSERT_GE(n.whole.start, parent.whole.start) << i;
            ASSERT_LE(n.whole.end(), parent.whole.end()) << i;
            if (n.nextSibling != kNoSourceNode && !map.Node(n.nextSibling).uncertain) {
                ASSERT_LE(n.whole.end(), map.Node(n.nextSibling).whole.start) << i;
            }
        }
        if (n.kind != SourceNodeKind::Element) continue;
        ASSERT_EQ(map.NodeAtPath(map.PathOf(i)), i);
        if (n.HasEndTag()) {
            ASSERT_EQ(Bytes(code, n.endTag).substr(0, 2), "</") << i;
        }
        if (n.implied) continue;
        ASSERT_TRUE(EqualsFolded(Bytes(code, n.startTag).substr(0, map.Name(i).size() + 1),
                                 "<" + map.Name(i)))
            << Bytes(code, n.startTag);
        if (map.UncertainPlaces() == 0) {
            ASSERT_EQ(map.EnclosingElement(n.startTag), i);
        }
    }
}

TEST(SourceMapTest, EveryCutOfMessyMarkupGivesASoundMap) {
    const std::string messy =
        "<!DOCTYPE html><title>t</TITLE><p>a<div>b</div>c<p>one<p>two</p></p>"
        "<ul><li>a<li>b<ul><li>c</ul><li>d</ul><dl><dt>a<dd>b</dl>"
        "<table><tr><td>a<td>b<tr><th>c</table><table><td>a</table>"
        "<table>text<tr><td>x</td></tr></table><table><font><tr><td>x</font></table>"
        "<b>1<p>2</b>3</p>4<p><font>a</p><p>b</p>c<a href=x>1<a href=y>2</a>3"
        "<b><b><b><b>x</p>y<select><option>a<optgroup><option>c</select>"
        "<h1>a<h2>b</h3>c<div><span>a</div>b<br></br><form><form><input></form>"
        "<table><caption>c<colgroup><col></colgroup><col><tr><td><table><tr><td>in</table>"
        "out</table><i>a<table><tr><td>b</td></tr></table>c</i><b><i>a</b>b</i>c"
        "<div><b>a<div>b</b>c</div>d</div><object><b>a</object>b<svg><path/></svg>"
        "<script>x<y</script></body></html><!-- after --><p>after";
    for (std::size_t cut = 0; cut <= messy.size(); ++cut) {
        SCOPED_TRACE(messy.substr(0, cut));
        const std::string code = messy.substr(0, cut);
        ExpectSound(SourceMap::Build(code, HtmlSyntax::Html), code);
        ExpectSound(SourceMap::Build(code, HtmlSyntax::Xhtml), code);
        if (HasFatalFailure()) return;
    }
}

// Elements of the real filings as the page engine counts them (HTML: the
// file read as text/html; XHTML: as application/xhtml+xml).
struct CorpusCounts {
    const char* file;
    HtmlSyntax syntax;
    std::size_t elements, table, tbody, tr, td;
};
constexpr CorpusCounts kCorpus[] = {
    {"edgar-10k-2024-ixbrl-a.htm", HtmlSyntax::Html, 14843, 63, 63, 711, 6337},
    {"edgar-10k-2024-ixbrl-b.htm", HtmlSyntax::Html, 44109, 134, 134, 1949, 18942},
    {"edgar-10q-2019.htm", HtmlSyntax::Html, 16623, 207, 207, 895, 4606},
    {"edgar-8k-2016.htm", HtmlSyntax::Html, 377, 10, 10, 26, 75},
    {"edgar-8k-ex99-press-release.htm", HtmlSyntax::Html, 1369, 4, 4, 98, 787},
    {"word-lists.htm", HtmlSyntax::Html, 73, 0, 0, 0, 0},
    {"edgar-10k-2024-ixbrl-a.htm", HtmlSyntax::Xhtml, 14780, 63, 0, 711, 6337},
    {"edgar-10k-2024-ixbrl-b.htm", HtmlSyntax::Xhtml, 43975, 134, 0, 1949, 18942},
};

TEST(SourceMapTest, FilingsGiveThePagesElementsWithRangesOnTheirTags) {
    TARLO_NEED_CORPUS();
    for (const CorpusCounts& expected : kCorpus) {
        SCOPED_TRACE(expected.file);
        std::ifstream in(std::filesystem::path(TARLO_CORPUS_DIR) / expected.file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        const std::string code = bytes.str();
        const SourceMap map = SourceMap::Build(code, expected.syntax);
        EXPECT_FALSE(map.Problem().has_value()) << map.Problem()->what;
        ExpectSound(map, code);
        std::map<std::string, std::size_t> counts;
        for (std::uint32_t i = 1; i < map.Nodes().size(); ++i) {
            if (map.Node(i).kind == SourceNodeKind::Element) ++counts[map.Name(i)];
        }
        EXPECT_EQ(map.ElementCount(), expected.elements);
        EXPECT_EQ(counts["table"], expected.table);
        EXPECT_EQ(counts["tbody"], expected.tbody);
        EXPECT_EQ(counts["tr"], expected.tr);
        EXPECT_EQ(counts["td"], expected.td);
        EXPECT_EQ(map.UncertainPlaces(), 0);
    }
}

}  // namespace
}  // namespace tarlo
