// The facts of an Inline XBRL document: their values after format, scale and
// sign, their contexts and units, and a real filing counted another way.
#include "checker/ixbrl_facts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/corpus.h"

namespace tarlo {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t k = text.find(what); k != std::string::npos; k = text.find(what, k + 1)) ++n;
    return n;
}

TEST(IxbrlFacts, ValuesPeriodsAndUnits) {
    const std::string text =
        "<html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\" "
        "xmlns:ixt=\"http://www.xbrl.org/inlineXBRL/transformation/2020-02-12\" "
        "xmlns:ixt-sec=\"http://www.sec.gov/inlineXBRL/transformation/2015-08-31\" "
        "xmlns:x=\"http://www.xbrl.org/2003/instance\"><body>"
        "<ix:nonFraction name=\"a:Loss\" contextRef=\"d\" unitRef=\"u\" decimals=\"-6\" "
        "scale=\"6\" sign=\"-\" format=\"ixt:num-dot-decimal\" id=\"f1\">1,234.5</ix:nonFraction>"
        "<ix:nonFraction name=\"a:Eps\" contextRef=\"i\" unitRef=\"eps\" decimals=\"2\" "
        "scale=\"-2\">12.50</ix:nonFraction>"
        "<ix:nonFraction name=\"a:Out\" contextRef=\"i\" unitRef=\"u\" decimals=\"0\" "
        "format=\"ixt:num-dot-decimal\"><ix:nonFraction name=\"a:In\" contextRef=\"i\" "
        "unitRef=\"u\" decimals=\"0\" format=\"ixt:num-dot-decimal\">7</ix:nonFraction>"
        "</ix:nonFraction>"
        "<ix:nonFraction name=\"a:Bad\" contextRef=\"i\" unitRef=\"u\" decimals=\"0\" "
        "format=\"ixt:num-dot-decimal\">n/a</ix:nonFraction>"
        "<ix:nonNumeric name=\"a:Note\" contextRef=\"d\">Sales  <ix:exclude>page 4</ix:exclude>"
        "grew\n<b>fast</b></ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Flag\" contextRef=\"d\" format=\"ixt:fixed-true\">&#9746;"
        "</ix:nonNumeric>"
        "<ix:header><ix:hidden><ix:nonFraction name=\"a:Nil\" contextRef=\"i\" unitRef=\"u\" "
        "xsi:nil=\"true\"/></ix:hidden><ix:resources>"
        "<x:context id=\"d\"><x:entity><x:identifier scheme=\"s\">0001</x:identifier></x:entity>"
        "<x:period><x:startDate>2024-01-01</x:startDate><x:endDate>2024-12-31</x:endDate>"
        "</x:period></x:context>"
        "<x:context id=\"i\"><x:entity><x:identifier scheme=\"s\">0002</x:identifier></x:entity>"
        "<x:period><x:instant>2024-12-31</x:instant></x:period></x:context>"
        "<x:unit id=\"u\"><x:measure>iso4217:USD</x:measure></x:unit>"
        "<x:unit id=\"eps\"><x:divide><x:unitNumerator><x:measure>iso4217:USD</x:measure>"
        "</x:unitNumerator><x:unitDenominator><x:measure>x:shares</x:measure>"
        "</x:unitDenominator></x:divide></x:unit>"
        "</ix:resources></ix:header></body></html>";
    const IxFacts facts = ReadIxFacts(text);
    EXPECT_EQ(facts.contexts, 2u);
    EXPECT_EQ(facts.units, 2u);
    std::string seen;
    for (const IxFact& f : facts.facts) {
        seen += f.concept + "=" + (f.readable ? f.value : "?") + " [" + f.unit + "] " + f.period +
                " " + f.entity + (f.hidden ? " hidden" : "") + (f.nil ? " nil" : "") + " \"" +
                f.shown + "\"\n";
    }
    EXPECT_EQ(seen,
              "a:Loss=-1234500000 [iso4217:USD] 2024-01-01/2024-12-31 0001 \"1,234.5\"\n"
              "a:Eps=0.125 [iso4217:USD/x:shares] 2024-12-31 0002 \"12.50\"\n"
              "a:Out=7 [iso4217:USD] 2024-12-31 0002 \"7\"\n"
              "a:In=7 [iso4217:USD] 2024-12-31 0002 \"7\"\n"
              "a:Bad=? [iso4217:USD] 2024-12-31 0002 \"n/a\"\n"
              "a:Note=Sales grew fast [] 2024-01-01/2024-12-31 0001 \"Sales grew fast\"\n"
              "a:Flag=true [] 2024-01-01/2024-12-31 0001 \"\xE2\x98\x92\"\n"
              "a:Nil= [iso4217:USD] 2024-12-31 0002 hidden nil \"\"\n");
    EXPECT_EQ(facts.facts[0].offset, text.find("<ix:nonFraction"));
}

