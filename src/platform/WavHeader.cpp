#include "platform/WavHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace platform {

namespace {

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Integer PCM, float PCM and their extensible form: a frame is block-align bytes.
bool isPcm(std::uint32_t formatTag) {
    return formatTag == 1 || formatTag == 3 || formatTag == 0xFFFE;
}

} // namespace

std::optional<std::chrono::nanoseconds> wavLength(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return std::nullopt;
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    bool pcm = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const std::size_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            pcm = isPcm(littleEndian(bytes, body, 2));
            rate = littleEndian(bytes, body + 4, 4);
            blockAlign = littleEndian(bytes, body + 12, 2);
        } else if (id == "data") {
            if (!pcm || rate == 0 || blockAlign == 0)
                return std::nullopt;
            const std::uint64_t frames = std::min(size, bytes.size() - body) / blockAlign;
            return std::chrono::nanoseconds(frames * 1'000'000'000ULL / rate);
        }
        // Chunks are padded to an even length.
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<std::chrono::nanoseconds> wavFileLength(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    std::fclose(file);
    return wavLength(bytes);
}

} // namespace platform
