#include "platform/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

using Box = platform::MessageBox;

namespace {

// The whole of the box the player sees: modality, title, text, icon, buttons
// and the button that Enter presses.
QString seen(const QMessageBox& box) {
    QStringList buttons;
    for (QAbstractButton* button : box.buttons())
        buttons << button->text();
    return QStringLiteral("%1 | %2 | %3 | %4 | %5 | default %6")
        .arg(box.isModal() ? "modal" : "modeless", box.windowTitle(), box.text(),
             QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box.icon()), buttons.join(' '),
             box.defaultButton()->text());
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

  private slots:
    // The box shows the request as it is, and the key the player presses gives
    // the answer: Enter the default button, Escape the one that says no.
    void showsTheRequestAndAnswersTheKey() {
        using B = Box::Button;
        const QString question = "modal | T | a\n\nb | NoIcon | &Yes &No | default &";
        const struct {
            Box::Buttons buttons;
            B defaultButton;
            Box::Icon icon;
            int key;
            QString shown;
            B answer;
        } cases[] = {
            {Box::Buttons::Ok, B::Ok, Box::Icon::Information, Qt::Key_Return,
             "modal | T | a\n\nb | Information | OK | default OK", B::Ok},
            {Box::Buttons::YesNo, B::Yes, Box::Icon::None, Qt::Key_Return, question + "Yes", B::Yes},
            {Box::Buttons::YesNo, B::Yes, Box::Icon::None, Qt::Key_Escape, question + "Yes", B::No},
            {Box::Buttons::YesNo, B::No, Box::Icon::None, Qt::Key_Enter, question + "No", B::No}};
        for (const auto& c : cases) {
            QString shown;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                shown = box ? seen(*box) : "no box";
                using W = QWindowSystemInterface;
                for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                    W::handleKeyEvent<W::AsynchronousDelivery>(box->windowHandle(), type, c.key, {});
            });
            const B answer =
                platform::QtMessageBox().show({"a\r\n\r\nb", "T", c.buttons, c.defaultButton, c.icon});
            QCOMPARE(shown, c.shown);
            QCOMPARE(answer, c.answer);
        }
    }
};

QTEST_MAIN(MessageBoxTest)
#include "tst_message_box.moc"
