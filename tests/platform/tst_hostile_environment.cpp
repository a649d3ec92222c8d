// The game where the environment works against it: special files for the
// settings file or a sound, implausible sounds, a full disk, a file that cannot
// be read, a second writer, stray signals, no display, odd folders. Each row runs
// a game in a child process (the real program, or this test's game on the fake
// platform where the player changes the table) and checks what the player keeps:
// the settings file, a game that answers and ends, its exit status and its words.

#include "platform/SdlSoundOutput.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray kTable = "[general]\nhighscore1=650\nhighscore2=0\nhighscore3=0\n"
                          "highdate1=11-30-2026\nhighdate2=Never\nhighdate3=Never\n";
const QByteArray kCleared = "[general]\nhighscore1=\nhighscore2=\nhighscore3=\n"
                            "highdate1=\nhighdate2=\nhighdate3=\n";
// Another game's best score, or a hand edit, in row 1; and this game's in row 0.
QByteArray otherBest(QByteArray table) {
    return table.replace("highscore2=0", "highscore2=870")
        .replace("highdate2=Never", "highdate2=12-01-2026");
}
QByteArray ownBest(QByteArray table) {
    return table.replace("highscore1=650", "highscore1=920")
        .replace("highdate1=11-30-2026", "highdate1=12-05-2026");
}

// A WAV file of 16-bit mono samples of one level; `rate` as its header claims.
QByteArray wav(quint32 rate, int bytes) {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4), out << quint32(36 + bytes), out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    out.writeRawData("data", 4), out << quint32(bytes);
    return data + QByteArray(bytes, '\x10');
}

// Puts at `path` a FIFO, a link to /dev/zero, or a regular file of these bytes.
void place(const QByteArray& path, const QByteArray& what) {
    std::filesystem::create_directories(path.first(path.lastIndexOf('/')).toStdString());
    ::unlink(path);
    if (what == "fifo" || what == "zero")
        QVERIFY((what == "fifo" ? ::mkfifo(path, 0600) : ::symlink("/dev/zero", path)) == 0);
    else
        QVERIFY((std::ofstream(path.constData(), std::ios::binary) << what.toStdString()).good());
}

QByteArray contents(const QByteArray& path) {
    struct stat status = {};
    if (::lstat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return S_ISFIFO(status.st_mode) ? "(fifo)" : S_ISLNK(status.st_mode) ? "(link)" : "(none)";
    std::ifstream in(path.constData(), std::ios::binary);
    return QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
}

// Runs `child` in a child process and `meanwhile` here; the child's exit status (128 +
// the signal that ended it; 99 when it hung for 5 s) and what it wrote to stderr.
std::pair<int, QByteArray> inChild(const std::function<void()>& child,
                                   const std::function<void(pid_t)>& meanwhile) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {-1, {}};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDERR_FILENO);
        child();
        std::_Exit(98);
    }
    ::close(out[1]);
    meanwhile(pid);
    int status = 0;
    QElapsedTimer clock;
    for (clock.start(); ::waitpid(pid, &status, WNOHANG) != pid; QTest::qWait(10))
        if (clock.elapsed() > 5000 && ::kill(pid, SIGKILL) == 0 &&
            ::waitpid(pid, &status, 0) == pid)
            return {99, {}};
    QFile said;
    said.open(out[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), said.readAll()};
}

// Whether the program has put its own handler for SIGTERM in place.
bool catchesTermination(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const QByteArray mask = text.mid(text.indexOf("SigCgt:") + 7).split('\n').front();
    return text.startsWith("Name:\tduvella\n") &&
           (mask.trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1) & 1);
}

