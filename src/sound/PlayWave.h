#pragma once

#include <QString>
#include <functional>

// Plays a WAV file from the program's folder and returns when it has ended.
void PlayWave(const QString& name);
// Starts a WAV file from the program's folder and returns at once.
void PlayWaveAsync(const QString& name);

// Where the sound files lie, asked for at every play. Until the program hands it
// in, a sound's path is the separator and its name alone.
void setSoundFolder(std::function<QString()> folder);
