// Game-engine benchmarks on a shown game window with silent sound:
//
//   delay   DelayWithEvents() on an idle window, against a bare window doing the
//           same 11000 rounds of event handling
//   click   a block click until the frame that shows its picture, and whether that
//           frame comes before the reveal is counted
//   level   a whole level start apart from its pops, against 5% of the pops' length
//   deal    RandomNumber calls per deal, against the reference counts
//
//   bench_game [--label TEXT] [section...]     (all sections when none is named)

#include "BenchGame.h"

#include "game/cDefault.h"
#include "game/modMain.h"
#include "pictures/PictureLibrary.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;
using bench::elapsedMs;
using bench::median;
using bench::verdict;

QByteArray label;

// CPU time of this thread, in ms: tells real work from waiting and from the
// machine's other load.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void printLine(const char* format, auto... args) {
    std::printf("[%s] ", label.constData());
    std::printf(format, args...);
    std::printf("\n");
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------
// DelayWithEvents

void benchDelay(bench::BenchGame& game) {
    constexpr int kCalls = 20;
    frmMain& window = game.window();
    window.lblLevel_Click(0);

    QWidget bare;
    bare.resize(700, 514);

    // Only one of the two windows is shown at a time, and they take turns, so the
    // machine's drifts fall on both alike.
    std::vector<double> bareMs, gameMs;
    for (int call = 0; call < kCalls; ++call) {
        window.hide();
        bare.show();
        if (!QTest::qWaitForWindowExposed(&bare))
            qWarning("the bare window was not exposed");
        bench::settle(20);
        auto start = Clock::now();
        for (int round = 0; round < 11000; ++round)
            QCoreApplication::processEvents();
        bareMs.push_back(elapsedMs(start));

        bare.hide();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the game window was not exposed");
        bench::settle(20);
        start = Clock::now();
        DelayWithEvents();
        gameMs.push_back(elapsedMs(start));
    }
    const double delayMedian = median(gameMs);
    const double bareMedian = median(bareMs);
    printLine(
        "DelayWithEvents: %.1f ms (median of %d calls, idle shown window), target <= 50 ms %s;"
        " bare window 11000 x processEvents %.1f ms, ratio %.2f",
        delayMedian, kCalls, verdict(delayMedian <= 50.0), bareMedian, delayMedian / bareMedian);
}

// ---------------------------------------------------------------------------
// Click to frame

// Watches one block for the first paint that shows a library picture, and notes
// the turn counter at that moment.
class RevealWatcher : public QObject {
  public:
    explicit RevealWatcher(shell::ImageBox* block) : m_block(block) {
        block->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_block && event->type() == QEvent::Paint && !paintedAt) {
            const int number = m_block->tag().trimmed().toInt();
            const pictures::Picture library = pictures::frmImg.imgMain(number);
            if (library && m_block->picture() == library) {
                paintedAt = Clock::now();
                turnAtPaint = objGame->intTurn;
            }
        }
        return false;
    }

    std::optional<Clock::time_point> paintedAt;
    int turnAtPaint = -1;

  private:
    shell::ImageBox* m_block;
};

void sendClick(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
}

void benchClick(bench::BenchGame& game) {
    constexpr int kClicks = 15;
    frmMain& window = game.window();
    std::vector<double> toFrame, whole;
    int inOrder = 0;
    int unpainted = 0;
    for (int sample = 0; sample < kClicks; ++sample) {
        window.lblLevel_Click(0);
        bench::settle(10);
        shell::ImageBox* block = window.imgMain[static_cast<std::size_t>(1 + sample % 15)];
        const int turnBefore = objGame->intTurn;
        RevealWatcher watcher(block);

        const auto start = Clock::now();
        sendClick(block);
        whole.push_back(elapsedMs(start));

        if (!watcher.paintedAt) {
            ++unpainted;
            continue;
        }
        toFrame.push_back(
            std::chrono::duration<double, std::milli>(*watcher.paintedAt - start).count());
        if (watcher.turnAtPaint == turnBefore && objGame->intTurn == turnBefore + 1)
            ++inOrder;
    }
    printLine("click to frame: %.2f ms (median of %zu clicks on level 1); whole click with its"
              " pause %.1f ms",
              median(toFrame), toFrame.size(), median(whole));
    printLine("click to frame: picture painted before the turn was counted in %d of %d clicks"
              " (no picture painted in %d) %s",
              inOrder, kClicks, unpainted, verdict(inOrder == kClicks));
}

// ---------------------------------------------------------------------------
// Level start

