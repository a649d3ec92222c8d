#include "platform/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

MessageBox::Button QtMessageBox::show(const Request& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.title);
    // The texts carry Windows line ends; the box only needs the line feeds.
    QString text = request.text;
    box.setText(text.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(request.icon == Icon::Information ? QMessageBox::Information : QMessageBox::NoIcon);
    if (request.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == Button::No ? QMessageBox::No
                                                                 : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Button::Yes;
    case QMessageBox::No:
        return Button::No;
    default:
        return request.buttons == Buttons::YesNo ? Button::No : Button::Ok;
    }
}

} // namespace platform
