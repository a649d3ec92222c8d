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

// The transcript's short names of the captions that change in play.
QString captionName(const QString& label) {
    static const QRegularExpression row(R"(^lblHigh(Score|Date)\((\d)\)$)");
    if (const auto match = row.match(label); match.hasMatch())
        return (match.captured(1) == "Score" ? "best" : "date") +
               QString::number(match.captured(2).toInt() + 1);
    return label == "lblCurrentScore" ? "score" : label == "lblCurrentLevel" ? "level" : label;
}

QString escaped(const QByteArray& bytes) {
    QByteArray text;
    for (const char c : bytes) {
        if (c >= ' ' && c < 127)
            text += c;
        else
            text += c == '\n' ? "\\n" : "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
    }
    return QString::fromLatin1(text);
}

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
        state.emplace(captionName(label->objectName()), label->text());
    state.emplace("bar", QString::number(w.Shape1->height()));
    const auto shown = w.windowState();
    state.emplace("window", !w.isVisible() ? QString("hidden") : QString("%1,%2 %3x%4%5")
                                     .arg(w.frameGeometry().x())
                                     .arg(w.frameGeometry().y())
                                     .arg(w.width())
                                     .arg(w.height())
                                     .arg(shown & Qt::WindowMinimized   ? " min"
                                          : shown & Qt::WindowMaximized ? " max"
                                                                        : ""));
    const QWidget* focus = QApplication::focusWidget();
    state.emplace("focus", focus ? focus->objectName() : "-");
    QFile file(settingsFile());
    state.emplace("file", file.open(QIODevice::ReadOnly) ? escaped(file.readAll()) : "-");
    return state;
}

void GameFixture::noteChanges() {
    frmMain& w = window();
    // Blocks: "-" hidden, "c" covered, "o" showing its own library picture, "x" another.
    std::vector<std::pair<QString, int>> changes; // removals first, then by index
    std::vector<QString> now;
    for (int i = 0; i < int(w.imgMain.size()); ++i) {
        shell::ImageBox* b = block(i);
        const pictures::Picture& picture = b->picture();
        now.push_back(b->isHidden()                         ? "-"
                      : picture == w.imgDefault->picture() ? "c"
                      : picture && picture == pictures::frmImg.imgMain(b->tag().toInt()) ? "o"
                                                                                          : "x");
        const bool fresh = !b->property("transcribed").toBool(); // a block made anew
        b->setProperty("transcribed", true);
        const QString was = i < int(m_blocks.size()) && !fresh ? m_blocks[i] : "-";
        if (fresh && i < int(m_blocks.size()) && m_blocks[i] != "-")
            changes.emplace_back("drop", i);
        if (now[i] != was)
            changes.emplace_back(now[i] == "-"   ? "hide"
                                 : now[i] == "c" ? (was == "-" ? "show" : "cover")
                                 : now[i] == "o" ? (was == "-" ? "show open" : "open")
                                                 : "odd",
                                 i);
    }
    for (int i = int(now.size()); i < int(m_blocks.size()); ++i)
        if (m_blocks[i] != "-")
            changes.emplace_back("drop", i);
    std::stable_partition(changes.begin(), changes.end(),
                          [](const auto& change) { return change.first == "drop"; });
    m_blocks = now;
    // One event per verb over neighbouring blocks: "show 1-3", "hide a A".
    QString verb;
    for (const auto& [what, i] : changes) {
        const QString item = names.contains(i) ? names.at(i) : QString::number(i);
        if (what != verb) {
            m_events << what + ' ' + item;
            verb = what;
        } else if (!names.contains(i) && !names.contains(i - 1) &&
                   m_events.back().section(QRegularExpression("[ -]"), -1) ==
                       QString::number(i - 1)) {
            m_events.back() = m_events.back().section('-', 0, 0) + '-' + item;
        } else {
            m_events.back() += ' ' + item;
        }
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

} // namespace testing
