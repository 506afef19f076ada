#pragma once
// How much the visual view's page can hold, and what the editor says when a
// document is too large for it or the page's renderer ends: the code view
// keeps the document either way, and these texts say so.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarlo {

// The largest document (the HTML the page is given, in bytes) that the page
// is asked to show; larger ones open in the code view only. The page lays a
// document out before it answers anything, and its renderer takes about 50
// times the document's size in memory. Measured headless on a 2-core machine
// with 24 GB (bench/page_size_bench.cpp, filings grown from a real 10-Q and a
// real Inline XBRL 10-K): every size up to 101 MB rendered there (4.8 GB in
// the renderer), but past 25 MB of HTML (36 MB of XHTML) the page took longer
// to answer than a call of the editor waits (15 s); at 25 MB it answered
// 13 s after the document was opened, with 1.3 GB in the renderer, and on a
// machine with less memory a 60 MB filing ran it out of memory. 16 MB keeps a
// margin below both: a 17.7 MB filing answered after 8 s with 0.95 GB.
inline constexpr std::uint64_t kMaxPageBytes = 16ULL * 1024 * 1024;

// Whether a document of this many bytes goes into a page that holds at most `limit`.
inline bool PageCanShow(std::uint64_t bytes, std::uint64_t limit) {
    return bytes <= limit;
}

// How the page's renderer ended, as the engine reports it.
enum class PageEnd { Normal, Abnormal, Crashed, Killed };

// The status strip while a document is too large for the page.
std::string CodeOnlyNote(std::uint64_t bytes, std::uint64_t limit);

// The status strip while the page's renderer is gone.
std::string PageLostNote();

// The question asked when the renderer ended: what happened, to which
// document (`name` empty: a document without a file), that the code is intact
// and can be saved, and whether to show the page again.
std::string PageLostQuestion(std::string_view name, std::uint64_t bytes, PageEnd how);

}  // namespace tarlo
