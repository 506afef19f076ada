#include "colour_reference.h"

#include <cctype>
#include <regex>
#include <stdexcept>

#include "replace_text.h"

namespace tarlo::test {

namespace {

ColourRole RoleOfEntry(int entry) {
    switch (entry) {
        case 1:
            return ColourRole::Tag;
        case 2:
            return ColourRole::Name;
        case 3:
            return ColourRole::Value;
        default:
            return ColourRole::Plain;
    }
}

bool Letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool Digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads the converted body of the RTF. Every character of the source comes
// out once, in order, with the colour in force where the RTF carries it:
// shown, swallowed into a control word, or skipped as a bare line feed. A
// blank that only the route added (the delimiter of a colour switch that an
// attribute took over) is left out.
std::vector<ColourRole> ReadRtf(const std::string& x) {
    std::vector<ColourRole> out;
    int colour = 0;
    bool addedBlank = false;
    auto emit = [&](char c) {
        if (addedBlank) {
            if (c != ' ') throw std::logic_error("added blank expected");
            addedBlank = false;
            return;
        }
        out.push_back(RoleOfEntry(colour));
    };
    std::size_t i = 0;
    while (i < x.size()) {
        const char c = x[i];
        if (c != '\\') {
            emit(c);  // a bare line feed too: hidden, but a character of the source
            ++i;
            continue;
        }
        if (i + 1 < x.size() && !Letter(x[i + 1])) {  // \{ \} \\ stand for themselves
            emit(x[i + 1]);
            i += 2;
            continue;
        }
        std::size_t j = i + 1;
        while (j < x.size() && Letter(x[j])) ++j;
        const std::string word = x.substr(i + 1, j - i - 1);
        const std::size_t paramStart = j;
        if (j + 1 < x.size() && x[j] == '-' && Digit(x[j + 1])) ++j;
        while (j < x.size() && Digit(x[j])) ++j;
        const std::string param = x.substr(paramStart, j - paramStart);
        const bool delimited = j < x.size() && x[j] == ' ';
        if (word == "plain") {
            colour = 0;
        } else if (word == "cf") {
            colour = std::stoi(param);
            if (!delimited && colour == 0) addedBlank = true;
        } else if (word == "par") {
            emit('\r');  // the source's carriage return
        } else if (word[0] == 'r') {
            // "\r" from the line-break replacement: what follows its r came
            // from the source and was swallowed into the control word.
            for (std::size_t k = 1; k < word.size(); ++k) emit(word[k]);
            for (char d : param) emit(d);
            if (delimited) emit(' ');
        }
        i = delimited ? j + 1 : j;
    }
    return out;
}

}  // namespace

std::vector<ColourRole> ReferenceRoles(const std::string& text) {
    std::string x = ReplaceText(R"(([{}\\]))", R"(\$1)", text);
    x = ReplaceText(R"((\r))", R"(\par \r)", x);
    x = ReplaceText("(<[^>]+>)", R"(\plain\f2\fs17\cf1 $1\plain\f2\fs17\cf0 )", x);
    x = ReplaceText(R"(( \w[\w\d\s:_\-\.]* *= *)("[^"]+"|'[^']+'|\d+))",
                    R"(\plain\f2\fs17\cf2 $1\plain\f2\fs17\cf3 $2\plain\f2\fs17\cf1 )", x);
    std::vector<ColourRole> roles = ReadRtf(x);
    if (roles.size() != text.size()) throw std::logic_error("characters lost in the route");

    const std::regex between(">[^<]*=[^>]*<");
    for (std::sregex_iterator it(text.begin(), text.end(), between), end; it != end; ++it) {
        const auto at = static_cast<std::size_t>(it->position());
        const auto len = static_cast<std::size_t>(it->length());
        for (std::size_t k = at + 1; k + 1 < at + len; ++k) roles[k] = ColourRole::Plain;
    }
    const std::regex comment("<!--[\\w\\W]+?-->");
    for (std::sregex_iterator it(text.begin(), text.end(), comment), end; it != end; ++it) {
        const auto at = static_cast<std::size_t>(it->position());
        const auto len = static_cast<std::size_t>(it->length());
        for (std::size_t k = at; k < at + len; ++k) roles[k] = ColourRole::Plain;
    }
    return roles;
}

}  // namespace tarlo::test
