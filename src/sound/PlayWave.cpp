#include "sound/PlayWave.h"

#include "game/cDefault.h"
#include "platform/Services.h"
#include "scores/StoredText.h"
#include "shell/Main.h"

namespace {

// The path of a sound: the folder, one separator, the name. Nothing is tested or
// changed, so a folder that already ends in a separator gives two in a row.
QString soundFilePath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

void play(const QString& name, bool wait) {
    const QString path = soundFilePath(objGame->strSoundPath, name);
    if (platform::SoundOutput* output = platform::services().sound)
        output->play(storedBytesFromText(path).toStdString(), wait);
}

} // namespace

void PlayWave(const QString& name) {
    play(name, true);
    // A termination cuts the wait short; the game ends here, not after the handler.
    CloseOnTerminationRequest();
}

void PlayWaveAsync(const QString& name) {
    play(name, false);
}
