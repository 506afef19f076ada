#pragma once
// What a recovery copy is without any file system: the bytes of one copy
// (the document's code text and the file it belongs to), its name, and when
// the next copy is due. A copy lets the user have back the changes a crash or
// a power cut would otherwise have taken.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarlo {

struct RecoveryCopy {
    // The file Save writes to; empty for a document that has none yet.
    std::string path;
    // The code text exactly as the code view holds it.
    std::string text;
};

// The bytes of a copy on disk: a first line that names the format, then the
// path and the text, each as a line "path N" or "text N" giving its length in
// bytes, a line feed, and the bytes themselves. Lengths, not separators: a
// path may hold a line feed and a document any byte at all.
std::string EncodeRecoveryCopy(const RecoveryCopy& copy);
// The copy in those bytes; nothing when they are not a whole copy (another
// file, or one cut short), which is then never offered as the user's work.
std::optional<RecoveryCopy> DecodeRecoveryCopy(std::string_view bytes);

// Each running editor names its copy and its lock after its process id and
// the moment it started ("4711-1718000000123"): a process id alone is used
// again by a later run, or after a restart of the machine.
std::string RecoveryRunName(std::int64_t pid, std::int64_t startMs);
// The run's name from a copy's file name ("<run>.copy"); nothing for any
// other file in the folder.
std::optional<std::string> RecoveryRunOfCopy(std::string_view fileName);
// The run's name from a lock's file name ("<run>.lock"); nothing for any
// other file (QLockFile's own "<run>.lock.rmlock" included).
std::optional<std::string> RecoveryRunOfLock(std::string_view fileName);
inline constexpr std::string_view kRecoveryCopySuffix = ".copy";
inline constexpr std::string_view kRecoveryLockSuffix = ".lock";
// A copy still being written, before it takes the copy's place.
inline constexpr std::string_view kRecoveryNextSuffix = ".next";

// When the next copy is written.
//
// A copy is written only at a quiet moment, `quietMs` after the last change,
// so that writing a filing of megabytes never holds up typing; and at most
// once every `intervalMs`, counted from the last copy. So once the user
// pauses, no change is more than `intervalMs` (or the pause) from being in
// a copy: the timer is started again on every change, with the delay below.
// The page is looked at every `quietMs` while it is in use; a copy of it
// follows once its edits have stood still for one look.
//
// A second of quiet and three seconds between copies: what a crash can take
// is the last few seconds of work, while a pause to think (or to reach for
// the mouse) is long enough for a copy of a filing of megabytes.
struct RecoveryTiming {
    std::int64_t quietMs = 1000;
    std::int64_t intervalMs = 3000;
};
// The delay from `nowMs`, the moment of a change, until a copy is due;
// `lastWriteMs` is when the last copy was written, if any was.
std::int64_t RecoveryWriteDelay(std::int64_t nowMs, std::optional<std::int64_t> lastWriteMs,
                                const RecoveryTiming& timing);

// The timing from TARLO_RECOVERY_TIMING, a tuning knob (and what the process
// tests use to see a copy within seconds): "QUIET,INTERVAL" in milliseconds.
// A missing or malformed value, a quiet time under 10 ms, or an interval
// shorter than the quiet time or longer than a day keeps the defaults
// (1 s, 3 s).
RecoveryTiming ParseRecoveryTiming(const char* value);

}  // namespace tarlo
