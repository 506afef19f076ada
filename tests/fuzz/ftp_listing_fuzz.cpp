// The FTP listing parser and the local-name rule on arbitrary server answers:
// they end, every entry is a name the server sent on one line, the listing
// handed out has one line per entry, and a name that passes the rule can
// never leave the folder it is joined to.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ftp/local_name.h"
#include "ftp/remote_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const bool mlsd : {true, false}) {
        const auto entries = tarlo::ftp::ParseListing(text, mlsd);
        size_t lines = 0;
        for (const auto& e : entries) {
            if (e.name.empty() || e.name == "." || e.name == "..") std::abort();
            if (e.name.find_first_of("\r\n") != std::string::npos) std::abort();
            if (text.find(e.name) == std::string_view::npos) std::abort();
            ++lines;
            if (tarlo::ftp::IsSafeLocalName(e.name)) {
                if (e.name.find('/') != std::string::npos || e.name.find("..") != std::string::npos)
                    std::abort();
            }
        }
        const std::string listed = tarlo::ftp::FormatListing(entries);
        const auto split = tarlo::ftp::SplitResponseLines(listed);
        if (split.size() > lines) std::abort();
    }
    const std::string printable = tarlo::ftp::PrintableName(text);
    for (const char c : printable) {
        if (static_cast<unsigned char>(c) < 0x20) std::abort();
    }
    return 0;
}
