#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QtTest>

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QSet>

#include <cmath>
#include <memory>

namespace {

// The frame of reference of an element's Left and Top.
enum class In { Window, Strip, Frame, Board };
enum class Align { Unchecked, Left, Centre, Right };
enum class Border { Unchecked, None, Sunken };

// A colour of the layout: not stated, a fixed triple, or the platform's button colours.
struct Colour {
    enum Kind { Unstated, Rgb, ButtonFace, ButtonText } kind = Unstated;
    QRgb rgb = 0;
};

struct Font {
    double points = 0; // 0: the element shows no text
    bool bold = false;
};

// One element of the window, with its place and size in twips.
struct Element {
    const char* name;
    In in;
    int left, top, width, height;
    const char* text; // nullptr: filled in at run time
    Font font;
    Colour back, fore;
    Align align;
    Border border;
    const char* tag;
};

Colour rgb(int r, int g, int b) {
    return {Colour::Rgb, qRgb(r, g, b)};
}

const Colour none{};
const Colour face{Colour::ButtonFace};
const Colour text{Colour::ButtonText};
const Colour black = rgb(0, 0, 0);
const Colour yellow = rgb(255, 255, 0);
const Colour maroon = rgb(128, 0, 0);
const Colour darkRed = rgb(192, 0, 0);
const Colour darkBlue = rgb(0, 0, 192);

const Font plain{8.25};
const Font bold{8.25, true};
const Font big{12};
const Font bigBold{12, true};
const Font huge{13.5, true};
const Font noText{};

constexpr auto L = Align::Left;
constexpr auto C = Align::Centre;
constexpr auto R = Align::Right;
constexpr auto AnyAlign = Align::Unchecked;
constexpr auto Sunken = Border::Sunken;
constexpr auto Flat = Border::None;
constexpr auto AnyBorder = Border::Unchecked;
constexpr int kPixel = 15; // a line is one pixel thick

// clang-format off
const Element kLayout[] = {
    // name               in          left  top   width height text                 font     back     fore     align     border     tag
    {"Picture1",          In::Window, 180,  240,  3015, 555,   nullptr,             noText,  black,   none,    AnyAlign, Sunken,    nullptr},
    {"Label1",            In::Strip,  0,    60,   1035, 495,   " Level >",          big,     black,   yellow,  L,        Flat,      nullptr},
    {"lblLevel(0)",       In::Strip,  1140, 0,    435,  480,   "1",                 huge,    yellow,  black,   C,        Sunken,    "4"},
    {"lblLevel(1)",       In::Strip,  1740, 0,    495,  480,   "2",                 huge,    yellow,  black,   C,        Sunken,    "6"},
    {"lblLevel(2)",       In::Strip,  2400, 0,    435,  480,   "3",                 huge,    yellow,  black,   C,        Sunken,    "8"},
    {"lblInfo(0)",        In::Window, 180,  900,  3075, 675,   "Click mouse on Level 1, 2 or 3 above to start game. ",
                                                                                    bigBold, none,    maroon,  L,        Flat,      nullptr},
    {"Frame1",            In::Window, 180,  1980, 3015, 2115,  "High Score",        plain,   none,    none,    AnyAlign, AnyBorder, nullptr},
    {"lblGen(0)",         In::Frame,  180,  300,  675,  315,   " Level 1",          plain,   none,    text,    L,        Sunken,    nullptr},
    {"lblGen(1)",         In::Frame,  180,  660,  675,  315,   " Level 2",          plain,   none,    text,    L,        Sunken,    nullptr},
    {"lblGen(2)",         In::Frame,  180,  1020, 675,  315,   " Level 3",          plain,   none,    text,    L,        Sunken,    nullptr},
    {"lblHighScore(0)",   In::Frame,  900,  300,  735,  315,   nullptr,             bold,    none,    darkRed, R,        Sunken,    nullptr},
    {"lblHighScore(1)",   In::Frame,  900,  660,  735,  315,   nullptr,             bold,    none,    darkRed, R,        Sunken,    nullptr},
    {"lblHighScore(2)",   In::Frame,  900,  1020, 735,  315,   nullptr,             bold,    none,    darkRed, R,        Sunken,    nullptr},
    {"lblHighDate(0)",    In::Frame,  1680, 300,  1155, 315,   nullptr,             bold,    none,    text,    L,        Sunken,    nullptr},
    {"lblHighDate(1)",    In::Frame,  1680, 660,  1155, 315,   nullptr,             bold,    none,    text,    L,        Sunken,    nullptr},
    {"lblHighDate(2)",    In::Frame,  1680, 1020, 1155, 315,   nullptr,             bold,    none,    text,    L,        Sunken,    nullptr},
    {"cmdClear",          In::Frame,  180,  1620, 1155, 375,   "&Clear Scores",     plain,   none,    none,    AnyAlign, AnyBorder, nullptr},
    {"lblCurrentLevel",   In::Frame,  1800, 1680, 975,  255,   "Level",             bold,    none,    darkRed, L,        Flat,      nullptr},
    {"lblGen(3)",         In::Window, 180,  4500, 1215, 255,   " Current Score >",  plain,   face,    black,   L,        Flat,      nullptr},
    {"lblCurrentScore",   In::Window, 1920, 4440, 1215, 375,   "1000",              bigBold, face,    maroon,  R,        Sunken,    nullptr},
    {"Shape1",            In::Window, 3360, 300,  195,  1995,  "",                  plain,   darkRed, none,    AnyAlign, Flat,      nullptr},
    {"Line3(0)",          In::Window, 240,  5760, 3000, kPixel, nullptr,            noText,  rgb(255, 0, 0),   none, AnyAlign, AnyBorder, nullptr},
    {"Line3(1)",          In::Window, 240,  5940, 3000, kPixel, nullptr,            noText,  rgb(0, 0, 255),   none, AnyAlign, AnyBorder, nullptr},
    {"Line3(2)",          In::Window, 240,  6120, 3000, kPixel, nullptr,            noText,  rgb(255, 0, 255), none, AnyAlign, AnyBorder, nullptr},
    {"picMain",           In::Window, 3720, 300,  6615, 6555,  nullptr,             noText,  black,   none,    AnyAlign, Sunken,    nullptr},
    {"imgMain(0)",        In::Board,  120,  120,  720,  720,   nullptr,             noText,  none,    none,    AnyAlign, Sunken,    nullptr},
    {"Line1(0)",          In::Board,  870,  0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line1(1)",          In::Board,  1680, 0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line1(2)",          In::Board,  2480, 0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line1(3)",          In::Board,  3270, 0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line1(4)",          In::Board,  4070, 0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line1(5)",          In::Board,  4870, 0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line1(6)",          In::Board,  5670, 0,    kPixel, 6480, nullptr,            noText,  darkBlue, none,   AnyAlign, AnyBorder, nullptr},
    {"Line2(0)",          In::Board,  0,    1680, 6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"Line2(1)",          In::Board,  0,    2490, 6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"Line2(2)",          In::Board,  0,    3280, 6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"Line2(3)",          In::Board,  0,    4090, 6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"Line2(4)",          In::Board,  0,    4880, 6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"Line2(5)",          In::Board,  0,    5690, 6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"Line2(6)",          In::Board,  0,    870,  6540, kPixel, nullptr,            noText,  darkRed, none,    AnyAlign, AnyBorder, nullptr},
    {"imgDefault",        In::Window, 3720, 6960, 540,  540,   nullptr,             noText,  none,    none,    AnyAlign, Flat,      nullptr},
    {"cmdHelp",           In::Window, 8700, 7080, 795,  375,   "&Help",             plain,   none,    none,    AnyAlign, AnyBorder, nullptr},
    {"cmdExit",           In::Window, 9540, 7080, 795,  375,   "E&XIT",             plain,   none,    none,    AnyAlign, AnyBorder, nullptr},
};
// clang-format on

int px(int twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

QString shownText(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    return {};
}

QImage pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void window();
    void element_data();
    void element();
    void boardBeforeFirstGame();
    void edgesOfTheClientArea();
    void focusOrder();
    void buttonsHaveAccessKeysAndNoDefault();
    void textFitsItsBox_data();
    void textFitsItsBox();

  private:
    frmMain& w() { return m_game->window(); }
    QWidget* find(const QString& name) { return w().findChild<QWidget*>(name); }
    QWidget* container(In in);
    QColor resolve(const Colour& colour);

    std::unique_ptr<testing::GameFixture> m_game;
};

void LayoutTest::initTestCase() {
    m_game = std::make_unique<testing::GameFixture>();
}

void LayoutTest::cleanupTestCase() {
    m_game.reset();
}

QWidget* LayoutTest::container(In in) {
    switch (in) {
    case In::Strip:
        return w().Picture1->area();
    case In::Frame:
        return w().Frame1;
    case In::Board:
        return w().picMain->area();
    case In::Window:
        break;
    }
    return &w();
}

QColor LayoutTest::resolve(const Colour& colour) {
    switch (colour.kind) {
    case Colour::ButtonFace:
        return w().palette().color(QPalette::Button);
    case Colour::ButtonText:
        return w().palette().color(QPalette::ButtonText);
    case Colour::Rgb:
        return QColor(colour.rgb);
    case Colour::Unstated:
        break;
    }
    return {};
}

void LayoutTest::window() {
    QCOMPARE(w().windowTitle(), QString(" Duvella Version 6.2"));
    QCOMPARE(w().size(), QSize(700, 514));
    QCOMPARE(w().palette().color(QPalette::Window), resolve(face));
    QVERIFY(w().autoFillBackground());
    QCOMPARE(w().font().family(), QString("MS Sans Serif"));
    QCOMPARE(w().font().pointSizeF(), 8.25);
    QCOMPARE(int(w().font().weight()), 400);

    // The icon shows library picture 24.
    const QImage icon = pixels(w().windowIcon().pixmap(QSize(32, 32)));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon == pixels(*pictures::frmImg.imgMain(24)));
}

