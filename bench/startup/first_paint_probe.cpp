// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Loaded into a Qt program by the start-up benchmark (bench/startup/run.py sets LD_PRELOAD),
// never linked into one, so the program under measurement is the one that ships. From the
// application's constructor on it watches every event; when the first top-level window is
// first exposed and first painted it notes the moment, lets the frame finish, writes one line
// to standard error and ends the program:
//
//   first-paint expose_ns=<t> paint_ns=<t> frame_ns=<t> hwm_kb=<peak resident memory>
//
// The moments are std::chrono::steady_clock (CLOCK_MONOTONIC on Linux), comparable with
// Python's time.monotonic_ns().
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::int64_t now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The process's peak resident memory in KiB, as the kernel keeps it (VmHWM), or -1.
long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kib = -1;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

class FirstPaintProbe final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::Expose && exposed_ == 0 && receiver->isWindowType()) {
            const auto* window = static_cast<const QWindow*>(receiver);
            if (window->isTopLevel() && window->isExposed()) {
                exposed_ = now();
            }
        } else if (event->type() == QEvent::Paint && painted_ == 0 && receiver->isWidgetType() &&
                   static_cast<const QWidget*>(receiver)->isWindow()) {
            painted_ = now();
            // The whole frame, children and flush included, is done before the event loop
            // takes the next timer.
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

  private:
    void report() const {
        const std::int64_t frame = now();
        std::fprintf(stderr, "first-paint expose_ns=%lld paint_ns=%lld frame_ns=%lld hwm_kb=%ld\n",
                     static_cast<long long>(exposed_), static_cast<long long>(painted_),
                     static_cast<long long>(frame), peakResidentKiB());
        std::fflush(stderr);
        QCoreApplication::quit();
    }

    std::int64_t exposed_ = 0;
    std::int64_t painted_ = 0;
};

void installFirstPaintProbe() {
    QCoreApplication* const application = QCoreApplication::instance();
    application->installEventFilter(new FirstPaintProbe(application));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)
