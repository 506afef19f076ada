// The EDGAR rules check: one golden case per rule that must be found and one
// that must not, the corpus filings, places, pictures and broken input.
#include "checker/edgar_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "checker/edgar_pictures.h"
#include "checker/problem_report.h"
#include "support/corpus.h"

namespace tarlo {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// "line:column severity rule subject", one line per finding.
std::string Summary(std::string_view text, const EdgarRulesResult& result) {
    std::string out;
    LineColumnCounter places(text);
    for (const EdgarFinding& f : result.findings) {
        const LineColumn at = places.At(f.offset);
        out += std::to_string(at.line) + ":" + std::to_string(at.column) + " " + f.severity + " " +
               f.rule + " " + f.subject + "\n";
    }
    return out;
}

// Every finding is well formed and names bytes inside the text.
void ExpectSound(std::string_view text, const EdgarRulesResult& result) {
    const auto& ids = EdgarRuleIds();
    for (const EdgarFinding& f : result.findings) {
        EXPECT_NE(std::find(ids.begin(), ids.end(), f.rule), ids.end()) << f.rule;
        EXPECT_TRUE(f.severity == kSeverityError || f.severity == kSeverityWarning);
        EXPECT_LE(f.offset + f.length, text.size());
        EXPECT_TRUE(f.length > 0 || text.empty());
        EXPECT_FALSE(f.message.empty());
        EXPECT_FALSE(f.fix.empty());
        EXPECT_EQ(f.message.substr(f.message.size() - f.fix.size()), f.fix);
    }
    EXPECT_TRUE(std::is_sorted(
        result.findings.begin(), result.findings.end(),
        [](const EdgarFinding& a, const EdgarFinding& b) { return a.offset < b.offset; }));
}

TEST(EdgarRules, GoldenCases) {
    const fs::path root = fs::path(TEST_DATA_DIR) / "edgar_rules";
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string input = ReadFile(entry.path() / "input.htm");
        const EdgarRulesResult result = CheckEdgarRules(input);
        EXPECT_EQ(Summary(input, result), ReadFile(entry.path() / "expected.txt"));
        ExpectSound(input, result);
        // A case that must trigger its rule does; one that must not, finds nothing.
        const bool bad = name.size() > 4 && name.compare(name.size() - 4, 4, "-bad") == 0;
        EXPECT_EQ(result.findings.empty(), !bad);
        EXPECT_EQ(result.xhtml, name.rfind("inline", 0) == 0);
        ++cases;
    }
    EXPECT_EQ(cases, 16);
}

TEST(EdgarRules, MessagesSayWhatToDoAndWhatCleanupFixes) {
    const std::string text =
        "<html><head><meta http-equiv=refresh content=1><link rel=x></head><body>"
        "<table><thead><tr><td>\xE2\x80\x94</td></tr></thead></table><script>x</script>"
        "<style>p{}</style><applet></applet></body></html>";
    std::map<std::string, std::string> bySubject;
    for (const EdgarFinding& f : CheckEdgarRules(text).findings) bySubject[f.subject] = f.message;
    ASSERT_EQ(bySubject.size(), 7u);
    // Only what the clean-up removes or rewrites says so.
    for (const char* cleaned : {"http-equiv", "<link>", "<thead>", "<script>", "<style>"}) {
        EXPECT_NE(bySubject[cleaned].find("Cleanup removes them."), std::string::npos) << cleaned;
    }
    EXPECT_NE(bySubject["U+2014"].find("&#8212;"), std::string::npos);
    EXPECT_NE(bySubject["U+2014"].find("Cleanup fixes them."), std::string::npos);
    EXPECT_EQ(bySubject["<applet>"].find("Cleanup"), std::string::npos);
    // The XHTML messages about tags read as sentences.
    const std::string xhtml = "<?xml version=\"1.0\"?><html><body><P>a</P><br><p class=\"x";
    for (const EdgarFinding& f : CheckEdgarRules(xhtml).findings) {
        EXPECT_EQ(f.message.find("()"), std::string::npos) << f.message;
        EXPECT_EQ(f.fix.find("()"), std::string::npos) << f.fix;
    }
}

