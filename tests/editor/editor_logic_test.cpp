// The editor's window-free logic: status texts, the page-to-code conversion,
// the code page, the tool table and the layout arithmetic.
#include <gtest/gtest.h>

#include <set>

#include "editor/focus_tools.h"
#include "editor/main_layout.h"
#include "editor/status_text.h"
#include "editor/twips.h"
#include "text/number_text.h"
#include "text/text_transfer.h"
#include "text/windows1252.h"

namespace tarlo {
namespace {

TEST(StatusText, GroupsThousandsAndLabelsThePanels) {
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1000), "1,000");
    EXPECT_EQ(GroupThousands(1234), "1,234");
    EXPECT_EQ(GroupThousands(12345678), "12,345,678");
    EXPECT_EQ(GroupThousands(-1234567), "-1,234,567");
    EXPECT_EQ(LinePanelText(1234), "Line: 1,234");
    EXPECT_EQ(ColumnPanelText(12345), "Column: 12345");  // no grouping for columns
    EXPECT_EQ(LookOf(DocumentStatus::Accurate).text, "Code is accurate.");
    EXPECT_EQ(LookOf(DocumentStatus::Accurate).colour, RgbColor(0, 100, 0));
    EXPECT_EQ(LookOf(DocumentStatus::Stale).text, "Code needs to be refreshed.");
    EXPECT_EQ(LookOf(DocumentStatus::Stale).colour, RgbColor(150, 0, 0));
    EXPECT_TRUE(LookOf(DocumentStatus::Awaiting).defaultColour);
}

TEST(TextTransfer, WritesNonAsciiAsTheReferencesFilersUse) {
    // En dash, trade mark and euro have Windows-1252 numbers in 128-159.
    EXPECT_EQ(EncodeNonAsciiAsReferences("a\u2013b\u2122\u20ac"), "a&#150;b&#153;&#128;");
    // Latin-1 letters and characters beyond the code page keep their code point.
    EXPECT_EQ(EncodeNonAsciiAsReferences("\u00a9 caf\u00e9 \u00a0"), "&#169; caf&#233; &#160;");
    EXPECT_EQ(EncodeNonAsciiAsReferences("\u2603\U0001F600"), "&#9731;&#128512;");
    // ASCII, existing references and malformed bytes pass untouched.
    EXPECT_EQ(EncodeNonAsciiAsReferences("<p>&amp;&#150;</p>"), "<p>&amp;&#150;</p>");
    EXPECT_EQ(EncodeNonAsciiAsReferences(std::string("a\xff\xc3", 3)), std::string("a\xff\xc3", 3));
    EXPECT_EQ(EncodeNonAsciiAsReferences(std::string("\xed\xa0\x80", 3)),
              std::string("\xed\xa0\x80", 3));  // a lone surrogate is not a character
}

TEST(TextTransfer, LineFeedsBecomeCrLfOnce) {
    EXPECT_EQ(ToCrLf("a\nb"), "a\r\nb");
    EXPECT_EQ(ToCrLf("a\r\nb"), "a\r\nb");
    EXPECT_EQ(ToCrLf("\n\n"), "\r\n\r\n");
    EXPECT_EQ(ToCrLf("a\rb"), "a\rb");
    EXPECT_EQ(PageHtmlToCode("<p>\u2013</p>\n"), "<p>&#150;</p>\r\n");
    EXPECT_EQ(CountCharacters("\u00e9\u00e9<b>"), 5u);
}

TEST(Windows1252, MapsEveryByteBothWays) {
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = FromWindows1252(static_cast<unsigned char>(b));
        const auto back = ToWindows1252(cp);
        ASSERT_TRUE(back.has_value()) << b;
        EXPECT_EQ(*back, b);
    }
    EXPECT_EQ(FromWindows1252(0x96), U'\u2013');
    EXPECT_EQ(FromWindows1252(0x80), U'\u20ac');
    EXPECT_FALSE(ToWindows1252(U'\u2603').has_value());
}

TEST(FocusTools, EachToolBelongsToExactlyOneSide) {
    const auto visual = ToolsFor(FocusedView::Visual);
    const auto code = ToolsFor(FocusedView::Code);
    ASSERT_EQ(visual.size(), code.size());
    ASSERT_EQ(visual.size(), 28u);
    std::set<EditingTool> tools;
    for (std::size_t i = 0; i < visual.size(); ++i) {
        EXPECT_EQ(visual[i].tool, code[i].tool);
        EXPECT_NE(visual[i].enabled, code[i].enabled) << static_cast<int>(visual[i].tool);
        tools.insert(visual[i].tool);
    }
    EXPECT_EQ(tools.size(), visual.size());
    using T = EditingTool;
    for (const auto& t : code) {
        const bool codeSide = t.tool == T::FindReplace || t.tool == T::Undo || t.tool == T::Redo ||
                              t.tool == T::Symbols || t.tool == T::TableMaker ||
                              t.tool == T::TagReference || t.tool == T::ToggleCase ||
                              t.tool == T::Keywords;
        EXPECT_EQ(t.enabled, codeSide) << static_cast<int>(t.tool);
    }
}

