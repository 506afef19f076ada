// The facts of an Inline XBRL document: their values after format, scale and
// sign, their contexts and units, and a real filing counted another way.
#include "checker/ixbrl_facts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
    }
    EXPECT_EQ(hiddenFacts, Count(hidden, "<ix:nonNumeric ") + Count(hidden, "<ix:nonFraction "));
    EXPECT_EQ(nil, Count(text, "xsi:nil=\"true\""));
}

}  // namespace
}  // namespace tarlo
