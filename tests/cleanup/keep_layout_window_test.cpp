// "Clean up, keeping the layout" in a real main window with the real page
// engine: what the page showed before is measured character by character
// against what it shows after, on a made-up Word page and on real filings.
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QToolButton>
#include <QVariantList>

#include <algorithm>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "checker/edgar_rules.h"
#include "codeview/code_view.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/progress_windows.h"
#include "support/corpus.h"
#include "support/gui_test_support.h"
#include "text/text_encoding.h"

namespace tarlo {
namespace {

// Every visible character's look, as the page computes it: alignment, weight,
// italic, size, and the lines drawn through or under it (which come from any
// element around it). Text nodes come as [text without blanks, look].
const char* const kLookScript = R"JS(
(function() {
    var out = [], cache = new Map(), body = document.body;
    if (!body) return out;
    function lines(el) {
        var all = [];
        for (var e = el; e && e !== document.documentElement; e = e.parentElement) {
            var l = getComputedStyle(e).textDecorationLine;
            if (l && l !== 'none') all = all.concat(l.split(' '));
        }
        return Array.from(new Set(all)).sort().join('+');
    }
    function lookOf(el) {
        if (cache.has(el)) return cache.get(el);
        var s = getComputedStyle(el);
        var shown = el.getClientRects().length > 0 && s.visibility !== 'hidden';
        var key = shown ? [s.textAlign, s.fontWeight, s.fontStyle, s.fontSize, lines(el)].join('|')
                        : null;
        cache.set(el, key);
        return key;
    }
    var walk = document.createTreeWalker(body, NodeFilter.SHOW_TEXT);
    for (var n = walk.nextNode(); n; n = walk.nextNode()) {
        var key = lookOf(n.parentElement);
        if (key === null) continue;
        var text = n.data.replace(/\u2026/g, '...').replace(/\s+/g, '');
        if (text) out.push([text, key]);
    }
    return out;
})()
)JS";

struct Looks {
    QString text;               // the visible characters, blanks aside
    std::vector<QString> keys;  // each one's look
};

Looks ReadLooks(VisualView& view) {
    Looks looks;
    const std::optional<QVariant> answer = view.RunScript(QString::fromLatin1(kLookScript), 60000);
    if (!answer) return looks;
    for (const QVariant& run : answer->toList()) {
        const QVariantList pair = run.toList();
        const QString text = pair.value(0).toString();
        const QString key = pair.value(1).toString();
        looks.text += text;
        looks.keys.insert(looks.keys.end(), static_cast<std::size_t>(text.size()), key);
    }
    return looks;
}

// The share of the characters before that are shown after with the same
// look. The text may differ a little (the clean-up pads bare cells with
// blanks, which do not count); where it does, the walk finds its way back.
double KeptShare(const Looks& before, const Looks& after, std::string* firstMiss = nullptr) {
    const QString& a = before.text;
    const QString& b = after.text;
    std::size_t i = 0, j = 0, kept = 0;
    while (i < static_cast<std::size_t>(a.size()) && j < static_cast<std::size_t>(b.size())) {
        if (a[static_cast<int>(i)] == b[static_cast<int>(j)]) {
            if (before.keys[i] == after.keys[j]) {
                ++kept;
            } else if (firstMiss && firstMiss->empty()) {
                *firstMiss = a.mid(static_cast<int>(i), 40).toStdString() + ": " +
                             before.keys[i].toStdString() + " -> " + after.keys[j].toStdString();
            }
            ++i, ++j;
            continue;
        }
        // Resynchronise: the nearest place where the next characters agree.
        const int probe = 12;
        bool found = false;
        for (int skip = 1; skip < 200 && !found; ++skip) {
            if (a.mid(static_cast<int>(i + skip), probe) == b.mid(static_cast<int>(j), probe)) {
                i += skip, found = true;
            } else if (b.mid(static_cast<int>(j + skip), probe) ==
                       a.mid(static_cast<int>(i), probe)) {
                j += skip, found = true;
            }
        }
        if (!found) ++i, ++j;
    }
    return a.isEmpty() ? 1.0 : static_cast<double>(kept) / a.size();
}

// What both clean-ups must agree on: the words, the link targets and the
// cells' spans, in order.
struct Content {
    std::string words;
    std::vector<std::string> links;
    std::vector<std::string> spans;
};

Content ContentOf(const std::string& code) {
    Content c;
    static const std::regex tag("<[^>]*>");
    static const std::regex href("href\\s*=\\s*\"?([^\" >]*)", std::regex::icase);
    static const std::regex span("(colspan|rowspan)\\s*=\\s*\"?([0-9]+)", std::regex::icase);
    for (std::sregex_iterator it(code.begin(), code.end(), tag), end; it != end; ++it) {
        const std::string t = it->str();
        std::smatch m;
        if (std::regex_search(t, m, href)) c.links.push_back(m[1]);
        for (std::sregex_iterator s(t.begin(), t.end(), span); s != end; ++s) {
            c.spans.push_back((*s)[1].str() + "=" + (*s)[2].str());
        }
    }
    const std::string text = std::regex_replace(code, tag, "");
    for (const char ch : text) {
        if (!std::isspace(static_cast<unsigned char>(ch))) c.words += ch;
    }
    return c;
}

int EdgarErrorCount(const std::string& html) {
    int errors = 0;
    for (const EdgarFinding& f : CheckEdgarRules(html).findings) errors += f.severity == "Error";
    return errors;
}

class KeepLayoutWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        dialogs->ClearAsked();
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }
    static void SetCode(const std::string& text) {
        window->txtCode->SetTextUtf8(text);
        ASSERT_TRUE(window->Web->WaitForPushes(60000));
    }
    static std::string Clean(CommandId command) {
        dialogs->Queue(Answer::Yes);
        EXPECT_TRUE(window->commands().Run(command));
        EXPECT_TRUE(window->Web->WaitForPushes(60000));
        return window->txtCode->TextUtf8();
    }

    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
};

