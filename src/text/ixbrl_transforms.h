#pragma once
// The transformations an Inline XBRL fact's format attribute may name, in
// the registries EDGAR accepts, and the reading of a number as a document
// shows it ("1,234.5", "—" under fixed-zero, "two" in words) into the plain
// number it stands for, and of dates, durations and ballot boxes into their
// values. The rules check asks whether a fact can be read at
// all; a list of facts asks for its value.
#include <optional>
#include <string>
#include <string_view>

namespace tarlo {

// The transformation registries EDGAR takes: the XBRL registry in its
// third, fourth and fifth versions and the SEC's own.
constexpr std::string_view kIxtRegistry3 =
    "http://www.xbrl.org/inlineXBRL/transformation/2015-02-26";
constexpr std::string_view kIxtRegistry4 =
    "http://www.xbrl.org/inlineXBRL/transformation/2020-02-12";
constexpr std::string_view kIxtRegistry5 =
    "http://www.xbrl.org/inlineXBRL/transformation/2022-02-16";
constexpr std::string_view kIxtSecRegistry =
    "http://www.sec.gov/inlineXBRL/transformation/2015-08-31";

bool IsAcceptedTransformRegistry(std::string_view ns);

// What a transformation turns the shown text into.
enum class IxValueKind { Number, Date, Duration, Boolean, Text };

// The kind of value the transformation `name` of registry `ns` gives, or
// nothing when the registry has no transformation of that name.
std::optional<IxValueKind> TransformKind(std::string_view ns, std::string_view name);

// The number the shown text stands for under the number transformation
// `name` (of an accepted registry), or as a plain number when `name` is
// empty: digits with at most one ".", no sign and no scale ("1,234.50" ->
// "1234.50", "—" under fixed-zero -> "0", "twenty-one" -> "21"). Nothing
// when the text cannot be read so. Blanks around the text do not count.
std::optional<std::string> ReadShownNumber(std::string_view name, std::string_view shown);

// The value the shown text stands for under the transformation `name`, as
// the fact reports it: a date "2024-12-31" (or "--12-31" for a day of no
// year, "2024-12" for a month), a duration "P1Y6M", "true"/"false", "Yes"/
// "No" from a ballot box, a code for a name ("The Nasdaq Stock Market LLC"
// -> "NASDAQ", "California" -> "CA"), or a number as ReadShownNumber reads
// it. A name is matched whatever its case, blanks run together. Nothing
// when the text cannot be read so, or when this reading does not know the
// transformation (see ReadsShownValue).
std::optional<std::string> ReadShownValue(std::string_view name, std::string_view shown);

// Whether ReadShownValue knows the transformation `name`: English month
// names, every transformation without words and the SEC's name-to-code
// lists (exchanges, states and provinces, countries, filer categories), but
// not other languages' month names.
bool ReadsShownValue(std::string_view name);

// A number as ReadShownNumber gives it, times ten to the power `scale`, in
// its shortest form: ("294866", 6) -> "294866000000", ("12.50", -2) ->
// "0.125". INF and NaN stay as they are.
std::string ScaleNumber(std::string_view number, int scale);

// The text of markup with its character references read (numeric ones and
// the five XML names; any other stays as written), appended to `out`.
void AppendXmlText(std::string& out, std::string_view raw);

}  // namespace tarlo
