#pragma once

#include <QFrame>

namespace shell {

// A container with a sunken border and a coloured inner area; children are
// placed on area(), relative to the inside of the border.
class PictureBox : public QFrame {
    Q_OBJECT
  public:
    PictureBox(QWidget* parent, const QColor& background);

    QWidget* area() const { return m_area; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* m_area;
};

} // namespace shell
