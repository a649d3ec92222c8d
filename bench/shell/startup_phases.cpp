// Where the game's start-up spends its time and memory: the steps of main() and
// Main() taken one at a time, each timed (clock and CPU) with the growth of the
// resident set. The program starts itself afresh for every run, so every run pays
// every first-time cost, and prints the medians.
//
//   startup_phases [--runs N] [--label TEXT]
//
// The font database is set up on its own here, ahead of the window; the program
// itself does it inside the window's construction.

#include "BenchSupport.h"
#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "platform/SystemServices.h"
#include "shell/Fonts.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMetaObject>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::median;

constexpr const char* kStartVariable = "DUVELLA_PHASES_START_NS";

double clockMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

int mappedLibraries() {
    std::FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return 0;
    std::map<std::string, bool> seen;
    char line[1024];
    while (std::fgets(line, sizeof line, maps)) {
        const char* path = std::strchr(line, '/');
        if (path && std::strstr(path, ".so"))
            seen[path] = true;
    }
    std::fclose(maps);
    return static_cast<int>(seen.size());
}

// ---- the child: one start-up, one line per step --------------------------------

double g_wall = 0.0;
double g_cpu = 0.0;
long g_rss = 0;

void step(const char* name) {
    const double wall = clockMs(CLOCK_MONOTONIC);
    const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    const long rss = bench::procStatusKb("VmRSS:");
    std::printf("%s\t%.3f\t%.3f\t%ld\n", name, wall - g_wall, cpu - g_cpu, rss - g_rss);
    g_wall = wall;
    g_cpu = cpu;
    g_rss = rss;
}

class FirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_seen = true;
            step("event loop until the first paint");
            QMetaObject::invokeMethod(
                qApp,
                [] {
                    step("first paint and flush");
                    std::printf("libraries mapped\t%d\t0\t0\n", mappedLibraries());
                    std::printf("peak resident\t%ld\t0\t0\n", bench::procStatusKb("VmHWM:"));
                    std::fflush(stdout);
                    _exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    bool m_seen = false;
};

int runChild(int argc, char* argv[], const char* startNs) {
    g_wall = std::strtod(startNs, nullptr) / 1e6;
    std::printf("libraries mapped at main\t%d\t0\t0\n", mappedLibraries());
    step("exec to main (loading libraries)");

    QApplication app(argc, argv);
    app.installEventFilter(new FirstPaint(&app));
    QApplication::setApplicationName(QStringLiteral("Duvella"));
    QApplication::setDesktopFileName(QStringLiteral("duvella"));
    step("QApplication");

    shell::installFontSubstitutes();
    platform::installSystemServices();
    step("services");

    pictures::frmImg.load();
    step("picture library (frmImg.load)");
    QFontDatabase::families();
    step("font database (fontconfig)");
    auto* window = new frmMain;
    step("window construction (new frmMain)");
    window->Form_Load();
    step("Form_Load (scores, centring, bdrum.wav)");
    window->show();
    step("show");
    return QApplication::exec();
}

// ---- the parent: runs the child, gathers the medians ------------------------------

struct Figures {
    std::vector<double> wall, cpu, rss;
};

} // namespace

int main(int argc, char* argv[]) {
    if (const char* startNs = std::getenv(kStartVariable))
        return runChild(argc, argv, startNs);

    int runs = 10;
    const char* label = std::getenv("QT_QPA_PLATFORM");
    label = label ? label : "default";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--label") == 0)
            label = argv[i + 1];
    }

    std::vector<std::string> order;
    std::map<std::string, Figures> figures;
    for (int run = 0; run <= runs; ++run) {
        int out[2];
        if (pipe(out) != 0)
            return 1;
        const double start = clockMs(CLOCK_MONOTONIC);
        const pid_t child = fork();
        if (child == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            if (std::getenv("DUVELLA_BENCH_VERBOSE") == nullptr)
                std::freopen("/dev/null", "w", stderr);
            char startText[64];
            std::snprintf(startText, sizeof startText, "%.0f", start * 1e6);
            setenv(kStartVariable, startText, 1);
            execl("/proc/self/exe", argv[0], static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        std::string text;
        char buffer[1024];
        for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        close(out[0]);
        waitpid(child, nullptr, 0);
        if (run == 0)
            continue; // fills the caches; not counted
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            const std::string line = text.substr(at, end - at);
            at = end == std::string::npos ? text.size() : end + 1;
            const std::size_t tab = line.find('\t');
            if (tab == std::string::npos)
                continue;
            const std::string name = line.substr(0, tab);
            double wall = 0, cpu = 0, rss = 0;
            if (std::sscanf(line.c_str() + tab + 1, "%lf\t%lf\t%lf", &wall, &cpu, &rss) != 3)
                continue;
            if (!figures.count(name))
                order.push_back(name);
            Figures& f = figures[name];
            f.wall.push_back(wall);
            f.cpu.push_back(cpu);
            f.rss.push_back(rss);
        }
    }

    std::printf("[%s] start-up steps of the game (median of %d starts):\n", label, runs);
    double wallSum = 0, cpuSum = 0;
    for (const std::string& name : order) {
        const Figures& f = figures[name];
        if (name.rfind("libraries", 0) == 0) {
            std::printf("[%s]   %-42s %5.0f\n", label, name.c_str(), median(f.wall));
        } else if (name == "peak resident") {
            std::printf("[%s]   %-42s %7.1f MB\n", label, name.c_str(), median(f.wall) / 1024.0);
        } else {
            wallSum += median(f.wall);
            cpuSum += median(f.cpu);
            std::printf("[%s]   %-42s %7.1f ms  CPU %6.1f ms  resident %+6.1f MB\n", label,
                        name.c_str(), median(f.wall), median(f.cpu), median(f.rss) / 1024.0);
        }
    }
    std::printf("[%s]   %-42s %7.1f ms  CPU %6.1f ms\n", label, "sum", wallSum, cpuSum);
    return 0;
}
