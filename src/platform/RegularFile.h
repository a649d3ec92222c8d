#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// What reading a user's file gave: its bytes, or why there are none.
struct FileRead {
    std::optional<std::string> bytes;
    // Nothing at the path (or a link to nothing): not a failure for a file
    // that a program makes itself on its first save.
    bool missing = false;
    // Why the bytes are missing, for a message: "Permission denied",
    // "not a regular file", ...
    std::string problem;
};

// Reads a whole file so that nothing in it can hold up or flood the caller:
// opened non-blocking, read only when it is a regular file after links are
// followed (not a FIFO, a device or a folder), and never beyond the size that
// fstat gave when it was opened, nor beyond `limit` bytes: a larger file counts
// as unreadable.
FileRead readRegularFile(const std::string& path, std::size_t limit);

} // namespace platform
