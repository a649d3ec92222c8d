#include "sound/PlayWave.h"

#include "platform/Services.h"
#include "platform/StoredText.h"
#include "platform/Termination.h"

namespace {

std::function<QString()> g_folder;

// The path of a sound: the folder, one separator, the name. Nothing is tested or
// changed, so a folder that already ends in a separator gives two in a row.
QString soundFilePath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

void play(const QString& name, bool wait) {
    const QString path = soundFilePath(g_folder ? g_folder() : QString(), name);
    if (platform::SoundOutput* output = platform::services().sound)
        output->play(platform::storedBytesFromText(path).toStdString(), wait);
}

} // namespace

void PlayWave(const QString& name) {
    play(name, true);
    // A termination cuts the wait short; the game ends here, not after the handler.
    platform::actOnTermination();
}

void PlayWaveAsync(const QString& name) {
    play(name, false);
}

void setSoundFolder(std::function<QString()> folder) {
    g_folder = std::move(folder);
}
