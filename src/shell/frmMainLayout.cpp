#include "pictures/PictureLibrary.h"
#include "shell/Accessibility.h"
#include "shell/Fonts.h"
#include "shell/SpokenNames.h"
#include "shell/Twips.h"
#include "shell/controls/Frame.h"
#include "shell/controls/PushButton.h"
#include "shell/frmMain.h"

namespace {

using shell::present;
using shell::twipsRect;

const QColor kBlack(0, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kMaroon(128, 0, 0);
const QColor kDarkRed(192, 0, 0);
const QColor kDarkBlue(0, 0, 192);

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename Widget> Widget* named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

shell::Label* makeLabel(QWidget* parent, const QString& name, const QRect& geometry,
                        const QString& text) {
    auto* label = named(new shell::Label(parent), name);
    label->setGeometry(geometry);
    label->setText(text);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QRect& geometry,
                        const QString& text) {
    auto* button = named(new shell::PushButton(text, parent), name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

shell::Line* makeLine(QWidget* parent, const QString& name, const QColor& colour,
                      const QRect& geometry) {
    auto* line = named(new shell::Line(parent, colour), name);
    line->setGeometry(geometry);
    return line;
}

// Read by a screen reader as its caption.
void presentCaption(shell::Label* label) {
    present(label, {QAccessible::StaticText, [label] { return label->caption(); }});
}

// A block is read by its place and what it shows, and a screen reader can press
// it. Its uncover, its match and the board's clearing are told at once.
void presentBlock(frmMain& window, int i) {
    shell::ImageBox* block = window.imgMain[static_cast<std::size_t>(i)];
    present(block, {QAccessible::Button, [&window, i] { return shell::blockName(window, i); },
                    [block] { block->click(); }});
    QObject::connect(block, &shell::ImageBox::pictureChanged, block, [&window, block] {
        if (block->picture() != window.imgDefault->picture())
            shell::announce(block);
    });
    QObject::connect(block, &shell::ImageBox::hidden, block, [&window, block] {
        shell::announce(block);
        if (shell::boardCleared(window))
            shell::announce(window.picMain);
    });
}

} // namespace

frmMain::frmMain() {
    shell::installAccessibility();
    buildLayout();
    connectHandlers();
}

frmMain::~frmMain() {
    // The boxes outlive the block and level lists they read their keyboard items from.
    Picture1->setKeyboardItems(shell::Arrangement::Row, {});
    picMain->setKeyboardItems(shell::Arrangement::Square, {});
}

void frmMain::buildLayout() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral(" Duvella Version 6.2"));
    setWindowIcon(QIcon(*pictures::frmImg.imgMain(24)));
    setFont(shell::windowFont(8.25));
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, windowPalette.color(QPalette::Button));
    windowPalette.setColor(QPalette::WindowText, windowPalette.color(QPalette::ButtonText));
    setPalette(windowPalette);
    setAutoFillBackground(true);
    resize(shell::twipsToPixels(10500), shell::twipsToPixels(7710));
    present(this, {QAccessible::Window, [this] { return windowTitle(); }});

