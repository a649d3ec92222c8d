// For scale beside the start-up baseline: the bare window with one text label,
// which is what the first use of fonts costs any window.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(700, 514);
    QLabel label(QStringLiteral("Level 1"), &window);
    label.move(10, 10);
    window.show();
    return QApplication::exec();
}
