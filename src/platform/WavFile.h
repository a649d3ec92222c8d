#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A WAV file's format and samples, as read from disk.
struct WavSound {
    int channels = 0;       // 1..8
    int sampleRate = 0;     // 4000..192000 Hz
    int bitsPerSample = 0;  // 8, 16, 24 or 32
    bool isFloat = false;   // IEEE float samples (32 bits) rather than integer PCM
    std::vector<unsigned char> data;  // the data chunk's bytes as stored (little-endian)
    std::chrono::microseconds duration() const;  // data.size() / (channels * bitsPerSample/8) / sampleRate
};

// Reads a WAV file without blocking: opened non-blocking, used only when it is a regular file (after links),
// read no further than the size fstat gives, header checked for plausibility. nullopt when the file cannot
// be read or its header is implausible: such a sound is silent and a waiting play does not wait.
std::optional<WavSound> readWavFile(const std::string& path);

} // namespace platform