    // Level choice strip.
    Picture1 = named(new shell::PictureBox(this, kBlack), QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(180, 240, 3015, 555));
    QWidget* strip = Picture1->area();
    present(Picture1, {QAccessible::Grouping, [] { return QStringLiteral("Levels"); }});
    present(strip, {QAccessible::Pane});
    Label1 = makeLabel(strip, QStringLiteral("Label1"), twipsRect(0, 60, 1035, 495),
                       QStringLiteral(" Level >"));
    Label1->setFont(shell::windowFont(12));
    Label1->setColours(kBlack, kYellow);
    presentCaption(Label1);
    const int levelLeft[3] = {1140, 1740, 2400};
    const int levelWidth[3] = {435, 495, 435};
    const char* levelSide[3] = {"4", "6", "8"};
    for (int i = 0; i < 3; ++i) {
        lblLevel[i] =
            makeLabel(strip, indexed("lblLevel", i), twipsRect(levelLeft[i], 0, levelWidth[i], 480),
                      QString::number(i + 1));
        lblLevel[i]->setFont(shell::windowFont(13.5, true));
        lblLevel[i]->setColours(kYellow, kBlack);
        lblLevel[i]->setBorder(true);
        lblLevel[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        lblLevel[i]->setTag(QString::fromLatin1(levelSide[i]));
        present(lblLevel[i], {QAccessible::Button, [this, i] { return shell::levelName(*this, i); },
                              [label = lblLevel[i]] { label->click(); }});
    }
    // The arrow keys move among the levels, Space or Return starts one.
    Picture1->setKeyboardItems(shell::Arrangement::Row, [this] {
        return std::vector<QWidget*>(lblLevel.begin(), lblLevel.end());
    });

    // Start hint.
    lblInfo[0] = makeLabel(this, indexed("lblInfo", 0), twipsRect(180, 900, 3075, 675),
                           QStringLiteral("Click mouse on Level 1, 2 or 3 above to start game. "));
    lblInfo[0]->setFont(shell::windowFont(12, true));
    lblInfo[0]->setTextColour(kMaroon);
    presentCaption(lblInfo[0]);

    // High-score frame.
    Frame1 = named(new shell::Frame(QStringLiteral("High Score"), this), QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(180, 1980, 3015, 2115));
    present(Frame1, {QAccessible::Grouping, [this] { return Frame1->title(); }});
    const QColor buttonText = palette().color(QPalette::ButtonText);
    for (int row = 0; row < 3; ++row) {
        const int top = 300 + 360 * row;
        lblGen[row] = makeLabel(Frame1, indexed("lblGen", row), twipsRect(180, top, 675, 315),
                                QStringLiteral(" Level %1").arg(row + 1));
        lblGen[row]->setBorder(true);
        lblGen[row]->setTextColour(buttonText);
        lblHighScore[row] =
            makeLabel(Frame1, indexed("lblHighScore", row), twipsRect(900, top, 735, 315), {});
        lblHighScore[row]->setFont(shell::windowFont(8.25, true));
        lblHighScore[row]->setTextColour(kDarkRed);
        lblHighScore[row]->setBorder(true);
        lblHighScore[row]->setAlignment(Qt::AlignRight | Qt::AlignTop);
        lblHighDate[row] =
            makeLabel(Frame1, indexed("lblHighDate", row), twipsRect(1680, top, 1155, 315), {});
        lblHighDate[row]->setFont(shell::windowFont(8.25, true));
        lblHighDate[row]->setTextColour(buttonText);
        lblHighDate[row]->setBorder(true);
        // A row is read as one line; its score and date are not read apart.
        present(lblGen[row], {QAccessible::StaticText,
                              [this, row] { return shell::highScoreRowName(*this, row); }});
    }
    cmdClear = makeButton(Frame1, QStringLiteral("cmdClear"), twipsRect(180, 1620, 1155, 375),
                          QStringLiteral("&Clear Scores"));
    lblCurrentLevel = makeLabel(Frame1, QStringLiteral("lblCurrentLevel"),
                                twipsRect(1800, 1680, 975, 255), QStringLiteral("Level"));
    lblCurrentLevel->setFont(shell::windowFont(8.25, true));
    lblCurrentLevel->setTextColour(kDarkRed);
    presentCaption(lblCurrentLevel);

    // Current score and its bar.
    const QColor buttonFace = palette().color(QPalette::Button);
    lblGen[3] = makeLabel(this, indexed("lblGen", 3), twipsRect(180, 4500, 1215, 255),
                          QStringLiteral(" Current Score >"));
    lblGen[3]->setColours(buttonFace, kBlack);
    presentCaption(lblGen[3]);
    lblCurrentScore = makeLabel(this, QStringLiteral("lblCurrentScore"),
                                twipsRect(1920, 4440, 1215, 375), QStringLiteral("1000"));
    lblCurrentScore->setFont(shell::windowFont(12, true));
    lblCurrentScore->setColours(buttonFace, kMaroon);
    lblCurrentScore->setBorder(true);
    lblCurrentScore->setAlignment(Qt::AlignRight | Qt::AlignTop);
    present(lblCurrentScore, {QAccessible::StaticText, [this] { return shell::scoreName(*this); }});
    Shape1 = makeLabel(this, QStringLiteral("Shape1"), twipsRect(3360, 300, 195, 1995), {});
    Shape1->setColours(kDarkRed, kDarkRed);
    present(Shape1, {QAccessible::Graphic, [] { return QStringLiteral("Score bar"); }});
    const int line3Top[3] = {5760, 5940, 6120};
    const QColor line3Colour[3] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 0, 255)};
    for (int i = 0; i < 3; ++i)
        Line3[i] = makeLine(this, indexed("Line3", i), line3Colour[i],
                            twipsRect(240, line3Top[i], 3000, 15));

    // The board with block 0 and the grid lines.
    picMain = named(new shell::PictureBox(this, kBlack), QStringLiteral("picMain"));
    picMain->setGeometry(twipsRect(3720, 300, 6615, 6555));
    QWidget* board = picMain->area();
    present(picMain, {QAccessible::Grouping, [this] { return shell::boardName(*this); }});
    present(board, {QAccessible::Pane});
    imgDefault = named(new shell::ImageBox(this), QStringLiteral("imgDefault"));
    imgDefault->setGeometry(twipsRect(3720, 6960, 540, 540));
    imgDefault->setBorder(false);
    imgDefault->setPicture(pictures::loadCoverPicture());
    present(imgDefault, {QAccessible::Graphic, [] { return QStringLiteral("Cover"); }});
    auto* block0 = named(new shell::ImageBox(board), indexed("imgMain", 0));
    block0->setGeometry(twipsRect(120, 120, 720, 720));
    block0->setBorder(true);
    // Block 0 starts with its own copy of the cover image, not the cover object.
    block0->setPicture(pictures::loadCoverPicture());
    imgMain.push_back(block0);
    presentBlock(*this, 0);
    // The arrow keys move over the blocks by row and column, Space or Return uncovers one.
    picMain->setKeyboardItems(shell::Arrangement::Square, [this] {
        return std::vector<QWidget*>(imgMain.begin(), imgMain.end());
    });
    const int line1Left[7] = {870, 1680, 2480, 3270, 4070, 4870, 5670};
    for (int i = 0; i < 7; ++i)
        Line1[i] =
            makeLine(board, indexed("Line1", i), kDarkBlue, twipsRect(line1Left[i], 0, 15, 6480));
    const int line2Top[7] = {1680, 2490, 3280, 4090, 4880, 5690, 870};
    for (int i = 0; i < 7; ++i)
        Line2[i] =
            makeLine(board, indexed("Line2", i), kDarkRed, twipsRect(0, line2Top[i], 6540, 15));

    // Buttons.
    cmdHelp = makeButton(this, QStringLiteral("cmdHelp"), twipsRect(8700, 7080, 795, 375),
                         QStringLiteral("&Help"));
    cmdExit = makeButton(this, QStringLiteral("cmdExit"), twipsRect(9540, 7080, 795, 375),
                         QStringLiteral("E&XIT"));

    // Focus order: the board, the level strip, then the three buttons.
    setTabOrder(picMain, Picture1);
    setTabOrder(Picture1, cmdClear);
    setTabOrder(cmdClear, cmdHelp);
    setTabOrder(cmdHelp, cmdExit);
    picMain->setFocus();
}

