#include "FirstFrameProbe.h"

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

long peakResidentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            kb = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

void reportAndExit() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    std::printf("firstframe_ns=%lld vmhwm_kb=%ld\n", ns, peakResidentKb());
    std::fflush(stdout);
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
    qApp->installEventFilter(new FirstFrameFilter(qApp));
}

// Linked into a program, the probe installs itself while the program's
// application object is being constructed, so the program's own main() runs
// unchanged.
Q_COREAPP_STARTUP_FUNCTION(installFirstFrameProbe)
