#include "platform/DeviceSamples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// One stored sample as a value from -1 to 1 (little-endian, 8-bit unsigned).
double sampleAt(const WavSound& sound, std::size_t at) {
    const unsigned char* p = sound.data.data() + at;
    switch (sound.bitsPerSample) {
    case 8:
        return (p[0] - 128) / 128.0;
    case 16:
        return static_cast<std::int16_t>(p[0] | p[1] << 8) / 32768.0;
    case 24:
        return static_cast<std::int32_t>(std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 |
                                         std::uint32_t(p[2]) << 24) /
               2147483648.0;
    default: {
        const std::uint32_t bits = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                   std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
        if (!sound.isFloat)
            return static_cast<std::int32_t>(bits) / 2147483648.0;
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) ? value : 0.0;
    }
    }
}

} // namespace

DeviceSamples deviceSamples(const WavSound& sound) {
    const std::size_t bytes = static_cast<std::size_t>(sound.bitsPerSample / 8);
    const std::size_t frameBytes = bytes * static_cast<std::size_t>(sound.channels);
    if (frameBytes == 0 || sound.sampleRate <= 0)
        return {};
    const std::size_t frames = sound.data.size() / frameBytes;
    if (sound.bitsPerSample == 16 && sound.channels == 1 && sound.sampleRate == kDeviceRate) {
        DeviceSamples same(frames);
        std::memcpy(same.data(), sound.data.data(), frames * frameBytes);
        return same;
    }
    std::vector<double> mono(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        double sum = 0;
        for (std::size_t c = 0; c < static_cast<std::size_t>(sound.channels); ++c)
            sum += sampleAt(sound, f * frameBytes + c * bytes);
        mono[f] = sum / sound.channels;
    }
    const double step = static_cast<double>(sound.sampleRate) / kDeviceRate;
    const auto count = static_cast<std::size_t>(static_cast<double>(frames) / step);
    DeviceSamples out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) * step;
        const auto left = static_cast<std::size_t>(at);
        const double right = left + 1 < frames ? mono[left + 1] : mono[left];
        const double value = mono[left] + (right - mono[left]) * (at - static_cast<double>(left));
        out[i] = static_cast<std::int16_t>(
            std::lround(std::clamp(value, -1.0, 32767 / 32768.0) * 32768));
    }
    return out;
}

} // namespace platform
