#pragma once

#include <QAccessible>
#include <QString>
#include <functional>

class QWidget;

namespace shell {

// What a control of the game window is to a screen reader: its role, its name,
// worked out from the control each time it is asked for, and the press a screen
// reader may give it (none if empty). Registered where the window builds the
// control; a control without one is not listed (its text is read as part of
// another's, or it is a line), and Qt's own buttons speak for themselves.
struct Presentation {
    QAccessible::Role role = QAccessible::StaticText;
    std::function<QString()> name = {};
    std::function<void()> press = {};
};

// Lets a screen reader read and play the game window through what its controls
// have registered. Nothing visible changes.
void installAccessibility();

void present(QWidget* control, Presentation presentation);

// Tells a screen reader the control's name now, by moving its focus there, and
// gives it the moment to read it before anything may hold up the window: a
// waiting sound blocks the thread that answers the reader's questions.
void announce(QWidget* control);

} // namespace shell
