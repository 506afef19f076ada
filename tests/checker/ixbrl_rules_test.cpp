// The Inline XBRL structure rules of the EDGAR rules check: a document that
// breaks each rule and one that keeps it, the corpus filings, and single
// faults made in a copy of a real filing, each found at its place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "checker/edgar_rules.h"
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

// "line:column severity rule subject (where the rule comes from)", one a line.
std::string Summary(std::string_view text, const EdgarRulesResult& result) {
    std::string out;
    LineColumnCounter places(text);
    for (const EdgarFinding& f : result.findings) {
        const LineColumn at = places.At(f.offset);
        const std::string problem = f.message.substr(0, f.message.size() - f.fix.size());
        const std::size_t open = problem.rfind(" (");
        const std::size_t close = problem.rfind(')');
        out += std::to_string(at.line) + ":" + std::to_string(at.column) + " " + f.severity + " " +
               f.rule + " " + f.subject +
               (open < close && close != std::string::npos ? problem.substr(open, close + 1 - open)
                                                           : std::string(" (no source)")) +
               "\n";
    }
    return out;
}

std::vector<const EdgarFinding*> Errors(const EdgarRulesResult& result) {
    std::vector<const EdgarFinding*> errors;
    for (const EdgarFinding& f : result.findings) {
        if (f.severity == kSeverityError) errors.push_back(&f);
    }
    return errors;
}

TEST(IxbrlRules, GoldenPairs) {
    const fs::path root = fs::path(TEST_DATA_DIR) / "ixbrl_rules";
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string input = ReadFile(entry.path() / "input.htm");
        const EdgarRulesResult result = CheckEdgarRules(input);
        EXPECT_TRUE(result.xhtml);
        const bool bad = name.size() > 4 && name.compare(name.size() - 4, 4, "-bad") == 0;
        // The document that keeps the rule is clean of everything, so the
        // one that breaks it is found for the break alone.
        EXPECT_EQ(Summary(input, result), bad ? ReadFile(entry.path() / "expected.txt") : "");
        EXPECT_EQ(result.findings.empty(), !bad);
        ++cases;
    }
    EXPECT_EQ(cases, 20);
}

TEST(IxbrlRules, CorpusFilingsHoldNoStructureError) {
    TARLO_NEED_CORPUS();
    for (const char* name : {"edgar-10k-2024-ixbrl-a.htm", "edgar-10k-2024-ixbrl-b.htm"}) {
        SCOPED_TRACE(name);
        const std::string text = ReadFile(fs::path(TARLO_CORPUS_DIR) / name);
        ASSERT_FALSE(text.empty());
        const EdgarRulesResult result = CheckEdgarRules(text);
        EXPECT_TRUE(result.xhtml);
        for (const EdgarFinding* f : Errors(result)) ADD_FAILURE() << f->message;
    }
}

// The faults a filing agent makes by hand, each in a fresh copy of a real
// filing, each found where it was made (and the report's row goes there).
TEST(IxbrlRules, SingleFaultsInACorpusFilingAreFoundAtTheirPlace) {
    TARLO_NEED_CORPUS();
    const std::string original =
        ReadFile(fs::path(TARLO_CORPUS_DIR) / "edgar-10k-2024-ixbrl-a.htm");
    ASSERT_FALSE(original.empty());
    ASSERT_TRUE(Errors(CheckEdgarRules(original)).empty());
    struct Fault {
        const char* what;
        std::string text;
        std::size_t at;
        const char* says;
        std::size_t errors;
    };
    std::vector<Fault> faults;
    const auto replaced = [&](const char* what, const std::string& from, const std::string& to,
                              const char* says, std::size_t errors) {
        std::string text = original;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << what;
        text.replace(at, from.size(), to);
        faults.push_back({what, text, at, says, errors});
    };
    replaced("contextRef", "contextRef=\"c-13\"", "contextRef=\"c-999\"",
             "The contextRef \"c-999\" names no context", 1);
    replaced("unitRef", "unitRef=\"usd\"", "unitRef=\"xyz\"", "The unitRef \"xyz\" names no unit",
             1);
    // The continuation it pointed at now continues nothing: a second Error.
    replaced("continuedAt", "continuedAt=\"f-349-1\"", "continuedAt=\"f-349-9\"",
             "continuedAt names \"f-349-9\"", 2);
    replaced("id", "id=\"f-61\"", "id=\"f-60\"", "The id \"f-60\" is already used", 1);
    replaced("xmlns:ix", " xmlns:ix=\"http://www.xbrl.org/2013/inlineXBRL\"", "",
             "The prefix ix is used without a declaration", 1);
    faults.back().at = faults.back().text.find("<ix:") + 1;
    {
        const std::size_t end = original.find("</ix:header>") + 12;
        std::string text = original;
        text.insert(end,
                    "<ix:header><ix:references></ix:references><ix:resources></ix:resources>"
                    "</ix:header>");
        faults.push_back({"two headers", text, end, "A second ix:header", 1});
    }
    {
        const std::size_t start = original.find("<ix:header>");
        std::string text = original;
        text.erase(start, original.find("</ix:header>") + 12 - start);
        // Its hidden facts go with it: the 16 -sec-ix-hidden styles that
        // showed them now name nothing.
        faults.push_back({"no header", text, text.find("<ix:"),
                          "The document has Inline XBRL facts but no ix:header", 17});
    }
    {
        const std::size_t start = original.find("<xbrli:context id=\"c-1\">");
        const std::size_t end = original.find("</xbrli:context>", start) + 16;
        std::string text = original;
        text.insert(end, original.substr(start, end - start));
        faults.push_back({"context twice", text, end + 15, "The context \"c-1\" is defined", 1});
    }
    ASSERT_EQ(faults.size(), 8u);
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        const EdgarRulesResult result = CheckEdgarRules(fault.text);
        const std::vector<const EdgarFinding*> errors = Errors(result);
        EXPECT_EQ(errors.size(), fault.errors);
        const EdgarFinding* found = nullptr;
        for (const EdgarFinding* f : errors) {
            if (f->offset == fault.at) found = f;
        }
        ASSERT_NE(found, nullptr) << Summary(fault.text, result);
        EXPECT_EQ(found->rule, "5.2.5");
        EXPECT_EQ(found->message.rfind(fault.says, 0), 0u) << found->message;
        EXPECT_EQ(static_cast<std::size_t>(ToProblemRecord(*found).Position), fault.at);
    }
}

}  // namespace
}  // namespace tarlo
