#include "shell/controls/ImageBox.h"

#include <QPainter>

namespace shell {

ImageBox::ImageBox(QWidget* parent) : QFrame(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ImageBox::setPicture(pictures::Picture picture) {
    if (picture == m_picture)
        return;
    m_picture = std::move(picture);
    update();
    emit pictureChanged();
}

void ImageBox::setVisible(bool visible) {
    const bool hiding = !visible && !isHidden();
    QFrame::setVisible(visible);
    if (hiding)
        emit hidden();
}

void ImageBox::setBorder(bool border) {
    setFrameStyle(border ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    setLineWidth(1);
}

void ImageBox::paintEvent(QPaintEvent* event) {
    if (m_picture) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(contentsRect(), *m_picture);
    }
    QFrame::paintEvent(event);
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    m_click.press(event);
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    if (m_click.release(event, rect()))
        emit clicked();
}

void ImageBox::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
    m_click.doubleClick();
}

} // namespace shell
