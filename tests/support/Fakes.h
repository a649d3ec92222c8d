#pragma once

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/SoundOutput.h"

#include <QCoreApplication>
#include <deque>
#include <functional>

namespace testing {

// What the fakes are asked to do reaches the player: each request is told, as one
// event of a transcript, to `perceived`.
using Perceived = std::function<void(const QString& event)>;

// A play is its file name without ".wav" when it lies in the program's folder, else
// its whole path; "&" marks a play that does not wait.
class RecordingSoundOutput : public platform::SoundOutput {
  public:
    explicit RecordingSoundOutput(const Perceived& perceived) : m_perceived(perceived) {}
    void play(const std::string& path, bool wait) override {
        QString name = QString::fromStdString(path);
        const QString folder = QCoreApplication::applicationDirPath() + '/';
        if (name.startsWith(folder) && name.endsWith(".wav"))
            name = name.sliced(folder.size()).chopped(4);
        m_perceived(name + (wait ? "" : "&"));
    }

  private:
    const Perceived& m_perceived;
};

// Answers message boxes from a queue; with the queue empty the player presses
// Enter, which answers the default button.
class AnsweringMessageBox : public platform::MessageBox {
  public:
    explicit AnsweringMessageBox(const Perceived& perceived) : m_perceived(perceived) {}
    Button show(const Request& box) override {
        Button answer = box.defaultButton;
        if (!answers.empty())
            answer = answers.front(), answers.pop_front();
        const char* names[] = {"OK", "Yes", "No"};
        m_perceived(QString("box %1|%2|%3|%4: %5 -> %6")
                        .arg(box.title, box.icon == Icon::Information ? "i" : "-",
                             box.buttons == Buttons::YesNo ? "YesNo" : "OK",
                             names[int(box.defaultButton)], box.text, names[int(answer)]));
        return answer;
    }
    std::deque<Button> answers;

  private:
    const Perceived& m_perceived;
};

class FixedClock : public platform::Clock {
  public:
    QDate today() const override { return date; }
    std::uint64_t ticks() const override {
        if (onTicks)
            onTicks();
        return tickCount;
    }
    QDate date{2026, 12, 5};
    std::uint64_t tickCount = 42;
    std::function<void()> onTicks; // runs at every reading, that is at every random draw
};

// Installs the fakes as the platform services while it lives; the end of the
// process is an event ("end") instead of the end.
class FakePlatform {
  public:
    FakePlatform() {
        platform::services() = {.sound = &sound,
                                .messageBox = &messageBox,
                                .clock = &clock,
                                .random = {},
                                .endProcess = [this] { perceived("end"); }};
    }
    ~FakePlatform() { platform::services() = {}; }
    Perceived perceived = [](const QString&) {};
    RecordingSoundOutput sound{perceived};
    AnsweringMessageBox messageBox{perceived};
    FixedClock clock;
};

} // namespace testing
