// The transformations EDGAR accepts and the reading of numbers as filings
// show them.
#include "text/ixbrl_transforms.h"

#include <gtest/gtest.h>

namespace tarlo {
namespace {

TEST(IxbrlTransforms, RegistriesAndTheKindOfValueEachNameGives) {
    EXPECT_EQ(TransformKind(kIxtRegistry4, "num-dot-decimal"), IxValueKind::Number);
    EXPECT_EQ(TransformKind(kIxtRegistry4, "fixed-zero"), IxValueKind::Number);
    EXPECT_EQ(TransformKind(kIxtRegistry4, "fixed-true"), IxValueKind::Boolean);
    EXPECT_EQ(TransformKind(kIxtRegistry4, "date-monthname-day-year-en"), IxValueKind::Date);
    EXPECT_EQ(TransformKind(kIxtRegistry4, "date-day-monthname-year-de"), IxValueKind::Date);
    EXPECT_EQ(TransformKind(kIxtSecRegistry, "numwordsen"), IxValueKind::Number);
    EXPECT_EQ(TransformKind(kIxtSecRegistry, "duryear"), IxValueKind::Duration);
    EXPECT_EQ(TransformKind(kIxtSecRegistry, "exchnameen"), IxValueKind::Text);
    // Apostrophe grouping came with the fifth version only.
    EXPECT_EQ(TransformKind(kIxtRegistry5, "num-dot-decimal-apos"), IxValueKind::Number);
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "num-dot-decimal-apos"));
    // The third version's names hold there only; a language that is no
    // language, another registry's name, a registry EDGAR does not take.
    EXPECT_TRUE(IsAcceptedTransformRegistry(kIxtRegistry3));
    EXPECT_EQ(TransformKind(kIxtRegistry3, "numdotdecimal"), IxValueKind::Number);
    EXPECT_EQ(TransformKind(kIxtRegistry3, "datemonthdayyearen"), IxValueKind::Date);
    EXPECT_FALSE(TransformKind(kIxtRegistry3, "num-dot-decimal"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "numdotdecimal"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "date-monthname-day-year-xx"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "numwordsen"));
    EXPECT_FALSE(TransformKind(kIxtSecRegistry, "num-dot-decimal"));
    const std::string_view second = "http://www.xbrl.org/inlineXBRL/transformation/2011-07-31";
    EXPECT_FALSE(IsAcceptedTransformRegistry(second));
    EXPECT_FALSE(TransformKind(second, "numdotdecimal"));
    // Month-name dates exist only in the languages listed with each pattern;
    // Welsh came with the fifth version.
    EXPECT_EQ(TransformKind(kIxtRegistry4, "date-year-monthname-day-hu"), IxValueKind::Date);
    EXPECT_EQ(TransformKind(kIxtRegistry4, "date-monthname-year-hi"), IxValueKind::Date);
    EXPECT_EQ(TransformKind(kIxtRegistry4, "date-year-day-monthname-lv"), IxValueKind::Date);
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "date-monthname-day-year-de"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "date-year-monthname-day-en"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "date-day-monthname-year-lv"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "date-day-monthname-cy"));
    EXPECT_EQ(TransformKind(kIxtRegistry5, "date-day-monthname-cy"), IxValueKind::Date);
    EXPECT_EQ(TransformKind(kIxtSecRegistry, "yesnoballotbox"), IxValueKind::Text);
}

