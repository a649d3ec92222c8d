#pragma once

#include <QString>

// Plays a WAV file from the program's folder and returns when it has ended.
void PlayWave(const QString& name);
// Starts a WAV file from the program's folder and returns at once.
void PlayWaveAsync(const QString& name);

