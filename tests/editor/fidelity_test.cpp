// A filer's document changes only where the filer changed it: every real
// filing of the corpus, opened and saved in the real views, comes back byte
// for byte; a bold word in the page changes that word and nothing else (an
// Inline XBRL filing stays well-formed XML with every ix: element as it was);
// refresh after refresh with Auto-Format ticked leaves the document alone; an
// edit in the page rewrites the edited element only, the whole page only where
// the code cannot be matched to it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "app/editor_commands.h"
#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "editor/fidelity_support.h"
#include "editor/file_commands.h"
#include "editor/main_window.h"
#include "pageview/visual_view.h"
#include "shell/command_table.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "support/corpus.h"
#include "support/gui_test_support.h"
#include "text/page_source.h"
#include "text/source_map.h"

using tarlo::test::Differ;
using tarlo::test::Difference;
using tarlo::test::ElementAt;
using tarlo::test::kFilings;
using tarlo::test::PathFrom;
using tarlo::test::ReadBytes;
using tarlo::test::ReadFacts;
using tarlo::test::WaitUntil;
using tarlo::test::XbrlFacts;

namespace tarlo {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// The words a reader sees: letters and digits between tags, comments and
// character references, sorted.
std::vector<std::string> Words(const std::string& html) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty()) words.push_back(word);
        word.clear();
    };
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<') {
            flush();
            const bool comment = html.compare(i, 4, "<!--") == 0;
            const std::size_t end = comment ? html.find("-->", i) : html.find('>', i);
            if (end == std::string::npos) break;
            i = end + (comment ? 2 : 0);
        } else if (c == '&') {
            flush();
            const std::size_t end = html.find(';', i);
            if (end != std::string::npos && end - i < 12) i = end;
        } else if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else {
            flush();
        }
    }
    flush();
    std::sort(words.begin(), words.end());
    return words;
}

// Selects the first word of six letters or more in normal weight outside
// ix: elements, the head and scripts, and makes it bold as the toolbar does;
// the word, or "".
const char* const kBoldAWord =
    "(function(){var root=document.body||document.documentElement;"
    "var w=document.createTreeWalker(root,NodeFilter.SHOW_TEXT);"
    "for(var n=w.nextNode();n;n=w.nextNode()){var bad=false;"
    "for(var a=n.parentNode;a;a=a.parentNode){var nm=a.nodeName;"
    "if(nm.indexOf(':')>=0||/^(style|script|title|head)$/i.test(nm)){bad=true;break;}}"
    "if(bad||parseInt(getComputedStyle(n.parentNode).fontWeight)>=600)continue;"
    "var m=/[A-Za-z]{6,}/.exec(n.data);if(!m)continue;"
    "var r=document.createRange();r.setStart(n,m.index);r.setEnd(n,m.index+m[0].length);"
    "var s=getSelection();s.removeAllRanges();s.addRange(r);"
    "return document.execCommand('bold')?m[0]:'';}return '';})()";

class FidelityTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dialogs = new ScriptedDialogs;
        window = test::StartTestWindow(
            dialogs, [] {}, {}, [](frmMain& w) { InstallEditorCommands(w); });
        files = window->findChild<FileCommands*>("FileCommands");
    }
    static void TearDownTestSuite() {
        delete window;
        delete dialogs;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NE(files, nullptr);
        window->document().AutoFormat = false;
        window->document().AutoColorize = false;
    }
    // Opens a copy of a corpus filing (Save writes back to it); its bytes.
    QByteArray Open(const char* name) {
        const QString original = QDir(TARLO_CORPUS_DIR).filePath(name);
        copy = QDir(dir.path()).filePath(name);
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(original, copy));
        // Whatever the last test left is not saved.
        dialogs->Queue(Answer::No);
        EXPECT_TRUE(files->OpenDocumentFile(copy)) << name;
        while (dialogs->pending() > 0) dialogs->Message(nullptr, "", "", Buttons::Ok, Icon::None);
        EXPECT_TRUE(window->Web->WaitForPushes(60000)) << name;
        return ReadBytes(original);
    }
    QByteArray Save() {
        dialogs->ClearAsked();
        window->commands().Run(CommandId::SaveDocument);
        EXPECT_TRUE(dialogs->asked().empty()) << dialogs->asked().front().text.toStdString();
        return ReadBytes(copy);
    }

    QTemporaryDir dir;
    QString copy;
    static inline frmMain* window = nullptr;
    static inline ScriptedDialogs* dialogs = nullptr;
    static inline FileCommands* files = nullptr;
};

