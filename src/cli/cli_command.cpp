#include "cli/cli_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "startup/command_line.h"
#include "text/text_encoding.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tarlo::cli {

namespace {

std::vector<CliCommand>& Registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

// Whether the bytes are valid UTF-8, as IsValidUtf8 answers it, but reading
// ASCII eight bytes at a time. A sequence never holds an ASCII byte, so the
// text is valid exactly when each run of non-ASCII bytes is: only those runs
// go to the byte-wise check.
bool IsUtf8(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            if ((word & kHighBits) != 0) break;
            i += 8;
        }
        while (i < size && static_cast<unsigned char>(data[i]) < 0x80) ++i;
        if (i == size) break;
        std::size_t end = i + 1;
        while (end < size && static_cast<unsigned char>(data[end]) >= 0x80) ++end;
        if (!IsValidUtf8(bytes.substr(i, end - i))) return false;
        i = end;
    }
    return true;
}

// Asks the kernel to map a large buffer's pages in one call, before they are
// written: page by page, each first write would stop for a page fault. Only
// a hint; nothing changes where it is not available.
void PrefaultPages(char* data, std::size_t size) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    constexpr std::uintptr_t kPage = 4096;
    if (size < 16 * kPage) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kPage - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}

InputBytes CannotRead(const std::string& path, bool standardInput, int error) {
    InputBytes in;
    // A script that closed standard input gets a reason it can act on.
    const std::string why = standardInput && error == EBADF
                                ? std::string("it is closed")
                                : std::generic_category().message(error);
    in.error = "cannot read " + (standardInput ? std::string("standard input") : path) + ": " + why;
    return in;
}

void PrintHelp(std::ostream& out) {
    out << "tarlo-cli: Tarlo's batch front end. Reads FILE, or standard input when FILE is\n"
           "\"-\" or absent (UTF-8, or Windows-1252 when the bytes are not valid UTF-8), and\n"
           "writes UTF-8 to standard output.\n\nUsage: tarlo-cli COMMAND [ARGS]\n\nCommands:\n";
    for (const CliCommand& c : Registry()) {
        out << "  " << c.usage << "\n      " << c.help << "\n";
    }
    out << "  --version\n      Prints the version and the licence.\n";
    out << "\nExit status: 0 on success, 2 on a bad argument, an unreadable file or output\n"
           "that cannot be written.\n";
}

}  // namespace

void RegisterCliCommand(CliCommand command) {
    Registry().push_back(std::move(command));
}

const std::vector<CliCommand>& CliCommands() {
    return Registry();
}

InputBytes ReadInputBytes(const std::string& path) {
    const bool standardInput = path.empty() || path == "-";
    int fd = STDIN_FILENO;
    if (!standardInput) {
        do {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) return CannotRead(path, standardInput, errno);
    }
    // A file is read in one call into a buffer of its size (and one byte more,
    // to see it end); what has no size up front (a pipe) in growing blocks.
    std::size_t capacity = 1 << 16;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        capacity = static_cast<std::size_t>(status.st_size) + 1;
    }
    std::string bytes;
    bytes.reserve(capacity);
    PrefaultPages(bytes.data(), capacity);
    bytes.resize(capacity);
    std::size_t used = 0;
    int error = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        used += static_cast<std::size_t>(n);
    }
    if (!standardInput) ::close(fd);
    if (error != 0) return CannotRead(path, standardInput, error);
    bytes.resize(used);
    InputBytes in;
    in.bytes = std::move(bytes);
    return in;
}

InputText ReadInput(const std::string& path) {
    InputText in;
    InputBytes read = ReadInputBytes(path);
    if (!read.bytes) {
        in.error = std::move(read.error);
        return in;
    }
    std::string& bytes = *read.bytes;
    if (IsUtf8(bytes)) {
        // Already UTF-8: hand the bytes over without copying them.
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        in.text = std::move(bytes);
    } else {
        in.text = DecodeDocumentBytes(bytes);
        in.windows1252 = true;
    }
    return in;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(args.empty() ? err : out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "--version") {
        out << VersionText("tarlo-cli");
        return kExitOk;
    }
    for (const CliCommand& c : Registry()) {
        if (c.name != args[0]) continue;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        for (const std::string& a : rest) {
            if (a == "--help") {
                out << "Usage: tarlo-cli " << c.usage << "\n" << c.help << "\n";
                return kExitOk;
            }
        }
        const int code = c.run(rest, out, err);
        // A full disk or a closed pipe must not pass for a finished run.
        if (!out.flush()) {
            err << "tarlo-cli " << c.name << ": cannot write the output\n";
            return kExitUsage;
        }
        return code;
    }
    err << "tarlo-cli: unknown command '" << args[0] << "' (see tarlo-cli --help)\n";
    return kExitUsage;
}

void JsonString(std::ostream& out, std::string_view s) {
    static const char* hex = "0123456789abcdef";
    out << '"';
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out << '\\' << ch;
        } else if (c < 0x20) {
            out << "\\u00" << hex[c >> 4] << hex[c & 15];
        } else {
            out << ch;
        }
    }
    out << '"';
}

}  // namespace tarlo::cli
