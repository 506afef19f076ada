#pragma once
// How much the visual view's page can hold, and what the editor says when a
// document is too large for it or the page's renderer ends: the code view
// keeps the document either way, and these texts say so.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarlo {

// The largest document (the HTML the page is given, in bytes) that the page
// is asked to show. Larger ones open in the code view only. Measured on this
// project's reference machine (generated filings built from a real 10-Q):
// 48 MB still rendered, 56 MB and above made the renderer run out of memory
// with a blank page; the limit keeps a wide margin below what rendered.
inline constexpr std::uint64_t kMaxPageBytes = 32ULL * 1024 * 1024;

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