TEST_F(FidelityTest, OpenThenSaveWritesEveryFilingBackUnchanged) {
    TARLO_NEED_CORPUS();
    for (const char* name : kFilings) {
        const QByteArray original = Open(name);
        const bool xhtml = original.startsWith("<?xml");
        EXPECT_EQ(window->Web->showsXhtml(), xhtml) << name;
        EXPECT_TRUE(window->Web->pageNote().isEmpty()) << name;
        // Byte for byte: line breaks and the file's end included.
        EXPECT_TRUE(Save() == original) << name;
    }
}

TEST_F(FidelityTest, ABoldWordInAnInlineXbrlFilingChangesThatWordOnly) {
    TARLO_NEED_CORPUS();
    const QByteArray original = Open("edgar-10k-2024-ixbrl-a.htm");
    ASSERT_TRUE(window->Web->showsXhtml());
    const XbrlFacts before = ReadFacts(original);
    ASSERT_TRUE(before.wellFormed);
    ASSERT_GT(before.elements.size(), 1000u);
    const QString word = window->Web->RunScript(kBoldAWord).value_or(QVariant()).toString();
    ASSERT_FALSE(word.isEmpty());
    const QByteArray saved = Save();
    const std::string text = saved.toStdString();
    EXPECT_TRUE(saved.startsWith("<?xml version='1.0' encoding='ASCII'?>\n<!--XBRL Document"));
    EXPECT_NE(text.find(">" + word.toStdString() + "</b>"), std::string::npos);
    const XbrlFacts after = ReadFacts(saved);
    EXPECT_TRUE(after.wellFormed);
    EXPECT_EQ(after.elements.size(), before.elements.size());
    EXPECT_TRUE(after == before) << "an ix: element, attribute or fact text changed";
    // Nothing the parser would have inferred, and no typographic character
    // written as a Windows-1252 number (a control character in XML).
    EXPECT_EQ(Count(Lower(text), "<tbody"), Count(Lower(original.toStdString()), "<tbody"));
    EXPECT_EQ(text.find("&#146;"), std::string::npos);
    EXPECT_EQ(Words(text), Words(original.toStdString()));
}

TEST_F(FidelityTest, ABoldWordInAnHtmlFilingKeepsItsDoctypeTablesAndWords) {
    TARLO_NEED_CORPUS();
    for (const char* name : {"edgar-10q-2019.htm", "edgar-8k-2016.htm",
                             "edgar-8k-ex99-press-release.htm", "word-lists.htm"}) {
        const QByteArray original = Open(name);
        const std::string before = original.toStdString();
        const QString word = window->Web->RunScript(kBoldAWord).value_or(QVariant()).toString();
        ASSERT_FALSE(word.isEmpty()) << name;
        const std::string after = Save().toStdString();
        EXPECT_NE(after.find(">" + word.toStdString() + "</b>"), std::string::npos) << name;
        EXPECT_EQ(Count(Lower(after), "<!doctype"), Count(Lower(before), "<!doctype")) << name;
        EXPECT_EQ(Count(Lower(after), "<tbody"), Count(Lower(before), "<tbody")) << name;
        EXPECT_TRUE(Words(after) == Words(before)) << name << ": a word was lost or added";
    }
}

TEST_F(FidelityTest, TenRefreshesWithAutoFormatGiveWhatOneGives) {
    TARLO_NEED_CORPUS();
    for (const char* name : {"edgar-8k-2016.htm", "word-lists.htm"}) {
        Open(name);
        window->document().AutoFormat = true;
        const QByteArray once = Save();
        for (int i = 0; i < 9; ++i) window->cmdRefreshCode_Click();
        EXPECT_TRUE(Save() == once) << name;
        window->document().AutoFormat = false;
    }
}

