#include "shell/controls/PictureBox.h"

namespace shell {

PictureBox::PictureBox(QWidget* parent, const QColor& background)
    : QFrame(parent), m_area(new QWidget(this)) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = m_area->palette();
    p.setColor(QPalette::Window, background);
    m_area->setPalette(p);
    m_area->setAutoFillBackground(true);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    m_area->setGeometry(contentsRect());
}

} // namespace shell