const char* const kWordPage =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"><head>"
    "<style><!-- p.MsoNormal {margin:0in; font-size:12.0pt; font-family:\"Times New Roman\"; "
    "mso-pagination:widow-orphan}\n h1 {text-align:center; font-style:italic; font-weight:normal; "
    "font-size:16pt}\n .Cover {text-align:center; text-decoration:underline}\n"
    "td.Num {text-align:right; vertical-align:bottom; border-bottom:double 3px black}\n"
    "span.Em {font-weight:bold}\n hr.Rule {height:3px; background-color:black; border:none}\n"
    ".Break {page-break-before:always}\n--></style></head><body>"
    "<hr class=Rule>"
    "<h1>Annual Report</h1>"
    "<p class=Cover><span style='font-size:14pt'>Acme Widgets, Inc.</span></p>"
    "<p class=MsoNormal>Net sales <span class=Em>rose</span> 4%<o:p></o:p></p>"
    "<table><tr><td>Revenue</td><td class=Num colspan=2>1,204</td></tr></table>"
    "<p>A plain paragraph keeps its own margins.</p>"
    "<p class=Break>Next page</p>"
    "</body></html>";

TEST_F(KeepLayoutWindowTest, TheStyleSheetBecomesStylesAndThePageLooksAsBefore) {
    // The command is in the Tools menu and on the toolbar.
    ASSERT_NE(window->menuAction("mnuEdgarizeLayout"), nullptr);
    EXPECT_EQ(window->menuAction("mnuEdgarizeLayout")->text(), "Clean up, keeping the &layout");
    auto* button = window->findChild<QToolButton*>("cmdEdgarizeLayout");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->accessibleName(), "Clean up, keeping the layout");

    SetCode(kWordPage);
    const Looks before = ReadLooks(*window->Web);
    ASSERT_FALSE(before.text.isEmpty());

    // "No" changes nothing; the question says what this clean-up does.
    dialogs->Queue(Answer::No);
    window->menuAction("mnuEdgarizeLayout")->trigger();
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.startsWith("Clean up, keeping the layout, first writes"))
        << dialogs->asked()[0].text.toStdString();
    EXPECT_EQ(window->txtCode->TextUtf8(), kWordPage);

    const std::string code = Clean(CommandId::CleanUpKeepingLayout);
    for (const char* gone :
         {"class", "<style", "mso-", "MsoNormal", "o:p", "<span", "data-tarlo-look"}) {
        EXPECT_EQ(code.find(gone), std::string::npos) << gone << " in " << code;
    }
    // The heading's and the cover line's centring, the part-bold words and
    // the cell's double rule are now the elements' own.
    // Lengths are in points where they are whole hundredths of a point.
    EXPECT_TRUE(std::regex_search(
        code,
        std::regex("<h1 style=\"text-align: center;[^\"]*font-style: italic; font-size: 16pt")))
        << code;
    EXPECT_NE(code.find("<font style=\"font-weight: 700;\">rose</font>"), std::string::npos)
        << code;
    EXPECT_TRUE(std::regex_search(code, std::regex("<td colspan=\"2\" style=\"text-align: right; "
                                                   "vertical-align: bottom; border-bottom-width: "
                                                   "2.25pt; border-bottom-style: double;\">")))
        << code;
    EXPECT_NE(code.find("font-family: 'Times New Roman'; margin-top: 0; margin-bottom: 0;"),
              std::string::npos)
        << code;
    // Rules drawn as shaded empty blocks and page breaks for the printed
    // filing stay too.
    EXPECT_TRUE(std::regex_search(code, std::regex("<hr style=\"[^\"]*height: 2.25pt;[^\"]*"
                                                   "background-color: rgb\\(0, 0, 0\\)")))
        << code;
    EXPECT_NE(code.find("page-break-before: always;\">Next page"), std::string::npos) << code;
    // An element that looked as it does without the style sheet gets no style.
    EXPECT_NE(code.find("<p>A plain paragraph"), std::string::npos) << code;
    std::string miss;
    EXPECT_EQ(KeptShare(before, ReadLooks(*window->Web), &miss), 1.0) << miss << "\n" << code;
    EXPECT_EQ(EdgarErrorCount(code), 0) << code;
    // The progress window came and went, as for Clean up.
    EXPECT_EQ(window->progress().edgProgress(), nullptr);

    // Undo brings the document back as it was, as after Clean up.
    ASSERT_TRUE(window->commands().Run(CommandId::Undo));
    EXPECT_EQ(window->txtCode->TextUtf8(), kWordPage);
}

