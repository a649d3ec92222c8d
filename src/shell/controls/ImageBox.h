#pragma once

#include "pictures/Picture.h"
#include "shell/controls/ClickTracker.h"

#include <QFrame>

namespace shell {

// An image box: shows a shared picture object stretched to its box, carries a
// tag text, and reports clicks. The picture keeps its identity, so a caller can
// tell which picture object a box shows.
class ImageBox : public QFrame {
    Q_OBJECT
  public:
    explicit ImageBox(QWidget* parent);

    const pictures::Picture& picture() const { return m_picture; }
    void setPicture(pictures::Picture picture);

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    void setBorder(bool border);
    bool hasBorder() const { return frameShape() != QFrame::NoFrame; }

    void setVisible(bool visible) override;
    // Clicks the box, as the mouse does.
    void click() { emit clicked(); }

  signals:
    void clicked();
    // The box was given another picture.
    void pictureChanged();
    // The box was hidden.
    void hidden();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    pictures::Picture m_picture;
    QString m_tag;
    ClickTracker m_click;
};

} // namespace shell