TEST(IxbrlTransforms, ShownDatesDurationsAndBallotBoxes) {
    const struct {
        const char* format;
        const char* shown;
        const char* value;  // null: cannot be read
    } cases[] = {
        {"date-monthname-day-year-en", "December 31, 2024", "2024-12-31"},
        {"date-monthname-day-year-en",
         " Sept. 1st,\xC2\xA0"
         "2023 ",
         "2023-09-01"},
        {"date-monthname-day-year-en", "February 29, 2023", nullptr},
        {"date-monthname-day-year-en", "February 29, 2024", "2024-02-29"},
        {"date-monthname-day-year-en", "Smarch 3, 2024", nullptr},
        {"date-monthname-day-year-en", "December 31", nullptr},
        {"date-day-monthname-year-en", "31 Dec 24", "2024-12-31"},
        {"date-month-day-year", "12/31/2024", "2024-12-31"},
        {"date-month-day-year", "31/12/2024", nullptr},
        {"date-day-month-year", "31.12.2024", "2024-12-31"},
        {"date-year-month-day", "2024-06-30", "2024-06-30"},
        {"date-month-day", "12/31", "--12-31"},
        {"date-monthname-day-en", "February 29", "--02-29"},
        {"date-month-year", "6/2024", "2024-06"},
        {"date-year-monthname-en", "2024 March", "2024-03"},
        {"date-monthroman-year", "XII 2024", "2024-12"},
        {"fixed-true", "anything", "true"},
        {"fixed-false", "", "false"},
        {"boolballotbox", " \xE2\x98\x92 ", "true"},
        {"boolballotbox", "\xE2\x98\x90", "false"},
        {"boolballotbox", "x", nullptr},
        {"yesnoballotbox", "\xE2\x98\x91", "Yes"},
        {"datequarterend", "Third quarter 2024", "2024-09-30"},
        {"datequarterend", "2023 Q4", "2023-12-31"},
        {"datequarterend", "quarter 2024", nullptr},
        {"duryear", "1.5", "P1Y6M"},
        {"duryear", "2", "P2Y"},
        {"duryear", "0", "P0Y"},
        {"duryear", "-3", "-P3Y"},
        {"durmonth", "2.25", "P2M7D"},
        {"durweek", "2", "P14D"},
        {"durday", "1.5", "P1DT12H"},
        {"durhour", "36", "PT36H"},
        {"duryear", "1,5", nullptr},
        {"durwordsen", "Five years, two months", "P5Y2M"},
        {"durwordsen", "one year and 30 days", "P1Y30D"},
        {"durwordsen", "twenty-one months", "P21M"},
        {"durwordsen", "zero years", "P0D"},
        {"durwordsen", "two months, five years", nullptr},
        {"durwordsen", "five", nullptr},
        {"numwordsen", "twelve", "12"},
        {"datemonthdayyearen", "June 30, 2024", "2024-06-30"},
        {"booleantrue", "Yes", "true"},
        {"zerodash", "\xE2\x80\x93", "0"},
        {"zerodash", "0", nullptr},
        {"numdotdecimal", "1,234.5", "1234.5"},
        {"numdotdecimalin", "1,00,000.50", "100000.50"},
        {"numdotdecimalin", "12,345", "12345"},
        {"numdotdecimalin", "1,00,00", nullptr},
        {"num-dot-decimal", "1,000", "1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " \"" + c.shown + "\"");
        EXPECT_TRUE(ReadsShownValue(c.format));
        const std::optional<std::string> value = ReadShownValue(c.format, c.shown);
        if (c.value) {
            ASSERT_TRUE(value);
            EXPECT_EQ(*value, c.value);
        } else {
            EXPECT_FALSE(value) << *value;
        }
    }
    // What this reading leaves to the text as shown.
    EXPECT_FALSE(ReadsShownValue("date-day-monthname-year-de"));
    EXPECT_FALSE(ReadShownValue("date-day-monthname-year-de", "31. Dezember 2024"));
}

TEST(IxbrlTransforms, ShownNumbersAndWhatTheyStandFor) {
    const struct {
        const char* format;
        const char* shown;
        const char* value;  // null: cannot be read
    } cases[] = {
        {"num-dot-decimal", "1,234,567.89", "1234567.89"},
        {"num-dot-decimal",
         " 2\xC2\xA0"
         "500 ",
         "2500"},
        {"num-dot-decimal", "1234", "1234"},
        {"num-dot-decimal", "007", "7"},
        {"num-dot-decimal", ".5", "0.5"},
        {"num-dot-decimal", "1,23,4", nullptr},
        {"num-dot-decimal", "1234,567", nullptr},
        {"num-dot-decimal", "1.2.3", nullptr},
        {"num-dot-decimal", "(5)", nullptr},
        {"num-dot-decimal", "", nullptr},
        {"num-dot-decimal", "5.", nullptr},
        {"num-comma-decimal", "1.234,5", "1234.5"},
        {"num-comma-decimal", "1,234.5", nullptr},
        {"num-dot-decimal-apos", "1'234.5", "1234.5"},
        {"num-unit-decimal", "5 dollars 3 cents", "5.03"},
        {"num-unit-decimal", "12 Euro", "12"},
        {"num-unit-decimal", "5 dollars 123 cents", nullptr},
        {"fixed-zero", "\xE2\x80\x94", "0"},
        {"numwordsen", "no", "0"},
        {"numwordsen", "Twenty-one", "21"},
        {"numwordsen", "one hundred and five", "105"},
        {"numwordsen", "two million three thousand", "2003000"},
        {"numwordsen", "several", nullptr},
        {"", "42.10", "42.10"},
        {"", "-5", nullptr},
        {"", "1,000", nullptr},
        {"date-month-day-year", "5", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " \"" + c.shown + "\"");
        const std::optional<std::string> value = ReadShownNumber(c.format, c.shown);
        if (c.value) {
            ASSERT_TRUE(value);
            EXPECT_EQ(*value, c.value);
        } else {
            EXPECT_FALSE(value) << *value;
        }
    }
    std::string text;
    AppendXmlText(text, "1&#160;000 &amp; &#x2014; &nbsp; &lt;&bogus");
    EXPECT_EQ(text,
              "1\xC2\xA0"
              "000 & \xE2\x80\x94 &nbsp; <&bogus");
}

}  // namespace
}  // namespace tarlo
