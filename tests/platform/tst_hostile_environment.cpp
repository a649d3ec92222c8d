// The game where its surroundings work against it: special files for the settings
// file or a sound, implausible sounds, a full disk, a file that cannot be read, a
// second writer, stray signals, no display, odd folders. Each row runs a game in a
// child process (the real program, or this test's game on the fake platform where the
// player changes the table) and checks what the player keeps: the settings file, a
// game that ends when asked, its exit status and all it says.

#include "platform/DeviceSoundOutput.h"
#include "support/GameFixture.h"

#include <QtEndian>
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
const QByteArray kCleared =
    "[general]\nhighscore1=\nhighscore2=\nhighscore3=\nhighdate1=\nhighdate2=\nhighdate3=\n";
// Another game's best score (or a hand edit) in row 1; and then this game's in row 0.
const QByteArray kOther = QByteArray(kTable).replace("highscore2=0", "highscore2=870");
const QByteArray kBoth = QByteArray(kOther).replace("1=650", "1=920").replace("11-30", "12-05");

// A WAV file of `bytes` of 16-bit mono samples; `rate` as its header claims. The
// header's words: "RIFF", size, "WAVE", "fmt ", 16, PCM mono, rate, bytes a second,
// 2-byte frames of 16 bits, "data", size; in the host's order, little-endian here.
QByteArray wav(quint32 rate, quint32 bytes) {
    const quint32 header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,   0x10001,
                              rate,       rate * 2,   0x100002,   0x61746164, bytes};
    return QByteArray(reinterpret_cast<const char*>(header), sizeof header) + QByteArray(bytes, 1);
}

// Puts at `path` a FIFO, a link to /dev/zero, or a regular file of these bytes.
void place(const QByteArray& path, const QByteArray& what) {
    std::filesystem::create_directories(path.first(path.lastIndexOf('/')).toStdString());
    ::unlink(path);
    if (what == "fifo" || what == "zero")
        QVERIFY((what == "fifo" ? ::mkfifo(path, 0600) : ::symlink("/dev/zero", path)) == 0);
    else // a mode of the player's own, which a rewritten file keeps
        QVERIFY((std::ofstream(path, std::ios::binary) << what.toStdString()).good() &&
                ::chmod(path, 0640) == 0);
}

QByteArray contents(const QByteArray& path) {
    struct stat status = {};
    if (::lstat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return S_ISFIFO(status.st_mode) ? "(fifo)" : S_ISLNK(status.st_mode) ? "(link)" : "(none)";
    std::ifstream in(path.constData(), std::ios::binary);
    return QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
}

// Runs `child` in a child process and `meanwhile` here: the child's exit status (128 +
// the signal that ended it; 99 when it hung for 5 s) and all it wrote to stderr.
std::pair<int, QByteArray> inChild(const std::function<void()>& child,
                                   const std::function<void(pid_t)>& meanwhile) {
    int out[2] = {-1, -1};
    ::pipe2(out, O_CLOEXEC);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::dup2(out[1], STDERR_FILENO), child(), std::_Exit(98);
    ::close(out[1]);
    meanwhile(pid);
    int status = 0;
    QElapsedTimer clock;
    for (clock.start(); ::waitpid(pid, &status, WNOHANG) != pid; QTest::qWait(10))
        if (clock.elapsed() > 5000)
            return ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0), std::pair(99, QByteArray());
    QFile said;
    said.open(out[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), said.readAll()};
}

// The real program, or this test's game and what its player changes.
enum Run { Program, Nothing, ClearScores, NewBest };
// The settings file at `at` ("@" is the test's folder) holds `settings` at the start and
// `meanwhile` once the game has read it (null: none, or no change); "fifo" and "zero"
// stand for a FIFO and a link to /dev/zero. `bdrum` is the real program's start-up
// sound, `limit` the largest file the game may write, `says` all of stderr, as a pattern.
struct Case {
    const char* name;
    Run run;
    QByteArray settings, meanwhile, bdrum, env;
    int limit, status;
    QByteArray at, kept;
    QString says;
};