void LayoutTest::element_data() {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(kLayout)); ++row)
        QTest::newRow(kLayout[row].name) << row;
}

void LayoutTest::element() {
    QFETCH(int, row);
    const Element& e = kLayout[row];
    QWidget* widget = find(e.name);
    QVERIFY(widget);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->parentWidget(), container(e.in));
    QCOMPARE(widget->geometry(), QRect(px(e.left), px(e.top), px(e.width), px(e.height)));

    if (e.text)
        QCOMPARE(shownText(widget), QString(e.text));

    if (e.font.points > 0) {
        const QFont font = widget->font();
        QCOMPARE(font.family(), QString("MS Sans Serif"));
        QCOMPARE(QFontInfo(font).family(), QString("FreeSans"));
        QCOMPARE(font.pointSizeF(), e.font.points);
        QCOMPARE(int(font.weight()), e.font.bold ? 700 : 400);
        QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    }

    if (e.back.kind != Colour::Unstated) {
        // A picture box paints its colour on its inner area.
        auto* box = qobject_cast<shell::PictureBox*>(widget);
        const QWidget* painted = box ? box->area() : widget;
        QVERIFY(painted->autoFillBackground());
        QCOMPARE(painted->palette().color(QPalette::Window), resolve(e.back));
    }
    if (e.fore.kind != Colour::Unstated)
        QCOMPARE(widget->palette().color(QPalette::WindowText), resolve(e.fore));

    if (e.align != Align::Unchecked) {
        auto* label = qobject_cast<QLabel*>(widget);
        QVERIFY(label);
        const Qt::Alignment expected = e.align == L   ? Qt::AlignLeft
                                       : e.align == C ? Qt::AlignHCenter
                                                      : Qt::AlignRight;
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, expected);
    }

    if (e.border != Border::Unchecked) {
        auto* frame = qobject_cast<QFrame*>(widget);
        QVERIFY(frame);
        if (e.border == Sunken) {
            QVERIFY(frame->frameWidth() > 0);
            QCOMPARE(frame->frameShadow(), QFrame::Sunken);
        } else {
            QCOMPARE(frame->frameWidth(), 0);
        }
    }

    if (e.tag) {
        auto* label = qobject_cast<shell::Label*>(widget);
        QVERIFY(label);
        QCOMPARE(label->tag(), QString(e.tag));
    }
}

