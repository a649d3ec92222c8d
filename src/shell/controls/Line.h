#pragma once

#include <QWidget>

namespace shell {

// A solid line one pixel wide.
class Line : public QWidget {
    Q_OBJECT
  public:
    Line(QWidget* parent, const QColor& colour);
};

} // namespace shell
