#pragma once

#include "shell/controls/ClickTracker.h"
#include <QLabel>

namespace shell {

// A label with a tag text, a click and a change of caption, as the game window's
// handlers use them. Text wraps inside the box and is clipped at its edges.
class Label : public QLabel {
    Q_OBJECT
  public:
    explicit Label(QWidget* parent);

    QString caption() const { return text(); }
    // Sets the text and announces it by changed().
    void setCaption(const QString& caption);

    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    void setBorder(bool border);
    void setColours(const QColor& background, const QColor& text);
    void setTextColour(const QColor& text);
    // Clicks the label, as the mouse does.
    void click() { emit clicked(); }

  signals:
    void clicked();
    void changed();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QString m_tag;
    ClickTracker m_click;
};

} // namespace shell