void LayoutTest::boardBeforeFirstGame() {
    QCOMPARE(w().imgMain.size(), 1u);
    QCOMPARE(w().imgMain.front(), find("imgMain(0)"));
    QWidget* board = w().picMain->area();
    QCOMPARE(board->findChildren<shell::ImageBox*>(Qt::FindDirectChildrenOnly).size(), 1);
    QCOMPARE(board->findChildren<shell::Line*>(Qt::FindDirectChildrenOnly).size(), 14);
    QCOMPARE(w().Shape1->height(), 133);
}

void LayoutTest::edgesOfTheClientArea() {
    const QRect client(QPoint(0, 0), w().size());
    int right = 0, bottom = 0;
    for (QWidget* child : w().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(client.contains(child->geometry()), qPrintable(child->objectName()));
        right = std::max(right, child->x() + child->width());
        bottom = std::max(bottom, child->y() + child->height());
    }
    // The board and the Exit button share the right edge; the cover sample is lowest.
    QCOMPARE(right, px(10335));
    QCOMPARE(w().picMain->x() + w().picMain->width(), right);
    QCOMPARE(w().cmdExit->x() + w().cmdExit->width(), right);
    QCOMPARE(bottom, px(7500));
    QCOMPARE(w().imgDefault->y() + w().imgDefault->height(), bottom);
}

