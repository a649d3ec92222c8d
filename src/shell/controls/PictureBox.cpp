#include "shell/controls/PictureBox.h"

#include <QAccessible>
#include <QChildEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace shell {

namespace {

// Draws the keyboard cursor's rectangle over the item it stands on, also over
// the empty cell of a hidden one. It covers the whole area, stays on top of the
// items and lets the mouse through.
class CursorMark : public QWidget {
  public:
    explicit CursorMark(PictureBox* box) : QWidget(box->area()), m_box(box) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(parentWidget()->rect());
        show();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const QWidget* item = m_box->cursorItem();
        if (!item || !m_box->cursorShown())
            return;
        QPainter painter(this);
        const QRect r = item->geometry().adjusted(2, 2, -3, -3);
        // Black under white dots: seen on the black board and on any picture.
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(r);
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(r);
    }

  private:
    const PictureBox* m_box;
};

} // namespace

std::optional<int> cursorAfterKey(int cursor, int count, Arrangement arrangement, int key) {
    if (count <= 0)
        return std::nullopt;
    const int columns = arrangement == Arrangement::Row
                            ? count
                            : std::max(1, static_cast<int>(std::ceil(std::sqrt(count))));
    cursor = std::clamp(cursor, 0, count - 1);
    const int rowStart = cursor - cursor % columns;
    const int rowEnd = std::min(rowStart + columns, count) - 1;
    const int up = arrangement == Arrangement::Row ? -1 : -columns;
    switch (key) {
    case Qt::Key_Left:
        return std::max(cursor - 1, rowStart);
    case Qt::Key_Right:
        return std::min(cursor + 1, rowEnd);
    case Qt::Key_Up:
        return cursor + up >= 0 ? cursor + up : cursor;
    case Qt::Key_Down:
        return cursor - up < count ? cursor - up : cursor;
    case Qt::Key_Home:
        return rowStart;
    case Qt::Key_End:
        return rowEnd;
    default:
        return std::nullopt;
    }
}

PictureBox::PictureBox(QWidget* parent, const QColor& background)
    : QFrame(parent), m_area(new QWidget(this)) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = m_area->palette();
    p.setColor(QPalette::Window, background);
    m_area->setPalette(p);
    m_area->setAutoFillBackground(true);
}

void PictureBox::setKeyboardItems(Arrangement arrangement, Items items) {
    m_arrangement = arrangement;
    m_items = std::move(items);
    if (m_mark || !m_items)
        return;
    m_mark = new CursorMark(this);
    // Every press of the mouse inside the box is seen, on the area and on each
    // control laid on it, also those made later.
    m_area->installEventFilter(this);
    for (QObject* child : m_area->children())
        child->installEventFilter(this);
}

QWidget* PictureBox::cursorItem() const {
    const std::vector<QWidget*> all = items();
    return all.empty() ? nullptr : all[std::clamp<std::size_t>(m_cursor, 0, all.size() - 1)];
}

PictureBox* PictureBox::holding(const QWidget* item) {
    QWidget* area = item ? item->parentWidget() : nullptr;
    auto* box = area ? qobject_cast<PictureBox*>(area->parentWidget()) : nullptr;
    if (!box || box->area() != area)
        return nullptr;
    const std::vector<QWidget*> all = box->items();
    return std::find(all.begin(), all.end(), item) != all.end() ? box : nullptr;
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    m_area->setGeometry(contentsRect());
    if (m_mark)
        m_mark->setGeometry(m_area->rect());
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const std::vector<QWidget*> all = items();
    if (all.empty() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QFrame::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        // A held key is one press, as a held mouse button is one click.
        if (!event->isAutoRepeat()) {
            m_cursor = std::clamp<int>(m_cursor, 0, static_cast<int>(all.size()) - 1);
            m_fromKeyboard = true;
            cursorChanged(false);
            emit pressed(m_cursor);
        }
        return;
    }
    const std::optional<int> next =
        cursorAfterKey(m_cursor, static_cast<int>(all.size()), m_arrangement, key);
    if (!next) {
        QFrame::keyPressEvent(event);
        return;
    }
    const bool moved = *next != m_cursor || !m_fromKeyboard;
    m_cursor = *next;
    m_fromKeyboard = true;
    cursorChanged(moved);
}

void PictureBox::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    m_fromKeyboard = event->reason() == Qt::TabFocusReason ||
                     event->reason() == Qt::BacktabFocusReason ||
                     event->reason() == Qt::ShortcutFocusReason;
    cursorChanged(false);
    // Qt tells a screen reader of the box itself right after this; the item the
    // cursor stands on is told after that, so that the reader ends on it.
    if (m_fromKeyboard)
        QTimer::singleShot(0, this, [this] { cursorChanged(true); });
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    cursorChanged(false);
}

bool PictureBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_area && event->type() == QEvent::ChildAdded && m_mark) {
        static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        m_mark->raise();
    }
    if (event->type() == QEvent::MouseButtonPress && m_items) {
        // The mouse takes over: no rectangle, and the cursor goes where it pressed.
        const std::vector<QWidget*> all = items();
        const auto pressedItem = std::find(all.begin(), all.end(), watched);
        if (pressedItem != all.end())
            m_cursor = static_cast<int>(pressedItem - all.begin());
        m_fromKeyboard = false;
        cursorChanged(false);
    }
    return QFrame::eventFilter(watched, event);
}

void PictureBox::cursorChanged(bool announce) {
    QWidget* item = cursorItem();
    if (m_mark)
        m_mark->update();
    if (announce && item && hasFocus()) {
        QAccessibleEvent focus(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace shell