// The length of a PCM WAV file in seconds, from its header.
std::optional<double> wavSeconds(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    auto u32 = [&](qsizetype at) {
        return static_cast<quint32>(static_cast<quint8>(data[at])) |
               static_cast<quint32>(static_cast<quint8>(data[at + 1])) << 8 |
               static_cast<quint32>(static_cast<quint8>(data[at + 2])) << 16 |
               static_cast<quint32>(static_cast<quint8>(data[at + 3])) << 24;
    };
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    for (qsizetype at = 12; at + 8 <= data.size();) {
        const QByteArray id = data.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (id == "fmt " && at + 16 <= data.size())
            byteRate = u32(at + 8 + 8);
        else if (id == "data" && byteRate > 0)
            return static_cast<double>(size) / byteRate;
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

void benchLevel(bench::BenchGame& game) {
    constexpr int kRounds = 10;
    frmMain& window = game.window();
    const QString popPath = QCoreApplication::applicationDirPath() + QStringLiteral("/pop.wav");
    const auto pop = wavSeconds(popPath);
    if (!pop) {
        printLine("level start: cannot read the length of %s; skipped", qPrintable(popPath));
        return;
    }

    const std::array<int, 3> sides = {4, 6, 8};
    std::array<std::vector<double>, 3> ms, cpuMs;
    std::array<int, 3> wrongPops = {0, 0, 0};
    for (int round = 0; round < kRounds; ++round) {
        for (int k = 0; k < 3; ++k) {
            // Every order of levels, so each start clears boards of every size.
            const int level = round % 2 ? 2 - k : (k + round) % 3;
            game.sound.waitingPops = 0;
            const double cpuStart = threadCpuMs();
            const auto start = Clock::now();
            window.lblLevel_Click(level);
            ms[level].push_back(elapsedMs(start));
            cpuMs[level].push_back(threadCpuMs() - cpuStart);
            if (game.sound.waitingPops != sides[level])
                ++wrongPops[level];
            bench::settle(5);
        }
    }
    for (int level = 0; level < 3; ++level) {
        const int n = sides[level];
        const double pops = n * *pop * 1000.0;
        const double budget = 0.05 * pops;
        const double took = median(ms[level]);
        printLine(
            "level start %d (%dx%d): %.1f ms apart from its %d pops (median of %d, CPU %.1f ms);"
            " budget 5%% of %d x %.1f ms = %.1f ms, share %.1f%% %s%s",
            level + 1, n, n, took, n, kRounds, median(cpuMs[level]), n, *pop * 1000.0, budget,
            100.0 * took / pops, verdict(took <= budget),
            wrongPops[level] ? " (some starts played a wrong number of pops)" : "");
    }
}

// ---------------------------------------------------------------------------
// Deal

// Every dealt number lies under exactly two blocks, and no tag is left empty.
bool dealIsSound(const frmMain& window) {
    std::map<int, int> uses;
    for (const shell::ImageBox* block : window.imgMain) {
        bool ok = false;
        const int number = block->tag().toInt(&ok);
        if (!ok || number < 1 || number > 79)
            return false;
        ++uses[number];
    }
    for (const auto& [number, count] : uses) {
        if (count != 2)
            return false;
    }
    return uses.size() * 2 == window.imgMain.size();
}

void benchDeal(bench::BenchGame& game) {
    constexpr int kDeals = 1000;
    frmMain& window = game.window();
    struct Size {
        int index;
        int side;
        double reference;
    };
    for (const Size size : {Size{0, 4, 25.0}, Size{1, 6, 55.0}, Size{2, 8, 105.0}}) {
        window.lblLevel_Click(size.index);
        bench::settle(5);
        int faulty = 0;
        double dealing = 0.0;
        const std::uint64_t readingsBefore = game.clock.readings;
        for (int deal = 0; deal < kDeals; ++deal) {
            const auto start = Clock::now();
            AssignImages(window);
            dealing += elapsedMs(start);
            if (!dealIsSound(window))
                ++faulty;
        }
        const double calls = static_cast<double>(game.clock.readings - readingsBefore) / kDeals;
        const double ratio = calls / size.reference;
        printLine("deal %dx%d: %.1f RandomNumber calls per deal (mean of %d), reference %.0f,"
                  " ratio %.2f (target <= 1.05) %s; %.1f us per deal%s",
                  size.side, size.side, calls, kDeals, size.reference, ratio,
                  verdict(ratio <= 1.05 && faulty == 0), 1000.0 * dealing / kDeals,
                  faulty ? qPrintable(QStringLiteral("; %1 deals were not two-of-each").arg(faulty))
                         : "");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    label = bench::platformLabel().toUtf8();

    QStringList sections = QCoreApplication::arguments().mid(1);
    if (const qsizetype at = sections.indexOf(QStringLiteral("--label")); at >= 0) {
        if (at + 1 < sections.size())
            label = sections[at + 1].toUtf8();
        sections.remove(at, std::min<qsizetype>(2, sections.size() - at));
    }
    if (sections.isEmpty())
        sections = {QStringLiteral("delay"), QStringLiteral("click"), QStringLiteral("level"),
                    QStringLiteral("deal")};

    bench::BenchGame game;
    for (const QString& section : sections) {
        if (section == QLatin1String("delay"))
            benchDelay(game);
        else if (section == QLatin1String("click"))
            benchClick(game);
        else if (section == QLatin1String("level"))
            benchLevel(game);
        else if (section == QLatin1String("deal"))
            benchDeal(game);
        else
            std::fprintf(stderr, "bench_game: unknown section %s\n", qPrintable(section));
    }
    return 0;
}
