#include "platform/SettingsFile.h"

#include "platform/RegularFile.h"

#include <QtGlobal>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A settings file is a few hundred bytes; one this large is not the game's.
constexpr std::size_t kLargestFile = 16 * 1024 * 1024;

QByteArray homeFolder() {
    const QByteArray home = qgetenv("HOME");
    if (home.startsWith('/'))
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr ? QByteArray(user->pw_dir) : QByteArray();
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.first(slash);
}

QByteArray errorText(int error) {
    return QByteArray(std::strerror(error));
}

// Makes the folder and those above it that are missing; the cause when one cannot be made.
std::optional<QByteArray> makeFolder(const QByteArray& folder) {
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.first(slash);
        struct stat status = {};
        // Private to the user, as the XDG rules ask of the folders they make.
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return "cannot make folder " + part + ": " + errorText(errno);
        if (::stat(part.constData(), &status) != 0)
            return "cannot make folder " + part + ": " + errorText(errno);
        if (!S_ISDIR(status.st_mode))
            return "cannot make folder " + part + ": " + errorText(ENOTDIR);
        if (slash < 0)
            return std::nullopt;
    }
}

// Writes all of `bytes`, then flushes them to the disk; the cause of a failure.
std::optional<QByteArray> writeAndFlush(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errorText(errno);
        done += n;
    }
    // A full disk may show only now, on file systems that allocate late.
    if (::fsync(fd) != 0)
        return errorText(errno);
    return std::nullopt;
}

// Puts `bytes` in place of the file at `path`; the cause when that could not be done.
std::optional<QByteArray> replaceFile(const QByteArray& path, const QByteArray& bytes) {
    const QByteArray folder = folderOf(path);
    if (const std::optional<QByteArray> problem = makeFolder(folder))
        return problem;
    struct stat old = {};
    const bool hadFile = ::stat(path.constData(), &old) == 0;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary =
            path + ".new-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(attempt);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return "cannot make a file in " + folder + ": " + errorText(errno);
    }
    if (fd < 0)
        return "cannot make a file in " + folder + ": " + errorText(EEXIST);
    std::optional<QByteArray> problem = writeAndFlush(fd, bytes);
    // The new file keeps the permissions the player gave the old one.
    if (!problem && hadFile && ::fchmod(fd, old.st_mode & 07777) != 0)
        problem = errorText(errno);
    if (::close(fd) != 0 && !problem)
        problem = errorText(errno);
    if (!problem && ::rename(temporary.constData(), path.constData()) != 0)
        problem = errorText(errno);
    if (problem) {
        ::unlink(temporary.constData());
        return problem;
    }
    // The rename itself reaches the disk with the folder.
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return std::nullopt;
}

} // namespace

QByteArray userSettingsPath(const QByteArray& organisation, const QByteArray& application) {
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (!config.startsWith('/'))
        config = homeFolder() + "/.config";
    return config + '/' + organisation + '/' + application + ".ini";
}

std::optional<QByteArray> readSettingsFile(const QByteArray& path) {
    const FileRead file = readRegularFile(path.toStdString(), kLargestFile);
    if (file.missing)
        return QByteArray();
    if (!file.bytes) {
        qWarning("Cannot read %s: %s; it is left as it is", path.constData(), file.problem.c_str());
        return std::nullopt;
    }
    return QByteArray::fromStdString(*file.bytes);
}

bool writeSettingsFile(const QByteArray& path, const QByteArray& bytes) {
    // Where the file is a link, its target is replaced, and the link stays.
    char* target = ::realpath(path.constData(), nullptr);
    const QByteArray real = target != nullptr ? QByteArray(target) : path;
    std::free(target);
    const std::optional<QByteArray> problem = replaceFile(real, bytes);
    if (problem)
        qWarning("Cannot save %s: %s", path.constData(), problem->constData());
    return !problem;
}

} // namespace platform