const std::vector<Case>& cases() {
    const QByteArray no, drum = wav(22050, 13230), large = kTable + QByteArray(5000, ';') + '\n',
                         file = "@/config/Duvella/Duvella 6.2.ini";
    const QString ok = "^$", full = "^Cannot save [^\n]*/Duvella 6.2.ini: File too large\n$",
                  unread = "^Cannot read [^\n]*: not a regular file; it is left as it is\n$";
    static const std::vector<Case> all = {
        {"FIFOs for settings and sound", Program, "fifo", no, "fifo", no, 0, 0, file, "(fifo)",
         unread},
        {"links to /dev/zero", Program, "zero", no, "zero", no, 0, 0, file, "(link)", unread},
        {"sound claims 1 Hz", Program, kTable, no, wav(1, 2 << 20), no, 0, 0, file, kTable, ok},
        {"sound from a folder that is not UTF-8", Program, kTable, no, drum,
         "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=@/heard.raw", 0, 0, file, kTable, ok},
        {"no display", Program, kTable, no, drum, "QT_QPA_PLATFORM=xcb DISPLAY=:987", 0, 1, file,
         kTable, "^duvella: no display [^\n]*\\(could not connect to display :987\\)\n$"},
        {"full disk", ClearScores, kTable, no, no, no, 16, 0, file, kTable, full},
        {"full disk, part written", ClearScores, large, no, no, no, 4096, 0, file, large, full},
        {"unreadable at start", ClearScores, "fifo", kTable, no, no, 0, 0, file, kTable, unread},
        {"one line, no line end", ClearScores, "[general]", no, no, no, 0, 0, file, kCleared.chopped(1), ok},
        {"another game's best score", Nothing, kTable, kOther, no, no, 0, 0, file, kOther, ok},
        {"a best score of each game", NewBest, kTable, kOther, no, no, 0, 0, file, kBoth, ok},
        {"relative XDG_CONFIG_HOME", ClearScores, no, no, no, "XDG_CONFIG_HOME=relcfg", 0, 0,
         "@/home/.config/Duvella/Duvella 6.2.ini", kCleared, ok},
        {"config folder cannot be made", ClearScores, no, no, no, "XDG_CONFIG_HOME=/dev/null", 0, 0,
         "/dev/null/Duvella/Duvella 6.2.ini", "(none)",
         "^Cannot save [^\n]*: cannot make folder /dev/null: Not a directory\n$"},
        {"config folder not UTF-8", ClearScores, no, no, no, "XDG_CONFIG_HOME=@/\xff", 0, 0,
         "@/\xff/Duvella/Duvella 6.2.ini", kCleared, ok},
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
    const auto& [name, run, settings, meanwhile, bdrum, env, limit, status, at, kept, says] =
        cases()[std::size_t(index)];
    QTemporaryDir dir;
    const QByteArray here = QFile::encodeName(dir.path()), file = QByteArray(at).replace('@', here);
    const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(here.toStdString()); });
    // The real program lies in a folder whose name is not valid UTF-8.
    const std::string program = (here + "/prog\xff/duvella").toStdString(),
                      sound = (here + "/prog\xff/bdrum.wav").toStdString();
    if (run == Program) {
        place(QByteArray::fromStdString(sound), bdrum);
        std::filesystem::copy_file(
            QCoreApplication::applicationDirPath().toStdString() + "/duvella", program);
    }
    if (!settings.isNull())
        place(file, settings);
    testing::GameFixture game;
    const auto [ended, said] = inChild(
        [&] {
            ::chdir(here), ::umask(022);
            if (run == Program) // a waiting play of its start-up sound must not hang
                platform::DeviceSoundOutput().play(sound, true);
            // The game's warnings go to stderr, as the program's do.
            qInstallMessageHandler(nullptr);
            for (QByteArray set :
                 ("XDG_CONFIG_HOME=@/config HOME=@/home XDG_RUNTIME_DIR=@ " + env).split(' '))
                if (const qsizetype eq = set.replace('@', here).indexOf('='); eq > 0)
                    qputenv(set.first(eq), set.sliced(eq + 1));
            if (run == Program)
                ::execl(program.c_str(), "duvella", nullptr);
            game.restart();
            if (!meanwhile.isNull())
                place(file, meanwhile);
            if (const rlimit largest{rlim_t(limit), rlim_t(limit)};
                limit > 0 && std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR)
                ::setrlimit(RLIMIT_FSIZE, &largest);
            if (run == ClearScores)
                testing::click(game.window().cmdClear);
            if (run == NewBest) // level 1 won without a mistake: 920
                for (game.click(game.window().lblLevel[0]); const auto& [first, second] : game.pairs())
                    game.click(game.block(first)), game.click(game.block(second));
            game.transcript();
            game.window().close();
            std::_Exit(game.transcript().endsWith("end") ? 0 : 97);
        },
        [&](pid_t pid) {
            if (run != Program || status != 0)
                return;
            QTRY_VERIFY(testing::catchesSignal(pid, SIGUSR1));
            if (env.contains("disk")) // the drum's samples are heard
                QTRY_VERIFY(contents(here + "/heard.raw").contains(QByteArray(64, 1)));
            // A stray SIGPIPE changes nothing; SIGUSR1 closes the game as its close box does.
            ::kill(pid, SIGPIPE), QTest::qWait(50), ::kill(pid, SIGUSR1);
        });
    QCOMPARE(ended, status);
    QCOMPARE(contents(file), kept);
    // A file made anew gets 0666 less the umask, like any other.
    if (struct stat made = {}; ::lstat(file, &made) == 0 && S_ISREG(made.st_mode))
        QCOMPARE(made.st_mode & 07777, settings.isNull() ? 0644u : 0640u);
    QVERIFY2(QRegularExpression(says).match(QString::fromLocal8Bit(said)).hasMatch(), said);
}

QTEST_MAIN(HostileEnvironmentTest)
#include "tst_hostile_environment.moc"
