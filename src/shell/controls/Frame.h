#pragma once

#include <QGroupBox>

namespace shell {

// A frame: a group box whose caption is set into the top edge of its border. The
// border runs behind the caption at half the text's height, as on a classic
// group box; the style's own group box would put the caption above the border.
class Frame : public QGroupBox {
    Q_OBJECT
  public:
    Frame(const QString& caption, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace shell