TEST(MainLayout, FollowsTheWindowEdges) {
    // The design size, 13005 x 12000 twips, the bottom edge bar at 10500.
    const MainLayout l = ComputeMainLayout({867, 800, 700});
    EXPECT_EQ(l.logoWidth, 848);    // 12725 twips
    EXPECT_EQ(l.logoTop, 652);      // 9775
    EXPECT_EQ(l.viewsHeight, 613);  // 9200
    EXPECT_EQ(l.viewsWidth, 844);   // 12655
    EXPECT_EQ(l.panelsWidth, 844);
    EXPECT_EQ(l.panelsTop, 632);     // 9475
    EXPECT_EQ(l.stripTop, 637);      // 9550
    EXPECT_EQ(l.tipsWidth, 167);     // 2505
    EXPECT_EQ(l.tipTextWidth, 150);  // 2245
    EXPECT_EQ(Px(7), 0);
    EXPECT_EQ(Px(8), 1);
    EXPECT_EQ(Px(-725), -48);
}

}  // namespace
}  // namespace tarlo

#include "text/text_encoding.h"

namespace tarlo {
namespace {

TEST(TextEncoding, ReadsUtf8OrWindows1252AndWritesTheNarrowestThatFits) {
    EXPECT_TRUE(IsValidUtf8("plain <b>ascii</b>"));
    EXPECT_TRUE(IsValidUtf8("caf\u00e9 \u2013 \U0001F600"));
    EXPECT_FALSE(IsValidUtf8("caf\xe9"));
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xe2\x80"));      // cut short
    // A Windows-1252 file: e acute and an en dash.
    EXPECT_EQ(DecodeDocumentBytes("caf\xe9 \x96 x"), "caf\u00e9 \u2013 x");
    EXPECT_EQ(DecodeDocumentBytes("\xEF\xBB\xBFok"), "ok");
    EXPECT_EQ(DecodeDocumentBytes("\u00e9"), "\u00e9");
    // Writing: one byte per character when the code page holds them all.
    EXPECT_EQ(EncodeDocumentBytes("caf\u00e9 \u2013"), "caf\xe9 \x96");
    EXPECT_EQ(EncodeDocumentBytes("snow \u2603 \u00e9"), "snow \u2603 \u00e9");
    // Any byte string survives a read and a write unchanged.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(EncodeDocumentBytes(DecodeDocumentBytes(all)), all);
}

}  // namespace
}  // namespace tarlo

namespace tarlo {
namespace {

TEST(StatusPanelFit, ClockAndLocksGiveWayFirstAndTheCaretPanelsNever) {
    const std::vector<int> design = {140, 133, 133, 131, 284, 100, 80, 47, 47, 47, 80, 100};
    const std::vector<int> least = {105, 100, 100, 100, 200, 100, 80, 47, 47, 47, 80, 100};
    auto right = [](const std::vector<PanelPlace>& p) {
        int r = 0;
        for (const PanelPlace& x : p) {
            if (x.visible) r = std::max(r, x.left + x.width);
        }
        return r;
    };
    // Room for everything: design widths side by side.
    std::vector<PanelPlace> p = FitStatusPanels(design, least, 1500);
    for (std::size_t i = 0; i < design.size(); ++i) {
        EXPECT_TRUE(p[i].visible);
        EXPECT_EQ(p[i].width, design[i]);
    }
    EXPECT_EQ(p[5].left, 140 + 133 + 133 + 131 + 284);
    // A little short: the date goes, then the time, and nothing else changes.
    p = FitStatusPanels(design, least, 1250);
    EXPECT_FALSE(p[11].visible);
    EXPECT_TRUE(p[10].visible);
    EXPECT_EQ(p[0].width, 140);
    EXPECT_LE(right(p), 1250);
    // The start size: every lock and clock panel gone, then the others shrink;
    // line and column stay whole and inside.
    for (const int available : {843, 700, 600}) {
        p = FitStatusPanels(design, least, available);
        for (int i = 7; i < 12; ++i) EXPECT_FALSE(p[static_cast<std::size_t>(i)].visible);
        EXPECT_TRUE(p[5].visible);
        EXPECT_TRUE(p[6].visible);
        EXPECT_EQ(p[5].width, 100);
        EXPECT_EQ(p[6].width, 80);
        EXPECT_LE(right(p), available) << available;
        if (available >= 700) {
            for (std::size_t i = 1; i < 5; ++i) EXPECT_GE(p[i].width, least[i]);
        }
        // The document status keeps its least width longest.
        EXPECT_EQ(p[4].width, least[4]) << available;
    }
    // Shrinking before hiding: at 843 "Press F1 for Help" still shows.
    EXPECT_TRUE(FitStatusPanels(design, least, 843)[0].visible);
    EXPECT_FALSE(FitStatusPanels(design, least, 600)[0].visible);
}

}  // namespace
}  // namespace tarlo
