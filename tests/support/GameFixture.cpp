#include "support/GameFixture.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "shell/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

namespace testing {

namespace {

// The short names of the captions that change in play, and the blocks' changes.
// clang-format off
const QHash<QString, QString> kNames{
    {"lblCurrentScore", "score"}, {"lblCurrentLevel", "level"}, {"lblHighScore(0)", "best1"},
    {"lblHighScore(1)", "best2"}, {"lblHighScore(2)", "best3"}, {"lblHighDate(0)", "date1"},
    {"lblHighDate(1)", "date2"}, {"lblHighDate(2)", "date3"},
    {"-", "hide"}, {"c", "cover"}, {"o", "open"}, {"x", "odd"}};
// clang-format on
// Bytes of a file as text: printable ASCII as it is, everything else (and "%") as %XX.
const QByteArray kPrintable = " !\"#$&'()*+,/:;<=>?@[\\]^`{|}";

} // namespace

GameFixture::GameFixture() {
    shell::installFontSubstitutes();
    // The settings file goes where the program puts it, under a config folder of our own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    pictures::frmImg.load();
    platform.perceived = [this](const QString& event) {
        noteChanges();
        m_events << event;
        if (during)
            during(event);
    };
    restart();
    transcript();
}

void GameFixture::restart(const std::optional<QByteArray>& file) {
    if (file) {
        QDir().mkpath(QFileInfo(settingsFile()).path());
        QFile out(settingsFile());
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(*file) == file->size());
    }
    m_window.reset();
    objGame.release();
    m_window = std::make_unique<frmMain>();
    m_blocks.clear();
    m_shown.clear();
    noteChanges(); // what the window shows before it is loaded
    m_events.clear();
    m_window->Form_Load();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

GameFixture::State GameFixture::state() {
    frmMain& w = window();
    State state;
    for (const QLabel* label : w.findChildren<QLabel*>())
        state.emplace(kNames.value(label->objectName(), label->objectName()), label->text());
    state.emplace("bar", QString::number(w.Shape1->height()));
    state.emplace("window", w.isVisible() ? placed(w, w.frameGeometry().topLeft()) : "hidden");
    const QWidget* focus = QApplication::focusWidget();
    state.emplace("focus", focus ? focus->objectName() : "-");
    QFile file(settingsFile());
    state.emplace("file", file.open(QIODevice::ReadOnly)
                              ? QString::fromLatin1(file.readAll().toPercentEncoding(kPrintable))
                              : "-");
    return state;
}

void GameFixture::noteChanges() {
    frmMain& w = window();
    // A block is "-" hidden, "c" covered, "o" showing its own library picture or "x" another.
    std::vector<std::pair<QString, int>> changes; // blocks gone first, then by index
    std::vector<QString> was = std::exchange(m_blocks, {});
    was.resize(std::max(was.size(), w.imgMain.size()), "-");
    for (int i = 0; i < int(was.size()); ++i) {
        shell::ImageBox* b = i < int(w.imgMain.size()) ? block(i) : nullptr;
        const bool fresh = b && !b->property("transcribed").toBool(); // made since
        if ((!b || fresh) && was[i] != "-")
            changes.emplace_back("drop", i), was[i] = "-";
        if (!b)
            continue;
        b->setProperty("transcribed", true);
        const pictures::Picture& picture = b->picture();
        m_blocks.push_back(b->isHidden()                        ? "-"
                           : picture == w.imgDefault->picture() ? "c"
                           : picture && picture == pictures::frmImg.imgMain(b->tag().toInt())
                               ? "o"
                               : "x");
        if (m_blocks[i] != was[i])
            changes.emplace_back(was[i] == "-" && m_blocks[i] == "c" ? "show" : kNames[m_blocks[i]],
                                 i);
    }
    std::stable_partition(changes.begin(), changes.end(),
                          [](const auto& change) { return change.first == "drop"; });
    // One event per verb over neighbouring blocks: "show 1-3", "hide a A".
    QString verb;
    for (const auto& [what, i] : changes) {
        const QString item = names.contains(i) ? names.at(i) : QString::number(i);
        const QString last =
            m_events.isEmpty() ? "" : m_events.back().section(QRegularExpression("[ -]"), -1);
        if (std::exchange(verb, what) != what)
            m_events << what + ' ' + item;
        else if (!names.contains(i) && !names.contains(i - 1) && last == QString::number(i - 1))
            m_events.back() = m_events.back().section('-', 0, 0) + '-' + item;
        else
            m_events.back() += ' ' + item;
    }
    for (const auto& [key, value] : state())
        if (const auto [at, added] = m_shown.try_emplace(key, value); added || at->second != value)
            m_events << key + '=' + (at->second = value);
}

QString GameFixture::transcript() {
    noteChanges();
    QStringList events = std::exchange(m_events, {});
    // Nothing is perceived after the end of the process, which the fake only notes.
    return events.mid(0, events.indexOf("end") + 1 ?: events.size()).join(", ");
}

QString GameFixture::click(QWidget* widget, int clicks) {
    testing::click(widget, Delivery::Now, clicks);
    return transcript();
}

std::vector<std::pair<int, int>> GameFixture::pairs() {
    std::map<QString, std::vector<int>> blocks;
    for (int i = 0; i < int(window().imgMain.size()); ++i)
        blocks[block(i)->tag()].push_back(i);
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [tag, at] : blocks)
        pairs.emplace_back(at.front(), at.back());
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

void GameFixture::clickWhile(QWidget* outer, const std::function<void()>& inside) {
    const auto previous = during;
    during = [&, first = true](const QString& event) mutable {
        if (std::exchange(first, false))
            inside();
        if (previous)
            previous(event);
    };
    testing::click(outer);
    during = previous;
}

void click(QWidget* widget, Delivery delivery, int clicks, QPoint away) {
    using W = QWindowSystemInterface;
    QWidget* top = widget->window();
    const QPointF at = widget->mapTo(top, QPointF(widget->width() / 2.0, widget->height() / 2.0));
    // On QTest's own clock, so these clicks and QTest's never make a stray double-click.
    for (int i = 0; i < 2 * clicks; ++i) {
        const QPointF where = i % 2 ? at + away : at;
        W::handleMouseEvent<W::AsynchronousDelivery>(
            top->windowHandle(), ++QTest::lastMouseTimestamp, where, top->mapToGlobal(where),
            i % 2 ? Qt::NoButton : Qt::LeftButton, Qt::LeftButton,
            i % 2 ? QEvent::MouseButtonRelease : QEvent::MouseButtonPress);
    }
    QTest::lastMouseTimestamp += QTest::mouseDoubleClickInterval;
    if (delivery == Delivery::Now)
        W::flushWindowSystemEvents();
}

QString placed(const QWidget& w, QPoint at) {
    const char* how = w.isMinimized() ? " min" : w.isMaximized() ? " max" : "";
    return QString("%1,%2 %3x%4").arg(at.x()).arg(at.y()).arg(w.width()).arg(w.height()) + how;
}

bool catchesSignal(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const QByteArray mask = text.mid(text.indexOf("SigCgt:") + 7).split('\n').front();
    return text.startsWith("Name:\tduvella\n") &&
           (mask.trimmed().toULongLong(nullptr, 16) >> (signal - 1) & 1) != 0;
}

} // namespace testing
