#include "shell/Accessibility.h"

#include "game/Numbers.h"
#include "pictures/PictureLibrary.h"
#include "shell/frmMain.h"

#include <QAccessibleWidget>
#include <QGroupBox>
#include <algorithm>
#include <cmath>

namespace shell {

namespace {

frmMain* gameWindow(const QObject* object) {
    return object->isWidgetType()
               ? qobject_cast<frmMain*>(static_cast<const QWidget*>(object)->window())
               : nullptr;
}

// The number in a control's name "lblGen(2)", or -1.
int arrayIndex(const QObject* object, const char* arrayName) {
    const QString name = object->objectName();
    const QString prefix = QLatin1String(arrayName) + QLatin1Char('(');
    if (!name.startsWith(prefix) || !name.endsWith(QLatin1Char(')')))
        return -1;
    bool ok = false;
    const int index = name.mid(prefix.size(), name.size() - prefix.size() - 1).toInt(&ok);
    return ok ? index : -1;
}

// The value labels of the high-score table are read as part of their row.
bool foldedIntoRow(const QObject* object) {
    return arrayIndex(object, "lblHighScore") >= 0 || arrayIndex(object, "lblHighDate") >= 0;
}

// What a screen reader lists of a container: no lines, no hidden widgets (so a
// matched block leaves the tree), no high-score values apart from their row.
QWidgetList readableChildren(const QWidget* container) {
    QWidgetList children;
    for (QObject* object : container->children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget && !widget->isWindow() && !widget->isHidden() && !qobject_cast<Line*>(widget) &&
            !foldedIntoRow(widget))
            children.append(widget);
    }
    return children;
}

class Container : public QAccessibleWidget {
  public:
    Container(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return static_cast<int>(readableChildren(widget()).size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList children = readableChildren(widget());
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return static_cast<int>(
            readableChildren(widget()).indexOf(static_cast<QWidget*>(child->object())));
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        if (auto* frame = qobject_cast<QGroupBox*>(widget()))
            return frame->title();
        if (widget()->objectName() == "picMain")
            return QStringLiteral("Board");
        if (widget()->objectName() == "Picture1")
            return QStringLiteral("Levels");
        return QAccessibleWidget::text(t);
    }
};

// A label or image box: its name is worked out from the control each time it is
// asked for, and a pressable one is pressed by the same signal as a mouse click.
template <typename Control> class Readable : public QAccessibleWidget {
  public:
    using Namer = QString (*)(const Control&);
    Readable(Control* control, QAccessible::Role role, Namer namer, bool pressable)
        : QAccessibleWidget(control, role), m_namer(namer), m_pressable(pressable) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return m_namer(*control());
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return m_pressable ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (m_pressable && action == pressAction())
            emit control()->clicked();
    }

  private:
    Control* control() const { return static_cast<Control*>(widget()); }
    Namer m_namer;
    bool m_pressable;
};

QString blockName(const ImageBox& block) {
    const frmMain* window = gameWindow(&block);
    if (!window)
        return {};
    // Block i of an n by n board stands in row i div n, column i mod n; a laid-out
    // board holds all n * n blocks, matched ones too.
    const auto& blocks = window->imgMain;
    const auto found = std::find(blocks.begin(), blocks.end(), &block);
    const int index = static_cast<int>(found - blocks.begin());
    const int side = std::max(1, static_cast<int>(std::ceil(std::sqrt(blocks.size()))));
    // Whatever is not a library picture is the cover.
    const int number = pictures::frmImg.numberOf(block.picture());
    return QStringLiteral("Row %1, column %2, %3")
        .arg(index / side + 1)
        .arg(index % side + 1)
        .arg(number < 0 ? QStringLiteral("covered") : pictures::frmImg.name(number));
}

QString levelName(const Label& label) {
    const int side = static_cast<int>(numericValue(label.tag()));
    return QStringLiteral("Level %1, %2 by %2 blocks").arg(label.caption()).arg(side);
}

QString highScoreRowName(const Label& rowCaption) {
    const frmMain* window = gameWindow(&rowCaption);
    if (!window)
        return {};
    const int row = arrayIndex(&rowCaption, "lblGen");
    // Looked up by name: the row caption may be asked for before the window has
    // made its value labels.
    const auto* score = window->findChild<Label*>(QStringLiteral("lblHighScore(%1)").arg(row));
    const auto* date = window->findChild<Label*>(QStringLiteral("lblHighDate(%1)").arg(row));
    QStringList values;
    for (const Label* value : {score, date})
        if (value && !value->caption().isEmpty())
            values.append(value->caption());
    return rowCaption.caption().trimmed() + QStringLiteral(" high score ") +
           (values.isEmpty() ? QStringLiteral("none") : values.join(QStringLiteral(", ")));
}

QAccessibleInterface* interfaceFor(const QString&, QObject* object) {
    if (!gameWindow(object))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    const QString name = object->objectName();
    if (qobject_cast<frmMain*>(object))
        return new Container(widget, QAccessible::Window);
    if (qobject_cast<QGroupBox*>(object) || qobject_cast<PictureBox*>(object))
        return new Container(widget, QAccessible::Grouping);
    // The inner areas of the picture boxes, the board among them. They are first
    // asked for while their box is still being built, so they are told by their
    // own class alone.
    if (object->metaObject() == &QWidget::staticMetaObject)
        return new Container(widget, QAccessible::Pane);
    if (auto* box = qobject_cast<ImageBox*>(object)) {
        if (name == "imgDefault")
            return new Readable<ImageBox>(
                box, QAccessible::Graphic, [](const ImageBox&) { return QStringLiteral("Cover"); },
                false);
        return new Readable<ImageBox>(box, QAccessible::Button, blockName, true);
    }
    auto* label = qobject_cast<Label*>(object);
    if (!label)
        return nullptr;
    if (arrayIndex(label, "lblLevel") >= 0)
        return new Readable<Label>(label, QAccessible::Button, levelName, true);
    if (const int row = arrayIndex(label, "lblGen"); row >= 0 && row < 3)
        return new Readable<Label>(label, QAccessible::StaticText, highScoreRowName, false);
    if (name == "lblCurrentScore")
        return new Readable<Label>(
            label, QAccessible::StaticText,
            [](const Label& score) { return QStringLiteral("Current score ") + score.caption(); },
            false);
    if (name == "Shape1")
        return new Readable<Label>(
            label, QAccessible::Graphic, [](const Label&) { return QStringLiteral("Score bar"); },
            false);
    return nullptr;
}

void announceNameChange(QObject* object) {
    QAccessibleEvent event(object, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void installAccessibility() {
    // The last factory installed is asked first, so this one must come after the
    // one that QApplication installs for Qt's own widgets.
    static const bool installed = (QAccessible::installFactory(interfaceFor), true);
    Q_UNUSED(installed);
}

void announceHighScoreRows(frmMain& window) {
    for (std::size_t row = 0; row < window.lblHighScore.size(); ++row) {
        Label* rowCaption = window.lblGen[row];
        for (Label* value : {window.lblHighScore[row], window.lblHighDate[row]})
            QObject::connect(value, &Label::changed, rowCaption,
                             [rowCaption] { announceNameChange(rowCaption); });
    }
}

} // namespace shell
