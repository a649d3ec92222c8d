#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

namespace {

// Each element of the window: place and size in twips within its container, and its text.
struct Element {
    const char* name;
    int left, top, width, height;
    const char* text;
};

// clang-format off
const Element kLayout[] = {
    {"Picture1",        180,  240,  3015, 555,  nullptr},
    {"Label1",          0,    60,   1035, 495,  " Level >"},
    {"lblLevel(0)",     1140, 0,    435,  480,  "1"},
    {"lblLevel(1)",     1740, 0,    495,  480,  "2"},
    {"lblLevel(2)",     2400, 0,    435,  480,  "3"},
    {"lblInfo(0)",      180,  900,  3075, 675,  "Click mouse on Level 1, 2 or 3 above to start game. "},
    {"Frame1",          180,  1980, 3015, 2115, "High Score"},
    {"lblGen(0)",       180,  300,  675,  315,  " Level 1"},
    {"lblGen(1)",       180,  660,  675,  315,  " Level 2"},
    {"lblGen(2)",       180,  1020, 675,  315,  " Level 3"},
    {"lblHighScore(0)", 900,  300,  735,  315,  nullptr},
    {"lblHighScore(2)", 900,  1020, 735,  315,  nullptr},
    {"lblHighDate(0)",  1680, 300,  1155, 315,  nullptr},
    {"lblHighDate(2)",  1680, 1020, 1155, 315,  nullptr},
    {"cmdClear",        180,  1620, 1155, 375,  "&Clear Scores"},
    {"lblCurrentLevel", 1800, 1680, 975,  255,  "Level"},
    {"lblGen(3)",       180,  4500, 1215, 255,  " Current Score >"},
    {"lblCurrentScore", 1920, 4440, 1215, 375,  "1000"},
    {"Shape1",          3360, 300,  195,  1995, nullptr},
    {"Line3(0)",        240,  5760, 3000, 15,   nullptr},
    {"Line3(2)",        240,  6120, 3000, 15,   nullptr},
    {"picMain",         3720, 300,  6615, 6555, nullptr},
    {"imgMain(0)",      120,  120,  720,  720,  nullptr},
    {"Line1(0)",        870,  0,    15,   6480, nullptr},
    {"Line1(6)",        5670, 0,    15,   6480, nullptr},
    {"Line2(0)",        0,    1680, 6540, 15,   nullptr},
    {"Line2(6)",        0,    870,  6540, 15,   nullptr},
    {"imgDefault",      3720, 6960, 540,  540,  nullptr},
    {"cmdHelp",         8700, 7080, 795,  375,  "&Help"},
    {"cmdExit",         9540, 7080, 795,  375,  "E&XIT"},
};
// clang-format on

// The longest texts that controls take at run time.
const std::pair<const char*, const char*> kRunTimeTexts[] = {
    {"lblHighScore(0)", "-32768"}, {"lblHighDate(0)", "12-31-2026"},
    {"lblCurrentLevel", "Level 3"}, {"lblCurrentScore", "-32768"}};

int px(int twips) {
    return qRound(twips / 15.0);
}

// Whether `text` fits inside the control, wrapped as the control wraps it.
bool fits(QWidget* control, QString text) {
    const QFontMetrics metrics(control->font());
    if (auto* button = qobject_cast<QPushButton*>(control))
        return metrics.horizontalAdvance(text.remove('&')) + 8 <= button->width() &&
               metrics.height() + 4 <= button->height();
    auto* label = qobject_cast<QLabel*>(control);
    const QRect box = label ? label->contentsRect() : QRect();
    const QRect needed =
        metrics.boundingRect(box, int(label ? label->alignment() : 0) | Qt::TextWordWrap, text);
    return !label || (needed.width() <= box.width() && needed.height() <= box.height());
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { m_game = std::make_unique<testing::GameFixture>(); }
    void cleanupTestCase() { m_game.reset(); }

    void window() {
        frmMain& w = m_game->window();
        QCOMPARE(w.windowTitle(), " Duvella Version 6.2");
        QCOMPARE(w.size(), QSize(700, 514));
        QCOMPARE(w.windowIcon().pixmap(32, 32).toImage(), pictures::frmImg.imgMain(24)->toImage());
    }

    void element_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kLayout)); ++row)
            QTest::newRow(kLayout[row].name) << row;
    }
    // In place, with its text, and the text fits its box.
    void element() {
        QFETCH(int, row);
        const Element& e = kLayout[row];
        QWidget* control = m_game->window().findChild<QWidget*>(e.name);
        QVERIFY(control && control->isVisible());
        QCOMPARE(control->geometry(), QRect(px(e.left), px(e.top), px(e.width), px(e.height)));
        if (!e.text)
            return;
        QVERIFY(fits(control, e.text));
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), e.text);
        if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->text(), e.text);
        if (auto* frame = qobject_cast<QGroupBox*>(control))
            QCOMPARE(frame->title(), e.text);
    }

    void runTimeTextsFit() {
        for (const auto& [name, text] : kRunTimeTexts)
            QVERIFY2(fits(m_game->window().findChild<QWidget*>(name), text), name);
    }

  private:
    std::unique_ptr<testing::GameFixture> m_game;
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
