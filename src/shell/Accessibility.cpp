#include "shell/Accessibility.h"

#include "shell/controls/PictureBox.h"
#include "shell/frmMain.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>

namespace shell {

namespace {

using namespace std::chrono_literals;

// A control's registration, kept as its child so that it goes with it.
class Registration : public QObject {
  public:
    Registration(QWidget* control, Presentation presentation)
        : QObject(control), presentation(std::move(presentation)) {}
    static const Presentation* of(const QObject* control) {
        for (const QObject* child : control->children())
            if (const auto* registration = dynamic_cast<const Registration*>(child))
                return &registration->presentation;
        return nullptr;
    }
    Presentation presentation;
};

// The reading a screen reader is given after an announcement: it is over when
// the reader has asked for the name and then gone quiet, or after a while.
struct Reading {
    const QObject* control = nullptr;
    bool nameRead = false;
    int questions = 0;
    QElapsedTimer lastQuestion;
};
Reading g_reading;

void noteQuestion(const QObject* control, bool forName) {
    if (!g_reading.control)
        return;
    ++g_reading.questions;
    g_reading.lastQuestion.start();
    if (forName && control == g_reading.control)
        g_reading.nameRead = true;
}

bool isGameWindow(const QObject* object) {
    return object->isWidgetType() &&
           qobject_cast<frmMain*>(static_cast<const QWidget*>(object)->window());
}

// Whether a screen reader lists `widget` among its container's children: a
// registered control that is shown, or that the keyboard cursor stands on (a
// matched block is hidden, yet can be reached and says so); and Qt's buttons.
bool listed(const QWidget* widget) {
    if (widget->isWindow())
        return false;
    if (qobject_cast<const QAbstractButton*>(widget))
        return !widget->isHidden();
    if (!Registration::of(widget))
        return false;
    // A hidden control being announced is listed while the reader reads it.
    const PictureBox* box = PictureBox::holding(widget);
    return !widget->isHidden() || (box && box->cursorShown() && box->cursorItem() == widget) ||
           widget == g_reading.control;
}

QWidgetList listedChildren(const QWidget* container) {
    QWidgetList children;
    for (QObject* object : container->children())
        if (object->isWidgetType() && listed(static_cast<QWidget*>(object)))
            children.append(static_cast<QWidget*>(object));
    return children;
}

// Every control of the game window but Qt's buttons: it reads its registration
// each time it is asked, as Qt may ask for the interface while the control is
// still being built.
class Presented : public QAccessibleWidget {
  public:
    explicit Presented(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}

    QAccessible::Role role() const override {
        noteQuestion(object(), false);
        const Presentation* p = Registration::of(widget());
        return p ? p->role : QAccessibleWidget::role();
    }
    QString text(QAccessible::Text t) const override {
        noteQuestion(object(), t == QAccessible::Name);
        const Presentation* p = Registration::of(widget());
        if (t == QAccessible::Name && p && p->name)
            return p->name();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        noteQuestion(object(), false);
        QAccessible::State s = QAccessibleWidget::state();
        if (const PictureBox* box = PictureBox::holding(widget())) {
            s.focusable = true;
            s.focused = box->hasFocus() && box->cursorItem() == widget();
        }
        return s;
    }
    QStringList actionNames() const override {
        const Presentation* p = Registration::of(widget());
        return p && p->press ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        const Presentation* p = Registration::of(widget());
        // A press that comes while the reader is being given its moment would
        // run inside the click that announced: it is dropped.
        if (p && p->press && action == pressAction() && !g_reading.control)
            p->press();
    }

    int childCount() const override { return static_cast<int>(listedChildren(widget()).size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList children = listedChildren(widget());
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return static_cast<int>(
            listedChildren(widget()).indexOf(static_cast<QWidget*>(child->object())));
    }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object) {
    if (!isGameWindow(object) || qobject_cast<QAbstractButton*>(object))
        return nullptr;
    return new Presented(static_cast<QWidget*>(object));
}

// Lets the screen reader's questions in, and nothing else, until it has read
// the name and gone quiet; a reader that asks nothing at first is not waited
// for. Its questions come from another thread as posted calls; user input
// stays queued, as in a waiting sound.
void giveReaderItsMoment() {
    constexpr auto kFirstQuestion = 500ms;
    constexpr auto kQuiet = 400ms;
    constexpr auto kLongest = 2000ms;
    // Qt's own questions while it sent the news do not count.
    const int before = g_reading.questions;
    g_reading.lastQuestion.start();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kLongest.count()) {
        const bool asked = g_reading.nameRead || g_reading.questions > before;
        if (!asked && waited.elapsed() >= kFirstQuestion.count())
            break;
        if (g_reading.nameRead && g_reading.lastQuestion.elapsed() >= kQuiet.count())
            break;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QThread::msleep(2);
    }
}

} // namespace

void installAccessibility() {
    // The last factory installed is asked first, so this one must come after the
    // one that QApplication installs for Qt's own widgets.
    static const bool installed = (QAccessible::installFactory(interfaceFor), true);
    Q_UNUSED(installed);
}

void present(QWidget* control, Presentation presentation) {
    new Registration(control, std::move(presentation));
}

void announce(QWidget* control) {
    // Nothing is told when no screen reader listens, nor before the window shows
    // (the high scores are loaded then).
    if (!QAccessible::isActive() || !control->window()->isVisible())
        return;
    // A reader takes a focus move to the object it already stands on as no move,
    // and Qt sends a name change without the name: the control is made anew for
    // the reader, and the focus moved to it.
    if (QAccessibleInterface* old = QAccessible::queryAccessibleInterface(control))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    g_reading = {control, false, 0, {}};
    QAccessibleEvent focus(control, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
    giveReaderItsMoment();
    g_reading = {};
}

} // namespace shell
