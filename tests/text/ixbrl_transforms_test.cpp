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
    // Older names, a language that is no language, another registry's name,
    // a registry EDGAR does not take.
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "numdotdecimal"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "date-monthname-day-year-xx"));
    EXPECT_FALSE(TransformKind(kIxtRegistry4, "numwordsen"));
    EXPECT_FALSE(TransformKind(kIxtSecRegistry, "num-dot-decimal"));
    const std::string_view third = "http://www.xbrl.org/inlineXBRL/transformation/2015-02-26";
    EXPECT_FALSE(IsAcceptedTransformRegistry(third));
    EXPECT_FALSE(TransformKind(third, "numdotdecimal"));
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
