#include "startup/recovery_copy.h"

#include <algorithm>
#include <charconv>

namespace tarlo {

namespace {

constexpr std::string_view kFirstLine = "Tarlo recovery copy 1\n";

void AppendField(std::string& out, std::string_view name, std::string_view value) {
    out += name;
    out += ' ';
    out += std::to_string(value.size());
    out += '\n';
    out += value;
}

// Reads "name N\n" and N bytes from the front of `rest`, consuming them.
std::optional<std::string> TakeField(std::string_view& rest, std::string_view name) {
    if (rest.substr(0, name.size()) != name || rest.size() <= name.size() ||
        rest[name.size()] != ' ') {
        return std::nullopt;
    }
    rest.remove_prefix(name.size() + 1);
    const std::size_t eol = rest.find('\n');
    if (eol == std::string_view::npos || eol == 0) return std::nullopt;
    std::uint64_t length = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + eol, length);
    if (ec != std::errc() || end != rest.data() + eol) return std::nullopt;
    rest.remove_prefix(eol + 1);
    if (length > rest.size()) return std::nullopt;
    std::string value(rest.substr(0, static_cast<std::size_t>(length)));
    rest.remove_prefix(static_cast<std::size_t>(length));
    return value;
}

bool ParseMs(std::string_view text, std::int64_t& out) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// The run in "<run><suffix>", when the run is a name this program gives.
std::optional<std::string> RunOfFile(std::string_view fileName, std::string_view suffix) {
    if (fileName.size() <= suffix.size() ||
        fileName.substr(fileName.size() - suffix.size()) != suffix) {
        return std::nullopt;
    }
    const std::string_view run = fileName.substr(0, fileName.size() - suffix.size());
    // Only names this program gives: digits, a dash, digits.
    const std::size_t dash = run.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == run.size()) return std::nullopt;
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(run.substr(0, dash)) || !digits(run.substr(dash + 1))) return std::nullopt;
    return std::string(run);
}

}  // namespace

std::string EncodeRecoveryCopy(const RecoveryCopy& copy) {
    std::string out;
    out.reserve(kFirstLine.size() + copy.path.size() + copy.text.size() + 48);
    out += kFirstLine;
    AppendField(out, "path", copy.path);
    out += '\n';
    AppendField(out, "text", copy.text);
    return out;
}

std::optional<RecoveryCopy> DecodeRecoveryCopy(std::string_view bytes) {
    if (bytes.substr(0, kFirstLine.size()) != kFirstLine) return std::nullopt;
    std::string_view rest = bytes.substr(kFirstLine.size());
    RecoveryCopy copy;
    auto path = TakeField(rest, "path");
    if (!path || rest.empty() || rest.front() != '\n') return std::nullopt;
    rest.remove_prefix(1);
    auto text = TakeField(rest, "text");
    // Anything after the text means the file is not one we wrote.
    if (!text || !rest.empty()) return std::nullopt;
    copy.path = std::move(*path);
    copy.text = std::move(*text);
    return copy;
}

std::string RecoveryRunName(std::int64_t pid, std::int64_t startMs) {
    return std::to_string(pid) + "-" + std::to_string(startMs);
}

std::optional<std::string> RecoveryRunOfCopy(std::string_view fileName) {
    return RunOfFile(fileName, kRecoveryCopySuffix);
}

std::optional<std::string> RecoveryRunOfLock(std::string_view fileName) {
    return RunOfFile(fileName, kRecoveryLockSuffix);
}

std::int64_t RecoveryWriteDelay(std::int64_t nowMs, std::optional<std::int64_t> lastWriteMs,
                                const RecoveryTiming& timing) {
    std::int64_t delay = timing.quietMs;
    if (lastWriteMs) delay = std::max(delay, *lastWriteMs + timing.intervalMs - nowMs);
    return delay;
}

RecoveryTiming ParseRecoveryTiming(const char* value) {
    const RecoveryTiming defaults;
    if (value == nullptr) return defaults;
    const std::string_view text(value);
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return defaults;
    RecoveryTiming timing;
    if (!ParseMs(text.substr(0, comma), timing.quietMs) ||
        !ParseMs(text.substr(comma + 1), timing.intervalMs)) {
        return defaults;
    }
    // A day at most: the delays go to a timer that counts in int milliseconds.
    if (timing.quietMs < 10 || timing.intervalMs < timing.quietMs || timing.intervalMs > 86400000) {
        return defaults;
    }
    return timing;
}

}  // namespace tarlo
