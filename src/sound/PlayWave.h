#pragma once

#include <QString>

// Plays a WAV file from the program's folder and returns when it has ended.
void PlayWave(const QString& name);
// Starts a WAV file from the program's folder and returns at once.
void PlayWaveAsync(const QString& name);

// The path of a sound: the folder, one separator, the name. Nothing is tested or
// changed, so a folder that already ends in a separator gives two in a row.
QString soundFilePath(const QString& folder, const QString& name);