// One way for the game to meet trouble. The settings file at `at` ("@" is the test's
// folder) holds `settings` at the start and `meanwhile` once the game has read it
// (null: none, or no change); "fifo" and "zero" stand for a FIFO and a link to /dev/zero.
struct Case {
    const char* name;
    enum { Program, Nothing, ClearScores, NewBest } run; // the real program, or the player's change
    QByteArray settings, meanwhile;
    QByteArray bdrum; // the start-up sound beside the real program
    QByteArray env;
    int signal; // sent to the real program once it is up, before SIGTERM; -1: nothing
    int limit;  // the largest file the game may write
    int status;
    QByteArray at, kept;
    QString says; // the whole of stderr, as a pattern
};

const std::vector<Case>& cases() {
    const QByteArray file = "@/config/Duvella/Duvella 6.2.ini", no, drum = wav(22050, 13230);
    const QByteArray large = kTable + "; " + QByteArray(5000, 'x') + '\n';
    const QString silent = "^$", full = "^Cannot save [^\n]*/Duvella 6.2.ini: File too large\n$",
                  unread = "^Cannot read [^\n]*: not a regular file; it is left as it is\n$";
    static const std::vector<Case> all = {
        {"settings file is a FIFO", Case::Program, "fifo", no, drum, no, 0, 0, 0, file, "(fifo)",
         unread},
        {"settings file links to /dev/zero", Case::Program, "zero", no, drum, no, 0, 0, 0, file,
         "(link)", unread},
        {"start-up sound is a FIFO", Case::Program, kTable, no, "fifo", no, 0, 0, 0, file, kTable,
         silent},
        {"start-up sound links to /dev/zero", Case::Program, kTable, no, "zero", no, 0, 0, 0, file,
         kTable, silent},
        {"start-up sound claims 1 Hz", Case::Program, kTable, no, wav(1, 2 << 20), no, 0, 0, 0,
         file, kTable, silent},
        {"sound heard from a folder that is not UTF-8", Case::Program, kTable, no, drum,
         "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=@/heard.raw", 0, 0, 0, file, kTable, silent},
        {"SIGPIPE", Case::Program, kTable, no, drum, no, SIGPIPE, 0, 0, file, kTable, silent},
        {"SIGUSR1", Case::Program, kTable, no, drum, no, SIGUSR1, 0, 0, file, kTable, silent},
        {"no display", Case::Program, kTable, no, drum, "QT_QPA_PLATFORM=xcb DISPLAY=:987", -1, 0,
         1, file, kTable,
         "^duvella: no display to show the window on \\(could not connect to display :987\\)\n$"},
        {"full disk", Case::ClearScores, kTable, no, no, no, 0, 16, 0, file, kTable, full},
        {"full disk, part written", Case::ClearScores, large, no, no, no, 0, 4096, 0, file, large,
         full},
        {"unreadable at start, readable at closing", Case::ClearScores, "fifo", kTable, no, no, 0,
         0, 0, file, kTable, unread},
        {"another game's best score meanwhile", Case::Nothing, kTable, otherBest(kTable), no, no, 0,
         0, 0, file, otherBest(kTable), silent},
        {"a best score of each game", Case::NewBest, kTable, otherBest(kTable), no, no, 0, 0, 0,
         file, ownBest(otherBest(kTable)), silent},
        {"relative XDG_CONFIG_HOME", Case::ClearScores, no, no, no, "XDG_CONFIG_HOME=relcfg", 0, 0,
         0, "@/home/.config/Duvella/Duvella 6.2.ini", kCleared, silent},
        {"config folder cannot be made", Case::ClearScores, no, no, no,
         "XDG_CONFIG_HOME=@/file/cfg", 0, 0, 0, "@/file/cfg/Duvella/Duvella 6.2.ini", "(none)",
         "^Cannot save [^\n]*: cannot make folder [^\n]*/file: Not a directory\n$"},
        {"config folder that is not UTF-8", Case::ClearScores, no, no, no,
         "XDG_CONFIG_HOME=@/cfg\xff", 0, 0, 0, "@/cfg\xff/Duvella/Duvella 6.2.ini", kCleared,
         silent},
    };
    return all;
}

} // namespace