constexpr const char* kHead =
    "<html xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\" "
    "xmlns:ixt=\"http://www.xbrl.org/inlineXBRL/transformation/2020-02-12\" "
    "xmlns:ixt-sec=\"http://www.sec.gov/inlineXBRL/transformation/2015-08-31\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><body>";

std::string Values(const IxFacts& facts) {
    std::string seen;
    for (const IxFact& f : facts.facts) {
        seen += f.concept + "=" + (f.readable ? f.value : "?") + " \"" + f.shown + "\"\n";
    }
    return seen;
}

// Text facts with a format report what the format reads, not what is shown.
TEST(IxbrlFacts, FormattedTextFactsReportTheirValue) {
    const std::string text =
        std::string(kHead) +
        "<ix:nonNumeric name=\"a:End\" contextRef=\"c\" "
        "format=\"ixt:date-monthname-day-year-en\">December 31, 2024</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Term\" contextRef=\"c\" format=\"ixt-sec:duryear\">1.5"
        "</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Shell\" contextRef=\"c\" format=\"ixt-sec:boolballotbox\">"
        "&#9744;</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Bad\" contextRef=\"c\" "
        "format=\"ixt:date-monthname-day-year-en\">soon</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Unknown\" contextRef=\"c\" format=\"ixt:no-such\">x"
        "</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:German\" contextRef=\"c\" "
        "format=\"ixt:date-day-monthname-year-de\">31. Dezember 2024</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Empty\" contextRef=\"c\" format=\"ixt:fixed-empty\">n/a"
        "</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Nil\" contextRef=\"c\" xsi:nil=\"true\" "
        "format=\"ixt:date-monthname-day-year-en\"/>"
        "<ix:nonNumeric name=\"a:Exchange\" contextRef=\"c\" format=\"ixt-sec:exchnameen\">"
        "The Nasdaq Stock Market LLC</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:State\" contextRef=\"c\" format=\"ixt-sec:stateprovnameen\">"
        "Atlantis</ix:nonNumeric>"
        "</body></html>";
    EXPECT_EQ(Values(ReadIxFacts(text)),
              "a:End=2024-12-31 \"December 31, 2024\"\n"
              "a:Term=P1Y6M \"1.5\"\n"
              "a:Shell=false \"\xE2\x98\x90\"\n"
              "a:Bad=? \"soon\"\n"
              "a:Unknown=? \"x\"\n"
              "a:German=31. Dezember 2024 \"31. Dezember 2024\"\n"
              "a:Empty= \"n/a\"\n"
              "a:Nil= \"\"\n"
              "a:Exchange=NASDAQ \"The Nasdaq Stock Market LLC\"\n"
              "a:State=? \"Atlantis\"\n");
}

// A text fact's value goes on in its continuations, in chain order, even
// when they come before it; what ix:exclude holds never counts, and a chain
// that loops ends where it comes back.
TEST(IxbrlFacts, ContinuationsJoinTheFactsTextInChainOrder) {
    const std::string text =
        std::string(kHead) +
        "<ix:continuation id=\"k2\">three<ix:exclude> (page 9)</ix:exclude></ix:continuation>"
        "<p><ix:nonNumeric name=\"a:Note\" contextRef=\"c\" continuedAt=\"k1\">one "
        "<ix:exclude>Page 4</ix:exclude></ix:nonNumeric></p>"
        "<ix:continuation id=\"k1\" continuedAt=\"k2\">two </ix:continuation>"
        "<ix:nonNumeric name=\"a:Loop\" contextRef=\"c\" continuedAt=\"m1\">a </ix:nonNumeric>"
        "<ix:continuation id=\"m1\" continuedAt=\"m2\">b </ix:continuation>"
        "<ix:continuation id=\"m2\" continuedAt=\"m1\">c</ix:continuation>"
        "<ix:nonNumeric name=\"a:Broken\" contextRef=\"c\" continuedAt=\"none\">alone"
        "</ix:nonNumeric>"
        "<ix:nonNumeric name=\"a:Date\" contextRef=\"c\" continuedAt=\"d1\" "
        "format=\"ixt:date-monthname-day-year-en\">June 30,</ix:nonNumeric>"
        "<ix:continuation id=\"d1\"> 2025</ix:continuation>"
        "</body></html>";
    EXPECT_EQ(Values(ReadIxFacts(text)),
              "a:Note=one two three \"one two three\"\n"
              "a:Loop=a b c \"a b c\"\n"
              "a:Broken=alone \"alone\"\n"
              "a:Date=2025-06-30 \"June 30, 2025\"\n");
}