void LayoutTest::focusOrder() {
    const QList<QWidget*> chain{w().picMain, w().Picture1, w().cmdClear, w().cmdHelp, w().cmdExit};
    QSet<QWidget*> focusable;
    for (QWidget* child : w().findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus)
            focusable.insert(child);
    QCOMPARE(focusable, QSet<QWidget*>(chain.begin(), chain.end()));

    QCOMPARE(QApplication::focusWidget(), w().picMain);
    for (int i = 1; i <= chain.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), chain[i % chain.size()]);
    }
    for (int i = chain.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), chain[i]);
    }
}

void LayoutTest::buttonsHaveAccessKeysAndNoDefault() {
    const std::pair<QPushButton*, Qt::Key> keys[] = {
        {w().cmdClear, Qt::Key_C}, {w().cmdHelp, Qt::Key_H}, {w().cmdExit, Qt::Key_X}};
    for (const auto& [button, key] : keys) {
        QCOMPARE(button->shortcut(), QKeySequence(Qt::ALT | key));
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void LayoutTest::textFitsItsBox_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    for (const Element& e : kLayout)
        if (e.text && *e.text && qstrcmp(e.name, "Frame1") != 0)
            QTest::addRow("%s %s", e.name, e.text) << QString(e.name) << QString(e.text);
    // Texts written at run time: stored scores and dates, the level in play, a low score.
    for (int row = 0; row < 3; ++row) {
        for (const char* score : {"0", "32767", "-32768"})
            QTest::addRow("lblHighScore(%d) %s", row, score)
                << QString("lblHighScore(%1)").arg(row) << QString(score);
        for (const char* date : {"Never", "12-31-2026"})
            QTest::addRow("lblHighDate(%d) %s", row, date)
                << QString("lblHighDate(%1)").arg(row) << QString(date);
    }
    QTest::newRow("lblCurrentLevel Level 3") << "lblCurrentLevel"
                                             << "Level 3";
    QTest::newRow("lblCurrentScore -32768") << "lblCurrentScore"
                                            << "-32768";
}

void LayoutTest::textFitsItsBox() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget* widget = find(name);
    QVERIFY(widget);
    QCOMPARE(QFontInfo(widget->font()).family(), QString("FreeSans"));
    const QFontMetrics metrics(widget->font());

    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        const int margin = 4;
        QString caption = text;
        caption.remove('&');
        QVERIFY(metrics.horizontalAdvance(caption) + 2 * margin <= button->width());
        QVERIFY(metrics.height() + margin <= button->height());
        return;
    }

    auto* label = qobject_cast<QLabel*>(widget);
    QVERIFY(label);
    QVERIFY(label->wordWrap());
    const QRect box = label->contentsRect();
    const QRect needed =
        metrics.boundingRect(box, int(label->alignment()) | Qt::TextWordWrap, text);
    QVERIFY2(needed.width() <= box.width() && needed.height() <= box.height(),
             qPrintable(QString("needs %1x%2 in %3x%4")
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(box.width())
                            .arg(box.height())));
    // The start hint is meant to wrap onto a second line.
    if (label == w().lblInfo[0])
        QVERIFY(needed.height() > metrics.lineSpacing());
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
