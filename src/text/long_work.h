#pragma once
// How a long piece of work (formatting, colouring, the clean-up, a check run)
// keeps the window alive while it runs on the window's thread: it says how
// far it is, and pending window events run at most every ~15 ms, never once
// per character, tag or record. Work that nobody watches (tarlo-cli, tests,
// benchmarks) uses the base class, which does nothing.
#include <string_view>

namespace tarlo {

class LongWork {
  public:
    virtual ~LongWork() = default;
    // Called as often as the work likes (per tag, per segment). True, at most
    // every ~15 ms, when pending events just ran: the moment to report figures.
    virtual bool Tick() { return false; }
    // Pending events run now.
    virtual void LetEventsRun() {}
    // A stage the user sees begins ("Replacing codes..."); events run.
    virtual void Stage(std::string_view /*what*/) {}
    // One visible step of the work is done: the progress bar moves on.
    virtual void Advance() {}
    // Figures about the work so far (the clean-up's statistics line), shown
    // when events next run.
    virtual void Figures(std::string_view /*line*/) {}
};

// The work nobody watches.
inline LongWork& UnwatchedWork() {
    static LongWork unwatched;
    return unwatched;
}

}  // namespace tarlo
