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
    void showsTheRequestAndAnswersTheKey_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("answer");
        const int ok = int(Box::Button::Ok), yes = int(Box::Button::Yes), no = int(Box::Button::No);
        const int okOnly = int(Box::Buttons::Ok), yesNo = int(Box::Buttons::YesNo);
        const int info = int(Box::Icon::Information), none = int(Box::Icon::None);
        const QString question = "modal | T | a\n\nb | NoIcon | &Yes &No | default &";
        QTest::newRow("information, Enter") << okOnly << ok << info << int(Qt::Key_Return)
                                            << "modal | T | a\n\nb | Information | OK | default OK"
                                            << ok;
        QTest::newRow("Yes default, Enter") << yesNo << yes << none << int(Qt::Key_Return)
                                            << question + "Yes" << yes;
        QTest::newRow("Yes default, Escape") << yesNo << yes << none << int(Qt::Key_Escape)
                                             << question + "Yes" << no;
        QTest::newRow("No default, Enter") << yesNo << no << none << int(Qt::Key_Enter)
                                           << question + "No" << no;
    }
    void showsTheRequestAndAnswersTheKey() {
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(int, icon);
        QFETCH(int, key);
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = seen(*box);
            using W = QWindowSystemInterface;
            for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                W::handleKeyEvent<W::AsynchronousDelivery>(box->windowHandle(), type, key, {});
        });
        platform::QtMessageBox real;
        const Box::Button answer = real.show({"a\r\n\r\nb", "T", Box::Buttons(buttons),
                                              Box::Button(defaultButton), Box::Icon(icon)});
        QTEST(shown, "shown");
        QTEST(int(answer), "answer");
    }
};

QTEST_MAIN(MessageBoxTest)
#include "tst_message_box.moc"