void frmMain::connectHandlers() {
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmMain::cmdClear_Click);
    connect(imgDefault, &shell::ImageBox::clicked, this, &frmMain::imgDefault_Click);
    connect(Label1, &shell::Label::clicked, this, &frmMain::Label1_Click);
    connect(lblCurrentScore, &shell::Label::clicked, this, &frmMain::lblCurrentScore_Click);
    connect(lblCurrentScore, &shell::Label::changed, this, &frmMain::lblCurrentScore_Change);
    connect(Shape1, &shell::Label::clicked, this, &frmMain::Shape1_Click);
    for (int i = 0; i < static_cast<int>(lblGen.size()); ++i)
        connect(lblGen[i], &shell::Label::clicked, this, [this, i] { lblGen_Click(i); });
    for (int i = 0; i < static_cast<int>(lblLevel.size()); ++i)
        connect(lblLevel[i], &shell::Label::clicked, this, [this, i] { lblLevel_Click(i); });
    connectBlock(0);
    connect(Picture1, &shell::PictureBox::pressed, this, [this](int i) { lblLevel[i]->click(); });
    connect(picMain, &shell::PictureBox::pressed, this, [this](int i) { imgMain[i]->click(); });
    // The score after each turn, and a new best score, are told at once.
    connect(lblCurrentScore, &shell::Label::changed, this,
            [this] { shell::announce(lblCurrentScore); });
    for (std::size_t row = 0; row < lblHighDate.size(); ++row)
        connect(lblHighDate[row], &shell::Label::changed, this,
                [this, row] { shell::announce(lblGen[row]); });
}

void frmMain::connectBlock(int i) {
    connect(imgMain[static_cast<std::size_t>(i)], &shell::ImageBox::clicked, this,
            [this, i] { imgMain_Click(i); });
}

void frmMain::createBlock(int i) {
    // Blocks are created in index order; an index that exists or skips ahead is refused.
    if (i != static_cast<int>(imgMain.size()) || imgMain.empty())
        return;
    const shell::ImageBox* block0 = imgMain.front();
    auto* block = named(new shell::ImageBox(block0->parentWidget()), indexed("imgMain", i));
    block->setVisible(false);
    block->setGeometry(block0->geometry());
    block->setBorder(block0->hasBorder());
    block->setPicture(block0->picture());
    block->setTag(block0->tag());
    imgMain.push_back(block);
    presentBlock(*this, i);
    connectBlock(i);
}

void frmMain::removeBlock(int i) {
    // Only the highest block can go, and block 0 always stays.
    if (i <= 0 || i != static_cast<int>(imgMain.size()) - 1)
        return;
    delete imgMain.back();
    imgMain.pop_back();
}
