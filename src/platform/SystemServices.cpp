#include "platform/SystemServices.h"

#include "platform/QtMessageBox.h"
#include "platform/DeviceSoundOutput.h"
#include "platform/Services.h"
#include "platform/SystemClock.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

// Starts the sound output once a window has been drawn for the first time.
// Loading SDL and connecting to the sound server beside the window's own start
// made the first frame 15 to 30 ms later on a two-core machine (both take the
// dynamic loader's lock and the cores); after the frame, the device is open
// some 30 ms later, and the start-up drum, asked for before, plays then.
class SoundStartAfterFirstFrame : public QObject {
  public:
    explicit SoundStartAfterFirstFrame(DeviceSoundOutput& sound) : m_sound(sound) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            // Queued: runs once the paint, and the flush that follows it, are over.
            QMetaObject::invokeMethod(
                this, [this] { m_sound.start(); }, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    DeviceSoundOutput& m_sound;
};

} // namespace

void installSystemServices() {
    static DeviceSoundOutput sound(DeviceSoundOutput::Timing{}, DeviceSoundOutput::Start::Later);
    static QtMessageBox messageBox;
    static SystemClock clock;
    qApp->installEventFilter(new SoundStartAfterFirstFrame(sound));
    Services& current = services();
    current.sound = &sound;
    current.messageBox = &messageBox;
    current.clock = &clock;
    current.endProcess = [] {
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    };
}

} // namespace platform