TEST_F(FidelityTest, XhtmlThatIsNotWellFormedIsShownAsHtmlAndTheStatusStripSaysWhy) {
    const std::string head =
        "<?xml version='1.0'?>\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\">";
    window->document().SetForm(FileForm{});  // a new document's CR LF
    window->txtCode->SetTextUtf8(head + "<body><p>x<br></p></body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_FALSE(window->Web->showsXhtml());
    const QString note = window->Web->pageNote();
    EXPECT_TRUE(
        note.startsWith("This document declares itself XHTML but is not well-formed XML "
                        "(error on line 2 at column "))
        << note.toStdString();
    EXPECT_TRUE(note.endsWith("; it is shown as HTML.")) << note.toStdString();
    EXPECT_EQ(window->StatusBar1->currentMessage(), note);
    // Still editable as HTML, and written back as HTML.
    EXPECT_EQ(window->Web->RunScript("document.designMode").value_or(QVariant()).toString(), "on");

    window->txtCode->SetTextUtf8(head + "<body><p>x<br/></p></body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_TRUE(window->Web->showsXhtml());
    EXPECT_TRUE(window->Web->pageNote().isEmpty());
    EXPECT_TRUE(window->StatusBar1->currentMessage().isEmpty());
    EXPECT_EQ(window->Web->RunScript("document.designMode").value_or(QVariant()).toString(), "on");
    // An edit in the XML page comes back as XML, the declaration in front,
    // the code's "<br/>" as it was written.
    window->Web->RunScript(
        "document.body.firstChild.appendChild(document.createTextNode('y'));true");
    window->cmdRefreshCode_Click();
    EXPECT_EQ(window->txtCode->TextUtf8(), head + "<body><p>x<br/>y</p></body></html>");
}

// Puts the caret inside the first word of four letters or more in a table
// cell, outside ix: elements, as a click there would; the path of the
// word's element (element-child indices from the document), or "".
const char* const kCaretIntoACell =
    "(function(){var w=document.createTreeWalker(document.body,NodeFilter.SHOW_TEXT);"
    "for(var n=w.nextNode();n;n=w.nextNode()){var cell=false,bad=false;"
    "for(var a=n.parentNode;a;a=a.parentNode){if(a.nodeName.indexOf(':')>=0)bad=true;"
    "if(/^td$/i.test(a.nodeName))cell=true;}"
    "var m=/[A-Za-z]{4,}/.exec(n.data);if(bad||!cell||!m)continue;"
    "var r=document.createRange();r.setStart(n,m.index+2);r.collapse(true);"
    "var s=getSelection();s.removeAllRanges();s.addRange(r);var path=[];"
    "for(var e=n.parentNode;e;e=e.parentElement){var i=0;"
    "for(var q=e.previousElementSibling;q;q=q.previousElementSibling)++i;path.unshift(i);}"
    "return JSON.stringify(path);}return '';})()";

TEST_F(FidelityTest, AKeyTypedInACellRewritesThatCellOnly) {
    TARLO_NEED_CORPUS();
    for (const char* name : {"edgar-10q-2019.htm", "edgar-10k-2024-ixbrl-b.htm"}) {
        const QByteArray original = Open(name);
        const bool xhtml = window->Web->showsXhtml();
        const int wholeBefore = window->sync().WholeRefreshCount();
        window->Web->setFocus();
        ASSERT_TRUE(WaitUntil([] { return window->Web->hasFocusWithin(); }));
        const QString path =
            window->Web->RunScript(kCaretIntoACell).value_or(QVariant()).toString();
        ASSERT_FALSE(path.isEmpty()) << name;
        QWidget* page = window->Web->focusProxy() ? window->Web->focusProxy() : window->Web;
        QTest::keyClicks(page, "Q");
        ASSERT_TRUE(WaitUntil([] { return window->Web->PageEdited().value_or(false); })) << name;
        const std::string before = original.toStdString();
        const std::string after = Save().toStdString();
        const Difference d = Differ(before, after);
        EXPECT_LE(d.beforeTo - d.from, 64u) << name;
        EXPECT_LE(d.afterTo - d.from, 64u) << name;
        EXPECT_NE(after.substr(d.from, d.afterTo - d.from).find('Q'), std::string::npos) << name;
        const ByteRange cell = ElementAt(before, PathFrom(path), xhtml);
        EXPECT_LE(static_cast<std::size_t>(cell.start), d.from) << name;
        EXPECT_GE(static_cast<std::size_t>(cell.end()), d.beforeTo) << name;
        if (xhtml) {
            const XbrlFacts facts = ReadFacts(QByteArray::fromStdString(after));
            EXPECT_TRUE(facts.wellFormed) << name;
            EXPECT_TRUE(facts == ReadFacts(original)) << name << ": an ix: element changed";
        }
        // Taken element by element, and the page was not written again.
        EXPECT_EQ(window->sync().WholeRefreshCount(), wholeBefore) << name;
        EXPECT_FALSE(window->Web->pushPending()) << name;
        EXPECT_FALSE(window->Web->PageEdited().value_or(true)) << name;
    }
}

TEST_F(FidelityTest, ABoldWordRewritesItsOwnElementOnly) {
    TARLO_NEED_CORPUS();
    for (const char* name : {"edgar-10q-2019.htm", "edgar-10k-2024-ixbrl-b.htm"}) {
        const QByteArray original = Open(name);
        const int wholeBefore = window->sync().WholeRefreshCount();
        const QString word = window->Web->RunScript(kBoldAWord).value_or(QVariant()).toString();
        ASSERT_FALSE(word.isEmpty()) << name;
        // The element around what the page changed (the engine may split the
        // word's styled span: then it is the span's parent).
        const QVariantList changed = window->Web->Call("changedElements")
                                         .value_or(QVariant())
                                         .toMap()
                                         .value("elements")
                                         .toList();
        ASSERT_FALSE(changed.empty()) << name;
        std::vector<int> path;
        for (const QVariant& step : changed[0].toMap().value("path").toList()) {
            path.push_back(step.toInt());
        }
        for (const QVariant& piece : changed) {
            const QVariantList other = piece.toMap().value("path").toList();
            std::size_t same = 0;
            while (same < path.size() && same < static_cast<std::size_t>(other.size()) &&
                   path[same] == other[static_cast<int>(same)].toInt()) {
                ++same;
            }
            path.resize(same);
        }
        const std::string before = original.toStdString();
        const std::string after = Save().toStdString();
        const Difference d = Differ(before, after);
        const std::string added = after.substr(d.from, d.afterTo - d.from);
        const ByteRange element = ElementAt(before, path, window->Web->showsXhtml());
        EXPECT_LE(static_cast<std::size_t>(element.start), d.from) << name;
        EXPECT_GE(static_cast<std::size_t>(element.end()), d.beforeTo) << name;
        // Only the word and the markup the engine put around it.
        EXPECT_LE(d.afterTo - d.from, 400u) << name << ": " << added;
        if (!window->Web->showsXhtml()) {
            EXPECT_LE(d.afterTo - d.from, 64u) << name << ": " << added;
        }
        EXPECT_NE(added.find(word.toStdString() + "</b>"), std::string::npos) << name;
        if (window->Web->showsXhtml()) {
            EXPECT_TRUE(ReadFacts(QByteArray::fromStdString(after)) == ReadFacts(original)) << name;
        }
        EXPECT_EQ(window->sync().WholeRefreshCount(), wholeBefore) << name;
    }
}

TEST_F(FidelityTest, EditsInSeveralElementsAreOneUndoStepAndKeepTheCodesSpelling) {
    window->document().SetForm(FileForm{});
    const std::string code =
        "<HTML><BODY>\r\n<P CLASS=a>one</P>\r\n<P>two</P>\r\n<DIV>three<BR></DIV>\r\n"
        "</BODY></HTML>";
    window->txtCode->SetTextUtf8(code);
    ASSERT_TRUE(window->Web->WaitForPushes());
    const int wholeBefore = window->sync().WholeRefreshCount();
    window->Web->RunScript(
        "var p=document.getElementsByTagName('p');p[0].firstChild.data+='!';"
        "document.querySelector('div').appendChild(document.createTextNode('\u00e9'));true");
    window->cmdRefreshCode_Click();
    EXPECT_EQ(window->txtCode->TextUtf8(),
              "<HTML><BODY>\r\n<P CLASS=a>one!</P>\r\n<P>two</P>\r\n<DIV>three<BR>&#233;</DIV>\r\n"
              "</BODY></HTML>");
    EXPECT_EQ(window->sync().WholeRefreshCount(), wholeBefore);
    window->txtCode->setFocus();
    window->commands().Run(CommandId::Undo);
    EXPECT_EQ(window->txtCode->TextUtf8(), code);
}

TEST_F(FidelityTest, AnEditTheCodeCannotBeMatchedToTakesThePageWhole) {
    window->document().SetForm(FileForm{});
    // The table has no tbody in the code; the page's parser made one, and a
    // row added there is a change of an element the code does not hold.
    window->txtCode->SetTextUtf8(
        "<html><body><table><TR><td>a</td></TR></table><P>kept</P></body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    const int wholeBefore = window->sync().WholeRefreshCount();
    window->Web->RunScript(
        "var b=document.querySelector('tbody');var r=b.firstElementChild.cloneNode(true);"
        "b.appendChild(r);true");
    const std::optional<QString> html = window->Web->OuterHtml();
    ASSERT_TRUE(html);
    const std::string whole = window->sync().CodeOfPageHtml(html->toStdString());
    window->cmdRefreshCode_Click();
    EXPECT_EQ(window->txtCode->TextUtf8(), whole);
    EXPECT_EQ(window->txtCode->TextUtf8(),
              "<html><head></head><body><table><tr><td>a</td></tr><tr><td>a</td></tr></table>"
              "<p>kept</p></body></html>");
    EXPECT_EQ(window->sync().WholeRefreshCount(), wholeBefore + 1);
}

// The page after a code edit reached it, and the same code pushed whole.
struct PushedPage {
    std::string patched;
    std::string whole;
};

// Replaces `length` bytes at `at` in the code as typing there does, and
// reads the page the push made; then pushes the same code whole and reads
// that page too.
PushedPage EditCode(CodeView& code, VisualView& web, int at, int length, const std::string& text) {
    code.ReplaceRange(at, length, text);
    EXPECT_TRUE(web.WaitForPushes());
    PushedPage page;
    page.patched = web.OuterHtml().value_or(QString()).toStdString();
    web.TakeNewCode();  // the same code again: nothing to patch, so written whole
    EXPECT_TRUE(web.WaitForPushes());
    page.whole = web.OuterHtml().value_or(QString()).toStdString();
    return page;
}

TEST_F(FidelityTest, ACodeEditInsideOneElementRebuildsThatElementInThePage) {
    window->document().SetForm(FileForm{});
    window->txtCode->SetTextUtf8(
        "<HTML><BODY>\r\n<P CLASS=a>one <B>two</B></P>\r\n"
        "<TABLE><TR><TD>1</TD><TD ALIGN=right>2</TD></TR></TABLE>\r\n"
        "<DIV><!-- note -->three</DIV>\r\n</BODY></HTML>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    struct Edit {
        const char* find;
        int skip;
        int length;
        const char* text;
    };
    // A cell's text, a paragraph's, an attribute value, a comment.
    const Edit edits[] = {{">2<", 1, 1, "22"},
                          {"one", 3, 0, ", and"},
                          {"ALIGN=right", 6, 5, "left"},
                          {" note ", 1, 4, "later"}};
    for (const Edit& e : edits) {
        const std::string code = window->txtCode->TextUtf8();
        const int at = static_cast<int>(code.find(e.find)) + e.skip;
        const int patchedBefore = window->Web->PatchedPushCount();
        const int wholeBefore = window->Web->WholePushCount();
        const PushedPage page = EditCode(*window->txtCode, *window->Web, at, e.length, e.text);
        EXPECT_EQ(window->Web->PatchedPushCount(), patchedBefore + 1) << e.find;
        EXPECT_EQ(window->Web->WholePushCount(), wholeBefore + 1) << e.find;  // the reference
        EXPECT_EQ(page.patched, page.whole) << e.find;
        EXPECT_NE(page.patched.find(e.text), std::string::npos) << e.find;
    }
    // A selection in the page outside the rebuilt cell stays.
    window->Web->RunScript(
        "var t=document.querySelector('div').lastChild;"
        "getSelection().setBaseAndExtent(t,0,t,5);true");
    const int cellAt = static_cast<int>(window->txtCode->TextUtf8().find(">22<")) + 1;
    window->txtCode->ReplaceRange(cellAt, 0, "3");
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_EQ(window->Web->RunScript("getSelection().toString()").value_or("").toString(), "three");
    // The bold word left open goes on after its paragraph: written whole.
    const int patchedBefore = window->Web->PatchedPushCount();
    const int wholeBefore = window->Web->WholePushCount();
    const int at = static_cast<int>(window->txtCode->TextUtf8().find("</B>"));
    const PushedPage page = EditCode(*window->txtCode, *window->Web, at, 4, "");
    EXPECT_EQ(window->Web->PatchedPushCount(), patchedBefore);
    EXPECT_EQ(window->Web->WholePushCount(), wholeBefore + 2);
    EXPECT_EQ(page.patched, page.whole);
}

TEST_F(FidelityTest, ACodeEditInACellOfAFilingRebuildsTheCellAndKeepsTheScroll) {
    TARLO_NEED_CORPUS();
    Open("edgar-10q-2019.htm");
    const std::string code = window->txtCode->TextUtf8();
    // The first words in a table cell (its text sits in a div or a font).
    const std::string_view shown = PageContent(code);
    const std::size_t offset = static_cast<std::size_t>(shown.data() - code.data());
    const SourceMap map = SourceMap::Build(shown, HtmlSyntax::Html);
    auto inCell = [&map](std::uint32_t node) {
        for (int up = 0; up < 4 && node != kNoSourceNode; ++up, node = map.Node(node).parent) {
            if (map.Node(node).kind == SourceNodeKind::Element && map.Name(node) == "td") {
                return true;
            }
        }
        return false;
    };
    int at = -1;
    for (std::uint32_t i = 0; i < map.Nodes().size() && at < 0; ++i) {
        const SourceNode& n = map.Node(i);
        if (n.kind != SourceNodeKind::Text || !inCell(i)) continue;
        const std::string_view text = shown.substr(static_cast<std::size_t>(n.startTag.start),
                                                   static_cast<std::size_t>(n.startTag.length));
        if (std::any_of(text.begin(), text.end(), [](char c) { return std::isalpha(c) != 0; })) {
            at = static_cast<int>(offset) + n.startTag.start;
        }
    }
    ASSERT_GE(at, 0);
    window->Web->RunScript("document.scrollingElement.scrollTop=2000;true");
    const int patchedBefore = window->Web->PatchedPushCount();
    window->txtCode->ReplaceRange(at, 0, "Q");
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_EQ(window->Web->PatchedPushCount(), patchedBefore + 1);
    EXPECT_EQ(window->Web->RunScript("document.scrollingElement.scrollTop").value_or(0).toInt(),
              2000);
    const std::string patched = window->Web->OuterHtml().value_or(QString()).toStdString();
    window->Web->TakeNewCode();
    ASSERT_TRUE(window->Web->WaitForPushes());
    EXPECT_EQ(patched, window->Web->OuterHtml().value_or(QString()).toStdString());
}

TEST_F(FidelityTest, ACodeEditInAnXhtmlElementRebuildsItWithItsNamespaces) {
    window->document().SetForm(FileForm{});
    window->txtCode->SetTextUtf8(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"><head><title>t</title></head>"
        "<body><div><p>Revenue <ix:nonFraction name=\"a\">12</ix:nonFraction></p><br/></div>"
        "</body></html>");
    ASSERT_TRUE(window->Web->WaitForPushes());
    ASSERT_TRUE(window->Web->showsXhtml());
    const int patchedBefore = window->Web->PatchedPushCount();
    const int at = static_cast<int>(window->txtCode->TextUtf8().find(">12<")) + 1;
    const PushedPage page = EditCode(*window->txtCode, *window->Web, at, 2, "13&#160;");
    EXPECT_EQ(window->Web->PatchedPushCount(), patchedBefore + 1);
    EXPECT_EQ(page.patched, page.whole);
    EXPECT_NE(page.patched.find(">13\xC2\xA0</ix:nonFraction>"), std::string::npos) << page.patched;
}

}  // namespace
}  // namespace tarlo
