#pragma once

#include <QFrame>
#include <functional>
#include <optional>
#include <vector>

namespace shell {

// How the controls that a keyboard cursor moves over stand: in one row, or in a
// square filled row by row.
enum class Arrangement { Row, Square };

// Where a cursor at `cursor` among `count` items goes on `key` (a Qt::Key):
// Left and Right step along, Up and Down a row (along, in a row of their own),
// Home and End to the ends of the row. nullopt for a key that moves nothing.
std::optional<int> cursorAfterKey(int cursor, int count, Arrangement arrangement, int key);

// A container with a sunken border and a coloured inner area; children are
// placed on area(), relative to the inside of the border.
//
// Given keyboard items, it is played from the keyboard while it has the focus:
// the arrow keys move a cursor over the items and Space or Return clicks the one
// it stands on. The cursor shows a focus rectangle only while the focus came from
// the keyboard; a mouse press hides it (and moves it to the control pressed).
class PictureBox : public QFrame {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, const QColor& background);

    QWidget* area() const { return m_area; }

    using Items = std::function<std::vector<QWidget*>()>;
    // `items` gives the controls of area() the cursor moves over, in order; they
    // may change from one call to the next. Empty `items` end the keyboard play,
    // as the owner of the items must before it goes.
    void setKeyboardItems(Arrangement arrangement, Items items);
    // The item the cursor stands on, or nullptr.
    QWidget* cursorItem() const;
    // Whether the cursor shows: the box has the focus, and it came from the keyboard.
    bool cursorShown() const { return m_fromKeyboard && hasFocus(); }
    // The box that holds `item` as one of its keyboard items, or nullptr.
    static PictureBox* holding(const QWidget* item);

  signals:
    // Space or Return on item `index`.
    void pressed(int index);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<QWidget*> items() const { return m_items ? m_items() : std::vector<QWidget*>{}; }
    // Shows or hides the rectangle, and tells a screen reader where the cursor stands.
    void cursorChanged(bool announce);

    QWidget* m_area;
    QWidget* m_mark = nullptr;
    Arrangement m_arrangement = Arrangement::Row;
    Items m_items;
    int m_cursor = 0;
    bool m_fromKeyboard = false;
};

} // namespace shell
