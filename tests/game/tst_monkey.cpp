#include "game/cDefault.h"
#include "support/GameFixture.h"

#include <QtTest>
#include <map>
#include <random>

using testing::GameFixture;

namespace {

// Replays the sound log to count the reveals since the last level start: a
// level start ends with "proceed.wav"; a click starts with "zhoop.wav" and is
// refused when "denied.wav" or "over.wav" follows at once (a refusal never lets
// another click in between).
int revealsSinceLevelStart(const QStringList& log) {
    int reveals = 0;
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (log[i] == "proceed.wav") {
            reveals = 0;
        } else if (log[i] == "zhoop.wav") {
            const QString next = i + 1 < log.size() ? log[i + 1] : QString();
            reveals += next != "denied.wav" && next != "over.wav";
        }
    }
    return reveals;
}

std::vector<int> visibleBlocks(const frmMain& window) {
    std::vector<int> indices;
    for (int i = 0; i < static_cast<int>(window.imgMain.size()); ++i) {
        if (window.imgMain[i]->isVisible())
            indices.push_back(i);
    }
    return indices;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT
  private slots:
    void randomClicksKeepTheGameConsistent();
};

void MonkeyTest::randomClicksKeepTheGameConsistent() {
    GameFixture game;
    frmMain& w = game.window();
    std::mt19937 random(20261206);
    auto chance = [&](int percent) { return int(random() % 100) < percent; };
    auto pick = [&](const std::vector<int>& from) { return from[random() % from.size()]; };

    testing::click(w.lblLevel[0]);
    for (int event = 0; event < 800; ++event) {
        const std::vector<int> visible = visibleBlocks(w);
        if (visible.empty() || chance(4)) {
            testing::click(w.lblLevel[random() % 3]);
        } else {
            // Some clicks arrive while another click pauses, some are level clicks.
            if (chance(15))
                testing::postClick(w.imgMain[pick(visible)]);
            if (chance(2))
                testing::postClick(w.lblLevel[random() % 3]);
            testing::click(w.imgMain[pick(visible)]);
        }
        QCoreApplication::processEvents();

        const QString context = QString("event %1").arg(event);
        // Every dealt number lies on exactly two blocks.
        std::map<QString, int> counts;
        for (const QString& tag : testing::boardTags(w))
            ++counts[tag];
        for (const auto& [tag, count] : counts)
            QVERIFY2(count == 2 && tag.toInt() >= 1 && tag.toInt() <= 79, qPrintable(context));
        // A turn is never left half resolved, and only its first block is in view.
        QVERIFY2(objGame->intTurn == 0 || objGame->intTurn == 1, qPrintable(context));
        std::vector<int> shown;
        for (int i : visibleBlocks(w)) {
            if (w.imgMain[i]->picture() != w.imgDefault->picture())
                shown.push_back(i);
        }
        if (objGame->intTurn == 0)
            QVERIFY2(shown.empty(), qPrintable(context));
        else
            QVERIFY2(shown == std::vector<int>{objGame->intFirstBlockIndex}, qPrintable(context));
        // The score is 1000 less 10 for each second reveal since the level start.
        const int reveals = revealsSinceLevelStart(game.platform.sound.names());
        QCOMPARE(w.lblCurrentScore->caption(), QString::number(1000 - 10 * (reveals / 2)));
    }
}

QTEST_MAIN(MonkeyTest)
#include "tst_monkey.moc"