TEST(EdgarRules, CharactersInWindows1252AndBrokenUtf8) {
    // Not UTF-8: each high byte is one Windows-1252 character (0x93 is U+201C).
    const std::string w1252 = "<p>\x93quoted\x94 caf\xE9</p>";
    const EdgarRulesResult a = CheckEdgarRules(w1252);
    EXPECT_EQ(Summary(w1252, a),
              "1:4 Error 5.2.1.1 U+201C\n1:11 Error 5.2.1.1 U+201D\n1:16 Error 5.2.1.1 U+00E9\n");
    // A byte-order mark is its own finding; the text after it is still read.
    const std::string bom = "\xEF\xBB\xBF<p>x\xC3\xA9</p>";
    const EdgarRulesResult b = CheckEdgarRules(bom);
    ASSERT_EQ(b.findings.size(), 2u);
    EXPECT_EQ(b.findings[0].subject, "byte-order mark");
    EXPECT_EQ(b.findings[0].length, 3u);
    EXPECT_EQ(b.findings[1].offset, 7u);
    EXPECT_EQ(b.findings[1].length, 2u);  // one character, two bytes
    // A run of raw characters is one finding naming all of its bytes.
    const std::string run =
        "a\xE2\x80\x9C\xE2\x80\x9D"
        "b";
    const EdgarRulesResult c = CheckEdgarRules(run);
    ASSERT_EQ(c.findings.size(), 1u);
    EXPECT_EQ(c.findings[0].offset, 1u);
    EXPECT_EQ(c.findings[0].length, 6u);
    EXPECT_EQ(c.findings[0].subject, "U+201C and 1 more");
}

TEST(EdgarRules, DetectsXhtml) {
    EXPECT_TRUE(LooksLikeXhtml("  <?xml version=\"1.0\"?><html>"));
    EXPECT_TRUE(LooksLikeXhtml("<HTML xmlns=\"http://www.w3.org/1999/xhtml\">"));
    EXPECT_TRUE(LooksLikeXhtml("<html><body><ix:nonNumeric>"));
    // Word's HTML declares namespaces of its own and is still HTML.
    EXPECT_FALSE(
        LooksLikeXhtml("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                       "xmlns=\"http://www.w3.org/TR/REC-html40\"><body>"));
    EXPECT_FALSE(LooksLikeXhtml("<html><body><p>x</p>"));
    // The caller may decide instead.
    EdgarRulesOptions xhtml;
    xhtml.markup = EdgarRulesOptions::Markup::Xhtml;
    EXPECT_TRUE(CheckEdgarRules("<html><body><br></body></html>", xhtml).xhtml);
    EXPECT_EQ(CheckEdgarRules("<html><body><br></body></html>", xhtml).findings.size(), 1u);
}

TEST(EdgarRules, LineAndColumnCountCharacters) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80x\r\nb\rc\nd\x93z";
    EXPECT_EQ(LineColumnAt(text, 0).column, 1u);
    EXPECT_EQ(LineColumnAt(text, 10).column, 5u);  // x after 2-, 3- and 4-byte characters
    EXPECT_EQ(LineColumnAt(text, 10).line, 1u);
    EXPECT_EQ(LineColumnAt(text, 13).line, 2u);  // after CR LF
    EXPECT_EQ(LineColumnAt(text, 15).line, 3u);  // after a lone CR
    EXPECT_EQ(LineColumnAt(text, 17).line, 4u);
    EXPECT_EQ(LineColumnAt(text, 19).column, 3u);  // a stray byte counts as one
    LineColumnCounter counter(text);
    for (std::size_t offset : {0u, 10u, 13u, 15u, 19u, 13u}) {
        const LineColumn a = counter.At(offset);
        const LineColumn b = LineColumnAt(text, offset);
        EXPECT_EQ(a.line, b.line) << offset;
        EXPECT_EQ(a.column, b.column) << offset;
    }
    EXPECT_EQ(LineColumnAt(text, 1000).line, 4u);  // past the end: the end
}

TEST(EdgarRules, ReportRecordStaysOneRow) {
    const std::string text = "<p onclick=\"a|b\nc\">x</p><a href=\"http://x|y\nz\">l</a>";
    const EdgarRulesResult result = CheckEdgarRules(text);
    ASSERT_EQ(result.findings.size(), 2u);
    std::string report;
    for (const EdgarFinding& f : result.findings) AppendRecord(report, ToProblemRecord(f));
    const std::vector<ReportRow> rows = ReportRows(report);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].code, "EDGAR 5.2.2.5 onclick");
    EXPECT_EQ(rows[0].severity, "Error");
    EXPECT_EQ(rows[0].recommendation, "Remove it.");
    EXPECT_EQ(rows[0].tag, "3");
    EXPECT_EQ(rows[1].code, "EDGAR 5.2.2.10 http://x y z");
    EXPECT_EQ(rows[1].issue, "The link \"http://x y z\" leads outside the submission.");
    EXPECT_EQ(rows[1].tag, std::to_string(result.findings[1].offset));
    EXPECT_EQ(CountProblems(std::string_view(report)).errors, 2);
}

