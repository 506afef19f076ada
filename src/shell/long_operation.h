#pragma once
// Helpers for the long operations that run on the window's thread: the busy
// pointer for their whole life, and pending window events let run when
// enough time has passed, never once per character, tag or record.
#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <string_view>

#include "text/long_work.h"

namespace tarlo {

// The hourglass for the life of a long step; restored on every way out.
class BusyPointer {
  public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// Lets pending window events run when at least ~15 ms have passed since the
// last time; on a large filing, running them per tag would cost minutes.
class EventPacer {
  public:
    static constexpr qint64 kIntervalMs = 15;
    EventPacer() { timer_.start(); }
    bool Due() {
        if (timer_.elapsed() < kIntervalMs) return false;
        timer_.restart();
        return true;
    }

  private:
    QElapsedTimer timer_;
};

// Long work as the window watches it: pending events run at most every
// ~15 ms, and what the work reports goes to the callbacks its command sets
// (the progress window's item line and bar, the statistics line).
class PacedWork : public LongWork {
  public:
    // Runs when a tick is due, before the events run.
    std::function<void()> onDue;
    std::function<void(std::string_view)> onStage;
    std::function<void()> onAdvance;
    std::function<void(std::string_view)> onFigures;

    bool Tick() override {
        if (!pacer_.Due()) return false;
        if (onDue) onDue();
        QCoreApplication::processEvents();
        return true;
    }
    void LetEventsRun() override { QCoreApplication::processEvents(); }
    void Stage(std::string_view what) override {
        if (onStage) onStage(what);
        QCoreApplication::processEvents();
    }
    void Advance() override {
        if (onAdvance) onAdvance();
    }
    void Figures(std::string_view line) override {
        if (onFigures) onFigures(line);
    }

  private:
    EventPacer pacer_;
};

}  // namespace tarlo
