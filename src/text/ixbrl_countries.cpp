// Countries by their English names, with the two codes a cover page may
// want: the ISO 3166 two-letter code (countrynameen) and the EDGAR code
// (edgarprovcountryen). A country EDGAR lists under no code of its own has
// none here, so that transformation cannot read it.
#include <array>
#include <string>

#include "text/html_tokens.h"
#include "text/ixbrl_reading.h"
#include "text/text_scan.h"

namespace tarlo::ixt {

namespace {

struct Country {
    std::string_view iso;
    std::string_view edgar;
    std::string_view names;  // folded as FoldedName folds; '|' between variants
};

constexpr std::array<Country, 249> kCountries{{
    {"AF", "B2", "afghanistan"},
    {"AX", "Y6", "aland islands|\xC3\xA5land islands"},
    {"AL", "B3", "albania"},
    {"DZ", "B4", "algeria"},
    {"AS", "B5", "american samoa"},
    {"AD", "B6", "andorra"},
    {"AO", "B7", "angola"},
    {"AI", "1A", "anguilla"},
    {"AQ", "B8", "antarctica"},
    {"AG", "B9", "antigua and barbuda"},
    {"AR", "C1", "argentina"},
    {"AM", "1B", "armenia"},
    {"AW", "1C", "aruba"},
    {"AU", "C3", "australia"},
    {"AT", "C4", "austria"},
    {"AZ", "1D", "azerbaijan"},
    {"BS", "C5", "bahamas|the bahamas"},
    {"BH", "C6", "bahrain"},
    {"BD", "C7", "bangladesh"},
    {"BB", "C8", "barbados"},
    {"BY", "1F", "belarus"},
    {"BE", "C9", "belgium"},
    {"BZ", "D1", "belize"},
    {"BJ", "G6", "benin"},
    {"BM", "D0", "bermuda"},
    {"BT", "D2", "bhutan"},
    {"BO", "D3", "bolivia|bolivia, plurinational state of"},
    {"BA", "1E", "bosnia and herzegovina"},
    {"BW", "B1", "botswana"},
    {"BV", "D4", "bouvet island"},
    {"BR", "D5", "brazil"},
    {"IO", "D6", "british indian ocean territory"},
    {"BN", "D9", "brunei darussalam|brunei"},
    {"BG", "E0", "bulgaria"},
    {"BF", "X2", "burkina faso"},
    {"BI", "E2", "burundi"},
    {"KH", "E3", "cambodia"},
    {"CM", "E4", "cameroon"},
    {"CA", "Z4", "canada"},
    {"CV", "E8", "cape verde|cabo verde"},
    {"KY", "E9", "cayman islands"},
    {"CF", "F0", "central african republic"},
    {"TD", "F2", "chad"},
    {"CL", "F3", "chile"},
    {"CN", "F4", "china|people's republic of china|the people's republic of china"},
    {"CX", "F6", "christmas island"},
    {"CC", "F7", "cocos islands|cocos (keeling) islands"},
    {"CO", "F8", "colombia"},
    {"KM", "F9", "comoros"},
    {"CG", "G0", "congo|republic of the congo"},
    {"CD", "Y3",
     "democratic republic of the congo|democratic republic of congo|congo, the democratic republic "
     "of the"},
    {"CK", "G1", "cook islands"},
    {"CR", "G2", "costa rica"},
    {"CI", "L7",
     "cote d'ivoire|c\xC3\xB4te d'ivoire|c\xC3\xB4te d\xE2\x80\x99ivoire|cote d\xE2\x80\x99ivoire"},
    {"HR", "1M", "croatia"},
    {"CU", "G3", "cuba"},
    {"CY", "G4", "cyprus"},
    {"CZ", "2N", "czech republic|czechia"},
    {"DK", "G7", "denmark"},
    {"DJ", "1G", "djibouti"},
    {"DM", "G9", "dominica"},
    {"DO", "G8", "dominican republic"},
    {"EC", "H1", "ecuador"},
    {"EG", "H2", "egypt"},
    {"SV", "H3", "el salvador"},
    {"GQ", "H4", "equatorial guinea"},
    {"ER", "1J", "eritrea"},
    {"EE", "1H", "estonia"},
    {"ET", "H5", "ethiopia"},
    {"FK", "H7", "falkland islands|falkland islands (malvinas)"},
    {"FO", "H6", "faroe islands"},
    {"FJ", "H8", "fiji"},
    {"FI", "H9", "finland"},
    {"FR", "I0", "france"},
    {"GF", "I3", "french guiana"},
    {"PF", "I4", "french polynesia"},
    {"TF", "2C", "french southern territories"},
    {"GA", "I5", "gabon"},
    {"GM", "I6", "gambia|the gambia"},
    {"GE", "2Q", "georgia"},
    {"DE", "2M", "germany"},
    {"GH", "J0", "ghana"},
    {"GI", "J1", "gibraltar"},
    {"GR", "J3", "greece"},
    {"GL", "J4", "greenland"},
    {"GD", "J5", "grenada"},
    {"GP", "J6", "guadeloupe"},
    {"GU", "GU", "guam"},
    {"GT", "J8", "guatemala"},
    {"GG", "Y7", "guernsey"},
    {"GN", "J9", "guinea"},
    {"GW", "S0", "guinea-bissau|guinea bissau"},
    {"GY", "K0", "guyana"},
    {"HT", "K1", "haiti"},
    {"HM", "K4", "heard island and mcdonald islands"},
    {"VA", "X4", "holy see|holy see (vatican city state)|vatican city"},
    {"HN", "K2", "honduras"},
    {"HK", "K3", "hong kong"},
    {"HU", "K5", "hungary"},
    {"IS", "K6", "iceland"},
    {"IN", "K7", "india"},
    {"ID", "K8", "indonesia"},
    {"IR", "K9", "iran|iran, islamic republic of"},
    {"IQ", "L0", "iraq"},
    {"IE", "L2", "ireland"},
    {"IM", "Y8", "isle of man"},
    {"IL", "L3", "israel"},
    {"IT", "L6", "italy"},
    {"JM", "L8", "jamaica"},
    {"JP", "M0", "japan"},
    {"JE", "Y9", "jersey"},
    {"JO", "M2", "jordan"},
    {"KZ", "1P", "kazakhstan"},
    {"KE", "M3", "kenya"},
    {"KI", "J2", "kiribati"},
    {"KP", "M4",
     "north korea|democratic people's republic of korea|korea, democratic people's republic of"},
    {"KR", "M5", "south korea|republic of korea|korea, republic of"},
    {"KW", "M6", "kuwait"},
    {"KG", "1N", "kyrgyzstan"},
    {"LA", "M7", "lao people's democratic republic|laos"},
    {"LV", "1R", "latvia"},
    {"LB", "M8", "lebanon"},
    {"LS", "M9", "lesotho"},
    {"LR", "N0", "liberia"},
    {"LY", "N1", "libya"},
    {"LI", "N2", "liechtenstein"},
    {"LT", "1Q", "lithuania"},
    {"LU", "N4", "luxembourg|grand duchy of luxembourg"},
    {"MO", "N5", "macao|macau"},
    {"MK", "1U", "north macedonia|macedonia"},
    {"MG", "N6", "madagascar"},
    {"MW", "N7", "malawi"},
    {"MY", "N8", "malaysia"},
    {"MV", "N9", "maldives"},
    {"ML", "O0", "mali"},
    {"MT", "O1", "malta"},
    {"MH", "1T", "marshall islands|republic of the marshall islands"},
    {"MQ", "O2", "martinique"},
    {"MR", "O3", "mauritania"},
    {"MU", "O4", "mauritius"},
    {"YT", "2P", "mayotte"},
    {"MX", "O5", "mexico|united mexican states"},
    {"FM", "1K", "micronesia|micronesia, federated states of"},
    {"MD", "1S", "moldova|moldova, republic of"},
    {"MC", "O9", "monaco"},
    {"MN", "P0", "mongolia"},
    {"ME", "Z5", "montenegro"},
    {"MS", "P1", "montserrat"},
    {"MA", "P2", "morocco"},
    {"MZ", "P3", "mozambique"},
    {"MM", "E1", "myanmar"},
    {"NA", "T6", "namibia"},
    {"NR", "P5", "nauru"},
    {"NP", "P6", "nepal"},
    {"NL", "P7", "netherlands|the netherlands"},
    {"NC", "1W", "new caledonia"},
    {"NZ", "Q2", "new zealand"},
    {"NI", "Q3", "nicaragua"},
    {"NE", "Q4", "niger"},
    {"NG", "Q5", "nigeria"},
    {"NU", "Q6", "niue"},
    {"NF", "Q7", "norfolk island"},
    {"MP", "1V", "northern mariana islands"},
    {"NO", "Q8", "norway"},
    {"OM", "P4", "oman"},
    {"PK", "R0", "pakistan"},
    {"PW", "1Y", "palau"},
    {"PS", "1X", "palestine|state of palestine|palestine, state of"},
    {"PA", "R1", "panama"},
    {"PG", "R2", "papua new guinea"},
    {"PY", "R4", "paraguay"},
    {"PE", "R5", "peru"},
    {"PH", "R6", "philippines|the philippines"},
    {"PN", "R8", "pitcairn"},
    {"PL", "R9", "poland"},
    {"PT", "S1", "portugal"},
    {"PR", "PR", "puerto rico"},
    {"QA", "S3", "qatar"},
    {"RE", "S4", "reunion|r\xC3\xA9union"},
    {"RO", "S5", "romania"},
    {"RU", "1Z", "russian federation|russia"},
    {"RW", "S6", "rwanda"},
    {"BL", "Z0", "saint barthelemy|saint barth\xC3\xA9lemy"},
    {"SH", "U8", "saint helena|saint helena, ascension and tristan da cunha"},
    {"KN", "U7", "saint kitts and nevis"},
    {"LC", "U9", "saint lucia"},
    {"MF", "Z1", "saint martin|saint martin (french part)"},
    {"PM", "V0", "saint pierre and miquelon"},
    {"VC", "V1", "saint vincent and the grenadines|saint vincent"},
    {"WS", "Y0", "samoa"},
    {"SM", "S8", "san marino"},
    {"ST", "S9", "sao tome and principe"},
    {"SA", "T0", "saudi arabia"},
    {"SN", "T1", "senegal"},
    {"RS", "Z2", "serbia"},
    {"SC", "T2", "seychelles"},
    {"SL", "T8", "sierra leone"},
    {"SG", "U0", "singapore"},
    {"SK", "2B", "slovakia"},
    {"SI", "2A", "slovenia"},
    {"SB", "D7", "solomon islands"},
    {"SO", "U1", "somalia"},
    {"ZA", "T3", "south africa|republic of south africa"},
    {"GS", "1L", "south georgia and the south sandwich islands"},
    {"ES", "U3", "spain|kingdom of spain"},
    {"LK", "F1", "sri lanka"},
    {"SD", "V2", "sudan"},
    {"SR", "V3", "suriname"},
    {"SJ", "L9", "svalbard and jan mayen"},
    {"SZ", "V6", "swaziland|eswatini"},
    {"SE", "V7", "sweden"},
    {"CH", "V8", "switzerland"},
    {"SY", "V9", "syria|syrian arab republic"},
    {"TW", "F5", "taiwan|taiwan, province of china"},
    {"TJ", "2D", "tajikistan"},
    {"TZ", "W0", "tanzania|united republic of tanzania|tanzania, united republic of"},
    {"TH", "W1", "thailand"},
    {"TL", "Z3", "timor-leste"},
    {"TG", "W2", "togo"},
    {"TK", "W3", "tokelau"},
    {"TO", "W4", "tonga"},
    {"TT", "W5", "trinidad and tobago"},
    {"TN", "W6", "tunisia"},
    {"TR", "W8", "turkey|t\xC3\xBCrkiye|turkiye"},
    {"TM", "2E", "turkmenistan"},
    {"TC", "W7", "turks and caicos islands"},
    {"TV", "2G", "tuvalu"},
    {"UG", "W9", "uganda"},
    {"UA", "2H", "ukraine"},
    {"AE", "C0", "united arab emirates|uae"},
    {"GB", "X0",
     "united kingdom|united kingdom of great britain and northern ireland|great britain|uk|u.k."},
    {"US", "X1", "united states|united states of america|usa|u.s.a.|u.s."},
    {"UM", "2J", "united states minor outlying islands"},
    {"UY", "X3", "uruguay"},
    {"UZ", "2K", "uzbekistan"},
    {"VU", "2L", "vanuatu"},
    {"VE", "X5", "venezuela|venezuela, bolivarian republic of"},
    {"VN", "Q1", "viet nam|vietnam"},
    {"VG", "D8", "british virgin islands|virgin islands, british"},
    {"VI", "VI", "u.s. virgin islands|virgin islands, u.s."},
    {"WF", "X8", "wallis and futuna"},
    {"EH", "U5", "western sahara"},
    {"YE", "T7", "yemen"},
    {"ZM", "Y4", "zambia"},
    {"ZW", "Y5", "zimbabwe"},
    {"BQ", "", "bonaire, sint eustatius and saba"},
    {"CW", "",
     "curacao|cura\xC3\xA7"
     "ao"},
    {"SX", "", "sint maarten|sint maarten (dutch part)"},
    {"SS", "", "south sudan"},
}};

}  // namespace

std::string FoldedName(std::string_view shown) {
    std::string out;
    out.reserve(shown.size());
    bool blank = false;
    std::size_t i = 0;
    while (i < shown.size()) {
        std::size_t width = 0;
        if (IsMarkupSpace(shown[i])) {
            width = 1;
        } else if (shown.substr(i, 2) == kNbsp) {
            width = 2;
        }
        if (width > 0) {
            blank = !out.empty();
            i += width;
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += AsciiLower(shown[i]);
        ++i;
    }
    // Latin capitals with accents (U+00C0 to U+00DE but the multiplication
    // sign) fold to their small letters 0x20 further on: "QUÉBEC" -> "québec".
    for (std::size_t k = 0; k + 1 < out.size(); ++k) {
        const auto lead = static_cast<unsigned char>(out[k]);
        const auto next = static_cast<unsigned char>(out[k + 1]);
        if (lead == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
            out[k + 1] = static_cast<char>(next + 0x20);
        }
    }
    return out;
}

bool ListsName(std::string_view names, std::string_view name) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = names.find('|', start);
        if (names.substr(start, bar == std::string_view::npos ? bar : bar - start) == name) {
            return true;
        }
        if (bar == std::string_view::npos) return false;
        start = bar + 1;
    }
}

std::optional<CountryCodes> FindCountry(std::string_view foldedName) {
    for (const Country& c : kCountries) {
        if (ListsName(c.names, foldedName)) return CountryCodes{c.iso, c.edgar};
    }
    return std::nullopt;
}

}  // namespace tarlo::ixt
