#pragma once

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/SoundOutput.h"

#include <QCoreApplication>
#include <deque>
#include <functional>

namespace testing {

// The platform services a player perceives, faked: each request is told, as one event of
// a transcript, to `perceived`. A play is its file's name without ".wav" when it lies in
// the program's folder, else its whole path, with "&" when it does not wait; a message box
// is answered from `answers`, or by Enter (its default button) when there are none left;
// the end of the process is the event "end", and the process goes on.
class FakePlatform : public platform::SoundOutput,
                     public platform::MessageBox,
                     public platform::Clock {
  public:
    FakePlatform() {
        platform::services() = {
            .sound = this, .messageBox = this, .clock = this, .random = {}, .endProcess = [this] {
                perceived("end");
            }};
    }
    ~FakePlatform() override { platform::services() = {}; }

    void play(const std::string& path, bool wait) override {
        QString name = QString::fromStdString(path);
        const QString folder = QCoreApplication::applicationDirPath() + '/';
        if (name.startsWith(folder) && name.endsWith(".wav"))
            name = name.sliced(folder.size()).chopped(4);
        perceived(name + (wait ? "" : "&"));
        m_draws = 0;
    }
    Button show(const Request& box) override {
        const Button answer = answers.empty() ? box.defaultButton : answers.front();
        if (!answers.empty())
            answers.pop_front();
        const char* names[] = {"OK", "Yes", "No"};
        perceived(QString("box %1|%2|%3|%4: %5 -> %6")
                      .arg(box.title, box.icon == Icon::Information ? "i" : "-",
                           box.buttons == Buttons::YesNo ? "YesNo" : "OK",
                           names[int(box.defaultButton)], box.text, names[int(answer)]));
        return answer;
    }
    QDate today() const override { return date; }
    std::uint64_t ticks() const override {
        // A deal draws some hundred times; draws that repeat themselves would never end one.
        if (++m_draws > 1000000)
            qFatal("the random draws never end");
        onTicks();
        return tickCount;
    }

    std::function<void(const QString& event)> perceived = [](const QString&) {};
    std::deque<Button> answers;
    QDate date{2026, 12, 5};
    std::uint64_t tickCount = 42;
    std::function<void()> onTicks = [] {}; // runs at every reading: at every random draw

  private:
    mutable int m_draws = 0; // since the last sound
};

} // namespace testing
