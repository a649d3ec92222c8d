#include "shell/controls/Frame.h"

#include <QPainter>
#include <qdrawutil.h>

namespace shell {

namespace {

// Where the caption starts, and the gap left in the border on each side of it, in pixels.
constexpr int kCaptionLeft = 6;
constexpr int kCaptionGap = 2;

} // namespace

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void Frame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    // An etched border whose top edge runs through the middle of the caption's
    // letters, where a strike-out line would run.
    const int edge = metrics.ascent() - metrics.strikeOutPos();
    qDrawShadeRect(&painter, rect().adjusted(0, edge, 0, 0), palette(), true);
    const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionGap,
                        metrics.height());
    painter.fillRect(caption, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}

} // namespace shell
