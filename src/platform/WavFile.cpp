#include "platform/WavFile.h"

#include "platform/RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace platform {

namespace {

// Some six minutes of CD sound: far more than any sound of a game, and small
// enough that a sound, even converted to the device's format, takes little
// memory. A larger file is not played.
constexpr std::size_t kLargestFile = 64 * 1024 * 1024;

constexpr std::uint32_t kPcm = 1;
constexpr std::uint32_t kFloat = 3;
constexpr std::uint32_t kExtensible = 0xFFFE;

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The format chunk, if it describes samples the game can play: integer PCM of
// 8 to 32 bits or 32-bit float, 1 to 8 channels, 4000 to 192000 frames a
// second, frames of exactly one sample per channel.
std::optional<WavSound> plausibleFormat(std::string_view fmt) {
    if (fmt.size() < 16)
        return std::nullopt;
    std::uint32_t tag = littleEndian(fmt, 0, 2);
    // The extensible form names its real format in the first two bytes of its GUID.
    if (tag == kExtensible)
        tag = fmt.size() >= 26 ? littleEndian(fmt, 24, 2) : 0;
    WavSound sound;
    sound.channels = static_cast<int>(littleEndian(fmt, 2, 2));
    sound.sampleRate = static_cast<int>(littleEndian(fmt, 4, 4));
    sound.bitsPerSample = static_cast<int>(littleEndian(fmt, 14, 2));
    sound.isFloat = tag == kFloat;
    const auto blockAlign = static_cast<int>(littleEndian(fmt, 12, 2));
    const int bits = sound.bitsPerSample;
    const bool samplesOk = sound.isFloat ? bits == 32
                                         : tag == kPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    if (!samplesOk || sound.channels < 1 || sound.channels > 8 || sound.sampleRate < 4000 ||
        sound.sampleRate > 192000 || blockAlign != sound.channels * bits / 8)
        return std::nullopt;
    return sound;
}

// The format chunk must come before the data chunk; other chunks are skipped.
std::optional<WavSound> parseWav(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WavSound> sound;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t body = at + 8;
        // A chunk cut short by the end of the file holds what is there; a copy
        // that was interrupted still plays as far as it goes.
        const std::size_t size = std::min<std::size_t>(littleEndian(bytes, at + 4, 4), bytes.size() - body);
        if (id == "fmt ") {
            sound = plausibleFormat(bytes.substr(body, size));
            if (!sound)
                return std::nullopt;
        } else if (id == "data") {
            if (!sound)
                return std::nullopt;
            const auto frameBytes = static_cast<std::size_t>(sound->channels * sound->bitsPerSample / 8);
            const std::size_t kept = size - size % frameBytes;
            if (kept == 0)
                return std::nullopt;
            const auto* first = reinterpret_cast<const unsigned char*>(bytes.data() + body);
            sound->data.assign(first, first + kept);
            return sound;
        }
        // Chunks are padded to an even length.
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace

std::chrono::microseconds WavSound::duration() const {
    const std::size_t frameBytes = static_cast<std::size_t>(channels) * static_cast<std::size_t>(bitsPerSample / 8);
    if (frameBytes == 0 || sampleRate <= 0)
        return {};
    const auto frames = static_cast<std::uint64_t>(data.size() / frameBytes);
    return std::chrono::microseconds(frames * 1'000'000ULL / static_cast<std::uint64_t>(sampleRate));
}

std::optional<WavSound> readWavFile(const std::string& path) {
    const FileRead file = readRegularFile(path, kLargestFile);
    if (!file.bytes)
        return std::nullopt;
    return parseWav(*file.bytes);
}

} // namespace platform
