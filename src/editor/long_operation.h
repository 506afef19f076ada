#pragma once
// Helpers for the long operations that run on the window's thread: the busy
// pointer for their whole life, and pending window events let run when
// enough time has passed, never once per character, tag or record.
#include <QApplication>
#include <QElapsedTimer>

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
    void RunIfDue() {
        if (Due()) QCoreApplication::processEvents();
    }

  private:
    QElapsedTimer timer_;
};

}  // namespace tarlo
