#include "FirstFrameProbe.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

void reportAndExit() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    std::printf("firstframe_ns=%lld vmhwm_kb=%ld\n", ns, bench::procStatusKb("VmHWM:"));
    std::fflush(stdout);
    // Told to stay, the program runs on after its report, for benchmarks that
    // watch what follows the first frame (the start-up sound, the idle game).
    if (std::getenv("DUVELLA_PROBE_STAY") == nullptr)
        _exit(0);
}

class FirstFrameFilter : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_seen = true;
            // Queued: runs once the paint pass that delivers this event, and the
            // flush of the window's backing store that follows it, are over.
            QMetaObject::invokeMethod(qApp, &reportAndExit, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    bool m_seen = false;
};

} // namespace

void installFirstFrameProbe() {
    // Installed from the event loop, after everything main() installs, so that
    // it is the first filter to see the paint (Qt asks the last installed first)
    // and its report is queued before anything else the paint sets off.
    QMetaObject::invokeMethod(
        qApp, [] { qApp->installEventFilter(new FirstFrameFilter(qApp)); }, Qt::QueuedConnection);
}

// Linked into a program, the probe installs itself while the program's
// application object is being constructed, so the program's own main() runs
// unchanged.
Q_COREAPP_STARTUP_FUNCTION(installFirstFrameProbe)
