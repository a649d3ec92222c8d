#include "platform/ProgramFolder.h"

#include <climits>
#include <unistd.h>

namespace platform {

QByteArray programFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path))
        return {};
    const QByteArray program(path, length);
    const qsizetype slash = program.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : program.first(slash);
}

} // namespace platform