// A GIF of `frames` 1x1 frames, each with a graphic control extension.
std::string Gif(int frames) {
    std::string g = "GIF89a";
    g += std::string("\x01\x00\x01\x00\x80\x00\x00", 7);
    g += std::string("\x00\x00\x00\xFF\xFF\xFF", 6);  // two-colour global table
    for (int i = 0; i < frames; ++i) {
        g += std::string("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8);
        g += std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);
        g += std::string("\x02\x02\x44\x01\x00", 5);
    }
    return g + "\x3B";
}

TEST(EdgarRules, PicturesBesideTheDocument) {
    EXPECT_EQ(GifFrameCount(Gif(1)), 1);
    EXPECT_EQ(GifFrameCount(Gif(3)), 3);
    EXPECT_EQ(GifFrameCount(Gif(3).substr(0, 40)), 1);  // cut short: what is there
    EXPECT_EQ(GifFrameCount("\xFF\xD8\xFF\xE0"), 0);

    const fs::path folder = fs::path(testing::TempDir()) / "edgar_pictures";
    fs::create_directories(folder);
    WriteFile(folder / "still.gif", Gif(1));
    WriteFile(folder / "moving.gif", Gif(2));
    WriteFile(folder / "photo.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
    WriteFile(folder / "fake.jpg", Gif(1));
    WriteFile(folder / "fake.gif", "<html>");
    WriteFile(folder.parent_path() / "outside.gif", Gif(5));
    const std::string text =
        "<img src=still.gif><img src=moving.gif><img src=photo.jpg><img src=fake.jpg>"
        "<img src=fake.gif><img src=gone.jpg><img src=../outside.gif><img src=moving.gif>";
    EdgarRulesOptions options;
    options.documentFolder = folder.string();
    const EdgarRulesResult looked = CheckEdgarRules(text, options);
    std::string seen;
    for (const EdgarFinding& f : looked.findings) {
        seen +=
            f.severity + " " + f.subject + ": " + f.message.substr(0, f.message.find('.')) + "\n";
    }
    EXPECT_EQ(seen,
              "Error moving.gif: The GIF \"moving\n"
              "Error fake.jpg: The file \"fake\n"
              "Error fake.gif: The file \"fake\n"
              "Warning gone.jpg: The picture \"gone\n"
              "Warning ../outside.gif: The picture \"\n"
              "Error moving.gif: The GIF \"moving\n");
    // Without the folder, names alone are judged.
    EXPECT_TRUE(CheckEdgarRules(text).findings.size() == 1);  // the folder warning
}

TEST(EdgarRules, BrokenMarkupEndsWellAndStaysInside) {
    const char* cases[] = {"<",
                           "<a href=\"x",
                           "<a href='javascript:",
                           "<!--",
                           "<!-- a -- b",
                           "<!DOCTYPE html [ <!ENTITY x \"]>\" > ",
                           "<script>never closed",
                           "<plaintext><b>",
                           "</",
                           "</table></table><table",
                           "&",
                           "&#",
                           "&#x110000000000000000000;",
                           "<img src=>",
                           "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><p "
                           "a=\"<\" a b=c &x",
                           "<?xml?><html><a><b></a></b></c>&#0;&#xD800;<x:y/><",
                           "\xFF\xFE<\x00h\x00"};
    for (const char* c : cases) {
        const std::string text(c);
        SCOPED_TRACE(text);
        for (auto markup : {EdgarRulesOptions::Markup::Html, EdgarRulesOptions::Markup::Xhtml}) {
            EdgarRulesOptions options;
            options.markup = markup;
            ExpectSound(text, CheckEdgarRules(text, options));
        }
    }
    // XHTML: what is never closed is named at its start tag.
    const std::string open = "<?xml version=\"1.0\"?><html><body><div><p>x";
    EXPECT_EQ(Summary(open, CheckEdgarRules(open)),
              "1:22 Error 5.2.5 <html>\n1:28 Error 5.2.5 <body>\n1:34 Error 5.2.5 <div>\n"
              "1:39 Error 5.2.5 <p>\n");
}

TEST(EdgarRules, TheSubmissionWrapperIsNotTheDocuments) {
    const std::string text =
        "<DOCUMENT>\n<TYPE>10-K\n<SEQUENCE>1\n<TEXT>\n<html><body>a<script>x</script>"
        "</body></html>\n</TEXT>\n</DOCUMENT>\n";
    const EdgarRulesResult r = CheckEdgarRules(text);
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].rule, "5.2.2.4");
    EXPECT_EQ(r.findings[0].offset, text.find("<script"));
    EXPECT_EQ(LineColumnAt(text, r.findings[0].offset).line, 5u);
}

