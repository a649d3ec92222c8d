#pragma once

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/SoundOutput.h"

#include <QFileInfo>
#include <QStringList>
#include <deque>
#include <functional>

namespace testing {

// Logs every play, in order, as the sound's file name and whether it waited.
class RecordingSoundOutput : public platform::SoundOutput {
  public:
    struct Play {
        QString name;
        bool waited;
        bool operator==(const Play&) const = default;
    };
    void play(const std::string& path, bool wait) override {
        paths.push_back(path);
        plays.push_back({QFileInfo(QString::fromStdString(path)).fileName(), wait});
        if (onPlay)
            onPlay(plays.back());
    }
    QStringList names() const {
        QStringList names;
        for (const Play& play : plays)
            names << play.name;
        return names;
    }
    void clear() { plays.clear(), paths.clear(); }

    std::vector<Play> plays;
    std::vector<std::string> paths;
    // Runs after each play is logged, while the sound "plays".
    std::function<void(const Play&)> onPlay;
};

// Answers message boxes from a queue (Yes, No or OK by default) and logs them.
class AnsweringMessageBox : public platform::MessageBox {
  public:
    Button show(const Request& request) override {
        shown.push_back(request);
        if (answers.empty())
            return request.buttons == Buttons::YesNo ? Button::Yes : Button::Ok;
        const Button answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<Request> shown;
    std::deque<Button> answers;
};

class FixedClock : public platform::Clock {
  public:
    QDate today() const override { return date; }
    std::uint64_t ticks() const override { return tickCount; }
    QDate date{2026, 12, 5};
    std::uint64_t tickCount = 42;
};

// Installs the fakes as the platform services while it lives; ending the
// process is counted instead of done.
class FakePlatform {
  public:
    FakePlatform() {
        platform::services() = {&sound, &messageBox, &clock, [&] { ++processEnds; }};
    }
    ~FakePlatform() { platform::services() = {}; }
    RecordingSoundOutput sound;
    AnsweringMessageBox messageBox;
    FixedClock clock;
    int processEnds = 0;
};

} // namespace testing
