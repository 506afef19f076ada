#pragma once
// The remote folder as the FTP window and tarlo-cli show it: one entry per
// name, folders ending in "/". Servers answer MLSD with machine-readable facts;
// older ones only LIST, whose lines look like "ls -l" (Unix) or "dir" (IIS).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarlo::ftp {

struct RemoteEntry {
    std::string name;  // as the server spells it, without a trailing "/"
    bool folder = false;

    bool operator==(const RemoteEntry& o) const { return name == o.name && folder == o.folder; }
};

// One MLSD line ("type=dir;modify=...; name"). Nothing for the folder itself
// and its parent, and for lines that are not MLSD.
std::optional<RemoteEntry> ParseMlsdLine(std::string_view line);

// One LIST line of a Unix or Windows server. Nothing for "total 12", "." and
// "..", and lines of neither shape. A symbolic link is an entry under its own
// name (the part before " -> ").
std::optional<RemoteEntry> ParseListLine(std::string_view line);

// A whole MLSD or LIST answer. Lines end in CR LF, LF or CR; a last line
// without one still counts (it is a file like the others).
std::vector<RemoteEntry> ParseListing(std::string_view data, bool mlsd);

// The listing as the transfer component hands it out: each entry, folders
// with "/" appended, followed by CR LF. A name holding CR, LF or NUL cannot
// be written as one line and is left out (it could only appear as other,
// wrong names).
std::string FormatListing(const std::vector<RemoteEntry>& entries);

// Splits response data into the remote list's lines: a CR ends a line, a LF
// is ignored, lines blank after trimming are skipped. A last line without a
// CR is kept, so that no file goes missing from the list.
std::vector<std::string> SplitResponseLines(std::string_view data);

}  // namespace tarlo::ftp