// Rules that tell apart elements of one tag and attributes by their place or
// by an attribute's value: each such element keeps its own look.
TEST_F(KeepLayoutWindowTest, RulesOnPlacesAndValuesKeepEachElementsLook) {
    for (const char* page :
         {"<html><head><style>td:first-child {text-align: right} p + p {font-style: italic}"
          "</style></head><body><table><tr><td>1</td><td>2</td></tr><tr><td>3</td><td>4</td>"
          "</tr></table><p>a</p><p>b</p><p>c</p></body></html>",
          "<html><head><style>#total {font-weight: bold} td[x\\:num=\"7\"] {color: red; "
          "text-decoration: underline}</style></head><body><table><tr><td id=total>1</td>"
          "<td id=other>2</td><td x:num=\"7\">7</td><td x:num=\"8\">8</td></tr></table>"
          "</body></html>"}) {
        SetCode(page);
        const Looks before = ReadLooks(*window->Web);
        const std::string code = Clean(CommandId::CleanUpKeepingLayout);
        std::string miss;
        EXPECT_EQ(KeptShare(before, ReadLooks(*window->Web), &miss), 1.0) << miss << "\n" << code;
    }
}

// The real filings: a Word export and an HTML 4.01 filing styled with fonts
// and style attributes.
TEST_F(KeepLayoutWindowTest, RealFilingsKeepTheirLookTextLinksAndCells) {
    TARLO_NEED_CORPUS();
    for (const char* name : {"word-lists.htm", "edgar-10q-2019.htm", "edgar-8k-2016.htm",
                             "edgar-8k-ex99-press-release.htm"}) {
        SCOPED_TRACE(name);
        QFile file(QString::fromLatin1(TARLO_CORPUS_DIR "/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const std::string original =
            DecodeDocumentBytes({bytes.constData(), std::size_t(bytes.size())});

        SetCode(original);
        const Looks before = ReadLooks(*window->Web);
        const std::string plain = Clean(CommandId::CleanUp);
        const double plainShare = KeptShare(before, ReadLooks(*window->Web));

        SetCode(original);
        QElapsedTimer clock;
        clock.start();
        const std::string kept = Clean(CommandId::CleanUpKeepingLayout);
        const qint64 ms = clock.elapsed();
        std::string miss;
        const double share = KeptShare(before, ReadLooks(*window->Web), &miss);
        std::printf(
            "%s: %d visible characters; same look after Clean up %.2f%%, after keeping "
            "the layout %.2f%% (%lld ms); EDGAR Errors %d before, %d after Clean up, %d "
            "after keeping the layout\n",
            name, static_cast<int>(before.text.size()), plainShare * 100, share * 100,
            static_cast<long long>(ms), EdgarErrorCount(original), EdgarErrorCount(plain),
            EdgarErrorCount(kept));
        EXPECT_GE(share, 0.99) << "first difference: " << miss;

        const Content a = ContentOf(plain);
        const Content b = ContentOf(kept);
        EXPECT_EQ(a.words, b.words);
        EXPECT_EQ(a.links, b.links);
        EXPECT_EQ(a.spans, b.spans);
        EXPECT_LE(EdgarErrorCount(kept), EdgarErrorCount(original));
        EXPECT_EQ(kept.find("data-tarlo-look"), std::string::npos);
    }
}

// Without the page (a document larger than it takes) an Inline XBRL filing is
// still cleaned, from its code; any other document is left as it is, and the
// user is told why.
TEST_F(KeepLayoutWindowTest, WithoutThePageOnlyInlineXbrlIsCleaned) {
    const std::uint64_t limit = window->Web->pageLimit();
    window->Web->SetPageLimit(64);
    const std::string filing =
        "<?xml version='1.0'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><body><!-- note --><p class=\"a\">"
        "<ix:nonFraction name=\"us-gaap:Revenues\" contextRef=\"c1\">12</ix:nonFraction></p>"
        "</body></html>";
    window->txtCode->SetTextUtf8(filing);
    ASSERT_TRUE(test::WaitUntil([] { return window->Web->codeOnly(); }));
    for (const CommandId command : {CommandId::CleanUp, CommandId::CleanUpKeepingLayout}) {
        window->txtCode->SetTextUtf8(filing);
        dialogs->ClearAsked();
        dialogs->Queue(Answer::Yes);
        ASSERT_TRUE(window->commands().Run(command));
        ASSERT_EQ(dialogs->asked().size(), 1u);
        EXPECT_TRUE(dialogs->asked()[0].text.startsWith("This document is Inline XBRL"));
        const std::string code = window->txtCode->TextUtf8();
        EXPECT_EQ(code.find("note"), std::string::npos) << code;
        EXPECT_NE(code.find("<ix:nonFraction name=\"us-gaap:Revenues\" contextRef=\"c1\">12<"),
                  std::string::npos)
            << code;
    }
    const std::string page =
        "<html><body><p class=MsoNormal>A Word page longer than the page takes.</p></body></html>";
    window->txtCode->SetTextUtf8(page);
    dialogs->ClearAsked();
    ASSERT_TRUE(window->commands().Run(CommandId::CleanUpKeepingLayout));
    ASSERT_EQ(dialogs->asked().size(), 1u);
    EXPECT_TRUE(dialogs->asked()[0].text.contains("Nothing was changed"));
    EXPECT_EQ(window->txtCode->TextUtf8(), page);
    window->Web->SetPageLimit(limit);
    window->txtCode->SetTextUtf8("<html><body></body></html>");
    EXPECT_TRUE(test::WaitUntil([] { return !window->Web->codeOnly(); }));
}

}  // namespace
}  // namespace tarlo