// A fraction: its numerator over its denominator, each read with its own
// format and scale; a decimal where it ends, the two numbers where not.
TEST(IxbrlFacts, FractionsDivideTheirParts) {
    const auto fraction = [](const std::string& name, const std::string& inner,
                             const std::string& attributes = "") {
        return "<ix:fraction name=\"a:" + name + "\" contextRef=\"c\" unitRef=\"u\"" + attributes +
               ">" + inner + "</ix:fraction>";
    };
    const std::string text =
        std::string(kHead) +
        fraction("Half", "<ix:numerator>1</ix:numerator>/<ix:denominator>2</ix:denominator>") +
        fraction("Third", "<ix:numerator>1</ix:numerator>/<ix:denominator>3</ix:denominator>") +
        fraction("Scaled",
                 "<ix:numerator format=\"ixt:num-dot-decimal\" scale=\"3\">1,500</ix:numerator>"
                 " per <ix:denominator format=\"ixt-sec:numwordsen\">eight</ix:denominator>") +
        fraction("Negative",
                 "<ix:numerator sign=\"-\">3</ix:numerator><ix:denominator>4</ix:denominator>") +
        fraction("Zero", "<ix:numerator>1</ix:numerator><ix:denominator>0</ix:denominator>") +
        fraction("Nil", "", " xsi:nil=\"true\"") + "</body></html>";
    EXPECT_EQ(Values(ReadIxFacts(text)),
              "a:Half=0.5 \"1/2\"\n"
              "a:Third=1/3 \"1/3\"\n"
              "a:Scaled=187500 \"1,500/eight\"\n"
              "a:Negative=-0.75 \"3/4\"\n"
              "a:Zero=? \"1/0\"\n"
              "a:Nil= \"\"\n");
}

// The facts of a real filing against a count of its start tags made by plain
// search, and one fact read by hand from the filing.
TEST(IxbrlFacts, CorpusFilingCountedAnotherWay) {
    TARLO_NEED_CORPUS();
    std::ifstream in(std::filesystem::path(TARLO_CORPUS_DIR) / "edgar-10k-2024-ixbrl-a.htm",
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    ASSERT_FALSE(text.empty());
    const IxFacts facts = ReadIxFacts(text);
    EXPECT_EQ(facts.facts.size(), Count(text, "<ix:nonFraction ") + Count(text, "<ix:nonNumeric ") +
                                      Count(text, "<ix:fraction "));
    EXPECT_EQ(facts.contexts, Count(text, "<xbrli:context "));
    EXPECT_EQ(facts.units, Count(text, "<xbrli:unit "));
    const std::size_t hiddenFrom = text.find("<ix:hidden>");
    const std::string hidden = text.substr(hiddenFrom, text.find("</ix:hidden>") - hiddenFrom);
    std::size_t hiddenFacts = 0;
    std::size_t nil = 0;
    std::size_t formattedSeen = 0;
    for (const IxFact& f : facts.facts) {
        EXPECT_TRUE(f.readable) << f.id;
        // Its bytes run from its start tag through its own end tag, or are
        // one self-closing tag.
        const std::string markup = text.substr(f.offset, f.end - f.offset);
        const std::string close = "</" + f.element + ">";
        const bool closed = markup.size() > close.size() &&
                            markup.compare(markup.size() - close.size(), close.size(), close) == 0;
        const bool selfClosing = markup.find('>') == markup.size() - 1 && markup.back() == '>' &&
                                 markup[markup.size() - 2] == '/';
        EXPECT_EQ(markup.rfind("<" + f.element, 0), 0u) << f.id;
        EXPECT_TRUE(closed || selfClosing) << f.id;
        EXPECT_FALSE(f.period.empty()) << f.id;
        hiddenFacts += f.hidden;
        nil += f.nil;
        if (f.id == "f-60") {
            EXPECT_EQ(f.concept, "us-gaap:RevenueFromContractWithCustomerExcludingAssessedTax");
            EXPECT_EQ(f.shown, "294,866");
            EXPECT_EQ(f.value, "294866000000");
            EXPECT_EQ(f.unit, "iso4217:USD");
            EXPECT_EQ(f.period, "2023-10-01/2024-09-28");
            EXPECT_EQ(f.entity, "0000320193");
            EXPECT_EQ(f.decimals, "-6");
        }
        // Text facts with a format, each holding the next one nested in it.
        const std::map<std::string, std::string> formatted{
            {"f-4", "2024-09-28"}, {"f-3", "--09-28"}, {"f-911", "P9M"}};
        if (const auto it = formatted.find(f.id); it != formatted.end()) {
            EXPECT_EQ(f.value, it->second) << f.id;
            ++formattedSeen;
        }
    }
    EXPECT_EQ(hiddenFacts, Count(hidden, "<ix:nonNumeric ") + Count(hidden, "<ix:nonFraction "));
    EXPECT_EQ(nil, Count(text, "xsi:nil=\"true\""));
    EXPECT_EQ(formattedSeen, 3u);
}

}  // namespace
}  // namespace tarlo
