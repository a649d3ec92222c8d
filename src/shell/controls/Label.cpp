#include "shell/controls/Label.h"

namespace shell {

Label::Label(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setIndent(0);
    setMargin(0);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Label::setCaption(const QString& caption) {
    setText(caption);
    emit changed();
}

void Label::setBorder(bool border) {
    setFrameStyle(border ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    setLineWidth(1);
}

void Label::setColours(const QColor& background, const QColor& text) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    setPalette(p);
    setAutoFillBackground(true);
}

void Label::setTextColour(const QColor& text) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, text);
    setPalette(p);
}

void Label::mousePressEvent(QMouseEvent* event) {
    m_click.press(event);
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
    if (m_click.release(event, rect()))
        emit clicked();
}

void Label::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
    m_click.doubleClick();
}

} // namespace shell
