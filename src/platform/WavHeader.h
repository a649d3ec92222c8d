#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// How long a PCM WAV file plays, read from its header alone: the bytes of its
// data chunk over the bytes of one frame (the block align) and the frames per
// second. A data chunk cut short by the end of the file counts only the bytes
// that are there. Nothing for bytes that are not a PCM WAV file.
std::optional<std::chrono::nanoseconds> wavLength(std::string_view bytes);

// The same for a file; nothing when it cannot be read.
std::optional<std::chrono::nanoseconds> wavFileLength(const std::string& path);

} // namespace platform