TEST(EdgarRules, LongLinesAndTheFindingLimit) {
    // A single 4 MB line of elements EDGAR does not know.
    std::string line;
    while (line.size() < (4u << 20)) line += "<span class=a>x</span>";
    EdgarRulesResult all = CheckEdgarRules(line, {EdgarRulesOptions::Markup::Html, "", 0});
    EXPECT_EQ(all.findings.size(), line.size() / 22);
    EXPECT_FALSE(all.truncated);
    EXPECT_EQ(LineColumnAt(line, all.findings.back().offset).column, line.size() - 21);
    EdgarRulesResult some = CheckEdgarRules(line, {EdgarRulesOptions::Markup::Html, "", 1000});
    EXPECT_EQ(some.findings.size(), 1000u);
    EXPECT_TRUE(some.truncated);
}

// The corpus filings: counts per rule, reviewed by reading each finding's
// place in the file. Hand-checked samples:
//  - edgar-10q-2019.htm is kept in the submission's <DOCUMENT>, <TYPE>,
//    <SEQUENCE>, <FILENAME>, <DESCRIPTION>, <TEXT> wrapper, lines 1-6: the
//    wrapper is EDGAR's own and is not reported; its four pictures are
//    local .jpg files not kept beside it in the corpus.
//  - word-lists.htm is Word output: xmlns declarations on <html>, a
//    <meta http-equiv>, a <style> element, <span>s and an <o:p>.
//  - the two Inline XBRL annual reports are well formed; they write
//    <link:schemaRef/> (no warning: it never holds anything); the first
//    writes two nil facts as <ix:nonFraction .../> (warnings), and both name
//    two .jpg pictures that the corpus does not keep beside them. Their
//    Inline XBRL structure holds no Error; the first keeps six durations
//    (P1Y, P856D, ...) in ix:hidden and the second one number (0.333), which
//    no -sec-ix-hidden style shows (warnings).
TEST(EdgarRules, CorpusFilings) {
    const fs::path corpus(TARLO_CORPUS_DIR);
    TARLO_NEED_CORPUS();
    const std::map<std::string, std::string> expected{
        {"edgar-10k-2024-ixbrl-a.htm", "5.2.5 Warning 10;"},
        {"edgar-10k-2024-ixbrl-b.htm", "5.2.5 Warning 3;"},
        {"edgar-10q-2019.htm", "5.2.2.10 Warning 4;"},
        {"edgar-8k-2016.htm", ""},
        {"edgar-8k-ex99-press-release.htm", "5.2.2.10 Warning 1;"},
        {"word-lists.htm", "5.2.2.3 Error 26;5.2.2.4 Error 1;5.2.2.5 Error 5;"},
    };
    for (const auto& [name, counts] : expected) {
        SCOPED_TRACE(name);
        const std::string text = ReadFile(corpus / name);
        ASSERT_FALSE(text.empty());
        EdgarRulesOptions options;
        options.documentFolder = corpus.string();
        const EdgarRulesResult result = CheckEdgarRules(text, options);
        ExpectSound(text, result);
        std::map<std::string, int> byRule;
        for (const EdgarFinding& f : result.findings) ++byRule[f.rule + " " + f.severity];
        std::string seen;
        for (const auto& [rule, count] : byRule) seen += rule + " " + std::to_string(count) + ";";
        EXPECT_EQ(seen, counts);
    }
    const std::string q = ReadFile(corpus / "edgar-10q-2019.htm");
    EdgarRulesOptions beside;
    beside.documentFolder = corpus.string();
    const EdgarRulesResult r = CheckEdgarRules(q, beside);
    ASSERT_EQ(r.findings.size(), 4u);
    for (const EdgarFinding& f : r.findings) {
        EXPECT_GT(f.offset, q.find("<TEXT>"));
        const std::string named = q.substr(f.offset, f.length);
        EXPECT_EQ(named.substr(named.size() - 4), ".jpg") << named;
    }
    const std::string w = ReadFile(corpus / "word-lists.htm");
    for (const EdgarFinding& f : CheckEdgarRules(w).findings) {
        if (f.rule == "5.2.2.4") {
            EXPECT_EQ(w.substr(f.offset, 7), "<style>");
        }
        if (f.subject == "<o:p>") {
            EXPECT_EQ(w.substr(f.offset, f.length), "<o:p>");
        }
    }
}

}  // namespace
}  // namespace tarlo
