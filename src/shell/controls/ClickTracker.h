#pragma once

#include <QMouseEvent>
#include <QRect>

namespace shell {

// Tells a click apart: a press and a release of the left button on the same
// control. A double-click is one click: its second press (which Qt hands over as
// a double-click event) is no press at all, and the release after it no click.
class ClickTracker {
  public:
    void press(const QMouseEvent* event) { m_pressed = event->button() == Qt::LeftButton; }

    void doubleClick() { m_pressed = false; }

    bool release(const QMouseEvent* event, const QRect& rect) {
        const bool click = m_pressed && event->button() == Qt::LeftButton &&
                           rect.contains(event->position().toPoint());
        m_pressed = false;
        return click;
    }

  private:
    bool m_pressed = false;
};

} // namespace shell
