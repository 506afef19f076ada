// tarlo-cli format and colorize: the code formatter and the colouring of the
// code window, driven without a window.
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <functional>
#include <iostream>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"
#include "codeview/html_colorizer.h"
#include "codeview/html_formatter.h"

namespace tarlo::cli {

namespace {

// The text of the one optional FILE argument, or a usage failure.
bool ReadOneInput(const std::string& command, const std::vector<std::string>& args,
                  std::string& text, std::ostream& err) {
    if (args.size() > 1) {
        err << "tarlo-cli " << command << ": too many arguments (see tarlo-cli --help)\n";
        return false;
    }
    if (!args.empty() && args[0].size() > 1 && args[0][0] == '-') {
        err << "tarlo-cli " << command << ": unknown option '" << args[0]
            << "' (see tarlo-cli --help)\n";
        return false;
    }
    InputText in = ReadInput(args.empty() ? std::string() : args[0]);
    if (!in.text) {
        err << "tarlo-cli " << command << ": " << in.error << "\n";
        return false;
    }
    text = std::move(*in.text);
    return true;
}

// The role names with their line break, by role.
struct RoleText {
    char text[8];
    std::size_t length;
};

RoleText MakeRoleText(ColourRole role) {
    RoleText t{};
    t.length = std::strlen(RoleName(role));
    std::memcpy(t.text, RoleName(role), t.length);
    t.text[t.length++] = '\n';
    return t;
}

const RoleText kRoleTexts[] = {MakeRoleText(ColourRole::Plain), MakeRoleText(ColourRole::Tag),
                               MakeRoleText(ColourRole::Name), MakeRoleText(ColourRole::Value)};

// Writes the colour runs of `text` as lines "START LENGTH ROLE", through one
// buffer of fixed size: a filing of many megabytes has millions of runs.
void WriteRunLines(const std::string& text, std::ostream& out) {
    constexpr std::size_t kBuffer = 1 << 18;
    constexpr std::size_t kLongestLine = 2 * 20 + 2 + 8;  // two 64-bit numbers, a role
    std::vector<char> buffer(kBuffer);
    char* const begin = buffer.data();
    char* const limit = begin + kBuffer - kLongestLine;
    char* p = begin;
    ColourRolesStream(text, [&](const RoleRun* runs, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            if (p > limit) {
                out.write(begin, p - begin);
                p = begin;
            }
            p = std::to_chars(p, p + 20, runs[k].start).ptr;
            *p++ = ' ';
            p = std::to_chars(p, p + 20, runs[k].length).ptr;
            *p++ = ' ';
            const RoleText& name = kRoleTexts[static_cast<std::size_t>(runs[k].role)];
            std::memcpy(p, name.text, sizeof name.text);  // the line has room for all of it
            p += name.length;
        }
    });
    out.write(begin, p - begin);
}

// Where gathered output goes: true when all of it was written.
using GatheredWrite = std::function<bool(const iovec* parts, int count)>;

// Writes with writev, taking partial writes and interruptions into account.
GatheredWrite WriteToDescriptor(int fd) {
    return [fd](const iovec* parts, int count) {
        std::vector<iovec> left(parts, parts + count);
        std::size_t first = 0;
        while (first < left.size()) {
            const int n = static_cast<int>(std::min<std::size_t>(left.size() - first, IOV_MAX));
            const ssize_t written = ::writev(fd, left.data() + first, n);
            if (written < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            auto rest = static_cast<std::size_t>(written);
            while (first < left.size() && rest >= left[first].iov_len) {
                rest -= left[first].iov_len;
                ++first;
            }
            if (rest > 0) {
                left[first].iov_base = static_cast<char*>(left[first].iov_base) + rest;
                left[first].iov_len -= rest;
            }
        }
        return true;
    };
}

GatheredWrite WriteToStream(std::ostream& out) {
    return [&out](const iovec* parts, int count) {
        for (int i = 0; i < count; ++i) {
            out.write(static_cast<const char*>(parts[i].iov_base),
                      static_cast<std::streamsize>(parts[i].iov_len));
        }
        return static_cast<bool>(out);
    };
}

// Collects the formatter's output: text is copied into one buffer, the
// indentation is pointed at in a shared block of blanks, so the hundreds of
// megabytes of blanks a deeply indented filing produces are never built.
class GatherWriter final : public FormatSink {
  public:
    explicit GatherWriter(GatheredWrite write) : write_(std::move(write)), buffer_(kBuffer) {}

    void Text(std::string_view piece) override {
        if (used_ + piece.size() > kBuffer) Flush();
        if (piece.size() >= kBuffer) {
            // Too long for the buffer: written at once, while the piece is valid.
            Add(const_cast<char*>(piece.data()), piece.size());
            Flush();
            return;
        }
        char* at = buffer_.data() + used_;
        std::memcpy(at, piece.data(), piece.size());
        used_ += piece.size();
        Add(at, piece.size());
    }

    void Blanks(std::size_t count) override {
        const std::string_view block = BlankBlock();
        while (count > 0) {
            const std::size_t take = std::min(count, block.size());
            Add(const_cast<char*>(block.data()), take);
            count -= take;
        }
    }

    // Writes what is left; false when any of the output could not be written.
    bool Finish() {
        Flush();
        return !failed_;
    }

  private:
    static constexpr std::size_t kBuffer = 1 << 18;
    static constexpr std::size_t kParts = 1024;

    void Add(char* data, std::size_t length) {
        if (length == 0) return;
        // Text copied right after the previous text joins its part.
        if (!parts_.empty() &&
            static_cast<char*>(parts_.back().iov_base) + parts_.back().iov_len == data) {
            parts_.back().iov_len += length;
        } else {
            parts_.push_back({data, length});
        }
        if (parts_.size() >= kParts) Flush();
    }

    void Flush() {
        if (!parts_.empty() && !failed_) {
            failed_ = !write_(parts_.data(), static_cast<int>(parts_.size()));
        }
        parts_.clear();
        used_ = 0;
    }

    GatheredWrite write_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::vector<iovec> parts_;
    bool failed_ = false;
};

const CliRegistrar kFormat({
    "format",
    "format [FILE]",
    "Prints the HTML laid out one tag per line, indented by nesting depth, as the code "
    "window's \"Format HTML\" does (CR LF line breaks; preformatted elements kept as they are).",
    [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        std::string text;
        if (!ReadOneInput("format", args, text, err)) return kExitUsage;
        // Written as it is produced: the indentation of a long filing can
        // come to many times the filing's own size.
        const bool toStandardOutput = out.rdbuf() == std::cout.rdbuf();
        if (toStandardOutput) out.flush();
        GatherWriter writer(toStandardOutput ? WriteToDescriptor(STDOUT_FILENO)
                                             : WriteToStream(out));
        FormatHtmlTo(text, writer);
        if (!writer.Finish()) out.setstate(std::ios::badbit);
        return kExitOk;
    },
});

const CliRegistrar kColorize({
    "colorize",
    "colorize [FILE]",
    "Prints the colour runs of the HTML, one per line: START LENGTH ROLE, in bytes of the "
    "UTF-8 text, ROLE one of plain, tag, name, value; the runs cover the whole text in order.",
    [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        std::string text;
        if (!ReadOneInput("colorize", args, text, err)) return kExitUsage;
        WriteRunLines(text, out);
        return kExitOk;
    },
});

}  // namespace

}  // namespace tarlo::cli