class HostileEnvironmentTest : public QObject {
    Q_OBJECT
  private slots:
    void playerKeepsTheTable_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << int(i);
    }
    void playerKeepsTheTable();
};

void HostileEnvironmentTest::playerKeepsTheTable() {
    QFETCH(int, index);
    const auto& [name, run, settings, meanwhile, bdrum, env, signal, limit, status, at, kept,
                 says] = cases()[std::size_t(index)];
    QTemporaryDir dir;
    const QByteArray here = QFile::encodeName(dir.path()),
                     file = here + "/config/Duvella/Duvella 6.2.ini";
    const auto resolved = [&](QByteArray text) { return text.replace('@', here); };
    // The real program lies in a folder whose name is not valid UTF-8.
    const QByteArray program = here + "/prog\xff/duvella";
    const std::filesystem::path folder = program.first(program.lastIndexOf('/')).toStdString();
    const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(here.toStdString()); });
    if (run == Case::Program) {
        place(QByteArray::fromStdString(folder / "bdrum.wav"), bdrum);
        std::filesystem::copy_file(
            QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/duvella",
            folder / "duvella");
    }
    place(here + "/file", "where a folder should be");
    if (!settings.isNull())
        place(file, settings);
    std::optional<testing::GameFixture> game;
    if (run != Case::Program)
        game.emplace();
    const auto [ended, said] = inChild(
        [&] {
            ::chdir(here);
            qInstallMessageHandler(nullptr); // the game's warnings to stderr, as the program's go
            for (const QByteArray& setting :
                 resolved("XDG_CONFIG_HOME=@/config HOME=@/home XDG_RUNTIME_DIR=@ " + env)
                     .split(' '))
                if (const qsizetype eq = setting.indexOf('='); eq > 0)
                    qputenv(setting.first(eq), setting.sliced(eq + 1));
            if (run == Case::Program)
                ::execl(program, "duvella", nullptr);
            game->restart();
            if (!meanwhile.isNull())
                place(file, meanwhile);
            const rlimit largest{rlim_t(limit), rlim_t(limit)};
            if (limit > 0 && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR)
                ::setrlimit(RLIMIT_FSIZE, &largest);
            if (run == Case::ClearScores)
                testing::click(game->window().cmdClear);
            if (run == Case::NewBest) // level 1 won without a mistake: 920
                for (game->startLevel(0); const auto& [first, second] : game->pairs())
                    game->reveal(first), game->reveal(second);
            game->window().close();
            std::_Exit(game->platform.processEnds == 1 ? 0 : 97);
        },
        [&](pid_t pid) {
            if (run != Case::Program || signal < 0)
                return;
            QTRY_VERIFY_WITH_TIMEOUT(catchesTermination(pid), 5000);
            if (env.contains("disk")) // the drum's samples are heard
                QTRY_VERIFY_WITH_TIMEOUT(
                    contents(here + "/heard.raw").contains(QByteArray(64, '\x10')), 5000);
            if (signal > 0)
                ::kill(pid, signal), QTest::qWait(100);
            ::kill(pid, SIGTERM);
        });
    QCOMPARE(ended, status);
    QCOMPARE(contents(resolved(at)), kept);
    QVERIFY2(QRegularExpression(says).match(QString::fromLocal8Bit(said)).hasMatch(), said);
    // A waiting play of the sound ends at once, or with the sound.
    if (run == Case::Program) {
        const auto waitingPlay = inChild(
            [&] {
                QElapsedTimer clock;
                clock.start();
                platform::SdlSoundOutput().play(folder / "bdrum.wav", true);
                std::_Exit(clock.elapsed() < 1000 ? 0 : 96);
            },
            [](pid_t) {});
        QCOMPARE(waitingPlay.first, 0);
    }
}

QTEST_MAIN(HostileEnvironmentTest)
#include "tst_hostile_environment.moc"
