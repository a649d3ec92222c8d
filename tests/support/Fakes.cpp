#include "support/Fakes.h"

#include "platform/Services.h"

#include <QFileInfo>

namespace testing {

void RecordingSoundOutput::play(const std::string& path, bool wait) {
    paths.push_back(path);
    plays.push_back({QFileInfo(QString::fromStdString(path)).fileName(), wait});
    if (onPlay)
        onPlay(plays.back());
}

QStringList RecordingSoundOutput::names() const {
    QStringList result;
    for (const Play& play : plays)
        result << play.name;
    return result;
}

platform::MessageBox::Button AnsweringMessageBox::show(const Request& request) {
    shown.push_back(request);
    if (answers.empty())
        return request.buttons == Buttons::YesNo ? Button::Yes : Button::Ok;
    const Button answer = answers.front();
    answers.pop_front();
    return answer;
}

FakePlatform::FakePlatform() {
    platform::services() = {.sound = &sound, .messageBox = &messageBox, .clock = &clock,
                            .endProcess = [this] { ++processEnds; }};
}

FakePlatform::~FakePlatform() {
    platform::services() = platform::Services{};
}

} // namespace testing
