#pragma once

#include <QPushButton>

namespace shell {

// A push button that Enter and keypad Enter press while it has the focus, as
// Space does. It is never a default button: Enter elsewhere presses nothing.
class PushButton : public QPushButton {
    Q_OBJECT
  public:
    PushButton(const QString& text, QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace shell
