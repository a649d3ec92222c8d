#include "shell/controls/Line.h"

namespace shell {

Line::Line(QWidget* parent, const QColor& colour) : QWidget(parent) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

} // namespace shell
