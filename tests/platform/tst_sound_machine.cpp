// The sound output's states and transitions, on a clock of the test's own. Each
// scenario is a list of events, each with what the output must then be and do:
// the device's state, the worker's actions, and how long a play waits for its
// sound to start (none: it keeps the tempo in silence at once).

#include "platform/SoundMachine.h"

#include <QtTest>

using namespace platform::sound;

namespace {

// arg: Play: waits; Opened: ok; Started, Checked: heard until (ms), -1 when lost.
struct Scripted {
    Event::Kind kind;
    int atMs;
    int arg;
    const char* expected;
};
using Scenario = std::vector<Scripted>;

QString ms(Time t) {
    return QString::number(
        std::chrono::duration_cast<std::chrono::milliseconds>(t - Time{}).count());
}

QString describe(const State& state, const Actions& actions) {
    static const char* const names[] = {"Untried", "Opening", "Open",
                                        "Quiet",   "Failed",  "Retrying"};
    QStringList parts{names[int(state.device)]};
    for (const auto& [on, name] : {std::pair{actions.open, "open"},
                                   {actions.play, "play"},
                                   {actions.quiet, "quiet"},
                                   {actions.close, "close"},
                                   {actions.check, "check"}})
        if (on)
            parts << name;
    if (actions.awaitStartUntil)
        parts << "await " + ms(*actions.awaitStartUntil);
    if (actions.wakeAt)
        parts << "wake " + ms(*actions.wakeAt);
    return parts.join(' ');
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class SoundMachineTest : public QObject {
    Q_OBJECT

  private slots:
    void transitions_data() {
        QTest::addColumn<Scenario>("scenario");
        const auto P = Event::Play, O = Event::Opened, S = Event::Started, T = Event::Tick,
                   C = Event::Checked;
        // One row of events to a line, as the scenarios read.
        // clang-format off
        QTest::newRow("a waiting play opens the device, waits until heard, then it goes quiet")
            << Scenario{{P, 0, 1, "Opening open await 2000"}, {O, 30, 1, "Open play"},
                        {S, 32, 120, "Open wake 115"}, {T, 115, 0, "Open check"},
                        {C, 116, 135, "Open wake 130"}, {T, 130, 0, "Open check"},
                        {C, 131, 130, "Open wake 2135"}, {T, 2134, 0, "Open wake 2135"},
                        {T, 2135, 0, "Quiet quiet"}, {P, 9000, 1, "Quiet play await 11000"},
                        {S, 9004, 9100, "Open wake 9095"}, {T, 9095, 0, "Open check"},
                        {C, 9096, 99999, "Open wake 11095"}};
        QTest::newRow("an async play before the window is up waits for the device")
            << Scenario{{P, 0, 0, "Untried"}, {Event::Start, 100, 0, "Opening open"},
                        {P, 150, 0, "Opening"}, {O, 300, 1, "Open play"}};
        QTest::newRow("a sound the device opened too late for is dropped")
            << Scenario{{Event::Start, 0, 0, "Opening open"}, {P, 10, 0, "Opening"},
                        {O, 2500, 1, "Open wake 4500"}};
        QTest::newRow("an open that hangs holds plays only until the limit")
            << Scenario{{Event::Start, 0, 0, "Opening open"}, {P, 500, 1, "Opening await 2000"},
                        {P, 2000, 1, "Opening"}, {O, 60000, 1, "Open wake 62000"}};
        QTest::newRow("a failed device is silent, then retried in silence after the interval")
            << Scenario{{Event::Start, 0, 0, "Opening open"}, {O, 10, 0, "Failed"},
                        {P, 5009, 1, "Failed"}, {P, 5010, 1, "Retrying open"},
                        {P, 5050, 1, "Retrying"}, {O, 5100, 1, "Open wake 7100"},
                        {P, 5200, 1, "Open play await 7200"}};
        QTest::newRow("a lost device is closed and tried again later")
            << Scenario{{P, 0, 1, "Opening open await 2000"}, {O, 30, 1, "Open play"},
                        {S, 40, -1, "Failed close"}, {P, 100, 1, "Failed"},
                        {P, 5040, 0, "Retrying open"}, {O, 5050, 0, "Failed"}};
        QTest::newRow("a play while the worker is busy replaces the one before and follows it")
            << Scenario{{Event::Start, 0, 0, "Opening open"}, {O, 10, 1, "Open wake 2010"},
                        {P, 100, 0, "Open play"}, {P, 105, 1, "Open await 2100"},
                        {S, 110, 300, "Open play"}, {S, 112, 400, "Open wake 395"},
                        {T, 395, 0, "Open check"}, {P, 401, 1, "Open await 2395"},
                        {C, 402, 401, "Open play"}, {S, 403, 470, "Open wake 465"}};
        QTest::newRow("after quit nothing happens")
            << Scenario{{P, 0, 1, "Opening open await 2000"}, {Event::Quit, 10, 0, "Opening close"},
                        {O, 20, 1, "Opening"}, {P, 30, 1, "Opening"}};
        // clang-format on
    }

    void transitions() {
        QFETCH(Scenario, scenario);
        State state;
        std::uint64_t plays = 0, handed = 0;
        for (const Scripted& step : scenario) {
            Event event{step.kind, Time{} + std::chrono::milliseconds(step.atMs)};
            // A Started event answers the sound the worker was last told to play.
            event.number = step.kind == Event::Play ? ++plays : handed;
            event.wait = event.ok = step.arg == 1;
            if ((step.kind == Event::Started || step.kind == Event::Checked) && step.arg >= 0)
                event.heardUntil = Time{} + std::chrono::milliseconds(step.arg);
            const auto [next, actions] = platform::sound::next(state, event, {});
            state = next;
            if (actions.play)
                handed = plays;
            const QString at = QString(" @%1 ms").arg(step.atMs);
            QCOMPARE(describe(state, actions) + at, step.expected + at);
        }
    }
};

QTEST_APPLESS_MAIN(SoundMachineTest)
#include "tst_sound_machine.moc"
