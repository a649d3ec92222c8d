#include "platform/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileRead failed(std::string problem, bool missing = false) {
    return {std::nullopt, missing, std::move(problem)};
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

} // namespace

FileRead readRegularFile(const std::string& path, std::size_t limit) {
    // O_NONBLOCK: opening a FIFO does not wait for a writer, nor a device for
    // its carrier. O_NOCTTY: a terminal never becomes the game's.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return failed(std::strerror(errno), errno == ENOENT);
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0)
        return failed(std::strerror(errno));
    if (!S_ISREG(status.st_mode))
        return failed(S_ISDIR(status.st_mode) ? "is a folder" : "not a regular file");
    const auto size = static_cast<std::size_t>(status.st_size);
    if (status.st_size < 0 || size > limit)
        return failed("larger than " + std::to_string(limit) + " bytes");
    std::string bytes(size, '\0');
    std::size_t got = 0;
    // A file that shrinks meanwhile ends early; one that grows is read as it was.
    while (got < size) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(std::strerror(errno));
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return {std::move(bytes), false, {}};
}

} // namespace platform
