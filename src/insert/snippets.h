#pragma once
// The ready-made pieces of HTML the four snippet dialogs insert at the caret:
// the keywords META tag, the marquee, the positioned layer and the web search
// form. The user's text goes in as typed, with one exception: a double quote
// in the keywords would end the content attribute early and break the tag,
// so it is written as &quot;.
#include <string>
#include <string_view>

namespace tarlo {

// <META content="KEYWORDS" name=keywords>
std::string KeywordsMeta(std::string_view keywords);

// <Marquee>TEXT</Marquee>
std::string MarqueeSnippet(std::string_view text);

// An absolutely positioned 100 x 100 pixel layer holding one blank.
std::string_view LayerSnippet();

// A one-line form that sends its words to the search engine's query page.
std::string_view SearchFormSnippet();

// The search engine's query page the form sends to.
inline constexpr std::string_view kSearchAddress = "https://www.google.com/search";

}  // namespace tarlo
